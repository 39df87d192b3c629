"""The Win32 layer's own tests (tests/win32), a Windows program of GoogleTest
run under Wine on the virtual display."""

import os
import subprocess
import unittest

from harness import MenuTest


class Win32LayerTest(MenuTest):
    def test_the_win32_layers_own_tests_pass(self):
        exe = os.environ.get("VELBROOK_WIN32_TESTS", "")
        if not exe:
            self.skipTest("the Win32 layer's tests were not built (no GoogleTest sources)")
        out = os.path.join(self.work, "win32_tests.txt")
        with open(out, "wb") as f:
            result = subprocess.run([self.wine.loader, exe], env=self.wine.env, stdout=f, stderr=subprocess.STDOUT,
                                    stdin=subprocess.DEVNULL, timeout=300)
        with open(out, encoding="utf-8", errors="replace") as f:
            text = f.read()
        print(text)
        self.assertEqual(result.returncode, 0, "the Win32 layer's tests failed")
        self.assertIn("[  PASSED  ]", text)


if __name__ == "__main__":
    unittest.main()
