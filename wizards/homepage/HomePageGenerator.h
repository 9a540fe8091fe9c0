#pragma once
// The home page wizard's choices and the document they make.
#include <QString>
#include <QStringList>

struct HomePageOptions {
    enum Align { Left, Centre, Right };
    // Document title
    QString title = QStringLiteral("My Home Page");
    QString subTitle;
    bool welcome = true;
    Align align = Left;
    // Page image
    bool includeImage = true;
    QString image = QStringLiteral("Image Name");
    bool imageSlashes = true;  // backslashes become slashes
    bool imageBefore = true;   // before the heading, else after it
    int border = 1;
    // Sections
    QStringList sections{QStringLiteral("Introduction"), QStringLiteral("About Me")};
    bool lines = true;
    // Footer
    bool mail = true;
    bool address = true;
    QStringList addressLines{QStringLiteral("Your Address")};
    bool updated = true;
    // Appearance: indexes of the sixteen standard colours
    int textColor = 4;
    int backColor = 7;
    bool setBackColor = true;
    bool setTextColor = true;
    bool useBackImage = true;
    QString backImage = QStringLiteral("Image Name");
    bool backSlashes = true;
};

namespace HomePageGenerator {
// The lines of the whole document, in order, each without its line end.
// email and userName come from the user's identity, date is today's date as
// the user writes it.
QStringList lines(const HomePageOptions& o, const QString& email, const QString& userName,
                  const QString& date);
// The lines of a memo's text: no lines for an empty text, and a line end at
// the very end starts no further line.
QStringList memoLines(const QString& text);
}
