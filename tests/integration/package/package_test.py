#!/usr/bin/env python3
"""The Debian package, end to end, as root: scripts/package.sh packages the build tree, apt-get
installs the package with its dependencies, the installed /usr/bin/pylarix runs in a private
Xvfb + IceWM + PulseAudio session with a fresh data folder, and apt-get removes it again.

Usage: package_test.py   (PYLARIX_SOURCE_DIR, PYLARIX_BUILD_DIR)
"""

import array
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

SOURCE = os.environ.get("PYLARIX_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", "..", ".."))
sys.path.insert(0, os.path.join(SOURCE, "scripts", "e2e"))
sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e"))
from session import Session, wait_for  # noqa: E402
import scenarios  # noqa: E402
from scenarios import box_section, check, open_listener, write_config  # noqa: E402

PROGRAM = "/usr/bin/pylarix"
SHARE = "/usr/share/pylarix"
FIRST_RUN = ["Pictures/1274607096_Desktop.ico", "Pictures/1274607096_Desktop_bw.ico", "Skins/Default.ini"]
EXPECTED_FILES = [
    "./usr/bin/pylarix",
    "./usr/share/pylarix/Help.html",
    "./usr/share/pylarix/Sound/Up.wav",
    "./usr/share/pylarix/Sound/Down.wav",
    "./usr/share/pylarix/Sound/CompError.wav",
    "./usr/share/pylarix/Sound/VolumeTest.wav",
    "./usr/share/applications/pylarix.desktop",
    "./usr/share/metainfo/com.kelvade.Pylarix.metainfo.xml",
    "./usr/share/man/man1/pylarix.1.gz",
    "./usr/share/icons/hicolor/scalable/apps/pylarix.svg",
] + [f"./usr/share/pylarix/{name}" for name in FIRST_RUN] + [
    f"./usr/share/icons/hicolor/{n}x{n}/apps/pylarix.png" for n in (16, 22, 24, 32, 48, 64, 128, 256)]

APT = ["apt-get", "-o", "DPkg::Lock::Timeout=300", "-y", "-q"]


def run(argv, **kw):
    result = subprocess.run(argv, capture_output=True, text=True, **kw)
    if result.returncode != 0:
        raise AssertionError(f"{' '.join(argv)} failed ({result.returncode}):\n{result.stdout}\n{result.stderr}")
    return result.stdout


def installed():
    result = subprocess.run(["dpkg-query", "-W", "-f=${Status}", "pylarix"], capture_output=True, text=True)
    return result.returncode == 0 and "install ok installed" in result.stdout


def check_package(deb):
    name = os.path.basename(deb)
    version = re.search(r"project\(Pylarix VERSION (\S+)", open(os.path.join(SOURCE, "CMakeLists.txt")).read())
    arch = run(["dpkg", "--print-architecture"]).strip()
    check(name == f"pylarix_{version.group(1)}_{arch}.deb", f"package named {name}")
    files = run(["dpkg-deb", "-c", deb])
    listed = {line.split()[-1] for line in files.splitlines() if line.strip()}
    missing = [f for f in EXPECTED_FILES if f not in listed]
    check(not missing, f"missing from the package: {missing}")
    description = run(["dpkg-deb", "-f", deb, "Description"])
    check(";" not in description and description.startswith("desktop network monitor"),
          f"description: {description!r}")
    depends = run(["dpkg-deb", "-f", deb, "Depends"])
    for library in ("libqt6widgets6", "libqt6gui6", "libsndfile1", "libpulse0", "libespeak-ng1", "libqt6svg6"):
        check(library in depends, f"Depends lacks {library}: {depends}")
    # The icon sizes are what their folders say.
    for n in (16, 256):
        png = run(["sh", "-c", f"dpkg-deb --fsys-tarfile '{deb}' | tar -xO ./usr/share/icons/hicolor/{n}x{n}/apps/pylarix.png"
                   " | od -An -tx1 -j16 -N8"]).split()
        width, height = int("".join(png[0:4]), 16), int("".join(png[4:8]), 16)
        check((width, height) == (n, n), f"the {n} pixel icon is {width}x{height}")


def bluish(pixel):
    """The screen of the shipped on-line picture; neither the box colours nor any gray."""
    r, g, b = pixel
    return b - r > 90 and b - g > 40


def mid_gray(pixel):
    r, g, b = pixel
    return r == g == b and 20 < r < 235


def count_in_box(session, geometry, predicate):
    image = session.grab()
    x, y, _w, _h = geometry
    # The one box of a horizontal strip: right of the grip and its 8 pixels, 90 by 80.
    return sum(1 for yy in range(y + 1, y + 81) for xx in range(x + 8, x + 98) if predicate(image.pixel(xx, yy)))


