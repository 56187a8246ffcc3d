#!/usr/bin/env python3
"""End-to-end scenarios: the real program in a real desktop session (Xvfb, IceWM, PulseAudio
null sink), each with a fresh data folder, each leaving a screenshot in the build tree.

Usage: scenarios.py NAME   (PYLARIX_BIN_DIR names the folder of the program)
"""

import os
import re
import socket
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.join(os.environ.get("PYLARIX_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", "..")),
                                "scripts", "e2e"))
from session import Session, SessionError, wait_for  # noqa: E402

TITLE = "Pylarix Boxs"

# Section "main" of a configuration that is not a first start. Colours are 0x00BBGGRR.
MAIN_DEFAULTS = [
    ("App", "Pylarix"), ("FirstStart", 0), ("NumBox", 1), ("XBox", 90), ("YBox", 80), ("PosX", 300),
    ("PosY", 300), ("WinPos", 1), ("WinBeh", 1), ("VerifyTime", 3), ("TimeOut", 3000), ("Transparent", 255),
    ("ShowOnLineOffLineTime", 1), ("DCOBEFE", 0), ("DCOBEFPath", ""), ("DCOBEFParameters", ""),
    ("ErrorDefaultSound", 0), ("PlayErrorDefSoundPath", ""), ("ErrorTextSpeechSound", 0),
    ("ErrorTextSpeechText", "%text Error"), ("ErrorSound", 0), ("EnableLog", 0), ("ErrorMsgBox", 0),
    ("ShowUpDownTime", 0), ("ShowStatusX", 0), ("ShowVMethodIPX", 0), ("ShowIPandMethodX", 0),
    ("VolumeMute", 0), ("Volume", 65535),
]

GREEN = 0x0000FF00  # RGB 0,255,0
RED = 0x000000FF    # RGB 255,0,0
BLUE = 0x00FF0000   # RGB 0,0,255


def rgb(colorref):
    return (colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF)


def box_section(text, ip="127.0.0.1", method=2, port=80, online=GREEN, offline=RED):
    return [
        ("Text", text), ("PicTypeOnLine", 1), ("PicTypeOffLine", 1), ("OnLinePicFile", ""),
        ("OffLinePicFile", ""), ("OnLineBoxColor", online), ("OffLineBoxColor", offline),
        ("OnLineTextColor", 0), ("OffLineTextColor", 16777215), ("IPAdress", ip), ("IPv", 0),
        ("Port", port), ("VerifyMetod", method), ("Sound", 0), ("Logging", 0), ("MsgBox", 0),
        ("UpPath", ""), ("DownPath", ""), ("OpenPath", ""), ("ClosePath", ""), ("TcpDownPath", ""),
        ("CustomSoundCheck", 0), ("UpTextString", "%text is Up"), ("DownTextString", "%text is Down"),
        ("OpenTextString", "%text is Open"), ("CloseTextString", "%text is Close"),
        ("TDownTextString", "%text is Down"), ("SpeechTextCheck", 0), ("ExecFilePath", ""),
        ("ExecFileParam", ""), ("ExecFileStatusCheck", 0), ("ExecFileCheck", 0),
    ]


def write_config(appdata, boxes, hide_taskbar_button=0, **main):
    folder = os.path.join(appdata, "Pylarix")
    os.makedirs(folder, exist_ok=True)
    values = dict(MAIN_DEFAULTS)
    values["NumBox"] = len(boxes)
    values.update(main)
    lines = ["[main]"] + [f"{k}={v}" for k, v in values.items()]
    for i, box in enumerate(boxes):
        lines += ["", f"[Box {i}]"] + [f"{k}={v}" for k, v in box]
    with open(os.path.join(folder, "PylarixA.ini"), "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")
    with open(os.path.join(folder, "Main.ini"), "w", newline="\r\n") as f:
        f.write(f"[main]\nHideTaskBarButton={hide_taskbar_button}\n")
    return folder


def read_ini(path):
    sections, current = {}, None
    with open(path, "rb") as f:
        for raw in f.read().decode("utf-8", errors="replace").splitlines():
            line = raw.strip()
            if line.startswith("[") and line.endswith("]"):
                current = sections.setdefault(line[1:-1], {})
            elif "=" in line and current is not None:
                key, value = line.split("=", 1)
                current[key.strip()] = value.strip()
    return sections


def snapshot_tree(folder):
    """Every file under folder with its bytes, to prove that nothing was written."""
    files = {}
    for base, _dirs, names in os.walk(folder):
        for name in names:
            path = os.path.join(base, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, folder)] = f.read()
    return files


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def free_closed_port():
    """A loopback port nobody listens on: connects to it are refused."""
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def open_listener():
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind(("127.0.0.1", 0))
    s.listen(64)
    return s


