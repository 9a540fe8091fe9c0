#include "spell/TAddictSpell.h"

#include "app/AppPaths.h"
#include "app/ListFile.h"
#include "app/UiPrompter.h"
#include "editor/EditorContract.h"
#include "render/HelpViewer.h"
#include "spell/SpellScanner.h"

#include <hunspell/hunspell.hxx>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kWorking = QStringLiteral(" (Working...)");

// The "Spell Check" dialog for one word.
class SpellDialog : public QDialog {
public:
    SpellDialog(TAddictSpell& spell, const SpellQuery& query, QWidget* parent) : QDialog(parent), m_spell(spell)
    {
        setWindowTitle(spell.DialogCaption);
        setModal(true);
        auto* grid = new QGridLayout(this);
        grid->addWidget(new QLabel(QStringLiteral("Not in Dictionary:")), 0, 0);
        auto* word = new QLineEdit(query.word);
        word->setReadOnly(true);
        grid->addWidget(word, 0, 1);
        auto* changeLabel = new QLabel(QStringLiteral("Change &To:"));
        m_change = new QLineEdit(query.word);
        changeLabel->setBuddy(m_change);
        grid->addWidget(changeLabel, 1, 0);
        grid->addWidget(m_change, 1, 1);
        auto* listLabel = new QLabel(QStringLiteral("S&uggestions:"));
        m_list = new QListWidget;
        listLabel->setBuddy(m_list);
        grid->addWidget(listLabel, 2, 0, Qt::AlignTop);
        grid->addWidget(m_list, 2, 1);
        auto* buttons = new QVBoxLayout;
        auto add = [&](const QString& text, SpellAnswer::Action action) {
            auto* b = new QPushButton(text);
            b->setAutoDefault(false);
            buttons->addWidget(b);
            connect(b, &QPushButton::clicked, this, [this, action] { finish(action); });
            return b;
        };
        add(QStringLiteral("&Ignore"), SpellAnswer::Ignore);
        add(QStringLiteral("I&gnore All"), SpellAnswer::IgnoreAll);
        add(QStringLiteral("&Change"), SpellAnswer::Change)->setDefault(true);
        add(QStringLiteral("Change A&ll"), SpellAnswer::ChangeAll);
        add(QStringLiteral("&Add"), SpellAnswer::Add);
        add(QStringLiteral("&Options..."), SpellAnswer::Recheck);
        buttons->addStretch();
        add(QStringLiteral("Cancel"), SpellAnswer::Cancel);
        auto* help = new QPushButton(QStringLiteral("&Help"));
        help->setAutoDefault(false);
        buttons->addWidget(help);
        connect(help, &QPushButton::clicked, this, [] { HelpViewer::showKeyword(QStringLiteral("Checking Spelling")); });
        grid->addLayout(buttons, 0, 2, 3, 1);
        connect(m_list, &QListWidget::currentTextChanged, this, [this](const QString& t) {
            if (!t.isEmpty() && t != kWorking)
                m_change->setText(t);
        });
        connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { finish(SpellAnswer::Change); });
        // Suggestions may take a moment: the dialog shows first.
        m_list->addItem(kWorking);
        m_list->setEnabled(false);
        const QString w = query.word;
        QTimer::singleShot(0, this, [this, w] {
            const QStringList s = m_spell.suggestions(w);
            m_list->clear();
            m_list->addItems(s);
            m_list->setEnabled(true);
        });
    }
    SpellAnswer answer;

protected:
    void reject() override { finish(SpellAnswer::Cancel); }

private:
    void finish(SpellAnswer::Action action)
    {
        answer.action = action;
        answer.replacement = m_change->text();
        if (action == SpellAnswer::Recheck && !m_spell.Configure(this))
            return;  // the configuration was left as it was: stay on this word
        done(action == SpellAnswer::Cancel ? Rejected : Accepted);
    }
    TAddictSpell& m_spell;
    QLineEdit* m_change;
    QListWidget* m_list;
};

