vq_sources(app
  CORE
    AppError.h AppPaths.cpp PathUtil.cpp IniFile.cpp TMegaRegistry.cpp TBag.cpp
    MruList.cpp AppInvoker.cpp SafeFile.cpp ListFile.cpp CommandLine.cpp
  GUI
    UiPrompter.cpp KeyMap.cpp PlacementAdapter.cpp FindDialogs.cpp CommandTable.cpp
    TmdiMain.cpp TfHTML.cpp FrameModule.cpp TfOptions.cpp TAboutBox.cpp ProgressWindow.cpp
    BackgroundTask.cpp FormatMenu.cpp Session.cpp
)
vq_sources(app CORE FileStamp.cpp)
vq_sources(app CORE RecoveryStore.cpp GUI FileGuard.cpp RecoveryDialog.cpp TmdiMain_files.cpp)
vq_sources(app GUI SingleInstance.cpp TmdiMain_instance.cpp)
