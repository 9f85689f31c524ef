#include "DialogRig.h"
#include "TestMain.h"
#include "X11ShiftKeys.h"

#include <QProcess>
#include <QTemporaryDir>

#include <X11/Xlib.h>

namespace {
/// Real key events through the X server's test extension. Numeric keycodes (50 left, 62 right): the
/// keysym names make xdotool press the other Shift as well.
void Xdotool(const QString& args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args.split(u' '));
    QVERIFY2(p.waitForFinished(10000) && p.exitCode() == 0, qPrintable(args));
}
} // namespace

class TestX11Keys : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { Xdotool("keyup 50 62"); }

    void seesKeysWhileAnotherWindowHasTheFocus()
    {
        // Another client's window, focused.
        Display* other = XOpenDisplay(nullptr);
        QVERIFY(other);
        Window w = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 100, 100, 0, 0, 0);
        XMapRaised(other, w);
        XSync(other, False);
        XSetInputFocus(other, w, RevertToParent, CurrentTime);
        XSync(other, False);

        std::unique_ptr<X11ShiftKeys> keys = X11ShiftKeys::Open();
        QVERIFY(keys);
        QVERIFY(!keys->LeftPressed() && !keys->RightPressed());
        Xdotool("keydown 50");
        QTRY_VERIFY(keys->LeftPressed());
        QVERIFY(keys->LeftPressed()); // still held
        QVERIFY(!keys->RightPressed());
        Xdotool("keyup 50");
        QTRY_VERIFY(!keys->LeftPressed());

        // A tap between two queries counts once.
        Xdotool("keydown 62 keyup 62");
        bool seen = false; // QTRY_VERIFY checks once more after the loop, and a query consumes the tap
        QTRY_VERIFY(seen = seen || keys->RightPressed());
        QVERIFY(!keys->RightPressed() && !keys->LeftPressed());
        XDestroyWindow(other, w);
        XCloseDisplay(other);
    }

    void realDialogPlaysOnRealKeys()
    {
        DialogSeams seams;
        seams.store = std::make_shared<SettingsStore>(m_dir.filePath(QStringLiteral("Orvelle.conf")));
        seams.store->CreateDefaultSettings();
        CSplashWnd::EnableSplashScreen(false);
        COrvelleDlg dialog(seams);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ClockState& clock = dialog.Clock();

        Xdotool("keydown 50 keyup 50");
        QTRY_VERIFY(!clock.m_bArmed);
        QVERIFY(!clock.m_bLeftRunning);
        QTRY_VERIFY(clock.m_fRightTime < 300.0);
        Xdotool("keydown 62 keyup 62");
        QTRY_COMPARE(clock.m_nPlies.load(), 1);
        QVERIFY(clock.m_bLeftRunning);
        Xdotool("keydown 62 keyup 62");
        QTest::qWait(100);
        QCOMPARE(clock.m_nPlies.load(), 1); // not this side's turn
    }
};

ORVELLE_TEST_MAIN(TestX11Keys)
#include "tst_x11keys.moc"
