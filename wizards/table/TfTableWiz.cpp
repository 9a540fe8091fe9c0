#include "wizards/table/TfTableWiz.h"

#include "app/AppError.h"
#include "app/AppInvoker.h"
#include "app/SafeFile.h"
#include "app/UiPrompter.h"
#include "editor/EditorContract.h"
#include "tags/TagEngine.h"
#include "wizards/table/tHTMLStringGrid.h"
#include "render/HelpViewer.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const QString kFilter = QStringLiteral("Velquist Table (*.vtb)|*.vtb");

QSpinBox* spin(int min, int max, int value, const QString& hint)
{
    auto* s = new QSpinBox;
    s->setRange(min, max);
    s->setValue(value);
    s->setToolTip(hint);
    s->setStatusTip(hint);
    return s;
}

QPushButton* button(const QString& caption)
{
    auto* b = new QPushButton(caption);
    b->setAutoDefault(false);
    return b;
}


}  // namespace

TfTableWiz::TfTableWiz(TagEngine& engine, QWidget* parent)
    : WizardDialog(QStringLiteral("Velquist Table Wizard"), QStringLiteral("Table Wizard"), parent), m_engine(engine)
{
    setObjectName(QStringLiteral("TfTableWiz"));
    grdTable = new tHTMLStringGrid;
    grdTable->setObjectName(QStringLiteral("grdTable"));
    grdTable->setColumnWidth(0, 146);
    grdTable->setColumnWidth(1, 159);
    grdTable->setCurrentCell(1, 0);
    grdTable->dropText = [this] { return m_engine.LastOpenTag() + m_engine.LastCloseTag(); };

    spnRows = spin(1, TableFile::kMaxCount, 2, QStringLiteral("Set No of Rows"));
    spnCols = spin(1, TableFile::kMaxCount, 2, QStringLiteral("Set No of Columns"));
    spnBorder = spin(1, 50, 1, QStringLiteral("Set the Table Border Width"));
    chkHeader = new QCheckBox(QStringLiteral("First Row is Header"));
    chkHeader->setChecked(true);
    chkHeader->setToolTip(QStringLiteral("If Selected all Text in first Row will be treated as Headings"));
    chkHeader->setStatusTip(chkHeader->toolTip());
    txtHead = new QLineEdit(QStringLiteral("Heading"));
    btnSet = button(QStringLiteral("Set"));
    txtTitle1 = new QLineEdit(QStringLiteral("My Title"));
    optUseTitle1 = new QCheckBox(QStringLiteral("Use Title 1 ?"));
    optUseTitle1->setChecked(true);
    txtTitle2 = new QLineEdit;
    optUseTitle2 = new QCheckBox(QStringLiteral("Use Title 2 ?"));
    opt2asfooter = new QCheckBox(QStringLiteral("As Footer ?"));
    opt2asfooter->setChecked(true);
    lblHint = new QLabel;
    lblHint->setWordWrap(true);

    connect(spnRows, &QSpinBox::valueChanged, grdTable, &QTableWidget::setRowCount);
    connect(spnCols, &QSpinBox::valueChanged, this, [this](int n) {
        grdTable->setColumnCount(n);
        grdTable->setHeaderOn(chkHeader->isChecked());
    });
    connect(spnBorder, &QSpinBox::valueChanged, this, [this](int n) { grdTable->GridLineWidth = n; });
    connect(chkHeader, &QCheckBox::toggled, grdTable, &tHTMLStringGrid::setHeaderOn);
    connect(btnSet, &QPushButton::clicked, this, &TfTableWiz::btnSetClick);
    // Enter or leaving the field sets the heading, changed or not.
    connect(txtHead, &QLineEdit::returnPressed, this, &TfTableWiz::btnSetClick);
    txtHead->installEventFilter(this);
    for (QLineEdit* e : {txtTitle1, txtTitle2})
        connect(e, &QLineEdit::editingFinished, this, &TfTableWiz::SetTitles);
    for (QCheckBox* c : {optUseTitle1, optUseTitle2, opt2asfooter})
        connect(c, &QCheckBox::clicked, this, &TfTableWiz::SetTitles);
    connect(grdTable, &tHTMLStringGrid::rowsChanged, this, &TfTableWiz::showCounts);

    auto* settings = new QGridLayout;
    settings->addWidget(new QLabel(QStringLiteral("Rows")), 0, 0);
    settings->addWidget(spnRows, 0, 1);
    settings->addWidget(new QLabel(QStringLiteral("Columns")), 0, 2);
    settings->addWidget(spnCols, 0, 3);
    settings->addWidget(new QLabel(QStringLiteral("Border Width")), 0, 4);
    settings->addWidget(spnBorder, 0, 5);
    settings->addWidget(chkHeader, 1, 0, 1, 2);
    settings->addWidget(new QLabel(QStringLiteral("Heading")), 1, 2);
    settings->addWidget(txtHead, 1, 3, 1, 2);
    settings->addWidget(btnSet, 1, 5);
    settings->addWidget(new QLabel(QStringLiteral("Table Title 1")), 2, 0);
    settings->addWidget(txtTitle1, 2, 1, 1, 3);
    settings->addWidget(optUseTitle1, 2, 4, 1, 2);
    settings->addWidget(new QLabel(QStringLiteral("Table Title 2")), 3, 0);
    settings->addWidget(txtTitle2, 3, 1, 1, 3);
    settings->addWidget(optUseTitle2, 3, 4);
    settings->addWidget(opt2asfooter, 3, 5);

    // No default button: Enter in a field confirms that field, not the table.
    OKBtn = button(QStringLiteral("OK"));
    auto* cancel = button(QStringLiteral("&Cancel"));
    auto* help = button(QStringLiteral("Help"));
    HelpViewer::attach(help, 100);
    auto* load = button(QStringLiteral("Load Table ..."));
    auto* save = button(QStringLiteral("Save Table ..."));
    auto* saveAs = button(QStringLiteral("Save Table As ..."));
    auto* clear = button(QStringLiteral("Clear Text"));
    auto run = [this](void (TfTableWiz::*slot)()) { return [this, slot] { AppInvoker::run([this, slot] { (this->*slot)(); }); }; };
    connect(OKBtn, &QPushButton::clicked, this, run(&TfTableWiz::SaveHTMLClick));
    connect(cancel, &QPushButton::clicked, this, &TfTableWiz::CancelBtnClick);
    connect(load, &QPushButton::clicked, this, run(&TfTableWiz::btnLoadTableClick));
    connect(save, &QPushButton::clicked, this, run(&TfTableWiz::btnSaveTableClick));
    connect(saveAs, &QPushButton::clicked, this, run(&TfTableWiz::btnSaveTableAsClick));
    connect(clear, &QPushButton::clicked, this, &TfTableWiz::cmdClearClick);
    auto* files = new QHBoxLayout;
    for (QPushButton* b : {load, save, saveAs, clear})
        files->addWidget(b);
    files->addStretch(1);
    for (QPushButton* b : {OKBtn, cancel, help})
        files->addWidget(b);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(settings);
    outer->addWidget(grdTable, 1);
    outer->addWidget(lblHint);
    outer->addLayout(files);
    SetTitles();
    resize(640, 480);
}