def record(session, path):
    env = session.base_env()
    return subprocess.Popen(["parecord", "--raw", "--format=s16le", "--rate=44100", "--channels=1",
                             "-d", "e2e_null.monitor", path], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def tones(path):
    """The steady tones of a raw recording in order, each as its frequency rounded to 10 Hz: runs
    of at least two 50 ms windows of one pitch (a window across a change of tone is no tone)."""
    samples = array.array("h")
    with open(path, "rb") as f:
        samples.frombytes(f.read())
    window = 2205
    pitches = []
    for start in range(0, len(samples) - window, window):
        chunk = samples[start:start + window]
        if max(abs(v) for v in chunk) < 3000:
            pitches.append(None)
            continue
        crossings = sum(1 for a, b in zip(chunk, chunk[1:]) if (a < 0) != (b < 0))
        pitches.append(round(crossings / 2 / 0.05 / 10) * 10)
    found, run_pitch, run_length = [], None, 0
    for pitch in pitches + [None]:
        if pitch is not None and run_pitch is not None and abs(pitch - run_pitch) <= 20:
            run_length += 1
            continue
        if run_pitch is not None and run_length >= 2:
            found.append(run_pitch)
        run_pitch, run_length = pitch, 1
    return found


def scenario_installed(session, screens):
    sc = scenarios.Scenario(session, PROGRAM)
    appdata = session.new_appdata("installed")
    data = os.path.join(appdata, "Pylarix")

    # First start: the shipped pictures and Default skin are copied, the one box shows the picture.
    proc, window = sc.start(appdata)
    for name in FIRST_RUN:
        with open(os.path.join(SHARE, name), "rb") as a, open(os.path.join(data, name), "rb") as b:
            check(a.read() == b.read(), f"{name} is not the shipped file")
    geometry = sc.wait_geometry(window, (None, None, 99, 82), "the first start's one box")
    wait_for("the shipped on-line picture in the LOCAL box",
             lambda: count_in_box(session, geometry, bluish) > 60, timeout=10, interval=0.2)
    session.screenshot("package-first-start")
    sc.end(proc)

    # A TCP monitor that is open and then refused: its gray picture and the Close sound.
    listener = open_listener()
    port = listener.getsockname()[1]
    box = dict(box_section("CLOSES", port=port))
    box.update(OnLinePicFile="1274607096_Desktop.ico", OffLinePicFile="1274607096_Desktop_bw.ico", Sound=4)
    write_config(appdata, [list(box.items())], VerifyTime=1, TimeOut=1000, PosX=300, PosY=300,
                 ShowUpDownTime=1, ShowStatusX=1, ShowIPandMethodX=1)
    proc, window = sc.start(appdata)
    geometry = sc.wait_geometry(window, (300, 300, 99, 82), "the TCP monitor's box")
    wait_for("the on-line picture while the port is open",
             lambda: count_in_box(session, geometry, bluish) > 400, timeout=10, interval=0.2)

    raw = os.path.join(session.root, "close.raw")
    recorder = record(session, raw)
    # parecord takes a while to connect on a busy machine; the sound must not start before it.
    time.sleep(2.0)
    listener.close()
    try:
        wait_for("the gray off-line picture once the port is refused",
                 lambda: count_in_box(session, geometry, bluish) == 0
                 and count_in_box(session, geometry, mid_gray) > 500, timeout=10, interval=0.2)
        session.screenshot("package-close")
        # parecord loses the last part of a recording when it is stopped.
        time.sleep(3.0)
    finally:
        recorder.terminate()
        recorder.wait(timeout=5)
    heard = tones(raw)
    # Down.wav, which a Close plays: 880, 660 and 440 Hz.
    check(any(heard[i:i + 3] == [880, 660, 440] for i in range(len(heard))),
          f"the Close sound was not heard; tones heard: {heard}")
    return proc


def main():
    if os.geteuid() != 0:
        print("FAIL package: needs root (apt-get installs the package)", file=sys.stderr)
        return 1
    build = os.environ.get("PYLARIX_BUILD_DIR")
    if not build:
        print("FAIL package: PYLARIX_BUILD_DIR not set", file=sys.stderr)
        return 1
    screens = os.path.join(build, "e2e-screens")
    out = tempfile.mkdtemp(prefix="pylarix-package-")
    proc = None
    try:
        deb = run(["bash", os.path.join(SOURCE, "scripts", "package.sh"), build, out]).strip().splitlines()[-1]
        check(os.path.isfile(deb), f"package.sh named {deb}")
        check_package(deb)
        run(APT + ["install", "--no-install-recommends", deb], env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
        check(installed() and os.access(PROGRAM, os.X_OK), "pylarix is not installed")
        with Session("package", screens) as session:
            try:
                proc = scenario_installed(session, screens)
            except Exception:
                session.screenshot("package-failed")
                raise
            finally:
                if proc is not None and proc.poll() is None:
                    proc.terminate()
                    proc.wait(timeout=5)
        run(APT + ["remove", "pylarix"], env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
        check(not installed(), "pylarix still installed after apt-get remove")
        check(not os.path.exists(PROGRAM) and not os.path.exists(SHARE), "files left after apt-get remove")
        print("PASS package")
        return 0
    except Exception as e:
        traceback.print_exc()
        print(f"FAIL package: {e}", file=sys.stderr)
        return 1
    finally:
        if installed():
            subprocess.run(APT + ["remove", "pylarix"], capture_output=True,
                           env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
        shutil.rmtree(out, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
