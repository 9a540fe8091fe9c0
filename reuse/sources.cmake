vq_sources(reuse
  CORE
    TemplateLibrary.cpp MacroList.cpp MacroExpander.cpp ProjectTree.cpp ProjectFile.cpp
  GUI
    TfTemplate.cpp MacroListView.cpp TfMacros.cpp TfAddMac.cpp TfProj.cpp
)
vq_sources(reuse GUI ReuseModule.cpp)
