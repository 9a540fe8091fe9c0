// Property: writing one key changes what that key reads and nothing else:
// every other key of every section reads as before, and the file still
// holds every line that was not touched.
#include "FuzzEnv.h"

#include "app/AppError.h"
#include "app/IniFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnv::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzEnv::writeFile("f.ini", data, size);
    IniFile ini("f.ini");
    struct Entry { QString section, key, value; };
    QList<Entry> before;
    for (const QString& s : ini.sectionNames()) {
        for (const QString& k : ini.readSectionKeys(s))
            before.append({s, k, ini.readString(s, k, QStringLiteral("<gone>"))});
    }
    const QString value = QStringLiteral("v\u00e9\U0001F600");
    try {
        ini.writeString(QStringLiteral("S"), QStringLiteral("K"), value);
    } catch (const EIniError&) {
        return 0;  // an unreadable file: refusing is right
    }
    if (ini.readString(QStringLiteral("S"), QStringLiteral("K"), QString()) != value)
        std::abort();
    for (const Entry& e : before) {
        const bool written = e.section.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0
            && e.key.compare(QLatin1String("K"), Qt::CaseInsensitive) == 0;
        if (!written && ini.readString(e.section, e.key, QStringLiteral("<gone>")) != e.value)
            std::abort();
    }
    return 0;
}