def stuck_listener():
    """A loopback listener whose accept queue is full: further connects get no answer at all, so a
    probe of it lasts its whole time-out."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(0)
    port = listener.getsockname()[1]
    fillers = []
    for _ in range(4):
        c = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        c.setblocking(False)
        try:
            c.connect(("127.0.0.1", port))
        except BlockingIOError:
            pass
        fillers.append(c)
    time.sleep(0.2)
    return listener, fillers


def instances_of(program, appdata):
    """Running processes of the program file that were started with this APPDATA."""
    found = []
    real = os.path.realpath(program)
    marker = b"APPDATA=" + appdata.encode() + b"\0"
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            if os.path.realpath(os.readlink(f"/proc/{entry}/exe")) != real:
                continue
            with open(f"/proc/{entry}/environ", "rb") as f:
                if marker in f.read() + b"\0":
                    found.append(int(entry))
        except OSError:
            continue
    return found


def box_point(geometry, k, xbox=90, ybox=80, horizontal=True):
    """A screen point inside box k, near its leading edge and halfway down, clear of the centred
    texts and of the (absent) picture."""
    x, y, _w, _h = geometry
    if horizontal:
        return x + (k - 1) * (xbox + 1) + 8 + 3, y + 1 + ybox // 2
    return x + 1 + 3, y + (k - 1) * (ybox + 1) + 8 + ybox // 2


class Scenario:
    def __init__(self, session, program):
        self.s = session
        self.program = program

    def start(self, appdata):
        proc = self.s.start_program(self.program, appdata)
        window = self.s.wait_window(proc.pid, TITLE)
        return proc, window

    def end(self, proc):
        if proc.poll() is None:
            proc.terminate()
            try:
                proc.wait(timeout=5)
            except Exception:
                proc.kill()
                proc.wait()

    def wait_geometry(self, window, expected, what, timeout=5):
        def ok():
            g = self.s.geometry(window)
            return g if all(e is None or e == v for e, v in zip(expected, g)) else None
        try:
            return wait_for(what, ok, timeout=timeout)
        except SessionError:
            raise AssertionError(f"{what}: window at {self.s.geometry(window)}, expected {expected}")


def scenario_first_start(sc):
    s = sc.s
    appdata = s.new_appdata("first")
    proc, window = sc.start(appdata)
    data = os.path.join(appdata, "Pylarix")
    for folder in ("Pictures", "Skins", "Logs"):
        check(os.path.isdir(os.path.join(data, folder)), f"folder {folder} missing")
    config = os.path.join(data, "PylarixA.ini")
    check(os.path.isfile(config), "PylarixA.ini missing")
    check(os.path.isfile(os.path.join(data, "Main.ini")), "Main.ini missing")
    ini = read_ini(config)
    check(ini["main"].get("App") == "Pylarix", f"App is {ini['main'].get('App')!r}")
    check(ini["main"].get("NumBox") == "1", "NumBox is not 1")
    check(ini["Box 0"].get("Text") == "LOCAL", "Box 0 is not LOCAL")
    check(read_ini(os.path.join(data, "Main.ini"))["main"].get("HideTaskBarButton") == "0",
          "HideTaskBarButton 0 not written to Main.ini")

    wa = s.work_area()
    width, height = 91 + 8, 82
    # Centred with integer division as the first start does it, whatever WinPos says.
    x = wa["right"] // 2 - width // 2
    y = wa["bottom"] // 2 - height // 2
    sc.wait_geometry(window, (x, y, width, height), "one box centred in the work area")
    wait_for("FirstStart 0 and the centred position in the file",
             lambda: read_ini(config)["main"].get("FirstStart") == "0"
             and read_ini(config)["main"].get("PosX") == str(x)
             and read_ini(config)["main"].get("PosY") == str(y))
    check(len(s.windows_of(proc.pid, "^" + TITLE + "$")) >= 1, "no strip window")
    wait_for("the tray icon", lambda: s.tray_icons(proc.pid), timeout=10)
    # The shipped first-run files beside the program are copied, and nothing else is created.
    shipped = os.path.dirname(sc.program)
    for folder, names in (("Skins", ["Default.ini"]),
                          ("Pictures", ["1274607096_Desktop.ico", "1274607096_Desktop_bw.ico"])):
        check(sorted(os.listdir(os.path.join(data, folder))) == names,
              f"{folder} holds {os.listdir(os.path.join(data, folder))}, expected {names}")
        for name in names:
            with open(os.path.join(shipped, folder, name), "rb") as a, open(os.path.join(data, folder, name), "rb") as b:
                check(a.read() == b.read(), f"{folder}/{name} is not the shipped file")
    return proc


def scenario_fresh_home(sc):
    """A fresh account: no APPDATA, no XDG_CONFIG_HOME and no ~/.config yet."""
    s = sc.s
    home = s.new_appdata("home")
    check(os.listdir(home) == [], "the new home folder is not empty")
    proc = s.start_program_home(sc.program, home)
    window = s.wait_window(proc.pid, TITLE)
    data = os.path.join(home, ".config", "Pylarix")
    config = os.path.join(data, "PylarixA.ini")
    main_ini = os.path.join(data, "Main.ini")
    wait_for("PylarixA.ini and Main.ini in ~/.config/Pylarix",
             lambda: os.path.isfile(config) and os.path.isfile(main_ini), timeout=5)
    for folder in ("Pictures", "Skins", "Logs"):
        check(os.path.isdir(os.path.join(data, folder)), f"folder {folder} missing")
    ini = read_ini(config)
    check(ini["main"].get("NumBox") == "1", f"NumBox is {ini['main'].get('NumBox')!r}")
    check(ini["Box 0"].get("Text") == "LOCAL", "Box 0 is not LOCAL")
    check(read_ini(main_ini)["main"].get("HideTaskBarButton") == "0", "HideTaskBarButton 0 not written")
    # One box: the strip is as wide as the first start makes it.
    sc.wait_geometry(window, (None, None, 91 + 8, 82), "a strip of one box")
    return proc


def scenario_wayland_session(sc):
    """In a Wayland session with no platform chosen, the program runs on X11 (xcb) through the
    session's X server; a program on Wayland would show no window on the X display."""
    s = sc.s
    wayland = s.start_wayland()
    appdata = s.new_appdata("wayland")
    write_config(appdata, [box_section("WAYLAND", port=free_closed_port())], PosX=300, PosY=300)
    env = s.base_env()
    del env["QT_QPA_PLATFORM"]
    env.update(APPDATA=appdata, WAYLAND_DISPLAY=wayland, XDG_SESSION_TYPE="wayland")
    proc = s._spawn([sc.program], env=env)
    try:
        window = s.wait_window(proc.pid, TITLE)
    except SessionError:
        raise AssertionError(f"no strip on the X display; the program {'runs' if proc.poll() is None else 'ended'}")
    sc.wait_geometry(window, (300, 300, 99, 82), "the strip placed by the program")
    # And a user's own choice stands: an unknown platform makes Qt refuse to start.
    env["QT_QPA_PLATFORM"] = "pylarix-no-such-platform"
    env["APPDATA"] = s.new_appdata("wayland-choice")
    chosen = subprocess.run([sc.program], env=env, stdin=subprocess.DEVNULL, capture_output=True, timeout=30)
    check(chosen.returncode != 0, "the program ran although the user named a platform that does not exist")
    check(b"pylarix-no-such-platform" in chosen.stderr, f"Qt did not try the user's platform: {chosen.stderr[-300:]}")
    return proc


