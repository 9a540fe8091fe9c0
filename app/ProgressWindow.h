#pragma once
#include <QDialog>

class QProgressBar;

// "Velquist Progress": one percentage meter for long jobs.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent);
    void setPercent(int percent);
    int percent() const;

private:
    QProgressBar* m_meter;
protected:
    void showEvent(QShowEvent* e) override;
};
