#pragma once
// The menu of the status line's encoding and line-end panel: the document's
// file read again in another encoding, or its line ends converted.
class DocumentHost;
class QPoint;
class TfHTML;

class QWidget;

namespace FormatMenu {
void show(DocumentHost& host, TfHTML* doc, const QPoint& globalPos);
// A click on panel shows the menu for the active document.
void attach(DocumentHost& host, QWidget* panel);
}
