#include "wizards/forms/TfFormWiz.h"

#include "wizards/forms/NumberField.h"

#include "app/AppInvoker.h"
#include "app/ListFile.h"
#include "app/TMegaRegistry.h"
#include "app/UiPrompter.h"
#include "tags/ListDragSource.h"
#include "tags/TagEngine.h"
#include "render/HelpViewer.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

const QString kSection = QStringLiteral("Form Defaults");
const QString kActionKey = QStringLiteral("Action URL");

QStringList memoLines(const QPlainTextEdit* memo)
{
    const QString text = memo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void setMemoLines(QPlainTextEdit* memo, const QStringList& lines)
{
    memo->setPlainText(lines.join(QLatin1Char('\n')));
}

QSpinBox* spin(int value)
{
    auto* s = new NumberField<QSpinBox>(value);
    s->setRange(1, 240);
    s->setValue(value);
    return s;
}

QPushButton* button(const QString& caption)
{
    auto* b = new QPushButton(caption);
    b->setAutoDefault(false);
    return b;
}

// The address of a dropped library anchor: the value of its HREF.
QString hrefOf(const QString& anchor)
{
    const qsizetype at = anchor.indexOf(QLatin1String("HREF="), 0, Qt::CaseInsensitive);
    if (at < 0)
        return anchor;
    qsizetype from = at + 5;
    if (from < anchor.size() && (anchor.at(from) == QLatin1Char('"') || anchor.at(from) == QLatin1Char('\''))) {
        const QChar quote = anchor.at(from++);
        const qsizetype end = anchor.indexOf(quote, from);
        return anchor.mid(from, end < 0 ? -1 : end - from);
    }
    qsizetype end = from;
    while (end < anchor.size() && !anchor.at(end).isSpace() && anchor.at(end) != QLatin1Char('>'))
        ++end;
    return anchor.mid(from, end - from);
}

const char* const kTabCaptions[] = {"Form", "Submit", "Reset", "TextLine", "MultiLine", "Option", "Select", "Predefined"};
const char* const kHeadings[] = {"Forms Declaration", "Submit Button Declaration", "Reset Button Declaration",
                                 "Text Line Input  Declaration", "Multi-line Input Box Declaration",
                                 "Option Box Declaration", "Select Area Declaration", ""};

}  // namespace

