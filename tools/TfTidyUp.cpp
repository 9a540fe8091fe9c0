#include "tools/TfTidyUp.h"

#include "app/AppSettings.h"
#include "app/FrameServices.h"
#include "app/TMegaRegistry.h"
#include "app/UiPrompter.h"
#include "editor/EditorContract.h"
#include "tools/TidyRunner.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {
TfTidyUp::Decider& decider()
{
    static TfTidyUp::Decider d;
    return d;
}
} // namespace

void TfTidyUp::setDecider(Decider d)
{
    decider() = std::move(d);
}

TfTidyUp::TfTidyUp(QWidget* parent, const QString& before, const QString& after, const QStringList& notes)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTidyUp"));
    setWindowTitle(QStringLiteral("Tidy Up Page"));
    auto* layout = new QVBoxLayout(this);
    lblSummary = new QLabel(this);
    lblSummary->setTextFormat(Qt::PlainText);
    layout->addWidget(lblSummary);
    memDiff = new QPlainTextEdit(this);
    memDiff->setObjectName(QStringLiteral("memDiff"));
    memDiff->setReadOnly(true);
    memDiff->setLineWrapMode(QPlainTextEdit::NoWrap);
    memDiff->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(memDiff, 1);
    auto* buttons = new QDialogButtonBox(this);
    btnApply = buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::AcceptRole);
    btnCancel = buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(820, 560);

    // A unified view: the lines that differ, with three lines around each change.
    const QList<TidyRunner::DiffLine> lines = TidyRunner::diffLines(before.split(u'\n'), after.split(u'\n'));
    constexpr int kAround = 3;
    std::vector<bool> keep(size_t(lines.size()), false);
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].kind != TidyRunner::DiffLine::Same) {
            ++m_changed;
            for (int j = std::max(0, i - kAround); j <= std::min(int(lines.size()) - 1, i + kAround); ++j)
                keep[size_t(j)] = true;
        }
    QTextCharFormat removed, added, same, gap;
    removed.setBackground(QColor(0xFF, 0xDD, 0xDD));
    added.setBackground(QColor(0xDD, 0xFF, 0xDD));
    gap.setForeground(QColor(0x80, 0x80, 0x80));
    QTextCursor c(memDiff->document());
    bool first = true, skipped = false;
    for (int i = 0; i < lines.size(); ++i) {
        if (!keep[size_t(i)]) {
            skipped = true;
            continue;
        }
        const TidyRunner::DiffLine& l = lines[i];
        auto put = [&](const QString& text, const QTextCharFormat& f) {
            if (!first)
                c.insertBlock();
            first = false;
            c.insertText(text, f);
        };
        if (skipped) {
            put(QStringLiteral("@@ line %1 @@").arg(l.oldLine ? l.oldLine : l.newLine), gap);
            skipped = false;
        }
        switch (l.kind) {
        case TidyRunner::DiffLine::Same: put(QStringLiteral("  ") + l.text, same); break;
        case TidyRunner::DiffLine::Removed: put(QStringLiteral("- ") + l.text, removed); break;
        case TidyRunner::DiffLine::Added: put(QStringLiteral("+ ") + l.text, added); break;
        }
    }
    memDiff->moveCursor(QTextCursor::Start);
    QString summary = QStringLiteral("HTML Tidy changes %1 lines. Apply the changes?").arg(m_changed);
    if (!notes.isEmpty())
        summary += QStringLiteral("\nTidy's options file: ") + notes.join(QStringLiteral("; "));
    lblSummary->setText(summary);
}

TfTidyUp::Outcome TfTidyUp::TidyUp(QWidget* parent, EditorContract& editor, bool upperCase,
                                   const QString& configFile, QString* message)
{
    int l1 = 0, c1 = 0, l2 = 0, c2 = 0;
    const bool selection = editor.SelectionRange(l1, c1, l2, c2);
    if (!selection) {
        l1 = 1;
        c1 = 1;
        l2 = editor.LineCount();
        c2 = int(editor.RawLineText(l2).size()) + 1;
    }
    // The text between the two positions, lines as stored.
    QStringList parts;
    for (int l = l1; l <= l2; ++l) {
        const QString line = editor.RawLineText(l);
        const int from = l == l1 ? c1 - 1 : 0;
        const int to = l == l2 ? c2 - 1 : int(line.size());
        parts << line.mid(from, std::max(0, to - from));
    }
    const QString before = parts.join(u'\n');
    if (before.trimmed().isEmpty()) {
        *message = QStringLiteral("There is nothing to tidy.");
        return NothingToChange;
    }
    TidyRunner::Cleaned cleaned = TidyRunner::cleanUp(before, selection, upperCase, configFile);
    if (!cleaned.ok) {
        *message = cleaned.error;
        return Failed;
    }
    // The text keeps its own ending: Tidy ends its output with line ends of its own.
    auto trailingBreaks = [](const QString& t) {
        int n = 0;
        while (n < t.size() && t[t.size() - 1 - n] == u'\n')
            ++n;
        return n;
    };
    QString after = cleaned.text;
    after.chop(trailingBreaks(after));
    after += QString(trailingBreaks(before), u'\n');
    if (after == before) {
        *message = QStringLiteral("HTML Tidy finds nothing to change.");
        return NothingToChange;
    }
    TfTidyUp dialog(parent, before, after, cleaned.configNotes);
    const bool apply = decider() ? decider()(dialog) : dialog.exec() == QDialog::Accepted;
    if (!apply) {
        *message = AppSettings::kReady;
        return Declined;
    }
    int caretLine = 0, caretColumn = 0;
    editor.CaretPosition(caretLine, caretColumn);
    {
        EditGroup group(editor);
        editor.SelectRange(l1, c1, l2, c2, true);
        editor.InsertAtCaret(after);
    }
    if (!selection)
        editor.MoveCaret(std::min(caretLine, editor.LineCount()), 1);
    *message = QStringLiteral("Tidied: %1 lines changed").arg(dialog.changedLines());
    return Replaced;
}

void TfTidyUp::TidyUpPage(FrameServices& frame)
{
    EditorContract* editor = frame.activeEditor();
    if (!editor)
        return;
    QString error;
    if (!TidyRunner::ensureOptionsFile(&error))
        UiPrompter::instance().message(frame.frameWindow(),
                                       error + QStringLiteral("\nHTML Tidy's own defaults are used."),
                                       UiPrompter::Ok, UiPrompter::Warning);
    frame.SetStatusText(QStringLiteral("Tidying ..."));
    const bool upper = frame.settings().ReadString(AppSettings::kTags, QStringLiteral("Case"), QStringLiteral("W"))
                       == QLatin1String("U");
    QString message;
    if (TidyUp(frame.frameWindow(), *editor, upper, TidyRunner::optionsPath(), &message) == Failed)
        UiPrompter::instance().message(frame.frameWindow(), message, UiPrompter::Ok, UiPrompter::Warning);
    frame.SetStatusText(message);
    editor->FocusEditor();
}
