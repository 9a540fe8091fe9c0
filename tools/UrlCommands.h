#pragma once
// The main frame's "Grab &URLs" and "&Import URLs from Netscape".
#include <functional>

class ProgressWindow;
class TfURLGrab;
class FrameServices;

namespace UrlCommands {
// Collects the links of the active document into the manager's new list
// and shows the manager; "No URLs found !" when there are none.
void GrabURLs(FrameServices& main, TfURLGrab& manager);
// Finds the bookmark file through the browser's netscape.ini in the settings
// folder, opens it as a document and grabs its links. showError shows the
// bookmark error window when the file cannot be found.
void ImportFromNetscape(FrameServices& main, TfURLGrab& manager, ProgressWindow& progress,
                        const std::function<void()>& showError);
}
