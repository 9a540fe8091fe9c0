vq_sources(tools
  CORE
    HtmlToText.cpp PlugInFile.cpp
  GUI
    TfPlugIn.cpp
)
vq_sources(app GUI TmdiMain_tools.cpp)
