#include "Cases.h"
#include "ConfFile.h"
#include "ReadFile.h"
#include "Settings.h"
#include "SettingsFile.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr char kOtherSix[] =
    "CAM_REF=0\nDELAY_TYPE=0\nDELAY_DELTA=12\nRESOLUTION_REF=1\nLTIME=90\nRTIME=300\n";

void WriteFile(const QString& file, const QByteArray& text)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}
} // namespace

/// The settings values, and the file they live in, written by the program or by hand.
class TestSettings : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_files = 0;
    // A new name for every file: QSettings keeps what it read or wrote of a file and does not read it
    // again while its size and time stay, which would spare the reader its work.
    QString NewFile() { return m_dir.filePath(QStringLiteral("Orvelle%1.conf").arg(++m_files)); }

    /// Writes the seven values, DIR "/pics/" unless given, LTIME 90 and the values given, and loads them.
    bool Load(Settings& s, QMap<QString, QString> values, const QString& leftOut = {})
    {
        values.insert(QStringLiteral("DIR"), values.value(QStringLiteral("DIR"), QStringLiteral("/pics/")));
        values.insert(QStringLiteral("LTIME"), values.value(QStringLiteral("LTIME"), QStringLiteral("90")));
        const QString file = NewFile();
        WriteSettingsFile(file, values, leftOut);
        return SettingsStore(file).LoadSettings(s);
    }

private slots:
    void parseInt_data() { ORVELLE_CASES("settings.cases", "int"); }
    void parseInt() { QCOMPARE(ParseInt(Cell("text")), IntCell("value")); }

    void values_data()
    {
        ORVELLE_CASES("settings.cases", "values");
        const QString longDir = QString(300, u'd');
        QTest::newRow("DIR long") << "DIR" << longDir << "90" << "640480" << longDir + u'/';
    }
    void values()
    {
        Settings s;
        QVERIFY(Load(s, {{Cell("name"), Cell("text")}}));
        QCOMPARE(s.m_fLeftPreset, RealCell("leftPreset"));
        QCOMPARE(s.m_nResolution, IntCell("resolution"));
        QCOMPARE(s.m_strDir, Cell("dir"));
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

    void optionalValues()
    {
        Settings s;
        QVERIFY(Load(s, {{"CAM_URL", " videotestsrc ! appsink "}}));
        QCOMPARE(s.m_strCamUrl, QStringLiteral("videotestsrc ! appsink")); // trimmed
        QVERIFY(!s.m_bVideoClocks && !s.m_bSound);
        QVERIFY(s.m_nServePort == 0 && !s.m_bServeLan && s.m_strBroadcastUrl.isEmpty());
        QVERIFY(Load(s, {{"VIDEO_CLOCKS", "1"}, {"SOUND", "1"}, {"SERVE_PORT", "8080"}, {"SERVE_LAN", "1"},
                         {"BROADCAST_URL", " https://lichess.org/api/broadcast/round/abc/push "}}));
        QVERIFY(s.m_bVideoClocks && s.m_bSound && s.m_bServeLan);
        QCOMPARE(s.m_nServePort, 8080);
        QCOMPARE(s.m_strBroadcastUrl, QStringLiteral("https://lichess.org/api/broadcast/round/abc/push"));
        for (const char* port : {"0", "65536", "-1", "http"}) { // no port there is: no server
            QVERIFY(Load(s, {{"SERVE_PORT", port}}));
            QCOMPARE(s.m_nServePort, 0);
        }
    }

    void writeThenRead_data() { ORVELLE_CASES("settings.cases", "written"); }
    void writeThenRead()
    {
        const QString dir = Cell("dir");
        const bool stored = IntCell("stored");
        const QString written = NewFile(), ours = NewFile(), qts = NewFile();
        WriteFile(written, QByteArray("[General]\n") + kOtherSix + "DIR=/old\n");
        QCOMPARE(SettingsStore(written).WriteSettings({{"DIR", dir}}).isEmpty(), stored);
        QVERIFY(QFile::copy(written, ours) && QFile::copy(written, qts));
        Settings s;
        QVERIFY(SettingsStore(ours).LoadSettings(s));
        QCOMPARE(s.m_strDir, NormaliseDir(stored ? dir : "/old"));
        // Still the text that QSettings' own INI reader finds, as older versions read the file.
        QCOMPARE(QSettings(qts, QSettings::IniFormat).value("DIR").toString(), stored ? dir : "/old");
    }

    void handWritten_data() { ORVELLE_CASES("settings.cases", "byHand"); }
    void handWritten()
    {
        const QString file = NewFile();
        // Latin-1, so that a line can hold bytes that are no UTF-8.
        WriteFile(file, QByteArray("\xEF\xBB\xBF") + kOtherSix + "; by hand\n" + Cell("line").toLatin1() + '\n');
        Settings s;
        QCOMPARE(SettingsStore(file).LoadSettings(s), bool(IntCell("readable")));
        QCOMPARE(s.m_strDir, Cell("dir"));
    }

    void unreadableValueSurvivesAWrite()
    {
        const QString file = NewFile();
        WriteFile(file, QByteArray("[General]\n") + kOtherSix + "DIR=\"/media/x\n");
        QCOMPARE(SettingsStore(file).WriteSettings({{"LTIME", QStringLiteral("120")}}), QString());
        const QByteArray text = ReadFile(file);
        QVERIFY2(text.contains("\nDIR=\"/media/x\n") && text.contains("\nLTIME=120\n"), text.constData());
    }

    void unwritableFileSaysSo()
    {
        const QString file = NewFile();
        WriteFile(file, "");
        QVERIFY(!SettingsStore(file + "/Orvelle.conf").WriteSettings({{"DIR", "/media/a"}}).isEmpty());
        // A key no INI line can hold, written by hand: the write is refused whole, not cut short.
        const QByteArray odd = QByteArray(kOtherSix) + "DIR=/pics\nodd\x01key=1\n";
        WriteFile(file, odd);
        QVERIFY(!SettingsStore(file).WriteSettings({{"LTIME", "120"}}).isEmpty());
        QCOMPARE(ReadFile(file), odd);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
