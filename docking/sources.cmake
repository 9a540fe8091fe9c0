vq_sources(docking
  CORE
    DockGeometry.cpp DockState.cpp
  GUI
    TDockSite.cpp TDocPanel.cpp TDocForm.cpp DockingModule.cpp
)
# The editor colours dialog and the frame's glue for tool bars and view.
vq_sources(app GUI TfColor.cpp TmdiMain_view.cpp)
