vq_sources(editor
  CORE
    EditorContract.h TextFileCodec.cpp TextSearch.cpp HtmlTokenizer.cpp TagMatcher.cpp FileTypes.cpp
    CommentToggle.cpp Abbreviation.cpp CompletionData.cpp CompletionModel.cpp
    TextSnapshot.cpp TextBuffer.cpp SearchMarks.cpp AutoPairs.cpp FoldModel.cpp
  GUI
    TOvcTextFileEditor.cpp HtmlHighlighter.cpp LineNumberGutter.cpp ViewGuides.cpp FoldGutter.cpp
    TOvcTextFileEditor_lang.cpp CompletionPopup.cpp
)
vq_sources(editor GUI GotoLine.cpp)
vq_sources(app GUI TmdiMain_editing.cpp)
