#pragma once
// What a file holds, told by its name: the language its text is coloured
// and read in.
#include "editor/HtmlTokenizer.h"

#include <QString>

namespace FileTypes {

// Pages (.htm, .html, .php, templates ...) and documents without a name are
// HTML; .css stylesheets, .js scripts; every other file is plain text.
Html::Language languageOf(const QString& fileName);

} // namespace FileTypes
