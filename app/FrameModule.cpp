#include "app/FrameModule.h"

void CommandBinder::bind(const QString& name, Handler handler)
{
    if (m_handlers.contains(name))
        m_boundTwice << name;
    m_handlers.insert(name, std::move(handler));
}
