"""A real, private desktop session for end-to-end runs of the program.

Starts Xvfb, the IceWM window manager (taskbar, tray, work area) and a PulseAudio server whose
only sink is a null sink, each in a fresh temporary folder, and tears all of them down again.
Only processes started here are ever stopped, by their own process ids.
"""

import ctypes
import ctypes.util
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time


class SessionError(RuntimeError):
    pass


def wait_for(what, predicate, timeout=10.0, interval=0.05):
    """Polls predicate until it returns something truthy; raises SessionError on time-out."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise SessionError(f"timed out after {timeout:.1f} s waiting for {what}")
        time.sleep(interval)


def _require(tool):
    path = shutil.which(tool)
    if not path:
        raise SessionError(f"{tool} is not installed (bash scripts/setup.sh installs it)")
    return path


class _X11:
    """The few Xlib calls the command-line tools don't offer (selection owner, window tree)."""

    def __init__(self, display):
        name = ctypes.util.find_library("X11")
        if not name:
            raise SessionError("libX11 not found")
        self.lib = ctypes.CDLL(name)
        self.lib.XOpenDisplay.restype = ctypes.c_void_p
        self.lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.lib.XInternAtom.restype = ctypes.c_ulong
        self.lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.lib.XGetSelectionOwner.restype = ctypes.c_ulong
        self.lib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.lib.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                        ctypes.POINTER(ctypes.c_ulong),
                                        ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                        ctypes.POINTER(ctypes.c_uint)]
        self.lib.XFree.argtypes = [ctypes.c_void_p]
        self.lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.dpy = self.lib.XOpenDisplay(display.encode())
        if not self.dpy:
            raise SessionError(f"cannot open display {display}")

    def close(self):
        if self.dpy:
            self.lib.XCloseDisplay(self.dpy)
            self.dpy = None

    def selection_owner(self, name):
        atom = self.lib.XInternAtom(self.dpy, name.encode(), 0)
        return self.lib.XGetSelectionOwner(self.dpy, atom)

    def parent(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children = ctypes.POINTER(ctypes.c_ulong)()
        count = ctypes.c_uint()
        if not self.lib.XQueryTree(self.dpy, window, ctypes.byref(root), ctypes.byref(parent),
                                   ctypes.byref(children), ctypes.byref(count)):
            return None, None
        if children:
            self.lib.XFree(children)
        return parent.value, root.value


class Image:
    """A screenshot as raw RGB, read from ImageMagick's binary PPM."""

    def __init__(self, ppm):
        match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", ppm)
        if not match:
            raise SessionError("screenshot is not a PPM image")
        self.width, self.height = int(match.group(1)), int(match.group(2))
        if int(match.group(3)) != 255:
            raise SessionError("screenshot is not an 8-bit image")
        self.data = ppm[match.end():]

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise SessionError(f"pixel {x},{y} outside the {self.width}x{self.height} screen")
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])


