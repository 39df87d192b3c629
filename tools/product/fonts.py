"""What the build's fonts can draw and how wide a text comes out: the
character map and the advance widths of a TrueType font or of the first font
of a collection, read straight from the file."""

import struct


class Font:
    def __init__(self, path, name):
        self.path, self.name = path, name
        with open(path, "rb") as f:
            data = f.read()
        offset = struct.unpack_from(">I", data, 12)[0] if data[:4] == b"ttcf" else 0
        count = struct.unpack_from(">H", data, offset + 4)[0]
        tables = {data[offset + 12 + 16 * i:offset + 16 + 16 * i].decode("latin-1"):
                  struct.unpack_from(">I", data, offset + 12 + 16 * i + 8)[0] for i in range(count)}
        self.units_per_em = struct.unpack_from(">H", data, tables["head"] + 18)[0]
        metrics = struct.unpack_from(">H", data, tables["hhea"] + 34)[0]
        self.advances = [struct.unpack_from(">H", data, tables["hmtx"] + 4 * i)[0] for i in range(metrics)]
        self.glyphs = self._character_map(data, tables["cmap"])

    @staticmethod
    def _character_map(data, cmap):
        """Code point to glyph, from the Unicode subtable of format 12 or, failing that, 4."""
        found = {}
        subtables = struct.unpack_from(">H", data, cmap + 2)[0]
        for i in range(subtables):
            platform, encoding, at = struct.unpack_from(">HHI", data, cmap + 4 + 8 * i)
            table = cmap + at
            kind = struct.unpack_from(">H", data, table)[0]
            if (platform, encoding, kind) in ((3, 10, 12), (0, 4, 12), (0, 6, 12)):
                groups = struct.unpack_from(">I", data, table + 12)[0]
                mapping = {}
                for g in range(groups):
                    start, end, glyph = struct.unpack_from(">III", data, table + 16 + 12 * g)
                    mapping.update((c, glyph + c - start) for c in range(start, end + 1))
                return mapping
            if (platform, encoding, kind) in ((3, 1, 4), (0, 3, 4)) and not found:
                segments = struct.unpack_from(">H", data, table + 6)[0] // 2
                ends = struct.unpack_from(f">{segments}H", data, table + 14)
                starts = struct.unpack_from(f">{segments}H", data, table + 16 + 2 * segments)
                deltas = struct.unpack_from(f">{segments}h", data, table + 16 + 4 * segments)
                ranges_at = table + 16 + 6 * segments
                ranges = struct.unpack_from(f">{segments}H", data, ranges_at)
                for s in range(segments):
                    for c in range(starts[s], ends[s] + 1):
                        if c == 0xFFFF:
                            continue
                        if ranges[s] == 0:
                            glyph = (c + deltas[s]) & 0xFFFF
                        else:
                            at_glyph = ranges_at + 2 * s + ranges[s] + 2 * (c - starts[s])
                            glyph = struct.unpack_from(">H", data, at_glyph)[0]
                            glyph = (glyph + deltas[s]) & 0xFFFF if glyph else 0
                        if glyph:
                            found[c] = glyph
        return found

    def missing(self, text):
        """The first character of `text` the font has no glyph for, or None."""
        return next((c for c in text if ord(c) not in self.glyphs), None)

    def width(self, text, pixels):
        """The advance width of `text` at an em of `pixels`, kerning left out."""
        units = sum(self.advances[min(self.glyphs.get(ord(c), 0), len(self.advances) - 1)] for c in text)
        return units * pixels / self.units_per_em