def scenario_tcp_status(sc):
    s = sc.s
    listener = open_listener()
    open_port = listener.getsockname()[1]
    closed_port = free_closed_port()
    appdata = s.new_appdata("tcp")
    data = write_config(appdata, [box_section("OPEN", port=open_port), box_section("CLOSED", port=closed_port)],
                        VerifyTime=3, TimeOut=1000, EnableLog=1, PosX=200, PosY=200)
    proc, window = sc.start(appdata)
    shown = time.monotonic()
    geometry = sc.wait_geometry(window, (None, None, 2 * 91 + 8, 82), "a strip of two boxes")

    def colours():
        image = s.grab()
        first = image.pixel(*box_point(geometry, 1))
        second = image.pixel(*box_point(geometry, 2))
        return (first, second) if first == rgb(GREEN) and second == rgb(RED) else None

    try:
        wait_for("on-line and off-line colours", colours, timeout=3, interval=0.1)
    except SessionError:
        image = s.grab()
        raise AssertionError("boxes show %s and %s, expected %s and %s" % (
            image.pixel(*box_point(geometry, 1)), image.pixel(*box_point(geometry, 2)), rgb(GREEN), rgb(RED)))
    elapsed = time.monotonic() - shown
    check(elapsed <= 3.0, f"colours shown after {elapsed:.2f} s, later than one interval (3 s)")

    logs = os.path.join(data, "Logs")
    open_log = os.path.join(logs, f"127.0.0.1_TCP_{open_port}.log")
    closed_log = os.path.join(logs, f"127.0.0.1_TCP_{closed_port}.log")

    def logged(path, tail):
        try:
            with open(path, "rb") as f:
                return tail in f.read()
        except OSError:
            return False
    wait_for("the Open log line", lambda: logged(open_log, f"IP=127.0.0.1 Port={open_port} is Open\r\n".encode()))
    wait_for("the Close log line", lambda: logged(closed_log, f"IP=127.0.0.1 Port={closed_port} is Close\r\n".encode()))
    listener.close()
    return proc


def scenario_second_start(sc):
    s = sc.s
    appdata = s.new_appdata("second")
    write_config(appdata, [box_section("ONE", port=free_closed_port())], PosX=400, PosY=300)
    proc, window = sc.start(appdata)
    x, y, _w, _h = s.geometry(window)
    # The grip's cross hides the strip to the tray.
    s.click(x + 3, y + 3)
    wait_for("the strip hidden by the cross", lambda: not s.is_viewable(window), timeout=5)

    code, took = s.run_program(sc.program, appdata, timeout=20)
    check(code == 0, f"second start ended with {code}")
    wait_for("the strip shown again", lambda: s.is_viewable(window), timeout=5)
    check(proc.poll() is None, "the first instance ended")
    running = instances_of(sc.program, appdata)
    check(running == [proc.pid], f"instances running: {running}, expected only {proc.pid}")
    return proc


def scenario_transparent(sc):
    s = sc.s
    appdata = s.new_appdata("transparent")
    data = write_config(appdata, [box_section("SEE", port=free_closed_port())], Transparent=120)
    proc, window = sc.start(appdata)
    expected = 160 * 0xFFFFFFFF // 255
    wait_for("opacity 160", lambda: s.prop(window, "_NET_WM_WINDOW_OPACITY") == str(expected), timeout=5)
    value = read_ini(os.path.join(data, "PylarixA.ini"))["main"]["Transparent"]
    check(value == "120", f"Transparent in the file became {value}")
    return proc


def scenario_stacking(sc):
    s = sc.s
    cases = [(0, "_NET_WM_STATE_ABOVE", "_NET_WM_STATE_BELOW"),
             (2, "_NET_WM_STATE_BELOW", "_NET_WM_STATE_ABOVE"),
             (1, None, None)]
    last = None
    for winbeh, present, absent in cases:
        if last is not None:
            sc.end(last)
        appdata = s.new_appdata(f"winbeh{winbeh}")
        write_config(appdata, [box_section(f"BEH {winbeh}", port=free_closed_port())], WinBeh=winbeh)
        proc, window = sc.start(appdata)
        if present:
            wait_for(f"WinBeh {winbeh}: {present}", lambda: present in s.wm_state(window), timeout=5)
            check(absent not in s.wm_state(window), f"WinBeh {winbeh}: {absent} also set")
        else:
            time.sleep(0.5)
            state = s.wm_state(window)
            check(not ({"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_BELOW"} & state), f"WinBeh 1: state {state}")
        last = proc
    return last


