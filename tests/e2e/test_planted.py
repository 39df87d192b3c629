"""DLLs planted beside the menu under system DLLs' names are never loaded by
anything the menu does after its entry point.

Wine prefers its own built-in DLLs, so the test asks it to prefer a native
copy of the planted names; Wine also resolves some imports before any program
code runs, which the planted DLL tells apart and the import allowlist covers."""

import os
import shutil
import unittest

from harness import PRODUCT, MenuTest, Medium, wait_for, windows_path

# None is a KnownDLL on Windows (those always come from System32). Wine has
# no such list and loads ole32 for shell32 from the program's folder even
# after the search restriction, which Windows never would.
PLANTED_NAMES = ("uxtheme.dll", "dwmapi.dll", "cryptbase.dll", "version.dll")
PREFER_NATIVE = "mscoree,mshtml=;uxtheme,dwmapi,cryptbase=n,b"


class PlantedDllTest(MenuTest):
    def loads_after_entry(self, exe):
        medium = Medium(self.work, name=os.path.basename(exe))
        shutil.copy(exe, medium.exe)
        for name in PLANTED_NAMES:
            shutil.copy(os.environ["VELBROOK_PLANTED_DLL"], os.path.join(medium.folder, name))
        log = os.path.join(self.work, os.path.basename(exe) + ".planted.log")
        proc = self.wine.start(medium.exe, env={"VELBROOK_STUB_LOG": windows_path(self.log),
                                                "VELBROOK_PLANTED_LOG": windows_path(log),
                                                "VELBROOK_PLANTED_MUTEX": PRODUCT.single_instance,
                                                "WINEDLLOVERRIDES": PREFER_NATIVE})
        try:
            form = self.wait_for_form(proc)
            row = PRODUCT.shown[0]
            self.click_centre(form, row.rect)  # hover, press, start: all the menu does
            wait_for(self.launches, 30, f"{row.setup} to start")
            self.wait_for_exit(proc)
        finally:
            self.wine.end_all()
        if not os.path.exists(log):
            return []
        with open(log, encoding="utf-8") as f:
            return [line.split(" ", 1)[1].strip() for line in f if line.startswith("after-entry ")]

    def test_the_menu_loads_no_planted_dll(self):
        self.assertEqual(self.loads_after_entry(os.environ["VELBROOK_EXE"]), [])

    def test_the_control_without_the_search_restriction_does_load_one(self):
        loaded = self.loads_after_entry(os.environ["VELBROOK_NOSEARCH_EXE"])
        self.assertTrue(loaded, "the negative control loaded nothing: the test could not fail")


if __name__ == "__main__":
    unittest.main()
