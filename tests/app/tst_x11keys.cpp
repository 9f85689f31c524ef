#include "COrvelleDlg.h"
#include "ClockState.h"
#include "CSplashWnd.h"
#include "TestMain.h"
#include "X11ShiftKeys.h"

#include <QProcess>
#include <QTemporaryDir>

#include <X11/Xlib.h>


namespace {
/// Real key events through the X server's test extension. Numeric keycodes: the keysym names
/// make xdotool press the other Shift as well.
void Xdotool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    QVERIFY2(p.waitForFinished(10000) && p.exitCode() == 0, qPrintable(args.join(u' ')));
}
} // namespace

class TestX11Keys : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        Xdotool({QStringLiteral("keyup"), QStringLiteral("50"), QStringLiteral("62")});
    }

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

        Xdotool({QStringLiteral("keydown"), QStringLiteral("50")});
        QTRY_VERIFY(keys->LeftPressed());
        QVERIFY(keys->LeftPressed()); // still held
        QVERIFY(!keys->RightPressed());
        Xdotool({QStringLiteral("keyup"), QStringLiteral("50")});
        QTRY_VERIFY(!keys->LeftPressed());

        // A tap between two queries counts once.
        Xdotool({QStringLiteral("keydown"), QStringLiteral("62"), QStringLiteral("keyup"), QStringLiteral("62")});
        bool seen = false; // QTRY_VERIFY checks once more after the loop, and a query consumes the tap
        QTRY_VERIFY(seen = seen || keys->RightPressed());
        QVERIFY(!keys->RightPressed());
        QVERIFY(!keys->LeftPressed());

        XDestroyWindow(other, w);
        XCloseDisplay(other);
    }

    void realDialogPlaysOnRealKeys()
    {
        const QString file = m_dir.filePath(QStringLiteral("Orvelle.conf"));
        DialogSeams seams;
        seams.store = std::make_shared<SettingsStore>(file);
        seams.store->CreateDefaultSettings();
        CSplashWnd::EnableSplashScreen(false);
        COrvelleDlg dialog(seams);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ClockState& clock = dialog.Clock();

        Xdotool({QStringLiteral("keydown"), QStringLiteral("50"), QStringLiteral("keyup"), QStringLiteral("50")});
        QTRY_VERIFY(!clock.m_bArmed);
        QVERIFY(!clock.m_bLeftRunning);
        QTRY_VERIFY(clock.m_fRightTime < 300.0);
        QCOMPARE(clock.m_fLeftTime.load(), 300.0);

        Xdotool({QStringLiteral("keydown"), QStringLiteral("62"), QStringLiteral("keyup"), QStringLiteral("62")});
        QTRY_COMPARE(clock.m_nPlies.load(), 1);
        QVERIFY(clock.m_bLeftRunning);
        QTRY_VERIFY(clock.m_fLeftTime < 300.0);
        Xdotool({QStringLiteral("keydown"), QStringLiteral("62"), QStringLiteral("keyup"), QStringLiteral("62")});
        QTest::qWait(100);
        QCOMPARE(clock.m_nPlies.load(), 1); // not this side's turn
    }
};

ORVELLE_TEST_MAIN(TestX11Keys)
#include "tst_x11keys.moc"
