#include "CSplashWnd.h"
#include "COrvelleDlg.h"
#include "ClockState.h"
#include "Fakes.h"
#include "MessageCatcher.h"
#include "PreviewWindow.h"
#include "SettingsFile.h"
#include "SpinArrows.h"
#include "TestMain.h"
#include "TestVideo.h"

#include <QAction>
#include <QLabel>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>

#include <thread>

namespace {
/// Shift keys whose every query hangs, as a worker stuck in a slow call would.
class StuckKeys final : public ShiftKeys {
public:
    bool LeftPressed() override
    {
        std::this_thread::sleep_for(std::chrono::seconds(5));
        return false;
    }
    bool RightPressed() override { return false; }
};
} // namespace

class TestDialog : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::shared_ptr<FakeShiftKeys> m_keys;

    std::unique_ptr<COrvelleDlg> MakeDialog(const QMap<QString, QString>& values, const QString& leftOut = {})
    {
        const QString file = m_dir.filePath(QStringLiteral("Orvelle.conf"));
        WriteSettingsFile(file, values, leftOut);
        m_keys = std::make_shared<FakeShiftKeys>();
        DialogSeams seams;
        seams.keys = m_keys;
        seams.ticker = std::make_shared<FakeTicker>();
        seams.store = std::make_shared<SettingsStore>(file);
        auto dialog = std::make_unique<COrvelleDlg>(seams);
        CSplashWnd::EnableSplashScreen(false);
        return dialog;
    }
    template <class T>
    static T* Find(QWidget* dialog, const char* id)
    {
        T* w = dialog->findChild<T*>(QLatin1String(id));
        if (!w)
            qFatal("no control %s", id);
        return w;
    }
    static QString Text(QWidget* dialog, const char* id) { return Find<QLineEdit>(dialog, id)->text(); }

    QMap<QString, QString> CameraSettings(const QString& dir)
    {
        const QString video = m_dir.filePath(QStringLiteral("board.avi"));
        if (!QFile::exists(video))
            WriteTestVideo(video.toStdString(), 2000);
        return {{QStringLiteral("CAM_URL"), video}, {QStringLiteral("DIR"), dir}};
    }
    static void Tap(FakeShiftKeys::Key& key, ClockState& clock, int plies)
    {
        FakeShiftKeys::tap(key);
        QTRY_COMPARE(clock.m_nPlies.load(), plies);
    }

