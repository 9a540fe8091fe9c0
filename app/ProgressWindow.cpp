#include "app/ProgressWindow.h"

#include "app/PlacementAdapter.h"

#include <QProgressBar>
#include <QVBoxLayout>

ProgressWindow::ProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Progress"));
    setWindowTitle(QStringLiteral("Velquist Progress"));
    auto* layout = new QVBoxLayout(this);
    m_meter = new QProgressBar;
    m_meter->setRange(0, 100);
    m_meter->setMinimumWidth(300);
    layout->addWidget(m_meter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ProgressWindow::setPercent(int percent)
{
    m_meter->setValue(qBound(0, percent, 100));
}

int ProgressWindow::percent() const
{
    return m_meter->value();
}

void ProgressWindow::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    centreOnScreen(this);
}
