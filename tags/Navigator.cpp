#include "tags/Navigator.h"
#include "tags/HandlerTable.h"

#include "app/AppSettings.h"
#include "editor/EditorContract.h"

#include <iterator>

namespace {
const GotoCommandDef kGoto[] = {
    {"TitleSection1Click", "&Head Section", "<HEAD", ">", true, "No HEAD Section Found !"},
    {"TitleDeclaration1Click", "&Title Declaration", "<TITLE", ">", true,
     "No Document Title Found !"},
    {"BodySection1Click", "&Body Declaration", "<BODY", ">", true, "No BODY Section Found !"},
    {"NextURL1Click", "Next &URL", "<A HREF", "</A>", false,
     "End of Document Reached : No URLs Found !"},
    {"NextMailtoURL1Click", "Next &Mailto URL", "<A HREF=\"Mail", "</A>", false,
     "End of Document Reached : No Mail URLs Found !"},
    {"NextTable1Click", "Next T&able", "<Table", "</Table>", false,
     "End of Document Reached : No Tables Found !"},
    {"NextForm1Click", "Next &Form", "<FORM", "</FORM>", false,
     "End of Document Reached : No Forms Found !"},
    {"NextImage1Click", "Next &Image", "<IMG", ">", false,
     "End of Document Reached : No Images Found !"},
    {"NextJavaApplet1Click", "Next &Java Applet", "<APPLET", "</APPLET>", false,
     "End of Document Reached : No Java Applets Found !"},
    {"NextListItem1Click", "Next &List Item", "<LI", ">", false,
     "End of Document Reached : No More List Items Found !"},
    {"LastUpdatedSection1Click", "Last U&pdated Section", "Last Updated", ">", false,
     "End of Document Reached : No Update Section Found !"},
};
}

const char* const Navigator::kSetBookmarkHandlers[9] = {
    "N110Click", "N210Click", "N34Click", "N41Click", "N51Click",
    "N61Click", "N71Click", "N81Click", "N91Click",
};
const char* const Navigator::kGotoBookmarkHandlers[9] = {
    "N111Click", "N211Click", "N35Click", "N42Click", "N52Click",
    "N62Click", "N72Click", "N82Click", "N92Click",
};

bool Navigator::SelectNextElement(TagHost& host, const QString& startText,
                                  const QString& endText, bool fromTop)
{
    bool found = false;
    if (EditorContract* ed = host.activeEditor()) {
        host.SetStatusText(QStringLiteral("Searching for ") + startText + QStringLiteral(" ..."));
        // Continue after an element found before.
        int l1 = 0, c1 = 0, l2 = 0, c2 = 0;
        if (ed->SelectionRange(l1, c1, l2, c2))
            ed->MoveCaret(l2, c2);
        const int startFlags = fromTop ? (SearchFlags::Plain | SearchFlags::Global)
                                       : SearchFlags::Plain;
        if (ed->SearchText(startText, startFlags)) {
            int line1 = 0, column1 = 0;
            ed->CaretPosition(line1, column1);
            if (ed->SearchText(endText, SearchFlags::Plain)) {
                int line2 = 0, column2 = 0;
                ed->CaretPosition(line2, column2);
                ed->SelectRange(line1, column1 - int(startText.size()), line2, column2, true);
                found = true;
            }
        }
    }
    host.SetStatusText(AppSettings::kReady);
    return found;
}

const GotoCommandDef* Navigator::begin() { return std::begin(kGoto); }
const GotoCommandDef* Navigator::end() { return std::end(kGoto); }
int Navigator::count() { return int(std::size(kGoto)); }

const GotoCommandDef* Navigator::find(QStringView handler)
{
    return findByHandler(kGoto, handler);
}

bool Navigator::run(TagHost& host, const GotoCommandDef& command)
{
    const bool found = SelectNextElement(host, QString::fromLatin1(command.startText),
                                         QString::fromLatin1(command.endText), command.fromTop);
    if (!found)
        host.ShowMessage(QString::fromLatin1(command.notFoundMessage));
    return found;
}

bool Navigator::run(TagHost& host, QStringView handler)
{
    const GotoCommandDef* g = find(handler);
    return g && run(host, *g);
}

void Navigator::SetBookmark(TagHost& host, int number)
{
    if (number < 1 || number > 9)
        return;
    if (EditorContract* ed = host.activeEditor())
        ed->SetBookmark(number);
}

void Navigator::GotoBookmark(TagHost& host, int number)
{
    if (number < 1 || number > 9)
        return;
    if (EditorContract* ed = host.activeEditor())
        ed->GotoBookmark(number);
}

int Navigator::bookmarkNumber(QStringView handler, bool* isSet)
{
    for (int i = 0; i < 9; ++i) {
        const bool set = handler == QLatin1String(kSetBookmarkHandlers[i]);
        if (set || handler == QLatin1String(kGotoBookmarkHandlers[i])) {
            if (isSet)
                *isSet = set;
            return i + 1;
        }
    }
    return 0;
}
