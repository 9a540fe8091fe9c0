// The main frame's glue to the file guard: changes made to open files by
// other programs, and recovery of documents after an abnormal end.
#include "app/FileGuard.h"
#include "app/TmdiMain.h"

void TmdiMain::CheckExternalChanges() { m_fileGuard->checkAll(); }

void TmdiMain::RecoverDocuments() { m_fileGuard->offerRecovery(); }
