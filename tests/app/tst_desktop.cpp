#include "Accessibility.h"
#include "Cases.h"
#include "DialogRig.h"
#include "GameDetailsDlg.h"
#include "Identifiers.h"
#include "PreviewWindow.h"
#include "TestMain.h"
#include "Texts.h"
#include "WindowPlace.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

/// The main window as a desktop program: its languages, what assistive technology hears of it, where it
/// opens, and the players' names.
class TestDesktop : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    // What would reach assistive technology: installed first, this handler comes after the program's.
    static inline QList<std::pair<const QObject*, QAccessible::Event>> s_heard;
    static void Hear(QAccessibleEvent* event) { s_heard.append({event->object(), event->type()}); }

private slots:
    void initTestCase() { QAccessible::installUpdateHandler(&Hear); }

    void speaksTheLocalesLanguage_data() { ORVELLE_CASES("desktop.cases", "languages"); }
    void speaksTheLocalesLanguage()
    {
        LoadTranslations(QLocale(Cell("locale")));
        DialogRig rig(m_dir.filePath("language.conf"), {{"RTIME", "90"}, {"DELAY_TYPE", "1"}});
        QCOMPARE(rig.find<QPushButton>("IDC_RESET")->text(), Cell("reset"));
        QCOMPARE(rig.dialog->findChild<QLabel*>("timeControl")->text(), Cell("control"));
    }

    void clocksAreHeardAtChangesNotEverySecond()
    {
        DialogRig rig(m_dir.filePath("heard.conf"));
        QWidget* right = rig.find("IDC_RIGHT_TIME");
        FakeShiftKeys::tap(rig.keys->left); // the right clock runs
        QTRY_VERIFY(!rig.clock().m_bArmed);
        // Named anew at the start, at each new minute (04:50, 03:50) and at the press; not in between.
        for (const auto& [seconds, shown, heard] : {std::tuple{10, "04:50", "04:50"},
                                                    {50, "04:00", "04:50"},
                                                    {10, "03:50", "03:50"},
                                                    {10, "03:40", "03:50"}}) {
            rig.ticker->advance(seconds * 1'000'000'000LL);
            QTRY_COMPARE(rig.text("IDC_RIGHT_TIME"), QLatin1String(shown));
            QCOMPARE(right->accessibleName(), QStringLiteral("Right clock, ") + heard);
        }
        rig.tap(rig.keys->right, 1);
        QTRY_COMPARE(right->accessibleName(), QStringLiteral("Right clock, 03:40"));
        QCOMPARE(rig.find("IDC_LEFT_TIME")->accessibleName(), QStringLiteral("Left clock, 05:00"));

        // The clocks' own text changes never reach assistive technology; their new names do.
        const QAccessible::UpdateHandler filter = QAccessible::installUpdateHandler(nullptr);
        QAccessible::installUpdateHandler(filter);
        QAccessibleTextUpdateEvent text(right, 0, "03:40", "03:39"), other(rig.find("IDC_RESET"), 0, "", "");
        QAccessibleEvent name(right, QAccessible::NameChanged);
        s_heard.clear();
        for (QAccessibleEvent* event : std::initializer_list<QAccessibleEvent*>{&text, &other, &name})
            filter(event);
        QCOMPARE(s_heard,
                 (QList<std::pair<const QObject*, QAccessible::Event>>{
                     {rig.find("IDC_RESET"), QAccessible::TextUpdated}, {right, QAccessible::NameChanged}}));
    }

    void enterPressesTheFocusedControl()
    {
        DialogRig rig(m_dir.filePath("enter.conf"));
        auto* box = rig.find<QCheckBox>("IDC_TAKE_PICTURES");
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(box->isChecked());
        QTest::keyClick(box, Qt::Key_Space); // Space stays the clock's: a pause, not a click
        QVERIFY(box->isChecked());
    }

    void coloursAreLegibleOnTheirGround()
    {
        // The contrast ratio of two colours as the web's accessibility guidelines define it (WCAG 2).
        const auto luminance = [](const QColor& c) {
            const auto linear = [](double v) {
                return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF()) +
                   0.05;
        };
        const auto contrast = [&](const QString& a, const QColor& b) {
            return std::max(luminance(QColor(a)), luminance(b)) /
                   std::min(luminance(QColor(a)), luminance(b));
        };
        for (const QPalette& palette : {QApplication::style()->standardPalette(), DarkPalette()}) {
            QWidget widget;
            widget.setPalette(palette);
            const bool dark = HasDarkGround(&widget);
            for (const QString& colour : {WarningColour(dark), LowTimeColour(dark)})
                QVERIFY2(contrast(colour, palette.color(QPalette::Window)) >= 4.5, qPrintable(colour));
        }
        for (const QString& colour : {WarningColour(false), LowTimeColour(false)}) // on the running clock
            QVERIFY2(contrast(colour, QColor(0xfff0a0)) >= 4.5, qPrintable(colour));
    }

    void theWindowComesBackAsItWas()
    {
        const QString file = m_dir.filePath("place.conf");
        {
            DialogRig first(file);
            QVERIFY(first.dialog->windowState() & Qt::WindowMaximized); // the first start fills the screen
            first.dialog->setWindowState(Qt::WindowFullScreen);
        }
        DialogRig later(file, {{"LTIME", "300"}});
        QCOMPARE(later.dialog->windowState() & ~Qt::WindowActive, Qt::WindowFullScreen);
    }

    void aWindowBesideTheClocks_data()
    {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QPoint>("expected");
        // A 1280 x 1024 screen and a 640 x 480 camera window.
        QTest::newRow("room on the right") << QRect(0, 0, 600, 400) << QPoint(616, 0);
        QTest::newRow("room on the left only") << QRect(660, 100, 600, 400) << QPoint(4, 100);
        QTest::newRow("maximised: the top right corner") << QRect(0, 0, 1280, 1024) << QPoint(640, 0);
        QTest::newRow("low on the screen: lifted") << QRect(0, 900, 600, 100) << QPoint(616, 544);
    }
    void aWindowBesideTheClocks()
    {
        QFETCH(QRect, main);
        QFETCH(QPoint, expected);
        QCOMPARE(PlaceBeside(main, QSize(640, 480), QRect(0, 0, 1280, 1024)), expected);
    }

    void playersNamesFollowTheirSides()
    {
        DialogRig rig(m_dir.filePath("names.conf"));
        const GameDetails details{.white = "Alice", .black = "Bob"};
        QTimer::singleShot(0, this, [] {
            auto* dialog = qobject_cast<GameDetailsDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->findChild<QLineEdit*>("white")->setText("Alice");
            dialog->findChild<QLineEdit*>("black")->setText(" Bob ");
            dialog->accept();
        });
        rig.find<QAction>("IDM_GAME_DETAILS")->trigger();
        QCOMPARE(rig.dialog->Session().Details(), details);
        // The right key starts the game: the left clock runs, and it is White's.
        FakeShiftKeys::tap(rig.keys->right);
        QTRY_COMPARE(rig.find<QLabel>("leftPlayer")->text(), QStringLiteral("\u2654 Alice"));
        QCOMPARE(rig.find<QLabel>("rightPlayer")->text(), QStringLiteral("\u265A Bob"));
        rig.find<QPushButton>("IDC_RESET")->click();
        FakeShiftKeys::tap(rig.keys->left); // the next game the other way round
        QTRY_COMPARE(rig.find<QLabel>("rightPlayer")->text(), QStringLiteral("\u2654 Alice"));
    }
};

ORVELLE_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
