#include "Camera.h"
#include "TestVideo.h"

#include <QtTest>

namespace {
/// A camera over a real video file that refuses one size property, and like a V4L2 capture whose
/// format reset failed, gives no frame after that until it is opened again.
struct SizeRefusingCapture final : cv::VideoCapture {
    SizeRefusingCapture(std::string file, int refused) : file(std::move(file)), refused(refused) {}
    bool open(int, int) override
    {
        ++opens;
        broken = false;
        return cv::VideoCapture::open(file, cv::CAP_FFMPEG);
    }
    bool set(int property, double) override
    {
        broken = broken || property == refused;
        return property != refused;
    }
    bool read(cv::OutputArray frame) override { return !broken && cv::VideoCapture::read(frame); }
    std::string file;
    int refused, opens = 0;
    bool broken = false;
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
        QTEST(capture.opens, "opens");
    }
};

QTEST_GUILESS_MAIN(TestCameraSize)
#include "tst_camerasize.moc"
