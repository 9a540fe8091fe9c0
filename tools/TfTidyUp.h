#pragma once
// "Tidy Up Page": HTML Tidy's clean and repair of the active document, or of
// its selection, shown as the lines that change before anything is replaced;
// Apply replaces the text as one undo step, Cancel leaves it.
#include <QDialog>

#include <functional>

class EditorContract;
class FrameServices;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TfTidyUp : public QDialog {
    Q_OBJECT
public:
    // notes: what Tidy found wrong in its options file, shown above the lines.
    TfTidyUp(QWidget* parent, const QString& before, const QString& after, const QStringList& notes = {});

    QPlainTextEdit* memDiff = nullptr;
    QLabel* lblSummary = nullptr;
    QPushButton* btnApply = nullptr;
    QPushButton* btnCancel = nullptr;
    int changedLines() const { return m_changed; }

    // The command. The tag case follows the "Tags"/"Case" setting; the
    // options come from the user's Tidy options file (written with its
    // defaults on first use).
    static void TidyUpPage(FrameServices& frame);
    // The work on one editor: tidies the selection (or everything), shows
    // the dialog and replaces the text when the user applies the changes.
    // *message says what happened, for the status line or a message box.
    enum Outcome { Replaced, Declined, NothingToChange, Failed };
    static Outcome TidyUp(QWidget* parent, EditorContract& editor, bool upperCase, const QString& configFile,
                          QString* message);

    // Test seam: decides in place of the user (default: the dialog's exec).
    using Decider = std::function<bool(TfTidyUp&)>;
    static void setDecider(Decider decider);

private:
    int m_changed = 0;
};
