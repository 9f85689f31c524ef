#include "COrvelleDlg.h"
#include "CSplashWnd.h"
#include "ClockState.h"
#include "InWindowShiftKeys.h"
#include "SettingsFile.h"
#include "TestMain.h"
#include "TimeControlDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <X11/Xlib.h>

namespace {
/// Real key events through the X server's test extension. Numeric keycodes (50 left Shift, 62 right
/// Shift): the keysym names make xdotool press the other Shift as well.
void Xdotool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    QVERIFY2(p.waitForFinished(10000) && p.exitCode() == 0, qPrintable(args.join(u' ')));
}
void Tap(const QString& key)
{
    Xdotool({QStringLiteral("keydown"), key, QStringLiteral("keyup"), key});
}
bool Highlighted(COrvelleDlg& d, const char* id)
{
    return d.findChild<QLineEdit*>(QLatin1String(id))->styleSheet().contains(QLatin1String("border"));
}
} // namespace

/// The Shift keys read from the X server, and the real window played on real keys.
class TestRealKeys : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { Xdotool({"keyup", "50", "62"}); }

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

        const std::shared_ptr<ShiftKeys> keys = MakeShiftKeys(); // the program's choice on X11
        QVERIFY(!keys->LeftPressed() && !keys->RightPressed());
        Xdotool({"keydown", "50"});
        QTRY_VERIFY(keys->LeftPressed());
        QVERIFY(keys->LeftPressed()); // still held
        QVERIFY(!keys->RightPressed());
        Xdotool({"keyup", "50"});
        QTRY_VERIFY(!keys->LeftPressed());

        // A tap between two queries counts once.
        Tap("62");
        bool seen = false; // QTRY_VERIFY checks once more after the loop, and a query consumes the tap
        QTRY_VERIFY(seen = seen || keys->RightPressed());
        QVERIFY(!keys->RightPressed() && !keys->LeftPressed());
        XDestroyWindow(other, w);
        XCloseDisplay(other);
    }

    void menuChoiceThenAGameOnRealKeys()
    {
        const QString file = m_dir.filePath(QStringLiteral("Orvelle.conf"));
        WriteSettingsFile(file, {{"LTIME", "200"}});
        DialogSeams seams;
        seams.store = std::make_shared<SettingsStore>(file);
        CSplashWnd::EnableSplashScreen(false);
        COrvelleDlg d(seams);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.activateWindow();
        ClockState& clock = d.Clock();

        // The menu's 3+2: both clocks at three minutes, and the choice in the settings, nothing else.
        auto* menu = d.findChild<QMenu*>(QStringLiteral("timeControlMenu"));
        emit menu->aboutToShow();
        menu->actions().at(3)->trigger();
        QSettings ini(file, QSettings::IniFormat);
        QCOMPARE(ini.value("TIME_CONTROL").toString(), QStringLiteral("180+2"));
        QCOMPARE(ini.value("DELAY_TYPE").toString(), QStringLiteral("1"));
        QCOMPARE(ini.value("DELAY_DELTA").toString(), QStringLiteral("2"));
        QCOMPARE(ini.value("LTIME").toString(), QStringLiteral("200"));
        QCOMPARE(d.findChild<QLabel*>(QStringLiteral("timeControl"))->text(), QStringLiteral("3 min + 2 s"));

        Tap(QStringLiteral("50")); // Black starts White's clock, on the right
        QTRY_VERIFY(Highlighted(d, "IDC_RIGHT_TIME"));
        QVERIFY(!Highlighted(d, "IDC_LEFT_TIME"));
        Tap(QStringLiteral("62"));
        QTRY_COMPARE(clock.m_nPlies.load(), 1);
        QVERIFY(clock.m_fRightTime > 181.0); // two seconds added for a move of well under one
        QTRY_VERIFY(Highlighted(d, "IDC_LEFT_TIME"));
        QVERIFY(!Highlighted(d, "IDC_RIGHT_TIME"));
        emit menu->aboutToShow();
        QVERIFY(!menu->actions().at(0)->isEnabled()); // no choice while a game runs

        // Space pauses and resumes, and never clicks the button that has the focus.
        d.findChild<QPushButton*>(QStringLiteral("IDC_RESET"))->setFocus();
        Tap(QStringLiteral("space"));
        QTRY_VERIFY(clock.m_bPaused);
        QTRY_COMPARE(d.findChild<QLabel*>(QStringLiteral("status"))->text(),
                     QStringLiteral("Paused \u2013 Move 1"));
        // The side to move stays marked while paused, by a dashed frame.
        QVERIFY(d.findChild<QLineEdit*>(QStringLiteral("IDC_LEFT_TIME"))->styleSheet().contains("dashed"));
        QVERIFY(!Highlighted(d, "IDC_RIGHT_TIME"));
        const double paused = clock.m_fLeftTime;
        QTest::qWait(300);
        QCOMPARE(clock.m_fLeftTime.load(), paused);
        Tap(QStringLiteral("space"));
        QTRY_VERIFY(!clock.m_bPaused);
        QTRY_VERIFY(clock.m_fLeftTime < paused);
        QTRY_VERIFY(Highlighted(d, "IDC_LEFT_TIME"));
        QVERIFY(!clock.m_bArmed); // Reset, which had the focus, was not clicked
    }

    void otherIsCheckedAsYouType()
    {
        TimeControlDialog dialog(QString(), 0);
        QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        for (const char* typed : {"", "40/5400+30:1800+30", "x"}) { // nothing, a control, then no control
            QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("timeControlText")), typed);
            QCOMPARE(ok->isEnabled(), *typed == '4');
        }
    }
};

ORVELLE_TEST_MAIN(TestRealKeys)
#include "tst_realkeys.moc"
