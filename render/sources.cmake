vq_sources(render
  CORE
    HelpBook.cpp SourcePrint.cpp PreviewLinks.cpp
  GUI
    HelpViewer.cpp TextPrinter.cpp WebHTMLViewer.cpp TfPreview.cpp TFontForm.cpp
)
vq_sources(app GUI TmdiMain_preview.cpp)
