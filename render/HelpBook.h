#pragma once
// A help file as the program ships it: one HTML file whose level-2 headings
// start its topics. A heading carries the topic's name, the context numbers
// that open it and its index keywords:
//   <h2 id="options" data-context="1" data-keywords="options;settings">Application Options</h2>
// The text before the first topic is the contents page; the file's <style>
// is used for every topic.
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

struct HelpTopic {
    QString id;
    QString title;
    QString html;  // the topic's body, heading not included
    QList<int> contexts;
    QStringList keywords;
};

class HelpBook {
public:
    QString fileName;
    QString title;
    QString style;
    QString intro;
    QList<HelpTopic> topics;

    static HelpBook parse(const QString& html);
    // Reads and parses a help file; false with the reason in *error.
    bool load(const QString& path, QString* error);

    bool isEmpty() const { return topics.isEmpty() && intro.isEmpty(); }
    int indexOfId(const QString& id) const;       // -1 when missing
    int indexOfContext(int context) const;        // -1 when missing
    // Every keyword (and every topic title), sorted without regard to case,
    // with the topic it leads to.
    QList<QPair<QString, int>> keywordIndex() const;
    // The first index entry starting with text (case ignored), else -1.
    int findKeyword(const QString& text) const;
    // Topics whose title or text hold every word of words, case ignored.
    QList<int> search(const QString& words) const;
    // A whole page for the viewer: the contents page for -1, else the topic.
    QString pageHtml(int topic) const;
};
