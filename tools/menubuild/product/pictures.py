"""The readers of a description's picture and icon files: each file is read beside the
description, inside the product's folder, and checked to be what Windows and the art
generator read alike (the sizes from the design facts, design.toml). Each reader takes
(checker, table, where, key, default), as those of texts.py."""

import os
import struct

from menubuild.product.texts import text

# The flags the art generator draws itself.
BUILT_IN_FLAGS = ("taiwan", "china", "united-states", "japan")
FACE_DEPTHS, FLAG_DEPTHS, PICTURE_DEPTHS = (24, 8), (24, 8), (24,)
# The sizes of the information headers Windows reads a BMP by (BITMAPINFOHEADER to BITMAPV5HEADER).
BMP_HEADERS = (40, 52, 56, 108, 124)
# The sizes Windows shows a program's icon at (Explorer's views, the taskbar, AutoPlay,
# at each display scale), and the depths of an icon's image.
ICON_SIZES = (16, 20, 24, 28, 32, 40, 48, 56, 64, 72, 80, 96, 128, 256)
ICON_DEPTHS = (1, 4, 8, 24, 32)
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
# The window's pictures a product may give as its own files (the word mark always), and
# a language's two faces with the names of their files in art/ (the code follows).
OWN_PICTURES = ("word_mark", "prompt", "exit_button", "exit_picture", "maker_logo")
FACE_FILES = (("normal_face", "CountryImage"), ("highlighted_face", "CountryPic"))


def picture_size(of):
    return lambda check: (check.design.by_key(of).width, check.design.by_key(of).height, PICTURE_DEPTHS)


def face_size(check):
    return check.design.face.width, check.design.face.height, FACE_DEPTHS


def flag_size(check):
    return check.design.face.flag_width, check.design.face.flag_height, FLAG_DEPTHS


def file(check, table, where, key):
    """A file beside the description: its path and its bytes."""
    name = text(check, table, where, key)
    cmake = next((c for c in name if c in "$;"), None)
    if cmake:
        # The build is told of each file the product is made from, and CMake reads
        # '$' as the start of a variable and ';' as the end of a list's item.
        check.fail(where, key, f"{name!r} holds '{cmake}', which the build cannot carry in a file's name")
    path = os.path.join(check.folder, name)
    # The product's folder is what a vendor commits and a release is rebuilt from:
    # a file elsewhere (../, an absolute path, a link out of it) would not be in it.
    home = os.path.realpath(check.folder)
    if os.path.commonpath([os.path.realpath(path), home]) != home:
        check.fail(where, key, f"{name!r} lies outside the product's folder {check.folder}, which a release "
                   "is made from: put the file in it")
    try:
        with open(path, "rb") as f:
            return path, f.read()
    except OSError as e:
        check.fail(where, key, f"cannot read {path}: {e.strerror}")


