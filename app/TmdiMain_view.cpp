// The main frame's editor colours command.
#include "app/AppSettings.h"
#include "app/TfColor.h"
#include "app/TmdiMain.h"

void TmdiMain::SetEditorColors1Click()
{
    SetStatusText(QStringLiteral("Loading Color Dialog ..."));
    m_editorColors->exec();
    SetStatusText(AppSettings::kReady);
}
