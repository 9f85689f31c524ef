#include "Cases.h"
#include "Words.h"

#include <QtTest>

/// The core's texts with their numbers and names put in, wherever a translation places them.
class TestWords : public QObject {
    Q_OBJECT
private slots:
    void argumentsGoWhereTheirMarkersAre_data() { ORVELLE_CASES("words.cases", "arguments"); }
    void argumentsGoWhereTheirMarkersAre()
    {
        std::vector<std::string> a;
        for (const QString& arg : Cell("args").split(QStringLiteral("; ")))
            a.push_back(arg.toStdString());
        QCOMPARE(QString::fromStdString(Arg(Cell("text").toStdString(), a)), Cell("said"));
    }
};

QTEST_APPLESS_MAIN(TestWords)
#include "tst_words.moc"
