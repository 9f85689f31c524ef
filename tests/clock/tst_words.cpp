#include "Words.h"

#include <QtTest>

/// The core's texts with their numbers and names put in, wherever a translation places them.
class TestWords : public QObject {
    Q_OBJECT
private slots:
    void argumentsGoWhereTheirMarkersAre_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("said");
        QTest::newRow("in order") << "%1 moves / %2" << QStringList{"40", "90 min"} << "40 moves / 90 min";
        QTest::newRow("reordered") << "%2, %1" << QStringList{"a", "b"} << "b, a";
        QTest::newRow("a plain digit") << "from 1 to %1" << QStringList{"999"} << "from 1 to 999";
        QTest::newRow("a marker in a name") << "\"%1\" (%2)" << QStringList{"%2", "why"} << "\"%2\" (why)";
        QTest::newRow("no such argument") << "100% and %3" << QStringList{"x"} << "100% and %3";
    }
    void argumentsGoWhereTheirMarkersAre()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, args);
        QFETCH(QString, said);
        std::vector<std::string> a;
        for (const QString& arg : args)
            a.push_back(arg.toStdString());
        QCOMPARE(QString::fromStdString(Arg(text.toStdString(), a)), said);
    }
};

QTEST_APPLESS_MAIN(TestWords)
#include "tst_words.moc"
