// Properties: a loaded file comes back byte for byte; after any edits the line
// index agrees with the text, and undoing everything gives the loaded text
// back and redoing everything the newest one.
#include "editor/TextBuffer.h"

#include <cstdlib>

static void check(bool ok)
{
    if (!ok)
        std::abort();
}

static void checkLines(const TextSnapshot& t)
{
    const QString all = t.RawText();
    check(t.LineCount() == all.count(QLatin1Char('\n')) + 1);
    qsizetype start = 0;
    for (qsizetype line = 0; line < t.LineCount(); ++line) {
        check(t.LineStart(line) == start);
        check(t.LineOfOffset(start) == line);
        const qsizetype end = t.LineEndOffset(line);
        check(end == (line + 1 < t.LineCount() ? all.indexOf(QLatin1Char('\n'), start) : all.size()));
        start = end + 1;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first byte says how much of the rest is the file; the bytes after it are edits.
    const size_t fileSize = std::min<size_t>(size - 1, data[0] * 4u);
    const QByteArray file(reinterpret_cast<const char*>(data + 1), qsizetype(fileSize));
    TextBuffer b;
    b.Load(TextFileCodec::decode(file));
    check(b.Encode() == file);
    const QString loaded = b.Text().RawText();

    const uint8_t* op = data + 1 + fileSize;
    const uint8_t* end = data + size;
    static const QString pieces[] = {QStringLiteral("a"), QStringLiteral("\n"), QStringLiteral("b c\n\nd"),
                                     QString(1500, QLatin1Char('x')) + QLatin1Char('\n')};
    while (end - op >= 3) {
        const qsizetype at = b.Length() ? qsizetype((op[1] << 8 | op[2]) % (b.Length() + 1)) : 0;
        switch (op[0] % 8) {
        case 0: b.Insert(at, pieces[(op[0] >> 3) % 4], EditKind::Typing); break;
        case 1: b.Insert(at, pieces[(op[0] >> 3) % 4]); break;
        case 2: b.Remove(at, op[0] >> 3, op[0] & 0x80 ? EditKind::Typing : EditKind::Plain); break;
        case 3: b.Undo(); break;
        case 4: b.Redo(); break;
        case 5: op[0] & 0x80 ? b.EndEditGroup() : b.BeginEditGroup(); break;
        case 6: b.ReplaceAll(QStringLiteral("a"), pieces[(op[0] >> 3) % 4], op[0] & 0x80 ? SearchFlags::WholeWord : 0, at); break;
        case 7: b.DeleteRanges({{at, op[0] >> 4}, {at + 20, 3}}, op[0] & 0x08); break;
        }
        op += 3;
    }
    checkLines(b.Text());
    while (b.Redo()) {
    }
    const QString edited = b.Text().RawText();
    while (b.Undo()) {
    }
    check(b.Text().RawText() == loaded);
    while (b.Redo()) {
    }
    check(b.Text().RawText() == edited);
    return 0;
}
