vq_sources(editor
  CORE
    EditorContract.h TextFileCodec.cpp
  GUI
    TOvcTextFileEditor.cpp
)
