#include "Cases.h"
#include "PictureNames.h"

#include <QtTest>

class TestPictureNames : public QObject {
    Q_OBJECT
private slots:
    void names_data() { ORVELLE_CASES("picturenames.cases", "names"); }
    void names()
    {
        QCOMPARE(QString::fromStdString(FormatPictureName(IntCell("game"), IntCell("ply"))), Cell("name"));
    }

    void paths_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::newRow("folder") << "/srv/pics/"
                                << "/srv/pics/game03move001a.jpg";
        QTest::newRow("empty folder: current directory") << ""
                                                         << "game03move001a.jpg";
        const QString longFolder = QString::fromUtf8("/tmp/Schach-Zoë/") + QString(400, u'x') + u'/';
        QTest::newRow("long non-ASCII folder, never cut") << longFolder << longFolder + "game03move001a.jpg";
    }
    void paths()
    {
        QFETCH(QString, folder);
        const std::filesystem::path p = ToNarrowPath(folder.toStdString(), FormatPictureName(3, 1));
        QTEST(QString::fromStdU16String(p.u16string()), "path");
    }
};

QTEST_GUILESS_MAIN(TestPictureNames)
#include "tst_picturenames.moc"