// Selects the word found at start of the line's text (tabs expanded): by its
// occurrence on the line, which tabs cannot change.
void selectWord(EditorContract& editor, int line, int start, const QString& word)
{
    const QString text = editor.LineText(line);
    int before = 0;
    for (qsizetype i = text.indexOf(word); i >= 0 && i < start; i = text.indexOf(word, i + word.size()))
        ++before;
    editor.MoveCaret(line, 1);
    bool ok = true;
    for (int i = 0; ok && i <= before; ++i)
        ok = editor.SearchText(word, SearchFlags::Plain | SearchFlags::MatchCase);
    int l1, c1, l2, c2;
    if (ok && editor.SelectionRange(l1, c1, l2, c2) && l1 == line)
        return;
    editor.SelectRange(line, start + 1, line, start + 1 + int(word.size()), true);
}

} // namespace

TAddictSpell::TAddictSpell(QWidget* owner)
    : QObject(owner), m_owner(owner), m_scan(std::make_unique<SpellScanState>())
{
}

TAddictSpell::~TAddictSpell() = default;

QStringList TAddictSpell::dictionaryFolders()
{
    const QString env = qEnvironmentVariable("VELQUIST_DICTIONARIES");
    if (!env.isEmpty())
        return env.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return {QStringLiteral("/usr/share/hunspell"), QStringLiteral("/usr/share/myspell"),
            QStringLiteral("/usr/share/myspell/dicts")};
}

QStringList TAddictSpell::installedDictionaries()
{
    QStringList names;
    for (const QString& folder : dictionaryFolders()) {
        const QDir dir(folder);
        for (const QFileInfo& fi : dir.entryInfoList({QStringLiteral("*.dic")}, QDir::Files)) {
            if (QFileInfo::exists(dir.filePath(fi.completeBaseName() + QStringLiteral(".aff")))
                && !names.contains(fi.completeBaseName()))
                names << fi.completeBaseName();
        }
    }
    names.sort();
    return names;
}

void TAddictSpell::loadConfig()
{
    if (m_configRead)
        return;
    m_configRead = true;
    QStringList lines;
    if (!ListFile::read(AppPaths::readableDataFile(ConfigFile), &lines))
        return;
    bool inSection = false;
    for (const QString& l : lines) {
        const QString t = l.trimmed();
        if (t.startsWith(QLatin1Char('['))) {
            inSection = t.compare(QLatin1Char('[') + ConfigID + QLatin1Char(']'), Qt::CaseInsensitive) == 0;
        } else if (inSection && t.startsWith(QLatin1String("MainDictionary="), Qt::CaseInsensitive)) {
            m_configured = t.mid(15).trimmed();
        }
    }
}

void TAddictSpell::saveConfig(const QString& dictionary)
{
    AppPaths::ensureDataDir();
    ListFile::write(AppPaths::dataFile(ConfigFile),
                    {QLatin1Char('[') + ConfigID + QLatin1Char(']'), QStringLiteral("MainDictionary=") + dictionary,
                     QStringLiteral("UserDictionary=") + UserDictionary});
    m_configured = dictionary;
}

QString TAddictSpell::dictionaryName()
{
    loadConfig();
    const QStringList installed = installedDictionaries();
    if (!m_configured.isEmpty() && installed.contains(m_configured))
        return m_configured;
    // The main dictionary is English: the American one, else any English one.
    for (const QString& n : {QStringLiteral("en_US"), QStringLiteral("en_GB")})
        if (installed.contains(n))
            return n;
    for (const QString& n : installed)
        if (n.startsWith(QLatin1String("en")))
            return n;
    return installed.value(0);
}

bool TAddictSpell::load(const QString& name, QString* error)
{
    for (const QString& folder : dictionaryFolders()) {
        const QString base = folder + QLatin1Char('/') + name;
        if (!QFileInfo::exists(base + QStringLiteral(".dic")) || !QFileInfo::exists(base + QStringLiteral(".aff")))
            continue;
        m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(base + QStringLiteral(".aff")).constData(),
                                                QFile::encodeName(base + QStringLiteral(".dic")).constData());
        const QString enc = QString::fromStdString(m_hunspell->get_dict_encoding()).toUpper();
        m_utf8 = enc.isEmpty() || enc == QLatin1String("UTF-8");
        m_loadedName = name;
        m_cache.clear();
        QStringList words;
        if (ListFile::read(AppPaths::readableDataFile(UserDictionary), &words))
            for (const QString& w : words)
                if (!w.trimmed().isEmpty())
                    m_hunspell->add(encode(w.trimmed()));
        return true;
    }
    *error = name.isEmpty() ? QStringLiteral("No spelling dictionary is installed (looked in %1).")
                                  .arg(dictionaryFolders().join(QStringLiteral(", ")))
                            : QStringLiteral("Unable to load the spelling dictionary %1.").arg(name);
    return false;
}

