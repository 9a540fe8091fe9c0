#include "tags/Stamps.h"

#include "app/AppError.h"
#include "app/AppSettings.h"
#include "app/SafeFile.h"
#include "app/TMegaRegistry.h"
#include "editor/EditorContract.h"
#include "editor/TextFileCodec.h"

#include <QFile>
#include <QFileInfo>

namespace {
// A stored identity value; the placeholder when the key is missing or empty.
QString identity(const TMegaRegistry& settings, const char* key, const QString& placeholder)
{
    const QString v = settings.ReadString(AppSettings::kHeader, QLatin1String(key), placeholder);
    return v.isEmpty() ? placeholder : v;
}
}

QString Stamps::userName(const TMegaRegistry& s)
{
    return identity(s, "User Name", AppSettings::kDefUserName);
}

QString Stamps::email(const TMegaRegistry& s)
{
    return identity(s, "EMail", AppSettings::kDefEmail);
}

QString Stamps::organisation(const TMegaRegistry& s)
{
    return identity(s, "Organisation", AppSettings::kDefOrganisation);
}

QString Stamps::homePage(const TMegaRegistry& s)
{
    return identity(s, "Home Page", AppSettings::kDefHomePage);
}

TagPair Stamps::PreDefined(const TMegaRegistry& s)
{
    return {QStringLiteral("<A HREF=\"MailTo:") + email(s) + QStringLiteral("\">"),
            userName(s) + QStringLiteral("</A>")};
}

TagPair Stamps::MailtomeURL(const TMegaRegistry& s)
{
    return {QStringLiteral("<A HREF=\"MailTo:") + email(s) + QStringLiteral("\"> "),
            QStringLiteral("Send mail to ") + userName(s) + QStringLiteral("</A>")};
}

TagPair Stamps::MyCompany(const TMegaRegistry& s)
{
    return {QStringLiteral("<STRONG>") + organisation(s), QStringLiteral("</STRONG>")};
}

TagPair Stamps::MyHomePageURL(const TMegaRegistry& s)
{
    return {QStringLiteral("<A HREF=\"") + homePage(s) + QStringLiteral("\"> "),
            QStringLiteral("Home Page</A>")};
}

TagPair Stamps::LastUpdated(const TMegaRegistry& s, const QDateTime& when, const QLocale& locale)
{
    return {QStringLiteral("<i>Last Updated by ") + userName(s),
            QStringLiteral(" on ") + lastUpdatedDate(when, locale) + QStringLiteral(".</i>")};
}

QString Stamps::lastUpdatedDate(const QDateTime& when, const QLocale& locale)
{
    const QDate d = when.date();
    const QTime t = when.time();
    const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    return QStringLiteral("%1, %2 %3, %4 at %5:%6 %7")
        .arg(locale.dayName(d.dayOfWeek(), QLocale::LongFormat))
        .arg(d.day())
        .arg(locale.monthName(d.month(), QLocale::LongFormat))
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(hour12)
        .arg(t.minute(), 2, 10, QLatin1Char('0'))
        .arg(t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

QStringList Stamps::readTextFileLines(const QString& fileName)
{
    QByteArray bytes;
    QString error;
    if (!SafeFile::read(fileName, &bytes, &error))
        throw EFileError(error);
    if (bytes.isEmpty())
        return {};
    // The decoded text holds the lines joined by '\n', without the final line end.
    return TextFileCodec::decode(bytes).text.split(QLatin1Char('\n'));
}

QString Stamps::readTextFile(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (info.isFile() && info.size() > kMaxInsertSize)
        throw EFileError(QStringLiteral("Unable to insert %1: it is larger than %2 MB.")
                             .arg(SafeFile::shown(fileName), QString::number(kMaxInsertSize / (1024 * 1024))));
    QByteArray bytes;
    QString error;
    if (!SafeFile::read(fileName, &bytes, &error))
        throw EFileError(error);
    if (bytes.isEmpty())
        return {};
    // The decoded text holds the lines joined by '\n', without the final
    // line end; every line is inserted with one.
    QString text = TextFileCodec::decode(bytes).text;
    text += QLatin1Char('\n');
    return text;
}

void Stamps::InsertFile(TagHost& host, const QString& fileName)
{
    EditorContract* ed = host.activeEditor();
    if (!ed)
        return;
    host.SetStatusText(QStringLiteral("Inserting File : ") + fileName + QStringLiteral(" ..."));
    // One insertion, one undo step, however many lines the file has.
    const QString text = readTextFile(fileName);
    if (!text.isEmpty()) {
        EditGroup group(*ed);
        ed->InsertAtCaret(text);
    }
    ed->SetModified(true);
    host.SetStatusText(AppSettings::kReady);
}
