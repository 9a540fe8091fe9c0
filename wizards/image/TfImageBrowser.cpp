#include "wizards/image/TfImageBrowser.h"

#include "app/AppInvoker.h"
#include "app/PathUtil.h"
#include "app/SafeFile.h"
#include "app/UiPrompter.h"
#include "tags/TagEngine.h"
#include "wizards/forms/NumberField.h"
#include "wizards/forms/WizardFolders.h"
#include "wizards/image/ImageInfo.h"
#include "wizards/image/MediaOpenDialog.h"
#include "render/HelpViewer.h"

#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
void hint(QWidget* w, const QString& text)
{
    w->setToolTip(text);
    w->setStatusTip(text);
}

QSpinBox* spin(int max, int value, const QString& tip)
{
    auto* s = new NumberField<QSpinBox>(value);
    s->setRange(0, max);
    s->setValue(value);
    hint(s, tip);
    return s;
}

const char* const kInfoLabels[8][2] = {
    {"Width", "Width of the loaded image"},
    {"Height", "Height of the loaded image"},
    {"Bits per Pixel", "Bits per Pixel of the loaded image"},
    {"Planes", "The number of Planes in the loaded image"},
    {"Num of Colors", "Number of Colors in the loaded image"},
    {"File Type", "File Type of the loaded image"},
    {"Compression", "Compression factor of the loaded image"},
    {"Size", "Size (in bytes) of the loaded image"},
};
} // namespace

TfImageBrowser::TfImageBrowser(TagEngine& engine, QWidget* parent)
    : WizardDialog(QStringLiteral("Image Browser"), QStringLiteral("Image Browser"), parent), m_engine(engine)
{
    setObjectName(QStringLiteral("fImageBrowser"));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;

    auto* paste = new QGroupBox(QStringLiteral("Paste Image Name as ..."));
    auto* pl = new QVBoxLayout(paste);
    txtImageName = new QLineEdit(QStringLiteral("Image Name"));
    pl->addWidget(txtImageName);
    auto* nameButtons = new QHBoxLayout;
    btnBrowse = new QPushButton(QStringLiteral("&Browse ..."));
    btnUpper = new QPushButton(QStringLiteral("&Upper Case"));
    btnLower = new QPushButton(QStringLiteral("&Lower Case"));
    for (QPushButton* b : {btnBrowse, btnUpper, btnLower}) {
        b->setAutoDefault(false);
        nameButtons->addWidget(b);
    }
    pl->addLayout(nameButtons);
    chkslash = new QCheckBox(QStringLiteral("Change \"\\\" to \"/\""));
    chkslash->setChecked(true);
    pl->addWidget(chkslash);
    auto* sizes = new QFormLayout;
    spnBorder = spin(50, 1, QStringLiteral("Set Border Size"));
    oW = spin(99999999, 0, QStringLiteral("Set Width (leave at 0 to exclude)"));
    oH = spin(99999999, 0, QStringLiteral("Set Height (leave at 0 to exclude)"));
    sizes->addRow(QStringLiteral("Border Size"), spnBorder);
    sizes->addRow(QStringLiteral("Width"), oW);
    sizes->addRow(QStringLiteral("Height"), oH);
    pl->addLayout(sizes);
    left->addWidget(paste);
    left->addStretch();
    layout->addLayout(left);

    auto* infoGroup = new QGroupBox(QStringLiteral("Image Information"));
    auto* il = new QHBoxLayout(infoGroup);
    m_box = new QFrame;
    m_box->setFrameShape(QFrame::StyledPanel);
    m_box->setFixedSize(m_boxSize + 2 * m_box->frameWidth(), m_boxSize + 2 * m_box->frameWidth());
    PImage = new QLabel(m_box);
    PImage->setObjectName(QStringLiteral("PImage"));
    PImage->setScaledContents(true);
    PImage->setGeometry(m_box->frameWidth(), m_box->frameWidth(), m_boxSize, m_boxSize);
    il->addWidget(m_box, 0, Qt::AlignTop);
    auto* fields = new QFormLayout;
    for (int i = 0; i < 8; ++i) {
        info[i] = new QLineEdit(QStringLiteral("N/A"));
        info[i]->setReadOnly(true);
        // Shown, not filled in: clicked into for copying, passed by Tab.
        info[i]->setFocusPolicy(Qt::ClickFocus);
        hint(info[i], QString::fromLatin1(kInfoLabels[i][1]));
        fields->addRow(QString::fromLatin1(kInfoLabels[i][0]), info[i]);
    }
    il->addLayout(fields);
    layout->addWidget(infoGroup, 1);

    auto* buttons = new QVBoxLayout;
    OKBtn = new QPushButton(QStringLiteral("&OK"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Close"));
    HelpBtn = new QPushButton(QStringLiteral("&Help"));
    HelpViewer::attach(HelpBtn, 100);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(HelpBtn);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(btnBrowse, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { btnBrowseClick(); }); });
    connect(btnUpper, &QPushButton::clicked, this, [this] { txtImageName->setText(txtImageName->text().toUpper()); });
    connect(btnLower, &QPushButton::clicked, this, [this] { txtImageName->setText(txtImageName->text().toLower()); });
    connect(OKBtn, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { OKBtnClick(); }); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { CancelBtnClick(); }); });
}

