#pragma once
// What the frame's own parts, the document windows and the file guard, ask
// of the frame beyond what every subsystem may.
#include "app/FrameServices.h"

class QMimeData;
class FileGuard;

class DocumentHost : public FrameServices {
public:
    virtual FileGuard* fileGuard() const = 0;
    // A new document window with this caption; the caller fills and shows it.
    virtual TfHTML* createDocument(const QString& caption) = 0;
    virtual int nextUntitledNumber() = 0;
    // The document tabs, by caption.
    virtual void TabsUpdate(const QString& name) = 0;
    virtual void RemovefromTabs(const QString& name) = 0;
    virtual void SelectTabName(const QString& name) = 0;
    virtual bool wordWrapChecked() const = 0;
    // Opens the local files a drop carries; false when it holds none.
    virtual bool OpenDroppedFiles(const QMimeData* data) = 0;
    virtual void CheckExternalChanges() = 0;
    // The text of the most recent find in any document window.
    virtual QString& lastSearchText() = 0;
};
