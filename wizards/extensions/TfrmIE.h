#pragma once
// The browser extensions dialog "Microsoft Internet Explorer Extensions": a
// background sound (heard before it is inserted) or a scrolling marquee.
#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class SoundPlayer;
class TagEngine;

class TfrmIE : public QDialog {
    Q_OBJECT
public:
    TfrmIE(TagEngine& engine, QWidget* parent);

    QTabWidget* TabSet = nullptr;
    QLineEdit* tSound = nullptr;
    QSpinBox* spnSoundReps = nullptr;
    QPushButton* btnBrowse = nullptr;
    QPushButton* btnUpper = nullptr;
    QPushButton* btnLower = nullptr;
    QPushButton* btnSlash = nullptr;
    SoundPlayer* MediaPlayer = nullptr;
    QLineEdit* tMarquee = nullptr;
    QRadioButton* btnMScroll = nullptr;
    QRadioButton* btnMSlide = nullptr;
    QRadioButton* btnMAlternate = nullptr;
    QRadioButton* btnMLeft = nullptr;
    QRadioButton* btnMRight = nullptr;
    QSpinBox* spnMarqueeWidth = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    // The text "To &Document" inserts from the page shown.
    QString tagText() const;
    void showWindow();

public slots:
    void OKBtnClick();
    void CancelBtnClick();
    void btnBrowseClick();

protected:
    // Every way of closing ends here: the sound stops.
    void done(int result) override;

private:
    TagEngine& m_engine;
};
