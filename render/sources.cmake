vq_sources(render
  CORE
    HelpBook.cpp
  GUI
    HelpViewer.cpp
)
vq_sources(app GUI TmdiMain_preview.cpp)
