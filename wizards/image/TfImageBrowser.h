#pragma once
// The image browser "Image Browser": picks an image file, shows it scaled
// with its properties, and inserts an IMG tag with its size.
#include "wizards/image/ImageTag.h"

#include "wizards/forms/WizardDialog.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TagEngine;

class TfImageBrowser : public WizardDialog {
    Q_OBJECT
public:
    TfImageBrowser(TagEngine& engine, QWidget* parent);

    QLineEdit* txtImageName = nullptr;
    QPushButton* btnBrowse = nullptr;
    QPushButton* btnUpper = nullptr;
    QPushButton* btnLower = nullptr;
    QCheckBox* chkslash = nullptr;
    QSpinBox* spnBorder = nullptr;
    QSpinBox* oW = nullptr;
    QSpinBox* oH = nullptr;
    QLabel* PImage = nullptr;
    // Width, height, bits per pixel, planes, colours, file type, compression, size.
    QLineEdit* info[8] = {};
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    int boxSize() const { return m_boxSize; }
    ImageTagOptions options() const;

public slots:
    void btnBrowseClick();
    // Shows a file's picture and properties, as after choosing it.
    void loadImage(const QString& path);
    void OKBtnClick();
    void CancelBtnClick();

private:
    TagEngine& m_engine;
    QFrame* m_box = nullptr;
    int m_boxSize = 150;
};
