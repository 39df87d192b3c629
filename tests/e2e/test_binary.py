"""What the built executable carries: its imports, hardening and manifest."""

import hashlib
import os
import re
import struct
import subprocess
import unittest

from harness import DESIGN, PRODUCT, only_for_the_default_product
from menubuild.medium import pe

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "advapi32.dll", "msvcrt.dll"}
SUPPORTED_OS = {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}

# Functions that the code or the toolchain could pull in and that Windows 2000
# lacks: one of them in the import table and the loader refuses the program
# before its first line. Where the program needs one, it looks it up at run time.
LATER_THAN_WINDOWS_2000 = {
    "kernel32.dll": {
        "SetDllDirectoryW", "SetDllDirectoryA", "SetDefaultDllDirectories", "AddDllDirectory",
        "RemoveDllDirectory", "GetTickCount64", "InitializeSRWLock", "AcquireSRWLockExclusive",
        "AcquireSRWLockShared", "ReleaseSRWLockExclusive", "ReleaseSRWLockShared", "TryAcquireSRWLockExclusive",
        "InitializeConditionVariable", "SleepConditionVariableCS", "SleepConditionVariableSRW",
        "WakeConditionVariable", "WakeAllConditionVariable", "InitOnceExecuteOnce", "InitOnceBeginInitialize",
        "InitOnceComplete", "FlsAlloc", "FlsFree", "FlsGetValue", "FlsSetValue", "GetModuleHandleExW",
        "GetModuleHandleExA", "CompareStringEx", "LocaleNameToLCID", "LCIDToLocaleName", "GetLocaleInfoEx",
        "GetUserDefaultLocaleName", "GetFileInformationByHandleEx", "SetFileInformationByHandle",
        "GetFinalPathNameByHandleW", "CreateSymbolicLinkW", "InitializeCriticalSectionEx", "CreateEventExW",
        "CreateMutexExW", "CreateSemaphoreExW", "GetNativeSystemInfo", "IsWow64Process",
        "GetSystemTimePreciseAsFileTime", "QueryFullProcessImageNameW", "GetProcessId", "GetThreadId",
        "GetErrorMode", "SetThreadErrorMode", "AddVectoredExceptionHandler", "RtlCaptureStackBackTrace",
        "EncodePointer", "DecodePointer", "HeapSetInformation", "SetProcessDEPPolicy", "AttachConsole",
        "GetLogicalProcessorInformation", "WTSGetActiveConsoleSessionId", "GetSystemWow64DirectoryW"},
    "user32.dll": {
        "SetProcessDPIAware", "SetProcessDpiAwarenessContext", "GetDpiForWindow", "ChangeWindowMessageFilter",
        "ChangeWindowMessageFilterEx", "PrintWindow", "GetLayeredWindowAttributes", "RegisterRawInputDevices",
        "GetRawInputData", "IsProcessDPIAware"},
    "shell32.dll": {"SHGetKnownFolderPath", "SHCreateItemFromParsingName", "SetCurrentProcessExplicitAppUserModelID"},
    "advapi32.dll": {"RegGetValueW", "RegGetValueA", "RegDeleteKeyExW", "EventRegister", "EventWrite"},
    "msvcrt.dll": {"_vsnwprintf_s", "_vsnprintf_s", "_snwprintf_s", "_wfopen_s", "fopen_s", "memcpy_s",
                   "memmove_s", "strcpy_s", "wcscpy_s", "strcat_s", "wcscat_s", "_get_errno", "_set_errno",
                   "_wcsdup_s", "sprintf_s", "swprintf_s", "_itow_s", "qsort_s", "strerror_s", "_wcserror_s"},
}


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

    def test_windows_2000_can_load_it(self):
        image = pe.PeFile(self.exe)
        imports = {dll.lower(): set(functions) for dll, functions in image.imports().items()}
        self.assertIn("CreateMutexW", imports["kernel32.dll"], "the import table was not read")
        later = {dll: sorted(imports.get(dll, set()) & names) for dll, names in LATER_THAN_WINDOWS_2000.items()}
        self.assertEqual({dll: names for dll, names in later.items() if names}, {})
        # A 32-bit program asking for a newer subsystem than 5.0 is refused too; 64-bit Windows begins at 5.2.
        self.assertLessEqual(image.subsystem_version, (5, 2) if image.is64 else (5, 0))

    def test_is_built_with_aslr_dep_and_high_entropy_va(self):
        self.assertEqual(hardening_faults(self.exe), [])

    def test_the_hardening_check_fails_on_a_build_without_aslr(self):
        self.assertIn("ASLR", hardening_faults(self.no_aslr))

    def test_the_benchmark_hooks_are_only_in_the_benchmark_build(self):
        marker = "Velbrook.Benchmark.".encode("utf-16-le")
        with open(self.exe, "rb") as f:
            self.assertNotIn(marker, f.read())
        bench = os.environ.get("VELBROOK_BENCH_EXE", "")
        with open(bench, "rb") as f:
            self.assertIn(marker, f.read(), "the check cannot see the hooks")

    def test_carries_its_manifest(self):
        resources = pe.PeFile(self.exe).resources()
        manifests = [data for (rtype, _, _), data in resources.items() if rtype == pe.RT_MANIFEST]
        self.assertEqual(len(manifests), 1)
        text = manifests[0].decode("utf-8")
        self.assertRegex(text, r'requestedExecutionLevel\s+level="asInvoker"')
        self.assertEqual(set(re.findall(r'supportedOS Id="\{([0-9a-f-]+)\}"', text)), SUPPORTED_OS)
        self.assertRegex(text, r"<longPathAware[^>]*>true</longPathAware>")

    def test_resources_carry_the_pictures_file_icon_version_block_and_strings(self):
        res = pe.PeFile(self.exe).resources()
        art = os.environ["VELBROOK_ART"]  # the pictures the build made for the product

        def committed(name):
            with open(os.path.join(art, name), "rb") as f:
                return f.read()

        # The file icon: group 1 names image 30001, the window icon's image, and then each image of
        # the product's icon at other sizes, 30002 on, as its icon file's entries name them.
        group = res[(pe.RT_GROUP_ICON, 1, 0)]
        more = []
        if PRODUCT.icon_sizes:
            with open(PRODUCT.icon_sizes, "rb") as f:
                sizes = f.read()
            # Each entry: its first 12 bytes (size, colours, planes, bits, bytes), which the group
            # repeats, then where its image lies.
            more = [struct.unpack_from("<12sI", sizes, 6 + 16 * i) for i in range(PRODUCT.icon_images)]
        self.assertEqual(struct.unpack_from("<HHH", group), (0, 1, 1 + len(more)))
        self.assertEqual(struct.unpack_from("<BBBBHHIH", group, 6), (32, 32, 16, 0, 1, 4, 744, 30001))
        self.assertEqual(res[(pe.RT_ICON, 30001, 0)], committed("FrmAutoSelect.icon"))
        for n, (entry, at) in enumerate(more, 1):
            image = sizes[at:at + struct.unpack_from("<I", entry, 8)[0]]
            # Planes and bits are the image's own (a PNG's 32), whatever the file's entry says.
            bits = 32 if image.startswith(b"\x89PNG") else struct.unpack_from("<H", image, 14)[0]
            self.assertEqual(struct.unpack_from("<12sH", group, 6 + 14 * n),
                             (entry[:4] + struct.pack("<HH", 1, bits) + entry[8:], 30001 + n))
            self.assertEqual(res[(pe.RT_ICON, 30001 + n, 0)], image)
        self.assertEqual(sorted(rid for rtype, rid, _ in res if rtype == pe.RT_ICON), [30001 + n for n in range(len(more) + 1)])
        self.assertEqual(committed("FrmAutoSelect.ico")[22:], committed("FrmAutoSelect.icon"))
        # Pictures are the committed files without their 14-byte file header.
        ids = {300: "Command1", 301: "Picture1", 302: "Image1", 303: "Image2", 304: "Image3", 305: "Image4"}
        codes = [row.code for row in PRODUCT.languages]  # hidden rows' faces are carried too
        # Codes 1 to 9 by the first release's ids; codes from 10 on past them.
        ids.update({(310 if i < 10 else 400) + i: f"CountryImage{i}" for i in codes})
        ids.update({(320 if i < 10 else 500) + i: f"CountryPic{i}" for i in codes})
        self.assertEqual(sorted(rid for rtype, rid, _ in res if rtype == pe.RT_BITMAP), sorted(ids))
        for rid, name in ids.items():
            self.assertEqual(res[(pe.RT_BITMAP, rid, 0)], committed(name + ".bmp")[14:], name)
        cursor = [data for (rtype, _, _), data in res.items() if rtype == pe.RT_CURSOR]
        self.assertEqual(len(cursor), 1)
        self.assertEqual(struct.unpack_from("<HH", cursor[0]), (12, 1), "the hotspot")
        self.assertEqual(cursor[0][4:], committed("Hand.cur")[22:])

        version = res[(pe.RT_VERSION, 1, PRODUCT.version_language)]
        fixed = version.index(struct.pack("<I", 0xFEEF04BD))
        file_ms, file_ls, prod_ms, prod_ls, mask, flags, os_, ftype, subtype = struct.unpack_from(
            "<9I", version, fixed + 8)
        # The numbers as written, the missing ones 0.
        a, b, c, d = ([int(part) for part in PRODUCT.version.split(".")] + [0, 0, 0])[:4]
        self.assertEqual((file_ms, file_ls, prod_ms, prod_ls), (a << 16 | b, c << 16 | d, a << 16 | b, c << 16 | d))
        self.assertEqual((mask, flags, os_, ftype, subtype), (0, 0, 4, 1, 0))
        self.assertIn(f"{PRODUCT.version_language:04X}04B0".encode("utf-16-le"), version)
        self.assertIn(struct.pack("<HH", PRODUCT.version_language, 1200), version)
        described = [("FileDescription", PRODUCT.description)] if PRODUCT.description else []
        self.assertEqual(pe.version_strings(version),
                         [("CompanyName", PRODUCT.company), ("ProductName", PRODUCT.name), *described,
                          ("FileVersion", PRODUCT.version), ("ProductVersion", PRODUCT.version),
                          ("InternalName", PRODUCT.title), ("OriginalFilename", PRODUCT.executable)])

        # The strings the description gives each row, decoded from the resource: code*100+1 and +2.
        texts = pe.strings({k: v for k, v in res.items() if k[2] == 0x0409})
        expected = {row.code * 100 + offset: text for row in PRODUCT.languages
                    for offset, text in ((1, row.product_name), (2, row.exit_question)) if text is not None}
        self.assertEqual(texts, expected)

    def test_name_avoids_the_installer_heuristics(self):
        name = os.path.basename(self.exe).lower()
        for word in ("setup", "install", "update", "patch"):
            self.assertNotIn(word, name)


