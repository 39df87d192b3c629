"""The menu's programs under Wine on an X display: a virtual X server, a Wine
prefix that starts programs and ends them again by their ids, the pointer and
keyboard through xdotool, and the screen's pixels; a Session sets them up and
tears them down. The demo, the screenshots, the benchmark and the end-to-end
tests all run the menu through this.

Nothing here knows a product: the prefix, the architecture, the probe and the
captions to look for are the caller's."""

import ctypes
import fcntl
import glob
import json
import os
import shutil
import signal
import subprocess
import tempfile
import time

# What ensure_prefix makes a prefix with; a prefix made by another is made again.
PREFIX_RECIPE = "2: a virtual desktop of SCREEN, the bitmap MS Sans Serif"

# Wine's own copies of Windows' bitmap fonts (Debian's fonts-wine).
BITMAP_FONTS = "/usr/share/wine/fonts"

# Every session's screen unless it asks for another: a known size, so that the
# menu's centred window lands where the tests expect it.
SCREEN = (1024, 768)
# Room for the 200 % window, frame and all.
LARGE_SCREEN = (2400, 1700)
# Where a prefix keeps its virtual desktop's size, and the density every program sees.
DESKTOPS = r"HKCU\Software\Wine\Explorer\Desktops"
LOG_PIXELS = r"HKCU\Control Panel\Desktop"


def loader(arch):
    """The loader of the prefix's own architecture. Through the `wine` script a
    64-bit program runs under start.exe in a second process, so the id that
    Popen returns would not be the program's."""
    return "/usr/lib/wine/wine64" if arch == "win64" and os.path.exists("/usr/lib/wine/wine64") else "wine"


def unrunnable_reason(arch):
    """Why Wine cannot run programs of this architecture here, or None: its part
    for the architecture is not installed, or this machine cannot start its loader
    (some sandboxes cannot run 32-bit Linux programs)."""
    path = "/usr/lib/wine/wine64" if arch == "win64" else "/usr/lib/wine/wine"
    if not os.path.exists(path):
        if not os.path.isdir("/usr/lib/wine"):
            return None  # another layout of Wine: let it try
        part = "wine64" if arch == "win64" else "wine32:i386"
        return f"Wine's {arch} part ({part}) is not installed; ./scripts/deps.sh names why it could not install it"
    try:
        subprocess.run([path, "--version"], capture_output=True, timeout=60, check=True)
    except (OSError, subprocess.SubprocessError) as e:
        return f"this machine cannot run Wine's {arch} loader ({e}); its programs are not run here"
    return None


def must_run(arch):
    """Whether a Wine case of `arch` that cannot run here fails instead of skipping: the
    32-bit build is the one that ships, and a CI run must never leave it unseen."""
    return arch == "win32" and os.environ.get("CI", "").lower() in ("true", "1", "yes")


