#include "PictureNames.h"

#include <QtTest>

class TestPictureNames : public QObject {
    Q_OBJECT
private slots:
    void names_data()
    {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("ply");
        QTest::addColumn<QString>("name");
        QTest::newRow("ply 1") << 1 << 1 << "game01move001a.jpg";
        QTest::newRow("ply 2") << 1 << 2 << "game01move001b.jpg";
        QTest::newRow("ply 3") << 1 << 3 << "game01move002a.jpg";
        QTest::newRow("move 100") << 12 << 199 << "game12move100a.jpg";
        QTest::newRow("move 1000") << 7 << 2000 << "game07move1000b.jpg";
        QTest::newRow("huge numbers print in full") << 123456 << 2000001 << "game123456move1000001a.jpg";
    }
    void names()
    {
        QFETCH(int, game);
        QFETCH(int, ply);
        QTEST(QString::fromStdString(FormatPictureName(game, ply)), "name");
    }

    void paths_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::newRow("folder") << "/srv/pics/" << "/srv/pics/game03move001a.jpg";
        QTest::newRow("empty folder: current directory") << "" << "game03move001a.jpg";
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
