#include "tags/TagEngine.h"

#include "app/AppSettings.h"
#include "app/TMegaRegistry.h"
#include "editor/EditorContract.h"

namespace {
const QString kAdding = QStringLiteral("Adding Command ...");
const QString kCaseKey = QStringLiteral("Case");
const QString kStayKey = QStringLiteral("Stay Selected");
}

namespace {
// Length of the character reference ("&amp;", "&#160;", "&#x20AC;") starting
// at i, or 0. Its letters carry meaning and must keep their case.
qsizetype referenceAt(const QString& text, qsizetype i)
{
    if (text.at(i) != QLatin1Char('&'))
        return 0;
    auto isAlnum = [](QChar c) { return c.unicode() < 128 && c.isLetterOrNumber(); };
    qsizetype j = i + 1;
    if (j < text.size() && text.at(j) == QLatin1Char('#')) {
        ++j;
        if (j < text.size() && (text.at(j) == QLatin1Char('x') || text.at(j) == QLatin1Char('X')))
            ++j;
    } else if (j >= text.size() || !text.at(j).isLetter()) {
        return 0;
    }
    const qsizetype start = j;
    while (j < text.size() && isAlnum(text.at(j)))
        ++j;
    if (j == start || j >= text.size() || text.at(j) != QLatin1Char(';'))
        return 0;
    return j + 1 - i;
}
} // namespace

QString TagEngine::applyTagCase(const QString& text, const QString& caseSetting)
{
    const bool upper = caseSetting == QLatin1String("U");
    const bool lower = !upper && caseSetting == QLatin1String("L");
    if (!upper && !lower)
        return text;
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (const qsizetype ref = referenceAt(out, i)) {
            i += ref - 1;
            continue;
        }
        QChar& ch = out[i];
        const char16_t u = ch.unicode();
        if (upper && u >= u'a' && u <= u'z')
            ch = QChar(char16_t(u - (u'a' - u'A')));
        else if (lower && u >= u'A' && u <= u'Z')
            ch = QChar(char16_t(u + (u'a' - u'A')));
    }
    return out;
}

void TagEngine::setLastPair(const QString& openText, const QString& closeText)
{
    m_lastOpen = openText;
    m_lastClose = closeText;
}

void TagEngine::InsertTagPair(const QString& openText, const QString& closeText)
{
    m_host.SetStatusText(kAdding);
    EditorContract* ed = m_host.activeEditor();
    if (!ed) {
        m_host.SetStatusText(AppSettings::kReady);
        return;
    }
    ed->SetModified(true);

    const QString caseSetting = m_host.settings().ReadString(AppSettings::kTags, kCaseKey,
                                                             QStringLiteral("W"));
    const QString open = applyTagCase(openText, caseSetting);
    const QString close = applyTagCase(closeText, caseSetting);
    m_lastOpen = open;
    m_lastClose = close;
    ed->SetModified(true);

    auto finish = [&]() {
        ed->SetModified(true);
        m_host.SetStatusText(AppSettings::kReady);
        m_host.SetTagPanel(open + QStringLiteral(" : ") + close);
    };

    try {
        // The pair goes in, and comes out again, as one undo step.
        EditGroup group(*ed);
        int l1 = 0, c1 = 0, l2 = 0, c2 = 0;
        if (ed->SelectionRange(l1, c1, l2, c2)) {
            // The closing text goes in first so the start position stays valid.
            ed->MoveCaret(l2, c2);
            ed->InsertAtCaret(close);
            ed->MoveCaret(l1, c1);
            ed->InsertAtCaret(open);
            const QString stay = m_host.settings().ReadString(AppSettings::kTags, kStayKey,
                                                              QStringLiteral("Y"));
            if (stay == QLatin1String("Y")) {
                // The caret stands where the old selection now starts. The end
                // moves along with it on a one-line selection; on a selection
                // over several lines only the lines added by the opening text move it.
                int sl = 0, sc = 0;
                ed->CaretPosition(sl, sc);
                if (l1 == l2)
                    ed->SelectRange(sl, sc, sl, sc + (c2 - c1), true);
                else
                    ed->SelectRange(sl, sc, l2 + (sl - l1), c2, true);
            }
        } else {
            ed->InsertAtCaret(open);
            int pl = 0, pc = 0;
            ed->CaretPosition(pl, pc);
            ed->InsertAtCaret(close);
            // Back between the two texts (an empty closing text leaves the
            // caret where it is).
            if (!close.isEmpty())
                ed->MoveCaret(pl, pc);
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    ed->FocusEditor();
}

bool TagEngine::ActiveHasSelection() const
{
    EditorContract* ed = m_host.activeEditor();
    if (!ed)
        return false;
    int l1 = 0, c1 = 0, l2 = 0, c2 = 0;
    return ed->SelectionRange(l1, c1, l2, c2);
}

void TagEngine::DeleteActiveSelection()
{
    EditorContract* ed = m_host.activeEditor();
    int l1 = 0, c1 = 0, l2 = 0, c2 = 0;
    if (ed && ed->SelectionRange(l1, c1, l2, c2))
        ed->DeleteSelection();
}

QString TagEngine::ColorIndexToHtml(int index)
{
    static const char* const kColors[16] = {
        "#000000", "#770000", "#339933", "#999900", "#000099", "#993399", "#009999", "#CCCCCC",
        "#777777", "#FF3333", "#00FF33", "#FFFF00", "#3333FF", "#FF66CC", "#00FFFF", "#FFFFFF",
    };
    if (index < 0 || index > 15)
        return QString();
    return QString::fromLatin1(kColors[index]);
}

QString TagEngine::ColorRefToHtml(quint32 colorRef)
{
    // BBGGRR as six capital hex digits, then the outer pairs swapped.
    const QString bgr = QStringLiteral("%1").arg(colorRef & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper();
    return QLatin1Char('#') + bgr.mid(4, 2) + bgr.mid(2, 2) + bgr.mid(0, 2);
}

QString TagEngine::ColorToHtml(int red, int green, int blue)
{
    const quint32 ref = quint32(red & 0xFF) | (quint32(green & 0xFF) << 8)
        | (quint32(blue & 0xFF) << 16);
    return ColorRefToHtml(ref);
}
