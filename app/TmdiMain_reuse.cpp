// The main frame's template, macro and project commands: short glue from
// menu entries and buttons to the windows and functions in reuse/.
#include "app/TmdiMain.h"

#include "reuse/TfTemplate.h"

void TmdiMain::NewfromTemplate1Click() { m_template->exec(); }
