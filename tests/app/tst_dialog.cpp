#include "CAboutDlg.h"
#include "Cases.h"
#include "DialogRig.h"
#include "MessageCatcher.h"
#include "PreviewWindow.h"
#include "SpinArrows.h"
#include "TestMain.h"
#include "TestVideo.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <opencv2/videoio.hpp>
#include <thread>

class TestDialog : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString Conf() const { return m_dir.filePath(QStringLiteral("Orvelle.conf")); }

    /// Settings for a camera over a test video, its pictures going to folder.
    QMap<QString, QString> CameraSettings(const QString& folder)
    {
        const QString video = m_dir.filePath(QStringLiteral("board.avi"));
        if (!QFile::exists(video))
            WriteTestVideo(video.toStdString(), 2000);
        return {{"CAM_URL", video}, {"DIR", folder}};
    }

    QList<QUrl> m_opened; // what the links opened

public slots:
    void opened(const QUrl& url) { m_opened << url; }

private slots:
    void initialTextsComeFromSettings_data() { ORVELLE_CASES("dialog.cases", "texts"); }
    void initialTextsComeFromSettings()
    {
        MessageCatcher catcher;
        DialogRig rig(Conf(), {{"LTIME", Cell("ltime")}, {"RTIME", "180"}}, Cell("leftOut"));
        QCOMPARE(rig.text("IDC_LEFT_TIME"), Cell("left"));
        QCOMPARE(rig.text("IDC_RIGHT_TIME"), QStringLiteral("03:00"));
        QCOMPARE(catcher.texts.join(u'|'), Cell("message"));
        QCOMPARE(rig.find<QLabel>("pictureNotice")->text(), Cell("notice").replace("%f", Conf()));
        QVERIFY(catcher.captions.count(QStringLiteral("Orvelle")) == catcher.captions.size());
    }

    void spinners_data() { ORVELLE_CASES("dialog.cases", "spinners"); }
    void spinners()
    {
        DialogRig rig(Conf(), {{"TIME_CONTROL", Cell("control")}});
        auto* spinner = rig.find<SpinArrows>(Cell("spin").toLatin1().constData());
        (IntCell("up") ? spinner->UpButton() : spinner->DownButton())->click();
        QCOMPARE(rig.text("IDC_LEFT_TIME"), Cell("left"));
        QCOMPARE(rig.text("IDC_RIGHT_TIME"), Cell("right"));
        QCOMPARE(rig.find<QLabel>("timeControl")->text(), Cell("words"));
        // The presets follow, so Reset comes back to the spun times.
        rig.find<QPushButton>("IDC_RESET")->click();
        QCOMPARE(rig.text("IDC_LEFT_TIME"), Cell("left"));
        QCOMPARE(rig.text("IDC_RIGHT_TIME"), Cell("right"));
    }

    void theDisplayFollowsARunningClock_data() { ORVELLE_CASES("dialog.cases", "running"); }
    void theDisplayFollowsARunningClock()
    {
        DialogRig rig(Conf(), {{"RTIME", Cell("rtime")}, {"DELAY_TYPE", Cell("delay")}});
        rig.dialog->show();
        FakeShiftKeys::tap(rig.keys->left); // the right clock runs
        QTRY_VERIFY(!rig.clock().m_bArmed);
        for (const QString& shown : Cell("shown").split(QStringLiteral("; "))) {
            rig.ticker->advance(2'000'000'000);
            QTRY_COMPARE(rig.text("IDC_RIGHT_TIME"), shown);
        }
        QCOMPARE(rig.text("IDC_LEFT_TIME"), QStringLiteral("05:00"));
        QCOMPARE(rig.find<QLabel>("status")->text(), QStringLiteral("Move 1"));
    }

    void enablingAcrossStartAndReset()
    {
        for (const bool takePictures : {false, true}) {
            MessageCatcher catcher;
            DialogRig rig(Conf(), CameraSettings(m_dir.filePath(QStringLiteral("enabling"))));
            auto* check = rig.find<QCheckBox>("IDC_TAKE_PICTURES");
            auto* video = rig.find<QPushButton>("IDC_MAKE_VIDEO");
            const QList<SpinArrows*> spins = rig.dialog->findChildren<SpinArrows*>();
            QVERIFY(!video->isEnabled() && check->isEnabled());
            rig.dialog->OnBnClickedMakeVideo(); // no game yet: nothing at all
            check->setChecked(takePictures);

            FakeShiftKeys::tap(rig.keys->left);
            QTRY_VERIFY(!check->isEnabled());
            for (SpinArrows* s : spins)
                QVERIFY(!s->isEnabled());
            QVERIFY(!video->isEnabled());
            rig.dialog->OnBnClickedMakeVideo();
            QCOMPARE(catcher.texts, QStringList{"Click reset first, then Make Video"});

            rig.find<QPushButton>("IDC_RESET")->click();
            for (SpinArrows* s : spins)
                QVERIFY(s->isEnabled());
            QCOMPARE(video->isEnabled(), takePictures);
            QVERIFY(check->isEnabled()); // picture taking can be chosen again for the next game
        }
    }

    void missingCameraIsReportedAndRetried()
    {
        MessageCatcher catcher;
        DialogRig rig(Conf(), {{"CAM_URL", "/nonexistent/camera.avi"}});
        auto* check = rig.find<QCheckBox>("IDC_TAKE_PICTURES");
        for (int reports = 1; reports <= 2; ++reports) { // checking again while the clocks wait tries again
            check->click();
            QTRY_COMPARE(catcher.texts.size(), reports);
            QTRY_VERIFY(!check->isChecked());
        }
        QCOMPARE(catcher.texts.first(),
                 QStringLiteral("Could not find camera! Please plug a camera in and try again."));
        rig.tap(rig.keys->left, 0); // and the clocks work without pictures
        rig.tap(rig.keys->right, 1);
        QCOMPARE(catcher.texts.size(), 2);
    }

    void previewShowsTheCameraAndAKeyClosesItAlone()
    {
        MessageCatcher catcher(false); // the video's dialog stays open until the video is made
        DialogRig rig(Conf(), CameraSettings(m_dir.filePath(QStringLiteral("preview"))));
        rig.dialog->show();
        rig.find<QCheckBox>("IDC_TAKE_PICTURES")->click();
        PreviewWindow& preview = rig.dialog->Preview();
        QTRY_VERIFY(preview.isVisible());
        QTRY_COMPARE(preview.Frame().size(), QSize(320, 240));
        // In the main window, under the clocks: no part of a clock face, nor the picture's controls.
        const auto place = [&rig](const QWidget* w) {
            return QRect(w->mapTo(rig.dialog.get(), QPoint()), w->size());
        };
        QVERIFY(!preview.isWindow());
        for (const char* id : {"IDC_LEFT_TIME", "IDC_RIGHT_TIME", "IDC_TAKE_PICTURES", "IDC_MAKE_VIDEO"})
            QVERIFY(!place(&preview).intersects(place(rig.find(id)->parentWidget())));
        auto* shown = rig.find<QAction>("IDM_CAMERA_PICTURE");
        QCOMPARE(shown->shortcut(), QKeySequence(Qt::Key_F9));
        shown->trigger();
        QVERIFY(!preview.isVisible());
        shown->trigger();
        rig.find<QAction>("IDM_CAMERA_WINDOW")->trigger(); // the players' choice: a window of its own
        QTRY_VERIFY(preview.isWindow() && preview.isVisible());
        QVERIFY(preview.size() == QSize(320, 240) && preview.windowTitle() == QStringLiteral("Orvelle"));

        QTest::keyClick(&preview, Qt::Key_Shift); // a clock press, not a key for the preview
        FakeShiftKeys::tap(rig.keys->right);
        QTRY_VERIFY(!rig.clock().m_bArmed);
        rig.tap(rig.keys->left, 1);

        // A key typed into the camera's picture closes the camera, and nothing else: the game goes on
        // without pictures, the players are told, and the next game can take pictures again.
        auto* check = rig.find<QCheckBox>("IDC_TAKE_PICTURES");
        auto* notice = rig.find<QLabel>("pictureNotice");
        QTest::keyClick(&preview, Qt::Key_Q);
        QTRY_VERIFY(!preview.isVisible());
        QTRY_VERIFY(notice->text().contains("without pictures"));
        QVERIFY(!check->isChecked() && !notice->isHidden());
        rig.tap(rig.keys->right, 2);
        // Its pictures make its video after any number of Resets, with "Take pictures" unticked: a frame for
        // ply 1, the only ply with a picture. A notice belongs to its game.
        auto* video = rig.find<QPushButton>("IDC_MAKE_VIDEO");
        for (int reset = 0; reset < 2; ++reset) {
            rig.find<QPushButton>("IDC_RESET")->click();
            QVERIFY(video->isEnabled() && notice->isHidden());
        }
        video->click();
        QCOMPARE(catcher.texts, QStringList{"Video (output.avi) created"});
        const std::string made = m_dir.filePath(QStringLiteral("preview/output.avi")).toStdString();
        QCOMPARE(cv::VideoCapture(made, cv::CAP_FFMPEG).get(cv::CAP_PROP_FRAME_COUNT), 1.0);
        check->click();
        QTRY_VERIFY(preview.isVisible());
        rig.dialog.reset(); // the choice holds at the next start
        QVERIFY(DialogRig(Conf()).find<QAction>("IDM_CAMERA_WINDOW")->isChecked());
    }

    void unsavedPicturesAreShownAndTheGameGoesOn()
    {
        QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        DialogRig rig(Conf(), CameraSettings(blocker.fileName() + QStringLiteral("/pics")));
        auto* notice = rig.find<QLabel>("pictureNotice");
        QVERIFY(notice->isHidden());
        rig.find<QCheckBox>("IDC_TAKE_PICTURES")->click();
        QTRY_VERIFY(!rig.dialog->Preview().Frame().isNull());
        FakeShiftKeys::tap(rig.keys->left);
        QTRY_VERIFY(!rig.clock().m_bArmed);
        rig.tap(rig.keys->right, 1);
        // The starting position's picture fails first; the notice then names the latest one.
        QTRY_VERIFY(notice->text().contains(QStringLiteral("game01move001a.jpg")));
        QVERIFY(!notice->isHidden());
        // Names of files, of players, a service's error: no label takes what it shows for markup.
        for (const QLabel* label : rig.dialog->findChildren<QLabel*>())
            QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
        rig.tap(rig.keys->left, 2);
    }

    void aboutBoxAndSplash()
    {
        MessageCatcher catcher;
        DialogRig rig(Conf());
        auto* about = rig.find<QAction>("IDM_ABOUTBOX");
        QCOMPARE(about->text(), QStringLiteral("&About Orvelle..."));
        // A separator and the About entry close the window's menu, as they close a system menu.
        QCOMPARE(rig.dialog->actions().last(), about);
        QCOMPARE(rig.dialog->actions().at(rig.dialog->actions().size() - 2)->isSeparator(), true);
        QCOMPARE(about->shortcut(), QKeySequence(QKeySequence::HelpContents));
        about->trigger();
        QCOMPARE(catcher.texts, QStringList{"About Orvelle"});

        rig.dialog->show();
        CSplashWnd::EnableSplashScreen(true);
        CSplashWnd::ShowSplashScreen(rig.dialog.get());
        CSplashWnd* splash = CSplashWnd::Current();
        QVERIFY(splash);
        QCOMPARE(splash->size(), QSize(350, 324));
        CSplashWnd::ShowSplashScreen(rig.dialog.get()); // only one at a time
        QCOMPARE(rig.dialog->findChildren<CSplashWnd*>().size(), 1);
        QTest::mouseClick(splash, Qt::LeftButton); // clicks do not close it
        QCOMPARE(CSplashWnd::Current(), splash);
        QTRY_VERIFY_WITH_TIMEOUT(!CSplashWnd::Current(), 5000);

        // The window's link and the About box's open the manual that came with the program (the build
        // folder has it where an installation does), until the program has a site of its own.
        for (const char* scheme : {"file", "https"})
            QDesktopServices::setUrlHandler(scheme, this, "opened");
        rig.find<QPushButton>("IDC_WEBSITE")->click();
        CAboutDlg().findChild<QPushButton*>("IDC_FORUM_LINK")->click();
        for (const char* scheme : {"file", "https"})
            QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(m_opened.size(), 2);
        QVERIFY2(m_opened[0] == m_opened[1] && m_opened[0].fileName() == "README.md" &&
                     QFile::exists(m_opened[0].toLocalFile()),
                 qPrintable(m_opened[0].toString()));
    }

    void closingReturnsWhenTheWorkerIsStuck()
    {
        /// Shift keys whose every query hangs, as a worker stuck in a slow call would.
        struct StuckKeys final : ShiftKeys {
            bool LeftPressed() override
            {
                std::this_thread::sleep_for(std::chrono::seconds(5));
                return false;
            }
            bool RightPressed() override { return false; }
        };
        auto rig = std::make_unique<DialogRig>(Conf(), QMap<QString, QString>{}, QString(),
                                               std::make_shared<StuckKeys>());
        QTest::qWait(50); // let the worker get stuck in its first query
        QElapsedTimer timer;
        timer.start();
        rig.reset();
        // Bounded by the one-second wait; the margin is for a loaded machine.
        QVERIFY2(timer.elapsed() < 4000, qPrintable(QString::number(timer.elapsed())));
    }

    void windowClosedWhileTheCameraMessageIsUp()
    {
        auto rig = std::make_unique<DialogRig>(
            Conf(), QMap<QString, QString>{{"CAM_URL", "/nonexistent/camera.avi"}});
        rig->find<QCheckBox>("IDC_TAKE_PICTURES")->click();
        // The engine now waits for the message to be dismissed; the window goes instead, from inside
        // the message's own event loop.
        QElapsedTimer timer;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (rig && qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                timer.start();
                rig.reset();
            }
        });
        poll.start(20);
        QTRY_VERIFY(!rig);
        QVERIFY2(timer.elapsed() < 4000, qPrintable(QString::number(timer.elapsed())));
        QTRY_VERIFY(!QApplication::activeModalWidget());
    }
};

ORVELLE_TEST_MAIN(TestDialog)
#include "tst_dialog.moc"
