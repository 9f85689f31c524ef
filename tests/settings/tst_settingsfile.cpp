#include "ConfFile.h"
#include "Settings.h"

#include <QFile>
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

/// The settings file's values, written by the program or by hand, read back as the same text.
class TestSettingsFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString File() const { return m_dir.filePath(QStringLiteral("Orvelle.conf")); }

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("dir");
        for (const char* dir :
             {"/media/club, games", "/media/a;b", "d:\\pics", "d:\\pics\\", "\\\\server\\share",
              " blanks at both ends ", "say \"cheese\"", "a=b", "\"", "#1", ";1", "/home/zoë/Bilder", ""})
            QTest::newRow(dir) << QString::fromUtf8(dir);
    }
    void roundTrip()
    {
        QFETCH(QString, dir);
        WriteFile(File(), QByteArray("[General]\n") + kOtherSix + "DIR=/old\n");
        QCOMPARE(SettingsStore(File()).WriteSetting("DIR", dir), QString());
        Settings s;
        QVERIFY(SettingsStore(File()).LoadSettings(s));
        QCOMPARE(s.m_strDir, NormaliseDir(dir));
        QCOMPARE(s.m_fLeftPreset, 90.0);
        // Still the text an INI reader of QSettings finds, as older versions read the file.
        QCOMPARE(QSettings(File(), QSettings::IniFormat).value(QStringLiteral("DIR")).toString(), dir);
    }

    void handWritten_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("dir");
        QTest::newRow("comma") << QByteArray("DIR=/media/club, games") << true << "/media/club, games/";
        QTest::newRow("semicolon") << QByteArray("DIR=/media/a;b") << true << "/media/a;b/";
        QTest::newRow("backslash") << QByteArray("DIR = d:\\pics\\ ") << true << "d:\\pics\\/";
        QTest::newRow("tab escape is no escape") << QByteArray("DIR=c:\\temp") << true << "c:\\temp/";
        QTest::newRow("quoted") << QByteArray("DIR=\"/media/club, games\"") << true << "/media/club, games/";
        QTest::newRow("as QSettings writes") << QByteArray("DIR=d:\\\\pics") << true << "d:\\pics/";
        QTest::newRow("windows line end") << QByteArray("DIR=/pics\r") << true << "/pics/";
        QTest::newRow("empty") << QByteArray("DIR=") << true << "";
        QTest::newRow("quote left open") << QByteArray("DIR=\"/media/x") << false << "";
        QTest::newRow("text after the quote") << QByteArray("DIR=\"/a\" b") << false << "";
        QTest::newRow("Latin-1 bytes") << QByteArray("DIR=/media/\xe9t\xe9") << false << "";
    }
    void handWritten()
    {
        QFETCH(QByteArray, line);
        WriteFile(File(), QByteArray("\xEF\xBB\xBF; by hand\n[General]\n") + kOtherSix + line + '\n');
        Settings s;
        QTEST(SettingsStore(File()).LoadSettings(s), "readable");
        QTEST(s.m_strDir, "dir");
        QCOMPARE(s.m_fLeftPreset, 90.0);
    }

    void unreadableValueSurvivesAWrite()
    {
        WriteFile(File(), QByteArray("[General]\n") + kOtherSix + "DIR=\"/media/x\n");
        QCOMPARE(SettingsStore(File()).WriteSetting("LTIME", QStringLiteral("120")), QString());
        QFile f(File());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY2(text.contains("\nDIR=\"/media/x\n") && text.contains("\nLTIME=120\n"), text.constData());
    }

    void refusedWritesSaySoAndChangeNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("dir");
        QTest::newRow("line break") << File() << "/media/a\nb";
        QTest::newRow("file beneath a file") << File() + "/Orvelle.conf"
                                             << "/media/a";
    }
    void refusedWritesSaySoAndChangeNothing()
    {
        QFETCH(QString, file);
        QFETCH(QString, dir);
        WriteFile(File(), QByteArray("[General]\n") + kOtherSix + "DIR=/old\n");
        QVERIFY(!SettingsStore(file).WriteSetting("DIR", dir).isEmpty());
        Settings s;
        QVERIFY(SettingsStore(File()).LoadSettings(s));
        QCOMPARE(s.m_strDir, QStringLiteral("/old/"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