TfFormWiz::TfFormWiz(TagEngine& engine, QWidget* parent)
    : WizardDialog(QStringLiteral("Velquist Forms Wizard"), QStringLiteral("Forms Wizard"), parent), m_engine(engine)
{
    setObjectName(QStringLiteral("TfFormWiz"));

    // The left column: a picture of a form whose parts pick their pages.
    auto* left = new QVBoxLayout;
    auto* bForm = button(QStringLiteral("Form Declaration"));
    auto* bSubmit = button(QStringLiteral("Submit Button"));
    auto* bReset = button(QStringLiteral("Reset Button"));
    auto* pText = new QLineEdit(QStringLiteral("Text Input Area"));
    pText->setReadOnly(true);
    auto* pMulti = new QPlainTextEdit(QStringLiteral("A multi line\ntext input\narea"));
    pMulti->setReadOnly(true);
    pMulti->setMaximumHeight(64);
    auto* pOption = new QRadioButton(QStringLiteral("Option Button"));
    auto* pSelect = new QGroupBox(QStringLiteral("Select Option Area"));
    auto* pSelectList = new QListWidget;
    pSelectList->addItems({QStringLiteral("Option 1"), QStringLiteral("Option 2"), QStringLiteral("Option 3")});
    pSelectList->setMaximumHeight(64);
    (new QVBoxLayout(pSelect))->addWidget(pSelectList);
    auto* bPredefined = button(QStringLiteral("Predefined"));
    for (QWidget* w : {static_cast<QWidget*>(bForm), static_cast<QWidget*>(bSubmit), static_cast<QWidget*>(bReset),
                       static_cast<QWidget*>(pText), static_cast<QWidget*>(pMulti), static_cast<QWidget*>(pOption),
                       static_cast<QWidget*>(pSelect), static_cast<QWidget*>(bPredefined)})
        left->addWidget(w);
    left->addStretch(1);
    m_pagePickers = {bForm, bSubmit, bReset, pText, pMulti->viewport(),
                     pOption, pSelectList->viewport(), bPredefined};
    for (int i : {0, 1, 2, 7})
        connect(static_cast<QPushButton*>(m_pagePickers[i]), &QPushButton::clicked, this, [this, i] { setPage(i); });
    connect(pOption, &QRadioButton::clicked, this, [this, pOption] {
        pOption->setChecked(false);
        setPage(FormWizard::Option);
    });
    for (int i : {3, 4, 6})
        m_pagePickers[i]->installEventFilter(this);
    pSelect->installEventFilter(this);

    pages = new QStackedWidget;
    for (int i = 0; i < FormWizard::PageCount; ++i)
        pages->addWidget(buildPage(i));
    tabs = new QTabBar;
    tabs->setShape(QTabBar::RoundedSouth);
    tabs->setExpanding(false);
    for (const char* caption : kTabCaptions)
        tabs->addTab(QString::fromLatin1(caption));
    connect(tabs, &QTabBar::currentChanged, pages, &QStackedWidget::setCurrentIndex);

    auto* right = new QVBoxLayout;
    right->addWidget(pages, 1);
    right->addWidget(tabs);

    btnToDoc = button(QStringLiteral("To Document"));
    btnToClip = button(QStringLiteral("To Clipboard"));
    auto* btnCancel = button(QStringLiteral("Cancel"));
    auto* btnHelp = button(QStringLiteral("Help"));
    HelpViewer::attach(btnHelp, 100);
    connect(btnToDoc, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { btnToDocClick(); }); });
    connect(btnToClip, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { btnToClipClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &TfFormWiz::btnCancelClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {btnToDoc, btnToClip, btnCancel, btnHelp})
        buttons->addWidget(b);

    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addLayout(right, 1);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(body, 1);
    outer->addLayout(buttons);

    tAction->setText(engine.host().settings().ReadString(kSection, kActionKey, QStringLiteral("http://")));
    LoadTable();
    setPage(FormWizard::Form);
    resize(620, 420);
}

