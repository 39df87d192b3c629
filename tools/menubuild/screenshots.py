"""Takes the pictures of the menu at 100 % and 200 % display scaling (README.md, docs/maintainer.md):
the demo medium's menu under Wine, once at each density, cut out by its
window's rectangle with the frame.

    PYTHONPATH=tools python3 -m menubuild.screenshots <build folder> <out folder>

Writes <out folder>/menu-100.png and menu-200.png. It uses a Wine prefix of
its own (in <build folder>/screenshot-prefix), so the tests' is left alone."""

import os
import subprocess
import sys

from menubuild.product.records import Product
from menubuild.winehost import LARGE_SCREEN, Session, wait_for

SCALES = {100: 96, 200: 192}
NAVY = (0, 38, 101)


def main(build, out):
    product = Product.from_json(os.path.join(build, "generated", "product", "product.json"))
    arch = os.environ.get("VELBROOK_WINEARCH", "win64" if "64" in os.path.basename(build) else "win32")
    os.makedirs(out, exist_ok=True)
    with Session(os.path.join(build, "screenshot-prefix"), arch, os.path.join(build, "probe.exe"),
                 caption=product.caption, form_class=product.form_class, screen=LARGE_SCREEN) as session:
        wine, display = session.wine, session.display
        for percent, dpi in SCALES.items():
            session.set_density(dpi)
            wine.kill_server()  # the density is taken when Wine starts
            wine.start(os.path.join(build, "medium", product.executable))
            form = wait_for(lambda: [w for w in wine.forms() if w["visible"]], 120, "the menu's window")[0]
            # Painted once the middle of its client area, bare background, is the navy tile's.
            cx, cy, cw, ch = form["client"]
            wait_for(lambda: display.grab().pixel(cx + cw // 2, cy + ch // 2) == NAVY, 60, "the paint")
            left, top, right, bottom = form["rect"]
            width, height = right - left, bottom - top
            path = os.path.join(out, f"menu-{percent}.png")
            subprocess.run(["import", "-display", display.name, "-window", "root",
                            "-crop", f"{width}x{height}+{left}+{top}", "+repage", path], check=True, timeout=60)
            print(f"{percent} %: {path} ({width} x {height})")
            wine.end_all()


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]))
