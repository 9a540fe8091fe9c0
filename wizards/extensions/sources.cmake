vq_sources(wizards/extensions CORE THTMLWriter.cpp GUI SoundPlayer.cpp TfrmIE.cpp)