bool TAddictSpell::ensureLoaded(QWidget* parent)
{
    const QString name = dictionaryName();
    if (m_hunspell && name == m_loadedName)
        return true;
    QString error;
    if (load(name, &error))
        return true;
    UiPrompter::instance().message(parent, error, UiPrompter::Ok, UiPrompter::Warning);
    return false;
}

std::string TAddictSpell::encode(const QString& word) const
{
    return m_utf8 ? word.toStdString() : word.toLatin1().toStdString();
}

QString TAddictSpell::decode(const std::string& text) const
{
    return m_utf8 ? QString::fromStdString(text) : QString::fromLatin1(text.data(), qsizetype(text.size()));
}

bool TAddictSpell::isCorrect(const QString& word)
{
    if (!m_hunspell)
        return true;
    auto it = m_cache.constFind(word);
    if (it != m_cache.constEnd())
        return it.value();
    QString w = word;
    w.replace(QChar(0x2019), QLatin1Char('\''));
    const bool ok = m_hunspell->spell(encode(w));
    m_cache.insert(word, ok);
    return ok;
}

QStringList TAddictSpell::suggestions(const QString& word)
{
    QStringList out;
    if (!m_hunspell)
        return out;
    for (const std::string& s : m_hunspell->suggest(encode(word))) {
        out << decode(s);
        if (out.size() >= MaxSuggestions)
            break;
    }
    return out;
}

void TAddictSpell::addToUserDictionary(const QString& word)
{
    QStringList words;
    ListFile::read(AppPaths::readableDataFile(UserDictionary), &words);
    if (!words.contains(word)) {
        words << word;
        AppPaths::ensureDataDir();
        ListFile::write(AppPaths::dataFile(UserDictionary), words);
    }
    if (m_hunspell)
        m_hunspell->add(encode(word));
    m_cache.insert(word, true);
}

bool TAddictSpell::nextMisspelt(const std::function<QString(int)>& lineAt, int lineCount, Position& at, Found& found)
{
    SpellScanState& state = *m_scan;
    if (at.line == 1 && at.pos == 0)
        state = SpellScanState();
    for (; at.line <= lineCount; ++at.line, at.pos = 0) {
        const QString text = lineAt(at.line);
        for (;;) {
            const SpellWord w = SpellScanner::next(text, at.pos, state);
            if (w.start < 0)
                break;
            if (m_ignoreAll.contains(w.text) || isCorrect(w.text))
                continue;
            found = {at.line, w.start, w.text};
            at.pos = w.start;  // the caller moves on past the word or its replacement
            return true;
        }
    }
    return false;
}

SpellAnswer TAddictSpell::ask(const SpellQuery& query, QWidget* editorWidget)
{
    if (dialogForTests)
        return dialogForTests(query);
    SpellDialog dialog(*this, query, editorWidget ? editorWidget->window() : m_owner);
    dialog.adjustSize();
    // Under the selected word, else above, right or left of it: the first
    // place on the screen where the dialog leaves the word in sight, or the
    // one that covers least of it.
    if (QWidget* edit = editorWidget) {
        const QRect caret = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QRect word = QRect(edit->mapToGlobal(caret.topLeft()), caret.size()).adjusted(-40, -2, 0, 2);
        const QRect screen = edit->screen()->availableGeometry();
        QSize frame = dialog.frameGeometry().size();
        if (frame == dialog.size())
            frame += QSize(8, 32);  // not framed yet: room for the title bar
        frame = frame.boundedTo(screen.size());
        const int gap = 12;
        const QPoint candidates[] = {
            {word.left(), word.bottom() + gap},
            {word.left(), word.top() - frame.height() - gap},
            {word.right() + gap, word.center().y() - frame.height() / 2},
            {word.left() - frame.width() - gap, word.center().y() - frame.height() / 2},
        };
        QRect best;
        qint64 bestCover = -1;
        for (const QPoint& c : candidates) {
            QRect r(c, frame);
            r.moveLeft(qBound(screen.left(), r.left(), screen.right() - r.width() + 1));
            r.moveTop(qBound(screen.top(), r.top(), screen.bottom() - r.height() + 1));
            const QRect covered = r.intersected(word);
            const qint64 cover = covered.isEmpty() ? 0 : qint64(covered.width()) * covered.height();
            if (bestCover < 0 || cover < bestCover) {
                best = r;
                bestCover = cover;
            }
            if (cover == 0)
                break;
        }
        dialog.move(best.topLeft());
    }
    dialog.exec();
    return dialog.answer;
}

