#pragma once
// The "Problems" panel under the documents: the problems of the active
// document, checked on another thread after a pause in typing, one row per
// problem; double click or Enter goes to it. The problems are marked in the
// editor's gutter and counted in a status panel. The checks that run and the
// kinds of message shown are chosen from the panel's "Checks" menu and kept
// in the settings file (section "Page Checks").
#include "tools/PageChecks.h"

#include <QDockWidget>
#include <QPointer>

class FrameServices;
class QLabel;
class QMenu;
class QTimer;
class QToolButton;
class QTreeView;
class ProblemsModel;
class TfHTML;
class TMegaRegistry;

class ProblemsPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit ProblemsPanel(FrameServices& frame);
    ~ProblemsPanel() override;

    // What one check of a text found: the page's own checks and Tidy's, run
    // side by side; tidyNote says why Tidy could not run.
    struct Outcome {
        QList<PageChecks::Problem> problems;
        QString tidyNote;
    };
    static Outcome runChecks(const QString& text, const QString& baseDir, const PageChecks::Options& options,
                             const QString& tidyConfig);
    // The panel of a frame window, when it was made.
    static ProblemsPanel* findIn(QWidget* frame);

    // The pause after the last change before a check starts.
    static constexpr int kPauseMs = 700;
    // Larger pages are not given to Tidy (seconds of work and much memory).
    static constexpr qsizetype kTidyLimit = qsizetype(8) * 1024 * 1024;

    const PageChecks::Options& options() const { return m_options; }
    void setOptions(const PageChecks::Options& options);
    // Reads and writes the choices in the settings file.
    static PageChecks::Options choicesFrom(TMegaRegistry& settings);
    void loadChoices(TMegaRegistry& settings);
    void storeChoices(TMegaRegistry& settings) const;

    // Checks the active document now rather than after the pause.
    void checkNow();
    bool isChecking() const { return m_running; }
    // The document the rows belong to.
    TfHTML* document() const;
    // The problems shown (after the severities hidden are left out).
    const QList<PageChecks::Problem>& shown() const { return m_shown; }
    QTreeView* list() const { return m_list; }
    QMenu* checksMenu() const { return m_menu; }
    // The summary above the list and in the status panel.
    QString summary() const;
    // Puts the caret on the row's problem and selects its text.
    void goToRow(int row);
    // Hides every message of the row's kind (kept in the settings file).
    void hideKindOf(int row);

signals:
    // A check's result was shown.
    void checked();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void follow();
    void attach(TfHTML* doc);
    void textChanged();
    void start();
    void deliver(quint64 generation, TfHTML* doc, const Outcome& outcome);
    void showProblems();
    void buildMenu();
    void editTidyOptions();
    void saveChoices();

    FrameServices& m_frame;
    PageChecks::Options m_options;
    QPointer<TfHTML> m_doc;
    QMetaObject::Connection m_textConnection;
    QTimer* m_pause = nullptr;
    QTimer* m_follow = nullptr;
    quint64 m_generation = 0;
    bool m_running = false;
    bool m_again = false;
    QList<PageChecks::Problem> m_all;
    QList<PageChecks::Problem> m_shown;
    QString m_tidyNote;
    QTreeView* m_list = nullptr;
    ProblemsModel* m_model = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_status = nullptr;
    QToolButton* m_checks = nullptr;
    QMenu* m_menu = nullptr;
};
