#include "editor/HtmlHighlighter.h"
#include "editor/MemoryRelease.h"

#include "editor/TextBuffer.h"

#include <QObject>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <climits>
#include <iterator>
#include <thread>

using Html::HtmlTokenizer;
using Html::Token;
using Html::TokenKind;

namespace {

struct Colour {
    TokenKind kind;
    QRgb light;
    QRgb dark;
};
// Readable on white and on a dark background alike.
constexpr Colour kColours[] = {
    {TokenKind::Tag, 0x1A3FA8, 0x7FB2FF},          {TokenKind::AttrName, 0x8A3B00, 0xE8B46C},
    {TokenKind::AttrValue, 0x0B7A28, 0x98D98A},    {TokenKind::Comment, 0x7A7A7A, 0x8F9AA3},
    {TokenKind::Entity, 0x8B1A8B, 0xE39BE3},       {TokenKind::Doctype, 0x5B4BA8, 0xB9A8FF},
    {TokenKind::CssSelector, 0x8B1E1E, 0xF2A2A2},  {TokenKind::CssProperty, 0x1558B0, 0x8CC8FF},
    {TokenKind::CssValue, 0x00696B, 0x7FE0D2},     {TokenKind::CssComment, 0x7A7A7A, 0x8F9AA3},
    {TokenKind::ScriptKeyword, 0x2036A8, 0x6CB6FF}, {TokenKind::ScriptString, 0xA31515, 0xE6A07C},
    {TokenKind::ScriptComment, 0x3A7A1A, 0x7CC67C}, {TokenKind::ScriptNumber, 0x09705A, 0xB5CEA8},
    {TokenKind::CssString, 0xA31515, 0xE6A07C},     {TokenKind::CssAtRule, 0x7A1FA2, 0xD7A6F0},
    {TokenKind::ScriptRegex, 0x8B3A00, 0xE8A86C},   {TokenKind::ServerCode, 0x6B2E00, 0xF0C080},
    {TokenKind::CData, 0x5B4BA8, 0xB9A8FF},
};
static_assert(std::size(kColours) == size_t(TokenKind::Count), "a colour for every kind of token");

// Long lines are tokenized in slices of about this many characters, each
// seeing this many more beyond it.
constexpr qsizetype kSlice = 4096;

const QList<QTextLayout::FormatRange> kNone;

// States this many characters past the known ones are worked out at once;
// further on, the background work does it.
constexpr qsizetype kNearChars = qsizetype(1) << 21;
// Tag pairs are worked out at once for this many characters past those
// known (a long line among them: far fewer lines); further on, the
// background work does it.
constexpr qsizetype kPairNearChars = qsizetype(1) << 18;
// After an edit, the background work waits for typing to pause this long;
// when the user asked for something it needs, this long.
constexpr int kQuietMs = 250;
constexpr int kAskedQuietMs = 100;
// A far line's state is guessed by tokenizing this many lines above it.
constexpr int kWarmLines = 40;

QString tokenTextOf(const TextSnapshot& t, int line)
{
    // Lines this short are tokenized whole; longer ones slice by slice.
    const qsizetype start = t.LineStart(line);
    const qsizetype length = std::min<qsizetype>(t.LineEndOffset(line) - start, HtmlTokenizer::kMaxLineLength + 1);
    return t.Text(start, length);
}

std::pair<qsizetype, int> sliceOf(const TextSnapshot& t, int line, qsizetype at, int state, qsizetype until,
                                  QList<Token>* tokens)
{
    const qsizetype ls = t.LineStart(line), length = t.LineLength(line);
    const qsizetype windowEnd = std::min(length, std::max(until, at + kSlice) + kSlice);
    qsizetype stop = 0;
    const int next = HtmlTokenizer::tokenizePiece(t.Text(ls + at, windowEnd - at), state, until - at,
                                                  windowEnd == length, &stop, tokens);
    return {at + stop, next};
}

// The state at a line's end, as HtmlHighlighter::endState works it out.
int endStateOf(const TextSnapshot& t, int line, int start)
{
    const qsizetype length = t.LineLength(line);
    if (!HtmlHighlighter::isLongLine(length))
        return HtmlTokenizer::tokenize(tokenTextOf(t, line), start, nullptr);
    qsizetype at = 0;
    int state = start;
    for (;;) {
        const auto [end, next] = sliceOf(t, line, at, state, at + kSlice, nullptr);
        if (end >= length)
            return next;
        at = end;
        state = next;
    }
}

// The lines of a copy of the text, their states worked out as the tag pass
// goes (it tokenizes each line once for both).
class SnapshotLines : public TagLineSource {
public:
    SnapshotLines(TextSnapshot text, int initial) : m_text(std::move(text)), m_reader(m_text, 0, m_text.Length())
    {
        m_starts.reserve(size_t(m_text.LineCount()) + 1);
        m_starts.push_back(initial);
    }
    int lineCount() const override { return int(m_text.LineCount()); }
    QString lineText(int line) const override
    {
        if (line != m_nextLine)
            return m_text.LineText(line);
        // Line after line, as the pass asks: read on from the last line's end
        // without copying a line that lies in one chunk (the text never
        // changes and outlives the string, which only the pass reads).
        ++m_nextLine;
        QString joined;
        for (;;) {
            if (m_pos - m_chunkStart >= m_chunk.size() && !m_reader.Next(&m_chunk, &m_chunkStart)) {
                m_chunk = QStringView();
                m_chunkStart = m_pos;
                m_lastLength = joined.size();
                return joined;
            }
            const qsizetype at = m_pos - m_chunkStart;
            const qsizetype nl = m_chunk.indexOf(u'\n', at);
            const QStringView part = m_chunk.sliced(at, (nl < 0 ? m_chunk.size() : nl) - at);
            m_pos += part.size();
            m_lastLength = joined.size() + part.size();
            if (nl >= 0) {
                ++m_pos;
                if (joined.isNull())
                    return QString::fromRawData(part.data(), part.size());
                return joined += part;
            }
            if (joined.isNull())
                joined = QLatin1String("");
            joined += part;
        }
    }
    int startState(int line) const override
    {
        while (int(m_starts.size()) <= line) {
            const int n = int(m_starts.size()) - 1;
            m_starts.push_back(endStateOf(m_text, n, m_starts.back()));
        }
        return m_starts[size_t(line)];
    }
    void lineTokenized(int line, int endState) const override
    {
        const qsizetype length = line + 1 == m_nextLine ? m_lastLength : m_text.LineLength(line);
        if (int(m_starts.size()) == line + 1 && !HtmlHighlighter::isLongLine(length))
            m_starts.push_back(endState);
    }
    std::vector<int> endStates() const { return std::vector<int>(m_starts.begin() + 1, m_starts.end()); }

private:
    TextSnapshot m_text;
    mutable std::vector<int> m_starts;  // the state each line starts in
    mutable TextSnapshot::ChunkReader m_reader;
    mutable QStringView m_chunk;
    mutable qsizetype m_chunkStart = 0;
    mutable qsizetype m_pos = 0;  // where line m_nextLine starts
    mutable int m_nextLine = 0;
    mutable qsizetype m_lastLength = 0;  // of the line last read in order
};

} // namespace

