#include "tools/ProblemsPanel.h"

#include "app/AppInvoker.h"
#include "app/FrameServices.h"
#include "app/TMegaRegistry.h"
#include "app/TfHTML.h"
#include "app/UiPrompter.h"
#include "editor/TOvcTextFileEditor.h"
#include "tools/TidyRunner.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QHideEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QThreadPool>
#include <QTimer>
#include <QToolButton>
#include <QAbstractTableModel>
#include <QTreeView>
#include <QVBoxLayout>

#include <QThread>

#include <functional>
#include <memory>

namespace {
const QString kSection = QStringLiteral("Page Checks");
const QString kHiddenKey = QStringLiteral("Hidden Messages");

QString showKey(PageChecks::Severity s)
{
    return QStringLiteral("Show ") + PageChecks::severityName(s);
}

QString plural(int n, const char* one, const char* many)
{
    return QString::number(n) + u' ' + QLatin1String(n == 1 ? one : many);
}
} // namespace

// The rows of the panel over the list of problems shown: nothing is made per
// row, so a page with thousands of problems shows at once.
class ProblemsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Changes the list the rows show, with the views told.
    void reset(const QList<PageChecks::Problem>* problems, const std::function<void()>& change)
    {
        beginResetModel();
        m_problems = problems;
        change();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() || !m_problems ? 0 : int(m_problems->size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 5; }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        static const char* const names[] = {"Severity", "Line", "Column", "Message", "Check"};
        if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 5)
            return QString::fromLatin1(names[section]);
        return QVariant();
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!m_problems || index.row() >= m_problems->size())
            return QVariant();
        const PageChecks::Problem& p = m_problems->at(index.row());
        if (role == Qt::DisplayRole || (role == Qt::ToolTipRole && index.column() == 3)) {
            switch (index.column()) {
            case 0: return PageChecks::severityName(p.severity);
            case 1: return p.line;
            case 2: return p.column;
            case 3: return p.message;
            case 4: return PageChecks::checkName(p.check);
            }
        }
        if (role == Qt::ForegroundRole && index.column() == 0) {
            static const QColor colours[] = {QColor(0xB0, 0x10, 0x10), QColor(0xA0, 0x60, 0x00),
                                             QColor(0x50, 0x60, 0x80), QColor(0x50, 0x50, 0x50)};
            return colours[int(p.severity)];
        }
        return QVariant();
    }

private:
    const QList<PageChecks::Problem>* m_problems = nullptr;
};

ProblemsPanel::Outcome ProblemsPanel::runChecks(const QString& text, const QString& baseDir,
                                                const PageChecks::Options& options, const QString& tidyConfig)
{
    Outcome out;
    TidyRunner::Diagnostics tidy;
    // One after the other on one worker thread: on a machine of two cores the
    // other one stays free for the interface thread (typing).
    PageChecks::FileFacts facts;
    out.problems = PageChecks::checkPage(text, baseDir, options, facts);
    if (options.runs(PageChecks::Tidy) && text.size() > kTidyLimit) {
        out.tidyNote = QStringLiteral("HTML Tidy leaves out pages over %1 MB; the other checks still run.")
                           .arg(kTidyLimit / (1024 * 1024));
    } else if (options.runs(PageChecks::Tidy)) {
        tidy = TidyRunner::diagnose(text, options, tidyConfig);
        if (tidy.ok) {
            out.problems += tidy.problems;
            if (!tidy.configNotes.isEmpty())
                out.tidyNote = QStringLiteral("Tidy's options file: ") + tidy.configNotes.join(QStringLiteral("; "));
        } else
            out.tidyNote = tidy.error + QStringLiteral("; the other checks still run.");
        PageChecks::sortProblems(out.problems);
        if (out.problems.size() > PageChecks::kMaxProblems)
            out.problems.resize(PageChecks::kMaxProblems);
    }
    return out;
}

ProblemsPanel* ProblemsPanel::findIn(QWidget* frame)
{
    return frame ? frame->findChild<ProblemsPanel*>(QStringLiteral("ProblemsPanel"), Qt::FindDirectChildrenOnly)
                 : nullptr;
}

