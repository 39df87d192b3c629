"""The PE header fields a release fixes: the link time stamp, and the header
checksum that covers it."""

import struct

from menubuild.medium import pe


def checksum(data, checksum_at):
    """The header checksum as the image loader and signing tools compute it: a
    16-bit one's-complement sum of the file with the checksum field left out,
    plus the file's length."""
    padded = bytes(data) + (b"\0" if len(data) % 2 else b"")
    words = struct.unpack(f"<{len(padded) // 2}H", padded)
    skip = checksum_at // 2
    total = sum(words) - words[skip] - words[skip + 1]
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def stamp(path, seconds):
    """Sets the link time stamp to `seconds` and the checksum to match, so the
    same sources give the same bytes whenever they are linked."""
    image = pe.PeFile(path)
    data = bytearray(image.data)
    struct.pack_into("<I", data, image.time_stamp_offset, seconds)
    struct.pack_into("<I", data, image.checksum_offset, checksum(data, image.checksum_offset))
    with open(path, "wb") as f:
        f.write(data)

