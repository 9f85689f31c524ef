#include "Cases.h"
#include "Notation.h"
#include "Position.h"

/// The move generator against the published perft counts of the standard test positions, every depth
/// of each position in one row.
class TestPerft : public QObject {
    Q_OBJECT
private slots:
    void perft_data() { ORVELLE_CASES("perft.cases", "perft"); }
    void perft()
    {
        const std::optional<Position> position = ParseFen(Cell("fen").toStdString());
        QVERIFY(position);
        int depth = 0;
        for (const QString& count : Cell("counts").split(u' '))
            QVERIFY2(Perft(*position, ++depth) == count.toULongLong(), qPrintable(QString::number(depth)));
    }
};

QTEST_GUILESS_MAIN(TestPerft)
#include "tst_perft.moc"
