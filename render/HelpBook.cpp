#include "render/HelpBook.h"

#include "app/SafeFile.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

QString attribute(const QString& attrs, const QString& name)
{
    const QRegularExpression re(QStringLiteral("\\b") + QRegularExpression::escape(name)
                                    + QStringLiteral("\\s*=\\s*\"([^\"]*)\""),
                                QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(attrs);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString plainText(QString html)
{
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    html.remove(tags);
    html.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    html.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    html.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    html.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    html.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return html.simplified();
}

} // namespace

HelpBook HelpBook::parse(const QString& html)
{
    HelpBook book;
    const auto ci = QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption;
    const auto t = QRegularExpression(QStringLiteral("<title>(.*?)</title>"), ci).match(html);
    if (t.hasMatch())
        book.title = plainText(t.captured(1));
    const auto s = QRegularExpression(QStringLiteral("<style[^>]*>(.*?)</style>"), ci).match(html);
    if (s.hasMatch())
        book.style = s.captured(1);

    qsizetype start = 0;
    const auto b = QRegularExpression(QStringLiteral("<body[^>]*>"), ci).match(html);
    if (b.hasMatch())
        start = b.capturedEnd();
    qsizetype end = html.size();
    const auto e = QRegularExpression(QStringLiteral("</body\\s*>"), ci).match(html, start);
    if (e.hasMatch())
        end = e.capturedStart();
    const QString body = html.mid(start, end - start);

    static const QRegularExpression heading(QStringLiteral("<h2\\b([^>]*)>(.*?)</h2\\s*>"),
                                            QRegularExpression::CaseInsensitiveOption
                                                | QRegularExpression::DotMatchesEverythingOption);
    auto it = heading.globalMatch(body);
    qsizetype last = -1;
    while (it.hasNext()) {
        const auto m = it.next();
        if (last < 0)
            book.intro = body.left(m.capturedStart()).trimmed();
        else
            book.topics.last().html = body.mid(last, m.capturedStart() - last).trimmed();
        HelpTopic topic;
        const QString attrs = m.captured(1);
        topic.id = attribute(attrs, QStringLiteral("id"));
        topic.title = plainText(m.captured(2));
        if (topic.id.isEmpty())
            topic.id = topic.title.toLower();
        for (const QString& c : attribute(attrs, QStringLiteral("data-context")).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            bool ok = false;
            const int n = c.trimmed().toInt(&ok);
            if (ok)
                topic.contexts << n;
        }
        for (const QString& k : attribute(attrs, QStringLiteral("data-keywords")).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            topic.keywords << k.trimmed();
        book.topics << topic;
        last = m.capturedEnd();
    }
    if (last < 0)
        book.intro = body.trimmed();
    else
        book.topics.last().html = body.mid(last).trimmed();
    return book;
}

bool HelpBook::load(const QString& path, QString* error)
{
    QByteArray bytes;
    if (!SafeFile::read(path, &bytes, error))
        return false;
    *this = parse(QString::fromUtf8(bytes));
    fileName = path;
    return true;
}

int HelpBook::indexOfId(const QString& id) const
{
    for (int i = 0; i < topics.size(); ++i)
        if (topics[i].id.compare(id, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int HelpBook::indexOfContext(int context) const
{
    for (int i = 0; i < topics.size(); ++i)
        if (topics[i].contexts.contains(context))
            return i;
    return -1;
}

QList<QPair<QString, int>> HelpBook::keywordIndex() const
{
    QList<QPair<QString, int>> index;
    for (int i = 0; i < topics.size(); ++i) {
        index << qMakePair(topics[i].title, i);
        for (const QString& k : topics[i].keywords)
            if (k.compare(topics[i].title, Qt::CaseInsensitive) != 0)
                index << qMakePair(k, i);
    }
    std::stable_sort(index.begin(), index.end(), [](const auto& a, const auto& b) {
        return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
    });
    return index;
}

int HelpBook::findKeyword(const QString& text) const
{
    const auto index = keywordIndex();
    const QString t = text.trimmed();
    for (int i = 0; i < index.size(); ++i)
        if (index[i].first.startsWith(t, Qt::CaseInsensitive))
            return i;
    return -1;
}

QList<int> HelpBook::search(const QString& words) const
{
    QList<int> found;
    const QStringList list = words.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (list.isEmpty())
        return found;
    for (int i = 0; i < topics.size(); ++i) {
        const QString text = topics[i].title + QLatin1Char(' ') + plainText(topics[i].html);
        if (std::all_of(list.begin(), list.end(),
                        [&](const QString& w) { return text.contains(w, Qt::CaseInsensitive); }))
            found << i;
    }
    return found;
}

QString HelpBook::pageHtml(int topic) const
{
    QString page = QStringLiteral("<html><head><style>") + style + QStringLiteral("</style></head><body>");
    if (topic < 0 || topic >= topics.size()) {
        page += intro;
        page += QStringLiteral("<ul class=\"contents\">");
        for (const HelpTopic& t : topics)
            page += QStringLiteral("<li><a href=\"#") + t.id + QStringLiteral("\">") + t.title.toHtmlEscaped()
                + QStringLiteral("</a></li>");
        page += QStringLiteral("</ul>");
    } else {
        page += QStringLiteral("<h2>") + topics[topic].title.toHtmlEscaped() + QStringLiteral("</h2>");
        page += topics[topic].html;
    }
    return page + QStringLiteral("</body></html>");
}
