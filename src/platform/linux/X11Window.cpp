#include "platform/WindowSystem.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <dlfcn.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// libxcb is resolved at run time: it is already loaded by the toolkit's X11 backend, and the
// program keeps running on a desktop without X11, where these calls simply do nothing.
struct XcbCalls {
    decltype(&xcb_intern_atom) InternAtom = nullptr;
    decltype(&xcb_intern_atom_reply) InternAtomReply = nullptr;
    decltype(&xcb_send_event) SendEvent = nullptr;
    decltype(&xcb_change_property) ChangeProperty = nullptr;
    decltype(&xcb_get_property) GetProperty = nullptr;
    decltype(&xcb_get_property_reply) GetPropertyReply = nullptr;
    decltype(&xcb_get_property_value) GetPropertyValue = nullptr;
    decltype(&xcb_get_property_value_length) GetPropertyValueLength = nullptr;
    decltype(&xcb_get_setup) GetSetup = nullptr;
    decltype(&xcb_setup_roots_iterator) RootsIterator = nullptr;
    decltype(&xcb_flush) Flush = nullptr;
    bool Loaded = false;

    static const XcbCalls& Get() {
        static const XcbCalls calls = Load();
        return calls;
    }

private:
    template <typename F> static bool Resolve(void* library, const char* name, F& target) {
        target = reinterpret_cast<F>(dlsym(library, name));
        return target != nullptr;
    }

    static XcbCalls Load() {
        XcbCalls c;
        void* library = dlopen("libxcb.so.1", RTLD_NOW | RTLD_NOLOAD);
        if (!library)
            library = dlopen("libxcb.so.1", RTLD_NOW);
        if (!library)
            return c;
        c.Loaded = Resolve(library, "xcb_intern_atom", c.InternAtom) &&
                   Resolve(library, "xcb_intern_atom_reply", c.InternAtomReply) &&
                   Resolve(library, "xcb_send_event", c.SendEvent) &&
                   Resolve(library, "xcb_change_property", c.ChangeProperty) &&
                   Resolve(library, "xcb_get_property", c.GetProperty) &&
                   Resolve(library, "xcb_get_property_reply", c.GetPropertyReply) &&
                   Resolve(library, "xcb_get_property_value", c.GetPropertyValue) &&
                   Resolve(library, "xcb_get_property_value_length", c.GetPropertyValueLength) &&
                   Resolve(library, "xcb_get_setup", c.GetSetup) &&
                   Resolve(library, "xcb_setup_roots_iterator", c.RootsIterator) &&
                   Resolve(library, "xcb_flush", c.Flush);
        return c;
    }
};

xcb_connection_t* X11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(const XcbCalls& x, xcb_connection_t* c, const char* name) {
    const auto cookie = x.InternAtom(c, 0, static_cast<std::uint16_t>(strlen(name)), name);
    xcb_intern_atom_reply_t* reply = x.InternAtomReply(c, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    free(reply);
    return atom;
}

// _NET_WM_STATE changes: a client message to the root window while the window is mapped (the
// window manager owns the property then), the property itself while it is withdrawn, which the
// toolkit merges with its own states when it maps the window.
void ChangeNetWmState(QWindow* window, bool add, const std::vector<const char*>& names) {
    const XcbCalls& x = XcbCalls::Get();
    xcb_connection_t* c = X11Connection();
    if (!window || !x.Loaded || !c)
        return;
    const auto wid = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t netWmState = Atom(x, c, "_NET_WM_STATE");
    std::vector<xcb_atom_t> atoms;
    for (const char* name : names)
        atoms.push_back(Atom(x, c, name));
    if (netWmState == XCB_ATOM_NONE || std::count(atoms.begin(), atoms.end(), XCB_ATOM_NONE) > 0)
        return;

    if (window->isVisible()) {
        const xcb_window_t root = x.RootsIterator(x.GetSetup(c)).data->root;
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = wid;
        event.type = netWmState;
        event.data.data32[0] = add ? 1 : 0;
        event.data.data32[1] = atoms[0];
        event.data.data32[2] = atoms.size() > 1 ? atoms[1] : 0;
        event.data.data32[3] = 1; // a normal application
        x.SendEvent(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                    reinterpret_cast<const char*>(&event));
    } else {
        std::vector<xcb_atom_t> current;
        const auto cookie = x.GetProperty(c, 0, wid, netWmState, XCB_ATOM_ATOM, 0, 1024);
        if (xcb_get_property_reply_t* reply = x.GetPropertyReply(c, cookie, nullptr)) {
            if (reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
                const auto* values = static_cast<const xcb_atom_t*>(x.GetPropertyValue(reply));
                const int count = x.GetPropertyValueLength(reply) / 4;
                current.assign(values, values + count);
            }
            free(reply);
        }
        for (xcb_atom_t atom : atoms) {
            const auto it = std::find(current.begin(), current.end(), atom);
            if (add && it == current.end())
                current.push_back(atom);
            else if (!add && it != current.end())
                current.erase(it);
        }
        x.ChangeProperty(c, XCB_PROP_MODE_REPLACE, wid, netWmState, XCB_ATOM_ATOM, 32,
                         static_cast<std::uint32_t>(current.size()), current.data());
    }
    x.Flush(c);
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

    QRect WorkArea() const override {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry() : QRect();
    }
};

} // namespace

IWindowSystem& DesktopWindowSystem() {
    static CDesktopWindowSystem system;
    return system;
}
