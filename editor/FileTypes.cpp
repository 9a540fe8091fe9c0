#include "editor/FileTypes.h"

#include <QFileInfo>

namespace FileTypes {

Html::Language languageOf(const QString& fileName)
{
    if (fileName.isEmpty())
        return Html::Language::Html;
    const QString ext = QFileInfo(fileName).suffix().toLower();
    static const char* const kHtml[] = {"htm",  "html", "xhtml", "xht",  "shtml", "shtm", "php", "php3", "php4",
                                        "php5", "phtml", "inc",  "tpl",  "asp",   "aspx", "jsp", "vue",  "svg"};
    static const char* const kCss[] = {"css"};
    static const char* const kScript[] = {"js", "mjs", "cjs", "json"};
    for (const char* e : kHtml)
        if (ext == QLatin1String(e))
            return Html::Language::Html;
    for (const char* e : kCss)
        if (ext == QLatin1String(e))
            return Html::Language::Css;
    for (const char* e : kScript)
        if (ext == QLatin1String(e))
            return Html::Language::Script;
    return Html::Language::Plain;
}

} // namespace FileTypes
