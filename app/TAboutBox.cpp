#include "app/TAboutBox.h"

#include "app/PlacementAdapter.h"
#include "app/AppSettings.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

QIcon TAboutBox::programIcon()
{
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x1F, 0x4E, 0x96));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
    QFont f = p.font();
    f.setPixelSize(30);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 64, 64), Qt::AlignCenter, QStringLiteral("</>"));
    return QIcon(pm);
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About Velquist"));
    setModal(true);
    auto* grid = new QGridLayout(this);
    auto* icon = new QLabel;
    icon->setPixmap(programIcon().pixmap(64, 64));
    grid->addWidget(icon, 0, 0, 4, 1, Qt::AlignTop);
    ProductName = new QLabel(AppSettings::kAppTitle);
    QFont bold = ProductName->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    ProductName->setFont(bold);
    Version = new QLabel(AppSettings::kVersion);
    grid->addWidget(ProductName, 0, 1);
    grid->addWidget(Version, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("An HTML source editor for people who write markup by hand.")), 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Built with Qt for the Linux desktop.")), 3, 1);
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    grid->addWidget(ok, 4, 0, 1, 2, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    centreOnScreen(this);
}
