#include "Settings.h"
#include "SettingsFile.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestSettings : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString File() const { return m_dir.filePath(QStringLiteral("Orvelle.conf")); }

    /// Writes the seven values, DIR "/pics/" unless given, LTIME 90 and the values given, and loads them.
    bool Load(Settings& s, QMap<QString, QString> values, const QString& leftOut = {})
    {
        values.insert(QStringLiteral("DIR"), values.value(QStringLiteral("DIR"), QStringLiteral("/pics/")));
        values.insert(QStringLiteral("LTIME"), values.value(QStringLiteral("LTIME"), QStringLiteral("90")));
        WriteSettingsFile(File(), values, leftOut);
        return SettingsStore(File()).LoadSettings(s);
    }

private slots:
    void parseInt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("trailing letters") << "90x" << 90;
        QTest::newRow("leading space and sign") << " \t-5" << -5;
        QTest::newRow("plus") << "+7" << 7;
        QTest::newRow("letters") << "abc" << 0;
        QTest::newRow("sign only") << "-" << 0;
        QTest::newRow("space inside") << "1 2" << 1;
        QTest::newRow("overflow saturates") << "99999999999999999999" << INT_MAX;
        QTest::newRow("negative overflow saturates") << "-99999999999999999999" << INT_MIN;
        QTest::newRow("non-ASCII digits are no digits") << QString::fromUtf8("\u0663\u0664") << 0;
    }
    void parseInt()
    {
        QFETCH(QString, text);
        QTEST(ParseInt(text), "value");
    }

    void values_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("leftPreset");
        QTest::addColumn<int>("resolution");
        QTest::addColumn<QString>("dir");
        const QString pics = QStringLiteral("/pics/");
        QTest::newRow("LTIME 0") << "LTIME" << "0" << 300.0 << 640480 << pics;
        QTest::newRow("LTIME abc") << "LTIME" << "abc" << 300.0 << 640480 << pics;
        QTest::newRow("LTIME 3600") << "LTIME" << "3600" << 3599.0 << 640480 << pics;
        QTest::newRow("LTIME huge") << "LTIME" << QString(500, u'9') << 3599.0 << 640480 << pics;
        QTest::newRow("LTIME 1") << "LTIME" << "1" << 1.0 << 640480 << pics;
        QTest::newRow("LTIME 3599") << "LTIME" << "3599" << 3599.0 << 640480 << pics;
        QTest::newRow("RESOLUTION_REF 5") << "RESOLUTION_REF" << "5" << 90.0 << 640480 << pics;
        QTest::newRow("RESOLUTION_REF -1") << "RESOLUTION_REF" << "-1" << 90.0 << 640480 << pics;
        QTest::newRow("RESOLUTION_REF 0") << "RESOLUTION_REF" << "0" << 90.0 << 320240 << pics;
        QTest::newRow("RESOLUTION_REF 4") << "RESOLUTION_REF" << "4" << 90.0 << 16001200 << pics;
        QTest::newRow("DIR gets its separator") << "DIR" << "/srv/pics" << 90.0 << 640480 << "/srv/pics/";
        QTest::newRow("DIR empty stays empty") << "DIR" << "" << 90.0 << 640480 << "";
        const QString longDir = QString::fromUtf8("/home/zoë/") + QString(300, u'd');
        QTest::newRow("DIR long, non-ASCII") << "DIR" << longDir << 90.0 << 640480 << longDir + u'/';
    }
    void values()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        Settings s;
        QVERIFY(Load(s, {{name, text}}));
        QTEST(s.m_fLeftPreset, "leftPreset");
        QTEST(s.m_nResolution, "resolution");
        QTEST(s.m_strDir, "dir");
    }

    void missingValueKeepsItsFieldAndFails_data()
    {
        QTest::addColumn<QString>("missing");
        for (const SettingDef& d : kSettingDefs)
            QTest::newRow(d.name) << QString::fromLatin1(d.name);
        QTest::newRow("no file") << "";
    }
    void missingValueKeepsItsFieldAndFails()
    {
        QFETCH(QString, missing);
        Settings s;
        if (missing.isEmpty())
            QVERIFY(!SettingsStore(m_dir.filePath(QStringLiteral("absent/none.conf"))).LoadSettings(s));
        else
            QVERIFY(!Load(s, {{"RTIME", "180"}, {"CAM_REF", "2"}, {"RESOLUTION_REF", "0"}}, missing));
        const bool all = missing.isEmpty();
        QCOMPARE(s.m_fLeftPreset, all || missing == u"LTIME" ? 60.0 : 90.0);
        QCOMPARE(s.m_fRightPreset, all || missing == u"RTIME" ? 60.0 : 180.0);
        QCOMPARE(s.m_nCamera, all || missing == u"CAM_REF" ? 0 : 2);
        QCOMPARE(s.m_nResolution, all || missing == u"RESOLUTION_REF" ? 640480 : 320240);
        QCOMPARE(s.m_strDir, all || missing == u"DIR" ? QString() : QStringLiteral("/pics/"));
    }

    void firstRunWritesDefaultsButNeverOverAValue()
    {
        const QString file = m_dir.filePath(QStringLiteral("first/Orvelle.conf"));
        SettingsStore(file).CreateDefaultSettings();
        Settings s;
        QVERIFY(SettingsStore(file).LoadSettings(s));
        QCOMPARE(s.m_fLeftPreset, 300.0);
        QCOMPARE(s.m_fRightPreset, 300.0);
        QCOMPARE(s.m_nResolution, 640480);
        QCOMPARE(s.m_strDir, DefaultPictureFolder());
        QVERIFY(s.m_strDir.endsWith(QStringLiteral("/Orvelle/")));

        const QString kept = m_dir.filePath(QStringLiteral("kept/Orvelle.conf"));
        QSettings(kept, QSettings::IniFormat).setValue(QStringLiteral("LTIME"), QStringLiteral("42"));
        SettingsStore(kept).CreateDefaultSettings();
        QVERIFY(!SettingsStore(kept).LoadSettings(s)); // the other six are still missing
        QCOMPARE(s.m_fLeftPreset, 42.0);
    }

    void camUrlIsOptionalAndTrimmed()
    {
        Settings s;
        QVERIFY(Load(s, {{"CAM_URL", " videotestsrc ! appsink "}}));
        QCOMPARE(s.m_strCamUrl, QStringLiteral("videotestsrc ! appsink"));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
