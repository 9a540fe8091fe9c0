vq_sources(wizards/body CORE BodyTag.cpp GUI WebBodyPreview.cpp TfWizBody.cpp)
