"""Stages the installation medium, and optionally writes its ISO image and the release zip.

    python3 -m menubuild.medium.make_medium --product product.json --menu MENU.exe
        (--setups FOLDER | --stub Setup.exe) --arch win32 --out FOLDER [--iso] [--zip]
        [--sign-pkcs12 FILE --sign-password-file FILE [--timestamp-url URL] [--vendor-url URL]]

product.json is what menubuild.product.configure wrote from the product's
description: the menu's file name, the product's names, its version and its
languages. FOLDER given with --setups holds the language folders, each with
its setup program and whatever files that setup needs; they are copied whole.
With --stub instead, every language folder gets the stub setup and the medium
is marked as a demo in its volume label and its names.

A release (--iso or --zip) is reproducible: every date in it is the source
date (SOURCE_DATE_EPOCH, else the commit's time), and entries are written in
a fixed order with fixed permissions. With a certificate the menu is signed
and verified; without one the names say "unsigned". A release is written
aside and moved into --out only when complete, with SHA256SUMS beside it."""

import argparse
import hashlib
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import time
import zipfile

from menubuild.medium import pe, pe_stamp
from menubuild.medium.signing import Certificate, SigningError
from menubuild.medium.source_date import describe_time, product_not_committed, source_date, uncommitted_changes
from menubuild.product.records import Product  # the one model of a product, as the configure step wrote it

SOURCES = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", ".."))

class Refused(Exception):
    pass


def autorun_inf(product):
    # The medium's icon is the menu's own; a drive shows it and the label in Explorer.
    menu = product.executable
    text = f"[AutoRun]\r\nopen={menu}\r\nicon={menu},0\r\nlabel={product.name}\r\n"
    # Windows reads the file in the system's code page, or as UTF-16 after a byte-order mark.
    return text.encode("ascii") if text.isascii() else ("\ufeff" + text).encode("utf-16-le")


def release_names(product, arch, demo, signed=True):
    """The release's base name and its disc's volume label."""
    base = (f"{product.release_name}-{product.version}-{arch}" + ("-demo" if demo else "")
            + ("" if signed else "-unsigned"))
    return base, product.disc_label(demo)


def check_setups(product, setups):
    """Refuses when a language the menu offers has no setup."""
    if not os.path.isdir(setups):
        raise Refused(f"the setups folder {setups} does not exist")
    for row in product.languages:  # a language that is not shown may lack its setup
        path = os.path.join(setups, row.folder)
        if row.shown and not os.path.isfile(os.path.join(path, row.program)):
            raise Refused(f"{path} has no {row.program}; the menu offers this language, so its setup must be "
                          "there")


def stage(args, product, out, date, certificate=None):
    """The medium in `out`: the menu with its time stamp set to `date` (and
    signed when a certificate is given), AUTORUN.INF and the language folders."""
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    menu = os.path.join(out, product.executable)
    shutil.copyfile(args.menu, menu)
    pe_stamp.stamp(menu, date)
    if certificate:
        unsigned = menu + ".unsigned"
        os.replace(menu, unsigned)
        certificate.sign(unsigned, menu, date, product.name, args.vendor_url, args.timestamp_url)
        os.remove(unsigned)
        certificate.verify(menu)
    with open(os.path.join(out, "AUTORUN.INF"), "wb") as f:
        f.write(autorun_inf(product))
    if args.setups:
        for row in product.languages:
            source = os.path.join(args.setups, row.folder)
            if os.path.isdir(source):
                shutil.copytree(source, os.path.join(out, row.folder))
            else:
                os.makedirs(os.path.join(out, row.folder))
    else:
        for row in product.languages:
            os.makedirs(os.path.join(out, row.folder))
            stub = os.path.join(out, row.folder, row.program)
            shutil.copyfile(args.stub, stub)
            pe_stamp.stamp(stub, date)  # built here like the menu, so dated like it


