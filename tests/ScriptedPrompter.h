#pragma once
// A UiPrompter that answers from queues and records what was asked.
#include "app/UiPrompter.h"

#include <QQueue>
#include <QWidget>
#include <QWindow>

class ScriptedPrompter : public UiPrompter {
public:
    ScriptedPrompter() { UiPrompter::setInstance(this); }
    ~ScriptedPrompter() override { UiPrompter::setInstance(nullptr); }

    QStringList messages;                 // every text shown
    QQueue<int> answers;                  // buttons to answer; default: first offered of Yes/Ok
    QQueue<QStringList> openAnswers;      // for openFileNames / openFileName
    QQueue<QString> saveAnswers;          // for saveFileName; empty = cancelled
    QQueue<QString> inputAnswers;         // for inputText; a null QString = cancelled
    QQueue<QColor> colorAnswers;          // invalid = cancelled
    QStringList saveCaptions;
    QStringList openDirs;                 // the folder each open dialog started in
    int beeps = 0;
    // Whether the window a message box stood over was on screen, per message.
    QList<bool> parentExposed;

    int message(QWidget* parent, const QString& text, int buttons, Icon, const QString&) override
    {
        messages << text;
        parentExposed << (parent && parent->window()->windowHandle() && parent->window()->windowHandle()->isExposed());
        if (!answers.isEmpty())
            return answers.dequeue();
        if (buttons & Yes) return Yes;
        return Ok;
    }
    QStringList openFileNames(QWidget*, const QString&, const QString& dir, const QString&) override
    {
        openDirs << dir;
        return openAnswers.isEmpty() ? QStringList() : openAnswers.dequeue();
    }
    QString openFileName(QWidget*, const QString&, const QString& dir, const QString&) override
    {
        openDirs << dir;
        const QStringList l = openAnswers.isEmpty() ? QStringList() : openAnswers.dequeue();
        return l.isEmpty() ? QString() : l.first();
    }
    QString saveFileName(QWidget*, const QString& caption, const QString&, const QString&,
                         const QString&) override
    {
        saveCaptions << caption;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.dequeue();
    }
    bool inputText(QWidget*, const QString&, const QString&, QString& value) override
    {
        if (inputAnswers.isEmpty()) return false;
        const QString a = inputAnswers.dequeue();
        if (a.isNull()) return false;
        value = a;
        return true;
    }
    bool chooseColor(QWidget*, QColor& c) override
    {
        if (colorAnswers.isEmpty()) return false;
        const QColor a = colorAnswers.dequeue();
        if (!a.isValid()) return false;
        c = a;
        return true;
    }
    bool chooseFont(QWidget*, QFont&, bool) override { return false; }
    void beep() override { ++beeps; }
};