ProblemsPanel::ProblemsPanel(FrameServices& frame)
    : QDockWidget(QStringLiteral("Problems"), frame.frameWindow()), m_frame(frame)
{
    setObjectName(QStringLiteral("ProblemsPanel"));
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea | Qt::LeftDockWidgetArea
                    | Qt::RightDockWidgetArea);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto* top = new QHBoxLayout;
    m_summary = new QLabel(body);
    m_summary->setTextFormat(Qt::PlainText);
    m_checks = new QToolButton(body);
    m_checks->setText(QStringLiteral("&Checks"));
    m_checks->setPopupMode(QToolButton::InstantPopup);
    m_menu = new QMenu(m_checks);
    m_checks->setMenu(m_menu);
    top->addWidget(m_summary, 1);
    top->addWidget(m_checks);
    layout->addLayout(top);
    m_list = new QTreeView(body);
    m_list->setObjectName(QStringLiteral("lstProblems"));
    m_model = new ProblemsModel(m_list);
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(3, QHeaderView::Stretch);
    m_list->setColumnWidth(0, 80);
    m_list->setColumnWidth(1, 60);
    m_list->setColumnWidth(2, 60);
    m_list->setColumnWidth(4, 120);
    layout->addWidget(m_list, 1);
    setWidget(body);

    buildMenu();

    m_pause = new QTimer(this);
    m_pause->setSingleShot(true);
    m_pause->setInterval(kPauseMs);
    connect(m_pause, &QTimer::timeout, this, &ProblemsPanel::start);
    // The active document: told by the frame's document area, and looked at
    // now and then for changes it does not tell (the last window closed).
    m_follow = new QTimer(this);
    m_follow->setInterval(500);
    connect(m_follow, &QTimer::timeout, this, &ProblemsPanel::follow);
    if (auto* area = frame.frameWindow()->findChild<QMdiArea*>())
        connect(area, &QMdiArea::subWindowActivated, this, [this] { QTimer::singleShot(0, this, &ProblemsPanel::follow); });
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = m_list->indexAt(pos);
        if (!index.isValid())
            return;
        QMenu menu(this);
        QAction* go = menu.addAction(QStringLiteral("&Go to Problem"));
        QAction* hide = menu.addAction(QStringLiteral("&Hide Messages of This Kind"));
        QAction* chosen = menu.exec(m_list->viewport()->mapToGlobal(pos));
        if (chosen == go)
            goToRow(index.row());
        else if (chosen == hide)
            hideKindOf(index.row());
    });
    connect(m_list, &QTreeView::activated, this, [this](const QModelIndex& index) {
        const int row = index.row();
        AppInvoker::run([this, row] { goToRow(row); });
    });

    if (auto* main = qobject_cast<QMainWindow*>(frame.frameWindow())) {
        main->addDockWidget(Qt::BottomDockWidgetArea, this);
        m_status = new QLabel(main->statusBar());
        m_status->setObjectName(QStringLiteral("pnlProblems"));
        m_status->setTextFormat(Qt::PlainText);
        m_status->setFrameShape(QFrame::Panel);
        m_status->setFrameShadow(QFrame::Sunken);
        m_status->setToolTip(QStringLiteral("Problems in the Active Document"));
        main->statusBar()->addPermanentWidget(m_status);
        m_status->hide();
    }
    showProblems();
}

ProblemsPanel::~ProblemsPanel()
{
    // A check still running delivers to no one.
    ++m_generation;
}

void ProblemsPanel::buildMenu()
{
    m_menu->clear();
    for (int c = 0; c < PageChecks::kCheckCount; ++c) {
        const auto check = PageChecks::Check(c);
        QAction* a = m_menu->addAction(PageChecks::checkName(check));
        a->setCheckable(true);
        a->setChecked(m_options.runs(check));
        a->setData(c);
        connect(a, &QAction::toggled, this, [this, check](bool on) {
            m_options.setRuns(check, on);
            saveChoices();
            checkNow();
        });
    }
    m_menu->addSeparator();
    static const char* const shows[] = {"Show &Errors", "Show &Warnings", "Show &Legacy Notes", "Show &Info"};
    for (int s = 0; s < PageChecks::kSeverityCount; ++s) {
        const auto severity = PageChecks::Severity(s);
        QAction* a = m_menu->addAction(QString::fromLatin1(shows[s]));
        a->setCheckable(true);
        a->setChecked(m_options.shows(severity));
        connect(a, &QAction::toggled, this, [this, severity](bool on) {
            m_options.setShows(severity, on);
            saveChoices();
            showProblems();
        });
    }
    QAction* again = m_menu->addAction(QStringLiteral("Show &Hidden Messages (%1 kinds)").arg(m_options.hiddenKinds.size()));
    again->setEnabled(!m_options.hiddenKinds.isEmpty());
    connect(again, &QAction::triggered, this, [this] {
        m_options.hiddenKinds.clear();
        saveChoices();
        showProblems();
        // The menu is made anew once this entry's signal is over.
        QTimer::singleShot(0, this, &ProblemsPanel::buildMenu);
    });
    m_menu->addSeparator();
    connect(m_menu->addAction(QStringLiteral("Edit &Tidy Options...")), &QAction::triggered, this,
            [this] { AppInvoker::run([this] { editTidyOptions(); }); });
}

