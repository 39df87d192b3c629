"""Opens the menu of the demo medium under Wine (see scripts/demo.sh).

    python3 -m menubuild.demo <build folder>"""

import os
import sys

from menubuild.product.records import Product
from menubuild.winehost import Session, wait_for


def main(build):
    prefix = os.environ.get("VELBROOK_PREFIX", os.path.join(build, "wineprefix"))
    arch = os.environ.get("VELBROOK_WINEARCH", "win32")
    probe = os.environ.get("VELBROOK_PROBE", os.path.join(build, "probe.exe"))
    product = Product.from_json(os.environ.get("VELBROOK_PRODUCT_JSON",
                                               os.path.join(build, "generated", "product", "product.json")))
    medium_exe = os.path.join(build, "medium", product.executable)

    if os.environ.get("DISPLAY"):
        with Session(prefix, arch, display=os.environ["DISPLAY"]) as session:
            print("Opening the menu; a press on a language starts the demo setup, Exit Setup closes it.")
            return session.wine.start(medium_exe).wait()

    with Session(prefix, arch, probe, caption=product.caption, form_class=product.form_class) as session:
        session.wine.start(medium_exe)
        wait_for(lambda: [w for w in session.wine.forms() if w["visible"]], 120, "the menu's window")
        shot = os.path.join(build, "demo.png")
        session.display.screenshot(shot)
        print(f"No display here: the menu opened on a virtual one. Screenshot: {shot}")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(os.path.abspath(sys.argv[1])))
