vq_sources(docking
  CORE
    DockGeometry.cpp DockState.cpp
)
