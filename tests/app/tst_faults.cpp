#include "CMakingDlg.h"
#include "COrvelleDlg.h"
#include "CSplashWnd.h"
#include "ClockState.h"
#include "Fakes.h"
#include "Pictures.h"
#include "SettingsFile.h"
#include "TestMain.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>

#include <opencv2/videoio.hpp>

namespace fs = std::filesystem;

/// The windows going away at the worst moments.
class TestFaults : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void windowClosedWhileTheCameraMessageIsUp()
    {
        const QString file = m_dir.filePath("Orvelle.conf");
        WriteSettingsFile(file, {{"CAM_URL", "/nonexistent/camera.avi"}});
        DialogSeams seams;
        seams.store = std::make_shared<SettingsStore>(file);
        seams.keys = std::make_shared<FakeShiftKeys>();
        CSplashWnd::EnableSplashScreen(false);
        auto* dialog = new COrvelleDlg(seams);
        dialog->findChild<QCheckBox*>("IDC_TAKE_PICTURES")->click();

        // The engine now waits for the message to be dismissed; the window goes instead.
        bool sawMessage = false;
        QElapsedTimer timer;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (dialog && qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                sawMessage = true;
                timer.start();
                delete dialog;
                dialog = nullptr;
            }
        });
        poll.start(20);
        QTRY_VERIFY(sawMessage);
        QVERIFY(!dialog);
        QVERIFY2(timer.elapsed() < 4000, qPrintable(QString::number(timer.elapsed())));
        QTRY_VERIFY(!QApplication::activeModalWidget());
    }

    void makingDialogDestroyedMidAssembly()
    {
        const fs::path folder = fs::path(m_dir.filePath("making/").toStdString());
        WriteGamePictures(folder, 1, 300, {640, 480});
        auto* making = new CMakingDlg;
        making->m_strDir = QString::fromStdString(folder.string());
        making->m_dFps = 2.0;
        making->m_nGame = 1;
        making->m_nPlies = 300;
        making->m_bVideoClocks = true; // frames that are drawn on take long enough to be mid-assembly
        auto* bar = making->findChild<QProgressBar*>("IDC_PROGRESS");
        QTimer::singleShot(0, making, [&] {
            QTRY_VERIFY(bar->value() > 0);
            delete making; // the destructor stops the assembly and finishes the file
        });
        QPointer<CMakingDlg> guard(making);
        making->exec();
        QTRY_VERIFY(!guard);
        cv::VideoCapture video((folder / "output.avi").string(), cv::CAP_FFMPEG);
        QVERIFY(video.isOpened());
        cv::Mat frame;
        QVERIFY(video.read(frame));
        QCOMPARE(frame.cols, 640);
    }
};

ORVELLE_TEST_MAIN(TestFaults)
#include "tst_faults.moc"
