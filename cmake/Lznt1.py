#!/usr/bin/env python3
"""Compresses files to LZNT1, the format Windows' RtlDecompressBuffer reads.

    Lznt1.py <source folder> <output folder> <relative path>...

Each <source folder>/<path> is written to <output folder>/<path> as its size
(4 bytes, little-endian) followed by its LZNT1 stream. The Windows build
stores its locale documents so (platform/win32/Win32Resources.cpp expands
them). Every stream is expanded again here and compared with its input
before it is written.

LZNT1: chunks of up to 4096 input bytes, each behind a 2-byte header (the
chunk's stored size minus 3, signature 3 in bits 12-14, bit 15 set when
compressed). A compressed chunk is groups of a flag byte and up to eight
items, bit i of the flag telling whether item i is a literal byte (0) or a
2-byte little-endian copy (1) of (offset - 1, length - 3), whose split
between offset and length bits depends on how far into the chunk it is.
"""

import os
import struct
import sys

CHUNK = 4096
MIN_MATCH = 3


def offset_bits(position):
    """Bits of a copy's offset at this position of the chunk (4 to 12)."""
    bits = 12
    while bits > 4 and not (1 << (bits - 1)) < position:
        bits -= 1
    return bits


def compress_chunk(data):
    out = bytearray()
    chains = {}  # three bytes -> their positions so far, oldest first
    position = 0

    def remember(start, end):
        for k in range(start, min(end, len(data) - MIN_MATCH + 1)):
            chains.setdefault(data[k:k + MIN_MATCH], []).append(k)

    while position < len(data):
        flag_at = len(out)
        out.append(0)
        for bit in range(8):
            if position >= len(data):
                break
            bits = offset_bits(position)
            length_bits = 16 - bits
            longest, farthest = (1 << length_bits) - 1 + MIN_MATCH, 1 << bits
            best_length, best_offset = 0, 0
            for start in reversed(chains.get(data[position:position + MIN_MATCH], ())):
                if position - start > farthest:
                    break
                length = 0
                while (length < longest and position + length < len(data)
                       and data[start + length] == data[position + length]):
                    length += 1
                if length > best_length:
                    best_length, best_offset = length, position - start
                    if length == longest:
                        break
            if best_length >= MIN_MATCH:
                out += struct.pack("<H", ((best_offset - 1) << length_bits) | (best_length - MIN_MATCH))
                out[flag_at] |= 1 << bit
                remember(position, position + best_length)
                position += best_length
            else:
                remember(position, position + 1)
                out.append(data[position])
                position += 1
    return bytes(out)


def compress(data):
    out = bytearray()
    for start in range(0, len(data), CHUNK):
        chunk = data[start:start + CHUNK]
        packed = compress_chunk(chunk)
        if len(packed) < len(chunk):
            out += struct.pack("<H", 0x8000 | 0x3000 | (len(packed) + 2 - 3)) + packed
        else:
            out += struct.pack("<H", 0x3000 | (len(chunk) + 2 - 3)) + chunk
    return bytes(out)


def expand(stream):
    out = bytearray()
    position = 0
    while position + 2 <= len(stream):
        header, = struct.unpack_from("<H", stream, position)
        if header == 0:
            break
        size = (header & 0x0FFF) + 3 - 2
        body = stream[position + 2:position + 2 + size]
        position += 2 + size
        if not header & 0x8000:
            out += body
            continue
        chunk = bytearray()
        i = 0
        while i < len(body):
            flags = body[i]
            i += 1
            for bit in range(8):
                if i >= len(body):
                    break
                if not flags >> bit & 1:
                    chunk.append(body[i])
                    i += 1
                    continue
                item, = struct.unpack_from("<H", body, i)
                i += 2
                length_bits = 16 - offset_bits(len(chunk))
                offset = (item >> length_bits) + 1
                for _ in range((item & ((1 << length_bits) - 1)) + MIN_MATCH):
                    chunk.append(chunk[-offset])
        out += chunk
    return bytes(out)


def main(arguments):
    if len(arguments) < 2:
        sys.exit(__doc__)
    source, output = arguments[0], arguments[1]
    for path in arguments[2:]:
        with open(os.path.join(source, path), "rb") as file:
            data = file.read()
        stream = compress(data)
        if expand(stream) != data:
            sys.exit(f"{path}: the LZNT1 stream does not expand to the document")
        target = os.path.join(output, path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        packed = struct.pack("<I", len(data)) + stream
        if not os.path.exists(target) or open(target, "rb").read() != packed:
            with open(target, "wb") as file:
                file.write(packed)


if __name__ == "__main__":
    main(sys.argv[1:])
