vq_sources(editor
  CORE
    EditorContract.h TextFileCodec.cpp TextSearch.cpp
  GUI
    TOvcTextFileEditor.cpp
)
