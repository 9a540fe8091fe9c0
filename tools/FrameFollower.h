#pragma once
// Closes a tool window when the main frame closes, as it would be closed by
// hand: its close handling runs (a note pad saves its text) and the program
// can end, since no window of its own stays on the screen.
class QWidget;

namespace FrameFollower {
// window's parent is the main frame.
void closeWithFrame(QWidget* window);
}
