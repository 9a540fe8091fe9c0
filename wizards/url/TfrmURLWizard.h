#pragma once
// "Velquist URL Wizard": one link from a location and a description, each
// picked from a remembered list or typed.
#include "wizards/forms/WizardDialog.h"

#include <QStringList>

class QComboBox;
class QPushButton;
class TagEngine;

class TfrmURLWizard : public WizardDialog {
    Q_OBJECT
public:
    explicit TfrmURLWizard(TagEngine& engine, QWidget* parent = nullptr);

    QComboBox* cmbURL = nullptr;
    QComboBox* cmbDesc = nullptr;
    QPushButton* OKBtn = nullptr;

    QStringList locations() const { return m_locations; }
    QStringList descriptions() const { return m_descriptions; }

public slots:
    void OKBtnClick();
    void CancelBtnClick();

private:
    // One remembered list: its items, its file and whether that file may be
    // written (not when it exists but could not be read).
    void loadList(const QString& file, QStringList& items, QComboBox* box, bool& writable);
    void saveList(const QString& file, const QStringList& items, bool writable);
    TagEngine& m_engine;
    QStringList m_locations;
    QStringList m_descriptions;
    bool m_locationsWritable = true;
    bool m_descriptionsWritable = true;
};