ImageTagOptions TfImageBrowser::options() const
{
    ImageTagOptions o;
    o.name = txtImageName->text();
    o.slashes = chkslash->isChecked();
    o.border = spnBorder->value();
    o.width = oW->value();
    o.height = oH->value();
    return o;
}

void TfImageBrowser::btnBrowseClick()
{
    const QString name = MediaOpenDialog::getFile(this, WizardFolders::browseStart());
    WizardFolders::chosen(name);
    if (name.isEmpty())
        return;
    // Letter case is folded only where the file system ignores it, so the
    // name still finds its file.
    const QString shown = QDir::toNativeSeparators(name);
    txtImageName->setText(PathUtil::caseInsensitiveFileSystem() ? shown.toLower() : shown);
    loadImage(name);
}

void TfImageBrowser::loadImage(const QString& path)
{
    PImage->setGeometry(m_box->frameWidth(), m_box->frameWidth(), m_boxSize, m_boxSize);
    ImageInfo inf;
    QImage picture;
    QString error;
    if (!ImageInfo::queryAway(path, m_boxSize, &inf, &picture, &error)) {
        PImage->clear();
        for (QLineEdit* f : info)
            f->clear();
        UiPrompter::instance().message(this,
                                       QStringLiteral("Unable to read the image ") + SafeFile::shown(path)
                                           + QStringLiteral(": ") + error + QLatin1Char('.'),
                                       UiPrompter::Ok, UiPrompter::Warning);
        return;
    }
    const QSize shown = ImageTag::previewSize(inf.width, inf.height, m_boxSize);
    const int f = m_box->frameWidth();
    PImage->setGeometry(f + (m_boxSize - shown.width()) / 2, f + (m_boxSize - shown.height()) / 2, shown.width(),
                        shown.height());
    PImage->setPixmap(QPixmap::fromImage(picture));
    const QString texts[8] = {QString::number(inf.width), QString::number(inf.height),
                              QString::number(inf.bitsPerPixel), QString::number(inf.planes),
                              QString::number(inf.colors), inf.fileType, inf.compression, QString::number(inf.size)};
    for (int i = 0; i < 8; ++i)
        info[i]->setText(texts[i]);
    oW->setValue(inf.width);
    oH->setValue(inf.height);
}

void TfImageBrowser::OKBtnClick()
{
    if (!m_engine.host().activeEditor())
        return;
    for (QSpinBox* s : {spnBorder, oW, oH})
        s->interpretText();
    m_engine.InsertTagPair(ImageTag::tags(options()));
}

void TfImageBrowser::CancelBtnClick()
{
    reject();
}
