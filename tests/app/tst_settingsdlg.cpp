#include "CSettingsDlg.h"
#include "Identifiers.h"
#include "SettingsFile.h"
#include "TestMain.h"
#include "TestVideo.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimeEdit>

/// The settings dialog driven through its controls, against a real settings file.
class TestSettingsDlg : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void okWritesWhatChangedOrRefuses_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("refusal");
        const QString video = m_dir.filePath("board.avi"), none;
        QVERIFY(WriteTestVideo(video.toStdString(), 3));
        QTest::newRow("new folder") << m_dir.filePath("club, games/") << none << none;
        QTest::newRow("source that plays") << "/old/" << video << none;
        QTest::newRow("folder beneath a file") << video + "/pictures/" << none << "cannot be created";
        QTest::newRow("source with no picture") << "/old/" << m_dir.filePath("none.avi") << "gives no picture";
    }
    void okWritesWhatChangedOrRefuses()
    {
        QFETCH(QString, folder);
        QFETCH(QString, source);
        QFETCH(QString, refusal);
        const QString file = m_dir.filePath(QString("%1.conf").arg(QTest::currentDataTag()));
        WriteSettingsFile(file, {{"DIR", "/old/"}});
        SettingsStore store(file);
        Settings current;
        QVERIFY(store.LoadSettings(current));

        CSettingsDlg dialog(store, current);
        dialog.findChild<QTimeEdit*>(ORVELLE_ID(IDC_SETTINGS_LEFT_TIME))->setTime(QTime(0, 1, 30));
        dialog.findChild<QLineEdit*>(ORVELLE_ID(IDC_SETTINGS_DIR))->setText(folder);
        dialog.findChild<QLineEdit*>(ORVELLE_ID(IDC_SETTINGS_SOURCE))->setText(source);
        dialog.accept();

        const QString copy = file + ".read";
        QVERIFY(QFile::copy(file, copy)); // a file QSettings has not seen, so it is read from the disk
        Settings read;
        QVERIFY(SettingsStore(copy).LoadSettings(read));
        QCOMPARE(dialog.result() == QDialog::Accepted, refusal.isEmpty());
        QVERIFY(dialog.findChild<QLabel*>("settingsError")->text().contains(refusal));
        QCOMPARE(read.m_fLeftPreset, refusal.isEmpty() ? 90.0 : 300.0);
        QCOMPARE(read.m_strDir, refusal.isEmpty() ? folder : QString("/old/"));
        QCOMPARE(read.m_strCamUrl, refusal.isEmpty() ? source : QString());
    }
};

ORVELLE_TEST_MAIN(TestSettingsDlg)
#include "tst_settingsdlg.moc"
