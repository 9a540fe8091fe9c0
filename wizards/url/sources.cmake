vq_sources(wizards/url
  CORE
    UrlLists.cpp
  GUI
    TfURLLibrary.cpp TfrmURLWizard.cpp
)