// States and tag pairs of every line of a copy of the text, worked out on a
// thread of their own.
struct HtmlHighlighter::Background {
    Background(TextSnapshot text, Html::Language language)
        : lines(std::move(text), HtmlTokenizer::initialState(language)), structure(lines)
    {
    }
    void run()
    {
        const int n = lines.lineCount();
        // The states first, which typing asks for; then the pairs (which
        // read the states and tokenize each line once more, for its tags).
        bool stopped = false;
        for (int line = 0; line < n && !stopped; line = std::min(n, line + 4096)) {
            stopped = cancel.load(std::memory_order_relaxed);
            lines.startState(std::min(n, line + 4096));
        }
        if (!stopped)
            lines.startState(n);
        {
            const std::lock_guard<std::mutex> lock(mutex);
            statesDone = true;
        }
        statesReady.notify_all();
        if (stopped)
            return;
        if (onStates)
            onStates();
        for (int line = 0; line < n; line = std::min(n, line + 2048)) {
            if (cancel.load(std::memory_order_relaxed))
                return;
            structure.workOut(std::min(n, line + 2048));
        }
        complete = true;
    }
    // Called on the worker when the states are done and the pairs begin.
    std::function<void()> onStates;
    SnapshotLines lines;
    std::mutex mutex;
    std::condition_variable statesReady;
    bool statesDone = false;  // (the states are read only from then on)
    TagStructure structure;
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    bool complete = false;
    std::thread thread;
};