def bmp(check, table, where, key, size, top_down=False):
    """A BMP file beside the description: its path, once its size, depth and headers are
    right. `size` is (width, height, allowed bits per pixel); `top_down`: it may be stored
    top row first (a flag, which is redrawn; a picture that is embedded as it is must be
    stored bottom row first)."""
    width, height, depths = size
    path, data = file(check, table, where, key)
    if len(data) < 54 or data[:2] != b"BM" or struct.unpack_from("<I", data, 14)[0] < 40:
        check.fail(where, key, f"{path} is not a BMP picture")
    offset, header = struct.unpack_from("<II", data, 10)
    if header not in BMP_HEADERS:
        check.fail(where, key, f"{path} has an information header of {header} bytes, which is no BMP's "
                   f"({', '.join(map(str, BMP_HEADERS))})")
    w, h, planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if (w, h) != (width, height) and not (top_down and (w, -h) == (width, height)):
        check.fail(where, key, f"{path} is {w} x {abs(h)} pixels; it must be {width} x {height}"
                   + (" stored bottom row first" if (w, -h) == (width, height) else ""))
    if bits not in depths or compression != 0 or planes != 1:
        wanted = " or ".join(f"{d}-bit" for d in depths)
        check.fail(where, key, f"{path} has {bits} bits per pixel{' compressed' if compression else ''}; "
                   f"it must be {wanted} and uncompressed")
    colours = struct.unpack_from("<I", data, 46)[0] or (256 if bits == 8 else 0)
    if bits == 8 and colours > 256:
        check.fail(where, key, f"{path} names {colours} colours; an 8-bit picture has at most 256")
    # Windows takes the pixels from right after the header and the palette, whatever the
    # file's own offset says; the art generator and the contact sheet from that offset.
    if offset != 14 + header + 4 * colours:
        check.fail(where, key, f"{path} says its pixels start at byte {offset}, but its {header}-byte header "
                   f"and {colours} colours end at byte {14 + header + 4 * colours}, where Windows takes them "
                   "from: the menu would show another picture than the build reads")
    stride = (w * bits // 8 + 3) & ~3
    if offset + stride * abs(h) > len(data):
        check.fail(where, key, f"{path} is cut short")
    if bits == 8:
        used = max(max(data[offset + row * stride:offset + row * stride + w]) for row in range(abs(h)))
        if used >= colours:
            check.fail(where, key, f"{path} uses colour {used} of a palette of {colours}")
    return path


def icon(check, table, where, key, default=None):
    path, data = file(check, table, where, key)
    if len(data) < 22 or struct.unpack_from("<HHH", data) != (0, 1, 1):
        check.fail(where, key, f"{path} is not an icon file with one image")
    width, height, colours = data[6], data[7], data[8]
    planes, bits, size, at = struct.unpack_from("<HHII", data, 10)
    if at < 22 or at + 40 > len(data):
        check.fail(where, key, f"{path} is not an icon file with one image")
    header = struct.unpack_from("<IiiHH", data, at)
    # The build embeds what follows the directory as the image: it must be the one the directory names.
    if at != 22 or header[0] != 40 or header[3] != 1 or planes not in (0, 1) or bits not in (0, header[4]):
        check.fail(where, key, f"{path}: its image does not follow its directory (the directory names a "
                   f"{bits or header[4]}-bit image at byte {at}; the image there has a {header[0]}-byte header "
                   f"and {header[4]} bits per pixel): it must start at byte 22")
    if (width, height) != (32, 32) or header[1:3] != (32, 64):
        check.fail(where, key, f"{path} is {width or 256} x {height or 256} pixels; it must be 32 x 32")
    if colours != 16 or header[4] != 4 or size != 744 or at + size != len(data):
        check.fail(where, key, f"{path} has {header[4]} bits per pixel; it must be a 16-colour (4-bit) image")
    return path


def icon_sizes(check, table, where, key, default=None):
    """More images of the icon, for Windows to pick from at other sizes: an icon file whose
    images are each square, of a size Windows shows icons at, stored as a bitmap or a PNG.
    (path, how many images), or None."""
    if key not in table:
        return None
    path, data = file(check, table, where, key)
    count = struct.unpack_from("<H", data, 4)[0] if len(data) >= 6 else 0
    if len(data) < 6 + 16 * count or struct.unpack_from("<HH", data) != (0, 1) or not 1 <= count <= 64:
        check.fail(where, key, f"{path} is not an icon file of 1 to 64 images")
    seen = set()
    for number in range(1, count + 1):
        width, height, _, _, _, _, size, at = struct.unpack_from("<BBBBHHII", data, 6 + 16 * (number - 1))
        width, height, image = width or 256, height or 256, data[at:at + size]
        if width != height or width not in ICON_SIZES:
            check.fail(where, key, f"{path}: image {number} is {width} x {height} pixels; an icon's images are "
                       f"square, of {', '.join(map(str, ICON_SIZES))}")
        if at < 6 + 16 * count or at + size > len(data) or size < 40:
            check.fail(where, key, f"{path}: image {number} lies outside the file")
        if image.startswith(PNG_SIGNATURE):
            drawn, depth = struct.unpack_from(">II", image, 16) if size >= 24 else (0, 0), 32
        else:
            header, w, h, planes, depth = struct.unpack_from("<IiiHH", image)
            drawn = (w, h // 2) if header == 40 and planes == 1 and depth in ICON_DEPTHS else None
        if drawn != (width, height):
            check.fail(where, key, f"{path}: image {number} is not the {width} x {height} picture its entry names "
                       "(an icon's image is a PNG, or a bitmap with a 40-byte header, its mask below it)")
        if (width, depth) in seen or (width, depth) == (32, 4):
            check.fail(where, key, f"{path}: image {number} is a second {width} x {height} image of {depth} bits"
                       + (" (the one of `icon`)" if (width, depth) == (32, 4) else ""))
        seen.add((width, depth))
    return path, count


def picture(check, table, where, key, default=None):
    """One of the window's pictures given as a file, sized as the design says."""
    if key not in table:
        return None
    return bmp(check, table, where, key, picture_size(key)(check))


def face(check, table, where, key, default=None):
    if key not in table:
        return None
    return bmp(check, table, where, key, face_size(check))


def larger(of, size):
    """The reader of `<of>_larger`: the picture `of` given for other display scales as
    { <percent> = "<file>" }, each a BMP of `of`'s size at that scale, to the nearest pixel.
    `size(check)` is `of`'s (width, height, allowed bits per pixel) at 96 dpi."""
    def read(check, table, where, key, default=None):
        given = table.get(key, {})
        if not isinstance(given, dict):
            check.fail(where, key, f"must be a table of display scales in percent and files, like "
                       f'{{ 200 = "{of}-200.bmp" }}, not {given!r}')
        if given and (of not in table or table[of] in BUILT_IN_FLAGS):
            check.fail(where, key, f"gives larger pictures of {of!r}, which the build draws at every scale: "
                       f"give {of!r} as a file too, or leave these out")
        width, height, depths = size(check)
        found = []
        for percent in given:
            scales = check.design.drawn_percents
            if not percent.isdigit() or str(int(percent)) != percent or int(percent) not in scales:
                check.fail(where, f"{key}.{percent}", f"{percent!r} is no display scale the menu has pictures for "
                           f"({', '.join(map(str, scales))}, in percent)")
            scaled = (width * int(percent) + 50) // 100, (height * int(percent) + 50) // 100
            # Stored either way up: the art generator reads it, nothing embeds it as it is.
            named = f"{key}.{percent}"  # as TOML's dotted keys name it
            path = bmp(check, {named: given[percent]}, where, named, (*scaled, depths), top_down=True)
            found.append((int(percent) * 96 // 100, path))
        return tuple(sorted(found))
    return read

