"""The program's windows as a screen reader sees them: the AT-SPI tree on the session's bus.

Import after the Session has started (it sets the bus address of this process)."""

import time

import pyatspi

from session import SessionError, wait_for


def application(pid, timeout=15):
    """The program's accessible application, once it has registered."""
    def find():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:
                continue
        return None
    return wait_for("the program on the accessibility bus", find, timeout=timeout)


def _walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    try:
        count = node.childCount
    except Exception:
        return
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from _walk(child, depth + 1)


def find(root, name, role=None):
    """The first showing node below root with this accessible name (and role name), or None."""
    for node in _walk(root):
        try:
            if node.name == name and (role is None or node.getRoleName() == role):
                if node.getState().contains(pyatspi.STATE_SHOWING) or role in ("dialog", "frame", "menu item"):
                    return node
        except Exception:
            continue
    return None


def wait_find(root, name, role=None, timeout=10):
    return wait_for(f"the control {name!r}", lambda: find(root, name, role), timeout=timeout)


def press(node):
    """The control's own action: press a button, toggle a check box, choose a menu item."""
    action = node.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    for wanted in ("press", "toggle", "click", "activate"):
        if wanted in names:
            action.doAction(names.index(wanted))
            return
    if not names:
        raise SessionError(f"{node.name!r} has no action")
    action.doAction(0)


def is_checked(node):
    return node.getState().contains(pyatspi.STATE_CHECKED)


def is_enabled(node):
    return node.getState().contains(pyatspi.STATE_ENABLED)


def window_extents(node):
    """The node's rectangle relative to its top-level window's client area."""
    box = node.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    return box.x, box.y, box.width, box.height


def settle(seconds=0.3):
    time.sleep(seconds)