HtmlHighlighter::HtmlHighlighter(const TextBuffer& buffer) : m_buf(buffer), m_context(std::make_unique<QObject>())
{
    buildFormats();
}

HtmlHighlighter::~HtmlHighlighter()
{
    cancelBackground();
}

bool HtmlHighlighter::nearKnown(int line, int done) const
{
    if (line <= done)
        return true;
    const TextSnapshot& t = m_buf.Text();
    return t.LineStart(line) - t.LineStart(done) < kNearChars;
}

bool HtmlHighlighter::statesReadyNear(int line, bool asked)
{
    if (statesNear(line) || (takeStatesIfDone() && statesNear(line)))
        return true;
    requestBackground(asked);
    return false;
}

bool HtmlHighlighter::pairsNear(int line) const
{
    if (m_language != Html::Language::Html)
        return true;
    const int done = m_lines.structure()->linesDone();
    if (line < done)
        return true;
    const TextSnapshot& t = m_buf.Text();
    return t.LineEndOffset(line) - t.LineStart(done) <= kPairNearChars;
}

void HtmlHighlighter::requestBackground(bool asked)
{
    if (m_bg)
        return;
    const bool waiting = m_quietTimer && m_quietTimer->isActive();
    m_quietWanted = std::min(waiting ? m_quietWanted : kQuietMs, asked ? kAskedQuietMs : kQuietMs);
    const qint64 wait = m_sinceEdit.isValid() ? m_quietWanted - m_sinceEdit.elapsed() : 0;
    if (wait <= 0) {
        if (waiting)
            m_quietTimer->stop();
        startBackground();
        return;
    }
    if (!m_quietTimer) {
        m_quietTimer = new QTimer(m_context.get());
        m_quietTimer->setSingleShot(true);
        // (typing since it was set puts it off)
        QObject::connect(m_quietTimer, &QTimer::timeout, m_context.get(), [this] {
            const qint64 left = m_quietWanted - m_sinceEdit.elapsed();
            if (m_sinceEdit.isValid() && left > 0)
                m_quietTimer->start(int(left));
            else
                startBackground();
        });
    }
    if (!waiting || m_quietTimer->remainingTime() > wait)
        m_quietTimer->start(int(wait));
}

std::pair<qsizetype, int> HtmlHighlighter::resumePoint(int line, qsizetype offset)
{
    const int start = startState(line);
    if (!isLongLine(m_buf.Text().LineLength(line)))
        return {0, start};
    stateAt(line, offset);  // (the checkpoints up to offset)
    const auto& cps = m_checkpoints[line];
    for (auto it = std::upper_bound(cps.begin(), cps.end(), std::make_pair(offset, INT_MAX)); it != cps.begin();) {
        --it;
        if (!HtmlTokenizer::isTagState(it->second))
            return *it;
    }
    return {0, start};
}

bool HtmlHighlighter::takeStatesIfDone()
{
    if (!m_bg)
        return false;
    {
        const std::lock_guard<std::mutex> lock(m_bg->mutex);
        if (!m_bg->statesDone)
            return false;
    }
    const int known = knownStates();
    takeStates();
    if (knownStates() == known)
        return false;
    dropGuesses();
    return true;
}

bool HtmlHighlighter::readyNear(int line, bool asked)
{
    if (statesNear(line) && pairsNear(line))
        return true;
    // (a result come in is taken between events, so that a screen drawn
    // now is drawn from one set of states)
    requestBackground(asked);
    return false;
}

