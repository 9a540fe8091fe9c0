#include "render/TFontForm.h"

#include "app/AppSettings.h"
#include "app/PlacementAdapter.h"
#include "app/AppError.h"
#include "app/UiPrompter.h"
#include "render/THTMLViewer.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QRegularExpression>
#include <QSet>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
const unsigned kStandard[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                                0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

const QString kSample = QStringLiteral(
    "<html><body><h1 align=\"center\">Heading</h1>"
    "<p>This is some normal text of a page, as the preview shows it.</p>"
    "<ul><li>A <a href=\"#\">link to another page</a></li><li><b>Bold text</b></li>"
    "<li><i>Italic text</i></li><li><code>Code text</code></li></ul><hr></body></html>");
}

const QStringList& TFontForm::colorNames()
{
    static const QStringList names = {
        QStringLiteral("Black"), QStringLiteral("Maroon"), QStringLiteral("Green"), QStringLiteral("Olive"),
        QStringLiteral("Navy"), QStringLiteral("Purple"), QStringLiteral("Teal"), QStringLiteral("Silver"),
        QStringLiteral("Gray"), QStringLiteral("Red"), QStringLiteral("Lime"), QStringLiteral("Yellow"),
        QStringLiteral("Blue"), QStringLiteral("Fuchsia"), QStringLiteral("Aqua"), QStringLiteral("White")};
    return names;
}

QColor TFontForm::standardColor(int index)
{
    return colorFromColorRef(kStandard[index]);
}

QString TFontForm::colorName(const QColor& c)
{
    const unsigned ref = colorRefFromColor(c);
    for (int i = 0; i < 16; ++i)
        if (kStandard[i] == ref)
            return colorNames()[i];
    return QStringLiteral("$%1").arg(ref, 8, 16, QLatin1Char('0')).toUpper();
}

TFontForm::TFontForm(QWidget* parent)
    : QDialog(parent), Prefs(AppSettings::kPrefsFile, QStringLiteral("Def Font and Color"))
{
    setObjectName(QStringLiteral("FontForm"));
    setWindowTitle(QStringLiteral("Edit Default Font and Colors"));
    setModal(true);

    auto* grid = new QGridLayout(this);
    auto* fontsLabel = new QLabel(QStringLiteral("Font &Name"));
    lstFonts = new QListWidget;
    lstFonts->setObjectName(QStringLiteral("lstFonts"));
    lstFonts->addItems(familyNames());
    fontsLabel->setBuddy(lstFonts);
    auto* backLabel = new QLabel(QStringLiteral("&Background"));
    lstBackground = new QListWidget;
    lstBackground->setObjectName(QStringLiteral("lstBackground"));
    lstBackground->addItems(colorNames());
    backLabel->setBuddy(lstBackground);
    auto* sizeLabel = new QLabel(QStringLiteral("Font &Size"));
    edtSize = new QSpinBox;
    edtSize->setRange(6, 24);
    edtSize->setValue(12);
    sizeLabel->setBuddy(edtSize);

    auto* left = new QVBoxLayout;
    left->addWidget(fontsLabel);
    left->addWidget(lstFonts, 2);
    left->addWidget(backLabel);
    left->addWidget(lstBackground, 1);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(sizeLabel);
    sizeRow->addWidget(edtSize);
    sizeRow->addStretch();
    left->addLayout(sizeRow);
    grid->addLayout(left, 0, 0, 2, 1);

    auto* grids = new QHBoxLayout;
    grids->addWidget(makeGrid(QStringLiteral("&Font Color"), fontGrid, false));
    grids->addWidget(makeGrid(QStringLiteral("&Link Color"), linkGrid, true));
    grid->addLayout(grids, 0, 1);
    m_sampleArea = new QWidget;
    m_sampleArea->setMinimumSize(320, 220);
    auto* sampleLayout = new QVBoxLayout(m_sampleArea);
    sampleLayout->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_sampleArea, 1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOK = new QPushButton(QStringLiteral("O&K"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"));
    btnReset = new QPushButton(QStringLiteral("&Reset"));
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnReset);
    grid->addLayout(buttons, 2, 0, 1, 2);

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnReset, &QPushButton::clicked, this, &TFontForm::ResetClick);
    connect(lstFonts, &QListWidget::currentTextChanged, this, [this](const QString& name) {
        if (name.isEmpty())
            return;
        m_fontName = name;
        updateSample();
    });
    connect(lstBackground, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        const QString name = lstBackground->item(row)->text();
        if (row < 16)
            m_background = standardColor(row);
        else if (name.startsWith(QLatin1Char('$')))
            m_background = colorFromColorRef(name.mid(1).toUInt(nullptr, 16));
        updateSample();
    });
    connect(edtSize, &QSpinBox::valueChanged, this, [this](int v) {
        m_fontSize = v;
        updateSample();
    });
}

TFontForm::~TFontForm() = default;

