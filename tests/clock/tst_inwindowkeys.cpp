#include "InWindowShiftKeys.h"
#include "TestMain.h"

#include <QWidget>

class TestInWindowKeys : public QObject {
    Q_OBJECT
    QWidget m_window;

    /// A key event as the window system delivers it, with the key's native scan code.
    void Send(QEvent::Type type, quint32 scanCode, bool autoRepeat = false)
    {
        QKeyEvent event(type, Qt::Key_Shift, Qt::ShiftModifier, scanCode, 0, 0, QString(), autoRepeat);
        QApplication::sendEvent(&m_window, &event);
    }

private slots:
    void keysFromTheFocusedWindow()
    {
        InWindowShiftKeys keys;
        QVERIFY(!keys.LeftPressed() && !keys.RightPressed());
        Send(QEvent::KeyPress, 50); // held
        QVERIFY(keys.LeftPressed() && keys.LeftPressed());
        QVERIFY(!keys.RightPressed());
        Send(QEvent::KeyRelease, 50);
        QVERIFY(!keys.LeftPressed());

        Send(QEvent::KeyPress, 62); // a tap between two queries counts once
        Send(QEvent::KeyRelease, 62);
        QVERIFY(keys.RightPressed());
        QVERIFY(!keys.RightPressed());

        Send(QEvent::KeyPress, 50); // auto-repeat is no new press
        Send(QEvent::KeyRelease, 50);
        QVERIFY(keys.LeftPressed());
        Send(QEvent::KeyRelease, 50, true);
        Send(QEvent::KeyPress, 50, true);
        QVERIFY(!keys.LeftPressed());

        Send(QEvent::KeyPress, 38); // any other key is no Shift
        QVERIFY(!keys.LeftPressed() && !keys.RightPressed());

        Send(QEvent::KeyPress, 62); // leaving the application releases held keys
        QVERIFY(keys.RightPressed());
        QEvent deactivate(QEvent::ApplicationDeactivate);
        QApplication::sendEvent(qApp, &deactivate);
        QVERIFY(!keys.RightPressed());
    }
};

ORVELLE_TEST_MAIN(TestInWindowKeys)
#include "tst_inwindowkeys.moc"