void HtmlHighlighter::startBackground()
{
    if (m_bg)
        return;
    m_bg = std::make_unique<Background>(m_buf.Snapshot(), m_language);
    m_bgStarted = true;
    m_dirtyFrom = INT_MAX;
    Background* bg = m_bg.get();
    QObject* context = m_context.get();
    bg->onStates = [this, context] {
        QMetaObject::invokeMethod(context, [this] {
            if (takeStatesIfDone())
                tellStatesReady();
        }, Qt::QueuedConnection);
    };
    bg->thread = std::thread([this, bg, context] {
        bg->run();
        bg->done.store(true, std::memory_order_release);
        if (!bg->cancel.load())
            QMetaObject::invokeMethod(context, [this] { takeBackground(); }, Qt::QueuedConnection);
    });
}

void HtmlHighlighter::cancelBackground()
{
    if (!m_bg)
        return;
    m_bg->cancel.store(true);
    m_bg->thread.join();
    m_bg.reset();
}

void HtmlHighlighter::finishBackground()
{
    if (!m_bg && m_quietTimer && m_quietTimer->isActive()) {
        m_quietTimer->stop();
        startBackground();
    }
    if (!m_bg)
        return;
    m_bg->thread.join();
    takeBackground();
}

void HtmlHighlighter::takeStates()
{
    if (!m_bg)
        return;
    {
        std::unique_lock<std::mutex> lock(m_bg->mutex);
        m_bg->statesReady.wait(lock, [this] { return m_bg->statesDone; });
    }
    const std::vector<int> states = m_bg->lines.endStates();
    if (qsizetype(states.size()) < m_bg->lines.lineCount())
        return;  // stopped
    const int keep = int(std::min<qsizetype>(m_dirtyFrom, qsizetype(states.size())));
    if (keep > knownStates())
        m_endStates.assign(states.begin(), states.begin() + keep);
}

void HtmlHighlighter::Lines::aboutToWorkOut(int line) const
{
    // The worker is on its way there already.
    if (m_h.m_bg && !m_h.nearKnown(line, m_structure.linesDone()))
        m_h.finishBackground();
}

void HtmlHighlighter::takeBackground()
{
    if (!m_bg || !m_bg->done.load(std::memory_order_acquire))
        return;
    if (m_bg->thread.joinable())
        m_bg->thread.join();
    std::unique_ptr<Background> bg = std::move(m_bg);
    if (!bg->complete)
        return;
    // Only the lines above the first one changed since are still right.
    std::vector<int> states = bg->lines.endStates();
    const int keep = int(std::min<qsizetype>(m_dirtyFrom, qsizetype(states.size())));
    if (keep > knownStates())
        m_endStates.assign(states.begin(), states.begin() + keep);
    TagStructure* structure = m_lines.structure();
    if (keep > structure->linesDone() && !structure->busy()) {
        structure->adopt(std::move(bg->structure));
        structure->invalidateFrom(keep);
    }
    dropGuesses();
    for (int line : m_strayPending)
        m_coloured.erase(line);
    m_strayPending.clear();
    tellStatesReady();
    bg.reset();  // (the worker's copy of the text and its lists first)
    MemoryRelease::afterWorkOn(m_buf.Length());
}

void HtmlHighlighter::tellStatesReady()
{
    // (told between events: this may have come in while the view was drawing)
    QMetaObject::invokeMethod(m_context.get(), [this] {
        if (m_onStatesReady)
            m_onStatesReady();
    }, Qt::QueuedConnection);
}

void HtmlHighlighter::dropGuesses()
{
    for (int line : m_guessed) {
        m_coloured.erase(line);
        m_checkpoints.erase(line);
        for (auto it = m_sliceTokens.lower_bound({line, 0}); it != m_sliceTokens.end() && it->first.first == line;)
            it = m_sliceTokens.erase(it);
    }
    m_guessed.clear();
    m_guessedEnds.clear();
}

