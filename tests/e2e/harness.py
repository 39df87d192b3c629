"""End-to-end harness: the real menu under Wine on a virtual X server
(menubuild.winehost), with what the build wrote for the tests: the product's
facts, the layout in pixels and the programs under test.

Each test module gets its own Xvfb; every build folder has one Wine prefix
with a virtual desktop the size of the screen, so windows have real frames
and the screen size is known. Every process a test starts is ended by its
id, and a failing test leaves a screenshot in the artifacts folder."""

import contextlib
import json
import os
import re
import shutil
import tempfile
import unittest

from menubuild.medium import make_medium  # the release's names, as the staging gives them
from menubuild.product import design
from menubuild.product.records import Product  # the one model of a product
# The tests take the session's helpers from here, with the product's facts below.
from menubuild.winehost import SCREEN, Frame, Session, must_run, unrunnable_reason, wait_for, windows_path

EXE = os.environ.get("VELBROOK_EXE", "")
STUB = os.environ.get("VELBROOK_STUB", "")
PROBE = os.environ.get("VELBROOK_PROBE", "")
ARCH = os.environ.get("VELBROOK_WINEARCH", "win32")
PREFIX = os.environ.get("VELBROOK_PREFIX", "")
ARTIFACTS = os.environ.get("VELBROOK_ARTIFACTS", tempfile.gettempdir())
WORK = os.environ.get("VELBROOK_WORK", tempfile.gettempdir())
SOURCES = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
# The product whose exact bytes and pixels some tests know by heart.
DEFAULT_PRODUCT = os.path.join(SOURCES, "products", "velbrook")
# The window's design facts, which the build was configured from.
DESIGN = design.Design.load(os.path.join(SOURCES, "src", "resources", "design.toml"))


def _read_json(variable, empty):
    """A file the build wrote for the tests, named by an environment variable (outside ctest,
    where the tests skip, `empty`)."""
    path = os.environ.get(variable, "")
    if not path:
        return empty
    with open(path, encoding="utf-8") as f:
        return json.load(f)


LAYOUT = _read_json("VELBROOK_LAYOUT", {"client": [0, 0], "offered": [], "controls": {}})


def rect(control):
    """A control's rectangle in client pixels (x, y, w, h), by its name: "Command1", "CountryPic(0)".
    None outside ctest, where there is no layout (the tests then skip)."""
    return tuple(LAYOUT["controls"][control]["rect"]) if LAYOUT["controls"] else None


CLIENT_PIXELS = tuple(LAYOUT["client"])


def drawn_picture(name, dpi=96):
    """The build's picture of a control ("Command1", "CountryImage(1)") for a scale, as RGB pixels:
    art/<name>.bmp at 96 dpi, art/<dpi>/<name>.png at the others."""
    art = os.path.join(os.path.dirname(os.environ["VELBROOK_RC"]), "art")
    stem = re.sub(r"[()]", "", name)
    return Frame.read(os.path.join(art, stem + ".bmp") if dpi == 96 else os.path.join(art, str(dpi), stem + ".png"))


class Row:
    """One row of the product's language table (the model's, every field of it),
    with where it lies on the window."""

    def __init__(self, language, rect):
        self.language = language
        self.rect = rect  # its picture in client pixels; None for a hidden row

    def __getattr__(self, name):
        return getattr(self.language, name)

    def __eq__(self, other):
        return isinstance(other, Row) and self.language == other.language

    def __hash__(self):
        return hash(self.language)

    def __repr__(self):
        return f"Row({self.language.code}, {self.language.folder!r})"

    def string(self, offset):
        """String code*100+offset of the table the menu carries, where the description gives it."""
        return dict(self.language.strings).get(self.language.code * 100 + offset)

    @property
    def product_name(self):
        return self.string(1)

    @property
    def exit_question(self):
        return self.string(2)

    @property
    def setup(self):
        """The setup beside the menu, as a relative path."""
        return os.path.join(self.folder, self.program)

    def started_from(self, medium_folder):
        """The module a start of its setup from `medium_folder` names, as Wine writes it."""
        return windows_path(os.path.join(medium_folder, self.folder, self.program))


class ProductView:
    """The configured product: the one model of it (menubuild.product.records, read back
    from the product.json the build wrote), its rows placed on the window, and the
    rows a test picks by their role."""

    def __init__(self, model, folder, rows):
        self.model = model
        self.folder = folder  # the product's folder, as the build was configured
        self.languages = rows

    def __getattr__(self, name):
        # Outside ctest there is no product (the tests then skip): every fact is empty.
        return getattr(self.model, name) if self.model is not None else ""

    @property
    def description(self):
        """The version block's FileDescription, where the description gives one."""
        return self.model.file_description

    @property
    def is_default(self):
        return bool(self.folder) and os.path.realpath(self.folder) == os.path.realpath(DEFAULT_PRODUCT)

    @property
    def shown(self):
        return tuple(row for row in self.languages if row.shown)

    @property
    def second_column(self):
        """The shown rows past the first column, which stand in a second one beside it."""
        return self.shown[DESIGN.rows.per_column:]

    @property
    def hidden(self):
        return tuple(row for row in self.languages if not row.shown)

    @property
    def programs(self):
        return {row.program for row in self.languages}

    def other_shown(self, than):
        """A shown row that is not `than`, or None when it is the only one."""
        return next((row for row in self.shown if row != than), None)

    def not_setup_exe(self):
        """A shown row whose setup program is not Setup.exe, or None."""
        return next((row for row in self.shown if row.program.lower() != "setup.exe"), None)

    def release_base(self, arch, demo=True, signed=True):
        """The name a release's files begin with, as the staging names them."""
        return make_medium.release_names(self.model, arch, demo, signed)[0]

    def volume_id(self, demo=True):
        return self.model.disc_label(demo)


