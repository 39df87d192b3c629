"""Opens the menu of the demo medium under Wine (see demo.sh).

    demo.py <build folder>"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "winehost"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "product"))
from model import Product  # noqa: E402
from winehost import Display, Wine, wait_for  # noqa: E402

build = os.path.abspath(sys.argv[1])
prefix = os.environ.get("VELBROOK_PREFIX", os.path.join(build, "wineprefix"))
arch = os.environ.get("VELBROOK_WINEARCH", "win32")
probe = os.environ.get("VELBROOK_PROBE", os.path.join(build, "probe.exe"))
product = Product.from_json(os.environ.get("VELBROOK_PRODUCT_JSON",
                                           os.path.join(build, "generated", "product", "product.json")))
medium_exe = os.path.join(build, "medium", product.executable)

if os.environ.get("DISPLAY"):
    class UserDisplay:
        name = os.environ["DISPLAY"]
    wine = Wine(UserDisplay(), prefix, arch)
    wine.ensure_prefix()
    print("Opening the menu; a press on a language starts the demo setup, Exit Setup closes it.")
    sys.exit(wine.start(medium_exe).wait())

display = Display()
wine = Wine(display, prefix, arch, probe, caption=product.caption, form_class=product.form_class)
try:
    wine.ensure_prefix()
    menu = wine.start(medium_exe)
    wait_for(lambda: [w for w in wine.forms() if w["visible"]], 120, "the menu's window")
    shot = os.path.join(build, "demo.png")
    display.screenshot(shot)
    print(f"No display here: the menu opened on a virtual one. Screenshot: {shot}")
finally:
    wine.end_all()
    wine.kill_server()
    display.stop()
