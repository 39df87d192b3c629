"""What the built executable carries: its imports, hardening and manifest."""

import os
import re
import unittest

import pe

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "advapi32.dll", "msvcrt.dll"}
SUPPORTED_OS = {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}


def hardening_faults(path):
    """What is missing of ASLR, DEP and (64-bit) high-entropy VA."""
    image = pe.PeFile(path)
    wanted = {"ASLR": pe.IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, "DEP": pe.IMAGE_DLLCHARACTERISTICS_NX_COMPAT}
    if image.is64:
        wanted["high-entropy VA"] = pe.IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA
    return [name for name, bit in wanted.items() if not image.dll_characteristics & bit]


class BinaryTest(unittest.TestCase):
    exe = os.environ.get("VELBROOK_EXE", "")
    no_aslr = os.environ.get("VELBROOK_NOASLR_EXE", "")

    def setUp(self):
        if not self.exe:
            self.skipTest("VELBROOK_EXE is not set: run through ctest")

    def test_imports_only_system_dlls(self):
        imported = {name.lower() for name in pe.PeFile(self.exe).imported_dlls()}
        self.assertTrue(imported, "no imports read")
        self.assertLessEqual(imported, ALLOWED_DLLS)

    def test_is_built_with_aslr_dep_and_high_entropy_va(self):
        self.assertEqual(hardening_faults(self.exe), [])

    def test_the_hardening_check_fails_on_a_build_without_aslr(self):
        self.assertIn("ASLR", hardening_faults(self.no_aslr))

    def test_carries_its_manifest(self):
        resources = pe.PeFile(self.exe).resources()
        manifests = [data for (rtype, _, _), data in resources.items() if rtype == pe.RT_MANIFEST]
        self.assertEqual(len(manifests), 1)
        text = manifests[0].decode("utf-8")
        self.assertRegex(text, r'requestedExecutionLevel\s+level="asInvoker"')
        self.assertEqual(set(re.findall(r'supportedOS Id="\{([0-9a-f-]+)\}"', text)), SUPPORTED_OS)
        self.assertRegex(text, r"<longPathAware[^>]*>true</longPathAware>")

    def test_name_avoids_the_installer_heuristics(self):
        name = os.path.basename(self.exe).lower()
        for word in ("setup", "install", "update", "patch"):
            self.assertNotIn(word, name)


if __name__ == "__main__":
    unittest.main()
