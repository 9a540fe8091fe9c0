#include "tags/TfColorChooser.h"

#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/PlacementAdapter.h"
#include "app/UiPrompter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
const int kColumns = 2;
const int kRows = 8;
const int kCell = 22;
}

TColorGrid::TColorGrid(QWidget* parent) : QWidget(parent), m_colors(defaultColors())
{
    setObjectName(QStringLiteral("ColorGrid"));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

const QVector<QColor>& TColorGrid::defaultColors()
{
    // The system's default palette: its first eight and last eight entries.
    static const QVector<QColor> colors = {
        QColor(0x00, 0x00, 0x00), QColor(0x80, 0x00, 0x00), QColor(0x00, 0x80, 0x00),
        QColor(0x80, 0x80, 0x00), QColor(0x00, 0x00, 0x80), QColor(0x80, 0x00, 0x80),
        QColor(0x00, 0x80, 0x80), QColor(0xC0, 0xC0, 0xC0), QColor(0x80, 0x80, 0x80),
        QColor(0xFF, 0x00, 0x00), QColor(0x00, 0xFF, 0x00), QColor(0xFF, 0xFF, 0x00),
        QColor(0x00, 0x00, 0xFF), QColor(0xFF, 0x00, 0xFF), QColor(0x00, 0xFF, 0xFF),
        QColor(0xFF, 0xFF, 0xFF),
    };
    return colors;
}

QSize TColorGrid::sizeHint() const
{
    return QSize(kColumns * kCell + 1, kRows * kCell + 1);
}

QRect TColorGrid::cellRect(int index) const
{
    if (index < 0 || index >= count())
        return QRect();
    return QRect((index % kColumns) * kCell, (index / kColumns) * kCell, kCell, kCell);
}

int TColorGrid::indexAt(const QPoint& pos) const
{
    if (pos.x() < 0 || pos.y() < 0)
        return -1;
    const int column = pos.x() / kCell;
    const int row = pos.y() / kCell;
    if (column >= kColumns || row >= kRows)
        return -1;
    return row * kColumns + column;
}

void TColorGrid::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    for (int i = 0; i < count(); ++i) {
        const QRect r = cellRect(i).adjusted(2, 2, -2, -2);
        p.fillRect(r, m_colors.at(i));
        p.setPen(palette().color(QPalette::Dark));
        p.drawRect(r);
    }
    if (m_selected >= 0) {
        p.setPen(QPen(palette().color(QPalette::WindowText), 2));
        p.drawRect(cellRect(m_selected).adjusted(1, 1, -1, -1));
    }
}

void TColorGrid::mousePressEvent(QMouseEvent* e)
{
    const int index = indexAt(e->position().toPoint());
    if (e->button() != Qt::LeftButton || index < 0)
        return;
    m_selected = index;
    update();
    emit colorClicked(m_colors.at(index));
}

TfColorChooser::TfColorChooser(TagEngine& engine, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Prefs(AppSettings::kPrefsFile, QStringLiteral("Color Chooser")), m_engine(engine)
{
    setObjectName(QStringLiteral("TfColorChooser"));
    setWindowTitle(tr("Color Chooser"));
    setModal(false);

    ColorGrid = new TColorGrid(this);
    btnMore = new QPushButton(tr("&More Colors ..."), this);
    btnMore->setObjectName(QStringLiteral("btnMore"));
    txtCl = new QLineEdit(this);
    txtCl->setObjectName(QStringLiteral("txtCl"));
    txtCl->setMaxLength(7);
    txtCl->setText(QStringLiteral("#FFFFFF"));
    const QString clHint = tr("RGB Value : You can also type one in here.");
    txtCl->setToolTip(clHint);
    txtCl->setStatusTip(clHint);
    OKBtn = new QPushButton(tr("Insert"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    const QString okHint = tr("Insert the Color Code at the current cursor position");
    OKBtn->setToolTip(okHint);
    OKBtn->setStatusTip(okHint);
    CancelBtn = new QPushButton(tr("&Close"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    // "&Close" is the default and the cancel button: Enter and Escape press it.
    btnMore->setAutoDefault(false);
    OKBtn->setAutoDefault(false);
    CancelBtn->setAutoDefault(true);
    CancelBtn->setDefault(true);

    auto* side = new QVBoxLayout;
    side->addWidget(btnMore);
    side->addWidget(txtCl);
    side->addStretch(1);
    side->addWidget(OKBtn);
    side->addWidget(CancelBtn);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(ColorGrid, 0, Qt::AlignTop);
    layout->addLayout(side);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ColorGrid, &TColorGrid::colorClicked, this, &TfColorChooser::ColorGridClick);
    connect(btnMore, &QPushButton::clicked, this,
            [this] { AppInvoker::run([this] { btnMoreClick(); }); });
    connect(OKBtn, &QPushButton::clicked, this,
            [this] { AppInvoker::run([this] { OKBtnClick(); }); });
    connect(CancelBtn, &QPushButton::clicked, this, &TfColorChooser::CancelBtnClick);
}

QString TfColorChooser::colorCode(const QColor& color)
{
    return TagEngine::ColorToHtml(color.red(), color.green(), color.blue());
}

void TfColorChooser::showChooser()
{
    show();
    raise();
    activateWindow();
}

void TfColorChooser::ColorGridClick(const QColor& color)
{
    txtCl->setText(colorCode(color));
}

void TfColorChooser::btnMoreClick()
{
    QColor color(txtCl->text());
    if (!color.isValid())
        color = Qt::white;
    if (UiPrompter::instance().chooseColor(this, color))
        txtCl->setText(colorCode(color));
}

void TfColorChooser::OKBtnClick()
{
    m_engine.InsertTagPair(txtCl->text(), QString());
}

void TfColorChooser::CancelBtnClick()
{
    reject();
}

void TfColorChooser::reject()
{
    if (isVisible()) {
        AppInvoker::run([this] {
            bagClose(Prefs, this);
        });
    }
    QDialog::reject();
}

void TfColorChooser::showEvent(QShowEvent* e)
{
    if (!e->spontaneous()) {
        AppInvoker::run([this] {
            bagShow(Prefs, this);
        });
    }
    QDialog::showEvent(e);
}
