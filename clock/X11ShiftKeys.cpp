#include "X11ShiftKeys.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

std::unique_ptr<X11ShiftKeys> X11ShiftKeys::Open(const char* displayName)
{
    Display* display = XOpenDisplay(displayName);
    if (!display)
        return nullptr;
    int event = 0, error = 0, opcode = 0;
    int major = 2, minor = 2;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success) {
        XCloseDisplay(display);
        return nullptr;
    }

    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    XSync(display, False);

    std::unique_ptr<X11ShiftKeys> keys(new X11ShiftKeys);
    keys->m_display = display;
    keys->m_xiOpcode = opcode;
    keys->m_left.keycode = XKeysymToKeycode(display, XK_Shift_L);
    keys->m_right.keycode = XKeysymToKeycode(display, XK_Shift_R);
    return keys;
}

X11ShiftKeys::~X11ShiftKeys()
{
    XCloseDisplay(m_display);
}

void X11ShiftKeys::Drain()
{
    while (XPending(m_display) > 0) {
        XEvent ev;
        XNextEvent(m_display, &ev);
        XGenericEventCookie* cookie = &ev.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != m_xiOpcode ||
            !XGetEventData(m_display, cookie))
            continue;
        const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
        for (Key* key : {&m_left, &m_right}) {
            if (static_cast<unsigned>(raw->detail) != key->keycode)
                continue;
            if (cookie->evtype == XI_RawKeyPress) {
                key->down = true;
                key->pressedSinceQuery = true;
            } else if (cookie->evtype == XI_RawKeyRelease) {
                key->down = false;
            }
        }
        XFreeEventData(m_display, cookie);
    }
}

bool X11ShiftKeys::Query(Key& key)
{
    Drain();
    const bool pressed = key.down || key.pressedSinceQuery;
    key.pressedSinceQuery = false;
    return pressed;
}

bool X11ShiftKeys::LeftPressed()
{
    return Query(m_left);
}

bool X11ShiftKeys::RightPressed()
{
    return Query(m_right);
}
