vq_sources(wizards/body CORE BodyTag.cpp GUI TextBrowserPreview.cpp TfWizBody.cpp)
