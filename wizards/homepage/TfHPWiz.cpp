#include "wizards/homepage/TfHPWiz.h"

#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/TfHTML.h"
#include "app/FrameServices.h"
#include "app/TMegaRegistry.h"
#include "app/UiPrompter.h"
#include "editor/TOvcTextFileEditor.h"
#include "tags/TagEngine.h"
#include "wizards/forms/NumberField.h"
#include "wizards/forms/WizardFolders.h"
#include "render/HelpViewer.h"

#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <functional>

using namespace AppSettings;

namespace {

const QString kImageFilter = QStringLiteral(
    "Graphics Files|*.gif;*.jpg|GIF Files (*.gif)|*.gif|JPEG Files (*.jpg)|*.jpg|All Files (*.*)|*.*");

QPushButton* button(const QString& caption, QWidget* owner, std::function<void()> fn)
{
    auto* b = new QPushButton(caption);
    QObject::connect(b, &QPushButton::clicked, owner, [fn] { AppInvoker::run(fn); });
    return b;
}

void hint(QWidget* w, const QString& text)
{
    w->setToolTip(text);
    w->setStatusTip(text);
}

} // namespace

// ---------------------------------------------------------------------------

ColorGrid::ColorGrid(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("grdColor"));
    setMinimumSize(sizeHint());
    setFocusPolicy(Qt::StrongFocus);
    hint(this, QStringLiteral("Left button or Space: text colour, right button or Shift+Space: background colour"));
}

void ColorGrid::keyPressEvent(QKeyEvent* e)
{
    // The arrows move the framed cell; Space picks it as the text colour,
    // Shift+Space as the background colour.
    const int col = m_cursor % 8;
    const int row = m_cursor / 8;
    switch (e->key()) {
    case Qt::Key_Left: m_cursor = row * 8 + qMax(0, col - 1); break;
    case Qt::Key_Right: m_cursor = row * 8 + qMin(7, col + 1); break;
    case Qt::Key_Up: m_cursor = col; break;
    case Qt::Key_Down: m_cursor = 8 + col; break;
    case Qt::Key_Space:
        if (e->modifiers() & Qt::ShiftModifier)
            setBackColor(m_cursor);
        else
            setTextColor(m_cursor);
        break;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    update();
}

QRect ColorGrid::cellRect(int index) const
{
    const int w = (width() - 1) / 8;
    const int h = (height() - 1) / 2;
    return QRect((index % 8) * w, (index / 8) * h, w, h);
}

int ColorGrid::indexAt(const QPoint& p) const
{
    for (int i = 0; i < 16; ++i)
        if (cellRect(i).contains(p))
            return i;
    return -1;
}

void ColorGrid::setTextColor(int index)
{
    m_text = index;
    update();
}

void ColorGrid::setBackColor(int index)
{
    m_back = index;
    update();
}

void ColorGrid::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QFont f = p.font();
    f.setBold(true);
    p.setFont(f);
    for (int i = 0; i < 16; ++i) {
        const QRect r = cellRect(i);
        const QColor c(TagEngine::ColorIndexToHtml(i));
        p.fillRect(r, c);
        p.setPen(Qt::gray);
        p.drawRect(r);
        QString mark;
        if (i == m_text)
            mark += QLatin1Char('T');
        if (i == m_back)
            mark += QLatin1Char('B');
        if (!mark.isEmpty()) {
            p.setPen(c.lightness() > 128 ? Qt::black : Qt::white);
            p.drawText(r, Qt::AlignCenter, mark);
        }
        if (i == m_cursor && hasFocus()) {
            p.setPen(QPen(c.lightness() > 128 ? Qt::black : Qt::white, 1, Qt::DotLine));
            p.drawRect(r.adjusted(3, 3, -4, -4));
        }
    }
}

void ColorGrid::mousePressEvent(QMouseEvent* e)
{
    const int i = indexAt(e->position().toPoint());
    if (i < 0)
        return;
    m_cursor = i;
    if (e->button() == Qt::LeftButton)
        setTextColor(i);
    else if (e->button() == Qt::RightButton)
        setBackColor(i);
}

// ---------------------------------------------------------------------------