def warn_unsigned_setups(product, staged):
    """The vendor's setups go on the medium as they are; one without a signature
    is worth a warning, since Windows warns about it or blocks it."""
    for row in product.languages:
        setup = os.path.join(staged, row.folder, row.program)
        if os.path.isfile(setup) and not pe.PeFile(setup).is_signed():
            print(f"make_medium: warning: {os.path.join(row.folder, row.program)} is not signed; "
                  "Windows will warn about it or block it", file=sys.stderr)


def entries(folder):
    """Every file and folder below `folder` as relative '/' paths, in one fixed order."""
    found = []
    for root, dirs, files in os.walk(folder):
        relative = os.path.relpath(root, folder).replace(os.sep, "/")
        found += [name if relative == "." else f"{relative}/{name}" for name in dirs + files]
    return sorted(found)


def set_dates(folder, date):
    for name in entries(folder) + ["."]:
        os.utime(os.path.join(folder, name), (date, date), follow_symlinks=False)


def write_iso(product, staged, iso, label, date):
    # ISO 9660 (upper-case 8.3 names) for old systems, Joliet for the real names,
    # Rock Ridge for Unix readers. -r fixes owners and permissions; xorriso takes
    # the volume dates from SOURCE_DATE_EPOCH and the file dates from the files,
    # in UTC so that the zone of the build machine does not show.
    set_dates(staged, date)
    environment = dict(os.environ, SOURCE_DATE_EPOCH=str(date), TZ="UTC")
    run = subprocess.run(["xorriso", "-as", "mkisofs", "-quiet", "-iso-level", "1", "-J", "-joliet-long", "-r",
                          "-V", label, "-publisher", product.company, "-A", f"{product.name} {product.version}",
                          "-o", iso, staged],
                         capture_output=True, text=True, env=environment)
    if run.returncode:
        reason = [line for line in run.stderr.splitlines() if "NOTE" not in line][-3:]
        raise Refused(f"xorriso could not write the image (status {run.returncode}): {' '.join(reason)}")


