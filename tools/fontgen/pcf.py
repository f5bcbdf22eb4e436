"""Reader for the X11 PCF bitmap font format (the misc-fixed fonts ship as .pcf.gz)."""

import gzip
import struct

PCF_METRICS = 1 << 2
PCF_BITMAPS = 1 << 3
PCF_BDF_ENCODINGS = 1 << 5
PCF_COMPRESSED_METRICS = 0x100


class PcfGlyph:
    def __init__(self, left, right, width, ascent, descent, rows):
        self.left = left  # left bearing: first ink column relative to the origin
        self.right = right
        self.width = width  # advance
        self.ascent = ascent
        self.descent = descent
        self.rows = rows  # list of strings of '#' and '.', top row first


class PcfFont:
    def __init__(self, path):
        data = gzip.open(path, "rb").read() if path.endswith(".gz") else open(path, "rb").read()
        if data[:4] != b"\x01fcp":
            raise ValueError(path + ": not a PCF file")
        (count,) = struct.unpack_from("<i", data, 4)
        tables = {}
        for i in range(count):
            kind, fmt, size, offset = struct.unpack_from("<iiii", data, 8 + 16 * i)
            tables[kind] = offset
        self._data = data
        metrics = self._metrics(tables[PCF_METRICS])
        bitmaps = self._bitmaps(tables[PCF_BITMAPS], metrics)
        self._glyphs = [PcfGlyph(*m, rows) for m, rows in zip(metrics, bitmaps)]
        self._index = self._encodings(tables[PCF_BDF_ENCODINGS])

    def glyph(self, codepoint):
        i = self._index.get(codepoint)
        return None if i is None else self._glyphs[i]

    def _format(self, offset):
        (fmt,) = struct.unpack_from("<i", self._data, offset)
        return fmt, (">" if fmt & 4 else "<")

    def _metrics(self, offset):
        fmt, bo = self._format(offset)
        out = []
        if fmt & PCF_COMPRESSED_METRICS:
            (n,) = struct.unpack_from(bo + "h", self._data, offset + 4)
            for i in range(n):
                b = self._data[offset + 6 + 5 * i : offset + 11 + 5 * i]
                out.append(tuple(x - 0x80 for x in b))
        else:
            (n,) = struct.unpack_from(bo + "i", self._data, offset + 4)
            for i in range(n):
                v = struct.unpack_from(bo + "hhhhhH", self._data, offset + 8 + 12 * i)
                out.append(v[:5])
        return out

    def _bitmaps(self, offset, metrics):
        fmt, bo = self._format(offset)
        (n,) = struct.unpack_from(bo + "i", self._data, offset + 4)
        offsets = struct.unpack_from(bo + "%di" % n, self._data, offset + 8)
        base = offset + 8 + 4 * n + 16
        pad = 1 << (fmt & 3)
        unit = 1 << ((fmt >> 4) & 3)
        msb_bytes = bool(fmt & 4)
        msb_bits = bool(fmt & 8)
        out = []
        for (left, right, _w, ascent, descent), start in zip(metrics, offsets):
            width = right - left
            stride = ((width + pad * 8 - 1) // (pad * 8)) * pad
            rows = []
            for y in range(ascent + descent):
                raw = bytearray(self._data[base + start + y * stride : base + start + (y + 1) * stride])
                if msb_bytes != msb_bits and unit > 1:
                    for k in range(0, len(raw), unit):
                        raw[k : k + unit] = raw[k : k + unit][::-1]
                row = ""
                for x in range(width):
                    byte = raw[x // 8]
                    bit = (byte >> (7 - x % 8)) & 1 if msb_bits else (byte >> (x % 8)) & 1
                    row += "#" if bit else "."
                rows.append(row)
            out.append(rows)
        return out

    def _encodings(self, offset):
        fmt, bo = self._format(offset)
        min2, max2, min1, max1, _default = struct.unpack_from(bo + "hhhhh", self._data, offset + 4)
        per_row = max2 - min2 + 1
        total = per_row * (max1 - min1 + 1)
        indices = struct.unpack_from(bo + "%dH" % total, self._data, offset + 14)
        index = {}
        for k, glyph in enumerate(indices):
            if glyph != 0xFFFF:
                index[(min1 + k // per_row) * 256 + min2 + k % per_row] = glyph
        return index
