vq_sources(docking
  CORE
    DockGeometry.cpp DockState.cpp
  GUI
    TDockSite.cpp TDocPanel.cpp TDocForm.cpp
)