def scenario_skip_taskbar(sc):
    s = sc.s
    appdata = s.new_appdata("notaskbar")
    write_config(appdata, [box_section("NO TASKBAR", port=free_closed_port())], hide_taskbar_button=1)
    proc, window = sc.start(appdata)
    wait_for("_NET_WM_STATE_SKIP_TASKBAR", lambda: "_NET_WM_STATE_SKIP_TASKBAR" in s.wm_state(window), timeout=5)
    # And without the setting the strip keeps its taskbar button.
    appdata_with = s.new_appdata("taskbar")
    sc.end(proc)
    write_config(appdata_with, [box_section("TASKBAR", port=free_closed_port())], hide_taskbar_button=0)
    proc_with, window_with = sc.start(appdata_with)
    time.sleep(0.5)
    check("_NET_WM_STATE_SKIP_TASKBAR" not in s.wm_state(window_with), "taskbar button hidden without the setting")
    sc.end(proc_with)
    # The screenshot shows the strip without a taskbar button.
    proc, window = sc.start(appdata)
    wait_for("_NET_WM_STATE_SKIP_TASKBAR again", lambda: "_NET_WM_STATE_SKIP_TASKBAR" in s.wm_state(window), timeout=5)
    return proc


def scenario_tray_icon_kept(sc):
    """A change of the work area leaves the docked tray icon as it is; a tray that comes back gets
    the icon again."""
    s = sc.s
    wa = s.work_area()
    width, height = wa["right"] - wa["left"], wa["bottom"] - wa["top"]
    appdata = s.new_appdata("tray")
    write_config(appdata, [box_section("TRAY", port=free_closed_port())], PosX=400, PosY=wa["bottom"] - 82)
    proc, window = sc.start(appdata)
    icon = wait_for("the tray icon", lambda: s.tray_icons(proc.pid), timeout=10)[0]
    tray = s.x11.parent(icon)[0]
    # A panel taking 200 pixels at the bottom: the strip moves up into the smaller work area, which
    # shows that the program saw the change.
    s.set_work_area(wa["left"], wa["top"], width, height - 200)
    sc.wait_geometry(window, (None, wa["bottom"] - 200 - 82, None, None), "the strip inside the smaller work area")
    s.set_work_area(wa["left"], wa["top"], width, height)
    time.sleep(1.0)
    check(s.is_viewable(icon), "the tray icon window was taken down")
    check(s.x11.parent(icon)[0] == tray, "the tray icon left the tray")
    check(s.tray_icons(proc.pid) == [icon], f"tray icons {s.tray_icons(proc.pid)}, expected only {icon}")

    s.restart_wm()
    wait_for("the tray icon back in the new tray", lambda: s.tray_icons(proc.pid), timeout=10)
    check(len(s.tray_icons(proc.pid)) == 1, "more than one tray icon")
    return proc


def scenario_grip_turn(sc):
    s = sc.s
    appdata = s.new_appdata("turn")
    data = write_config(appdata, [box_section(f"B{i}", port=free_closed_port()) for i in range(3)],
                        PosX=300, PosY=200, WinPos=1)
    proc, window = sc.start(appdata)
    x, y, w, h = sc.wait_geometry(window, (None, None, 281, 82), "a horizontal strip of three boxes")
    # The C sits at 13..18 along the grip band (y in a horizontal strip), the band is x 1..6.
    s.click(x + 3, y + 15)
    sc.wait_geometry(window, (x, y, 92, 251), "the strip turned at the same top-left corner")
    config = os.path.join(data, "PylarixA.ini")
    wait_for("WinPos 0 written", lambda: read_ini(config)["main"].get("WinPos") == "0")
    return proc


def scenario_snap(sc):
    s = sc.s
    appdata = s.new_appdata("snap")
    data = write_config(appdata, [box_section("SNAP", port=free_closed_port())], PosX=300, PosY=300)
    proc, window = sc.start(appdata)
    x, y, w, h = sc.wait_geometry(window, (300, 300, 99, 82), "the strip at its saved position")
    wa = s.work_area()
    # Drag by the gripper (below the C) so that the right edge would end 7 pixels short of the
    # work area's right edge: it snaps flush.
    grab = (x + 3, y + 40)
    target_x = wa["right"] - 7 - w
    s.drag(grab, (grab[0] + target_x - x, grab[1]))
    flush = wa["right"] - w
    sc.wait_geometry(window, (flush, y, w, h), "the strip snapped to the right edge")
    config = os.path.join(data, "PylarixA.ini")
    wait_for("PosX of the snapped strip written", lambda: read_ini(config)["main"].get("PosX") == str(flush))
    # 12 pixels short of the left edge's snapping distance does not snap.
    x, y, w, h = s.geometry(window)
    grab = (x + 3, y + 40)
    s.drag(grab, (grab[0] - (x - (wa["left"] + 12)), grab[1]))
    sc.wait_geometry(window, (wa["left"] + 12, y, w, h), "the strip 12 pixels from the left edge, not snapped")
    # Dragged far beyond the right edge, the grip and the first box stay on screen.
    x, y, w, h = s.geometry(window)
    grab = (x + 3, y + 40)
    s.drag(grab, (s.width - 2, grab[1]))
    sc.wait_geometry(window, (wa["right"] - 90 - 9, y, w, h), "the strip stopped with its first box on screen")
    # Dragged down past the bottom, a horizontal strip keeps its bottom on the work area's bottom.
    x, y, w, h = s.geometry(window)
    grab = (x + 3, y + 40)
    s.drag(grab, (grab[0], s.height - 2))
    sc.wait_geometry(window, (x, wa["bottom"] - h, w, h), "the strip resting on the bottom edge")
    return proc


