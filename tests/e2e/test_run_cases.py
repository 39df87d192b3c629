"""How ctest counts a module of end-to-end cases (run_cases.py): a module whose
every case skipped must read as skipped, never as passed, and each skip is noted
with its reason for the summary of scripts/test.sh."""

import os
import subprocess
import sys
import tempfile
import textwrap
import unittest
import unittest.mock

from menubuild import winehost

RUNNER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "run_cases.py")


class RunCasesTest(unittest.TestCase):
    def test_exit_status_and_skip_notes(self):
        cases = [  # module body, exit status, notes written
            ("class T(unittest.TestCase):\n"
             "    def test_a(self): self.skipTest('no Wine here')\n"
             "    def test_b(self): self.skipTest('no Wine here')\n", 77, 2),
            ("class T(unittest.TestCase):\n"
             "    @classmethod\n"
             "    def setUpClass(cls): raise unittest.SkipTest('the loader cannot start')\n"
             "    def test_a(self): pass\n", 77, 1),
            ("class T(unittest.TestCase):\n"
             "    def test_a(self): pass\n"
             "    def test_b(self): self.skipTest('only for the default product')\n", 0, 1),
            ("class T(unittest.TestCase):\n"
             "    def test_a(self): self.skipTest('no Wine here')\n"
             "    def test_b(self): self.fail('broken')\n", 1, 1),
        ]
        for body, status, notes in cases:
            with self.subTest(body=body), tempfile.TemporaryDirectory() as folder:
                with open(os.path.join(folder, "test_sample.py"), "w", encoding="utf-8") as f:
                    f.write("import unittest\n" + textwrap.dedent(body))
                # The sample's folder besides the tools' import root, which the runner needs.
                env = dict(os.environ, PYTHONPATH=os.pathsep.join([folder, os.environ.get("PYTHONPATH", "")]),
                           VELBROOK_BUILD=folder)
                run = subprocess.run([sys.executable, RUNNER, "test_sample"], env=env, capture_output=True,
                                     text=True, cwd=folder)
                self.assertEqual(run.returncode, status, run.stdout + run.stderr)
                path = os.path.join(folder, "skipped-cases.txt")
                lines = open(path, encoding="utf-8").read().splitlines() if os.path.exists(path) else []
                self.assertEqual(len(lines), notes)
                self.assertTrue(all("\t" in line and line.split("\t")[1] for line in lines), lines)

    def test_under_ci_only_the_32_bit_build_must_run(self):
        cases = [("win32", "true", True), ("win32", "1", True), ("win32", "True", True), ("win64", "true", False),
                 ("win32", None, False), ("win32", "false", False)]
        for arch, ci, must in cases:
            with self.subTest(arch=arch, ci=ci):
                env = {k: v for k, v in os.environ.items() if k != "CI"}
                if ci is not None:
                    env["CI"] = ci
                with unittest.mock.patch.dict(os.environ, env, clear=True):
                    self.assertIs(winehost.must_run(arch), must)


if __name__ == "__main__":
    unittest.main()
