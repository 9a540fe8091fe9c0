vq_sources(reuse
  CORE
    TemplateLibrary.cpp MacroList.cpp MacroExpander.cpp
  GUI
    TfTemplate.cpp MacroListView.cpp TfMacros.cpp TfAddMac.cpp
)
vq_sources(app GUI TmdiMain_reuse.cpp)
