#include "app/TfOptions.h"

#include "app/PlacementAdapter.h"

#include "app/AppInvoker.h"
#include "app/AppPaths.h"
#include "app/AppSettings.h"
#include "app/TmdiMain.h"
#include "render/HelpViewer.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace AppSettings;

TfOptions::TfOptions(TmdiMain& main) : QDialog(&main), m_main(main)
{
    setObjectName(QStringLiteral("fOptions"));
    setWindowTitle(QStringLiteral("Velquist Application Options"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    pages = new QTabWidget(this);
    layout->addWidget(pages);

    // Editing
    auto* editing = new QWidget;
    auto* editLayout = new QVBoxLayout(editing);
    auto* caseGroup = new QGroupBox(QStringLiteral(" Insert Tags in "));
    auto* caseLayout = new QVBoxLayout(caseGroup);
    rbLower = new QRadioButton(QStringLiteral("lower case"));
    rbUpper = new QRadioButton(QStringLiteral("UPPER CASE"));
    rbDecide = new QRadioButton(QStringLiteral("Let Velquist Decide"));
    rbDecide->setChecked(true);
    caseLayout->addWidget(rbLower);
    caseLayout->addWidget(rbUpper);
    caseLayout->addWidget(rbDecide);
    editLayout->addWidget(caseGroup);
    auto* behaviourGroup = new QGroupBox(QStringLiteral("'Insert Tag' Behaviour"));
    auto* behaviourLayout = new QVBoxLayout(behaviourGroup);
    rbStaySelected = new QRadioButton(QStringLiteral("Leave text selected after Insert"));
    rbMoveCursor = new QRadioButton(QStringLiteral("Move cursor to end of inserted text"));
    rbStaySelected->setChecked(true);
    behaviourLayout->addWidget(rbStaySelected);
    behaviourLayout->addWidget(rbMoveCursor);
    editLayout->addWidget(behaviourGroup);
    auto* editorGroup = new QGroupBox(QStringLiteral("Editor Behaviour "));
    auto* editorLayout = new QFormLayout(editorGroup);
    cbSmartTabs = new QCheckBox(QStringLiteral("Use Smart Tabs"));
    cbSmartTabs->setChecked(true);
    editorLayout->addRow(cbSmartTabs);
    spTabWidth = new QSpinBox;
    spTabWidth->setRange(1, 99);
    editorLayout->addRow(QStringLiteral("Tab Width"), spTabWidth);
    cbWordWrap = new QCheckBox(QStringLiteral("Word Wrap"));
    cbWordWrap->setChecked(true);
    editorLayout->addRow(cbWordWrap);
    editLayout->addWidget(editorGroup);
    editLayout->addStretch();
    pages->addTab(editing, QStringLiteral("&Editing"));

    // User defaults
    auto* user = new QWidget;
    auto* userLayout = new QFormLayout(user);
    edUserName = new QLineEdit;
    edEmail = new QLineEdit;
    edHomePage = new QLineEdit;
    edOrganisation = new QLineEdit;
    userLayout->addRow(QStringLiteral("User Name"), edUserName);
    userLayout->addRow(QStringLiteral("E-Mail Address"), edEmail);
    userLayout->addRow(QStringLiteral("Home Page"), edHomePage);
    userLayout->addRow(QStringLiteral("Organisation"), edOrganisation);
    pages->addTab(user, QStringLiteral("&User Defaults"));

    // System settings
    auto* system = new QWidget;
    auto* systemLayout = new QVBoxLayout(system);
    auto* dirForm = new QFormLayout;
    edStartDir = new QLineEdit;
    const QString dirHint = QStringLiteral("The Default Startup Directory for HTML Documents");
    edStartDir->setToolTip(dirHint);
    edStartDir->setStatusTip(dirHint);
    dirForm->addRow(QStringLiteral("Default Startup Directory"), edStartDir);
    systemLayout->addLayout(dirForm);
    auto* misc = new QGroupBox(QStringLiteral("Misc Options"));
    auto* miscLayout = new QVBoxLayout(misc);
    cbLoadTemplate = new QCheckBox(QStringLiteral("Load Template on Start Up"));
    cbBackup = new QCheckBox(QStringLiteral("Create Backup Files"));
    cbTips = new QCheckBox(QStringLiteral("Show Tips on Start Up"));
    cbSession = new QCheckBox(QStringLiteral("Reopen the Files of the Last Session"));
    for (QCheckBox* c : {cbLoadTemplate, cbBackup, cbTips, cbSession}) {
        c->setChecked(true);
        miscLayout->addWidget(c);
    }
    systemLayout->addWidget(misc);
    systemLayout->addStretch();
    pages->addTab(system, QStringLiteral("&System Settings"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnSave = new QPushButton(QStringLiteral("Save"));
    btnSave->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"));
    btnHelp = new QPushButton(QStringLiteral("&Help"));
    buttons->addWidget(btnSave);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnHelp);
    layout->addLayout(buttons);

    connect(btnSave, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { btnSaveClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    HelpViewer::attach(btnHelp, 1);
    connect(cbTips, &QCheckBox::clicked, this, [this] { AppInvoker::run([this] { cbTipsClick(); }); });

    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfOptions::showEvent(QShowEvent* e)
{
    // Each showing starts from the stored values.
    AppInvoker::run([this] { LoadIniSettings(); });
    QDialog::showEvent(e);
    centreOnScreen(this);
}

void TfOptions::LoadIniSettings()
{
    m_main.SetStatusText(QStringLiteral("Loading Application Options ..."));
    TMegaRegistry& ini = m_main.IniControl;
    cbSmartTabs->setChecked(ini.ReadBool(kEditor, QStringLiteral("Smart Tabs"), false));
    cbWordWrap->setChecked(ini.ReadBool(kEditor, QStringLiteral("Word Wrap"), true));
    cbLoadTemplate->setChecked(ini.ReadBool(kSystem, QStringLiteral("Open Template"), true));
    cbBackup->setChecked(ini.ReadBool(kSystem, QStringLiteral("Create Backup"), true));
    cbTips->setChecked(ini.ReadBool(kStart, QStringLiteral("Tips"), true));
    cbSession->setChecked(ini.ReadBool(kSystem, QStringLiteral("Restore Session"), true));
    spTabWidth->setValue(ini.ReadInteger(kEditor, QStringLiteral("Tab Size"), 8));
    edStartDir->setText(ini.ReadString(kOptions, QStringLiteral("Startup Directory"), AppPaths::defaultStartupDir()));
    edUserName->setText(ini.ReadString(kHeader, QStringLiteral("User Name"), kDefUserName));
    edEmail->setText(ini.ReadString(kHeader, QStringLiteral("EMail"), kDefEmail));
    edHomePage->setText(ini.ReadString(kHeader, QStringLiteral("Home Page"), kDefHomePage));
    edOrganisation->setText(ini.ReadString(kHeader, QStringLiteral("Organisation"), kDefOrganisation));
    const QString tagCase = ini.ReadString(kTags, QStringLiteral("Case"), QStringLiteral("W"));
    if (tagCase.startsWith(QLatin1Char('L')))
        rbLower->setChecked(true);
    else if (tagCase.startsWith(QLatin1Char('U')))
        rbUpper->setChecked(true);
    else
        rbDecide->setChecked(true);
    if (ini.ReadString(kTags, QStringLiteral("Stay Selected"), QStringLiteral("Y")) == QLatin1String("Y"))
        rbStaySelected->setChecked(true);
    else
        rbMoveCursor->setChecked(true);
}

void TfOptions::btnSaveClick()
{
    TMegaRegistry& ini = m_main.IniControl;
    QString dir = edStartDir->text();
    if (dir.size() > 1 && (dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\')))) {
        dir.chop(1);
        edStartDir->setText(dir);
    }
    if (!dir.isEmpty() && QFileInfo(dir).isDir())
        ini.WriteString(kOptions, QStringLiteral("Startup Directory"), dir);
    else
        ini.WriteString(kOptions, QStringLiteral("Startup Directory"), AppPaths::defaultStartupDir());
    ini.WriteString(kTags, QStringLiteral("Case"),
                    rbLower->isChecked() ? QStringLiteral("L") : rbUpper->isChecked() ? QStringLiteral("U") : QStringLiteral("W"));
    ini.WriteString(kTags, QStringLiteral("Stay Selected"), rbStaySelected->isChecked() ? QStringLiteral("Y") : QStringLiteral("N"));
    ini.WriteString(kHeader, QStringLiteral("User Name"), edUserName->text());
    m_main.UserName = edUserName->text();
    ini.WriteString(kHeader, QStringLiteral("Home Page"), edHomePage->text());
    ini.WriteString(kHeader, QStringLiteral("Organisation"), edOrganisation->text());
    ini.WriteString(kHeader, QStringLiteral("Email"), edEmail->text());
    ini.WriteBool(kEditor, QStringLiteral("Word Wrap"), cbWordWrap->isChecked());
    ini.WriteBool(kEditor, QStringLiteral("Smart Tabs"), cbSmartTabs->isChecked());
    ini.WriteBool(kSystem, QStringLiteral("Open Template"), cbLoadTemplate->isChecked());
    ini.WriteBool(kSystem, QStringLiteral("Create Backup"), cbBackup->isChecked());
    ini.WriteBool(kSystem, QStringLiteral("Restore Session"), cbSession->isChecked());
    ini.WriteInteger(kEditor, QStringLiteral("Tab Size"), spTabWidth->value());
    accept();
}

void TfOptions::cbTipsClick()
{
    m_main.IniControl.WriteBool(kStart, QStringLiteral("Tips"), cbTips->isChecked());
}
