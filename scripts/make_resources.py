#!/usr/bin/env python3
"""Draws the tray and window icons and synthesises the three default alert sounds into resources/.

Everything is generated from code here (no samples or images from elsewhere) and the output is deterministic,
so running it again reproduces the committed files byte for byte.
"""
import math
import os
import struct
import sys
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources")

TILES = {
    "icon.ico": (0xFF, 0xFF, 0xFF),
    "icon2.ico": (0x80, 0xFF, 0x80),
    "icon3.ico": (0xFF, 0x80, 0x80),
    "icon4.ico": (0x65, 0xAC, 0xFF),
    "icon5.ico": (0xFF, 0xC9, 0x0E),
}

TRANSPARENT, TILE, MARK, EDGE = 0, 1, 2, 3


def inside_rounded_square(x, y, size, radius):
    """Whether the pixel centre lies on a square tile with curved corners."""
    cx, cy = x + 0.5, y + 0.5
    lo, hi = radius, size - radius
    dx = lo - cx if cx < lo else (cx - hi if cx > hi else 0.0)
    dy = lo - cy if cy < lo else (cy - hi if cy > hi else 0.0)
    return dx * dx + dy * dy <= radius * radius


def draw(size):
    """The tile with the mark: a broadcast dot with two pairs of arcs, as palette indices, top row first."""
    radius = size * 0.22
    c = size / 2.0
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            if not inside_rounded_square(x, y, size, radius):
                row.append(TRANSPARENT)
                continue
            # outline of the tile, one pixel wide, so that a white tile still reads on a white task bar
            ring = not all(inside_rounded_square(x + dx, y + dy, size, radius)
                           for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)))
            px, py = x + 0.5 - c, y + 0.5 - c * 1.05
            r = math.hypot(px, py)
            angle = abs(math.degrees(math.atan2(py, abs(px))))
            dot = r <= size * 0.10
            arcs = angle <= 50 and (size * 0.20 <= r <= size * 0.27 or size * 0.34 <= r <= size * 0.41)
            mast = abs(px) <= size * 0.045 and size * 0.05 <= py <= size * 0.36
            if dot or arcs or mast:
                row.append(MARK)
            elif ring:
                row.append(EDGE)
            else:
                row.append(TILE)
        rows.append(row)
    return rows


def icon_image(size, tile_rgb):
    """One 8-bit (256-colour) icon image: BITMAPINFOHEADER, palette, XOR bits, AND mask."""
    pixels = draw(size)
    palette = [(0, 0, 0)] * 256
    palette[TILE] = tile_rgb
    palette[MARK] = (0, 0, 0)
    palette[EDGE] = (0x60, 0x60, 0x60)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    xor_stride = (size + 3) & ~3
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # bottom-up
        xor += bytes(row) + bytes(xor_stride - size)
        bits = bytearray(and_stride)
        for x, p in enumerate(row):
            if p == TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pal + bytes(xor) + bytes(mask)


def write_ico(path, images):
    """images: list of (size, bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


# ---- sounds ----

RATE = 44100


def note(freq, start, length, volume, decay):
    """A soft bell: a sine with two quiet harmonics, a 6 ms attack and an exponential decay."""
    return (freq, start, length, volume, decay)


def render(notes, seconds):
    total = int(RATE * seconds)
    buf = [0.0] * total
    for freq, start, length, volume, decay in notes:
        s0 = int(start * RATE)
        n = min(int(length * RATE), total - s0)
        attack = int(0.006 * RATE)
        for i in range(n):
            t = i / RATE
            env = math.exp(-t * decay) * (min(1.0, i / attack) if attack else 1.0)
            # fade the last 10 ms so that no note ends in a click
            tail = n - i
            if tail < 441:
                env *= tail / 441.0
            v = (math.sin(2 * math.pi * freq * t)
                 + 0.30 * math.sin(2 * math.pi * 2 * freq * t)
                 + 0.12 * math.sin(2 * math.pi * 3 * freq * t))
            buf[s0 + i] += volume * env * v / 1.42
    return buf


def write_wav(path, samples, pan=0.0):
    frames = bytearray()
    left_gain, right_gain = 1.0 - max(0.0, pan), 1.0 + min(0.0, pan)
    for v in samples:
        l = max(-32767, min(32767, int(round(v * left_gain * 32767))))
        r = max(-32767, min(32767, int(round(v * right_gain * 32767))))
        frames += struct.pack("<hh", l, r)
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


SOUNDS = {
    # two notes rising a fourth: the everyday "someone you follow is live"
    "Alert.wav": (render([note(659.26, 0.00, 0.45, 0.55, 6.0), note(880.00, 0.16, 0.60, 0.55, 5.0)], 0.80), 0.0),
    # a quick major arpeggio: a keyword matched
    "Alert2.wav": (render([note(1046.50, 0.00, 0.30, 0.45, 8.0), note(1318.51, 0.10, 0.30, 0.45, 8.0),
                           note(1567.98, 0.20, 0.50, 0.45, 6.0)], 0.75), 0.0),
    # a low bell struck twice: a tag matched
    "Alert3.wav": (render([note(523.25, 0.00, 0.35, 0.60, 7.0), note(523.25, 0.28, 0.55, 0.60, 5.0),
                           note(784.0, 0.28, 0.55, 0.20, 6.0)], 0.85), 0.0),
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, rgb in TILES.items():
        write_ico(os.path.join(OUT, name), [(48, icon_image(48, rgb))])
    write_ico(os.path.join(OUT, "app.ico"), [(s, icon_image(s, TILES["icon.ico"])) for s in (16, 32, 48)])
    for name, (samples, pan) in SOUNDS.items():
        write_wav(os.path.join(OUT, name), samples, pan)
    return 0


if __name__ == "__main__":
    sys.exit(main())
