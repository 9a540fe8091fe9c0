vq_sources(reuse
  CORE
    TemplateLibrary.cpp
  GUI
    TfTemplate.cpp
)
vq_sources(app GUI TmdiMain_reuse.cpp)