void ProblemsPanel::setOptions(const PageChecks::Options& options)
{
    m_options = options;
    const QSignalBlocker quiet(m_menu);
    buildMenu();
    showProblems();
    checkNow();
}

void ProblemsPanel::loadChoices(TMegaRegistry& settings)
{
    m_options = choicesFrom(settings);
    buildMenu();
    showProblems();
}

PageChecks::Options ProblemsPanel::choicesFrom(TMegaRegistry& settings)
{
    PageChecks::Options o;
    for (int c = 0; c < PageChecks::kCheckCount; ++c)
        o.setRuns(PageChecks::Check(c), settings.ReadBool(kSection, PageChecks::checkKey(PageChecks::Check(c)), true));
    for (int s = 0; s < PageChecks::kSeverityCount; ++s)
        o.setShows(PageChecks::Severity(s), settings.ReadBool(kSection, showKey(PageChecks::Severity(s)), true));
    for (const QString& kind : settings.ReadString(kSection, kHiddenKey, QString()).split(u',', Qt::SkipEmptyParts))
        o.hiddenKinds.insert(kind.trimmed());
    return o;
}

void ProblemsPanel::storeChoices(TMegaRegistry& settings) const
{
    for (int c = 0; c < PageChecks::kCheckCount; ++c)
        settings.WriteBool(kSection, PageChecks::checkKey(PageChecks::Check(c)), m_options.runs(PageChecks::Check(c)));
    for (int s = 0; s < PageChecks::kSeverityCount; ++s)
        settings.WriteBool(kSection, showKey(PageChecks::Severity(s)), m_options.shows(PageChecks::Severity(s)));
    QStringList hidden(m_options.hiddenKinds.cbegin(), m_options.hiddenKinds.cend());
    hidden.sort();
    settings.WriteString(kSection, kHiddenKey, hidden.join(u','));
}

void ProblemsPanel::saveChoices()
{
    AppInvoker::run([this] { storeChoices(m_frame.settings()); });
}

void ProblemsPanel::editTidyOptions()
{
    QString error;
    if (!TidyRunner::ensureOptionsFile(&error)) {
        UiPrompter::instance().message(this, error, UiPrompter::Ok, UiPrompter::Warning);
        return;
    }
    m_frame.OpenDocumentFile(TidyRunner::optionsPath());
}

void ProblemsPanel::showEvent(QShowEvent* e)
{
    QDockWidget::showEvent(e);
    if (m_status)
        m_status->show();
    m_follow->start();
    follow();
    checkNow();
}

void ProblemsPanel::hideEvent(QHideEvent* e)
{
    QDockWidget::hideEvent(e);
    if (e->spontaneous())
        return;  // the frame minimized
    m_follow->stop();
    m_pause->stop();
    if (m_status)
        m_status->hide();
    if (m_doc)
        m_doc->txtHTML->setLineMarks({});
    attach(nullptr);
}

void ProblemsPanel::follow()
{
    if (!isVisible())
        return;
    TfHTML* active = m_frame.activeDocument();
    if (active != m_doc)
        attach(active);
}

void ProblemsPanel::attach(TfHTML* doc)
{
    disconnect(m_textConnection);
    m_doc = doc;
    ++m_generation;
    m_all.clear();
    m_tidyNote.clear();
    if (doc) {
        m_textConnection = connect(doc->txtHTML, &TOvcTextFileEditor::textChanged, this, &ProblemsPanel::textChanged);
        checkNow();
    }
    showProblems();
}

void ProblemsPanel::textChanged()
{
    // A result under way belongs to the text before this change.
    ++m_generation;
    m_pause->start();
}

void ProblemsPanel::checkNow()
{
    if (!m_doc || !isVisible())
        return;
    ++m_generation;
    m_pause->stop();
    start();
}