TfHPWiz::TfHPWiz(FrameServices& main)
    : WizardDialog(QStringLiteral("Home Page Wizard"), QStringLiteral("HP Wizard"), main.frameWindow()), m_main(main)
{
    setObjectName(QStringLiteral("fHPWiz"));
    setModal(true);
    auto* layout = new QHBoxLayout(this);
    TabSet = new QTabWidget(this);
    TabSet->setTabPosition(QTabWidget::South);
    layout->addWidget(TabSet, 1);

    // Welcome
    Welcome = new QTextBrowser;
    Welcome->setPlainText(QStringLiteral(
        "Welcome to the Velquist Home Page Wizard !\n\n"
        "A home page document has a header and title section, a body made of the sections you "
        "list, and a footer with your mail address, your address and the date it was last "
        "updated.\n\n"
        "Go through the pages below to make your choices, then click the Create button to make "
        "the page in a new document."));
    TabSet->addTab(Welcome, QStringLiteral("Welcome"));

    // Document title
    auto* titlePage = new QWidget;
    auto* tl = new QVBoxLayout(titlePage);
    tl->addWidget(new QLabel(QStringLiteral("Please enter a title for this home page")));
    tTitle = new QLineEdit(QStringLiteral("My Home Page"));
    tl->addWidget(tTitle);
    tl->addWidget(new QLabel(QStringLiteral("(ie.  John Smith's Home Page)")));
    tl->addWidget(new QLabel(QStringLiteral("Please enter a Sub-Title (if required)")));
    tSubTitle = new QLineEdit;
    tl->addWidget(tSubTitle);
    optWelcome = new QCheckBox(QStringLiteral("Include a \"Welcome to\" greeting ?"));
    optWelcome->setChecked(true);
    tl->addWidget(optWelcome);
    auto* alignGroup = new QGroupBox(QStringLiteral("Heading Alignment"));
    auto* al = new QHBoxLayout(alignGroup);
    btnLeft = new QRadioButton(QStringLiteral("Left"));
    btnCentre = new QRadioButton(QStringLiteral("Centre"));
    btnRight = new QRadioButton(QStringLiteral("Right"));
    btnLeft->setChecked(true);
    al->addWidget(btnLeft);
    al->addWidget(btnCentre);
    al->addWidget(btnRight);
    tl->addWidget(alignGroup);
    tl->addStretch();
    TabSet->addTab(titlePage, QStringLiteral("Document &Title"));

    // Page image
    auto* imagePage = new QWidget;
    auto* il = new QVBoxLayout(imagePage);
    optIncImage = new QCheckBox(QStringLiteral("Include an Image in your Home Page Header"));
    optIncImage->setChecked(true);
    il->addWidget(optIncImage);
    txtIM = new QLineEdit(QStringLiteral("Image Name"));
    il->addWidget(txtIM);
    auto* imButtons = new QHBoxLayout;
    btnIMBrowse = button(QStringLiteral("&Browse ..."), this, [this] { browse(txtIM); });
    btnIMUpper = button(QStringLiteral("&Upper Case"), this, [this] { txtIM->setText(txtIM->text().toUpper()); });
    btnIMLower = button(QStringLiteral("&Lower Case"), this, [this] { txtIM->setText(txtIM->text().toLower()); });
    imButtons->addWidget(btnIMBrowse);
    imButtons->addWidget(btnIMUpper);
    imButtons->addWidget(btnIMLower);
    imButtons->addStretch();
    il->addLayout(imButtons);
    optSlash2 = new QCheckBox(QStringLiteral("Change \"\\\" to \"/\""));
    optSlash2->setChecked(true);
    il->addWidget(optSlash2);
    auto* posGroup = new QGroupBox;
    auto* pl = new QVBoxLayout(posGroup);
    optIB = new QRadioButton(QStringLiteral("Position Before Heading"));
    optIA = new QRadioButton(QStringLiteral("Position After Heading"));
    optIB->setChecked(true);
    pl->addWidget(optIB);
    pl->addWidget(optIA);
    il->addWidget(posGroup);
    auto* borderRow = new QFormLayout;
    spnBorder = new NumberField<QSpinBox>(1);
    spnBorder->setRange(0, 50);
    spnBorder->setValue(1);
    hint(spnBorder, QStringLiteral("Set Border Size"));
    borderRow->addRow(QStringLiteral("Border Size"), spnBorder);
    il->addLayout(borderRow);
    il->addStretch();
    TabSet->addTab(imagePage, QStringLiteral("Page &Image"));

    // Sections
    auto* sectionsPage = new QWidget;
    auto* sl = new QVBoxLayout(sectionsPage);
    auto* sectionsLabel = new QLabel(QStringLiteral(
        "Please enter the title of each section you would like to include (one per line)."));
    sectionsLabel->setWordWrap(true);
    sl->addWidget(sectionsLabel);
    mSections = new QPlainTextEdit(QStringLiteral("Introduction\nAbout Me"));
    mSections->setLineWrapMode(QPlainTextEdit::NoWrap);
    sl->addWidget(mSections, 1);
    optLines = new QCheckBox(QStringLiteral("Add Lines between sections ?"));
    optLines->setChecked(true);
    sl->addWidget(optLines);
    TabSet->addTab(sectionsPage, QStringLiteral("&Sections"));

    // Footer
    auto* footerPage = new QWidget;
    auto* fl = new QVBoxLayout(footerPage);
    optMail = new QCheckBox(QStringLiteral("Add a Mail to me Link"));
    optAddress = new QCheckBox(QStringLiteral("Add an Address Section"));
    mAddress = new QPlainTextEdit(QStringLiteral("Your Address"));
    mAddress->setLineWrapMode(QPlainTextEdit::NoWrap);
    hint(mAddress, QStringLiteral("Enter the Address text in here"));
    optUpdated = new QCheckBox(QStringLiteral("Add a Last Updated Section"));
    for (QCheckBox* c : {optMail, optAddress, optUpdated})
        c->setChecked(true);
    fl->addWidget(optMail);
    fl->addWidget(optAddress);
    fl->addWidget(mAddress, 1);
    fl->addWidget(optUpdated);
    TabSet->addTab(footerPage, QStringLiteral("&Footer"));

    // Appearance
    auto* lookPage = new QWidget;
    auto* ll = new QVBoxLayout(lookPage);
    auto* colorGroup = new QGroupBox(QStringLiteral("Color Options"));
    auto* cl = new QVBoxLayout(colorGroup);
    grdColor = new ColorGrid;
    cl->addWidget(grdColor);
    optBColor = new QCheckBox(QStringLiteral("Set Background Colour"));
    optFColor = new QCheckBox(QStringLiteral("Set Text Colour"));
    optBColor->setChecked(true);
    optFColor->setChecked(true);
    cl->addWidget(optBColor);
    cl->addWidget(optFColor);
    ll->addWidget(colorGroup);
    optUseBGImage = new QCheckBox(QStringLiteral("Use a Background Image"));
    optUseBGImage->setChecked(true);
    ll->addWidget(optUseBGImage);
    txtImageName = new QLineEdit(QStringLiteral("Image Name"));
    ll->addWidget(txtImageName);
    auto* bgButtons = new QHBoxLayout;
    btnBGBrowse = button(QStringLiteral("&Browse ..."), this, [this] { browse(txtImageName); });
    btnBGUpper = button(QStringLiteral("&Upper Case"), this,
                        [this] { txtImageName->setText(txtImageName->text().toUpper()); });
    btnBGLower = button(QStringLiteral("&Lower Case"), this,
                        [this] { txtImageName->setText(txtImageName->text().toLower()); });
    bgButtons->addWidget(btnBGBrowse);
    bgButtons->addWidget(btnBGUpper);
    bgButtons->addWidget(btnBGLower);
    bgButtons->addStretch();
    ll->addLayout(bgButtons);
    chkslash = new QCheckBox(QStringLiteral("Change \"\\\" to \"/\""));
    chkslash->setChecked(true);
    ll->addWidget(chkslash);
    ll->addStretch();
    TabSet->addTab(lookPage, QStringLiteral("&Appearance"));

    auto* buttons = new QVBoxLayout;
    OKBtn = button(QStringLiteral("Create it"), this, [this] { OKBtnClick(); });
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"));
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    HelpBtn = new QPushButton(QStringLiteral("&Help"));
    HelpViewer::attach(HelpBtn, 200);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(HelpBtn);
    buttons->addStretch();
    layout->addLayout(buttons);
    resize(680, 440);
}

