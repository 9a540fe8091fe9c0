vq_sources(tags
  CORE
    TagEngine.cpp TagCatalogue.cpp Stamps.cpp Navigator.cpp HtmlTagList.cpp
  GUI
    ListDragSource.cpp ChooserWindow.cpp TfSymbol.cpp TfHTMLTags.cpp TfColorChooser.cpp TagsModule.cpp
)