int HtmlHighlighter::guessedStart(int line)
{
    if (line <= 0)
        return HtmlTokenizer::initialState(m_language);
    if (auto it = m_guessedEnds.find(line - 1); it != m_guessedEnds.end())
        return it->second;
    // A few lines above, begun in the first state, mostly agree with the text by now.
    int state = HtmlTokenizer::initialState(m_language);
    for (int l = std::max(0, line - kWarmLines); l < line; ++l)
        state = HtmlTokenizer::tokenize(tokenText(l), state, nullptr);
    return state;
}

void HtmlHighlighter::buildFormats()
{
    for (const Colour& c : kColours) {
        QTextCharFormat f;
        f.setForeground(QColor(m_dark ? c.dark : c.light));
        m_formats[size_t(c.kind)] = f;
    }
    // A closing tag that closes nothing: underlined as a problem.
    m_strayFormat = m_formats[size_t(TokenKind::Tag)];
    m_strayFormat.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    m_strayFormat.setUnderlineColor(m_dark ? QColor(0xFF6B6B) : QColor(0xD00000));
}

void HtmlHighlighter::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    m_checkpoints.clear();
    m_sliceTokens.clear();
    m_coloured.clear();
}

void HtmlHighlighter::setLanguage(Html::Language language)
{
    if (language == m_language)
        return;
    m_language = language;
    forgetStates();
}

void HtmlHighlighter::forgetStates()
{
    cancelBackground();
    m_bgStarted = false;
    m_guessed.clear();
    m_guessedEnds.clear();
    m_strayPending.clear();
    m_endStates.clear();
    m_checkpoints.clear();
    m_sliceTokens.clear();
    m_coloured.clear();
    m_lines.structure()->invalidateFrom(0);
}

int HtmlHighlighter::Lines::lineCount() const
{
    return int(m_h.m_buf.LineCount());
}

QString HtmlHighlighter::Lines::lineText(int line) const
{
    return m_h.m_buf.Text().LineText(line);
}

qsizetype HtmlHighlighter::Lines::lineLength(int line) const
{
    return m_h.m_buf.Text().LineLength(line);
}

QString HtmlHighlighter::Lines::lineSlice(int line, qsizetype from, qsizetype length) const
{
    const TextSnapshot& t = m_h.m_buf.Text();
    from = std::clamp<qsizetype>(from, 0, t.LineLength(line));
    return t.Text(t.LineStart(line) + from, std::min(length, t.LineLength(line) - from));
}

void HtmlHighlighter::setDarkBackground(bool dark)
{
    if (dark == m_dark)
        return;
    m_dark = dark;
    buildFormats();
    m_coloured.clear();
}

QString HtmlHighlighter::tokenText(int line) const
{
    return tokenTextOf(m_buf.Text(), line);
}

int HtmlHighlighter::startState(int line)
{
    if (line <= 0)
        return HtmlTokenizer::initialState(m_language);
    line = std::min<int>(line, int(m_buf.LineCount()));
    if (m_bg && !nearKnown(line, knownStates()))
        takeStates();  // (it is on its way there already)
    while (int(m_endStates.size()) < line) {
        const int n = int(m_endStates.size());
        const int start = n == 0 ? HtmlTokenizer::initialState(m_language) : m_endStates.back();
        m_endStates.push_back(endState(n, start));
    }
    return m_endStates[size_t(line - 1)];
}

const QList<QTextLayout::FormatRange>& HtmlHighlighter::lineFormats(int line)
{
    if (!m_enabled || m_language == Html::Language::Plain || line < 0 || line >= m_buf.LineCount())
        return kNone;
    auto it = m_coloured.find(line);
    if (it != m_coloured.end())
        return it->second;
    const bool guess = !statesReadyNear(line);
    // A long page gets its states worked out from the start, so that a jump
    // far down finds them ready.
    if (!m_bg && !m_bgStarted && m_buf.Length() > kNearChars && knownStates() < m_buf.LineCount())
        startBackground();
    const int start = guess ? guessedStart(line) : startState(line);
    QList<Token> tokens;
    const int end = HtmlTokenizer::tokenize(tokenText(line), start, &tokens);
    if (guess) {
        m_guessed.insert(line);
        m_guessedEnds[line] = end;
    } else if (int(m_endStates.size()) == line) {
        m_endStates.push_back(isLongLine(m_buf.Text().LineLength(line)) ? endState(line, start) : end);
    }
    QList<QTextLayout::FormatRange> ranges;
    ranges.reserve(tokens.size());
    for (const Token& t : std::as_const(tokens))
        ranges.append(QTextLayout::FormatRange{t.start, t.length, m_formats[size_t(t.kind)]});
    markStrays(line, 0, HtmlTokenizer::kMaxLineLength + 1, ranges);
    return m_coloured.emplace(line, std::move(ranges)).first->second;
}

