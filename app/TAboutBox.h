#pragma once
#include <QDialog>
#include <QIcon>

class QLabel;

// The about box.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent);
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    // The program's icon, drawn rather than shipped as a file.
    static QIcon programIcon();
protected:
    void showEvent(QShowEvent* e) override;
};
