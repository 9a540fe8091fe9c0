#pragma once
// The media open dialog "Open File": pictures, sounds and films, with a
// preview of the picture under the cursor.
#include <QFileDialog>

class QLabel;
class QTimer;

class MediaOpenDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit MediaOpenDialog(QWidget* parent = nullptr);
    // The filter in its stored form: "All Media|*.BMP;...|BMP|*.BMP|...".
    static QString filter();
    // Asks for one existing file; empty when cancelled. Goes through the
    // program's prompter when one other than the real dialogs is installed.
    static QString getFile(QWidget* parent, const QString& dir);

private:
    void showPreview(const QString& path);
    QLabel* m_preview = nullptr;
    QLabel* m_about = nullptr;
    QTimer* m_previewTimer = nullptr;
    QString m_previewPath;
};
