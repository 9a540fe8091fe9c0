#include "app/TfColor.h"

#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/PlacementAdapter.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "app/UiPrompter.h"
#include "editor/TOvcTextFileEditor.h"
#include "render/HelpViewer.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace {
const int kColumns = 2;
const int kRows = 8;
const int kCell = 22;
// In the grid's order: black, maroon, green, olive, navy, purple, teal,
// silver, gray, red, lime, yellow, blue, fuchsia, aqua, white (0xBBGGRR).
const unsigned kColorRefs[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                                 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
const QString kEditWindow = QStringLiteral("Edit Window");
const QString kEditorColors = QStringLiteral("Editor Colors");
}

TEditColorGrid::TEditColorGrid(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ColorGrid"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QColor TEditColorGrid::colorAt(int index)
{
    return index >= 0 && index < 16 ? colorFromColorRef(kColorRefs[index]) : QColor();
}

int TEditColorGrid::indexOf(const QColor& color)
{
    for (int i = 0; i < 16; ++i)
        if (colorAt(i).rgb() == color.rgb())
            return i;
    return -1;
}

void TEditColorGrid::setIndexes(int foreground, int background)
{
    m_fg = foreground;
    m_bg = background;
    update();
}

QRect TEditColorGrid::cellRect(int index) const
{
    return QRect((index % kColumns) * kCell, (index / kColumns) * kCell, kCell, kCell);
}

QSize TEditColorGrid::sizeHint() const
{
    return QSize(kColumns * kCell + 1, kRows * kCell + 1);
}

void TEditColorGrid::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QFont f = font();
    f.setPixelSize(8);
    f.setBold(true);
    p.setFont(f);
    for (int i = 0; i < 16; ++i) {
        const QRect r = cellRect(i).adjusted(2, 2, -2, -2);
        const QColor c = colorAt(i);
        p.fillRect(r, c);
        p.setPen(palette().color(QPalette::Dark));
        p.drawRect(r);
        // The two choices are marked as such, readable on any colour.
        QString mark;
        if (i == m_fg)
            mark = QStringLiteral("FG");
        if (i == m_bg)
            mark += mark.isEmpty() ? QStringLiteral("BG") : QStringLiteral("/B");
        if (!mark.isEmpty()) {
            p.setPen(qGray(c.rgb()) < 128 ? Qt::white : Qt::black);
            p.drawText(r, Qt::AlignCenter, mark);
        }
    }
}

void TEditColorGrid::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const int column = pos.x() / kCell, row = pos.y() / kCell;
    if (pos.x() < 0 || pos.y() < 0 || column >= kColumns || row >= kRows)
        return;
    const int index = row * kColumns + column;
    if (e->button() == Qt::LeftButton)
        m_fg = index;
    else if (e->button() == Qt::RightButton)
        m_bg = index;
    else
        return;
    update();
    if (onChange)
        onChange();
}

