#include "CMakingDlg.h"
#include "Cases.h"
#include "MessageCatcher.h"
#include "Pictures.h"
#include "TestMain.h"

#include <QProgressBar>
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
    int Run(const QString& folder, int plies, QStringList* bar,
            const std::function<void(QWidget*)>& press = {}, bool midRun = true)
    {
        CMakingDlg making;
        making.m_strDir = folder;
        making.m_dFps = 2.0;
        making.m_nPlies = plies;
        making.m_bVideoClocks = bool(press);
        QObject::connect(making.findChild<QProgressBar*>("IDC_PROGRESS"), &QProgressBar::valueChanged,
                         [&](int v) {
                             if ((*bar << QString::number(v)).size() == 2 && press && midRun)
                                 press(&making);
                         });
        if (press && !midRun)
            QTimer::singleShot(0, &making, [&] { press(&making); });
        QTimer::singleShot(15000, &making, [&] { making.done(-1); }); // a dialog that stays open fails
        return making.exec();
    }

private slots:
    void progressAndMessages_data() { ORVELLE_CASES("making.cases", "progress"); }
    void progressAndMessages()
    {
        const int plies = IntCell("plies");
        const QString spoil = Cell("spoil"), folder = NewFolder();
        WriteGamePictures(Path(folder), 1, plies, {320, 240}, {spoil == "first" ? 1 : 0});
        if (spoil == "writer")
            fs::create_directories(Path(folder) / "output.avi.part");
        MessageCatcher catcher(false);
        QStringList bar;
        QCOMPARE(Run(folder, plies, &bar), int(spoil.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(bar.join(u' '), Cell("bar"));
        QCOMPARE(catcher.texts, QStringList{Cell("message").replace("%1", folder)});
        QCOMPARE(FramesIn(folder), spoil.isEmpty() ? plies : 0); // no frame: no video at all
    }

    void keys_data() { ORVELLE_CASES("making.cases", "keys"); }
    void keys()
    {
        const QMap<QString, Qt::Key> keys{{"Space", Qt::Key_Space},
                                          {"Escape", Qt::Key_Escape},
                                          {"Shift", Qt::Key_Shift},
                                          {"Control", Qt::Key_Control}};
        const Qt::Key key = keys.value(Cell("key"));
        const int frames = IntCell("frames");
        const QString folder = NewFolder();
        WriteGamePictures(Path(folder), 1, 200, {640, 480});
        std::ofstream(Path(folder) / "output.avi") << "an older video";
        MessageCatcher catcher(false);
        QStringList bar;
        QVERIFY(Run(
                    folder, 200, &bar, [key](QWidget* w) { QTest::keyClick(w, key); }, IntCell("midRun")) >=
                0);
        QCOMPARE(catcher.texts.join(u'|'), Cell("message"));
        std::string old;
        std::getline(std::ifstream(Path(folder) / "output.avi"), old);
        QCOMPARE(old == "an older video", frames == -2);
        const int made = FramesIn(folder);
        QVERIFY2(frames == -1 ? made >= 1 && made < 200 : made == std::max(frames, 0),
                 qPrintable(QString::number(made)));
    }

    void destroyedMidAssembly()
    {
        const QString folder = NewFolder();
        WriteGamePictures(Path(folder), 1, 300, {640, 480});
        auto* making = new CMakingDlg;
        making->m_strDir = folder;
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
        cv::Mat frame; // a video of the frames made so far, as large as the pictures
        QVERIFY(cv::VideoCapture((Path(folder) / "output.avi").string(), cv::CAP_FFMPEG).read(frame));
        QCOMPARE(frame.cols, 640);
    }
};

ORVELLE_TEST_MAIN(TestMaking)
#include "tst_making.moc"
