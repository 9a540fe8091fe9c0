vq_sources(tools
  CORE
    HtmlToText.cpp PlugInFile.cpp TipsFile.cpp FileSearch.cpp
  GUI
    TfPlugIn.cpp TfNotePad.cpp TfTipOfTheDay.cpp TfrmFileTools.cpp
)
vq_sources(app GUI TmdiMain_tools.cpp)