TfColor::TfColor(TmdiMain& main)
    : QDialog(&main, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Prefs(AppSettings::kPrefsFile, kEditorColors), m_main(main)
{
    setObjectName(QStringLiteral("TfColor"));
    setWindowTitle(QStringLiteral("Set Editing Colors"));
    m_font = QFont(QStringLiteral("Courier New"), 10);
    m_font.setStyleHint(QFont::TypeWriter);
    m_font.setFixedPitch(true);

    mSamp = new QListWidget(this);
    mSamp->setObjectName(QStringLiteral("mSamp"));
    mSamp->addItems(sampleLines());
    mSamp->setSelectionMode(QAbstractItemView::NoSelection);
    mSamp->setFocusPolicy(Qt::NoFocus);
    mSamp->setMinimumHeight(230);
    ColorGrid = new TEditColorGrid(this);
    ColorGrid->setToolTip(QStringLiteral("Left click: text colour; right click: background"));
    ColorGrid->onChange = [this] { AppInvoker::run([this] { ColorGridChange(); }); };

    btnFont = new QPushButton(QStringLiteral("Set Editor Font ..."), this);
    btnApply = new QPushButton(QStringLiteral("Apply"), this);
    btnApply->setToolTip(QStringLiteral("Apply to current Window Only"));
    btnApply->setStatusTip(btnApply->toolTip());
    btnApply->setDefault(true);
    btnDefault = new QPushButton(QStringLiteral("Default"), this);
    btnDefault->setToolTip(QStringLiteral("Set As Default"));
    btnDefault->setStatusTip(btnDefault->toolTip());
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnHelp = new QPushButton(QStringLiteral("&Help"), this);
    HelpViewer::attach(btnHelp, 1);
    for (QPushButton* b : {btnFont, btnDefault, btnCancel, btnHelp})
        b->setAutoDefault(false);

    auto* side = new QVBoxLayout;
    side->addWidget(ColorGrid, 0, Qt::AlignHCenter);
    side->addWidget(btnFont);
    side->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(mSamp, 1);
    top->addLayout(side);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {btnApply, btnDefault, btnCancel, btnHelp})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const auto wire = [this](QPushButton* b, void (TfColor::*fn)()) {
        connect(b, &QPushButton::clicked, this, [this, fn] { AppInvoker::run([this, fn] { (this->*fn)(); }); });
    };
    wire(btnFont, &TfColor::btnFontClick);
    wire(btnApply, &TfColor::btnApplyClick);
    wire(btnDefault, &TfColor::btnDefaultClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    showSample();
}

QStringList TfColor::sampleLines()
{
    return {QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//3.0\">"),
            QStringLiteral("<HTML>"),
            QStringLiteral("<!-- Sample Template for a HTML Document created by Onvex for Windows Version 2 -->"),
            QStringLiteral("<HEAD>"),
            QStringLiteral("<TITLE>Document Title</TITLE>"),
            QStringLiteral("</HEAD>"),
            QStringLiteral("<BODY>"),
            QStringLiteral("<H1>Main Page Title</H1>"),
            QStringLiteral("This is the body text."),
            QStringLiteral("</BODY>"),
            QStringLiteral("</HTML>"),
            QString()};
}

void TfColor::showSample()
{
    QPalette pal = mSamp->palette();
    pal.setColor(QPalette::Base, m_background);
    pal.setColor(QPalette::Text, m_text);
    mSamp->setPalette(pal);
    mSamp->setFont(m_font);
    // Wide enough for the longest sample line, within reason and within
    // the screen beside the rest of the dialog.
    const int longest = QFontMetrics(m_font).horizontalAdvance(sampleLines().at(2));
    int width = std::clamp(longest + 30, 460, 900);
    if (const QScreen* s = screen(); s && layout()) {
        const int others = layout()->minimumSize().width() - mSamp->minimumWidth();
        width = std::max(160, std::min(width, s->availableGeometry().width() - others - 40));
    }
    mSamp->setMinimumWidth(width);
}

void TfColor::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    AppInvoker::run([this] {
        SetDefC();
        adjustSize();
        fitOnScreen(this);
    });
}

void TfColor::SetDefC()
{
    bagShow(Prefs, this);
    if (TfHTML* doc = m_main.activeDocument()) {
        m_background = doc->txtHTML->Color();
        m_font = doc->txtHTML->FixedFont();
        m_text = doc->txtHTML->FixedFontColor();
        // The grid shows the document's colours, so choosing one of the two
        // leaves the other as the document has it.
        ColorGrid->setIndexes(TEditColorGrid::indexOf(m_text), TEditColorGrid::indexOf(m_background));
    }
    showSample();
}

void TfColor::ColorGridChange()
{
    if (ColorGrid->backgroundIndex() >= 0)
        m_background = TEditColorGrid::colorAt(ColorGrid->backgroundIndex());
    if (ColorGrid->foregroundIndex() >= 0)
        m_text = TEditColorGrid::colorAt(ColorGrid->foregroundIndex());
    showSample();
}

void TfColor::btnFontClick()
{
    QFont f = m_font;
    if (UiPrompter::instance().chooseFont(this, f, true)) {
        m_font = f;
        showSample();
    }
}

void TfColor::btnApplyClick()
{
    if (TfHTML* doc = m_main.activeDocument()) {
        doc->txtHTML->SetColor(m_background);
        QFont f = doc->txtHTML->FixedFont();
        f.setFamily(m_font.family());
        if (m_font.pointSize() > 0)
            f.setPointSize(m_font.pointSize());
        doc->txtHTML->SetFixedFont(f);
        doc->txtHTML->SetFixedFontColor(m_text);
    }
    accept();
}

void TfColor::btnDefaultClick()
{
    if (m_main.activeDocument()) {
        // The default goes to the document windows' section and to this
        // dialog's own, each written whole.
        for (const QString& section : {kEditWindow, kEditorColors}) {
            Prefs.IniSect = section;
            Prefs.PutInteger(QStringLiteral("Edit_Color"), static_cast<int>(colorRefFromColor(m_background)));
            Prefs.PutFont(QStringLiteral("Edit_Font"), specFromFont(m_font, m_text));
            Prefs.SaveSection();
        }
        Prefs.IniSect = kEditorColors;
    }
    btnApplyClick();
}

void TfColor::FormClose()
{
    Prefs.IniSect = kEditorColors;
    bagClose(Prefs, this);
}

void TfColor::done(int result)
{
    AppInvoker::run([this] { FormClose(); });
    QDialog::done(result);
}