# The default product's resources as the menu carried them before products had
# descriptions (SHA-256 by type, id and language): built from products/velbrook,
# every picture, the icon, the cursor, the version block and the strings must
# still be these bytes; the manifest changed only in its display-scaling lines.
DEFAULT_PRODUCT_RESOURCES = {
    (1, 1, 0): "ac6adcf034b958d684d3471e1f48ad3db3372dbaebbc62d7de14cb2a51780bce",
    (2, 300, 0): "f572dd833e4561bdc77847336ec96396e88ce209bbca18dbfa494ab15ba3d4d1",
    (2, 301, 0): "a037828fbfc5f267376d13ce6e6ea769e40c2abac8b5c3fc037fa3d688167ef1",
    (2, 302, 0): "7faf0e0c74f269d8ed67e5f93d55712b8bedf57dad6ebcf6c8c7b63068dbf55f",
    (2, 303, 0): "5d438427a4efd8f4675d027f5b697ad6f76146534c21efa1e510074fcbe25309",
    (2, 304, 0): "07eb23a7d675993cb416f42656d2e256840ec8a40d5b799e8e96900e59144b31",
    (2, 305, 0): "1fc309f3f4178a3bd4ae3d1fd17f6e1b7bbc9e970a2c105684537fa6d2d1e241",
    (2, 311, 0): "19b1283a0436253a7b532182c1423f914d755303aabc1cd90a51aa6c47457b09",
    (2, 312, 0): "0b8f80d9885ef5f4315f0a198bd72a1869f0f053bd36801e6dcc906e3507414b",
    (2, 313, 0): "4d1d5ca50584e8dda514ca6bd5ff623131e7e2e8879559800c99612cd693b7c6",
    (2, 317, 0): "39c5870298e40fb1a7575109d59f96f47c7999f84380f519cc9c87cc405a9e2c",
    (2, 321, 0): "60e0e90c2d4182d1c65fde425970497acf9ee7f93f4f65400072e9a76d6aed94",
    (2, 322, 0): "0c43f41ed2afb6124f946a04fdd272900551c33c9e0e080ac08d383517a39311",
    (2, 323, 0): "68462c9c476619c23d7cd24256a214e999cfc665a2fcff0e4e7fabb5a0da2df2",
    (2, 327, 0): "eaad23e27145bbb2d376573303c348833bc34e10885eb0d149a9c8e8983effc1",
    (3, 30001, 0): "c2df06b1dfba0dde81a863ddc76aa80fb95fc96d4d6bda8a87e77b41d6b1e111",
    (6, 7, 1033): "cae5ef797cb114fdf68583fba8dc29d61ff319e7eac35e09ca4c4e83ce4e30cb",
    (6, 13, 1033): "81fa9337ec868bb50f5365ba5752efa2f159ba3239c2d908251b0b829a0dbee5",
    (6, 19, 1033): "0dff673d95d5c40ca5923400dbac0d353b8e311a1fa4252bd1cddf920461b13e",
    (6, 44, 1033): "b9b95a94c6172e3025339bbcad2f1693b5cbd1c175579b7f4cef3575911057ed",
    (12, 200, 0): "c61f31b287f05eb6721170b73b01d37e7f05c8cad0910ffc049599c2decaa8c2",
    (14, 1, 0): "28a84099cc59614e2e4f281774af68487a242bbb638164658b39435a1f0a57e1",
    (16, 1, 1028): "fa288a2b7256acf4c829f5100c272bafa45eaea7c27b559020e6202720c90679",
    (24, 1, 0): "75fd0b7bf8478388cfef648f5f0c9115c49d618c838b32825390577192069589",  # per-monitor scaling
}


