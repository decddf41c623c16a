#!/usr/bin/env python3
"""Stores the icon and page images as small as they go without changing a
pixel: every image of app.ico becomes a PNG (Windows reads PNG icon images
since Vista) and every PNG is recompressed with zopflipng. Each file is
written back only when ImageMagick decodes it to the very same pixels.

  resources/art/store-small.py            resources/app.ico and images/*.png
  resources/art/store-small.py FILE...    those files

Needs ImageMagick and zopfli (installed by scripts/bootstrap).
"""

import pathlib
import struct
import subprocess
import sys
import tempfile

RESOURCES = pathlib.Path(__file__).resolve().parent.parent
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def pixels(path, index=None):
    """RGBA samples at 16 bits, so 8- and 16-bit images compare exactly."""
    source = f"{path}[{index}]" if index is not None else str(path)
    return subprocess.run(["convert", source, "-depth", "16", "rgba:-"], check=True, capture_output=True).stdout


def recompress(png, folder):
    out = folder / f"small-{png.name}"
    subprocess.run(["zopflipng", "-y", "-m", str(png), str(out)], check=True, capture_output=True)
    return out if out.stat().st_size < png.stat().st_size else png


def store_png(path):
    with tempfile.TemporaryDirectory() as folder:
        small = recompress(path, pathlib.Path(folder))
        if small == path:
            return
        if pixels(small) != pixels(path):
            sys.exit(f"{path}: recompressed image decodes to other pixels")
        before = path.stat().st_size
        path.write_bytes(small.read_bytes())
        print(f"{path.name}: {before} -> {path.stat().st_size} bytes")


def store_icon(path):
    data = path.read_bytes()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    entries = [struct.unpack_from("<BBBBHHII", data, 6 + 16 * i) for i in range(count)]
    images = []
    with tempfile.TemporaryDirectory() as name:
        folder = pathlib.Path(name)
        for index, (width, height, colours, _, planes, bits, size, offset) in enumerate(entries):
            png = folder / f"image{index}.png"
            blob = data[offset:offset + size]
            if blob.startswith(PNG_SIGNATURE):
                png.write_bytes(blob)
            else:
                subprocess.run(["convert", f"{path}[{index}]", f"png32:{png}"], check=True)
            small = recompress(png, folder)
            if pixels(small) != pixels(path, index):
                sys.exit(f"{path} image {index}: PNG decodes to other pixels")
            images.append(((width, height, colours, 0, planes, bits), small.read_bytes()))
    header = struct.pack("<HHH", 0, kind, count)
    offset = len(header) + 16 * count
    directory, bodies = b"", b""
    for (width, height, colours, reserved, planes, bits), body in images:
        directory += struct.pack("<BBBBHHII", width, height, colours, reserved, planes, bits, len(body), offset)
        offset += len(body)
        bodies += body
    before = len(data)
    path.write_bytes(header + directory + bodies)
    for index in range(count):  # the written file, read back, still shows the same pixels
        with tempfile.TemporaryDirectory() as name:
            original = pathlib.Path(name) / "original.ico"
            original.write_bytes(data)
            if pixels(path, index) != pixels(original, index):
                path.write_bytes(data)
                sys.exit(f"{path} image {index}: the written icon decodes to other pixels")
    print(f"{path.name}: {before} -> {path.stat().st_size} bytes")


def main():
    files = [pathlib.Path(a) for a in sys.argv[1:]] or [RESOURCES / "app.ico", *sorted((RESOURCES / "images").glob("*.png"))]
    for path in files:
        store_icon(path) if path.suffix == ".ico" else store_png(path)


if __name__ == "__main__":
    main()
