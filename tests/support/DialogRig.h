#pragma once

#include "COrvelleDlg.h"
#include "CSplashWnd.h"
#include "ClockState.h"
#include "Fakes.h"
#include "SettingsFile.h"

#include <QLineEdit>
#include <QtTest>

/// A control of a window by its identifier's name; the test stops when there is none.
template <class T = QWidget> T* Find(const QObject& window, const QString& id)
{
    T* w = window.findChild<T*>(id);
    if (!w)
        qFatal("no control %s", qPrintable(id));
    return w;
}

/// The main window over a settings file of its own, fake Shift keys and a fake time source, without
/// its splash.
struct DialogRig {
    std::shared_ptr<FakeShiftKeys> keys = std::make_shared<FakeShiftKeys>();
    std::shared_ptr<FakeTicker> ticker = std::make_shared<FakeTicker>();
    std::unique_ptr<COrvelleDlg> dialog;

    /// values override the seven defaults (DIR empty); leftOut names one value not written; otherKeys
    /// replace the fake Shift keys.
    DialogRig(const QString& settingsFile, const QMap<QString, QString>& values = {},
              const QString& leftOut = {}, std::shared_ptr<ShiftKeys> otherKeys = nullptr)
    {
        WriteSettingsFile(settingsFile, values, leftOut);
        DialogSeams seams;
        seams.keys = otherKeys ? otherKeys : keys;
        seams.ticker = ticker;
        seams.store = std::make_shared<SettingsStore>(settingsFile);
        CSplashWnd::EnableSplashScreen(false);
        dialog = std::make_unique<COrvelleDlg>(seams);
    }
    ClockState& clock() { return dialog->Clock(); }
    /// A control of the main window by its identifier's name.
    template <class T = QWidget> T* find(const char* id) const { return Find<T>(*dialog, id); }
    QString text(const char* id) const { return find<QLineEdit>(id)->text(); }
    /// Taps a key and waits until the engine has counted the plies given.
    void tap(FakeShiftKeys::Key& key, int plies)
    {
        FakeShiftKeys::tap(key);
        QTRY_COMPARE(clock().m_nPlies.load(), plies);
    }
};
