vq_sources(wizards/forms
  CORE
    FormWizard.cpp WizardFolders.cpp
  GUI
    WizardDialog.cpp TfFormWiz.cpp
)
