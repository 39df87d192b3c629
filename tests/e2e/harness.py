"""End-to-end harness: the real menu under Wine on a virtual X server.

Each test module gets its own Xvfb; every build folder has one Wine prefix
with a 1024 x 768 virtual desktop, so windows have real frames and the
screen size is known. Every process a test starts is ended by its id, and a
failing test leaves a screenshot in the artifacts folder."""

import contextlib
import ctypes
import fcntl
import json
import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

EXE = os.environ.get("VELBROOK_EXE", "")
STUB = os.environ.get("VELBROOK_STUB", "")
PROBE = os.environ.get("VELBROOK_PROBE", "")
ARCH = os.environ.get("VELBROOK_WINEARCH", "win32")
PREFIX = os.environ.get("VELBROOK_PREFIX", "")
ARTIFACTS = os.environ.get("VELBROOK_ARTIFACTS", tempfile.gettempdir())
WORK = os.environ.get("VELBROOK_WORK", tempfile.gettempdir())

def _read_product():
    """The product's facts as the build wrote them from its description (outside
    ctest, where the tests skip, none)."""
    path = os.environ.get("VELBROOK_PRODUCT_JSON", "")
    if not path:
        return {"caption": "", "title": "", "executable": "menu.exe", "languages": []}
    with open(path, encoding="utf-8") as f:
        return json.load(f)


PRODUCT = _read_product()
TITLE = PRODUCT["caption"]
APP_TITLE = PRODUCT["title"]
SCREEN = (1024, 768)
TWIPS_PER_PIXEL = 15
def _read_layout():
    """The window's layout in client pixels, as the build wrote it from the layout table."""
    path = os.environ.get("VELBROOK_LAYOUT", "")
    if not path:
        return {"client": [0, 0], "offered": [], "controls": {}}
    with open(path, encoding="utf-8") as f:
        return json.load(f)


LAYOUT = _read_layout()


def rect(control):
    """A control's rectangle in client pixels (x, y, w, h), by its name: "Command1", "CountryPic(0)".
    None outside ctest, where there is no layout (the tests then skip)."""
    return tuple(LAYOUT["controls"][control]["rect"]) if LAYOUT["controls"] else None


CLIENT_PIXELS = tuple(LAYOUT["client"])

# The offered languages by code: the folder of each setup, and the picture's rectangle.
SETUP_FOLDERS = {row["code"]: row["folder"] for row in PRODUCT["languages"]}
LANGUAGES = {i: (SETUP_FOLDERS[i], rect(f"CountryImage({i})")) for i in LAYOUT["offered"]}
COMMAND1 = rect("Command1")
COUNTRYPIC0 = rect("CountryPic(0)")


# The loader of the prefix's own architecture. Through the `wine` script a
# 64-bit program runs under start.exe in a second process, so the id that
# Popen returns would not be the program's.
LOADER = "/usr/lib/wine/wine64" if ARCH == "win64" and os.path.exists("/usr/lib/wine/wine64") else "wine"


def unrunnable_reason():
    """Why Wine cannot run programs of this architecture here, or None. A machine
    without 32-bit Linux support (some sandboxes) cannot start Wine's 32-bit loader."""
    loader = "/usr/lib/wine/wine64" if ARCH == "win64" else "/usr/lib/wine/wine"
    if not os.path.exists(loader):
        return None  # another layout of Wine: let it try
    try:
        subprocess.run([loader, "--version"], capture_output=True, timeout=60, check=True)
    except (OSError, subprocess.SubprocessError) as e:
        return f"this machine cannot run Wine's {ARCH} loader ({e}); its programs are not run here"
    return None


def wait_for(condition, timeout=20.0, what="condition", interval=0.1):
    """Polls `condition` until it returns something truthy, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def windows_path(unix_path):
    """Wine's Z: drive is the Unix root."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


class Frame:
    """Raw RGB pixels of a screen or a reference rendering."""

    def __init__(self, data, width, height):
        if len(data) != width * height * 3:
            raise ValueError(f"{len(data)} bytes for {width} x {height}")
        self.data, self.width, self.height = data, width, height

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def crop(self, x, y, w, h):
        rows = [self.data[3 * ((y + j) * self.width + x):3 * ((y + j) * self.width + x + w)] for j in range(h)]
        return Frame(b"".join(rows), w, h)


