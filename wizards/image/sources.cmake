vq_sources(wizards/image CORE ImageTag.cpp GUI ImageInfo.cpp MediaOpenDialog.cpp TfImageBrowser.cpp)
