vq_sources(render
  CORE
    HelpBook.cpp SourcePrint.cpp
  GUI
    HelpViewer.cpp TextPrinter.cpp
)
vq_sources(app GUI TmdiMain_preview.cpp)
