#pragma once
// "Go to Line ...": asks for a line number and moves the caret there,
// the line shown in the middle of the view.
class EditorContract;
class QWidget;

namespace GotoLine {
// A number beyond the text goes to its last line; one that is not a number
// says so. Cancelling changes nothing.
void run(QWidget* parent, EditorContract& editor);
}