QWidget* TfFormWiz::buildPage(int index)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    if (kHeadings[index][0]) {
        auto* heading = new QLabel(QString::fromLatin1(kHeadings[index]));
        QFont f = heading->font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * 1.3);
        heading->setFont(f);
        layout->addWidget(heading);
    }
    auto* form = new QFormLayout;
    layout->addLayout(form);
    auto line = [](const QString& text) { return new QLineEdit(text); };
    switch (index) {
    case FormWizard::Form: {
        tMethod = new QComboBox;
        tMethod->addItems({QStringLiteral("\"POST\""), QStringLiteral("\"GET\"")});
        form->addRow(QStringLiteral("Method"), tMethod);
        tAction = line(QString());
        tAction->setAcceptDrops(true);
        tAction->installEventFilter(this);
        auto* urls = button(QStringLiteral("URLs"));
        urls->setToolTip(QStringLiteral("Drag n Drop a URL from the Library"));
        urls->setStatusTip(urls->toolTip());
        auto* row = new QHBoxLayout;
        row->addWidget(tAction, 1);
        row->addWidget(urls);
        form->addRow(QStringLiteral("Action (URL to activate)"), row);
        tMime = line(QStringLiteral("application/x-www-form-urlencoded"));
        form->addRow(QStringLiteral("Mime type"), tMime);
        break;
    }
    case FormWizard::Submit: {
        tSubValue = line(QStringLiteral("SUBMIT"));
        tSubName = line(QString());
        form->addRow(QStringLiteral("Caption"), tSubValue);
        form->addRow(QStringLiteral("Name (optional)"), tSubName);
        auto* note = new QLabel(QStringLiteral(
            "If a SUBMIT button is pressed in order to submit the form and that button has a NAME attribute "
            "specified, then the SUBMIT button sends a name and value pair to the submitted data. "));
        note->setWordWrap(true);
        layout->addWidget(note);
        break;
    }
    case FormWizard::Reset:
        tResetValue = line(QStringLiteral("RESET"));
        form->addRow(QStringLiteral("Caption"), tResetValue);
        break;
    case FormWizard::TextLine:
        tTextName = line(QStringLiteral("NAME"));
        tTextDefault = line(QString());
        sTextMax = spin(50);
        sTextSize = spin(50);
        form->addRow(QStringLiteral("Name"), tTextName);
        form->addRow(QStringLiteral("Default Text (optional)"), tTextDefault);
        form->addRow(QStringLiteral("Maximum Length"), sTextMax);
        form->addRow(QStringLiteral("Size of Input Box"), sTextSize);
        break;
    case FormWizard::MultiLine:
        tMultiName = line(QStringLiteral("NAME"));
        mMultiText = new QPlainTextEdit;
        oMultiLines = spin(3);
        oMultiSize = spin(50);
        form->addRow(QStringLiteral("Name"), tMultiName);
        form->addRow(QStringLiteral("Default Text (optional)"), mMultiText);
        form->addRow(QStringLiteral("No of Lines"), oMultiLines);
        form->addRow(QStringLiteral("Width of Input Box"), oMultiSize);
        break;
    case FormWizard::Option: {
        tOptText = line(QStringLiteral("NAME"));
        tOptRetVal = line(QString());
        form->addRow(QStringLiteral("Name"), tOptText);
        form->addRow(QStringLiteral("Value to Return on Submit (optional)"), tOptRetVal);
        auto* style = new QGroupBox(QStringLiteral("Style"));
        auto* sl = new QVBoxLayout(style);
        oOptCB = new QCheckBox(QStringLiteral("Check Box"));
        oOptRB = new QCheckBox(QStringLiteral("Radio Button"));
        sl->addWidget(oOptCB);
        sl->addWidget(oOptRB);
        // Ticking one style clears the other; both may be clear.
        connect(oOptCB, &QCheckBox::toggled, this, [this](bool on) { if (on) oOptRB->setChecked(false); });
        connect(oOptRB, &QCheckBox::toggled, this, [this](bool on) { if (on) oOptCB->setChecked(false); });
        auto* align = new QGroupBox(QStringLiteral("Caption Alignment"));
        auto* al = new QVBoxLayout(align);
        btnLeft = new QRadioButton(QStringLiteral("Left"));
        btnCentre = new QRadioButton(QStringLiteral("Centre"));
        btnRight = new QRadioButton(QStringLiteral("Right"));
        btnLeft->setChecked(true);
        for (QRadioButton* b : {btnLeft, btnCentre, btnRight})
            al->addWidget(b);
        auto* boxes = new QHBoxLayout;
        boxes->addWidget(style);
        boxes->addWidget(align);
        layout->addLayout(boxes);
        break;
    }
    case FormWizard::Select: {
        tSelName = line(QStringLiteral("NAME"));
        oSelMulti = new QCheckBox(QStringLiteral("Allow Multiple Selections"));
        oSelLines = spin(1);
        form->addRow(QStringLiteral("Name"), tSelName);
        form->addRow(QString(), oSelMulti);
        form->addRow(QStringLiteral("No of Lines"), oSelLines);
        layout->addWidget(new QLabel(QStringLiteral("Enter the options in the box below (1 per line)")));
        mSel = new QPlainTextEdit(QStringLiteral("Option 1"));
        layout->addWidget(mSel, 1);
        auto* hint = new QLabel(QStringLiteral("Hint: Some browsers may render a SELECT area as a Drop Down List "
                                               "when the Number of Lines is set to 1."));
        hint->setWordWrap(true);
        layout->addWidget(hint);
        break;
    }
    case FormWizard::Predefined: {
        mSample = new QPlainTextEdit(QStringLiteral(
            "Click on the style you would like.\n\nThe HTML code will then be displayed in this window."));
        mSample->setLineWrapMode(QPlainTextEdit::NoWrap);
        layout->addWidget(mSample, 1);
        auto* row = new QHBoxLayout;
        auto* sample = button(QStringLiteral("Sample Questionnaire"));
        auto* more = button(QStringLiteral("Watch this space for more samples"));
        auto* load = button(QStringLiteral("Load a Form Definition from disk"));
        connect(sample, &QPushButton::clicked, this, &TfFormWiz::LoadTable);
        connect(more, &QPushButton::clicked, this, &TfFormWiz::LoadTable);
        connect(load, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { btnLoadFormClick(); }); });
        for (QPushButton* b : {sample, more, load})
            row->addWidget(b);
        layout->addLayout(row);
        return page;
    }
    }
    layout->addStretch(1);
    return page;
}