bool TfTableWiz::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        lblHint->setText(QStringLiteral("Set the number of Rows and Columns.  Then enter") + QStringLiteral(" your text into the Cells.")
                         + QStringLiteral("\n\n")
                         + QStringLiteral("Then click the OK button to copy the table definition to the current document."));
    return WizardDialog::event(e);
}

void TfTableWiz::keyPressEvent(QKeyEvent* e)
{
    // Enter presses the button that has the focus, and nothing else.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        && (e->modifiers() == Qt::NoModifier || e->modifiers() == Qt::KeypadModifier)) {
        if (auto* b = qobject_cast<QPushButton*>(focusWidget()))
            b->click();
        return;
    }
    WizardDialog::keyPressEvent(e);
}

bool TfTableWiz::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == txtHead && e->type() == QEvent::FocusOut) {
        const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
        if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason)
            btnSetClick();
    }
    return WizardDialog::eventFilter(watched, e);
}

void TfTableWiz::SetTitles()
{
    grdTable->Caption1 = optUseTitle1->isChecked() ? txtTitle1->text() : QString();
    grdTable->Caption2 = optUseTitle2->isChecked() ? txtTitle2->text() : QString();
    grdTable->Caption2Placement = opt2asfooter->isChecked() ? TableData::cpBottom : TableData::cpTop;
}