def scenario_stays_running(sc):
    """Escape, Enter and the window manager's close leave the strip and the program running; the
    cross hides the strip to the tray and a double click on the tray icon brings it back."""
    s = sc.s
    appdata = s.new_appdata("stays")
    write_config(appdata, [box_section("STAYS", port=free_closed_port())], PosX=400, PosY=300)
    proc, window = sc.start(appdata)
    s._run("xdotool", "windowactivate", "--sync", str(window), check=False)
    for keysym in ("Escape", "Return"):
        s.key(window, keysym)
        time.sleep(0.5)
        check(proc.poll() is None, f"{keysym} ended the program")
        check(s.is_viewable(window), f"{keysym} closed the strip")
    s._run("wmctrl", "-i", "-c", hex(window))
    time.sleep(1.0)
    check(proc.poll() is None, "the window manager's close ended the program")
    check(s.is_viewable(window), "the window manager's close took the strip away")

    icons = wait_for("the tray icon", lambda: s.tray_icons(proc.pid), timeout=10)
    ix, iy, iw, ih = s.geometry(icons[0])
    x, y, _w, _h = s.geometry(window)
    s.click(x + 3, y + 3)
    wait_for("the strip hidden by the cross", lambda: not s.is_viewable(window), timeout=5)
    s._run("xdotool", "mousemove", "--sync", str(ix + iw // 2), str(iy + ih // 2), "click", "--repeat", "2",
           "--delay", "80", "1")
    wait_for("the strip shown by the tray icon", lambda: s.is_viewable(window), timeout=5)
    check(proc.poll() is None, "the program ended")
    return proc


def open_tray_menu(s, proc, icon):
    """Right-clicks the tray icon; returns the menu's window."""
    known = set(s.windows_of(proc.pid))
    ix, iy, iw, ih = s.geometry(icon)
    s.click(ix + iw // 2, iy + ih // 2, button=3)

    def menu():
        for w in s.windows_of(proc.pid):
            if w not in known and s.is_viewable(w) and s.geometry(w)[3] > 100:
                return w
        return None
    return wait_for("the tray menu", menu, timeout=5)


def scenario_exit(sc):
    s = sc.s
    appdata = s.new_appdata("exit")
    # The second monitor's probe hangs for its whole 30 s time-out: Exit must not wait for it.
    stuck, fillers = stuck_listener()
    data = write_config(appdata, [box_section("EXIT", port=free_closed_port()),
                                  box_section("STUCK", port=stuck.getsockname()[1])],
                        PosX=500, PosY=400, TimeOut=30000)
    started = time.monotonic()
    proc, window = sc.start(appdata)
    icons = wait_for("the tray icon", lambda: s.tray_icons(proc.pid), timeout=10)
    # Let start-up writes (placement) settle before the comparison.
    time.sleep(1.0)
    before = snapshot_tree(data)

    known = set(s.windows_of(proc.pid))
    menu_window = open_tray_menu(s, proc, icons[0])
    mx, my, mw, mh = s.geometry(menu_window)
    s.screenshot(sc.screen_name + "-menu")
    # Exit is the menu's last item.
    s.click(mx + mw // 2, my + mh - 8)

    def question():
        for w in s.windows_of(proc.pid):
            if w not in known and w != menu_window and s.is_viewable(w):
                return w
        return None
    question_window = wait_for("the exit question", question, timeout=5)
    check(s.prop(question_window, "WM_NAME").strip('"') == "Pylarix",
          f"question titled {s.prop(question_window, 'WM_NAME')}")
    s.screenshot(sc.screen_name + "-question")
    s._run("xdotool", "windowactivate", "--sync", str(question_window), check=False)
    s._run("xdotool", "key", "--window", str(question_window), "y")
    try:
        proc.wait(timeout=5)
    except Exception:
        s._run("xdotool", "key", "--window", str(question_window), "alt+y")
        proc.wait(timeout=5)
    ended = time.monotonic() - started
    check(ended < 25, f"the program ended {ended:.1f} s after its start, after the stuck probe's time-out")
    stuck.close()
    for c in fillers:
        c.close()
    after = snapshot_tree(data)
    check(before.keys() == after.keys(), f"files changed: {sorted(before.keys() ^ after.keys())}")
    changed = [name for name in before if before[name] != after[name]]
    check(not changed, f"written at exit: {changed}")
    return None


def open_properties(sc, proc):
    """Opens the Properties dialog from the tray menu; returns the accessible application, the
    dialog and its X window."""
    import accessible as ax
    s = sc.s
    icons = wait_for("the tray icon", lambda: s.tray_icons(proc.pid), timeout=10)
    app = ax.application(proc.pid)
    open_tray_menu(s, proc, icons[0])
    # A popup menu is not in the accessibility tree: from the bottom, Exit, then Properties...
    time.sleep(0.2)
    s._run("xdotool", "key", "Up", "Up", "Return")
    window = s.wait_window(proc.pid, "Properties")
    dialog = ax.wait_find(app, "Properties", "dialog")
    s.screenshot(sc.screen_name + "-dialog")
    return app, dialog, window


def click_into(sc, window, node):
    """A real click into a control, at a place computed from the X server's geometry of its
    window (what the toolkit reports of the frame can be off under the window manager)."""
    import accessible as ax
    wx, wy, _w, _h = sc.s.geometry(window)
    x, y, w, h = ax.window_extents(node)
    sc.s.click(wx + x + max(2, w // 4), wy + y + h // 2)


def wait_key(path, key, value, what, timeout=5):
    def ok():
        try:
            return read_ini(path).get("main", {}).get(key) == value
        except OSError:
            return False
    try:
        wait_for(what, ok, timeout=timeout)
    except SessionError:
        raise AssertionError(f"{what}: {key}={read_ini(path).get('main', {}).get(key)!r}, expected {value!r}")


def scenario_properties_width(sc):
    """One click up on the width spin and OK: XBox=91 in the file, a strip one pixel wider per box."""
    import accessible as ax
    s = sc.s
    appdata = s.new_appdata("propwidth")
    data = write_config(appdata, [box_section("ONE", port=free_closed_port()),
                                  box_section("TWO", port=free_closed_port())], WinPos=1)
    proc, window = sc.start(appdata)
    before = s.geometry(window)
    app, dialog, dialog_window = open_properties(sc, proc)
    spin = ax.wait_find(dialog, "With[pixel]", "spin button")
    click_into(sc, dialog_window, spin)
    s._run("xdotool", "key", "Up")
    wait_for("the width spin at 91", lambda: spin.queryText().getText(0, -1) == "91", timeout=5)
    ax.press(ax.wait_find(dialog, "OK", "push button"))
    wait_key(os.path.join(data, "PylarixA.ini"), "XBox", "91", "XBox after OK")
    sc.wait_geometry(window, (None, None, before[2] + 2, before[3]), "the strip one pixel wider per box")
    check(not s.is_viewable(dialog_window), "the dialog stayed open after OK")
    return proc


def scenario_properties_autostart(sc):
    """Default then OK writes the autostart entry with the program's path; OK with the box clear
    removes it again."""
    import accessible as ax
    s = sc.s
    appdata = s.new_appdata("propautostart")
    write_config(appdata, [box_section("LOGIN", port=free_closed_port())])
    entry = os.path.join(s.home, ".config", "autostart", "Pylarix.desktop")
    check(not os.path.exists(entry), "an autostart entry before the test")
    proc, window = sc.start(appdata)
    app, dialog, dialog_window = open_properties(sc, proc)
    login = ax.wait_find(dialog, "Start Pylarix at login", "check box")
    check(not ax.is_checked(login), "start at login set without an entry")
    ax.press(ax.wait_find(dialog, "Default", "push button"))
    wait_for("Default setting start at login", lambda: ax.is_checked(login), timeout=5)
    ax.press(ax.wait_find(dialog, "OK", "push button"))
    wait_for("the autostart entry", lambda: os.path.exists(entry), timeout=5)
    with open(entry, encoding="utf-8") as f:
        lines = f.read().splitlines()
    check(lines[0] == "[Desktop Entry]", f"entry starts {lines[0]!r}")
    check("Type=Application" in lines, f"entry {lines}")
    check(f"Exec={os.path.realpath(sc.program)}" in lines or f"Exec={sc.program}" in lines,
          f"entry Exec is not the program's path: {lines}")
    wait_for("the dialog closed", lambda: not s.is_viewable(dialog_window), timeout=5)

    app, dialog, dialog_window = open_properties(sc, proc)
    login = ax.wait_find(dialog, "Start Pylarix at login", "check box")
    check(ax.is_checked(login), "start at login clear although the entry starts this program")
    ax.press(login)
    wait_for("start at login cleared", lambda: not ax.is_checked(login), timeout=5)
    ax.press(ax.wait_find(dialog, "OK", "push button"))
    wait_for("the autostart entry removed", lambda: not os.path.exists(entry), timeout=5)
    return proc


def scenario_properties_taskbar(sc):
    """Only Hide Taskbar Button changed and Apply: the strip leaves the taskbar at once and
    Main.ini has HideTaskBarButton=1, the dialog still open."""
    import accessible as ax
    s = sc.s
    appdata = s.new_appdata("proptaskbar")
    data = write_config(appdata, [box_section("BAR", port=free_closed_port())], hide_taskbar_button=0)
    proc, window = sc.start(appdata)
    time.sleep(0.5)
    check("_NET_WM_STATE_SKIP_TASKBAR" not in s.wm_state(window), "strip out of the taskbar before Apply")
    app, dialog, dialog_window = open_properties(sc, proc)
    ax.press(ax.wait_find(dialog, "Hide Taskbar Button", "check box"))
    ax.press(ax.wait_find(dialog, "Apply", "push button"))
    wait_key(os.path.join(data, "Main.ini"), "HideTaskBarButton", "1", "Main.ini after Apply")
    wait_for("_NET_WM_STATE_SKIP_TASKBAR after Apply",
             lambda: "_NET_WM_STATE_SKIP_TASKBAR" in s.wm_state(window), timeout=5)
    check(s.is_viewable(window), "the strip is not showing after Apply")
    check(s.is_viewable(dialog_window), "the dialog closed on Apply")
    s.screenshot(sc.screen_name + "-applied")
    ax.press(ax.wait_find(dialog, "Cancel", "push button"))
    wait_for("the dialog closed", lambda: not s.is_viewable(dialog_window), timeout=5)
    return proc


# Scenarios that drive dialogs through the accessibility tree.
ACCESSIBLE = {"properties_width", "properties_autostart", "properties_taskbar"}
def new_window(sc, proc, known, title, what):
    s = sc.s

    def find():
        for w in s.windows_of(proc.pid):
            if w not in known and s.is_viewable(w) and s.prop(w, "WM_NAME").strip('"') == title:
                return w
        return None
    return wait_for(what, find, timeout=5)


def double_click(s, window):
    x, y, w, h = s.geometry(window)
    s._run("xdotool", "mousemove", "--sync", str(x + w // 2), str(y + h // 2), "click", "--repeat", "2",
           "--delay", "80", "1")


def active_window(s):
    m = re.search(r"#\s*(0x[0-9a-f]+)", s._run("xprop", "-root", "_NET_ACTIVE_WINDOW", check=False))
    return int(m.group(1), 16) if m else 0


def scenario_modal_dialogs(sc):
    """A dialog of the program blocks only its owner: with the about box or the exit question
    open, the strip and the tray icon still answer their clicks, and a right click on the tray
    icon brings the open about box to the front instead of the menu."""
    s = sc.s
    appdata = s.new_appdata("modal")
    write_config(appdata, [box_section("MODAL", port=free_closed_port())], PosX=400, PosY=300)
    proc, window = sc.start(appdata)
    icon = wait_for("the tray icon", lambda: s.tray_icons(proc.pid), timeout=10)[0]

    # About... is the menu's first item.
    known = set(s.windows_of(proc.pid))
    mx, my, mw, mh = s.geometry(open_tray_menu(sc.s, proc, icon))
    s.click(mx + mw // 2, my + 10)
    about = new_window(sc, proc, known, "About", "the about box")
    x, y, _w, _h = s.geometry(window)
    s.click(x + 3, y + 3)
    try:
        wait_for("the strip hidden by the cross", lambda: not s.is_viewable(window), timeout=5)
    except SessionError:
        raise AssertionError("the strip's cross did not answer while the about box was open")
    double_click(s, icon)
    try:
        wait_for("the strip shown by the tray icon", lambda: s.is_viewable(window), timeout=5)
    except SessionError:
        raise AssertionError("the tray icon's double click did not reach the program while the about box was open")
    # Another program's window takes the focus; the right click gives it back to the about box.
    s._spawn(["xmessage", "-name", "pylarix-e2e-other", "-title", "pylarix-e2e-other", "-geometry", "+40+40",
              "another program"])
    other_window = wait_for("another program's window", lambda: next(
        (int(w) for w in s._run("xdotool", "search", "--name", "^pylarix-e2e-other$", check=False).split()
         if s.is_viewable(int(w))), None), timeout=10)
    s._run("xdotool", "windowactivate", "--sync", str(other_window), check=False)
    wait_for("the other program active", lambda: active_window(s) == other_window, timeout=5)
    known = set(s.windows_of(proc.pid))
    ix, iy, iw, ih = s.geometry(icon)
    s.click(ix + iw // 2, iy + ih // 2, button=3)
    wait_for("the about box brought to the front by a right click", lambda: active_window(s) == about, timeout=5)
    time.sleep(0.5)
    menus = [w for w in s.windows_of(proc.pid) if w not in known and s.is_viewable(w)]
    check(not menus, f"a menu opened while the about box was open: {menus}")
    s.screenshot(sc.screen_name + "-about")
    # The about box has the focus: Return presses its OK.
    s._run("xdotool", "key", "Return")
    wait_for("the about box closed", lambda: not s.is_viewable(about), timeout=5)

    # The exit question has no owner: with it open the hidden strip comes back by a double click.
    x, y, _w, _h = s.geometry(window)
    s.click(x + 3, y + 3)
    wait_for("the strip hidden by the cross", lambda: not s.is_viewable(window), timeout=5)
    known = set(s.windows_of(proc.pid))
    mx, my, mw, mh = s.geometry(open_tray_menu(sc.s, proc, icon))
    s.click(mx + mw // 2, my + mh - 8)
    question = new_window(sc, proc, known, "Pylarix", "the exit question")
    double_click(s, icon)
    try:
        wait_for("the strip shown by the tray icon", lambda: s.is_viewable(window), timeout=5)
    except SessionError:
        raise AssertionError("the tray icon's double click did not reach the program while the exit question was open")
    s.screenshot(sc.screen_name + "-question")
    s._run("xdotool", "windowactivate", "--sync", str(question), check=False)
    s.key(question, "n")
    wait_for("the exit question answered", lambda: not s.is_viewable(question), timeout=5)
    time.sleep(0.5)
    check(proc.poll() is None, "No ended the program")
    return proc


def grip_menu(sc, proc, window):
    """Right-clicks the grip's gripper and returns the menu window that opens, or None."""
    s = sc.s
    known = set(s.windows_of(proc.pid))
    x, y, _w, _h = s.geometry(window)
    s.click(x + 3, y + 40, button=3)

    def menu():
        for w in s.windows_of(proc.pid):
            if w not in known and s.is_viewable(w):
                return w
        return None
    try:
        return wait_for("the grip's menu", menu, timeout=3)
    except SessionError:
        return None


def scenario_no_tray(sc):
    """On a desktop without a tray (Xvfb alone, no window manager) the strip is the way back: its
    cross minimises it instead of hiding it, and the grip's menu holds the tray menu's commands.
    Once a window manager with a tray starts, the icon appears and the usual rules apply."""
    s = sc.s
    appdata = s.new_appdata("notray")
    data = write_config(appdata, [box_section("NO TRAY", port=free_closed_port())], PosX=400, PosY=300)
    config = os.path.join(data, "PylarixA.ini")
    proc, window = sc.start(appdata)
    check(not s.x11.selection_owner("_NET_SYSTEM_TRAY_S0"), "a tray is running")

    # The cross minimises, which with no window manager to carry it out leaves the strip where
    # it is (the window tests see the minimised state); hidden it would be out of reach.
    x, y, _w, _h = s.geometry(window)
    s.click(x + 3, y + 3)
    time.sleep(1.0)
    check(s.is_viewable(window), "the cross hid the strip with no tray to bring it back")

    # The grip's menu: its one submenu holds the tray menu; Always Bottom is its fifth item.
    check(grip_menu(sc, proc, window) is not None, "no menu on the grip without a tray")
    s.screenshot(sc.screen_name + "-grip-menu")
    for key in ("Down", "Right", "Down", "Down", "Down", "Down", "Return"):
        s._run("xdotool", "key", key)
        time.sleep(0.15)
    wait_for("WinBeh 2 written by the grip menu's Always Bottom",
             lambda: read_ini(config)["main"].get("WinBeh") == "2", timeout=5)
    # Exit is the tray menu's last item: its question comes up.
    known = set(s.windows_of(proc.pid))
    check(grip_menu(sc, proc, window) is not None, "no menu on the grip the second time")
    for key in ("Down", "Right", "Up", "Return"):
        s._run("xdotool", "key", key)
        time.sleep(0.15)
    question = new_window(sc, proc, known, "Pylarix", "the exit question from the grip menu")
    s._run("xdotool", "windowfocus", "--sync", str(question), check=False)
    s._run("xdotool", "key", "n")
    wait_for("the exit question answered", lambda: not s.is_viewable(question), timeout=5)
    check(proc.poll() is None, "No ended the program")

    # A tray appears: the icon docks into it, the cross hides the strip and the icon shows it.
    s.start_wm()
    wait_for("the tray icon once IceWM runs", lambda: s.tray_icons(proc.pid), timeout=15)
    wait_for("the strip managed by IceWM", lambda: s.is_viewable(window), timeout=5)
    # Once the program has seen the tray (it looks every second) the cross hides to it.
    time.sleep(1.5)
    x, y, _w, _h = s.geometry(window)
    s.click(x + 3, y + 3)
    wait_for("the strip hidden to the tray", lambda: not s.is_viewable(window), timeout=5)
    time.sleep(0.3)
    check("Iconic" not in s.prop(window, "WM_STATE"), "the cross minimised the strip although a tray runs")
    double_click(s, s.tray_icons(proc.pid)[0])
    wait_for("the strip shown by the tray icon", lambda: s.is_viewable(window), timeout=5)
    check(grip_menu(sc, proc, window) is None, "the grip still shows the tray commands with a tray present")
    return proc


SCENARIOS = {
    "first_start": scenario_first_start,
    "fresh_home": scenario_fresh_home,
    "tcp_status": scenario_tcp_status,
    "second_start": scenario_second_start,
    "transparent": scenario_transparent,
    "stacking": scenario_stacking,
    "skip_taskbar": scenario_skip_taskbar,
    "tray_icon_kept": scenario_tray_icon_kept,
    "grip_turn": scenario_grip_turn,
    "snap": scenario_snap,
    "stays_running": scenario_stays_running,
    "exit": scenario_exit,
    "properties_width": scenario_properties_width,
    "properties_autostart": scenario_properties_autostart,
    "properties_taskbar": scenario_properties_taskbar,
    "wayland_session": scenario_wayland_session,
    "modal_dialogs": scenario_modal_dialogs,
    "no_tray": scenario_no_tray,
}


# Scenarios that start with a bare X server and start the window manager themselves, if at all.
WITHOUT_WINDOW_MANAGER = {"no_tray"}


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in SCENARIOS:
        print("usage: scenarios.py " + "|".join(SCENARIOS), file=sys.stderr)
        return 2
    name = sys.argv[1]
    bin_dir = os.environ.get("PYLARIX_BIN_DIR") or os.path.join(os.getcwd(), "bin")
    program = os.path.join(bin_dir, "pylarix")
    screens = os.environ.get("PYLARIX_E2E_SCREENS") or os.path.join(os.path.dirname(bin_dir), "e2e-screens")
    if not os.access(program, os.X_OK):
        print(f"FAIL {name}: program {program} not built", file=sys.stderr)
        return 1
    with Session(name, screens, accessibility=name in ACCESSIBLE,
                 window_manager=name not in WITHOUT_WINDOW_MANAGER) as session:
        sc = Scenario(session, program)
        sc.screen_name = name
        proc = None
        try:
            proc = SCENARIOS[name](sc)
            time.sleep(0.3)
            print("screenshot", session.screenshot(name))
            print(f"PASS {name}")
            return 0
        except Exception as e:  # every failure leaves its screenshot
            traceback.print_exc()
            print("screenshot", session.screenshot(name + "-failed"))
            print(f"FAIL {name}: {e}", file=sys.stderr)
            return 1
        finally:
            if proc is not None:
                sc.end(proc)


if __name__ == "__main__":
    sys.exit(main())
