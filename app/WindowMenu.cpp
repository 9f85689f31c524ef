#include "WindowMenu.h"

#include "COrvelleDlg.h"
#include "ClockState.h"
#include "Identifiers.h"
#include "TimeControlMenu.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QShortcut>

WindowMenu::WindowMenu(COrvelleDlg& window) : QObject(&window)
{
    // Window managers own the system menu here, so the About entry lives in the context menu and on F1,
    // after a separator as the last entries, as in a system menu. The leading separator is not drawn.
    auto add = [&window](const QString& text, const QString& id, const QKeySequence& keys, auto slot) {
        auto* action = new QAction(text, &window);
        action->setObjectName(id);
        action->setShortcut(keys);
        window.addAction(action);
        QObject::connect(action, &QAction::triggered, &window, slot);
        return action;
    };
    auto separator = [&window] {
        auto* action = new QAction(&window);
        action->setSeparator(true);
        window.addAction(action);
    };
    separator();
    auto* controls = new TimeControlMenu(&window);
    connect(controls, &TimeControlMenu::chosen, &window, &COrvelleDlg::ChooseTimeControl);
    connect(controls, &TimeControlMenu::otherChosen, &window, &COrvelleDlg::OtherTimeControl);
    connect(controls, &QMenu::aboutToShow, &window, [&window, controls] {
        controls->Refresh(window.Clock().m_bArmed, window.Session().Current().m_strTimeControl);
    });
    window.addAction(controls->menuAction());
    // Ctrl+, wherever Qt's own convention for preferences is none or another.
    add(tr("&Settings..."), ORVELLE_ID(IDM_SETTINGS), QKeySequence(Qt::CTRL | Qt::Key_Comma),
        &COrvelleDlg::OnSettings);
    add(tr("Game &details..."), ORVELLE_ID(IDM_GAME_DETAILS), QKeySequence(Qt::CTRL | Qt::Key_D),
        &COrvelleDlg::OnGameDetails);
    m_board = new QAction(tr("&Board..."), &window);
    m_board->setObjectName(QStringLiteral("boardAction"));
    window.addAction(m_board);
    // The camera's picture, in the main window under the clocks: F9 shows or hides it.
    m_cameraPicture = new QAction(tr("&Camera picture"), &window);
    m_cameraPicture->setObjectName(ORVELLE_ID(IDM_CAMERA_PICTURE));
    m_cameraPicture->setCheckable(true);
    m_cameraPicture->setShortcut(QKeySequence(Qt::Key_F9));
    window.addAction(m_cameraPicture);
    m_cameraWindow = new QAction(tr("Camera in its own &window"), &window);
    m_cameraWindow->setObjectName(ORVELLE_ID(IDM_CAMERA_WINDOW));
    m_cameraWindow->setCheckable(true);
    window.addAction(m_cameraWindow);
    separator();
    add(tr("&About Orvelle..."), ORVELLE_ID(IDM_ABOUTBOX), QKeySequence(QKeySequence::HelpContents),
        &COrvelleDlg::OpenAboutBox);
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
    // The Menu key opens the menu by itself; Shift+F10 is the other convention (its Shift is a clock press).
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), &window), &QShortcut::activated, &window,
            [&window] {
                const QWidget* at = window.focusWidget() ? window.focusWidget() : &window;
                const QPoint global = at->mapToGlobal(at->rect().center());
                QContextMenuEvent event(QContextMenuEvent::Keyboard, window.mapFromGlobal(global), global);
                QCoreApplication::sendEvent(&window, &event);
            });
}