void HtmlHighlighter::markStrays(int line, qsizetype from, qsizetype to, QList<QTextLayout::FormatRange>& ranges)
{
    if (m_language != Html::Language::Html)
        return;
    if (m_guessed.count(line))
        return;  // underlined once the pairs are known
    if (!pairsNear(line)) {
        // (a long line just edited, or far down: once the worker has them)
        m_strayPending.insert(line);
        requestBackground();
        return;
    }
    for (const TagRef& r : m_lines.structure()->strayClosingTags(line, line)) {
        const qsizetype a = std::max<qsizetype>(r.start, from), b = std::min<qsizetype>(r.nameEnd, to);
        if (a < b)
            ranges.append(QTextLayout::FormatRange{int(a - from), int(b - a), m_strayFormat});
    }
}

std::pair<qsizetype, int> HtmlHighlighter::slice(int line, qsizetype at, int state, qsizetype until,
                                                 QList<Token>* tokens) const
{
    return sliceOf(m_buf.Text(), line, at, state, until, tokens);
}

int HtmlHighlighter::endState(int line, int start)
{
    const TextSnapshot& t = m_buf.Text();
    const qsizetype length = t.LineLength(line);
    if (!isLongLine(length))
        return HtmlTokenizer::tokenize(tokenText(line), start, nullptr);
    // Slice by slice, leaving checkpoints for the colours.
    auto& cps = m_checkpoints[line];
    if (cps.empty() || cps.front().second != start)
        cps.assign(1, std::make_pair(qsizetype(0), start));
    for (;;) {
        const auto [at, state] = cps.back();
        const auto [end, next] = slice(line, at, state, at + kSlice, nullptr);
        if (end >= length)
            return next;
        cps.emplace_back(end, next);
    }
}

int HtmlHighlighter::stateAt(int line, qsizetype offset)
{
    const TextSnapshot& t = m_buf.Text();
    if (line < 0 || line >= t.LineCount())
        return HtmlTokenizer::initialState(m_language);
    const qsizetype ls = t.LineStart(line), length = t.LineLength(line);
    offset = std::clamp<qsizetype>(offset, 0, length);
    const int start = startState(line);
    qsizetype from = 0;
    int state = start;
    if (isLongLine(length)) {
        auto& cps = m_checkpoints[line];
        if (cps.empty() || cps.front().second != start)
            cps.assign(1, std::make_pair(qsizetype(0), start));
        while (cps.back().first < offset) {
            const auto [at, st] = cps.back();
            const auto [end, next] = slice(line, at, st, at + kSlice, nullptr);
            if (end >= length || end > offset)
                break;
            cps.emplace_back(end, next);
        }
        auto it = std::upper_bound(cps.begin(), cps.end(), std::make_pair(offset, INT_MAX));
        from = std::prev(it)->first;
        state = std::prev(it)->second;
    }
    qsizetype stop = 0;
    return HtmlTokenizer::tokenizePiece(t.Text(ls + from, offset - from), state, offset - from, false, &stop, nullptr);
}

