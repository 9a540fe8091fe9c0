#include "wizards/java/JavaAppletWriter.h"

const QStringList& JavaAppletWriter::alignments()
{
    static const QStringList list{
        QStringLiteral("Left"),   QStringLiteral("Right"),    QStringLiteral("Top"),
        QStringLiteral("TextTop"), QStringLiteral("Middle"),  QStringLiteral("AbsMiddle"),
        QStringLiteral("Baseline"), QStringLiteral("Bottom"), QStringLiteral("AbsBottom")};
    return list;
}

TagPair JavaAppletWriter::tags(const JavaAppletOptions& o)
{
    QString open = QStringLiteral("<APPLET CODE=") + o.code + QStringLiteral(" WIDTH=") + QString::number(o.width)
        + QStringLiteral(" HEIGHT=") + QString::number(o.height) + QStringLiteral(" ALIGN=") + o.align
        + QLatin1Char(' ');
    if (!o.codeBase.isEmpty())
        open += QStringLiteral("CODEBASE=") + o.codeBase + QLatin1Char(' ');
    if (o.vspace > 0)
        open += QStringLiteral("VSPACE=") + QString::number(o.vspace) + QLatin1Char(' ');
    if (o.hspace > 0)
        open += QStringLiteral("HSPACE=") + QString::number(o.hspace) + QLatin1Char(' ');
    if (!o.name.isEmpty())
        open += QStringLiteral("NAME=") + o.name + QLatin1Char(' ');
    if (!o.alt.isEmpty())
        open += QStringLiteral("ALT=") + o.alt + QLatin1Char(' ');
    return {open + QLatin1Char('>'), QStringLiteral("</APPLET>")};
}