HomePageOptions TfHPWiz::options() const
{
    HomePageOptions o;
    o.title = tTitle->text();
    o.subTitle = tSubTitle->text();
    o.welcome = optWelcome->isChecked();
    o.align = btnCentre->isChecked() ? HomePageOptions::Centre
        : btnRight->isChecked()      ? HomePageOptions::Right
                                     : HomePageOptions::Left;
    o.includeImage = optIncImage->isChecked();
    o.image = txtIM->text();
    o.imageSlashes = optSlash2->isChecked();
    o.imageBefore = !optIA->isChecked();
    o.border = spnBorder->value();
    o.sections = HomePageGenerator::memoLines(mSections->toPlainText());
    o.lines = optLines->isChecked();
    o.mail = optMail->isChecked();
    o.address = optAddress->isChecked();
    o.addressLines = HomePageGenerator::memoLines(mAddress->toPlainText());
    o.updated = optUpdated->isChecked();
    o.textColor = grdColor->textColor();
    o.backColor = grdColor->backColor();
    o.setBackColor = optBColor->isChecked();
    o.setTextColor = optFColor->isChecked();
    o.useBackImage = optUseBGImage->isChecked();
    o.backImage = txtImageName->text();
    o.backSlashes = chkslash->isChecked();
    return o;
}

void TfHPWiz::browse(QLineEdit* field)
{
    const QString name = UiPrompter::instance().openFileName(this, QStringLiteral("Open an Image"),
                                                             WizardFolders::browseStart(), kImageFilter);
    WizardFolders::chosen(name);
    if (!name.isEmpty())
        field->setText(QDir::toNativeSeparators(name));
}

void TfHPWiz::OKBtnClick()
{
    const QStringList lines = HomePageGenerator::lines(
        options(), m_main.settings().ReadString(kHeader, QStringLiteral("EMail"), kDefEmail),
        m_main.settings().ReadString(kHeader, QStringLiteral("User Name"), kDefUserName),
        QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    TfHTML* doc = m_main.createUntitledDocument();
    m_main.showNewDocument(doc);
    accept();
    EditorContract& ed = *doc->txtHTML;
    {
        EditGroup group(ed);
        ed.ClearAll();
        // Line by line at the caret; a long line goes in whole.
        for (const QString& line : lines)
            ed.InsertAtCaret(line + QLatin1Char('\n'));
    }
    ed.SetModified(true);
    m_main.SetStatusText(kReady);
}
