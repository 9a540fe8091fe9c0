vq_sources(render
  CORE
    HelpBook.cpp SourcePrint.cpp PreviewLinks.cpp
  GUI
    HelpViewer.cpp TextPrinter.cpp HTMLViewerLoader.cpp TfPreview.cpp TFontForm.cpp
)
vq_sources(render GUI RenderModule.cpp)