class Display:
    """An Xvfb of its own, on a display number it picks itself."""

    def __init__(self):
        read, write = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            number = f.readline().strip()
        if not number:
            self.proc.kill()
            raise RuntimeError("Xvfb did not start")
        self.name = f":{number}"

    def grab(self):
        """The whole screen as it is now."""
        out = subprocess.run(["import", "-display", self.name, "-window", "root", "-depth", "8", "rgb:-"],
                             capture_output=True, timeout=30, check=True)
        return Frame(out.stdout, *SCREEN)

    def cursor(self):
        """The pointer as the X server draws it now: hotspot, size and ARGB pixels (XFixes)."""
        class Image(ctypes.Structure):
            _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                        ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                        ("serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong))]
        x11, xfixes = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXfixes.so.3")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(Image)
        display = ctypes.c_void_p(x11.XOpenDisplay(self.name.encode()))
        major, minor = ctypes.c_int(4), ctypes.c_int(0)
        xfixes.XFixesQueryVersion(display, ctypes.byref(major), ctypes.byref(minor))
        image = xfixes.XFixesGetCursorImage(display).contents
        shape = ((image.xhot, image.yhot), (image.width, image.height),
                 tuple(image.pixels[i] & 0xFFFFFFFF for i in range(image.width * image.height)))
        x11.XFree(ctypes.byref(image))
        x11.XCloseDisplay(display)
        return shape

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.name, "-window", "root", path],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)

    def stop(self):
        self.proc.terminate()
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