QList<QTextLayout::FormatRange> HtmlHighlighter::formatsIn(int line, qsizetype from, qsizetype to)
{
    QList<QTextLayout::FormatRange> out;
    if (!m_enabled || m_language == Html::Language::Plain)
        return out;
    const TextSnapshot& t = m_buf.Text();
    const qsizetype length = t.LineLength(line);
    to = std::min(to, length);
    if (auto known = m_checkpoints.find(line); known == m_checkpoints.end() || known->second.empty()) {
        const bool guess = !statesReadyNear(line);
        if (guess)
            m_guessed.insert(line);
        const int start = guess ? guessedStart(line) : startState(line);
        m_checkpoints[line].assign(1, std::make_pair(qsizetype(0), start));
    }
    auto& cps = m_checkpoints[line];
    // Checkpoints up to the start of the range.
    while (cps.back().first <= from) {
        const auto [at, state] = cps.back();
        const auto [end, next] = slice(line, at, state, at + kSlice, nullptr);
        if (end >= length || end > from)
            break;
        cps.emplace_back(end, next);
    }
    auto it = std::upper_bound(cps.begin(), cps.end(), std::make_pair(from, INT_MAX));
    size_t k = size_t(it - cps.begin()) - 1;
    while (cps[k].first < to) {
        const auto [at, state] = cps[k];
        auto cached = m_sliceTokens.find({line, at});
        qsizetype end = k + 1 < cps.size() ? cps[k + 1].first : -1;
        if (cached == m_sliceTokens.end() || end < 0) {
            QList<Token> fresh;
            const auto [sliceEnd, next] = slice(line, at, state, at + kSlice, &fresh);
            end = sliceEnd;
            if (k + 1 == cps.size() && end < length)
                cps.emplace_back(end, next);
            if (m_sliceTokens.size() > 256)
                m_sliceTokens.clear();
            cached = m_sliceTokens.insert_or_assign(std::make_pair(line, at), std::move(fresh)).first;
        }
        for (const Token& tk : std::as_const(cached->second)) {
            const qsizetype a = std::max(at + tk.start, from), b = std::min(at + tk.start + tk.length, to);
            if (a < b)
                out.append(QTextLayout::FormatRange{int(a - from), int(b - a), m_formats[size_t(tk.kind)]});
        }
        if (end >= length)
            break;
        ++k;
    }
    markStrays(line, from, to, out);
    return out;
}

QList<QTextLayout::FormatRange> HtmlHighlighter::formats(int line) const
{
    auto it = m_coloured.find(line);
    return it == m_coloured.end() ? QList<QTextLayout::FormatRange>() : it->second;
}

void HtmlHighlighter::keepOnly(int first, int last)
{
    m_guessed.erase(m_guessed.begin(), m_guessed.lower_bound(first));
    m_guessed.erase(m_guessed.upper_bound(last), m_guessed.end());
    m_strayPending.erase(m_strayPending.begin(), m_strayPending.lower_bound(first));
    m_strayPending.erase(m_strayPending.upper_bound(last), m_strayPending.end());
    for (auto it = m_guessedEnds.begin(); it != m_guessedEnds.end();)
        it = (it->first < first - kWarmLines || it->first > last) ? m_guessedEnds.erase(it) : std::next(it);
    for (auto it = m_sliceTokens.begin(); it != m_sliceTokens.end();)
        it = (it->first.first < first || it->first.first > last) ? m_sliceTokens.erase(it) : std::next(it);
    for (auto it = m_checkpoints.begin(); it != m_checkpoints.end();)
        it = (it->first < first || it->first > last) ? m_checkpoints.erase(it) : std::next(it);
    for (auto it = m_coloured.begin(); it != m_coloured.end();) {
        if (it->first < first || it->first > last)
            it = m_coloured.erase(it);
        else
            ++it;
    }
}

