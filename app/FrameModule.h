#pragma once
// A subsystem as the frame sees it: it binds its handlers by name into the
// command table and owns its windows, each made the first time it is needed
// and kept for the rest of the run.
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

class FrameServices;

// Handlers of the command table by name. Binding a name twice is recorded,
// and the command table refuses to start with it.
class CommandBinder {
public:
    using Handler = std::function<void()>;

    void bind(const QString& name, Handler handler);
    template <class T>
    void bind(const char* name, T* object, void (T::*fn)())
    {
        bind(QString::fromLatin1(name), [object, fn] { (object->*fn)(); });
    }

    Handler handler(const QString& name) const { return m_handlers.value(name); }
    QStringList names() const { return m_handlers.keys(); }
    const QStringList& boundTwice() const { return m_boundTwice; }

private:
    QHash<QString, Handler> m_handlers;
    QStringList m_boundTwice;
};

class FrameModule {
public:
    explicit FrameModule(FrameServices& frame) : m_frame(frame) {}
    virtual ~FrameModule() = default;
    FrameModule(const FrameModule&) = delete;
    FrameModule& operator=(const FrameModule&) = delete;

    virtual void bindCommands(CommandBinder& binder) = 0;
    // The frame's menus and tool bars exist: a module sets the state of its
    // own entries.
    virtual void commandsBuilt() {}
    // The frame reads its settings at start-up and writes them at exit.
    virtual void loadSettings() {}
    virtual void storeSettings() {}
    // The frame's start-up step, after the command line's files are open.
    virtual void startUp() {}

protected:
    FrameServices& frame() const { return m_frame; }
    // A window made the first time it is asked for; it lives as long as the frame.
    template <class W, class... Args>
    static W* made(W*& window, Args&&... args)
    {
        if (!window)
            window = new W(std::forward<Args>(args)...);
        return window;
    }

private:
    FrameServices& m_frame;
};