private slots:
    void missingCameraIsReportedAndRetried()
    {
        MessageCatcher catcher;
        auto d = MakeDialog({{QStringLiteral("CAM_URL"), QStringLiteral("/nonexistent/camera.avi")}});
        auto* check = Find<QCheckBox>(d.get(), "IDC_TAKE_PICTURES");
        check->click();
        QTRY_VERIFY(!check->isChecked());
        const QString message = QStringLiteral("Could not find camera! Please plug a camera in and try again.");
        QCOMPARE(catcher.texts, QStringList{message});
        check->click(); // checking again while the clocks wait tries again at once
        QTRY_COMPARE(catcher.texts.size(), 2);
        QTRY_VERIFY(!check->isChecked());
        FakeShiftKeys::tap(m_keys->left); // and the clocks work without pictures
        QTRY_VERIFY(!d->Clock().m_bArmed);
        QCOMPARE(catcher.texts.size(), 2);
    }

    void previewShowsTheCameraAndAKeyEndsTheEngine()
    {
        auto d = MakeDialog(CameraSettings(m_dir.filePath(QStringLiteral("preview"))));
        d->show();
        Find<QCheckBox>(d.get(), "IDC_TAKE_PICTURES")->click();
        PreviewWindow& preview = d->Preview();
        QTRY_VERIFY(preview.isVisible());
        QCOMPARE(preview.windowTitle(), QStringLiteral("Orvelle"));
        QTRY_COMPARE(preview.Frame().size(), QSize(320, 240));
        QCOMPARE(preview.size(), QSize(320, 240));

        QTest::keyClick(&preview, Qt::Key_Shift); // a clock press, not a key for the preview
        Tap(m_keys->right, d->Clock(), 0);
        QTRY_VERIFY(!d->Clock().m_bArmed);
        Tap(m_keys->left, d->Clock(), 1);

        QTest::keyClick(&preview, Qt::Key_Q);
        QTRY_VERIFY(!preview.isVisible());
        FakeShiftKeys::tap(m_keys->right);
        QTest::qWait(200);
        QCOMPARE(d->Clock().m_nPlies.load(), 1); // the engine has ended for the rest of the run

        Find<QPushButton>(d.get(), "IDC_RESET")->click();
        Find<SpinArrows>(d.get(), "IDC_LEFT_MIN_SPIN")->UpButton()->click();
        QCOMPARE(Text(d.get(), "IDC_LEFT_TIME"), QStringLiteral("06:00"));
        QCOMPARE(d->Clock().m_nLastGamePlies.load(), 1);
    }

    void unsavedPicturesAreShownAndTheGameGoesOn()
    {
        QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        auto d = MakeDialog(CameraSettings(blocker.fileName() + QStringLiteral("/pics")));
        auto* notice = d->findChild<QLabel*>(QStringLiteral("pictureNotice"));
        QVERIFY(notice);
        QVERIFY(notice->isHidden());
        Find<QCheckBox>(d.get(), "IDC_TAKE_PICTURES")->click();
        QTRY_VERIFY(d->Preview().isVisibleTo(nullptr) || !d->Preview().Frame().isNull());
        FakeShiftKeys::tap(m_keys->left);
        QTRY_VERIFY(!d->Clock().m_bArmed);
        Tap(m_keys->right, d->Clock(), 1);
        QTRY_VERIFY(!notice->isHidden());
        QVERIFY(notice->text().contains(QStringLiteral("game01move001a.jpg")));
        Tap(m_keys->left, d->Clock(), 2);
    }

    void initialTextsComeFromSettings_data()
    {
        QTest::addColumn<QString>("ltime");
        QTest::addColumn<QString>("leftOut");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("both readable") << "300" << "" << "05:00" << "03:00" << QStringList();
        QTest::newRow("LTIME missing") << "" << "LTIME" << "01:00" << "03:00"
                                       << QStringList{QStringLiteral("Error! Cannot find settings.")};
        QTest::newRow("LTIME clamped") << "99999" << "" << "59:59" << "03:00" << QStringList();
    }
    void initialTextsComeFromSettings()
    {
        QFETCH(QString, ltime);
        QFETCH(QString, leftOut);
        MessageCatcher catcher;
        auto d = MakeDialog({{QStringLiteral("LTIME"), ltime}, {QStringLiteral("RTIME"), QStringLiteral("180")}}, leftOut);
        QTEST(Text(d.get(), "IDC_LEFT_TIME"), "left");
        QTEST(Text(d.get(), "IDC_RIGHT_TIME"), "right");
        QTEST(catcher.texts, "messages");
        for (const QString& caption : catcher.captions)
            QCOMPARE(caption, QStringLiteral("Orvelle"));
    }

    void spinnersAtFloorAndCeiling_data()
    {
        QTest::addColumn<QString>("ltime");
        QTest::addColumn<QString>("spin");
        QTest::addColumn<QString>("arrow");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("preset");
        QTest::newRow("minute up") << "300" << "IDC_LEFT_MIN_SPIN" << "up" << 1 << "06:00" << 360.0;
        QTest::newRow("second down") << "300" << "IDC_LEFT_SEC_SPIN" << "down" << 1 << "04:59" << 299.0;
        QTest::newRow("minute down to the floor") << "30" << "IDC_LEFT_MIN_SPIN" << "down" << 1 << "00:01" << 1.0;
        QTest::newRow("second down at the floor") << "1" << "IDC_LEFT_SEC_SPIN" << "down" << 3 << "00:01" << 1.0;
        QTest::newRow("minute up to the ceiling") << "3570" << "IDC_LEFT_MIN_SPIN" << "up" << 1 << "59:59" << 3599.0;
        QTest::newRow("up at the ceiling") << "3599" << "IDC_LEFT_SEC_SPIN" << "up" << 2 << "59:59" << 3599.0;
    }
    void spinnersAtFloorAndCeiling()
    {
        QFETCH(QString, ltime);
        QFETCH(QString, spin);
        QFETCH(QString, arrow);
        QFETCH(int, clicks);
        auto d = MakeDialog({{QStringLiteral("LTIME"), ltime}});
        auto* spinner = Find<SpinArrows>(d.get(), spin.toLatin1().constData());
        for (int i = 0; i < clicks; ++i)
            (arrow == u"up" ? spinner->UpButton() : spinner->DownButton())->click();
        QTEST(Text(d.get(), "IDC_LEFT_TIME"), "text");
        QTEST(d->Clock().m_fLeftPreset.load(), "preset");
        QCOMPARE(Text(d.get(), "IDC_RIGHT_TIME"), QStringLiteral("05:00"));
    }

    void rightSpinnersMoveTheRightClock()
    {
        auto d = MakeDialog({});
        Find<SpinArrows>(d.get(), "IDC_RIGHT_MIN_SPIN")->DownButton()->click();
        Find<SpinArrows>(d.get(), "IDC_RIGHT_SEC_SPIN")->UpButton()->click();
        QCOMPARE(Text(d.get(), "IDC_RIGHT_TIME"), QStringLiteral("04:01"));
        QCOMPARE(Text(d.get(), "IDC_LEFT_TIME"), QStringLiteral("05:00"));
    }

    void enablingAcrossStartAndReset_data()
    {
        QTest::addColumn<bool>("takePictures");
        QTest::newRow("pictures off") << false;
        QTest::newRow("pictures on") << true;
    }
    void enablingAcrossStartAndReset()
    {
        QFETCH(bool, takePictures);
        auto d = MakeDialog(CameraSettings(m_dir.filePath(QStringLiteral("enabling"))));
        auto* check = Find<QCheckBox>(d.get(), "IDC_TAKE_PICTURES");
        auto* video = Find<QPushButton>(d.get(), "IDC_MAKE_VIDEO");
        const QList<SpinArrows*> spins = d->findChildren<SpinArrows*>();
        QCOMPARE(spins.size(), 4);
        QVERIFY(!video->isEnabled());
        QVERIFY(check->isEnabled() && !check->isChecked());
        check->setChecked(takePictures);

        FakeShiftKeys::tap(m_keys->left);
        QTRY_VERIFY(!check->isEnabled());
        for (SpinArrows* s : spins)
            QVERIFY(!s->isEnabled());
        QVERIFY(!video->isEnabled());
        QTRY_COMPARE(Text(d.get(), "IDC_LEFT_TIME"), QStringLiteral("05:00"));

        Find<QPushButton>(d.get(), "IDC_RESET")->click();
        for (SpinArrows* s : spins)
            QVERIFY(s->isEnabled());
        QCOMPARE(video->isEnabled(), takePictures);
        QVERIFY(!check->isEnabled()); // picture taking is chosen once, before the first game
        QVERIFY(d->Clock().m_bArmed);
    }

    void makeVideoPreconditions()
    {
        MessageCatcher catcher;
        auto d = MakeDialog(CameraSettings(m_dir.filePath(QStringLiteral("preconditions"))));
        auto* check = Find<QCheckBox>(d.get(), "IDC_TAKE_PICTURES");
        d->OnBnClickedMakeVideo(); // unchecked: nothing at all
        check->setChecked(true);
        FakeShiftKeys::tap(m_keys->right);
        QTRY_VERIFY(!d->Clock().m_bArmed);
        d->OnBnClickedMakeVideo();
        QCOMPARE(catcher.texts, QStringList{QStringLiteral("Click reset first, then Make Video")});
    }

    void aboutEntryOpensTheAboutBox()
    {
        MessageCatcher catcher;
        auto d = MakeDialog({});
        QAction* about = d->findChild<QAction*>(QStringLiteral("IDM_ABOUTBOX"));
        QVERIFY(about);
        QCOMPARE(about->text(), QStringLiteral("&About Orvelle..."));
        // A separator and the About entry close the window's menu, as they close a system menu.
        QCOMPARE(d->actions().last(), about);
        QCOMPARE(d->actions().at(d->actions().size() - 2)->isSeparator(), true);
        QCOMPARE(about->shortcut(), QKeySequence(QKeySequence::HelpContents));
        about->trigger();
        QCOMPARE(catcher.texts, QStringList{QStringLiteral("About Orvelle")});
    }

    void splashIsSingleAndGoesByItself()
    {
        auto d = MakeDialog({});
        d->show();
        CSplashWnd::EnableSplashScreen(true);
        CSplashWnd::ShowSplashScreen(d.get());
        CSplashWnd* splash = CSplashWnd::Current();
        QVERIFY(splash);
        QCOMPARE(splash->size(), QSize(350, 324));
        CSplashWnd::ShowSplashScreen(d.get());
        QCOMPARE(CSplashWnd::Current(), splash);
        QCOMPARE(d->findChildren<CSplashWnd*>().size(), 1);
        QTest::mouseClick(splash, Qt::LeftButton); // clicks do not close it
        QCOMPARE(CSplashWnd::Current(), splash);
        QTRY_VERIFY_WITH_TIMEOUT(!CSplashWnd::Current(), 5000);
    }

    void closingReturnsWhenTheWorkerIsStuck()
    {
        const QString file = m_dir.filePath(QStringLiteral("stuck.conf"));
        DialogSeams seams;
        seams.keys = std::make_shared<StuckKeys>();
        seams.store = std::make_shared<SettingsStore>(file);
        seams.store->CreateDefaultSettings();
        auto d = std::make_unique<COrvelleDlg>(seams);
        QTest::qWait(50); // let the worker get stuck in its first query
        QElapsedTimer timer;
        timer.start();
        d.reset();
        // Bounded by the one-second wait; the margin is for a loaded machine.
        QVERIFY2(timer.elapsed() < 4000, qPrintable(QString::number(timer.elapsed())));
    }
};

ORVELLE_TEST_MAIN(TestDialog)
#include "tst_dialog.moc"
