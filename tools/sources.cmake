vq_sources(tools
  CORE
    HtmlToText.cpp PlugInFile.cpp TipsFile.cpp
  GUI
    TfPlugIn.cpp TfNotePad.cpp TfTipOfTheDay.cpp
)
vq_sources(app GUI TmdiMain_tools.cpp)
