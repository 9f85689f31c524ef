#include "CMakingDlg.h"
#include "COrvelleDlg.h"
#include "CSplashWnd.h"
#include "MessageCatcher.h"
#include "Pictures.h"
#include "SettingsFile.h"
#include "TestMain.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>
#include <opencv2/videoio.hpp>

namespace fs = std::filesystem;

class TestMaking : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_case = 0;

    QString NewFolder() { return m_dir.filePath(QStringLiteral("case%1/").arg(++m_case)); }
    static fs::path Path(const QString& folder) { return fs::path(folder.toStdString()); }
    static int FramesIn(const QString& folder)
    {
        return int(cv::VideoCapture((Path(folder) / "output.avi").string(), cv::CAP_FFMPEG)
                       .get(cv::CAP_PROP_FRAME_COUNT));
    }

    /// Runs the dialog over game 1; the bar's values land in bar. A key test gets press, mid-run (at
    /// the first frame, with the clocks drawn in to slow the frames) or before the assembly starts.
    int Run(const QString& folder, int plies, QList<int>* bar,
            const std::function<void(QWidget*)>& press = {}, bool midRun = true)
    {
        CMakingDlg making;
        making.m_strDir = folder;
        making.m_dFps = 2.0;
        making.m_nPlies = plies;
        making.m_bVideoClocks = bool(press);
        QObject::connect(making.findChild<QProgressBar*>("IDC_PROGRESS"), &QProgressBar::valueChanged,
                         [&](int v) {
                             if ((*bar << v).size() == 2 && press && midRun)
                                 press(&making);
                         });
        if (press && !midRun)
            QTimer::singleShot(0, &making, [&] { press(&making); });
        QTimer::singleShot(15000, &making, [&] { making.done(-1); }); // a dialog that stays open fails
        return making.exec();
    }

private slots:
    void progressAndMessages_data()
    {
        QTest::addColumn<int>("plies");
        QTest::addColumn<QString>("spoil"); // "first": no first picture; "writer": the video can't be written
        QTest::addColumn<QList<int>>("bar");
        QTest::addColumn<QString>("message");
        QTest::newRow("5 plies") << 5 << "" << QList<int>{0, 250, 500, 750, 1000} << "Video (output.avi) created";
        QTest::newRow("1 ply") << 1 << "" << QList<int>{0} << "Video (output.avi) created";
        QTest::newRow("first picture missing") << 3 << "first" << QList<int>{0} << "Error. Can't find game01move001a.jpg in %1!";
        QTest::newRow("writer fails") << 3 << "writer" << QList<int>{0} << "Error. Can't write %1output.avi!";
    }
    void progressAndMessages()
    {
        QFETCH(int, plies);
        QFETCH(QString, spoil);
        QFETCH(QString, message);
        const QString folder = NewFolder();
        WriteGamePictures(Path(folder), 1, plies, {320, 240}, {spoil == "first" ? 1 : 0});
        if (spoil == "writer")
            fs::create_directories(Path(folder) / "output.avi.part");
        MessageCatcher catcher(false);
        QList<int> bar;
        QCOMPARE(Run(folder, plies, &bar), int(spoil.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        QTEST(bar, "bar");
        QCOMPARE(catcher.texts, QStringList{QString(message).replace("%1", folder)});
        QCOMPARE(FramesIn(folder), spoil.isEmpty() ? plies - 1 : 0);
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("midRun"); // else before the assembly starts
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("frames"); // -1: some but not all; -2: the older video stays
        const QStringList created{"Video (output.avi) created"};
        QTest::newRow("Space mid-run: stops, reported") << int(Qt::Key_Space) << true << created << -1;
        QTest::newRow("Escape mid-run: closes") << int(Qt::Key_Escape) << true << QStringList{} << -1;
        QTest::newRow("Shift mid-run: goes on") << int(Qt::Key_Shift) << true << created << 199;
        QTest::newRow("Control mid-run: goes on") << int(Qt::Key_Control) << true << created << 199;
        QTest::newRow("Space before the start: closes") << int(Qt::Key_Space) << false << QStringList{} << -2;
        QTest::newRow("Escape before the start: closes") << int(Qt::Key_Escape) << false << QStringList{} << -2;
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(bool, midRun);
        QFETCH(int, frames);
        const QString folder = NewFolder();
        WriteGamePictures(Path(folder), 1, 200, {640, 480});
        std::ofstream(Path(folder) / "output.avi") << "an older video";
        MessageCatcher catcher(false);
        QList<int> bar;
        QVERIFY(Run(
                    folder, 200, &bar, [key](QWidget* w) { QTest::keyClick(w, Qt::Key(key)); }, midRun) >= 0);
        QTEST(catcher.texts, "messages");
        std::string old;
        std::getline(std::ifstream(Path(folder) / "output.avi"), old);
        QCOMPARE(old == "an older video", frames == -2);
        const int made = FramesIn(folder);
        QVERIFY2(frames == -1 ? made >= 1 && made < 199 : made == std::max(frames, 0),
                 qPrintable(QString::number(made)));
    }

    void makeVideoBeforeAnyGameNamesGameZero()
    {
        const QString folder = NewFolder();
        const QString file = m_dir.filePath("Orvelle.conf");
        WriteSettingsFile(
            file, {{"DIR", folder},
                   {"CAM_URL", "videotestsrc ! video/x-raw,width=160,height=120 ! videoconvert ! appsink"}});
        DialogSeams seams;
        seams.store = std::make_shared<SettingsStore>(file);
        MessageCatcher catcher(false);
        COrvelleDlg dialog(seams);
        CSplashWnd::EnableSplashScreen(false);
        dialog.findChild<QCheckBox*>("IDC_TAKE_PICTURES")->click();
        QTRY_VERIFY(fs::exists(Path(folder))); // the camera has opened
        dialog.findChild<QPushButton*>("IDC_RESET")->click();
        dialog.findChild<QPushButton*>("IDC_MAKE_VIDEO")->click();
        QCOMPARE(catcher.texts, QStringList{"Error. Can't find game00move001a.jpg in " + folder + "!"});
    }
};

ORVELLE_TEST_MAIN(TestMaking)
#include "tst_making.moc"
