vq_sources(wizards/java CORE JavaAppletWriter.cpp GUI TfrmJavaWiz.cpp)
