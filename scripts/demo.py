"""Opens the menu of the demo medium under Wine (see demo.sh)."""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
build = os.path.abspath(sys.argv[1])
os.environ.setdefault("VELBROOK_PREFIX", os.path.join(build, "wineprefix"))
os.environ.setdefault("VELBROOK_WINEARCH", "win32")
os.environ.setdefault("VELBROOK_PROBE", os.path.join(build, "probe.exe"))
os.environ.setdefault("VELBROOK_PRODUCT_JSON", os.path.join(build, "generated", "product", "product.json"))

import harness  # noqa: E402  (reads the settings above)

medium_exe = os.path.join(build, "medium", harness.PRODUCT["executable"])

if os.environ.get("DISPLAY"):
    class UserDisplay:
        name = os.environ["DISPLAY"]
    wine = harness.Wine(UserDisplay())
    wine.ensure_prefix()
    print("Opening the menu; a press on a language starts the demo setup, Exit Setup closes it.")
    sys.exit(wine.start(medium_exe).wait())

display = harness.Display()
wine = harness.Wine(display)
try:
    wine.ensure_prefix()
    menu = wine.start(medium_exe)
    harness.wait_for(lambda: [w for w in wine.forms() if w["visible"]], 120, "the menu's window")
    shot = os.path.join(build, "demo.png")
    display.screenshot(shot)
    print(f"No display here: the menu opened on a virtual one. Screenshot: {shot}")
finally:
    wine.end_all()
    wine.kill_server()
    display.stop()