int HtmlHighlighter::textChanged(const TextChange& change)
{
    const int first = int(change.firstLine);
    const bool inOneLine = change.linesAdded == 0 && change.linesRemoved == 0;
    m_dirtyFrom = std::min(m_dirtyFrom, first);
    m_sinceEdit.start();
    if (change.offset == 0 && change.inserted == m_buf.Length()) {
        // A new text: nothing the worker finds would be kept.
        cancelBackground();
        m_bgStarted = false;
        m_sinceEdit.invalidate();
    }
    m_guessed.erase(m_guessed.lower_bound(first), m_guessed.end());
    m_guessedEnds.clear();
    const TextSnapshot& t = m_buf.Text();
    const qsizetype inLine = change.offset - t.LineStart(first);
    const qsizetype d = change.inserted - change.removed;
    for (auto it = m_sliceTokens.lower_bound({first, 0}); it != m_sliceTokens.end();) {
        // The slice holding the edit and those after it go.
        const bool keep = inOneLine && it->first.first == first && it->first.second + 6 * kSlice < inLine;
        it = keep ? std::next(it) : m_sliceTokens.erase(it);
    }
    // Checkpoints of the edited line before the edit stay; those of the lines below go.
    std::vector<std::pair<qsizetype, int>> old;
    if (auto it = m_checkpoints.find(first); inOneLine && it != m_checkpoints.end())
        old = std::move(it->second);
    for (auto it = m_checkpoints.begin(); it != m_checkpoints.end();)
        it = it->first >= first ? m_checkpoints.erase(it) : std::next(it);
    // (A token before a checkpoint may have looked a few characters past it.)
    if (!old.empty())
        m_checkpoints[first].assign(old.begin(),
                                    std::lower_bound(old.begin(), old.end(), std::make_pair(inLine - 16, INT_MIN)));
    // What the lines below depend on for their stray closing tags.
    TagStructure* structure = m_lines.structure();
    std::vector<int> openBelow;
    // (a long line's pairs are not worked out again at every key)
    const bool longEdit = isLongLine(t.LineLength(first));
    const bool structureKnown =
        m_language == Html::Language::Html && structure->linesDone() > first + 1 && !longEdit;
    if (structureKnown)
        openBelow = structure->openKeysAt(first + 1);
    structure->invalidateFrom(first);

    if (inOneLine && first < int(m_endStates.size())) {
        const int start = first == 0 ? HtmlTokenizer::initialState(m_language) : m_endStates[size_t(first - 1)];
        int end = -1;
        if (isLongLine(t.LineLength(first))) {
            // A long line's end state, worked out again from the checkpoint
            // before the edit until its slices meet those it had before.
            auto& cps = m_checkpoints[first];
            if (cps.empty())
                cps.emplace_back(0, start);
            const qsizetype length = t.LineLength(first);
            while (end < 0) {
                const auto [at, state] = cps.back();
                qsizetype until = at + kSlice;
                // Past the edit, slices end where checkpoints stood before it, so
                // that the two meet as soon as the states agree again.
                const auto mate = std::lower_bound(
                    old.begin(), old.end(),
                    std::make_pair(std::max(at - d + 1, inLine + change.removed + 1), INT_MIN));
                const bool aligned = mate != old.end() && mate->first + d - at <= 4 * kSlice;
                if (aligned)
                    until = mate->first + d;
                const auto [sliceTo, next] = slice(first, at, state, until, nullptr);
                if (sliceTo >= length) {
                    end = next;
                    break;
                }
                cps.emplace_back(sliceTo, next);
                if (aligned && sliceTo == mate->first + d && mate->second == next) {
                    for (auto j = mate + 1; j != old.end(); ++j)
                        cps.emplace_back(j->first + d, j->second);
                    end = m_endStates[size_t(first)];
                }
            }
        } else {
            end = HtmlTokenizer::tokenize(tokenText(first), start, nullptr);
        }
        // Typing in a line: the lines below keep their colours unless the
        // state at its end changes.
        if (end == m_endStates[size_t(first)] && (!structureKnown || structure->openKeysAt(first + 1) == openBelow)) {
            m_coloured.erase(first);
            if (longEdit && m_language == Html::Language::Html) {
                // The stray closing tags below follow once the pairs are in.
                for (const auto& [line, ranges] : m_coloured)
                    if (line > first)
                        m_strayPending.insert(line);
                requestBackground();
            }
            return first;
        }
    }
    if (int(m_endStates.size()) > first)
        m_endStates.resize(size_t(first));
    // Lines above the change keep their colours; the ones below have moved.
    for (auto it = m_coloured.begin(); it != m_coloured.end();)
        it = it->first >= first ? m_coloured.erase(it) : std::next(it);
    return INT_MAX;
}
