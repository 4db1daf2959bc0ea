#!/usr/bin/env python3
"""Writes the damaged files of the outside audit, made small, as fuzzer seeds.

Usage: make_audit_inputs.py OUT_DIR
Each file lands in OUT_DIR/<target>/, named after what is wrong with it. The readers
must refuse or read every one of them without a crash, a hang or a sanitizer report;
what they answer is theirs to decide.
"""
import os
import struct
import sys

HEADER_SIZE = 802
SECTION_HEADER_SIZE = 28
TAILER_SIZE = 92
# Scale, a 3 x 4 identity matrix, then the bounds: what New gives a 1 x 1 x 1 model.
TAILER_VALUES = [1 / 12, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -0.5, -0.5, -0.5, 0.5, 0.5, 0.5]


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def vxl(sections):
    """A voxel file. sections: (name, (x, y, z), starts, ends, data) with the span tables
    as lists of offsets into data; the tables and data of each section lie in the body
    in order."""
    count = len(sections)
    head = bytearray(b"Voxel Animation\0")
    head += u32(1)
    head += u32(count) + u32(count)  # the section and tailer counts
    head += u32(0)  # the body size, set below
    head += bytes([16, 31])
    head += bytes((i * 3 + k) & 0xFF for i in range(256) for k in range(3))
    for name, *_ in sections:
        head += name.ljust(16, b"\0")[:16] + u32(0) + u32(1) + u32(0)
    body, tailers = bytearray(), bytearray()
    for _, size, starts, ends, data in sections:
        at = len(body)
        body += b"".join(map(u32, starts)) + b"".join(map(u32, ends)) + data
        tailers += u32(at) + u32(at + 4 * len(starts)) + u32(at + 8 * len(starts))
        tailers += b"".join(struct.pack("<f", v) for v in TAILER_VALUES)
        tailers += bytes([*size, 2])
    head[28:32] = u32(len(body))
    return bytes(head + body + tailers)


def section(name, size, columns):
    """A section from one bytes object per column; an empty one holds no voxel."""
    starts, ends, data = [], [], bytearray()
    for column in columns:
        starts.append(len(data) if column else -1)
        data += column
        ends.append(len(data) - 1 if column else -1)
    return (name, size, starts, ends, bytes(data))


def span(skip, voxels):
    """One span: skip, count, (colour, normal) for each voxel, count again."""
    return bytes([skip, len(voxels)]) + b"".join(bytes(v) for v in voxels) + bytes([len(voxels)])


def small_vxl(name=b"AUDIT"):
    columns = [span(0, [(5, 7)]) + span(3, []), b"", span(1, [(9, 3), (10, 4)]) + span(1, []), b""]
    return vxl([section(name, (2, 2, 4), columns)])


def vox(children):
    def chunk(cid, content):
        return cid + u32(len(content)) + u32(0) + content

    body = b"".join(chunk(cid, content) for cid, content in children)
    return b"VOX " + u32(150) + b"MAIN" + u32(0) + u32(len(body)) + body


def vox_model(x, y, z, voxels=()):
    xyzi = u32(len(voxels)) + b"".join(bytes(v) for v in voxels)
    return [(b"SIZE", u32(x) + u32(y) + u32(z)), (b"XYZI", xyzi)]


def vox_text(s):
    return u32(len(s)) + s


def main():
    out = sys.argv[1]
    files = {}
    # (a) Sections of the largest extent with no voxel at all: three stand for the 33 of
    # the audit, whose span tables alone would be 17 MB.
    empty = [b""] * (255 * 255)
    files["vxl_reader_fuzz/audit-a-three-empty-255-cubed-sections.vxl"] = vxl(
        [section(b"EMPTY %d" % i, (255, 255, 255), empty) for i in range(3)])
    # (c) Every column starts at one chain of empty spans that never moves up, then a voxel.
    chain = span(0, []) * 1500 + span(0, [(1, 1)])
    files["vxl_reader_fuzz/audit-c-columns-share-a-chain-of-empty-spans.vxl"] = vxl(
        [(b"CHAIN", (32, 32, 255), [0] * 1024, [len(chain) - 1] * 1024, chain)])
    good = small_vxl()
    # (d) The last byte missing.
    files["vxl_reader_fuzz/audit-d-missing-last-byte.vxl"] = good[:-1]
    # (e) A body size one larger than the body.
    longer = bytearray(good)
    longer[28:32] = u32(struct.unpack_from("<I", good, 28)[0] + 1)
    files["vxl_reader_fuzz/audit-e-body-size-one-too-large.vxl"] = bytes(longer)
    # (f) 192 bytes, shorter than the header, whose body size puts the tailer at 40: the
    # palette bytes there would read as the span offsets and sizes.
    inside = bytearray(good[:192])
    inside[28:32] = u32(40 - (HEADER_SIZE + SECTION_HEADER_SIZE))
    inside[40 + 88:40 + 92] = bytes([4, 4, 4, 2])
    files["vxl_reader_fuzz/audit-f-192-bytes-tailer-inside-the-header.vxl"] = bytes(inside)
    # (g) The span-start table far past the end of the file.
    past = bytearray(good)
    past[-TAILER_SIZE:-TAILER_SIZE + 4] = u32(0x7FFFFFF0)
    files["vxl_reader_fuzz/audit-g-span-table-past-the-end.vxl"] = bytes(past)
    # (h) A name that would set a terminal's title and clear its screen.
    escape = b"\x1b]0;owned\x07\x1b[2J"
    files["vxl_reader_fuzz/audit-h-escape-sequence-name.vxl"] = small_vxl(escape)

    # (b) Models of the largest size with no voxel at all.
    files["vox_reader_fuzz/audit-b-32-empty-255-cubed-models.vox"] = vox(
        [c for _ in range(32) for c in vox_model(255, 255, 255)])
    # (h) The same name on a scene node, with one voxel under it.
    node = (u32(1) + u32(1) + vox_text(b"_name") + vox_text(escape) + u32(2) + u32(0xFFFFFFFF)
            + u32(0) + u32(1) + u32(0))
    shape = u32(2) + u32(0) + u32(1) + u32(0) + u32(0)
    files["vox_reader_fuzz/audit-h-escape-sequence-name.vox"] = vox(
        vox_model(2, 2, 2, [(1, 1, 1, 3)]) + [(b"nTRN", node), (b"nSHP", shape)])

    for name, data in files.items():
        path = os.path.join(out, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
