#include "app/MruList.h"

#include <QtTest>

class tst_MruList : public QObject {
    Q_OBJECT
private slots:
    void update_data();
    void update();
};

void tst_MruList::update_data()
{
    QTest::addColumn<QStringList>("start");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("expected");

    const QStringList empty{QString(), QString(), QString(), QString()};
    QTest::newRow("five files after an empty start")
        << empty << QStringList{"a", "b", "c", "d", "e"} << QStringList{"e", "d", "c", "b"};
    QTest::newRow("third entry moves to the front")
        << QStringList{"a", "b", "c", "d"} << QStringList{"c"} << QStringList{"c", "a", "b", "d"};
    QTest::newRow("last entry falls off and comes back first")
        << QStringList{"a", "b", "c", "d"} << QStringList{"d"} << QStringList{"d", "a", "b", "c"};
    QTest::newRow("first entry stays first")
        << QStringList{"a", "b", "c", "d"} << QStringList{"a"} << QStringList{"a", "b", "c", "d"};
    QTest::newRow("one file on an empty list")
        << empty << QStringList{"x"} << QStringList{"x", QString(), QString(), QString()};
    QTest::newRow("comparison keeps letter case")
        << QStringList{"/A", "b", "c", "d"} << QStringList{"/a"} << QStringList{"/a", "/A", "b", "c"};
    QTest::newRow("short stored list is filled to four")
        << QStringList{"a"} << QStringList{"b"} << QStringList{"b", "a", QString(), QString()};
}

void tst_MruList::update()
{
    QFETCH(QStringList, start);
    QFETCH(QStringList, opened);
    QFETCH(QStringList, expected);
    MruList list(start);
    for (const QString& p : opened)
        list.update(p);
    QCOMPARE(list.entries(), expected);
}

QTEST_GUILESS_MAIN(tst_MruList)
#include "tst_MruList.moc"
