#include "ConfFile.h"
#include "Settings.h"

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

/// The settings file's values, written by the program or by hand, read back as the same text.
class TestSettingsFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_files = 0;
    // A new name for every file: QSettings keeps what it read or wrote of a file and does not read it
    // again while its size and time stay, which would spare the reader its work.
    QString File() { return m_dir.filePath(QStringLiteral("Orvelle%1.conf").arg(++m_files)); }

private slots:
    void writeThenRead_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<bool>("stored");
        for (const char* dir :
             {"/media/club, games", "/media/a;b", "d:\\pics", "d:\\pics\\", "\\\\server\\share",
              " blanks at both ends ", "say \"cheese\"", "a=b", "\"", "#1", ";1", "/home/zoë/Bilder", ""})
            QTest::newRow(dir) << QString::fromUtf8(dir) << true;
        QTest::newRow("line break") << "/media/a\nb" << false;
    }
    void writeThenRead()
    {
        QFETCH(QString, dir);
        QFETCH(bool, stored);
        const QString written = File(), ours = File(), qts = File();
        WriteFile(written, QByteArray("[General]\n") + kOtherSix + "DIR=/old\n");
        QCOMPARE(SettingsStore(written).WriteSettings({{"DIR", dir}}).isEmpty(), stored);
        QVERIFY(QFile::copy(written, ours) && QFile::copy(written, qts));
        Settings s;
        QVERIFY(SettingsStore(ours).LoadSettings(s));
        QCOMPARE(s.m_strDir, NormaliseDir(stored ? dir : "/old"));
        // Still the text that QSettings' own INI reader finds, as older versions read the file.
        QCOMPARE(QSettings(qts, QSettings::IniFormat).value("DIR").toString(), stored ? dir : "/old");
    }

    void handWritten_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("dir");
        QTest::newRow("comma") << QByteArray("DIR=/media/club, games") << true << "/media/club, games/";
        QTest::newRow("semicolon") << QByteArray("DIR=/media/a;b") << true << "/media/a;b/";
        QTest::newRow("backslash") << QByteArray("DIR = d:\\pics\\ ") << true << "d:\\pics\\/";
        QTest::newRow("quoted") << QByteArray("DIR=\"/media/club, games\"") << true << "/media/club, games/";
        QTest::newRow("as QSettings writes") << QByteArray("DIR=d:\\\\pics") << true << "d:\\pics/";
        QTest::newRow("windows line end") << QByteArray("DIR=/pics\r") << true << "/pics/";
        QTest::newRow("quote left open") << QByteArray("DIR=\"/media/x") << false << "";
        QTest::newRow("text after the quote") << QByteArray("DIR=\"/a\" b") << false << "";
        QTest::newRow("Latin-1 bytes") << QByteArray("DIR=/media/\xe9t\xe9") << false << "";
    }
    void handWritten()
    {
        QFETCH(QByteArray, line);
        const QString file = File();
        WriteFile(file, QByteArray("\xEF\xBB\xBF") + kOtherSix + "; by hand\n" + line + '\n');
        Settings s;
        QTEST(SettingsStore(file).LoadSettings(s), "readable");
        QTEST(s.m_strDir, "dir");
    }

    void unreadableValueSurvivesAWrite()
    {
        const QString file = File();
        WriteFile(file, QByteArray("[General]\n") + kOtherSix + "DIR=\"/media/x\n");
        QCOMPARE(SettingsStore(file).WriteSettings({{"LTIME", QStringLiteral("120")}}), QString());
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY2(text.contains("\nDIR=\"/media/x\n") && text.contains("\nLTIME=120\n"), text.constData());
    }

    void unwritableFileSaysSo()
    {
        const QString file = File();
        WriteFile(file, "");
        QVERIFY(!SettingsStore(file + "/Orvelle.conf").WriteSettings({{"DIR", "/media/a"}}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
