"""The two fields of a PE header that a release fixes or reads: the link time
stamp (with the header checksum that covers it) and whether the file carries
an Authenticode signature."""

import struct


def _header(data, path):
    if data[:2] != b"MZ":
        raise ValueError(f"{path} is not a Windows program (no MZ header)")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path} is not a Windows program (no PE header)")
    optional = pe + 24
    pe32_plus = struct.unpack_from("<H", data, optional)[0] == 0x20B
    directories = optional + (112 if pe32_plus else 96)
    return pe + 8, optional + 64, directories


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
    with open(path, "rb") as f:
        data = bytearray(f.read())
    time_at, checksum_at, _ = _header(data, path)
    struct.pack_into("<I", data, time_at, seconds)
    struct.pack_into("<I", data, checksum_at, checksum(data, checksum_at))
    with open(path, "wb") as f:
        f.write(data)


def is_signed(path):
    """Whether the file has a certificate table (an Authenticode signature,
    valid or not)."""
    with open(path, "rb") as f:
        data = f.read()
    security = _header(data, path)[2] + 8 * 4
    return struct.unpack_from("<II", data, security)[1] != 0
