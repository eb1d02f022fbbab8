#!/usr/bin/env python3
"""Writes the stand-in firmware images this folder holds.

The device maker's images are not part of this repository. These files only
have the sizes the device expects, a readable label at the start and
repeatable pseudo-random bytes after it, so that a write which loses, repeats
or shifts a chunk shows up when the flash is compared with the image.
Run it from anywhere; it rewrites the five files next to it.
"""

import hashlib
import pathlib

IMAGES = {
    "efl_310.bin": 0x4C000,
    "efl_520.bin": 0x9B000,
    "cpu_310_41.bin": 0xE000,
    "cpu_310_42.bin": 0xE000,
    "cpu_520.bin": 0xCC00,
}


def stand_in(name: str, size: int) -> bytes:
    label = f"DRAVO STAND-IN IMAGE {name} - NOT DEVICE FIRMWARE\0".encode()
    out = bytearray(label)
    counter = 0
    while len(out) < size:
        out += hashlib.sha256(f"{name}:{counter}".encode()).digest()
        counter += 1
    return bytes(out[:size])


def main() -> None:
    folder = pathlib.Path(__file__).resolve().parent
    for name, size in IMAGES.items():
        (folder / name).write_bytes(stand_in(name, size))


if __name__ == "__main__":
    main()
