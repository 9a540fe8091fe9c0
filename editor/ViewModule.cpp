#include "editor/ViewModule.h"

#include "app/AppSettings.h"
#include "app/FrameServices.h"
#include "app/TMegaRegistry.h"
#include "app/TfHTML.h"
#include "app/UiPrompter.h"
#include "editor/TOvcTextFileEditor.h"

#include <QAction>

namespace {

struct Toggle {
    const char* handler;
    const char* key;
    bool defaultOn;
    void (*apply)(TfHTML*, bool);
};

void setBoth(TfHTML* doc, void (TOvcTextFileEditor::*set)(bool), bool on)
{
    (doc->txtHTML->*set)(on);
    if (doc->secondView())
        (doc->secondView()->*set)(on);
}

const Toggle kToggles[] = {
    {"ShowWhitespace1Click", "Show Whitespace", false,
     [](TfHTML* d, bool on) { setBoth(d, &TOvcTextFileEditor::SetShowWhitespace, on); }},
    {"IndentGuides1Click", "Indentation Guides", true,
     [](TfHTML* d, bool on) { setBoth(d, &TOvcTextFileEditor::SetIndentGuides, on); }},
    {"WrapMarkers1Click", "Wrap Markers", true,
     [](TfHTML* d, bool on) { setBoth(d, &TOvcTextFileEditor::SetWrapMarkers, on); }},
    {"WrapIndent1Click", "Indent Wrapped Rows", true,
     [](TfHTML* d, bool on) { setBoth(d, &TOvcTextFileEditor::SetWrapIndent, on); }},
    {"CodeFolding1Click", "Code Folding", true,
     [](TfHTML* d, bool on) { setBoth(d, &TOvcTextFileEditor::SetFolding, on); }},
    {"AutoPairs1Click", "Auto Pairs", true,
     [](TfHTML* d, bool on) { setBoth(d, &TOvcTextFileEditor::SetAutoPairs, on); }},
};

} // namespace

QStringList ViewModule::handlerNames()
{
    QStringList names{QStringLiteral("FoldAll1Click"),         QStringLiteral("UnfoldAll1Click"),
                      QStringLiteral("FoldLevel1Click"),       QStringLiteral("FoldLevel2Click"),
                      QStringLiteral("FoldLevel3Click"),       QStringLiteral("SplitSideBySide1Click"),
                      QStringLiteral("SplitAbove1Click"),      QStringLiteral("Unsplit1Click"),
                      QStringLiteral("WrapColumn1Click")};
    for (const Toggle& t : kToggles)
        names << QString::fromLatin1(t.handler);
    return names;
}

TfHTML* ViewModule::document() const
{
    return frame().activeDocument();
}

void ViewModule::bindCommands(CommandBinder& b)
{
    auto onDoc = [this](std::function<void(TfHTML*)> f) {
        return [this, f] {
            if (TfHTML* d = document())
                f(d);
        };
    };
    b.bind(QStringLiteral("FoldAll1Click"), onDoc([](TfHTML* d) { d->txtHTML->FoldAll(); }));
    b.bind(QStringLiteral("UnfoldAll1Click"), onDoc([](TfHTML* d) { d->txtHTML->UnfoldAll(); }));
    for (int level = 1; level <= 3; ++level)
        b.bind(QStringLiteral("FoldLevel%1Click").arg(level), onDoc([level](TfHTML* d) { d->txtHTML->FoldToLevel(level); }));
    b.bind(QStringLiteral("SplitSideBySide1Click"), onDoc([](TfHTML* d) { d->SetSplitView(TfHTML::SplitSideBySide); }));
    b.bind(QStringLiteral("SplitAbove1Click"), onDoc([](TfHTML* d) { d->SetSplitView(TfHTML::SplitAbove); }));
    b.bind(QStringLiteral("Unsplit1Click"), onDoc([](TfHTML* d) { d->SetSplitView(TfHTML::SplitOff); }));
    b.bind(QStringLiteral("WrapColumn1Click"), [this] { askWrapColumn(); });
    for (const Toggle& t : kToggles)
        b.bind(QString::fromLatin1(t.handler), [this, &t] { toggle(t.handler, t.key, t.defaultOn, t.apply); });
}

void ViewModule::commandsBuilt()
{
    for (const Toggle& t : kToggles) {
        const bool on = frame().settings().ReadBool(AppSettings::kEditor, QString::fromLatin1(t.key), t.defaultOn);
        for (QAction* a : frame().actions(QString::fromLatin1(t.handler))) {
            a->setCheckable(true);
            a->setChecked(on);
        }
    }
}

void ViewModule::toggle(const char* handler, const char* key, bool defaultOn, void (*apply)(TfHTML*, bool))
{
    TMegaRegistry& ini = frame().settings();
    const bool on = !ini.ReadBool(AppSettings::kEditor, QString::fromLatin1(key), defaultOn);
    ini.WriteBool(AppSettings::kEditor, QString::fromLatin1(key), on);
    for (QAction* a : frame().actions(QString::fromLatin1(handler))) {
        a->setCheckable(true);
        a->setChecked(on);
    }
    for (TfHTML* d : frame().documents())
        apply(d, on);
}

void ViewModule::askWrapColumn()
{
    TMegaRegistry& ini = frame().settings();
    QString value = QString::number(ini.ReadInteger(AppSettings::kEditor, QStringLiteral("Wrap Column"), 0));
    if (!UiPrompter::instance().inputText(frame().frameWindow(), QStringLiteral("Wrap Column"),
                                          QStringLiteral("Wrap lines at column (0: at the window's edge):"), value))
        return;
    bool ok = false;
    const int column = value.trimmed().toInt(&ok);
    if (!ok || column < 0 || (column > 0 && column < 10) || column > 10000) {
        UiPrompter::instance().message(frame().frameWindow(),
                                       QLatin1Char('"') + value.trimmed() + QStringLiteral("\" is not a column from 10 to 10000, or 0."));
        return;
    }
    ini.WriteInteger(AppSettings::kEditor, QStringLiteral("Wrap Column"), column);
    for (TfHTML* d : frame().documents()) {
        d->txtHTML->SetWrapAtColumn(column);
        if (d->secondView())
            d->secondView()->SetWrapAtColumn(column);
    }
}
