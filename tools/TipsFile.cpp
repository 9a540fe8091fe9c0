#include "tools/TipsFile.h"

#include "app/ListFile.h"

namespace TipsFile {

QString heading(const QString& line)
{
    if (line.isEmpty())
        return QString();
    switch (line.at(0).unicode()) {
    case '!': return QStringLiteral("Today's joke...");
    case '#': return QStringLiteral("Today's message...");
    case '\'': return QStringLiteral("Today's quote...");
    case '?': return QStringLiteral("Did you know...");
    case '^': return QStringLiteral("Today's tip...");
    default: return QString();
    }
}

QString tipText(const QString& line)
{
    // Only "%s" (five of them) and "%%" mean something; any other "%" is
    // shown as written rather than failing the whole tip.
    const QString pattern = ListFile::midWhole(line, 1, 255);
    QString out;
    out.reserve(pattern.size());
    int breaks = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('%') && i + 1 < pattern.size()) {
            const QChar next = pattern.at(i + 1);
            if (next == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
            if ((next == QLatin1Char('s') || next == QLatin1Char('S')) && breaks < 5) {
                out += QLatin1Char('\n');
                ++breaks;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace TipsFile
