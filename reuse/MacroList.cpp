#include "reuse/MacroList.h"

#include "app/AppError.h"
#include "app/AppPaths.h"
#include "app/ListFile.h"

namespace {
const QString kTab = QStringLiteral("\t");

bool sameIgnoringAsciiCase(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= 'a' && x <= 'z')
            x -= 32;
        if (y >= 'a' && y <= 'z')
            y -= 32;
        if (x != y)
            return false;
    }
    return true;
}
} // namespace

QStringList MacroList::builtInSystem()
{
    return {
        QStringLiteral("[HURL]\t<A HREF=\"index.html\"></A>"),
        QStringLiteral("[CREDIT]\t<!-- This page was created by Velquist Pro-->"),
        QStringLiteral("[VELQ]\tVelquist Pro for Windows"),
    };
}

QStringList MacroList::builtInUser()
{
    return {
        QStringLiteral("[COUNT]\thttp://counter.example.com/"),
        QStringLiteral("[IM]\tOnvex Image Mapper"),
        QStringLiteral("[ORG]\tOrchard Row Software"),
    };
}

QStringList MacroList::builtInWindow()
{
    return {
        QStringLiteral("[COUNT]\thttp://counter.example.com/"),
        QStringLiteral("[IM]\tOnvex Image Mapper"),
        QStringLiteral("[IMW]\tOnvex Image Mapper for Windows"),
        QStringLiteral("[ORG]\tOrchard Row Software"),
        QStringLiteral("[ONVEX]\tOnvex HTML Editor"),
        QStringLiteral("[ONVEXW]\tOnvex HTML Editor for Windows"),
    };
}

QString MacroList::makeEntry(const QString& name, const QString& expansion)
{
    return QLatin1Char('[') + name + QLatin1Char(']') + kTab + expansion;
}

QString MacroList::keyOf(const QString& entry)
{
    const qsizetype tab = entry.indexOf(QLatin1Char('\t'));
    return tab < 0 ? entry : entry.left(tab);
}

bool MacroList::findExpansion(const QStringList& entries, const QString& bracketed, QString* expansion)
{
    const qsizetype length = bracketed.size();
    for (const QString& entry : entries) {
        if (entry.size() >= length && sameIgnoringAsciiCase(QStringView(entry).left(length), bracketed)) {
            // The key and the one separator after it are skipped.
            *expansion = entry.mid(length + 1);
            return true;
        }
    }
    return false;
}

bool MacroList::read(const QString& path, QStringList* entries, QString* error)
{
    return ListFile::read(path, entries, error);
}

QStringList MacroList::readUser()
{
    QStringList entries;
    QString error;
    // The user never named this file: a missing one is the program's own
    // fault and goes to the application's error handler.
    if (!read(AppPaths::readableDataFile(UserFile), &entries, &error))
        throw AppError(error);
    return entries;
}