class Wine:
    def __init__(self, display):
        self.display = display
        self.env = dict(os.environ, WINEPREFIX=PREFIX, WINEARCH=ARCH, WINEDEBUG="-all",
                        DISPLAY=display.name, WINEDLLOVERRIDES="mscoree,mshtml=")
        if LOADER != "wine":
            self.env["WINELOADER"] = LOADER
        self.procs = []

    def ensure_prefix(self):
        """Creates the build folder's prefix once; later runs reuse it."""
        os.makedirs(os.path.dirname(PREFIX), exist_ok=True)
        with open(PREFIX + ".lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            if os.path.exists(os.path.join(PREFIX, ".velbrook-ready")):
                return
            shutil.rmtree(PREFIX, ignore_errors=True)
            subprocess.run([LOADER, "wineboot", "-i"], env=self.env, check=True, timeout=300,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for key, name, value in [(r"HKCU\Software\Wine\Explorer", "Desktop", "Default"),
                                     (r"HKCU\Software\Wine\Explorer\Desktops", "Default", "x".join(map(str, SCREEN)))]:
                subprocess.run([LOADER, "reg", "add", key, "/v", name, "/d", value, "/f"], env=self.env,
                               check=True, timeout=120, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=120)
            open(os.path.join(PREFIX, ".velbrook-ready"), "w").close()

    def reg(self, *args):
        """`reg add ...` (which must succeed) or `reg delete ...` in the prefix."""
        subprocess.run([LOADER, "reg", *args, "/f"], env=self.env, timeout=120, check=args[0] == "add",
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start(self, exe, *args, env=None):
        proc = subprocess.Popen([LOADER, exe, *args], env=dict(self.env, **(env or {})),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        self.procs.append(proc)
        return proc

    def probe(self, *args):
        # Into a file, not a pipe: a wineserver or explorer started by this call would
        # inherit the pipe and hold it open long after the probe has ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            proc = subprocess.Popen([LOADER, PROBE, *args], env=self.env, stdout=out, stderr=err,
                                    stdin=subprocess.DEVNULL)
            try:
                code = proc.wait(timeout=60)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
                raise
            out.seek(0)
            err.seek(0)
            if code != 0:
                raise RuntimeError(f"probe {args} failed: {err.read().decode(errors='replace')}")
            text = out.read().decode("utf-8").strip()
        return json.loads(text) if text.startswith(("[", "{")) else text

    def forms(self, pid=None):
        found = self.probe("windows", TITLE)
        return [w for w in found if w["class"] == "VelbrookForm" and (pid is None or w["pid"] == pid)]

    def dialogs(self, title=APP_TITLE):
        return [d for d in self.probe("dialog", title) if d["visible"]]

    def end_all(self):
        """Ends every process this object started, by its id."""
        for proc in self.procs:
            if proc.poll() is None:
                try:
                    os.killpg(proc.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                proc.wait()
        self.procs.clear()

    def kill_server(self):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)


class Pointer:
    def __init__(self, display):
        self.env = dict(os.environ, DISPLAY=display.name)

    def _xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=30)

    def location(self):
        out = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env, check=True, timeout=30,
                             capture_output=True, text=True).stdout
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"])

    def move(self, x, y):
        # --sync waits for the pointer to move, which it never does when it is there already.
        if self.location() != (x, y):
            self._xdotool("mousemove", "--sync", str(x), str(y))

    def path(self, points, per_call=500):
        """Moves through many points, several hundred to one xdotool call."""
        for i in range(0, len(points), per_call):
            args = []
            for x, y in points[i:i + per_call]:
                args += ["mousemove", str(x), str(y)]
            self._xdotool(*args)

    def burst(self, *commands):
        """Several xdotool commands in one call: their events arrive together."""
        self._xdotool(*commands)

    def keys(self, *names):
        self._xdotool("key", *names)

    def click(self, x, y, button=1):
        self.move(x, y)
        self._xdotool("click", str(button))


class Medium:
    """A medium folder: the menu beside language folders with the stub setup."""

    LANGUAGE_FOLDERS = tuple(row["folder"] for row in PRODUCT["languages"])

    def __init__(self, root, name="Medium", setups=LANGUAGE_FOLDERS):
        self.folder = os.path.join(root, name)
        os.makedirs(self.folder)
        self.exe = os.path.join(self.folder, PRODUCT["executable"])
        shutil.copy(EXE, self.exe)
        for row in PRODUCT["languages"]:
            os.makedirs(os.path.join(self.folder, row["folder"]))
            if row["folder"] in setups:
                shutil.copy(STUB, os.path.join(self.folder, row["folder"], row["program"]))


class MenuTest(unittest.TestCase):
    """Base of the e2e tests: one display and prefix for the module, a fresh
    work folder and stub log per test."""

    display = None
    wine = None

    @classmethod
    def setUpClass(cls):
        for name, value in (("VELBROOK_EXE", EXE), ("VELBROOK_STUB", STUB), ("VELBROOK_PROBE", PROBE),
                            ("VELBROOK_PREFIX", PREFIX), ("VELBROOK_LAYOUT", LAYOUT["controls"])):
            if not value:
                raise unittest.SkipTest(f"{name} is not set: run through ctest")
        reason = unrunnable_reason()
        if reason:
            raise unittest.SkipTest(reason)
        cls.display = Display()
        cls.wine = Wine(cls.display)
        cls.wine.ensure_prefix()
        cls.pointer = Pointer(cls.display)

    @classmethod
    def tearDownClass(cls):
        if cls.wine:
            cls.wine.end_all()
            cls.wine.kill_server()
        if cls.display:
            cls.display.stop()

    def _fault_count(self):
        result = getattr(getattr(self, "_outcome", None), "result", None)
        return len(result.failures) + len(result.errors) if result else 0

    def setUp(self):
        self._faults_before = self._fault_count()
        os.makedirs(WORK, exist_ok=True)
        self.work = tempfile.mkdtemp(prefix=self.id().rsplit(".", 1)[-1] + "-", dir=WORK)
        self.log = os.path.join(self.work, "stub.log")

    def tearDown(self):
        if self._fault_count() > self._faults_before:
            os.makedirs(ARTIFACTS, exist_ok=True)
            shot = os.path.join(ARTIFACTS, f"{ARCH}-{self.id()}.png")
            self.display.screenshot(shot)
            print(f"\nscreenshot of the failure: {shot}")
        self.wine.end_all()
        # Anything the menu started in the prefix ends too, so the next test starts clean.
        self.wine.kill_server()
        shutil.rmtree(self.work, ignore_errors=True)

    # Helpers.

    @contextlib.contextmanager
    def screenshot_on_failure(self, name):
        """For a failure inside a loop or subtest: the screen as it was then, not at the test's end."""
        try:
            yield
        except Exception:
            os.makedirs(ARTIFACTS, exist_ok=True)
            shot = os.path.join(ARTIFACTS, f"{ARCH}-{self.id()}-{name}.png")
            self.display.screenshot(shot)
            print(f"\nscreenshot of the failure: {shot}")
            raise

    def start_menu(self, exe):
        return self.wine.start(exe, env={"VELBROOK_STUB_LOG": windows_path(self.log)})

    def wait_for_form(self, proc):
        def shown():
            if proc.poll() is not None:
                raise AssertionError(f"the menu ended early with status {proc.returncode}")
            forms = [w for w in self.wine.forms() if w["visible"]]
            return forms[0] if len(forms) == 1 else None
        return wait_for(shown, 60, "the menu's window")

    def wait_for_button_focus(self, form):
        """Wine activates a new window asynchronously; the focus follows the activation."""
        wait_for(lambda: [w for w in self.wine.forms(form["pid"]) if w["focus_class"].lower() == "button"], 10,
                 "the exit button to hold the focus")

    def wait_for_exit(self, proc, timeout=30):
        wait_for(lambda: proc.poll() is not None, timeout, "the menu to end")
        return proc.returncode

    def wait_for_setups_to_end(self):
        """Until no setup started from this test's folders runs (Wine's processes are
        Linux ones), so that the stub log holds every start."""
        marker = os.path.basename(self.work).encode()

        def running():
            for pid in filter(str.isdigit, os.listdir("/proc")):
                try:
                    with open(f"/proc/{pid}/cmdline", "rb") as f:
                        line = f.read()
                except OSError:
                    continue
                if marker in line and b"setup.exe" in line.lower():
                    return True
            return False
        wait_for(lambda: not running(), 30, "the setups to end")

    def launches(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8") as f:
            return [json.loads(line) for line in f if line.strip()]

    def click_client(self, form, x, y, button=1):
        left, top = form["client"][0], form["client"][1]
        self.pointer.click(left + x, top + y, button)

    def click_centre(self, form, rect, button=1):
        x, y, w, h = rect
        self.click_client(form, x + w // 2, y + h // 2, button)
