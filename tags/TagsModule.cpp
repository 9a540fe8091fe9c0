#include "tags/TagsModule.h"

#include "app/AppSettings.h"
#include "app/FrameServices.h"
#include "app/UiPrompter.h"
#include "tags/Navigator.h"
#include "tags/Stamps.h"
#include "tags/TagCatalogue.h"
#include "tags/TfColorChooser.h"
#include "tags/TfHTMLTags.h"
#include "tags/TfSymbol.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>

void TagsModule::bindCommands(CommandBinder& binder)
{
    FrameServices& f = frame();
    for (const TagCommandDef* c = TagCatalogue::begin(); c != TagCatalogue::end(); ++c)
        binder.bind(QString::fromLatin1(c->handler), [&f, c] { TagCatalogue::run(f.tagEngine(), *c); });
    for (const GotoCommandDef* c = Navigator::begin(); c != Navigator::end(); ++c)
        binder.bind(QString::fromLatin1(c->handler), [&f, c] { Navigator::run(f, *c); });
    for (int i = 0; i < 9; ++i) {
        binder.bind(QString::fromLatin1(Navigator::kSetBookmarkHandlers[i]),
                    [&f, i] { Navigator::SetBookmark(f, i + 1); });
        binder.bind(QString::fromLatin1(Navigator::kGotoBookmarkHandlers[i]),
                    [&f, i] { Navigator::GotoBookmark(f, i + 1); });
    }
    binder.bind(QStringLiteral("PreDefined1Click"),
                [&f] { f.tagEngine().InsertTagPair(Stamps::PreDefined(f.settings())); });
    binder.bind(QStringLiteral("MailtomeURL1Click"),
                [&f] { f.tagEngine().InsertTagPair(Stamps::MailtomeURL(f.settings())); });
    binder.bind(QStringLiteral("MyCompany1Click"),
                [&f] { f.tagEngine().InsertTagPair(Stamps::MyCompany(f.settings())); });
    binder.bind(QStringLiteral("MyHomePageURL1Click"),
                [&f] { f.tagEngine().InsertTagPair(Stamps::MyHomePageURL(f.settings())); });
    binder.bind(QStringLiteral("LastUpdated1Click"), [&f] {
        f.tagEngine().InsertTagPair(
            Stamps::LastUpdated(f.settings(), QDateTime::currentDateTime(), QLocale::system()));
    });
    binder.bind("InsertFile1Click", this, &TagsModule::InsertFile1Click);
    binder.bind(QStringLiteral("RepeatLastTag1Click"), [&f] { f.tagEngine().RepeatLastTag(); });
    binder.bind(QStringLiteral("Symbol1Click"), [this] { symbolChooser()->showChooser(); });
    binder.bind(QStringLiteral("ColorChooser1Click"), [this] { colorChooser()->showChooser(); });
    binder.bind(QStringLiteral("HTMLTagsChooser1Click"), [this] { htmlTagsChooser()->showChooser(); });
}

void TagsModule::InsertFile1Click()
{
    if (!frame().activeDocument())
        return;
    const QString name = UiPrompter::instance().openFileName(frame().frameWindow(), QStringLiteral("Insert Text File"),
                                                             QDir::currentPath(), frame().openFilter());
    if (name.isEmpty()) {
        frame().SetStatusText(AppSettings::kReady);
        return;
    }
    Stamps::InsertFile(frame(), name);
}

TfSymbol* TagsModule::symbolChooser() { return made(m_symbols, frame().tagEngine(), frame().frameWindow()); }
TfHTMLTags* TagsModule::htmlTagsChooser() { return made(m_htmlTags, frame().tagEngine(), frame().frameWindow()); }
TfColorChooser* TagsModule::colorChooser() { return made(m_colors, frame().tagEngine(), frame().frameWindow()); }