def _read_product():
    path = os.environ.get("VELBROOK_PRODUCT_JSON", "")
    if not path:
        return ProductView(None, "", ())
    product = Product.from_json(path)
    rows = tuple(Row(row, rect(f"CountryImage({row.code})") if row.shown else None) for row in product.languages)
    view = ProductView(product, os.environ.get("VELBROOK_PRODUCT_DIR", ""), rows)
    # The layout is built from the same description: rows it does not offer in this order are a build fault.
    if LAYOUT["controls"] and list(LAYOUT["offered"]) != [row.code for row in view.shown]:
        raise RuntimeError(f"layout.json offers {LAYOUT['offered']}, the product shows "
                           f"{[row.code for row in view.shown]}")
    return view


PRODUCT = _read_product()
TITLE = PRODUCT.caption
APP_TITLE = PRODUCT.title
COMMAND1 = rect("Command1")
BARE = (740, 300)  # a client point over the bare background, right of the rows' second column
COUNTRYPIC0 = rect("CountryPic(0)")


def only_for_the_default_product(test):
    """Skips a check of the default product's exact bytes or pixels when another product is built."""
    if not PRODUCT.is_default:
        test.skipTest(f"an exact reference of the default product (products/velbrook); "
                      f"this build is of {PRODUCT.folder or 'no product'}")


class Medium:
    """A medium folder: the menu beside language folders with the stub setup."""

    LANGUAGE_FOLDERS = tuple(row.folder for row in PRODUCT.languages)

    def __init__(self, root, name="Medium", setups=LANGUAGE_FOLDERS):
        self.folder = os.path.join(root, name)
        os.makedirs(self.folder)
        self.exe = os.path.join(self.folder, PRODUCT.executable)
        shutil.copy(EXE, self.exe)
        for row in PRODUCT.languages:
            os.makedirs(os.path.join(self.folder, row.folder))
            if row.folder in setups:
                shutil.copy(STUB, os.path.join(self.folder, row.setup))


class MenuTest(unittest.TestCase):
    """Base of the e2e tests: one session (display and prefix) for the module, a fresh
    work folder and stub log per test. A class may ask for a screen of another size."""

    SCREEN = SCREEN
    session = display = wine = None

    @classmethod
    def setUpClass(cls):
        for name, value in (("VELBROOK_EXE", EXE), ("VELBROOK_STUB", STUB), ("VELBROOK_PROBE", PROBE),
                            ("VELBROOK_PREFIX", PREFIX), ("VELBROOK_LAYOUT", LAYOUT["controls"])):
            if not value:
                raise unittest.SkipTest(f"{name} is not set: run through ctest")
        reason = unrunnable_reason(ARCH)
        if reason and must_run(ARCH):
            raise AssertionError(f"{reason}: under CI the build that ships must be run, not skipped")
        if reason:
            raise unittest.SkipTest(reason)
        cls.session = Session(PREFIX, ARCH, PROBE, caption=TITLE, title=APP_TITLE, form_class=PRODUCT.form_class,
                              screen=cls.SCREEN)
        cls.display, cls.wine, cls.pointer = cls.session.display, cls.session.wine, cls.session.pointer

    @classmethod
    def tearDownClass(cls):
        if cls.session:
            cls.session.stop()

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

    def need(self, row, reason):
        """`row`, or a skip that says which row this product lacks."""
        if row is None:
            self.skipTest(f"{PRODUCT.name} has {reason}")
        return row

    def two_shown_rows(self):
        """Two different shown rows, the last and the first, for a test that tells their starts apart."""
        last = PRODUCT.shown[-1]
        return last, self.need(PRODUCT.other_shown(last), "one shown language only: no second row to tell apart")

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
        # Shown, painted, and in the same place at two looks: a window Wine has just shown may
        # still be placed, and a click aimed by its first place would land on another control;
        # and until its first paint it shows a blank surface (at other densities the pictures
        # it waits for can outlast the button's focus).
        last = []

        def shown():
            if proc.poll() is not None:
                raise AssertionError(f"the menu ended early with status {proc.returncode}")
            forms = [w for w in self.wine.forms() if w["visible"] and w["painted"]]
            form = forms[0] if len(forms) == 1 else None
            settled = form is not None and last and last[-1] is not None and last[-1]["client"] == form["client"]
            last.append(form)
            return form if settled else None
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
        programs = [program.lower().encode() for program in PRODUCT.programs]

        def running():
            for pid in filter(str.isdigit, os.listdir("/proc")):
                try:
                    with open(f"/proc/{pid}/cmdline", "rb") as f:
                        line = f.read()
                except OSError:
                    continue
                if marker in line and any(program in line.lower() for program in programs):
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
