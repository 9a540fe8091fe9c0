// Property: a bag loaded from any section, saved and loaded again holds the
// same items with the same values.
#include "FuzzEnv.h"

#include "app/AppError.h"
#include "app/TBag.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnv::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes = QByteArray("[Bag]\n") + QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
    FuzzEnv::writeFile("bag.ini", reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    try {
        TBag first(QStringLiteral("bag.ini"), QStringLiteral("Bag"));
        first.LoadSection();
        if (first.itemCount() == 0)
            return 0;
        first.SaveSection();
        TBag second(QStringLiteral("bag.ini"), QStringLiteral("Bag"));
        second.LoadSection();
        for (const QString& name : first.names()) {
            if (second.GetValue(name) != first.GetValue(name))
                std::abort();
        }
    } catch (const AppError&) {
    }
    return 0;
}
