#pragma once
// Every message box, input box, file, colour and font dialog of the program
// goes through this interface, so tests can answer them from a script.
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

class QWidget;

class UiPrompter {
public:
    enum Button { Ok = 1, Cancel = 2, Yes = 4, No = 8 };
    enum Icon { Information, Warning, Question, Critical };

    virtual ~UiPrompter() = default;

    // Shows text with the given buttons; returns the button chosen
    // (Cancel when the box is closed without a choice and Cancel is offered).
    virtual int message(QWidget* parent, const QString& text, int buttons = Ok,
                        Icon icon = Information, const QString& caption = QString()) = 0;
    virtual QStringList openFileNames(QWidget* parent, const QString& caption,
                                      const QString& dir, const QString& pipeFilter) = 0;
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& pipeFilter) = 0;
    // Empty when cancelled. defaultSuffix is added only when non-empty.
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& pipeFilter, const QString& defaultSuffix) = 0;
    virtual bool inputText(QWidget* parent, const QString& caption, const QString& prompt,
                           QString& value) = 0;
    virtual bool chooseColor(QWidget* parent, QColor& color) = 0;
    virtual bool chooseFont(QWidget* parent, QFont& font, bool fixedPitchOnly) = 0;
    virtual void beep() = 0;

    // The prompter in use; the real dialogs unless a test installed its own.
    static UiPrompter& instance();
    // Installs p (not owned); nullptr restores the real dialogs.
    static void setInstance(UiPrompter* p);
};

// The real dialogs.
class DialogPrompter : public UiPrompter {
public:
    int message(QWidget* parent, const QString& text, int buttons, Icon icon,
                const QString& caption) override;
    QStringList openFileNames(QWidget* parent, const QString& caption, const QString& dir,
                              const QString& pipeFilter) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& pipeFilter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& pipeFilter, const QString& defaultSuffix) override;
    bool inputText(QWidget* parent, const QString& caption, const QString& prompt,
                   QString& value) override;
    bool chooseColor(QWidget* parent, QColor& color) override;
    bool chooseFont(QWidget* parent, QFont& font, bool fixedPitchOnly) override;
    void beep() override;
};
