vq_sources(tools
  CORE
    HtmlToText.cpp PlugInFile.cpp TipsFile.cpp FileSearch.cpp UrlGrab.cpp
  GUI
    FrameFollower.cpp TfPlugIn.cpp TfNotePad.cpp TfTipOfTheDay.cpp TfrmFileTools.cpp TfURLGrab.cpp UrlCommands.cpp
)
vq_sources(tools CORE PageChecks.cpp TidyRunner.cpp SiteCheck.cpp)
vq_sources(tools GUI ProblemsPanel.cpp TfTidyUp.cpp TfCheckSite.cpp)
vq_sources(tools GUI ToolsModule.cpp)
