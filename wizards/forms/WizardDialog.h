#pragma once
// What every wizard window shares: made once at start-up, shown without
// being modal above the main frame, hidden (never destroyed) by its close
// buttons, the close box and Escape; its preference bag section keeps the
// window's place under FORM_PLACE.
#include "app/TBag.h"

#include <QDialog>

class WizardDialog : public QDialog {
    Q_OBJECT
public:
    // section: the window's section of the preference file.
    WizardDialog(const QString& caption, const QString& section, QWidget* parent);

    TBag Prefs;

    // Shows the window (without waiting for it) and brings it to the front.
    void showWizard();

protected:
    void showEvent(QShowEvent* e) override;
    // Every way of closing ends here: the placement is stored.
    void done(int result) override;
};
