#include "wizards/homepage/HomePageGenerator.h"

#include "tags/TagEngine.h"

namespace {
QString slashed(QString name, bool convert)
{
    if (convert)
        name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return name;
}
}

QStringList HomePageGenerator::memoLines(const QString& text)
{
    if (text.isEmpty())
        return {};
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList out = t.split(QLatin1Char('\n'));
    if (out.last().isEmpty())
        out.removeLast();
    return out;
}

QStringList HomePageGenerator::lines(const HomePageOptions& o, const QString& email,
                                     const QString& userName, const QString& date)
{
    static const char* const kAlign[] = {"LEFT", "CENTER", "RIGHT"};
    const QString align = QString::fromLatin1(kAlign[o.align]);
    QStringList out;
    out << QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//3.0\">") << QStringLiteral("<HTML>")
        << QStringLiteral("<HEAD>");
    out << QStringLiteral("<TITLE>") + o.title + QStringLiteral("</TITLE>") << QStringLiteral("</HEAD>") << QString();

    if (o.setTextColor || o.setBackColor || o.useBackImage) {
        QString body = QStringLiteral("<BODY ");
        if (o.useBackImage)
            body += QStringLiteral("BACKGROUND=\"") + slashed(o.backImage, o.backSlashes) + QStringLiteral("\" ");
        if (o.setBackColor)
            body += QStringLiteral("BGCOLOR=\"") + TagEngine::ColorIndexToHtml(o.backColor) + QStringLiteral("\" ");
        if (o.setTextColor)
            body += QStringLiteral("TEXT=\"") + TagEngine::ColorIndexToHtml(o.textColor) + QStringLiteral("\"");
        out << body + QLatin1Char('>');
    } else {
        out << QStringLiteral("<BODY>");
    }
    out << QString();

    const QString imageLine = QStringLiteral("<IMG SRC=\"") + slashed(o.image, o.imageSlashes)
        + QStringLiteral("\" BORDER=") + QString::number(o.border) + QLatin1Char('>');
    if (o.welcome)
        out << QStringLiteral("<h3 ALIGN=") + align + QStringLiteral(">Welcome to</h3>");
    if (o.includeImage && o.imageBefore)
        out << imageLine;
    out << QStringLiteral("<h1 ALIGN=") + align + QLatin1Char('>') + o.title + QStringLiteral("</h1>");
    if (!o.subTitle.isEmpty())
        out << QStringLiteral("<h2 ALIGN=") + align + QLatin1Char('>') + o.subTitle + QStringLiteral("</h2>");
    out << QStringLiteral("<p>");
    if (o.includeImage && !o.imageBefore)
        out << imageLine;
    if (o.lines)
        out << QStringLiteral("<HR SIZE=2>");

    for (const QString& section : o.sections) {
        out << QStringLiteral("<h1>") + section + QStringLiteral("</h1>")
            << QStringLiteral("<!-- The text for \"") + section + QStringLiteral("\" goes here. -->")
            << QStringLiteral("<P>");
        if (o.lines)
            out << QStringLiteral("<HR SIZE=1>");
    }

    if (o.mail)
        out << QStringLiteral("Send comments and mail to <A HREF=\"Mailto:") + email + QStringLiteral("\">")
                + userName + QStringLiteral("</a><P>");
    if (o.address) {
        out << QStringLiteral("<ADDRESS>");
        for (int i = 0; i < o.addressLines.size(); ++i)
            out << (i == 0 ? QStringLiteral("<STRONG>") + o.addressLines[i] + QStringLiteral("</STRONG><BR>")
                           : o.addressLines[i] + QStringLiteral("<BR>"));
        out << QStringLiteral("</ADDRESS><P>");
    }
    if (o.updated)
        out << QStringLiteral("<hr><p>")
            << QStringLiteral("<I>Last updated by ") + userName + QStringLiteral(" on ") + date + QStringLiteral("</I>");

    out << QStringLiteral("</BODY>") << QStringLiteral("</HTML>") << QString();
    return out;
}
