#include "render/PreviewLinks.h"

#include <QFileInfo>

bool PreviewLinks::isLocal(const QString& link)
{
    const qsizetype colon = link.indexOf(QLatin1Char(':'));
    return colon < 0 || colon <= 1 || link.contains(QLatin1String("FILE:"), Qt::CaseInsensitive);
}

PreviewLinks::Decision PreviewLinks::decide(const QString& link,
                                            const std::function<QString(const QString&)>& expand)
{
    Decision d;
    if (!isLocal(link))
        return d;
    QString name = link.left(80);
    const qsizetype blank = name.indexOf(QLatin1Char(' '));
    if (blank >= 0) {
        d.parameters = name.mid(blank).left(80);
        name.truncate(blank);
    }
    d.fileName = expand(name);
    const QString suffix = QFileInfo(d.fileName).suffix().toUpper();
    if (suffix == QLatin1String("WAV"))
        d.action = Action::PlaySound;
    else if (suffix == QLatin1String("EXE"))
        d.action = Action::StartProgram;
    else
        d.action = Action::Follow;
    return d;
}
