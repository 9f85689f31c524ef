#include "CSettingsDlg.h"
#include "Cases.h"
#include "DialogRig.h"
#include "Identifiers.h"
#include "SettingsFile.h"
#include "TestMain.h"
#include "TestVideo.h"
#include "TimeControlDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTimeEdit>

/// The settings dialog driven through its controls, against a real settings file.
class TestSettingsDlg : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(WriteTestVideo(m_dir.filePath("board.avi").toStdString(), 3)); }

    void okWritesWhatChangedOrRefuses_data() { ORVELLE_CASES("settingsdlg.cases", "ok"); }
    void okWritesWhatChangedOrRefuses()
    {
        QString folder = Cell("folder").replace("%d", m_dir.path());
        QString source = Cell("source").replace("%d", m_dir.path());
        const QString url = Cell("url"), token = Cell("token");
        const QString control = Cell("control"), refusal = Cell("refusal");
        QTemporaryDir dir; // a folder of its own, for the broadcast's token beside the settings
        const QString file = dir.filePath("Orvelle.conf");
        WriteSettingsFile(file, {{"DIR", "/old/"}, {"DELAY_TYPE", "2"}, {"TIME_CONTROL", "300"}});
        SettingsStore store(file);
        Settings current;
        QVERIFY(store.LoadSettings(current));
        QVERIFY(!Find<QComboBox>(CSettingsDlg(store, current, false), ORVELLE_ID(IDC_SETTINGS_TIME_CONTROL))
                     ->isEnabled());

        CSettingsDlg dialog(store, current);
        dialog.show();
        auto* controls = Find<QComboBox>(dialog, ORVELLE_ID(IDC_SETTINGS_TIME_CONTROL));
        controls->setCurrentIndex(controls->findData(control));
        emit controls->activated(controls->currentIndex());
        // The clock times are set here only when no time control sets them; the dialog grows for them, and
        // the explanation below keeps all its lines.
        auto* left = Find<QTimeEdit>(dialog, ORVELLE_ID(IDC_SETTINGS_LEFT_TIME));
        QCOMPARE(left->isVisible(), control.isEmpty());
        auto* when = Find<QLabel>(dialog, "settingsWhen");
        QTRY_VERIFY(when->height() >= when->heightForWidth(when->width()) &&
                    dialog.rect().contains(when->geometry()));
        left->selectAll(); // typed over, as after Ctrl+A
        QTest::keyClicks(left, "10:00");
        Find<QComboBox>(dialog, ORVELLE_ID(IDC_SETTINGS_DELAY_TYPE))->setCurrentIndex(IntCell("type"));
        auto* delay = Find<QSpinBox>(dialog, ORVELLE_ID(IDC_SETTINGS_DELAY));
        QCOMPARE(delay->isEnabled(), control.isEmpty() && IntCell("type") != 0); // no seconds beside "None"
        delay->setValue(5);
        Find<QLineEdit>(dialog, ORVELLE_ID(IDC_SETTINGS_DIR))->setText(folder);
        Find<QLineEdit>(dialog, ORVELLE_ID(IDC_SETTINGS_SOURCE))->setText(source);
        Find<QCheckBox>(dialog, ORVELLE_ID(IDC_SETTINGS_SOUND))->setChecked(true);
        // A free port, or one another program holds.
        QTcpServer holder;
        QVERIFY(holder.listen(QHostAddress::LocalHost));
        const int port = holder.serverPort();
        if (Cell("port") != "held")
            holder.close();
        Find<QSpinBox>(dialog, ORVELLE_ID(IDC_SETTINGS_PORT))->setValue(port);
        Find<QCheckBox>(dialog, ORVELLE_ID(IDC_SETTINGS_LAN))->setChecked(true);
        Find<QLineEdit>(dialog, ORVELLE_ID(IDC_SETTINGS_BROADCAST))->setText(url);
        Find<QLineEdit>(dialog, ORVELLE_ID(IDC_SETTINGS_TOKEN))->setText(token);
        auto* size = Find<QComboBox>(dialog, ORVELLE_ID(IDC_SETTINGS_SIZE));
        size->setCurrentIndex(size->findData(16001200));
        const QSize before = dialog.size();
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();

        const QString copy = file + ".read";
        QVERIFY(QFile::copy(file, copy)); // a file QSettings has not seen, so it is read from the disk
        Settings read;
        QVERIFY(SettingsStore(copy).LoadSettings(read));
        const bool taken = refusal.isEmpty();
        QCOMPARE(dialog.result() == QDialog::Accepted, taken);
        QVERIFY2(Find<QLabel>(dialog, "settingsError")->text().contains(refusal),
                 qPrintable(Find<QLabel>(dialog, "settingsError")->text()));
        // It repeats what was typed: as written, not as markup.
        QCOMPARE(Find<QLabel>(dialog, "settingsError")->textFormat(), Qt::PlainText);
        QCOMPARE(dialog.size(), before); // a reason shown moves nothing
        QCOMPARE(read.m_fLeftPreset, taken && control.isEmpty() ? 600.0 : 300.0);
        QCOMPARE(read.m_strDir, taken ? NormaliseDir(folder) : QString("/old/"));
        // What the window applies is what was written.
        QVERIFY(dialog.Chosen().m_strDir == read.m_strDir &&
                dialog.Chosen().m_nResolution == read.m_nResolution);
        QCOMPARE(read.m_strCamUrl, taken ? source : QString());
        QCOMPARE(read.m_strTimeControl, taken ? control : QString("300"));
        QCOMPARE(read.m_nDelayType, taken ? IntCell("writtenType") : 2);
        QCOMPARE(read.m_nDelayDelta, taken ? IntCell("writtenDelay") : 12);
        QCOMPARE(read.m_bSound, taken);
        QCOMPARE(read.m_nResolution, taken ? 16001200 : 640480);
        QCOMPARE(read.m_nServePort, taken ? port : 0);
        QCOMPARE(read.m_bServeLan, taken);
        QCOMPARE(read.m_strBroadcastUrl, taken ? url : QString());
        // The token in a file of its own, for the user alone, and never in the settings.
        QFile settings(file), kept(dir.filePath("broadcast-token"));
        QVERIFY(settings.open(QIODevice::ReadOnly) && !settings.readAll().contains("lip_"));
        QCOMPARE(kept.exists(), taken && !token.isEmpty());
        if (kept.exists())
            QVERIFY(kept.permissions() == QFile::Permissions(0x6600) && kept.open(QIODevice::ReadOnly) &&
                    kept.readAll().trimmed() == token.toUtf8()); // 0x6600: read and write, the user alone
    }

    void otherAddsAControlInWords()
    {
        const QString file = m_dir.filePath("other.conf");
        WriteSettingsFile(file, {{"TIME_CONTROL", "40/7200:1800"}});
        SettingsStore store(file);
        Settings current;
        QVERIFY(store.LoadSettings(current));
        CSettingsDlg dialog(store, current);
        auto* controls = Find<QComboBox>(dialog, ORVELLE_ID(IDC_SETTINGS_TIME_CONTROL));
        QCOMPARE(controls->currentText(),
                 QStringLiteral("40 moves in 120 min, then 30 min")); // as players write it
        // "Other..." opens with the control in force selected: typing replaces it.
        QTimer::singleShot(0, this, [] {
            auto* other = qobject_cast<TimeControlDialog*>(QApplication::activeModalWidget());
            QVERIFY(other);
            auto* field = other->findChild<QLineEdit*>("timeControlText");
            QCOMPARE(field->selectedText(), QStringLiteral("40/7200:1800"));
            QTest::keyClicks(field, "900+10");
            other->accept();
        });
        controls->setCurrentIndex(controls->count() - 1);
        emit controls->activated(controls->currentIndex());
        QCOMPARE(controls->currentText(), QStringLiteral("15 min + 10 s"));
        QCOMPARE(Find<QSpinBox>(dialog, ORVELLE_ID(IDC_SETTINGS_DELAY))->value(), 10);
    }
};

ORVELLE_TEST_MAIN(TestSettingsDlg)
#include "tst_settingsdlg.moc"
