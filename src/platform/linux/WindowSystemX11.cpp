#include "platform/linux/WindowSystemX11.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

xcb_connection_t* X11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    const auto cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    free(reply);
    return atom;
}

// The 32-bit values of a window property of the given type; empty when it is absent or of
// another type.
std::vector<std::uint32_t> ReadProperty32(xcb_connection_t* c, xcb_window_t wid, xcb_atom_t property,
                                          xcb_atom_t type, std::uint32_t maxValues) {
    std::vector<std::uint32_t> values;
    const auto cookie = xcb_get_property(c, 0, wid, property, type, 0, maxValues);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr)) {
        if (reply->format == 32 && reply->type == type) {
            const auto* first = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
            values.assign(first, first + xcb_get_property_value_length(reply) / 4);
        }
        free(reply);
    }
    return values;
}

// _NET_WM_STATE changes: a client message to the root window while the window is mapped (the
// window manager owns the property then), the property itself while it is withdrawn, which the
// toolkit merges with its own states when it maps the window.
void ChangeNetWmState(QWindow* window, bool add, const std::vector<const char*>& names) {
    xcb_connection_t* c = X11Connection();
    if (!window || !c)
        return;
    const auto wid = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t netWmState = Atom(c, "_NET_WM_STATE");
    std::vector<xcb_atom_t> atoms;
    for (const char* name : names)
        atoms.push_back(Atom(c, name));
    if (netWmState == XCB_ATOM_NONE || std::count(atoms.begin(), atoms.end(), XCB_ATOM_NONE) > 0)
        return;

    if (window->isVisible()) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = wid;
        event.type = netWmState;
        event.data.data32[0] = add ? 1 : 0;
        event.data.data32[1] = atoms[0];
        event.data.data32[2] = atoms.size() > 1 ? atoms[1] : 0;
        event.data.data32[3] = 1; // a normal application
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    } else {
        std::vector<xcb_atom_t> current = ReadProperty32(c, wid, netWmState, XCB_ATOM_ATOM, 1024);
        for (xcb_atom_t atom : atoms) {
            const auto it = std::find(current.begin(), current.end(), atom);
            if (add && it == current.end())
                current.push_back(atom);
            else if (!add && it != current.end())
                current.erase(it);
        }
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, wid, netWmState, XCB_ATOM_ATOM, 32,
                            static_cast<std::uint32_t>(current.size()), current.data());
    }
    xcb_flush(c);
}

class CDesktopWindowSystem final : public IWindowSystem {
public:
    void SetStacking(QWindow* window, StackingLevel level) override {
        if (!window)
            return;
        // The window's own flags stay as they are: changing them makes the toolkit build a new
        // native window, which loses every state set on the old one.
        ChangeNetWmState(window, level == StackingLevel::Above, {"_NET_WM_STATE_ABOVE"});
        ChangeNetWmState(window, level == StackingLevel::Below, {"_NET_WM_STATE_BELOW"});
        if (level == StackingLevel::Below)
            window->lower();
    }

    void SetSkipTaskbar(QWindow* window, bool skip) override {
        ChangeNetWmState(window, skip, {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"});
    }

    bool RemapIfWithdrawn(QWindow* window) override {
        xcb_connection_t* c = X11Connection();
        if (!window || !c || !window->isVisible())
            return false;
        const auto wid = static_cast<xcb_window_t>(window->winId());
        const xcb_atom_t wmState = Atom(c, "WM_STATE");
        if (wmState == XCB_ATOM_NONE)
            return false;
        // ICCCM: a withdrawn window has no WM_STATE or one whose state is 0.
        const std::vector<std::uint32_t> state = ReadProperty32(c, wid, wmState, wmState, 2);
        if (!state.empty() && state[0] != 0)
            return false;
        xcb_map_window(c, wid);
        xcb_flush(c);
        return true;
    }

    QRect WorkArea() const override {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry() : QRect();
    }
};

} // namespace

IWindowSystem& WindowSystemX11() {
    static CDesktopWindowSystem system;
    return system;
}