void TfTableWiz::btnSetClick()
{
    if (!grdTable->HeaderOn())
        return;
    grdTable->setCellText(qMax(grdTable->currentColumn(), 0), 0, txtHead->text());
}

void TfTableWiz::showCounts()
{
    const QSignalBlocker rows(spnRows);
    const QSignalBlocker cols(spnCols);
    const QSignalBlocker border(spnBorder);
    spnRows->setValue(grdTable->rowCount());
    spnCols->setValue(grdTable->columnCount());
    spnBorder->setValue(grdTable->GridLineWidth);
}

void TfTableWiz::SaveHTMLClick()
{
    SetTitles();
    QStringList lines;
    grdTable->WriteHTML(lines);
    QGuiApplication::clipboard()->setText(TableHtml::clipboardText(lines));
    if (EditorContract* ed = m_engine.host().activeEditor()) {
        ed->PasteClipboard();
        ed->SetModified(true);
        ed->FocusEditor();
    } else {
        UiPrompter::instance().message(this, QStringLiteral("No current document : Table definition copied to Clipboard instead"));
    }
    close();
}

void TfTableWiz::CancelBtnClick()
{
    close();
}

void TfTableWiz::btnLoadTableClick()
{
    const QString name = UiPrompter::instance().openFileName(this, QStringLiteral("Load Table"), QDir::currentPath(), kFilter);
    if (name.isEmpty())
        return;
    grdTable->FileName = name;
    try {
        grdTable->LoadFromFile(name);
    } catch (const EFileError& e) {
        // The grid holds only part of that file now: it must not be saved
        // over it, neither by Save Table nor when the program ends.
        grdTable->FileName.clear();
        showFields();
        UiPrompter::instance().message(this, e.message(), UiPrompter::Ok, UiPrompter::Warning);
        return;
    }
    showFields();
}

void TfTableWiz::showFields()
{
    showCounts();
    // The titles the file gave: OK copies the fields into the grid, and
    // must find them there.
    txtTitle1->setText(grdTable->Caption1);
    optUseTitle1->setChecked(!grdTable->Caption1.isEmpty());
    txtTitle2->setText(grdTable->Caption2);
    optUseTitle2->setChecked(!grdTable->Caption2.isEmpty());
    opt2asfooter->setChecked(grdTable->Caption2Placement == TableData::cpBottom);
}

QString TfTableWiz::askTableName()
{
    return UiPrompter::instance().saveFileName(this, QStringLiteral("Save Table As"), QDir::currentPath(), kFilter,
                                               QStringLiteral("vtb"));
}

void TfTableWiz::saveTable()
{
    if (grdTable->FileName.isEmpty())
        return;
    try {
        grdTable->SaveToFile(grdTable->FileName);
    } catch (const EFileError& e) {
        UiPrompter::instance().message(
            this, SafeFile::shown(grdTable->FileName) + QStringLiteral(" is not a valid file name.\n\n") + e.message(),
            UiPrompter::Ok, UiPrompter::Critical);
    }
}

void TfTableWiz::btnSaveTableClick()
{
    if (grdTable->FileName.isEmpty())
        grdTable->FileName = askTableName();
    saveTable();
}

void TfTableWiz::btnSaveTableAsClick()
{
    const QString name = askTableName();
    if (!name.isEmpty())
        grdTable->FileName = name;
    saveTable();
}

void TfTableWiz::cmdClearClick()
{
    grdTable->clearText();
}
