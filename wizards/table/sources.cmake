vq_sources(wizards/table
  CORE
    TableData.cpp
  GUI
    tHTMLStringGrid.cpp TfTableWiz.cpp
)
