#include "Settings.h"
#include "SettingsFile.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {
/// Writes the given values (all seven unless one is left out) and loads them.
struct Loaded {
    bool ok;
    Settings s;
};
Loaded LoadWith(const QString& file, QMap<QString, QString> values, const QString& leftOut = {})
{
    if (!values.contains("DIR"))
        values["DIR"] = "/pics/";
    WriteSettingsFile(file, values, leftOut);
    Settings s;
    SettingsStore store(file);
    const bool ok = store.LoadSettings(s);
    return {ok, s};
}
} // namespace

class TestSettings : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString File() const { return m_dir.filePath(QStringLiteral("Orvelle.conf")); }

private slots:
    void parseInt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "90" << 90;
        QTest::newRow("trailing letters") << "90x" << 90;
        QTest::newRow("leading space and sign") << " \t-5" << -5;
        QTest::newRow("plus") << "+7" << 7;
        QTest::newRow("letters") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
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
        QTest::newRow("LTIME -5") << "LTIME" << "-5" << 300.0 << 640480 << pics;
        QTest::newRow("LTIME abc") << "LTIME" << "abc" << 300.0 << 640480 << pics;
        QTest::newRow("LTIME 3600") << "LTIME" << "3600" << 3599.0 << 640480 << pics;
        QTest::newRow("LTIME 99999") << "LTIME" << "99999" << 3599.0 << 640480 << pics;
        QTest::newRow("LTIME huge") << "LTIME" << QString(500, u'9') << 3599.0 << 640480 << pics;
        QTest::newRow("LTIME 90") << "LTIME" << "90" << 90.0 << 640480 << pics;
        QTest::newRow("LTIME 90x") << "LTIME" << "90x" << 90.0 << 640480 << pics;
        QTest::newRow("LTIME 1") << "LTIME" << "1" << 1.0 << 640480 << pics;
        QTest::newRow("RESOLUTION_REF 7") << "RESOLUTION_REF" << "7" << 300.0 << 640480 << pics;
        QTest::newRow("RESOLUTION_REF -1") << "RESOLUTION_REF" << "-1" << 300.0 << 640480 << pics;
        QTest::newRow("RESOLUTION_REF 0") << "RESOLUTION_REF" << "0" << 300.0 << 320240 << pics;
        QTest::newRow("RESOLUTION_REF 3") << "RESOLUTION_REF" << "3" << 300.0 << 1024768 << pics;
        QTest::newRow("RESOLUTION_REF 4") << "RESOLUTION_REF" << "4" << 300.0 << 16001200 << pics;
        QTest::newRow("DIR gets its separator") << "DIR" << "/srv/pics" << 300.0 << 640480 << "/srv/pics/";
        QTest::newRow("DIR with separator") << "DIR" << "/srv/pics/" << 300.0 << 640480 << "/srv/pics/";
        QTest::newRow("DIR empty stays empty") << "DIR" << "" << 300.0 << 640480 << "";
        QTest::newRow("DIR non-ASCII") << "DIR" << QString::fromUtf8("/home/zoë/Schach bilder")
                                       << 300.0 << 640480 << QString::fromUtf8("/home/zoë/Schach bilder/");
        QTest::newRow("DIR with a comma") << "DIR" << "/srv/a,b" << 300.0 << 640480 << "/srv/a,b/";
        const QString longDir = QStringLiteral("/") + QString(300, u'd');
        QTest::newRow("DIR of 300 characters") << "DIR" << longDir << 300.0 << 640480 << longDir + u'/';
    }
    void values()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        const Loaded loaded = LoadWith(File(), {{name, text}});
        QVERIFY(loaded.ok);
        QTEST(loaded.s.m_fLeftPreset, "leftPreset");
        QTEST(loaded.s.m_nResolution, "resolution");
        QTEST(loaded.s.m_strDir, "dir");
    }

    void missingValueKeepsItsFieldAndFails_data()
    {
        QTest::addColumn<QString>("missing");
        for (const SettingDef& d : kSettingDefs)
            QTest::newRow(d.name) << QString::fromLatin1(d.name);
    }
    void missingValueKeepsItsFieldAndFails()
    {
        QFETCH(QString, missing);
        const Loaded loaded = LoadWith(File(), {{QStringLiteral("LTIME"), QStringLiteral("90")},
                                                {QStringLiteral("RTIME"), QStringLiteral("180")},
                                                {QStringLiteral("CAM_REF"), QStringLiteral("2")},
                                                {QStringLiteral("RESOLUTION_REF"), QStringLiteral("0")}},
                                       missing);
        QVERIFY(!loaded.ok);
        QCOMPARE(loaded.s.m_fLeftPreset, missing == u"LTIME" ? 60.0 : 90.0);
        QCOMPARE(loaded.s.m_fRightPreset, missing == u"RTIME" ? 60.0 : 180.0);
        QCOMPARE(loaded.s.m_nCamera, missing == u"CAM_REF" ? 0 : 2);
        QCOMPARE(loaded.s.m_nResolution, missing == u"RESOLUTION_REF" ? 640480 : 320240);
        QCOMPARE(loaded.s.m_strDir, missing == u"DIR" ? QString() : QStringLiteral("/pics/"));
    }

    void missingFileFailsWithNothingChanged()
    {
        Settings s;
        SettingsStore store(m_dir.filePath(QStringLiteral("absent/none.conf")));
        QVERIFY(!store.LoadSettings(s));
        QCOMPARE(s.m_fLeftPreset, 60.0);
        QCOMPARE(s.m_nResolution, 640480);
        QVERIFY(s.m_strDir.isEmpty());
    }

    void firstRunWritesDefaultsThatReadBack()
    {
        const QString file = m_dir.filePath(QStringLiteral("first/Orvelle.conf"));
        SettingsStore store(file);
        store.CreateDefaultSettings();
        Settings s;
        QVERIFY(store.LoadSettings(s));
        QCOMPARE(s.m_fLeftPreset, 300.0);
        QCOMPARE(s.m_fRightPreset, 300.0);
        QCOMPARE(s.m_nResolution, 640480);
        QCOMPARE(s.m_nDelayDelta, 12);
        QCOMPARE(s.m_strDir, DefaultPictureFolder());
        QVERIFY(s.m_strDir.endsWith(QStringLiteral("/Orvelle/")));
        QVERIFY(s.m_strCamUrl.isEmpty());
    }

    void existingValuesAreNeverOverwritten()
    {
        const QString file = m_dir.filePath(QStringLiteral("kept/Orvelle.conf"));
        QSettings(file, QSettings::IniFormat).setValue(QStringLiteral("LTIME"), QStringLiteral("42"));
        SettingsStore store(file);
        store.CreateDefaultSettings();
        Settings s;
        QVERIFY(!store.LoadSettings(s)); // the other six are still missing
        QCOMPARE(s.m_fLeftPreset, 42.0);
    }

    void camUrlIsOptional()
    {
        const QString file = File();
        LoadWith(file, {});
        QSettings(file, QSettings::IniFormat).setValue(QLatin1String(kCamUrlName), QStringLiteral(" videotestsrc ! appsink "));
        Settings s;
        QVERIFY(SettingsStore(file).LoadSettings(s));
        QCOMPARE(s.m_strCamUrl, QStringLiteral("videotestsrc ! appsink"));
    }

    void handWrittenFileIsRead()
    {
        // What a user types into the file with an editor, including an unquoted comma.
        QFile f(m_dir.filePath(QStringLiteral("hand.conf")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[General]\nCAM_REF=1\nDELAY_TYPE=0\nDELAY_DELTA=12\nRESOLUTION_REF=2\n"
                "LTIME=  600 \nRTIME=180\nDIR=/media/club, games\n");
        f.close();
        Settings s;
        QVERIFY(SettingsStore(f.fileName()).LoadSettings(s));
        QCOMPARE(s.m_fLeftPreset, 600.0);
        QCOMPARE(s.m_fRightPreset, 180.0);
        QCOMPARE(s.m_nResolution, 960720);
        QCOMPARE(s.m_nCamera, 1);
        QVERIFY(s.m_strDir.startsWith(QStringLiteral("/media/club,")));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
