#include "app/RecoveryStore.h"

#include "app/AppError.h"
#include "app/AppPaths.h"
#include "app/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {

const QByteArray kMagic("VELQUIST RECOVERY 1\r\n");

// Tells this run's files from those of an earlier process that had the same number.
const QString& sessionTag()
{
    static const QString tag = QString::number(QRandomGenerator::global()->generate(), 36);
    return tag;
}

bool processRunning(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

} // namespace

namespace RecoveryStore {

QString folder()
{
    return AppPaths::dataFile(QStringLiteral("recovery"));
}

QString fileName(int serial)
{
    return folder() + QStringLiteral("/%1-%2-%3.vqr").arg(QCoreApplication::applicationPid()).arg(sessionTag()).arg(serial);
}

QByteArray serialize(const RecoveryEntry& e, const QString& text)
{
    QByteArray out = kMagic;
    auto field = [&out](const char* key, const QString& value) {
        out += key;
        out += ": ";
        out += value.toUtf8();
        out += "\r\n";
    };
    const TextFileFormat& f = e.format;
    field("Path", e.path);
    field("Caption", e.caption);
    field("Encoding", QString::number(int(f.encoding)));
    field("Charset", QString::fromLatin1(f.charset));
    field("Bom", QString::number(int(f.bom)));
    field("LineEnd", QString::number(int(f.lineEnd)));
    field("FinalLineEnd", QString::number(int(f.finalLineEnd)));
    field("Time", e.time.toUTC().toString(Qt::ISODateWithMs));
    field("Pid", QString::number(e.pid));
    field("Length", QString::number(text.size()));
    out += "\r\n";
    const qsizetype at = out.size();
    out.resize(at + text.size() * 2);
    char* d = out.data() + at;
    for (QChar c : text) {
        *d++ = char(c.unicode() & 0xFF);
        *d++ = char(c.unicode() >> 8);
    }
    return out;
}

bool parse(const QByteArray& bytes, RecoveryEntry* e, QString* text)
{
    if (!bytes.startsWith(kMagic))
        return false;
    const qsizetype end = bytes.indexOf("\r\n\r\n", kMagic.size() - 2);
    if (end < 0)
        return false;
    const QList<QByteArray> lines = bytes.mid(kMagic.size(), end - kMagic.size()).split('\n');
    qint64 length = -1;
    for (QByteArray line : lines) {
        line = line.trimmed();
        const qsizetype colon = line.indexOf(": ");
        const QByteArray key = line.left(colon);
        const QString value = colon < 0 ? QString() : QString::fromUtf8(line.mid(colon + 2));
        if (key == "Path")
            e->path = value;
        else if (key == "Caption")
            e->caption = value;
        else if (key == "Encoding")
            e->format.encoding = TextFileFormat::Encoding(std::clamp(value.toInt(), 0, int(TextFileFormat::Named)));
        else if (key == "Charset")
            e->format.charset = value.toLatin1();
        else if (key == "Bom")
            e->format.bom = value == QLatin1String("1");
        else if (key == "LineEnd")
            e->format.lineEnd = TextFileFormat::LineEnd(std::clamp(value.toInt(), 0, 2));
        else if (key == "FinalLineEnd")
            e->format.finalLineEnd = value == QLatin1String("1");
        else if (key == "Time")
            e->time = QDateTime::fromString(value, Qt::ISODateWithMs);
        else if (key == "Pid")
            e->pid = value.toLongLong();
        else if (key == "Length")
            length = value.toLongLong();
    }
    const qsizetype body = end + 4;
    if (length < 0 || bytes.size() - body != length * 2)
        return false;
    e->length = length;
    if (text) {
        *text = QString(length, Qt::Uninitialized);
        QChar* d = text->data();
        const auto* b = reinterpret_cast<const uchar*>(bytes.constData() + body);
        for (qsizetype i = 0; i < length; ++i)
            d[i] = QChar(char16_t(b[2 * i] | (b[2 * i + 1] << 8)));
    }
    return true;
}

void write(const RecoveryEntry& entry, const QString& text)
{
    QDir().mkpath(QFileInfo(entry.file).absolutePath());
    SafeFile::write(entry.file, serialize(entry, text));
}

bool load(const QString& file, RecoveryEntry* entry, QString* text)
{
    QByteArray bytes;
    if (!SafeFile::read(file, &bytes))
        return false;
    entry->file = file;
    return parse(bytes, entry, text);
}

void remove(const QString& file)
{
    QFile::remove(file);
}

QList<RecoveryEntry> orphans()
{
    QList<RecoveryEntry> out;
    const QDir dir(folder());
    const QString own = QStringLiteral("%1-%2-").arg(QCoreApplication::applicationPid()).arg(sessionTag());
    for (const QString& name : dir.entryList({QStringLiteral("*.vqr")}, QDir::Files)) {
        if (name.startsWith(own))
            continue;
        const qint64 pid = name.section(QLatin1Char('-'), 0, 0).toLongLong();
        if (pid != QCoreApplication::applicationPid() && processRunning(pid))
            continue;  // another running copy of the program keeps it up to date
        RecoveryEntry e;
        if (load(dir.filePath(name), &e, nullptr))
            out << e;
    }
    std::sort(out.begin(), out.end(), [](const RecoveryEntry& a, const RecoveryEntry& b) { return a.time < b.time; });
    return out;
}

} // namespace RecoveryStore
