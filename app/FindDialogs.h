#pragma once
// The find and replace dialogs of a document window.
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class FindDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent);
    QString findText() const;
    void setFindText(const QString& text);
signals:
    void findNext();

private:
    QLineEdit* m_text;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QRadioButton* m_down;
};

class ReplaceDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReplaceDialog(QWidget* parent);
    QString findText() const;
    QString replaceText() const;
    bool matchCase() const;
    bool wholeWord() const;
    void setTexts(const QString& find, const QString& replace);
    void setMatchCase(bool on);
    void setWholeWord(bool on);
signals:
    void replaceOne();
    void replaceAll();

private:
    QLineEdit* m_find;
    QLineEdit* m_replace;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
};
