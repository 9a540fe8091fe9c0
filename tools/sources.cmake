vq_sources(tools
  CORE
    HtmlToText.cpp
  GUI
)
vq_sources(app GUI TmdiMain_tools.cpp)