def write_zip(zip_path, staged, iso, base, date):
    when = time.gmtime(date)[:6]
    files = [(f"{base}/{name}", os.path.join(staged, name)) for name in entries(staged)
             if os.path.isfile(os.path.join(staged, name))]
    with zipfile.ZipFile(zip_path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, path in files + [(os.path.basename(iso), iso)]:
            info = zipfile.ZipInfo(name, date_time=when)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the permissions below are read
            info.external_attr = (stat.S_IFREG | 0o644) << 16
            with open(path, "rb") as source, z.open(info, "w") as target:
                shutil.copyfileobj(source, target, 1 << 20)


def write_sums(folder, names):
    with open(os.path.join(folder, "SHA256SUMS"), "w", newline="\n") as f:
        for name in sorted(names):
            digest = hashlib.sha256()
            with open(os.path.join(folder, name), "rb") as data:
                for block in iter(lambda: data.read(1 << 20), b""):
                    digest.update(block)
            f.write(f"{digest.hexdigest()}  {name}\n")


def remove_earlier_release(product, out):
    """What an earlier run wrote, so that a failed run leaves nothing that looks complete."""
    if not os.path.isdir(out):
        return
    for name in os.listdir(out):
        if name.startswith((product.release_name + "-", ".incomplete-")) or name == "SHA256SUMS":
            path = os.path.join(out, name)
            if os.path.isdir(path) and not os.path.islink(path):
                shutil.rmtree(path)
            else:
                os.remove(path)


def release(args, product, date):
    """The staged medium, its image, the zip and SHA256SUMS, written aside and
    moved into --out only when all of them are complete."""
    remove_earlier_release(product, args.out)
    if args.setups:
        check_setups(product, args.setups)
    certificate = None
    if args.sign_pkcs12:
        certificate = Certificate(args.sign_pkcs12, args.sign_password_file)
    elif args.sign_password_file:
        raise Refused("VELBROOK_SIGN_PASSWORD_FILE is set but VELBROOK_SIGN_PKCS12 is not")
    base, label = release_names(product, args.arch, demo=not args.setups, signed=certificate is not None)
    os.makedirs(args.out, exist_ok=True)
    aside = tempfile.mkdtemp(prefix=".incomplete-", dir=args.out)
    try:
        staged = os.path.join(aside, base)
        stage(args, product, staged, date, certificate)
        if certificate:
            print(f"Signed {product.executable} as {certificate.subject} (SHA-256, signing time {describe_time(date)}"
                  + (f", time stamp from {args.timestamp_url})" if args.timestamp_url else
                     "); no time stamp: set VELBROOK_SIGN_TIMESTAMP_URL so that the signature outlives "
                     "the certificate") + "; the signature verifies")
        else:
            print(f"The medium is UNSIGNED: set VELBROOK_SIGN_PKCS12 and VELBROOK_SIGN_PASSWORD_FILE to sign "
                  f"{product.executable}; the outputs are named {base}")
        if args.setups:
            warn_unsigned_setups(product, staged)
        written = []
        if args.iso or args.zip:
            iso = os.path.join(aside, base + ".iso")
            write_iso(product, staged, iso, label, date)
            written.append(os.path.basename(iso))
        if args.zip:
            write_zip(os.path.join(aside, base + ".zip"), staged, iso, base, date)
            written.append(base + ".zip")
        write_sums(aside, written)
        # The checksums last: a release cut short while it is moved in has none. One
        # that fails to move in whole takes out again what it moved.
        moved = []
        try:
            for name in sorted(os.listdir(aside), key=lambda name: name == "SHA256SUMS"):
                os.replace(os.path.join(aside, name), os.path.join(args.out, name))
                moved.append(os.path.join(args.out, name))
        except OSError:
            for path in moved:
                shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
            raise
    finally:
        shutil.rmtree(aside, ignore_errors=True)
    for name in written:
        print(f"Wrote {os.path.join(args.out, name)}" + (f" (volume label {label})" if name.endswith(".iso") else ""))
    print(f"Wrote {os.path.join(args.out, 'SHA256SUMS')}; staged the medium in {os.path.join(args.out, base)}")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--product", required=True, help="product.json, as menubuild.product.configure wrote it")
    parser.add_argument("--menu", required=True)
    source = parser.add_mutually_exclusive_group(required=True)
    source.add_argument("--setups")
    source.add_argument("--stub")
    parser.add_argument("--arch", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--iso", action="store_true")
    parser.add_argument("--zip", action="store_true")
    parser.add_argument("--staged-name", help="stage only, into this folder inside --out")
    parser.add_argument("--sources", default=SOURCES, help="the checkout whose commit dates the release")
    parser.add_argument("--product-folder", help="the product's folder, which a signed release must have committed")
    parser.add_argument("--sign-pkcs12")
    parser.add_argument("--sign-password-file")
    parser.add_argument("--timestamp-url")
    parser.add_argument("--vendor-url")
    args = parser.parse_args(argv)

    try:
        # A signed release is the vendor's word that it is this commit's: its product must be in it.
        not_committed = None
        if not args.staged_name:
            not_committed = (product_not_committed(args.sources, args.product_folder) if args.product_folder
                             else "the build did not name the product's folder (--product-folder)")
            if not_committed and args.sign_pkcs12:
                raise Refused(f"a signed release is made only from a committed product: {not_committed}")
        product = Product.from_json(args.product)
        date, origin = source_date(args.sources)
        if args.staged_name:
            if args.setups:
                check_setups(product, args.setups)
            staged = os.path.join(args.out, args.staged_name)
            stage(args, product, staged, date)
            print(f"Staged the medium in {staged}" + ("" if args.setups else " (a demo: stub setups)"))
            return 0
        print(f"Every date in the release is {describe_time(date)}: {origin}")
        if not_committed:
            print(f"make_medium: warning: this release cannot be rebuilt from its commit: {not_committed}",
                  file=sys.stderr)
        elif uncommitted_changes(args.sources):
            print("make_medium: warning: the checkout has uncommitted changes, so this release is not "
                  "its commit's", file=sys.stderr)
        release(args, product, date)
    except (Refused, SigningError, ValueError, KeyError, TypeError, OSError) as e:
        print(f"make_medium: no medium was made: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
