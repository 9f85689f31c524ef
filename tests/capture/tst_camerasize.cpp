#include "Camera.h"
#include "TestVideo.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
/// A camera over a real video file that refuses one size property, and like a V4L2 capture whose
/// format reset failed, gives no frame after that until it is opened again.
class SizeRefusingCapture final : public cv::VideoCapture {
public:
    SizeRefusingCapture(std::string file, int refused) : m_file(std::move(file)), m_refused(refused) {}
    bool open(int, int) override
    {
        ++opens;
        m_broken = false;
        return cv::VideoCapture::open(m_file, cv::CAP_FFMPEG);
    }
    bool set(int property, double) override
    {
        m_broken = m_broken || property == m_refused;
        return property != m_refused;
    }
    bool read(cv::OutputArray frame) override { return !m_broken && cv::VideoCapture::read(frame); }
    int opens = 0;

private:
    std::string m_file;
    int m_refused;
    bool m_broken = false;
};
} // namespace

class TestCameraSize : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void refusedSizeStillGivesFrames_data()
    {
        QTest::addColumn<int>("refused");
        QTest::addColumn<int>("opens");
        QTest::newRow("size given") << -1 << 1;
        QTest::newRow("width refused") << int(cv::CAP_PROP_FRAME_WIDTH) << 2;
        QTest::newRow("height refused") << int(cv::CAP_PROP_FRAME_HEIGHT) << 2;
    }
    void refusedSizeStillGivesFrames()
    {
        QFETCH(int, refused);
        const std::string video = m_dir.filePath(QStringLiteral("camera.avi")).toStdString();
        QVERIFY(WriteTestVideo(video, 5));
        SizeRefusingCapture capture(video, refused);
        QVERIFY(OpenCameraAtSize(capture, 0, cv::CAP_ANY, 1600, 1200));
        cv::Mat frame;
        QVERIFY(capture.read(frame));
        QCOMPARE(frame.cols, 320); // the camera's own size, whatever was asked
        QTEST(capture.opens, "opens");
    }

    void noCamera()
    {
        SizeRefusingCapture capture(m_dir.filePath(QStringLiteral("none.avi")).toStdString(), -1);
        QVERIFY(!OpenCameraAtSize(capture, 0, cv::CAP_ANY, 640, 480));
    }
};

QTEST_GUILESS_MAIN(TestCameraSize)
#include "tst_camerasize.moc"