class DefaultProductTest(unittest.TestCase):
    def test_the_default_products_resources_are_byte_for_byte_the_first_releases(self):
        exe = os.environ.get("VELBROOK_EXE", "")
        if not exe:
            self.skipTest("VELBROOK_EXE is not set: run through ctest")
        only_for_the_default_product(self)
        resources = pe.PeFile(exe).resources()
        hashes = {key: hashlib.sha256(data).hexdigest() for key, data in resources.items()}
        self.assertEqual({key: h for key, h in hashes.items() if key in DEFAULT_PRODUCT_RESOURCES},
                         DEFAULT_PRODUCT_RESOURCES)
        # Added since: only the pictures drawn for other scales.
        self.assertEqual(sorted({key[0] for key in hashes if key not in DEFAULT_PRODUCT_RESOURCES}),
                         [f"PNG{dpi}" for dpi in DESIGN.drawn_dpis])


class CompileFlagsTest(unittest.TestCase):
    """Every object linked into the shipped menu is compiled hardened."""

    FLAGS = ("-fstack-protector-strong", "-ffunction-sections", "-fdata-sections")

    def test_every_source_of_the_menu_is_compiled_with_the_hardening_flags(self):
        if os.environ.get("VELBROOK_GENERATOR") != "Ninja":
            self.skipTest("reads the compile commands from a Ninja build")
        commands = subprocess.run([os.environ.get("VELBROOK_NINJA", "ninja"), "-C", os.environ["VELBROOK_BUILD"],
                                   "-t", "commands", "menu"], capture_output=True, text=True, check=True).stdout
        compiles = [line.split() for line in commands.splitlines() if " -c " in line]
        self.assertGreaterEqual(len(compiles), 15, "the compile commands were not found")
        unhardened = [words[words.index("-c") + 1] for words in compiles if not set(self.FLAGS) <= set(words)]
        self.assertEqual(unhardened, [])


