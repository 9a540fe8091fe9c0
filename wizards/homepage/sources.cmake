vq_sources(wizards/homepage CORE HomePageGenerator.cpp GUI TfHPWiz.cpp)
# The frame's commands of the home page, image, body, Java and extension wizards.
