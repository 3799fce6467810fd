#!/usr/bin/env python3
"""Converts Natural Earth's 1:110m coastline from an R lazy-load database into coastlines.bin.

Reads the sp SpatialLinesDataFrame "coastline110" of the R package rnaturalearthdata
(Rdata.rdx, the index, and Rdata.rdb, the objects) with a small reader of R's XDR
serialization, and writes the compact form the map window decodes (little-endian):

    magic   4 bytes  b"VCL1"
    lines   uint32   number of lines
    per line:
      count uint32   number of points (2 or more)
      lon0, lat0     int32 each, the first point in hundredths of a degree
      then count - 1 pairs of int16 deltas (longitude, latitude), hundredths of a degree

Standard library only; run by hand:
    convert_coastlines.py DATA_FOLDER OUTPUT_FILE
"""

import bz2
import lzma
import struct
import sys
import zlib

# R's SEXP types met in the lazy-load database.
NILSXP, SYMSXP, LISTSXP, CLOSXP, ENVSXP, PROMSXP, LANGSXP = 0, 1, 2, 3, 4, 5, 6
CHARSXP, LGLSXP, INTSXP, REALSXP, CPLXSXP, STRSXP, DOTSXP = 9, 10, 13, 14, 15, 16, 17
VECSXP, EXPRSXP, RAWSXP, S4SXP = 19, 20, 24, 25
REFSXP, NILVALUE_SXP, GLOBALENV_SXP, UNBOUNDVALUE_SXP = 255, 254, 253, 252
MISSINGARG_SXP, BASENAMESPACE_SXP, NAMESPACESXP, PACKAGESXP = 251, 250, 249, 248
PERSISTSXP, EMPTYENV_SXP, BASEENV_SXP = 247, 242, 241
ATTRLANGSXP, ATTRLISTSXP, ALTREP_SXP = 240, 239, 238

HAS_ATTR = 1 << 9
HAS_TAG = 1 << 10


class RObject:
    """A value with its attributes: data is a list, str, bytes or None."""

    def __init__(self, kind, data=None, attributes=None):
        self.kind = kind
        self.data = data
        self.attributes = attributes or {}

    def attr(self, name):
        return self.attributes.get(name)


class Reader:
    """R serialization, XDR format ("X\\n"), versions 2 and 3."""

    def __init__(self, data):
        self.data = data
        self.at = 0
        self.refs = []

    def take(self, n):
        if self.at + n > len(self.data):
            raise ValueError("serialization ends early")
        chunk = self.data[self.at:self.at + n]
        self.at += n
        return chunk

    def int(self):
        return struct.unpack(">i", self.take(4))[0]

    def length(self):
        n = self.int()
        if n == -1:
            upper, lower = self.int(), self.int()
            n = (upper << 32) + lower
        return n

    def read(self):
        if self.take(2) != b"X\n":
            raise ValueError("not XDR serialization")
        version = self.int()
        self.int()  # writer's R version
        self.int()  # oldest R version that reads it
        if version == 3:
            self.take(self.int())  # native encoding name
        elif version != 2:
            raise ValueError("serialization version %d" % version)
        return self.item()

    def attributes(self, flags):
        return self.pairlist_dict(self.item()) if flags & HAS_ATTR else {}

    @staticmethod
    def pairlist_dict(value):
        if value is None:
            return {}
        return {tag: item for tag, item in value.data}

    def item(self):
        flags = self.int()
        kind = flags & 0xFF
        if kind in (NILVALUE_SXP, EMPTYENV_SXP, BASEENV_SXP, GLOBALENV_SXP, UNBOUNDVALUE_SXP,
                    MISSINGARG_SXP, BASENAMESPACE_SXP):
            return None
        if kind == REFSXP:
            index = flags >> 8
            if index == 0:
                index = self.int()
            return self.refs[index - 1]
        if kind == PERSISTSXP or kind in (NAMESPACESXP, PACKAGESXP):
            self.int()  # 0
            names = [self.item() for _ in range(self.int())]
            value = RObject(kind, names)
            self.refs.append(value)
            return value
        if kind == SYMSXP:
            name = self.item()
            value = RObject(SYMSXP, name.data if name else "")
            self.refs.append(value)
            return value
        if kind == ENVSXP:
            value = RObject(ENVSXP)
            self.int()  # locked
            self.refs.append(value)
            self.item()  # enclosure
            self.item()  # frame
            self.item()  # hash table
            value.attributes = self.pairlist_dict(self.item())
            return value
        if kind in (LISTSXP, LANGSXP, CLOSXP, PROMSXP, DOTSXP, ATTRLANGSXP, ATTRLISTSXP):
            cells = []
            attributes = {}
            while True:
                if flags & HAS_ATTR or kind in (ATTRLANGSXP, ATTRLISTSXP):
                    attributes = self.pairlist_dict(self.item())
                tag = self.item() if flags & HAS_TAG else None
                cells.append((tag.data if tag else None, self.item()))
                flags = self.int()
                kind = flags & 0xFF
                if kind not in (LISTSXP, LANGSXP, ATTRLISTSXP, ATTRLANGSXP):
                    break
            self.at -= 4
            self.item()  # the end of the list, normally NULL
            return RObject(LISTSXP, cells, attributes)
        if kind == ALTREP_SXP:
            info = self.item()
            state = self.item()
            attributes = self.pairlist_dict(self.item())
            class_name = info.data[0][1].data if info and info.data else ""
            if class_name in ("compact_intseq", "compact_realseq"):
                n, start, step = state.data[:3]
                return RObject(INTSXP if class_name == "compact_intseq" else REALSXP,
                               [start + i * step for i in range(int(n))], attributes)
            if class_name.startswith("wrap_"):
                inner = state.data[0]
                inner.attributes.update(attributes)
                return inner
            raise ValueError("ALTREP class %s" % class_name)
        if kind == CHARSXP:
            n = self.int()
            return RObject(CHARSXP, None if n == -1 else self.take(n).decode("utf-8", "replace"))
        if kind in (LGLSXP, INTSXP):
            n = self.length()
            data = list(struct.unpack(">%di" % n, self.take(4 * n)))
        elif kind == REALSXP:
            n = self.length()
            data = list(struct.unpack(">%dd" % n, self.take(8 * n)))
        elif kind == CPLXSXP:
            n = self.length()
            data = list(struct.unpack(">%dd" % (2 * n), self.take(16 * n)))
        elif kind == RAWSXP:
            data = self.take(self.length())
        elif kind in (STRSXP, VECSXP, EXPRSXP):
            data = [self.item() for _ in range(self.length())]
            if kind == STRSXP:
                data = [s.data for s in data]
        elif kind == S4SXP:
            data = None
        else:
            raise ValueError("SEXP type %d at byte %d" % (kind, self.at))
        return RObject(kind, data, self.attributes(flags))