class ResourceDependenciesTest(unittest.TestCase):
    """A changed picture, cursor or manifest is embedded again by the next build."""

    def test_every_file_the_resource_script_embeds_is_an_input_of_its_object(self):
        build = os.environ.get("VELBROOK_BUILD", "")
        if os.environ.get("VELBROOK_GENERATOR") != "Ninja":
            self.skipTest("reads the dependencies from a Ninja build")
        script = os.environ["VELBROOK_RC"]  # written into the build folder from the product's description
        resources = os.path.dirname(script)
        with open(script, encoding="utf-8") as f:
            # Quoted names of files, not of the headers it includes.
            quoted = re.findall(r'"([^"\n]+)"', re.sub(r"(?m)^#include.*$", "", f.read()))
        embedded = {os.path.realpath(os.path.join(resources, q)) for q in quoted
                    if os.path.isfile(os.path.join(resources, q))}
        self.assertGreaterEqual(len(embedded), 18, "the script's files were not found")
        ninja = os.environ.get("VELBROOK_NINJA", "ninja")
        targets = subprocess.run([ninja, "-C", build, "-t", "targets", "all"], capture_output=True, text=True,
                                 check=True).stdout
        res = next(line.split(":")[0] for line in targets.splitlines()
                   if line.startswith("CMakeFiles/menu.dir/") and line.split(":")[0].endswith("menu.rc.res"))
        query = subprocess.run([ninja, "-C", build, "-t", "query", res], capture_output=True, text=True,
                               check=True).stdout
        inputs = query.split("outputs:")[0]
        known = {os.path.realpath(os.path.join(build, line.strip(" |"))) for line in inputs.splitlines()[2:]}
        self.assertEqual(sorted(embedded - known), [])

if __name__ == "__main__":
    unittest.main()
