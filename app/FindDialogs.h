#pragma once
// The find and replace dialogs of a document window.
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The options both dialogs offer, as SearchFlags.
class SearchOptions {
public:
    // MatchCase, WholeWord, RegExp, InSelection (and Backward for Up).
    virtual int searchFlags() const = 0;
    virtual ~SearchOptions() = default;
};

class FindDialog : public QDialog, public SearchOptions {
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent);
    QString findText() const;
    void setFindText(const QString& text);
    int searchFlags() const override;
    // Sets the check boxes and the direction from SearchFlags.
    void setSearchFlags(int flags);
signals:
    void findNext();
    // The text was edited: the search follows as the user types.
    void findTextEdited();

private:
    QLineEdit* m_text;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QCheckBox* m_regExp;
    QCheckBox* m_inSelection;
    QRadioButton* m_up;
    QRadioButton* m_down;
};

class ReplaceDialog : public QDialog, public SearchOptions {
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
    int searchFlags() const override;
    void setSearchFlags(int flags);
signals:
    void findNext();
    void replaceOne();
    void replaceAll();
    void findTextEdited();

private:
    QLineEdit* m_find;
    QLineEdit* m_replace;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QCheckBox* m_regExp;
    QCheckBox* m_inSelection;
};