bool TfFormWiz::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == tAction && (e->type() == QEvent::DragEnter || e->type() == QEvent::DragMove)) {
        auto* de = static_cast<QDragMoveEvent*>(e);
        if (!ListDragSource::isOurDrag(de->mimeData()))
            return false;
        de->acceptProposedAction();
        return true;
    }
    if (watched == tAction && e->type() == QEvent::Drop) {
        auto* de = static_cast<QDropEvent*>(e);
        if (!ListDragSource::isOurDrag(de->mimeData()))
            return false;
        de->acceptProposedAction();
        tAction->setText(hrefOf(m_engine.LastOpenTag()));
        return true;
    }
    if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::FocusIn) {
        const int index = m_pagePickers.indexOf(watched);
        if (index >= 0)
            setPage(index);
        else if (watched->inherits("QGroupBox"))
            setPage(FormWizard::Select);
    }
    return WizardDialog::eventFilter(watched, e);
}

int TfFormWiz::pageIndex() const
{
    return tabs->currentIndex();
}

void TfFormWiz::setPage(int index)
{
    tabs->setCurrentIndex(index);
    pages->setCurrentIndex(index);
}

FormFields TfFormWiz::fields() const
{
    FormFields f;
    f.method = tMethod->currentText();
    f.action = tAction->text();
    f.mime = tMime->text();
    f.subValue = tSubValue->text();
    f.subName = tSubName->text();
    f.resetValue = tResetValue->text();
    f.textName = tTextName->text();
    f.textDefault = tTextDefault->text();
    f.textMax = sTextMax->value();
    f.textSize = sTextSize->value();
    f.multiName = tMultiName->text();
    f.multiText = memoLines(mMultiText);
    f.multiLines = oMultiLines->value();
    f.multiSize = oMultiSize->value();
    f.optName = tOptText->text();
    f.optValue = tOptRetVal->text();
    f.optCheckBox = oOptCB->isChecked();
    f.optAlign = btnCentre->isChecked() ? FormFields::Centre
        : btnRight->isChecked()         ? FormFields::Right
                                        : FormFields::Left;
    f.selName = tSelName->text();
    f.selMulti = oSelMulti->isChecked();
    f.selLines = oSelLines->value();
    f.selOptions = memoLines(mSel);
    // The line end after the last option starts no option of its own.
    if (!f.selOptions.isEmpty() && f.selOptions.last().isEmpty())
        f.selOptions.removeLast();
    f.sample = memoLines(mSample);
    return f;
}

void TfFormWiz::btnToDocClick()
{
    m_toClipboard = false;
    generate();
}

void TfFormWiz::btnToClipClick()
{
    m_toClipboard = true;
    generate();
}

void TfFormWiz::generate()
{
    const auto page = FormWizard::Page(pageIndex());
    const FormFields f = fields();
    const FormWizard::Element element = FormWizard::generate(page, f);
    if (page == FormWizard::Form)
        m_engine.host().settings().WriteString(kSection, kActionKey, f.action);
    if (m_toClipboard) {
        QGuiApplication::clipboard()->setText(FormWizard::clipboardText(element));
        m_engine.host().SetStatusText(QStringLiteral("Form Element copied to Clipboard."));
    } else {
        FormWizard::deliver(m_engine, element);
    }
}

void TfFormWiz::btnCancelClick()
{
    close();
}

void TfFormWiz::LoadTable()
{
    setMemoLines(mSample, FormWizard::sampleQuestionnaire());
}

void TfFormWiz::btnLoadFormClick()
{
    const QString name = UiPrompter::instance().openFileName(
        this, QStringLiteral("Load a Form Definition"), QDir::currentPath(),
        QStringLiteral("Velquist Form Definition|*.vfd"));
    if (name.isEmpty())
        return;
    QStringList lines;
    QString error;
    if (!ListFile::read(name, &lines, &error)) {
        UiPrompter::instance().message(this, error, UiPrompter::Ok, UiPrompter::Warning);
        return;
    }
    setMemoLines(mSample, lines);
}