class Session:
    def __init__(self, name, screens_dir, width=1280, height=1024, accessibility=False, window_manager=True):
        for tool in ("Xvfb", "icewm", "pulseaudio", "xdotool", "xprop", "xwininfo", "import"):
            _require(tool)
        if accessibility:
            _require("dbus-daemon")
        # A session bus of its own with the accessibility bus on it, so that the scenario can
        # drive the program's dialogs the way a screen reader does.
        self.accessibility = accessibility
        self.bus_address = None
        self.name = name
        self.screens_dir = screens_dir
        self.width, self.height = width, height
        self.root = tempfile.mkdtemp(prefix=f"pylarix-e2e-{name}-")
        self.home = os.path.join(self.root, "home")
        self.runtime = os.path.join(self.root, "run")
        for folder in (self.home, self.runtime):
            os.makedirs(folder, mode=0o700)
        self.processes = []
        self.wm = None
        self.display = None
        self.x11 = None
        self.pulse_socket = os.path.join(self.runtime, "pulse", "native")
        self.window_manager = window_manager

    # -- life of the session -------------------------------------------------------------------

    def __enter__(self):
        try:
            self._start_x()
            if self.accessibility:
                self._start_bus()
            if self.window_manager:
                self.start_wm()
            self._start_pulse()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def _spawn(self, argv, env=None, **kw):
        log = open(os.path.join(self.root, os.path.basename(argv[0]) + ".log"), "ab")
        proc = subprocess.Popen(argv, env=env or self.base_env(), stdout=log, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL, start_new_session=True, **kw)
        self.processes.append(proc)
        return proc

    def base_env(self):
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.home,
            "XDG_RUNTIME_DIR": self.runtime,
            "LANG": "C.UTF-8",
            # No session bus: the tray icon uses the XEmbed tray of the window manager.
            "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(self.runtime, "no-bus"),
            "PULSE_SERVER": "unix:" + self.pulse_socket,
            "QT_QPA_PLATFORM": "xcb",
        }
        if self.bus_address:
            # With no StatusNotifier host on this bus the tray icon still docks in the XEmbed tray.
            env["DBUS_SESSION_BUS_ADDRESS"] = self.bus_address
            env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        if self.display:
            env["DISPLAY"] = self.display
        return env

    def _start_x(self):
        read_fd, write_fd = os.pipe()
        proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{self.width}x{self.height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(self.root, "Xvfb.log"), "ab"), start_new_session=True)
        self.processes.append(proc)
        os.close(write_fd)
        number = b""
        end = time.monotonic() + 15
        while not number.endswith(b"\n"):
            if time.monotonic() > end or proc.poll() is not None:
                raise SessionError("Xvfb did not start")
            chunk = os.read(read_fd, 16)
            if not chunk:
                raise SessionError("Xvfb did not report its display")
            number += chunk
        os.close(read_fd)
        self.display = ":" + number.decode().strip()
        self.x11 = _X11(self.display)

    def _start_bus(self):
        socket_path = os.path.join(self.runtime, "bus")
        address = "unix:path=" + socket_path
        self._spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + address])
        wait_for("the session bus", lambda: os.path.exists(socket_path), timeout=10)
        self.bus_address = address
        # The scenario's own accessibility client talks to the same bus.
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = address

    def start_wm(self):
        prefs = os.path.join(self.home, ".icewm")
        os.makedirs(prefs, exist_ok=True)
        with open(os.path.join(prefs, "preferences"), "w") as f:
            f.write("TaskBarShowClock=0\nTaskBarShowMailboxStatus=0\nTaskBarShowCPUStatus=0\n"
                    "TaskBarShowNetStatus=0\nTaskBarShowMEMStatus=0\nTaskBarEnableSystemTray=1\n"
                    "ShowPopupsAbovePointer=0\nTaskBarAtTop=0\nFocusRequestFlashTime=0\n")
        self.wm = self._spawn(["icewm", "--display", self.display])
        wait_for("the window manager's work area", lambda: self.work_area(), timeout=20)
        wait_for("the system tray", lambda: self.x11.selection_owner("_NET_SYSTEM_TRAY_S0"), timeout=20)

    def restart_wm(self):
        """Ends the window manager, and with it the tray, and starts it again."""
        self.wm.terminate()
        self.wm.wait(timeout=10)
        wait_for("the tray gone", lambda: not self.x11.selection_owner("_NET_SYSTEM_TRAY_S0"), timeout=10)
        self.start_wm()

    def set_work_area(self, left, top, width, height):
        self._run("xprop", "-root", "-f", "_NET_WORKAREA", "32c", "-set", "_NET_WORKAREA",
                  f"{left}, {top}, {width}, {height}")

    def _start_pulse(self):
        os.makedirs(os.path.dirname(self.pulse_socket), mode=0o700, exist_ok=True)
        config = os.path.join(self.root, "pulse.pa")
        with open(config, "w") as f:
            f.write("load-module module-null-sink sink_name=e2e_null\n"
                    f"load-module module-native-protocol-unix socket={self.pulse_socket} auth-anonymous=1\n"
                    "set-default-sink e2e_null\n")
        env = self.base_env()
        env["PULSE_RUNTIME_PATH"] = os.path.join(self.runtime, "pulse")
        env["PULSE_STATE_PATH"] = os.path.join(self.root, "pulse-state")
        self._spawn(["pulseaudio", "-n", "-F", config, "--daemonize=no", "--exit-idle-time=-1",
                     "--disallow-exit", "--use-pid-file=no", "--system=false", "--log-target=stderr"],
                    env=env)
        wait_for("the PulseAudio null sink", lambda: os.path.exists(self.pulse_socket), timeout=20)

    def start_wayland(self, name="wayland-e2e"):
        """A headless Wayland compositor (Weston) beside the X server, as on a Wayland desktop
        with XWayland; returns its display name for WAYLAND_DISPLAY."""
        _require("weston")
        self._spawn(["weston", "--backend=headless-backend.so", f"--socket={name}", "--idle-time=0",
                     "--no-config"])
        wait_for("the Wayland compositor", lambda: os.path.exists(os.path.join(self.runtime, name)), timeout=20)
        return name

    def close(self):
        if self.x11:
            self.x11.close()
            self.x11 = None
        for proc in reversed(self.processes):
            if proc.poll() is None:
                try:
                    os.killpg(proc.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
                try:
                    proc.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    os.killpg(proc.pid, signal.SIGKILL)
                    proc.wait()
        self.processes.clear()
        shutil.rmtree(self.root, ignore_errors=True)

    # -- the program -----------------------------------------------------------------------------

    def new_appdata(self, label):
        folder = tempfile.mkdtemp(prefix=f"appdata-{label}-", dir=self.root)
        return folder

    def start_program(self, program, appdata):
        env = self.base_env()
        env["APPDATA"] = appdata
        return self._spawn([program], env=env)

    def start_program_home(self, program, home):
        """Starts the program as on a fresh account: HOME is home, no APPDATA, no XDG_CONFIG_HOME."""
        env = self.base_env()
        env["HOME"] = home
        env.pop("APPDATA", None)
        env.pop("XDG_CONFIG_HOME", None)
        return self._spawn([program], env=env)

    def run_program(self, program, appdata, timeout=15):
        """Starts the program and waits for it to end (a second start)."""
        env = self.base_env()
        env["APPDATA"] = appdata
        started = time.monotonic()
        result = subprocess.run([program], env=env, stdin=subprocess.DEVNULL, capture_output=True,
                                timeout=timeout)
        return result.returncode, time.monotonic() - started

    # -- windows ---------------------------------------------------------------------------------

    def _run(self, *argv, check=True):
        env = self.base_env()
        result = subprocess.run(list(argv), env=env, capture_output=True, text=True, timeout=20)
        if check and result.returncode != 0:
            raise SessionError(f"{' '.join(argv)} failed: {result.stderr.strip()}")
        return result.stdout

    def windows_of(self, pid, name=None):
        argv = ["xdotool", "search", "--all", "--pid", str(pid)]
        if name is not None:
            argv += ["--name", name]
        out = self._run(*argv, check=False)
        return [int(w) for w in out.split()]

    def wait_window(self, pid, title="Pylarix Boxs", timeout=15):
        def find():
            for w in self.windows_of(pid, "^" + re.escape(title) + "$"):
                if self.is_viewable(w):
                    return w
            return None
        return wait_for(f"a visible window titled {title!r}", find, timeout=timeout)

    def info(self, window):
        out = self._run("xwininfo", "-id", str(window))
        def field(label):
            m = re.search(r"^\s*" + re.escape(label) + r":\s*(.+)$", out, re.M)
            return m.group(1).strip() if m else ""
        return {
            "x": int(field("Absolute upper-left X") or 0),
            "y": int(field("Absolute upper-left Y") or 0),
            "width": int(field("Width") or 0),
            "height": int(field("Height") or 0),
            "map": field("Map State"),
        }

    def is_viewable(self, window):
        try:
            return self.info(window)["map"] == "IsViewable"
        except SessionError:
            return False

    def geometry(self, window):
        i = self.info(window)
        return i["x"], i["y"], i["width"], i["height"]

    def prop(self, window, name):
        """The raw text of one property (after the '=' or ':' of xprop), '' when not set."""
        out = self._run("xprop", "-id", str(window), name, check=False)
        m = re.match(r"^[^=:]+(?:\([^)]*\))?\s*[=:]\s*(.*)$", out.strip(), re.S)
        if not m or "not found" in out or "no such atom" in out:
            return ""
        return m.group(1).strip()

    def wm_state(self, window):
        value = self.prop(window, "_NET_WM_STATE")
        return {s.strip() for s in value.split(",") if s.strip()}

    def work_area(self):
        value = self._run("xprop", "-root", "_NET_WORKAREA", check=False)
        m = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", value)
        if not m:
            return None
        x, y, w, h = (int(v) for v in m.groups())
        return {"left": x, "top": y, "right": x + w, "bottom": y + h}

    def tray_icons(self, pid):
        """The windows of pid that sit, visible, inside another window (the tray) and not on the
        work area: the docked tray icon."""
        owner = self.x11.selection_owner("_NET_SYSTEM_TRAY_S0")
        if not owner:
            return []
        area = self.work_area() or {"bottom": self.height}
        icons = []
        for w in self.windows_of(pid):
            parent, root = self.x11.parent(w)
            if parent is None or not self.is_viewable(w):
                continue
            x, y, width, height = self.geometry(w)
            if width <= 64 and height <= 64 and y >= area["bottom"]:
                icons.append(w)
        return icons

    # -- input -----------------------------------------------------------------------------------

    def pointer(self):
        out = self._run("xdotool", "getmouselocation", check=False)
        m = re.search(r"x:(-?\d+)\s+y:(-?\d+)", out)
        return (int(m.group(1)), int(m.group(2))) if m else None

    def click(self, x, y, button=1):
        # A synchronous move to where the pointer already is waits for a motion that never comes.
        if self.pointer() == (x, y):
            self._run("xdotool", "click", str(button))
        else:
            self._run("xdotool", "mousemove", "--sync", str(x), str(y), "click", str(button))

    def drag(self, start, end, steps=12):
        sx, sy = start
        ex, ey = end
        self._run("xdotool", "mousemove", "--sync", str(sx), str(sy), "mousedown", "1")
        for i in range(1, steps + 1):
            x = sx + (ex - sx) * i // steps
            y = sy + (ey - sy) * i // steps
            self._run("xdotool", "mousemove", "--sync", str(x), str(y))
            time.sleep(0.03)
        self._run("xdotool", "mouseup", "1")

    def key(self, window, keysym):
        self._run("xdotool", "key", "--window", str(window), keysym)

    # -- pictures --------------------------------------------------------------------------------

    def grab(self):
        env = self.base_env()
        result = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=env, capture_output=True,
                                timeout=20)
        if result.returncode != 0:
            raise SessionError("import failed: " + result.stderr.decode(errors="replace"))
        return Image(result.stdout)

    def screenshot(self, name):
        os.makedirs(self.screens_dir, exist_ok=True)
        path = os.path.join(self.screens_dir, name + ".png")
        self._run("import", "-window", "root", path)
        return path
