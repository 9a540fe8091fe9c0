#pragma once
// What a subsystem may ask of the main frame. Subsystems hold a
// FrameServices& and never the frame itself, so the frame can change without
// touching them and a test can give them a frame of its own.
#include "tags/TagEngine.h"

#include <QList>
#include <QString>
#include <functional>

class QAction;
class QWidget;
class MruList;
class ProgressWindow;
class TDocPanel;
class TfHTML;

class FrameServices : public TagHost {
public:
    // The frame's window: the parent of the subsystems' windows and dialogs.
    virtual QWidget* frameWindow() = 0;
    // The one insertion engine.
    virtual TagEngine& tagEngine() = 0;

    // Document windows: the active one (nullptr without any), and all of
    // them in the frame's child order, active first.
    virtual TfHTML* activeDocument() const = 0;
    virtual QList<TfHTML*> documents() const = 0;
    // Opens a file in a new document window, telling the user why not when
    // it is open already or missing.
    virtual void OpenDocumentFile(const QString& path) = 0;
    // A new untitled document window, "New HTML Document N", not yet shown;
    // the caller fills it and hands it to showNewDocument.
    virtual TfHTML* createUntitledDocument() = 0;
    // Shows a document window made by createUntitledDocument, activates it
    // and gives it its tab.
    virtual void showNewDocument(TfHTML* doc) = 0;
    // Brings an open document window to the front.
    virtual void showDocument(TfHTML* doc) = 0;

    // The recent-file list.
    virtual MruList& recentFiles() = 0;
    // The paths named on the command line.
    virtual QStringList commandLine() const = 0;
    // The progress window shared by long commands.
    virtual ProgressWindow& progressWindow() = 0;
    // The menu entries and tool bar buttons bound to a handler name.
    virtual QList<QAction*> actions(const QString& handler) const = 0;
    // A tool bar panel by its object name.
    virtual TDocPanel* toolBar(const QString& objectName) const = 0;
    // A command of the command table by its handler name; empty when none.
    virtual std::function<void()> command(const QString& handler) const = 0;
    // The filter of the frame's open dialogs.
    virtual QString openFilter() const = 0;
};
