vq_sources(editor
  CORE
    EditorContract.h TextFileCodec.cpp TextSearch.cpp HtmlTokenizer.cpp TagMatcher.cpp FileTypes.cpp
    CommentToggle.cpp Abbreviation.cpp CompletionData.cpp CompletionModel.cpp
    TextSnapshot.cpp TextBuffer.cpp MemoryRelease.cpp SearchMarks.cpp AutoPairs.cpp FoldModel.cpp CaretSet.cpp
  GUI
    TOvcTextFileEditor.cpp TOvcTextFileEditor_search.cpp TOvcTextFileEditor_carets.cpp
    TOvcTextFileEditor_folding.cpp TOvcTextFileEditor_pairs.cpp TOvcTextFileEditor_guides.cpp
    TOvcTextFileEditor_lang.cpp CompletionPopup.cpp
    HtmlHighlighter.cpp LineNumberGutter.cpp ViewGuides.cpp FoldGutter.cpp
)
vq_sources(editor GUI GotoLine.cpp ViewModule.cpp)
vq_sources(app GUI TmdiMain_editing.cpp)
