#pragma once
// "Tip of the day": one line of TIPS.TXT at a time under the heading its
// marker chooses, with "Next Tip", "Previous Tip" and "Show Tips at Startup".
#include <QDialog>
#include <QStringList>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class TMegaRegistry;

class TfTipOfTheDay : public QDialog {
    Q_OBJECT
public:
    explicit TfTipOfTheDay(QWidget* parent = nullptr);

    QLabel* lblHeading = nullptr;
    QLabel* lblTip = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnPrevious = nullptr;
    QCheckBox* cbShowTips = nullptr;

    // Reads the tips from a file; false (and no tips, the reason in
    // loadError()) when it cannot.
    bool loadTips(const QString& path);
    const QString& loadError() const { return m_loadError; }
    const QStringList& tips() const { return m_tips; }
    int currentIndex() const { return m_index; }
    // Makes index the current tip without showing it; the next step shows the one after.
    void setCurrentIndex(int index) { m_index = index; }

    // The whole run at start-up: a new dialog reads TIPS.TXT, starts at a
    // random tip, is shown modally, and an unchecked "Show Tips at Startup"
    // stores "Tips" = false in "Start Options".
    static void DisplayTips(QWidget* parent, TMegaRegistry& settings);

    // How the dialog is shown modally; tests put in a runner of their own.
    using Runner = std::function<void(TfTipOfTheDay&)>;
    static void setRunner(Runner runner);

public slots:
    void NextTip() { bClick(+1); }
    void PreviousTip() { bClick(-1); }

private:
    void bClick(int step);
    QStringList m_tips;
    QString m_loadError;
    int m_index = 0;
};
