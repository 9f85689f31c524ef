#include "InWindowShiftKeys.h"
#include "TestMain.h"

#include <QWidget>

namespace {
/// A key event as the window system delivers it, with the key's native scan code.
void Send(QWidget& w, QEvent::Type type, quint32 scanCode, bool autoRepeat = false)
{
    QKeyEvent event(type, Qt::Key_Shift, Qt::ShiftModifier, scanCode, 0, 0, QString(), autoRepeat);
    QApplication::sendEvent(&w, &event);
}
} // namespace

class TestInWindowKeys : public QObject {
    Q_OBJECT
private slots:
    void keysFromTheFocusedWindow()
    {
        QWidget window;
        InWindowShiftKeys keys;
        QVERIFY(!keys.LeftPressed() && !keys.RightPressed());

        Send(window, QEvent::KeyPress, 50); // held
        QVERIFY(keys.LeftPressed());
        QVERIFY(keys.LeftPressed());
        QVERIFY(!keys.RightPressed());
        Send(window, QEvent::KeyRelease, 50);
        QVERIFY(!keys.LeftPressed());

        Send(window, QEvent::KeyPress, 62); // a tap between two queries counts once
        Send(window, QEvent::KeyRelease, 62);
        QVERIFY(keys.RightPressed());
        QVERIFY(!keys.RightPressed());

        Send(window, QEvent::KeyPress, 38); // any other key is no Shift
        QVERIFY(!keys.LeftPressed() && !keys.RightPressed());
    }

    void autoRepeatIsNoNewPress()
    {
        QWidget window;
        InWindowShiftKeys keys;
        Send(window, QEvent::KeyPress, 50);
        Send(window, QEvent::KeyRelease, 50);
        QVERIFY(keys.LeftPressed());
        Send(window, QEvent::KeyRelease, 50, true);
        Send(window, QEvent::KeyPress, 50, true);
        QVERIFY(!keys.LeftPressed());
    }

    void leavingTheApplicationReleasesHeldKeys()
    {
        QWidget window;
        InWindowShiftKeys keys;
        Send(window, QEvent::KeyPress, 62);
        QVERIFY(keys.RightPressed());
        QEvent deactivate(QEvent::ApplicationDeactivate);
        QApplication::sendEvent(qApp, &deactivate);
        QVERIFY(!keys.RightPressed());
    }
};

ORVELLE_TEST_MAIN(TestInWindowKeys)
#include "tst_inwindowkeys.moc"