def decompress(block):
    """One object of the .rdb: a 4-byte big-endian length, a type byte and the data."""
    size = struct.unpack(">I", block[:4])[0]
    kind, body = block[4:5], block[5:]
    if kind == b"0":
        data = body
    elif kind == b"2":
        data = bz2.decompress(body)
    elif kind in (b"Z", b"X"):
        try:
            data = zlib.decompress(body)
        except zlib.error:
            # R writes xz as a raw LZMA2 stream with the settings of preset 9e.
            filters = [{"id": lzma.FILTER_LZMA2, "preset": 9 | lzma.PRESET_EXTREME}]
            data = lzma.LZMADecompressor(lzma.FORMAT_RAW, filters=filters).decompress(body)
    else:
        data = zlib.decompress(block[4:])  # zlib without a type byte
    if len(data) != size:
        raise ValueError("object decompresses to %d bytes, expected %d" % (len(data), size))
    return data


def load_object(folder, name):
    with open(folder + "/Rdata.rdx", "rb") as f:
        index_bytes = f.read()
    if index_bytes[:2] == b"\x1f\x8b":
        index_bytes = zlib.decompress(index_bytes, 16 + zlib.MAX_WBITS)
    else:
        index_bytes = decompress(index_bytes)
    index = Reader(index_bytes).read()
    variables = dict(zip(index.attr("names").data, index.data))["variables"]
    where = dict(zip(variables.attr("names").data, variables.data))[name]
    offset, size = int(where.data[0]), int(where.data[1])
    with open(folder + "/Rdata.rdb", "rb") as f:
        f.seek(offset)
        block = f.read(size)
    return Reader(decompress(block)).read()


def coastline_lines(obj):
    """The Line coordinate matrices of a SpatialLinesDataFrame as lists of (lon, lat)."""
    lines = []
    for line_set in obj.attr("lines").data:
        for line in line_set.attr("Lines").data:
            coords = line.attr("coords")
            rows = len(coords.data) // 2
            lines.append(list(zip(coords.data[:rows], coords.data[rows:])))
    return lines


def encode(lines):
    out = bytearray(b"VCL1")
    kept = []
    for line in lines:
        points = []
        for lon, lat in line:
            p = (round(lon * 100), round(lat * 100))
            if not points or points[-1] != p:
                points.append(p)
        if len(points) >= 2:
            kept.append(points)
    out += struct.pack("<I", len(kept))
    for points in kept:
        out += struct.pack("<Iii", len(points), *points[0])
        for (lon0, lat0), (lon1, lat1) in zip(points, points[1:]):
            # struct refuses a delta beyond int16; no coastline segment comes near 327 degrees.
            out += struct.pack("<hh", lon1 - lon0, lat1 - lat0)
    return bytes(out), sum(len(p) for p in kept), len(kept)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: convert_coastlines.py DATA_FOLDER OUTPUT_FILE")
    lines = coastline_lines(load_object(sys.argv[1], "coastline110"))
    data, points, count = encode(lines)
    with open(sys.argv[2], "wb") as f:
        f.write(data)
    print("%d lines, %d points, %d bytes" % (count, points, len(data)))


if __name__ == "__main__":
    main()
