#include "app/RecoveryStore.h"

#include "app/AppError.h"
#include "app/AppPaths.h"
#include "app/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Version 2 stores names percent-encoded, so that any name (line feeds,
// blanks at either end) comes back as it was, and names the process that
// wrote the file by boot and start time as well as by number.
const QByteArray kMagic("VELQUIST RECOVERY 2\r\n");
const QByteArray kMagicV1("VELQUIST RECOVERY 1\r\n");
// No header is longer than this.
constexpr qsizetype kMaxHeader = 64 * 1024;

// Tells this run's files from those of an earlier process that had the same number.
const QString& sessionTag()
{
    static const QString tag = QString::number(QRandomGenerator::global()->generate(), 36);
    return tag;
}

bool processRunning(qint64 pid)
{
    return pid > 0 && pid <= std::numeric_limits<pid_t>::max() && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

QByteArray readSmallFile(const char* path)
{
    QFile f(QString::fromLatin1(path));
    return f.open(QIODevice::ReadOnly) ? f.read(4096) : QByteArray();
}

// A whole decimal number no larger than max; false for anything else.
bool number(const QByteArray& text, qint64 max, qint64* out)
{
    if (text.isEmpty() || text.size() > 19)
        return false;
    qint64 value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        const int digit = c - '0';
        if (digit > max || value > (max - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    *out = value;
    return true;
}

} // namespace

namespace RecoveryStore {

QByteArray bootId()
{
    static const QByteArray id = readSmallFile("/proc/sys/kernel/random/boot_id").trimmed();
    return id;
}

qint64 startTime(qint64 pid)
{
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return 0;
    const QByteArray stat = readSmallFile(QStringLiteral("/proc/%1/stat").arg(pid).toLatin1().constData());
    // The command name may hold blanks and parentheses: fields count from the last ')'.
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return 0;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    // Field 22 of the line is the start time; fields here begin with field 3.
    qint64 value = 0;
    return fields.size() > 19 && number(fields.at(19).trimmed(), std::numeric_limits<qint64>::max(), &value) ? value
                                                                                                            : 0;
}

bool ownerRunning(const RecoveryEntry& e)
{
    if (e.bootId.isEmpty() || e.started <= 0)
        return processRunning(e.pid);  // written before the owner was named exactly
    return e.bootId == bootId() && startTime(e.pid) == e.started;
}

QString folder()
{
    return AppPaths::dataFile(QStringLiteral("recovery"));
}

QString fileName(int serial)
{
    return folder() + QStringLiteral("/%1-%2-%3.vqr").arg(QCoreApplication::applicationPid()).arg(sessionTag()).arg(serial);
}

namespace {

// The header, then the text's length characters as visit hands them out
// (visit(put) calls put(QStringView) for each piece in order), then the line ends.
template <class Visit>
QByteArray serializeWith(const RecoveryEntry& e, qsizetype length, const QByteArray& lineEnds, Visit&& visit)
{
    QByteArray out = kMagic;
    auto field = [&out](const char* key, const QByteArray& value) {
        out += key;
        out += ": ";
        out += value;
        out += "\r\n";
    };
    auto name = [](const QByteArray& bytes) { return bytes.toPercentEncoding("/"); };
    const TextFileFormat& f = e.format;
    field("Path", name(e.path.toUtf8()));
    field("Caption", name(e.caption.toUtf8()));
    field("Encoding", QByteArray::number(int(f.encoding)));
    field("Charset", name(f.charset));
    field("Bom", QByteArray::number(int(f.bom)));
    field("LineEnd", QByteArray::number(int(f.lineEnd)));
    field("FinalLineEnd", QByteArray::number(int(f.finalLineEnd)));
    field("MixedLineEnds", QByteArray::number(int(f.mixedLineEnds)));
    field("EscapedBytes", QByteArray::number(int(f.escapedBytes)));
    field("Time", e.time.toUTC().toString(Qt::ISODateWithMs).toLatin1());
    field("Pid", QByteArray::number(e.pid));
    const QByteArray boot = e.bootId.isEmpty() ? bootId() : e.bootId;
    const qint64 started = e.started > 0 ? e.started : startTime(e.pid);
    if (!boot.isEmpty() && started > 0) {
        field("Boot", name(boot));
        field("Started", QByteArray::number(started));
    }
    field("Length", QByteArray::number(length));
    if (!lineEnds.isEmpty())
        field("LineEnds", QByteArray::number(lineEnds.size()));
    out += "\r\n";
    const qsizetype at = out.size();
    out.resize(at + length * 2);
    char* d = out.data() + at;
    visit([&d](QStringView piece) {
        for (QChar c : piece) {
            *d++ = char(c.unicode() & 0xFF);
            *d++ = char(c.unicode() >> 8);
        }
        return true;
    });
    out += lineEnds;
    return out;
}

void writeBytes(const RecoveryEntry& entry, const QByteArray& bytes)
{
    // What the user typed is nobody else's to read.
    const QString dir = QFileInfo(entry.file).absolutePath();
    QDir().mkpath(dir);
    ::chmod(QFile::encodeName(dir).constData(), 0700);
    SafeFile::Options options;
    options.permissions = 0600;
    SafeFile::write(entry.file, bytes, options);
}

} // namespace

QByteArray serialize(const RecoveryEntry& e, const QString& text, const QByteArray& lineEnds)
{
    return serializeWith(e, text.size(), lineEnds, [&text](auto&& put) { put(QStringView(text)); });
}

QByteArray serialize(const RecoveryEntry& e, const TextSnapshot& text)
{
    // (from the stored pieces: no copy of the whole text on the way)
    return serializeWith(e, text.Length(), text.LineEnds(),
                         [&text](auto&& put) { text.ForEachChunk(0, text.Length(), put); });
}

bool parse(const QByteArray& bytes, RecoveryEntry* out, QString* text, QByteArray* lineEnds)
{
    const bool v1 = bytes.startsWith(kMagicV1);
    if (!v1 && !bytes.startsWith(kMagic))
        return false;
    const qsizetype start = kMagic.size();
    const qsizetype end = bytes.indexOf("\r\n\r\n", start - 2);
    if (end < 0 || end > kMaxHeader)
        return false;
    RecoveryEntry e;
    e.file = out->file;
    // One field a line, "Key: value", the value exactly as written.
    QList<QByteArray> seen;
    qint64 length = -1;
    qint64 ends = 0;
    const QList<QByteArray> lines = end + 2 > start ? bytes.mid(start, end + 2 - start).split('\n') : QList<QByteArray>();
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {  // the last piece follows the last "\r\n"
        const QByteArray& line = lines.at(i);
        if (!line.endsWith('\r'))
            return false;
        const QByteArray field = line.chopped(1);
        const qsizetype colon = field.indexOf(": ");
        if (colon <= 0)
            return false;
        const QByteArray key = field.left(colon);
        const QByteArray raw = field.mid(colon + 2);
        if (seen.contains(key))
            return false;
        seen << key;
        const QByteArray value = v1 ? raw : QByteArray::fromPercentEncoding(raw);
        qint64 n = 0;
        if (key == "Path") {
            e.path = QString::fromUtf8(value);
        } else if (key == "Caption") {
            e.caption = QString::fromUtf8(value);
        } else if (key == "Charset") {
            e.format.charset = value;
        } else if (key == "Time") {
            e.time = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODateWithMs);
        } else if (key == "Boot") {
            e.bootId = value;
        } else if (key == "Encoding") {
            if (!number(raw, int(TextFileFormat::Named), &n))
                return false;
            e.format.encoding = TextFileFormat::Encoding(n);
        } else if (key == "Bom" || key == "FinalLineEnd" || key == "MixedLineEnds" || key == "EscapedBytes") {
            if (!number(raw, 1, &n))
                return false;
            (key == "Bom"             ? e.format.bom
             : key == "FinalLineEnd"  ? e.format.finalLineEnd
             : key == "MixedLineEnds" ? e.format.mixedLineEnds
                                      : e.format.escapedBytes) = n == 1;
        } else if (key == "LineEnd") {
            if (!number(raw, 2, &n))
                return false;
            e.format.lineEnd = TextFileFormat::LineEnd(n);
        } else if (key == "Pid") {
            if (!number(raw, std::numeric_limits<pid_t>::max(), &e.pid))
                return false;
        } else if (key == "Started") {
            if (!number(raw, std::numeric_limits<qint64>::max(), &e.started))
                return false;
        } else if (key == "Length") {
            if (!number(raw, std::numeric_limits<qint64>::max(), &length))
                return false;
        } else if (key == "LineEnds") {
            if (!number(raw, std::numeric_limits<qint64>::max(), &ends))
                return false;
        }
        // Other keys come from a later version and are passed over.
    }
    const qsizetype body = end + 4;
    if (length < 0 || length > (bytes.size() - body) / 2 || ends > bytes.size() - body - length * 2
        || bytes.size() - body != length * 2 + ends)
        return false;
    const qsizetype endsAt = body + length * 2;
    for (qsizetype i = endsAt; i < bytes.size(); ++i)
        if (uchar(bytes[i]) > TextFileFormat::CR)
            return false;
    if (lineEnds)
        *lineEnds = bytes.mid(endsAt);
    e.length = length;
    if (text) {
        *text = QString(length, Qt::Uninitialized);
        QChar* d = text->data();
        const auto* b = reinterpret_cast<const uchar*>(bytes.constData() + body);
        for (qsizetype i = 0; i < length; ++i)
            d[i] = QChar(char16_t(b[2 * i] | (b[2 * i + 1] << 8)));
    }
    *out = std::move(e);
    return true;
}

void write(const RecoveryEntry& entry, const QString& text, const QByteArray& lineEnds)
{
    writeBytes(entry, serialize(entry, text, lineEnds));
}

void write(const RecoveryEntry& entry, const TextSnapshot& text)
{
    writeBytes(entry, serialize(entry, text));
}

bool load(const QString& file, RecoveryEntry* entry, QString* text, QByteArray* lineEnds)
{
    QByteArray bytes;
    if (!SafeFile::read(file, &bytes))
        return false;
    entry->file = file;
    return parse(bytes, entry, text, lineEnds);
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
        RecoveryEntry e;
        if (!load(dir.filePath(name), &e, nullptr))
            continue;
        if (ownerRunning(e))
            continue;  // another running copy of the program keeps it up to date
        out << e;
    }
    std::sort(out.begin(), out.end(), [](const RecoveryEntry& a, const RecoveryEntry& b) { return a.time < b.time; });
    return out;
}

} // namespace RecoveryStore
