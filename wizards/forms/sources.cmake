vq_sources(wizards/forms
  CORE
    FormWizard.cpp
  GUI
    WizardDialog.cpp TfFormWiz.cpp
)
vq_sources(app GUI TmdiMain_wizards.cpp)
