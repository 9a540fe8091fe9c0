vq_sources(wizards/forms
  CORE
    FormWizard.cpp
  GUI
    WizardDialog.cpp TfFormWiz.cpp
)
