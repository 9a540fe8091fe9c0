#include "wizards/url/TfrmURLWizard.h"

#include "app/AppError.h"
#include "app/AppInvoker.h"
#include "app/AppPaths.h"
#include "app/SafeFile.h"
#include "app/UiPrompter.h"
#include "tags/TagEngine.h"
#include "wizards/url/UrlLists.h"
#include "render/HelpViewer.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox* listBox(const QString& hint)
{
    auto* box = new QComboBox;
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setToolTip(hint);
    box->setStatusTip(hint);
    box->setMinimumWidth(320);
    return box;
}

void fill(QComboBox* box, const QStringList& items)
{
    const QString text = box->currentText();
    box->clear();
    box->addItems(items);
    box->setEditText(text);
}

}  // namespace

TfrmURLWizard::TfrmURLWizard(TagEngine& engine, QWidget* parent)
    : WizardDialog(QStringLiteral("Velquist URL Wizard"), QStringLiteral("URL Wizard"), parent), m_engine(engine)
{
    setObjectName(QStringLiteral("frmURLWizard"));
    cmbURL = listBox(QStringLiteral("Select or type the document or URL to link to"));
    cmbDesc = listBox(QStringLiteral("Select or type the Description your document will display"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Location to Link To"), cmbURL);
    form->addRow(QStringLiteral("Description of Location"), cmbDesc);

    OKBtn = new QPushButton(QStringLiteral("To Document"));
    OKBtn->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("&Close"));
    close->setAutoDefault(false);
    auto* help = new QPushButton(QStringLiteral("&Help"));
    help->setAutoDefault(false);
    HelpViewer::attach(help, 100);
    connect(OKBtn, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { OKBtnClick(); }); });
    connect(close, &QPushButton::clicked, this, &TfrmURLWizard::CancelBtnClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(close);
    buttons->addWidget(help);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addLayout(buttons);

    m_locations = UrlLists::builtInLocations();
    m_descriptions = UrlLists::builtInDescriptions();
    cmbURL->setEditText(QStringLiteral("http://"));
    cmbDesc->setEditText(QStringLiteral("Description"));
    loadList(UrlLists::kLocationFile, m_locations, cmbURL, m_locationsWritable);
    loadList(UrlLists::kDescriptionFile, m_descriptions, cmbDesc, m_descriptionsWritable);
}

void TfrmURLWizard::loadList(const QString& file, QStringList& items, QComboBox* box, bool& writable)
{
    QString error;
    writable = UrlLists::load(file, &items, &error) != UrlLists::Load::Failed;
    fill(box, items);
    box->setEditText(box == cmbURL ? QStringLiteral("http://") : QStringLiteral("Description"));
}

void TfrmURLWizard::saveList(const QString& file, const QStringList& items, bool writable)
{
    if (!writable) {
        UiPrompter::instance().message(
            this, QStringLiteral("%1 could not be read when the program started, so it was not saved (it would have "
                                 "lost its entries).").arg(SafeFile::shown(AppPaths::readableDataFile(file))),
            UiPrompter::Ok, UiPrompter::Warning);
        return;
    }
    try {
        UrlLists::save(file, items);
    } catch (const EFileError& e) {
        UiPrompter::instance().message(this, e.message(), UiPrompter::Ok, UiPrompter::Warning);
    }
}

void TfrmURLWizard::OKBtnClick()
{
    const QString location = cmbURL->currentText();
    const QString description = cmbDesc->currentText();
    m_engine.InsertTagPair(UrlLists::link(location, description));
    if (UrlLists::addItem(m_locations, location))
        fill(cmbURL, m_locations);
    if (UrlLists::addItem(m_descriptions, description))
        fill(cmbDesc, m_descriptions);
    saveList(UrlLists::kLocationFile, m_locations, m_locationsWritable);
    saveList(UrlLists::kDescriptionFile, m_descriptions, m_descriptionsWritable);
    close();
}

void TfrmURLWizard::CancelBtnClick()
{
    close();
}