def record_skip(build, what, reason):
    """Notes a skipped case in the build folder, where scripts/test.sh sums them up."""
    if build and os.path.isdir(build):
        with open(os.path.join(build, "skipped-cases.txt"), "a", encoding="utf-8") as f:
            f.write(f"{what}\t{' '.join(reason.split())}\n")


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
    """Raw RGB pixels of a screen, a reference rendering or a picture file."""

    def __init__(self, data, width, height):
        if len(data) != width * height * 3:
            raise ValueError(f"{len(data)} bytes for {width} x {height}")
        self.data, self.width, self.height = data, width, height

    @staticmethod
    def read(path):
        """A picture file (the art generator's BMP or PNG), as ImageMagick reads it."""
        convert = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"
        size = subprocess.run([convert, path, "-format", "%w %h", "info:"], capture_output=True, text=True, check=True)
        rgb = subprocess.run([convert, path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
        return Frame(rgb, *map(int, size.stdout.split()))

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def crop(self, x, y, w, h):
        rows = [self.data[3 * ((y + j) * self.width + x):3 * ((y + j) * self.width + x + w)] for j in range(h)]
        return Frame(b"".join(rows), w, h)


class Display:
    """An Xvfb of its own of `size`, on a display number it picks itself."""

    def __init__(self, size=SCREEN):
        self.size = size
        read, write = os.pipe()
        # -noreset: by default the server starts over when its last client leaves (as
        # Wine's do between two tests), and a client that connects meanwhile is refused.
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", f"{size[0]}x{size[1]}x24", "-nolisten", "tcp",
             "-noreset"],
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
        return Frame(out.stdout, *self.size)

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
    """A Wine prefix with a virtual desktop the size of the screen, on `display`
    (anything with the X display's `name`). `probe` is the test programs'
    window probe; `caption` and `title` are those of the menu's window and
    of its message boxes."""

    def __init__(self, display, prefix, arch, probe=None, caption="", title="", form_class=""):
        self.display, self.prefix, self.arch = display, prefix, arch
        self.probe_exe, self.caption, self.title = probe, caption, title
        self.form_class = form_class  # the product's window class, which tells its window from others
        self.loader = loader(arch)
        self.env = dict(os.environ, WINEPREFIX=prefix, WINEARCH=arch, WINEDEBUG="-all",
                        DISPLAY=display.name, WINEDLLOVERRIDES="mscoree,mshtml=")
        if self.loader != "wine":
            self.env["WINELOADER"] = self.loader
        self.procs = []

    def ensure_prefix(self):
        """Creates the prefix once; later runs reuse it, unless it was made by an older recipe."""
        os.makedirs(os.path.dirname(self.prefix), exist_ok=True)
        ready = os.path.join(self.prefix, ".velbrook-ready")
        with open(self.prefix + ".lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            if os.path.exists(ready) and open(ready, encoding="utf-8").read() == PREFIX_RECIPE:
                return
            shutil.rmtree(self.prefix, ignore_errors=True)
            subprocess.run([self.loader, "wineboot", "-i"], env=self.env, check=True, timeout=300,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for key, name, value in [(r"HKCU\Software\Wine\Explorer", "Desktop", "Default"),
                                     (DESKTOPS, "Default", "x".join(map(str, SCREEN)))]:
                subprocess.run([self.loader, "reg", "add", key, "/v", name, "/d", value, "/f"], env=self.env,
                               check=True, timeout=120, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # Windows keeps its bitmap fonts (MS Sans Serif among them) in its Fonts folder; Wine
            # reads bitmap fonts only from there, and without them draws the name in a TrueType face.
            fonts = os.path.join(self.prefix, "drive_c", "windows", "Fonts")
            os.makedirs(fonts, exist_ok=True)
            for name in glob.glob(os.path.join(BITMAP_FONTS, "sserif*.fon")):
                shutil.copy(name, fonts)
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=120)
            with open(ready, "w", encoding="utf-8") as f:
                f.write(PREFIX_RECIPE)

    def reg(self, *args):
        """`reg add ...` (which must succeed) or `reg delete ...` in the prefix."""
        subprocess.run([self.loader, "reg", *args, "/f"], env=self.env, timeout=120, check=args[0] == "add",
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start(self, exe, *args, env=None, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL):
        proc = subprocess.Popen([self.loader, exe, *args], env=dict(self.env, **(env or {})),
                                stdout=stdout, stderr=stderr, start_new_session=True)
        self.procs.append(proc)
        return proc

    def probe(self, *args):
        # Into a file, not a pipe: a wineserver or explorer started by this call would
        # inherit the pipe and hold it open long after the probe has ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            proc = subprocess.Popen([self.loader, self.probe_exe, *args], env=self.env, stdout=out, stderr=err,
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
                raise RuntimeError(f"probe {args} failed with status {code}: {err.read().decode(errors='replace')}")
            text = out.read().decode("utf-8").strip()
        return json.loads(text) if text.startswith(("[", "{")) else text

    def forms(self, pid=None):
        """The menu's windows (shown or not), of one process when `pid` is given."""
        found = self.probe("windows", self.caption)
        return [w for w in found if w["class"] == self.form_class and (pid is None or w["pid"] == pid)]

    def dialogs(self, title=None):
        return [d for d in self.probe("dialog", self.title if title is None else title) if d["visible"]]

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


class Session:
    """A session of the menu's programs: an X display, a Wine prefix on it made ready
    (created once, its desktop the display's size) and the pointer. The display is a
    virtual X server of `screen`'s size, or the running one named `display`, which is
    left as it is. stop(), or the end of a `with` block, ends every program the session
    started (by its id) and the prefix's server, gives the prefix back the usual desktop
    and density where the session changed them, and stops the X server it started."""

    def __init__(self, prefix, arch, probe=None, caption="", title="", form_class="", screen=SCREEN,
                 display=None):
        self.display, self._own_display = (Display(screen), True) if display is None else (_Named(display), False)
        self.wine = Wine(self.display, prefix, arch, probe, caption, title, form_class)
        self.pointer = Pointer(self.display)
        self._changed = False
        try:
            self.wine.ensure_prefix()
            if display is None and screen != SCREEN:
                self.wine.reg("add", DESKTOPS, "/v", "Default", "/d", "x".join(map(str, screen)))
                self._changed = True
                self.wine.kill_server()  # the desktop takes its size when Wine starts
        except BaseException:
            self.stop()
            raise

    def set_density(self, dpi):
        """The density programs see from the next start of the prefix's server on."""
        self.wine.reg("add", LOG_PIXELS, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi))
        self._changed = True

    def stop(self):
        try:
            self.wine.end_all()
            if self._changed:
                self.wine.reg("add", DESKTOPS, "/v", "Default", "/d", "x".join(map(str, SCREEN)))
                self.wine.reg("add", LOG_PIXELS, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "96")
                self._changed = False
            self.wine.kill_server()
        finally:
            if self._own_display:
                self.display.stop()
                self._own_display = False

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


class _Named:
    """A running X display, known by its name."""

    def __init__(self, name):
        self.name = name


class Pointer:
    """The pointer and the keyboard of a display, through xdotool."""

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
