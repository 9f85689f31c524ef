#include "CSettingsDlg.h"
#include "Identifiers.h"
#include "SettingsFile.h"
#include "TestMain.h"
#include "TestVideo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
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
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("refusal");
        const QString video = m_dir.filePath("board.avi"), none;
        QVERIFY(WriteTestVideo(video.toStdString(), 3));
        QTest::newRow("new folder and control") << m_dir.filePath("club, games/") << none << "180+2" << none;
        QTest::newRow("folder ending in a blank") << m_dir.filePath("games ") << none << none << none;
        QTest::newRow("source that plays") << "/old/" << video << none << none;
        QTest::newRow("folder beneath a file") << video + "/pictures/" << none << none << "cannot be created";
        QTest::newRow("source with no picture") << "/old/" << m_dir.filePath("none.avi") << none << "gives no picture";
        QTest::newRow("control with no bonus") << "/old/" << none << "180+" << "bonus";
    }
    void okWritesWhatChangedOrRefuses()
    {
        QFETCH(QString, folder);
        QFETCH(QString, source);
        QFETCH(QString, control);
        QFETCH(QString, refusal);
        const QString file = m_dir.filePath(QString("%1.conf").arg(QTest::currentDataTag()));
        WriteSettingsFile(file, {{"DIR", "/old/"}, {"DELAY_TYPE", "2"}});
        SettingsStore store(file);
        Settings current;
        QVERIFY(store.LoadSettings(current));
        QVERIFY(!CSettingsDlg(store, current, false).findChild<QWidget*>(ORVELLE_ID(IDC_SETTINGS_TIME_CONTROL))->isEnabled());

        CSettingsDlg dialog(store, current);
        dialog.findChild<QTimeEdit*>(ORVELLE_ID(IDC_SETTINGS_LEFT_TIME))->setTime(QTime(0, 1, 30));
        dialog.findChild<QLineEdit*>(ORVELLE_ID(IDC_SETTINGS_DIR))->setText(folder);
        dialog.findChild<QLineEdit*>(ORVELLE_ID(IDC_SETTINGS_SOURCE))->setText(source);
        dialog.findChild<QLineEdit*>("timeControlText")->setText(control);
        dialog.findChild<QCheckBox*>(ORVELLE_ID(IDC_SETTINGS_SOUND))->setChecked(true);
        auto* size = dialog.findChild<QComboBox*>(ORVELLE_ID(IDC_SETTINGS_SIZE));
        size->setCurrentIndex(size->findData(16001200));
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();

        const QString copy = file + ".read";
        QVERIFY(QFile::copy(file, copy)); // a file QSettings has not seen, so it is read from the disk
        Settings read;
        QVERIFY(SettingsStore(copy).LoadSettings(read));
        const bool taken = refusal.isEmpty();
        QCOMPARE(dialog.result() == QDialog::Accepted, taken);
        // Says why: under the field for a time control, above the buttons for the rest.
        QVERIFY((dialog.findChild<QLabel*>("settingsError")->text() +
                 dialog.findChild<QLabel*>("timeControlVerdict")->text()).contains(refusal));
        QCOMPARE(read.m_fLeftPreset, taken ? 90.0 : 300.0);
        QCOMPARE(read.m_strDir, taken ? NormaliseDir(folder) : QString("/old/"));
        QCOMPARE(read.m_strCamUrl, taken ? source : QString());
        QCOMPARE(read.m_strTimeControl, taken ? control : QString());
        QCOMPARE(read.m_nDelayDelta, taken && !control.isEmpty() ? 2 : 12); // the Bronstein delay, now of 2 s
        QCOMPARE(read.m_nDelayType, 2);
        QCOMPARE(read.m_bSound, taken);
        QCOMPARE(read.m_nResolution, taken ? 16001200 : 640480);
    }
};

ORVELLE_TEST_MAIN(TestSettingsDlg)
#include "tst_settingsdlg.moc"
