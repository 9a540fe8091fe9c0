#include "reuse/TfMacros.h"

#include "app/AppError.h"
#include "app/AppInvoker.h"
#include "app/BusyCursor.h"
#include "app/AppPaths.h"
#include "app/AppSettings.h"
#include "app/ListFile.h"
#include "app/PlacementAdapter.h"
#include "app/UiPrompter.h"
#include "tags/TagEngine.h"
#include "reuse/MacroExpander.h"
#include "reuse/MacroList.h"
#include "reuse/MacroListView.h"
#include "render/HelpViewer.h"

#include <QApplication>
#include <QClipboard>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValidator>

namespace {
// Turns every letter to upper case as it is typed.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

class SystemClipboard : public MacroClipboard {
public:
    QString text() const override { return QGuiApplication::clipboard()->text(); }
    void setText(const QString& text) override { QGuiApplication::clipboard()->setText(text); }
};

void setHint(QWidget* w, const QString& hint)
{
    w->setToolTip(hint);
    w->setStatusTip(hint);
}
} // namespace

TfMacros::TfMacros(QWidget* parent) : QDialog(parent), Prefs(AppSettings::kPrefsFile, QStringLiteral("Macro Edit"))
{
    setObjectName(QStringLiteral("fMacros"));
    setWindowTitle(QStringLiteral("Velquist Macros"));
    setModal(true);
    auto* layout = new QHBoxLayout(this);
    pages = new QTabWidget(this);
    layout->addWidget(pages, 1);

    lstSystemMacros = new MacroListView;
    lstSystemMacros->setObjectName(QStringLiteral("lstSystemMacros"));
    lstSystemMacros->setLines(MacroList::builtInSystem());
    pages->addTab(lstSystemMacros, QStringLiteral("&System Defined"));

    auto* user = new QWidget;
    auto* userLayout = new QVBoxLayout(user);
    lstUserMacros = new MacroListView;
    lstUserMacros->setObjectName(QStringLiteral("lstUserMacros"));
    lstUserMacros->setLines(MacroList::builtInUser());
    userLayout->addWidget(lstUserMacros, 1);
    auto* form = new QFormLayout;
    txtMacro = new QLineEdit;
    txtMacro->setMaxLength(12);
    txtMacro->setValidator(new UpperCaseValidator(txtMacro));
    setHint(txtMacro, QStringLiteral("Enter your Macro Name without the square brackets"));
    txtExpandTo = new QLineEdit;
    setHint(txtExpandTo, QStringLiteral("Enter the text that the Macro will expand to"));
    form->addRow(QStringLiteral("Macro"), txtMacro);
    form->addRow(QStringLiteral("Expand To"), txtExpandTo);
    userLayout->addLayout(form);
    auto* editButtons = new QHBoxLayout;
    cmdAdd = new QPushButton(QStringLiteral("&Add"));
    cmdRemove = new QPushButton(QStringLiteral("&Remove"));
    editButtons->addStretch();
    editButtons->addWidget(cmdAdd);
    editButtons->addWidget(cmdRemove);
    userLayout->addLayout(editButtons);
    pages->addTab(user, QStringLiteral("&User Defined"));
    pages->setCurrentWidget(user);

    auto* buttons = new QVBoxLayout;
    cmdSave = new QPushButton(QStringLiteral("&Save"));
    cmdSave->setDefault(true);
    cmdClose = new QPushButton(QStringLiteral("&Cancel"));
    cmdHelp = new QPushButton(QStringLiteral("&Help"));
    HelpViewer::attach(cmdHelp, 100);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdClose);
    buttons->addWidget(cmdHelp);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(cmdAdd, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { cmdAddClick(); }); });
    connect(cmdRemove, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { cmdRemoveClick(); }); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { SaveUser(); }); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdCloseClick(); });
    setFixedSize(520, 360);
}

QStringList TfMacros::systemMacros() const
{
    return lstSystemMacros->lines();
}

void TfMacros::showEvent(QShowEvent* e)
{
    // Each showing starts from the files: unsaved edits of the last one are gone.
    if (!e->spontaneous()) {
        AppInvoker::run([this] {
            bagShow(Prefs, this);
            LoadUser();
        });
    }
    QDialog::showEvent(e);
}

void TfMacros::done(int result)
{
    AppInvoker::run([this] { bagClose(Prefs, this); });
    QDialog::done(result);
}

void TfMacros::LoadUser()
{
    QStringList lines;
    if (MacroList::read(AppPaths::programFile(MacroList::SystemFile), &lines, nullptr))
        lstSystemMacros->setLines(lines);
    if (MacroList::read(AppPaths::readableDataFile(MacroList::UserFile), &lines, nullptr))
        lstUserMacros->setLines(lines);
}

void TfMacros::cmdAddClick()
{
    lstUserMacros->appendLine(MacroList::makeEntry(txtMacro->text(), txtExpandTo->text()));
}

void TfMacros::cmdRemoveClick()
{
    lstUserMacros->removeCurrent();
}

void TfMacros::SaveUser()
{
    AppPaths::ensureDataDir();
    const QString path = AppPaths::dataFile(MacroList::UserFile);
    try {
        ListFile::write(path, lstUserMacros->lines());
    } catch (const EFileError& e) {
        UiPrompter::instance().message(this, e.message(), UiPrompter::Ok, UiPrompter::Warning);
        return;
    }
    accept();
}

void TfMacros::cmdCloseClick()
{
    reject();
}

void TfMacros::ExpandMacrosNow(TagHost& host)
{
    EditorContract* editor = host.activeEditor();
    if (!editor)
        return;
    BusyCursor wait;
    const QStringList entries = MacroList::readUser() + systemMacros();
    SystemClipboard clipboard;
    const int count = MacroExpander::expand(*editor, entries, clipboard,
                                            [&host](const QString& text) { host.SetStatusText(text); });
    host.ShowMessage(MacroExpander::resultMessage(count));
    host.SetStatusText(AppSettings::kReady);
}
