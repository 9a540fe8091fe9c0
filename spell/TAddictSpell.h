#pragma once
// The spell checker: Hunspell dictionaries installed on the system, the
// user's own words in "default.udt", the dictionary choice in
// "Vlspell.CFG". Checks a document's text in place through its "Spell
// Check" dialog, skipping the markup.
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>

class EditorContract;
class Hunspell;
struct SpellScanState;
class QWidget;

// What the "Spell Check" dialog is asked and answers.
struct SpellQuery {
    QString word;
    QStringList suggestions;
};
struct SpellAnswer {
    enum Action { Ignore, IgnoreAll, Change, ChangeAll, Add, Cancel, Recheck };
    Action action = Cancel;
    QString replacement;
};

class TAddictSpell : public QObject {
    Q_OBJECT
public:
    explicit TAddictSpell(QWidget* owner);
    ~TAddictSpell() override;

    // Settings of the component.
    QString ConfigFile = QStringLiteral("Vlspell.CFG");
    QString ConfigID = QStringLiteral("addict");
    QString MainDictionary = QStringLiteral("english.dct");  // the installed English dictionary
    QString UserDictionary = QStringLiteral("default.udt");
    int MaxSuggestions = 50;
    QString DialogCaption = QStringLiteral("Spell Check");
    QString ConfigCaption = QStringLiteral("Spell Check Configuration");
    QString EndMessage = QStringLiteral("Spell Check Complete");

    // Folders searched for Hunspell dictionaries ("name.aff" with "name.dic").
    static QStringList dictionaryFolders();
    // The installed dictionaries by name ("en_US"), sorted.
    static QStringList installedDictionaries();

    // The dictionary in use (from the configuration); loads it when needed.
    QString dictionaryName();
    bool ensureLoaded(QWidget* parent);
    bool isCorrect(const QString& word);
    QStringList suggestions(const QString& word);
    void addToUserDictionary(const QString& word);

    // Where the next word not in the dictionaries lies, from (line, pos) on
    // (line from 1, pos from 0 in the line's text). False at the end.
    struct Position {
        int line = 1;
        int pos = 0;
    };
    struct Found {
        int line = 0;
        int start = 0;
        QString word;
    };
    bool nextMisspelt(const std::function<QString(int)>& lineAt, int lineCount, Position& at, Found& found);

    // Checks the editor's text from its start. Each change is one undo step.
    // Returns false when cancelled; "Spell Check Complete" ends a full check.
    bool CheckEditor(EditorContract& editor, QWidget* editorWidget);
    // The configuration dialog; true when a new choice was stored.
    bool Configure(QWidget* parent);

    // Test seam: answers the "Spell Check" dialog.
    std::function<SpellAnswer(const SpellQuery&)> dialogForTests;

private:
    SpellAnswer ask(const SpellQuery& query, QWidget* editorWidget);
    void loadConfig();
    void saveConfig(const QString& dictionary);
    bool load(const QString& name, QString* error);
    std::string encode(const QString& word) const;
    QString decode(const std::string& text) const;

    QWidget* m_owner;
    std::unique_ptr<Hunspell> m_hunspell;
    QString m_loadedName;
    QString m_configured;
    bool m_configRead = false;
    bool m_utf8 = true;
    QHash<QString, bool> m_cache;
    QSet<QString> m_ignoreAll;
    QHash<QString, QString> m_changeAll;
    std::unique_ptr<SpellScanState> m_scan;  // tags and comments carried from line to line
};