void ProblemsPanel::start()
{
    if (!m_doc)
        return;
    if (m_running) {
        m_again = true;  // after the one running, whose result will be dropped
        return;
    }
    m_running = true;
    const quint64 generation = m_generation;
    TfHTML* doc = m_doc;  // compared only, never followed
    // The snapshot is taken here and read on the worker while typing goes on.
    const TextSnapshot snapshot = m_doc->txtHTML->buffer().Text();
    const QString baseDir = m_doc->isUntitled() ? QString() : QFileInfo(m_doc->caption()).absolutePath();
    const PageChecks::Options options = m_options;
    const QString config = TidyRunner::optionsPath();
    QPointer<ProblemsPanel> self = this;
    QThreadPool::globalInstance()->start([=] {
        const Outcome outcome = runChecks(snapshot.RawText(), baseDir, options, config);
        QMetaObject::invokeMethod(qApp, [self, generation, doc, outcome] {
            if (self)
                self->deliver(generation, doc, outcome);
        }, Qt::QueuedConnection);
    });
}

void ProblemsPanel::deliver(quint64 generation, TfHTML* doc, const Outcome& outcome)
{
    m_running = false;
    if (generation == m_generation && doc && doc == m_doc) {
        m_all = outcome.problems;
        m_tidyNote = outcome.tidyNote;
        showProblems();
        emit checked();
    }
    // Typing went on meanwhile: that text waits for its own pause, unless
    // a check was asked for while this one ran.
    if (m_again) {
        m_again = false;
        if (!m_pause->isActive())
            start();
    }
}

QString ProblemsPanel::summary() const
{
    if (!m_doc)
        return QStringLiteral("No document");
    int count[PageChecks::kSeverityCount] = {};
    for (const PageChecks::Problem& p : m_shown)
        ++count[int(p.severity)];
    if (m_shown.isEmpty())
        return QStringLiteral("No problems");
    QStringList parts;
    if (count[0])
        parts << plural(count[0], "error", "errors");
    if (count[1])
        parts << plural(count[1], "warning", "warnings");
    if (count[2] + count[3])
        parts << plural(count[2] + count[3], "note", "notes");
    return parts.join(QStringLiteral(", "));
}

void ProblemsPanel::showProblems()
{
    QList<PageChecks::Problem> shown;
    for (const PageChecks::Problem& p : std::as_const(m_all))
        if (m_options.shows(p))
            shown.append(p);
    m_model->reset(&m_shown, [&] { m_shown = std::move(shown); });

    QString text = summary();
    if (!m_tidyNote.isEmpty())
        text += QStringLiteral(" \u2014 ") + m_tidyNote;
    m_summary->setText(text);
    if (m_status)
        m_status->setText(m_doc ? summary() : QString());
    if (m_doc) {
        std::vector<TOvcTextFileEditor::LineMark> marks;
        marks.reserve(size_t(m_shown.size()));
        for (const PageChecks::Problem& p : std::as_const(m_shown))
            marks.push_back({p.line - 1, std::min(int(p.severity), 2),
                             PageChecks::severityName(p.severity) + QStringLiteral(": ") + p.message});
        m_doc->txtHTML->setLineMarks(std::move(marks));
    }
}

void ProblemsPanel::goToRow(int row)
{
    if (!m_doc || row < 0 || row >= m_shown.size())
        return;
    const PageChecks::Problem& p = m_shown[row];
    TOvcTextFileEditor* ed = m_doc->txtHTML;
    if (p.line > ed->LineCount())
        return;
    int length = p.length;
    if (length <= 0) {
        // Tidy gives where a tag starts: select the tag.
        const QString line = ed->RawLineText(p.line);
        const int at = p.column - 1;
        if (at < line.size() && line[at] == u'<') {
            const qsizetype gt = line.indexOf(u'>', at);
            length = int((gt < 0 ? line.size() : gt + 1) - at);
        }
    }
    m_frame.showDocument(m_doc);
    ed->SelectRange(p.line, p.column, p.line, p.column + length, true);
    ed->FocusEditor();
}

TfHTML* ProblemsPanel::document() const
{
    return m_doc;
}

void ProblemsPanel::hideKindOf(int row)
{
    if (row < 0 || row >= m_shown.size())
        return;
    m_options.hiddenKinds.insert(PageChecks::kindOf(m_shown[row]));
    saveChoices();
    buildMenu();
    showProblems();
}