bool TAddictSpell::CheckEditor(EditorContract& editor, QWidget* editorWidget)
{
    if (!ensureLoaded(editorWidget))
        return false;
    m_ignoreAll.clear();
    m_changeAll.clear();
    Position at;
    Found found;
    auto lineAt = [&editor](int line) { return editor.LineText(line); };
    while (nextMisspelt(lineAt, editor.LineCount(), at, found)) {
        selectWord(editor, found.line, found.start, found.word);
        SpellAnswer answer;
        const auto change = m_changeAll.constFind(found.word);
        if (change != m_changeAll.constEnd()) {
            answer = {SpellAnswer::Change, change.value()};
        } else {
            answer = ask({found.word, {}}, editorWidget);
            if (answer.action == SpellAnswer::Recheck) {
                if (!ensureLoaded(editorWidget))
                    return false;
                continue;  // the same word, against the new dictionary
            }
        }
        switch (answer.action) {
        case SpellAnswer::Cancel:
            return false;
        case SpellAnswer::IgnoreAll:
            m_ignoreAll.insert(found.word);
            at.pos = found.start + int(found.word.size());
            break;
        case SpellAnswer::Add:
            try {
                addToUserDictionary(found.word);
            } catch (const std::exception& e) {
                UiPrompter::instance().message(editorWidget, QString::fromUtf8(e.what()), UiPrompter::Ok,
                                               UiPrompter::Warning);
            }
            at.pos = found.start + int(found.word.size());
            break;
        case SpellAnswer::ChangeAll:
            m_changeAll.insert(found.word, answer.replacement);
            Q_FALLTHROUGH();
        case SpellAnswer::Change: {
            EditGroup group(editor);
            editor.InsertAtCaret(answer.replacement);
            at.pos = found.start + int(answer.replacement.size());
            break;
        }
        default:
            at.pos = found.start + int(found.word.size());
            break;
        }
    }
    editor.FocusEditor();
    UiPrompter::instance().message(editorWidget ? editorWidget->window() : m_owner, EndMessage, UiPrompter::Ok,
                                   UiPrompter::Information, DialogCaption);
    return true;
}

bool TAddictSpell::Configure(QWidget* parent)
{
    QDialog dialog(parent ? parent : m_owner);
    dialog.setWindowTitle(ConfigCaption);
    auto* l = new QVBoxLayout(&dialog);
    auto* listLabel = new QLabel(QStringLiteral("&Dictionary:"));
    l->addWidget(listLabel);
    auto* list = new QListWidget;
    listLabel->setBuddy(list);
    const QStringList names = installedDictionaries();
    list->addItems(names);
    list->setCurrentRow(int(names.indexOf(dictionaryName())));
    l->addWidget(list);
    l->addWidget(new QLabel(QStringLiteral("Your own words are kept in %1.").arg(AppPaths::dataFile(UserDictionary))));
    auto* row = new QHBoxLayout;
    row->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    row->addWidget(ok);
    row->addWidget(cancel);
    l->addLayout(row);
    connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    if (dialog.exec() != QDialog::Accepted || !list->currentItem())
        return false;
    try {
        saveConfig(list->currentItem()->text());
    } catch (const std::exception& e) {
        UiPrompter::instance().message(&dialog, QString::fromUtf8(e.what()), UiPrompter::Ok, UiPrompter::Warning);
        return false;
    }
    return true;
}
