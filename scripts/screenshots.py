"""Takes the README's pictures of the menu at 100 % and 200 % display scaling:
the demo medium's menu under Wine, once at each density, cut out by its
window's rectangle with the frame.

    screenshots.py <build folder> <out folder>

Writes <out folder>/menu-100.png and menu-200.png. It uses a Wine prefix of
its own (in <build folder>/screenshot-prefix), so the tests' is left alone."""

import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "winehost"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "product"))
import winehost  # noqa: E402
from model import Product  # noqa: E402

winehost.SCREEN = (2400, 1700)  # room for the 200 % window, frame and all
DESKTOPS = r"HKCU\Software\Wine\Explorer\Desktops"
LOG_PIXELS = r"HKCU\Control Panel\Desktop"
SCALES = {100: 96, 200: 192}
NAVY = (0, 38, 101)


def main(build, out):
    product = Product.from_json(os.path.join(build, "generated", "product", "product.json"))
    arch = os.environ.get("VELBROOK_WINEARCH", "win64" if "64" in os.path.basename(build) else "win32")
    display = winehost.Display()
    wine = winehost.Wine(display, os.path.join(build, "screenshot-prefix"), arch, os.path.join(build, "probe.exe"),
                         caption=product.caption, form_class=product.form_class)
    os.makedirs(out, exist_ok=True)
    try:
        wine.ensure_prefix()
        wine.reg("add", DESKTOPS, "/v", "Default", "/d", "x".join(map(str, winehost.SCREEN)))
        for percent, dpi in SCALES.items():
            wine.reg("add", LOG_PIXELS, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi))
            wine.kill_server()  # the desktop and the density are taken when Wine starts
            wine.start(os.path.join(build, "medium", product.executable))
            form = winehost.wait_for(lambda: [w for w in wine.forms() if w["visible"]], 120,
                                     "the menu's window")[0]
            # Painted once the middle of its client area, bare background, is the navy tile's.
            cx, cy, cw, ch = form["client"]
            winehost.wait_for(lambda: display.grab().pixel(cx + cw // 2, cy + ch // 2) == NAVY, 60, "the paint")
            left, top, right, bottom = form["rect"]
            width, height = right - left, bottom - top
            path = os.path.join(out, f"menu-{percent}.png")
            subprocess.run(["import", "-display", display.name, "-window", "root",
                            "-crop", f"{width}x{height}+{left}+{top}", "+repage", path], check=True, timeout=60)
            print(f"{percent} %: {path} ({width} x {height})")
            wine.end_all()
    finally:
        wine.end_all()
        wine.kill_server()
        display.stop()


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]))
