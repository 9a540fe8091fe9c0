#pragma once
// Access keys of a window: each used once, and no label shows a stray "&".
#include <QAbstractButton>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QStringList>
#include <QTabBar>
#include <QWidget>

namespace AccessKeys {

// The letter after a single "&", or a null QChar.
inline QChar keyOf(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return text.at(i + 1).toLower();
    }
    return QChar();
}

// What is wrong with the window's access keys; empty when nothing is.
inline QStringList faults(QWidget* window)
{
    QStringList out;
    QHash<QChar, QString> used;
    auto take = [&](const QString& text) {
        const QChar k = keyOf(text);
        if (k.isNull())
            return;
        if (used.contains(k))
            out << QStringLiteral("Alt+%1: \"%2\" and \"%3\"").arg(k, used.value(k), text);
        else
            used.insert(k, text);
    };
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (!qobject_cast<QTabBar*>(b->parentWidget()))
            take(b->text());
    for (QTabBar* t : window->findChildren<QTabBar*>())
        for (int i = 0; i < t->count(); ++i)
            take(t->tabText(i));
    for (QGroupBox* g : window->findChildren<QGroupBox*>())
        take(g->title());
    for (QLabel* l : window->findChildren<QLabel*>()) {
        if (l->buddy())
            take(l->text());
        else if (l->textFormat() != Qt::RichText && !keyOf(l->text()).isNull())
            out << QStringLiteral("a stray \"&\" shows in \"%1\"").arg(l->text());
    }
    return out;
}

} // namespace AccessKeys
