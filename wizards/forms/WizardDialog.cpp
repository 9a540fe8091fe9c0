#include "wizards/forms/WizardDialog.h"

#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/PlacementAdapter.h"

#include <QShowEvent>

WizardDialog::WizardDialog(const QString& caption, const QString& section, QWidget* parent)
    : QDialog(parent), Prefs(AppSettings::kPrefsFile, section)
{
    setWindowTitle(caption);
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void WizardDialog::showWizard()
{
    show();
    raise();
    activateWindow();
}

void WizardDialog::showEvent(QShowEvent* e)
{
    if (!e->spontaneous())
        AppInvoker::run([this] { bagShow(Prefs, this); });
    QDialog::showEvent(e);
}

void WizardDialog::done(int result)
{
    if (isVisible())
        AppInvoker::run([this] { bagClose(Prefs, this); });
    QDialog::done(result);
}
