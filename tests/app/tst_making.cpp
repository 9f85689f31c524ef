#include "CMakingDlg.h"
#include "COrvelleDlg.h"
#include "CSplashWnd.h"
#include "ClockState.h"
#include "MessageCatcher.h"
#include "Pictures.h"
#include "SettingsFile.h"
#include "TestMain.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <opencv2/videoio.hpp>

#include <fstream>

namespace fs = std::filesystem;

namespace {
int FramesIn(const fs::path& video)
{
    cv::VideoCapture capture(video.string(), cv::CAP_FFMPEG);
    int frames = 0;
    cv::Mat frame;
    while (capture.read(frame))
        ++frames;
    return frames;
}
} // namespace

class TestMaking : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_case = 0;

    QString NewFolder() { return m_dir.filePath(QStringLiteral("case%1/").arg(++m_case)); }
    static fs::path Path(const QString& folder) { return fs::path(folder.toStdString()); }

    /// Runs the dialog for one game; the bar's values and the messages land in the given lists.
    int Run(const QString& folder, int game, int plies, QList<int>* bar, MessageCatcher& catcher,
            const std::function<void(CMakingDlg&)>& whileShown = {})
    {
        CMakingDlg making;
        making.m_strDir = folder;
        making.m_dFps = 2.0;
        making.m_nGame = game;
        making.m_nPlies = plies;
        auto* progress = making.findChild<QProgressBar*>(QStringLiteral("IDC_PROGRESS"));
        QObject::connect(progress, &QProgressBar::valueChanged, [bar](int v) { *bar << v; });
        if (whileShown)
            QTimer::singleShot(0, &making, [&] { whileShown(making); });
        (void)catcher;
        return making.exec();
    }

private slots:
    void progressAndMessages_data()
    {
        QTest::addColumn<int>("plies");
        QTest::addColumn<QList<int>>("bar");
        QTest::addColumn<int>("frames");
        QTest::newRow("5 plies") << 5 << QList<int>{250, 500, 750, 1000} << 4;
        QTest::newRow("1 ply") << 1 << QList<int>{} << 0;
    }
    void progressAndMessages()
    {
        QFETCH(int, plies);
        const QString folder = NewFolder();
        WriteGamePictures(Path(folder), 1, plies);
        MessageCatcher catcher(false);
        QList<int> bar;
        QCOMPARE(Run(folder, 1, plies, &bar, catcher), int(QDialog::Accepted));
        bar.removeAll(0); // the reset to 0 at the start
        QTEST(bar, "bar");
        QCOMPARE(catcher.texts, QStringList{"Video (output.avi) created"});
        QTEST(FramesIn(Path(folder) / "output.avi"), "frames");
    }

    void firstPictureMissing()
    {
        const QString folder = NewFolder();
        WriteGamePictures(Path(folder), 3, 4, {320, 240}, {1});
        MessageCatcher catcher(false);
        QList<int> bar;
        QCOMPARE(Run(folder, 3, 4, &bar, catcher), int(QDialog::Rejected));
        QCOMPARE(catcher.texts, QStringList{"Error. Can't find game03move001a.jpg in " + folder + "!"});
        QVERIFY(!fs::exists(Path(folder) / "output.avi"));
    }

    void writerFailureIsNotReportedAsSuccess()
    {
        const QString folder = NewFolder();
        WriteGamePictures(Path(folder), 1, 3);
        fs::create_directories(Path(folder) / "output.avi");
        MessageCatcher catcher(false);
        QList<int> bar;
        QCOMPARE(Run(folder, 1, 3, &bar, catcher), int(QDialog::Rejected));
        QCOMPARE(catcher.texts.size(), 1);
        QVERIFY(catcher.texts.first().startsWith("Error. Can't write "));
        QVERIFY(catcher.texts.first().contains("output.avi"));
    }

    void stoppedEarlyLeavesAFinishedFile_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("a key: stops and reports") << int(Qt::Key_Space) << QStringList{"Video (output.avi) created"};
        QTest::newRow("Escape: closes") << int(Qt::Key_Escape) << QStringList{};
    }
    void stoppedEarlyLeavesAFinishedFile()
    {
        QFETCH(int, key);
        const QString folder = NewFolder();
        WriteGamePictures(Path(folder), 1, 400, {640, 480});
        MessageCatcher catcher(false);
        QList<int> bar;
        Run(folder, 1, 400, &bar, catcher, [&](CMakingDlg& making) {
            QTRY_VERIFY(!bar.isEmpty() && bar.last() > 0);
            QTest::keyClick(&making, Qt::Key(key));
        });
        QTEST(catcher.texts, "messages");
        const int frames = FramesIn(Path(folder) / "output.avi");
        QVERIFY2(frames >= 1 && frames < 399, qPrintable(QString::number(frames)));
    }

    void makeVideoBeforeAnyGameNamesGameZero()
    {
        const QString folder = NewFolder();
        const QString file = m_dir.filePath("Orvelle.conf");
        WriteSettingsFile(file, {{"DIR", folder},
                                 {"CAM_URL", "videotestsrc ! video/x-raw,width=160,height=120 ! videoconvert ! appsink"}});
        DialogSeams seams;
        seams.store = std::make_shared<SettingsStore>(file);
        MessageCatcher catcher(false);
        COrvelleDlg dialog(seams);
        CSplashWnd::EnableSplashScreen(false);
        dialog.findChild<QCheckBox*>("IDC_TAKE_PICTURES")->click();
        QTRY_VERIFY(fs::exists(Path(folder))); // the camera has opened
        auto* makeVideo = dialog.findChild<QPushButton*>("IDC_MAKE_VIDEO");
        dialog.findChild<QPushButton*>("IDC_RESET")->click();
        QVERIFY(makeVideo->isEnabled());
        makeVideo->click();
        QCOMPARE(catcher.texts, QStringList{"Error. Can't find game00move001a.jpg in " + folder + "!"});
    }
};

ORVELLE_TEST_MAIN(TestMaking)
#include "tst_making.moc"
