"""Stages the installation medium, and optionally writes its ISO image and the release zip.

    make_medium.py --menu Velbrook.exe (--setups FOLDER | --stub Setup.exe) --version 1.00
                   --arch win32 --out FOLDER [--iso] [--zip]

FOLDER given with --setups holds the language folders, each with its
Setup.exe and whatever files that setup needs; they are copied whole. With
--stub instead, every language folder gets the stub setup and the medium is
marked as a demo in its volume label and its names."""

import argparse
import os
import shutil
import subprocess
import sys
import zipfile

MENU_NAME = "Velbrook.exe"  # 8.3, so the ISO 9660 name is the same in upper case
PRODUCT = "Velbrook Cable"
PUBLISHER = "Kestrin"
# The folders the menu starts a setup from. Japanese is never offered, so it may be absent.
LANGUAGES = [("TradChin_link", True), ("SimpChin_link", True), ("English_link", True), ("Japanese_link", False)]


class Refused(Exception):
    pass


def autorun_inf():
    # The medium's icon is the menu's own; a drive shows it and the label in Explorer.
    return (f"[AutoRun]\r\nopen={MENU_NAME}\r\nicon={MENU_NAME},0\r\nlabel={PRODUCT}\r\n").encode("ascii")


def names(version, arch, demo):
    base = f"Velbrook-{version}-{arch}" + ("-demo" if demo else "")
    label = f"VELBROOK_{version.replace('.', '_')}" + ("_DEMO" if demo else "")
    return base, label


def check_setups(setups):
    """Refuses when a language the menu offers has no setup."""
    if not os.path.isdir(setups):
        raise Refused(f"the setups folder {setups} does not exist")
    for folder, offered in LANGUAGES:
        path = os.path.join(setups, folder)
        if offered and not os.path.isfile(os.path.join(path, "Setup.exe")):
            raise Refused(f"{path} has no Setup.exe; the menu offers this language, so its setup must be there")


def stage(args, out):
    if args.setups:
        check_setups(args.setups)  # before anything is written
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    shutil.copyfile(args.menu, os.path.join(out, MENU_NAME))
    with open(os.path.join(out, "AUTORUN.INF"), "wb") as f:
        f.write(autorun_inf())
    if args.setups:
        for folder, _ in LANGUAGES:
            source = os.path.join(args.setups, folder)
            if os.path.isdir(source):
                shutil.copytree(source, os.path.join(out, folder))
            else:
                os.makedirs(os.path.join(out, folder))
    else:
        for folder, _ in LANGUAGES:
            os.makedirs(os.path.join(out, folder))
            shutil.copyfile(args.stub, os.path.join(out, folder, "Setup.exe"))


def write_iso(staged, iso, label, version):
    # ISO 9660 (upper-case 8.3 names) for old systems, Joliet for the real names,
    # Rock Ridge for Unix readers.
    if os.path.exists(iso):
        os.remove(iso)
    subprocess.run(["xorriso", "-as", "mkisofs", "-quiet", "-iso-level", "1", "-J", "-joliet-long", "-r",
                    "-V", label, "-publisher", PUBLISHER, "-A", f"{PRODUCT} {version}", "-o", iso, staged],
                   check=True, stdout=subprocess.DEVNULL)


def write_zip(zip_path, staged, iso, base):
    if os.path.exists(zip_path):
        os.remove(zip_path)
    with zipfile.ZipFile(zip_path, "w", zipfile.ZIP_DEFLATED) as z:
        for root, _, files in os.walk(staged):
            for name in sorted(files):
                path = os.path.join(root, name)
                z.write(path, os.path.join(base, os.path.relpath(path, staged)))
        z.write(iso, os.path.basename(iso))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--menu", required=True)
    source = parser.add_mutually_exclusive_group(required=True)
    source.add_argument("--setups")
    source.add_argument("--stub")
    parser.add_argument("--version", required=True)
    parser.add_argument("--arch", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--iso", action="store_true")
    parser.add_argument("--zip", action="store_true")
    parser.add_argument("--staged-name", help="the staged folder's name inside --out (default: the release name)")
    args = parser.parse_args(argv)

    base, label = names(args.version, args.arch, demo=not args.setups)
    staged = os.path.join(args.out, args.staged_name or base)
    try:
        stage(args, staged)
    except Refused as e:
        print(f"make_medium: cannot stage the medium: {e}", file=sys.stderr)
        return 1
    print(f"Staged the medium in {staged}" + ("" if args.setups else " (a demo: stub setups)"))
    if args.iso or args.zip:
        iso = os.path.join(args.out, base + ".iso")
        write_iso(staged, iso, label, args.version)
        print(f"Wrote {iso} (volume label {label})")
        if args.zip:
            zip_path = os.path.join(args.out, base + ".zip")
            write_zip(zip_path, staged, iso, base)
            print(f"Wrote {zip_path}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