QWidget* TFontForm::makeGrid(const QString& caption, QList<QPushButton*>& buttons, bool link)
{
    auto* box = new QGroupBox(caption);
    auto* g = new QGridLayout(box);
    g->setSpacing(2);
    for (int i = 0; i < 16; ++i) {
        auto* b = new QPushButton;
        b->setCheckable(true);
        b->setFixedSize(26, 20);
        b->setToolTip(colorNames()[i]);
        b->setStyleSheet(QStringLiteral("QPushButton{background-color:%1;border:1px solid gray;}"
                                        "QPushButton:checked{border:3px solid #FF8000;}")
                             .arg(standardColor(i).name()));
        g->addWidget(b, i % 8, i / 8);
        buttons << b;
        connect(b, &QPushButton::clicked, this, [this, i, link, &buttons] {
            chooseInGrid(buttons, i);
            (link ? m_linkColor : m_fontColor) = standardColor(i);
            updateSample();
        });
    }
    return box;
}

void TFontForm::chooseInGrid(QList<QPushButton*>& buttons, int index)
{
    for (int i = 0; i < buttons.size(); ++i)
        buttons[i]->setChecked(i == index);
}

QStringList TFontForm::familyNames()
{
    QStringList out;
    QSet<QString> seen;
    for (QString f : QFontDatabase::families()) {
        // A family several foundries make is listed once per foundry.
        static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
        f.remove(foundry);
        if (!seen.contains(f.toLower())) {
            seen.insert(f.toLower());
            out << f;
        }
    }
    out.sort(Qt::CaseInsensitive);
    return out;
}

QString TFontForm::installedFamily(const QString& name)
{
    for (const QString& f : familyNames())
        if (f.compare(name, Qt::CaseInsensitive) == 0)
            return f;
    const bool fixed = name.contains(QLatin1String("courier"), Qt::CaseInsensitive)
        || name.contains(QLatin1String("mono"), Qt::CaseInsensitive);
    if (fixed)
        return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    QFont serif(QStringLiteral("serif"));
    serif.setStyleHint(QFont::Serif);
    return QFontInfo(serif).family();
}

void TFontForm::setFontName(const QString& name)
{
    const QString cut = name.left(31);
    QList<QListWidgetItem*> found = lstFonts->findItems(cut, Qt::MatchFixedString);
    if (found.isEmpty())
        found = lstFonts->findItems(QStringLiteral("System"), Qt::MatchFixedString);
    const QSignalBlocker block(lstFonts);
    lstFonts->setCurrentItem(found.isEmpty() ? nullptr : found.first());
    m_fontName = found.isEmpty() ? cut : found.first()->text();
    updateSample();
}

void TFontForm::setFontColor(const QColor& c)
{
    m_fontColor = c;
    chooseInGrid(fontGrid, -1);
    updateSample();
}

void TFontForm::setFontSize(int points)
{
    const QSignalBlocker block(edtSize);
    edtSize->setValue(points);
    m_fontSize = edtSize->value();
    updateSample();
}

void TFontForm::setLinkColor(const QColor& c)
{
    m_linkColor = c;
    chooseInGrid(linkGrid, -1);
    updateSample();
}

void TFontForm::setBackground(const QColor& c)
{
    m_background = c;
    const QString name = colorName(c);
    QList<QListWidgetItem*> found = lstBackground->findItems(name, Qt::MatchFixedString);
    if (found.isEmpty()) {
        lstBackground->addItem(name);
        found = lstBackground->findItems(name, Qt::MatchFixedString);
    }
    const QSignalBlocker block(lstBackground);
    lstBackground->setCurrentItem(found.first());
    updateSample();
}

void TFontForm::showEvent(QShowEvent* e)
{
    bagShow(Prefs, this);
    if (!m_sample) {
        try {
            m_sample.reset(createHTMLViewer(m_sampleArea));
            m_sampleArea->layout()->addWidget(m_sample->widget());
        } catch (const EFileError& e) {
            UiPrompter::instance().message(this, e.message(), UiPrompter::Ok, UiPrompter::Critical);
        }
    }
    m_remembered = {m_fontName, m_fontColor, m_linkColor, m_background, m_fontSize};
    updateSample();
    QDialog::showEvent(e);
}

void TFontForm::done(int result)
{
    bagClose(Prefs, this);
    QDialog::done(result);
}

void TFontForm::ResetClick()
{
    const Remembered r = m_remembered;
    setFontName(r.fontName);
    setFontColor(r.fontColor);
    setFontSize(r.fontSize);
    setLinkColor(r.linkColor);
    setBackground(r.background);
}

void TFontForm::updateSample()
{
    if (!m_sample)
        return;
    m_sample->SetDefaults(installedFamily(m_fontName), m_fontColor, m_fontSize, m_linkColor, m_background);
    m_sample->LoadFromString(kSample);
}
