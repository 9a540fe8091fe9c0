vq_sources(tools
  CORE
    HtmlToText.cpp PlugInFile.cpp TipsFile.cpp FileSearch.cpp UrlGrab.cpp
  GUI
    FrameFollower.cpp TfPlugIn.cpp TfNotePad.cpp TfTipOfTheDay.cpp TfrmFileTools.cpp TfURLGrab.cpp UrlCommands.cpp
)
vq_sources(tools CORE PageChecks.cpp TidyRunner.cpp SiteCheck.cpp)
vq_sources(tools GUI ProblemsPanel.cpp TfTidyUp.cpp TfCheckSite.cpp)
vq_sources(tools GUI ToolsModule.cpp)
# HTML Tidy (libtidy 5, the HTML5 version) for the page checks and Tidy Up.
# The libraries exist only once every sources.cmake is read, so the link is
# made when this folder's configuration ends.
pkg_check_modules(TIDY REQUIRED IMPORTED_TARGET tidy)
cmake_language(DEFER CALL target_link_libraries velquist_core PUBLIC PkgConfig::TIDY)
