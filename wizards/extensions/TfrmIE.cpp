#include "wizards/extensions/TfrmIE.h"

#include "app/AppInvoker.h"
#include "app/PathUtil.h"
#include "app/UiPrompter.h"
#include "tags/TagEngine.h"
#include "wizards/forms/NumberField.h"
#include "wizards/forms/WizardFolders.h"
#include "wizards/extensions/SoundPlayer.h"
#include "wizards/extensions/THTMLWriter.h"
#include "render/HelpViewer.h"

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

namespace {
const QString kSoundFilter = QStringLiteral(
    "All Sound Files|*.au;*.wav|Wave Files (*.wav)|*.wav|Audio Files (*.au)|*.au|All Files (*.*)|*.*");

void hint(QWidget* w, const QString& text)
{
    w->setToolTip(text);
    w->setStatusTip(text);
}
} // namespace

TfrmIE::TfrmIE(TagEngine& engine, QWidget* parent) : QDialog(parent), m_engine(engine)
{
    setObjectName(QStringLiteral("frmIE"));
    setWindowTitle(QStringLiteral("Microsoft Internet Explorer Extensions"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    TabSet = new QTabWidget(this);
    layout->addWidget(TabSet, 1);

    // Sounds
    auto* soundPage = new QWidget;
    auto* spl = new QVBoxLayout(soundPage);
    auto* soundGroup = new QGroupBox(QStringLiteral("Sound Properties"));
    auto* sgl = new QVBoxLayout(soundGroup);
    auto* soundForm = new QFormLayout;
    tSound = new QLineEdit;
    hint(tSound, QStringLiteral("Enter a path to your sound file or use the Browser"));
    soundForm->addRow(QStringLiteral("Sound File"), tSound);
    spnSoundReps = new NumberField<QSpinBox>(1);
    spnSoundReps->setRange(0, 255);  // the tag's count holds 0 to 255
    spnSoundReps->setValue(1);
    hint(spnSoundReps, QStringLiteral("No of Repetitions (0 for Infinite)"));
    soundForm->addRow(QStringLiteral("No of Repetitions"), spnSoundReps);
    sgl->addLayout(soundForm);
    auto* soundButtons = new QHBoxLayout;
    btnBrowse = new QPushButton(QStringLiteral("&Browse ..."));
    hint(btnBrowse, QStringLiteral("Browse for a Sound File"));
    btnUpper = new QPushButton(QStringLiteral("&UpperCase"));
    btnLower = new QPushButton(QStringLiteral("&LowerCase"));
    btnSlash = new QPushButton(QStringLiteral("Change &\\ to /"));
    for (QPushButton* b : {btnBrowse, btnUpper, btnLower, btnSlash}) {
        b->setAutoDefault(false);
        soundButtons->addWidget(b);
    }
    soundButtons->addStretch();
    sgl->addLayout(soundButtons);
    MediaPlayer = new SoundPlayer;
    sgl->addWidget(MediaPlayer);
    spl->addWidget(soundGroup);
    spl->addStretch();
    TabSet->addTab(soundPage, QStringLiteral("Sounds"));
    connect(btnBrowse, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { btnBrowseClick(); }); });
    connect(btnUpper, &QPushButton::clicked, this, [this] { tSound->setText(tSound->text().toUpper()); });
    connect(btnLower, &QPushButton::clicked, this, [this] { tSound->setText(tSound->text().toLower()); });
    connect(btnSlash, &QPushButton::clicked, this,
            [this] { tSound->setText(tSound->text().replace(QLatin1Char('\\'), QLatin1Char('/'))); });
    // Play hears the sound the field names, typed or browsed.
    connect(MediaPlayer, &SoundPlayer::playRequested, this, [this] {
        const QString path = tSound->text().trimmed();
        if (!path.isEmpty() && path != MediaPlayer->source())
            MediaPlayer->open(path);
    });

    // Marquees
    auto* marqueePage = new QWidget;
    auto* mpl = new QVBoxLayout(marqueePage);
    auto* marqueeGroup = new QGroupBox(QStringLiteral("Marquee Properties"));
    auto* mgl = new QVBoxLayout(marqueeGroup);
    auto* textForm = new QFormLayout;
    tMarquee = new QLineEdit(QStringLiteral("Velquist Pro Sample Text"));
    hint(tMarquee, QStringLiteral("Enter the text to scroll"));
    textForm->addRow(QStringLiteral("Marquee Text"), tMarquee);
    mgl->addLayout(textForm);
    auto* groups = new QHBoxLayout;
    auto* behaviour = new QGroupBox(QStringLiteral("Behaviour"));
    auto* bl = new QVBoxLayout(behaviour);
    btnMScroll = new QRadioButton(QStringLiteral("Scroll"));
    btnMSlide = new QRadioButton(QStringLiteral("Slide"));
    btnMAlternate = new QRadioButton(QStringLiteral("Alternate"));
    btnMScroll->setChecked(true);
    bl->addWidget(btnMScroll);
    bl->addWidget(btnMSlide);
    bl->addWidget(btnMAlternate);
    groups->addWidget(behaviour);
    auto* direction = new QGroupBox(QStringLiteral("Direction"));
    auto* dl = new QVBoxLayout(direction);
    btnMLeft = new QRadioButton(QStringLiteral("Left"));
    btnMRight = new QRadioButton(QStringLiteral("Right"));
    btnMLeft->setChecked(true);
    dl->addWidget(btnMLeft);
    dl->addWidget(btnMRight);
    dl->addStretch();
    groups->addWidget(direction);
    mgl->addLayout(groups);
    auto* widthForm = new QFormLayout;
    spnMarqueeWidth = new NumberField<QSpinBox>(100);
    spnMarqueeWidth->setRange(1, 100);
    spnMarqueeWidth->setSingleStep(5);
    spnMarqueeWidth->setValue(100);
    widthForm->addRow(QStringLiteral("Percentage of Screen Width to Use"), spnMarqueeWidth);
    mgl->addLayout(widthForm);
    mpl->addWidget(marqueeGroup);
    mpl->addStretch();
    TabSet->addTab(marqueePage, QStringLiteral("Marquees"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    OKBtn = new QPushButton(QStringLiteral("To &Document"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Close"));
    HelpBtn = new QPushButton(QStringLiteral("&Help"));
    HelpViewer::attach(HelpBtn, 100);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(HelpBtn);
    layout->addLayout(buttons);
    connect(OKBtn, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { OKBtnClick(); }); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { CancelBtnClick(); }); });
}

QString TfrmIE::tagText() const
{
    if (TabSet->currentIndex() == 0)
        return THTMLWriter::BGSound(tSound->text(), spnSoundReps->value());
    const int behaviour = btnMSlide->isChecked() ? THTMLWriter::Slide
        : btnMAlternate->isChecked()             ? THTMLWriter::Alternate
                                                 : THTMLWriter::Scroll;
    const int direction = btnMRight->isChecked() ? THTMLWriter::Right : THTMLWriter::Left;
    return THTMLWriter::Marquee(tMarquee->text(), THTMLWriter::NoAlignment, 20, -spnMarqueeWidth->value(), 0, 0, 5,
                                1, 0, behaviour, direction);
}

void TfrmIE::showWindow()
{
    show();
    raise();
    activateWindow();
}

void TfrmIE::btnBrowseClick()
{
    const QString name = UiPrompter::instance().openFileName(this, QStringLiteral("Open a Sound File"),
                                                             WizardFolders::browseStart(), kSoundFilter);
    WizardFolders::chosen(name);
    if (name.isEmpty())
        return;
    // Letter case is folded only where the file system ignores it, so the
    // name still finds its file.
    const QString shown = QDir::toNativeSeparators(name);
    tSound->setText(PathUtil::caseInsensitiveFileSystem() ? shown.toLower() : shown);
    MediaPlayer->open(name);
}

void TfrmIE::OKBtnClick()
{
    spnSoundReps->interpretText();
    spnMarqueeWidth->interpretText();
    m_engine.InsertTagPair(tagText(), QString());
    accept();
}

void TfrmIE::CancelBtnClick()
{
    reject();
}

void TfrmIE::done(int result)
{
    MediaPlayer->stop();
    QDialog::done(result);
}
