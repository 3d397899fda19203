#!/usr/bin/env python3
"""Draws the board's site images (site/www/images, icon, afp) from simple
shapes and a small pixel font, and writes them as GIF (and two JPEG
buttons). Standard library only. Run from the repository root:

    python3 tools/draw_site_images.py
"""
import math
import os
import struct
import sys

WWW = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "site", "www")

# --- canvas -----------------------------------------------------------------

COLORS = {
    "clear": (255, 255, 255), "white": (255, 255, 255), "black": (0, 0, 0),
    "grey": (128, 128, 128), "silver": (200, 200, 200), "light": (235, 235, 235),
    "navy": (0, 0, 128), "blue": (40, 90, 200), "sky": (150, 200, 255),
    "red": (210, 30, 30), "dark red": (130, 0, 0), "orange": (240, 140, 20),
    "yellow": (255, 220, 60), "gold": (200, 160, 30), "green": (30, 150, 50),
    "lime": (130, 220, 90), "teal": (0, 128, 128), "purple": (128, 0, 128),
    "pink": (240, 150, 190), "brown": (140, 90, 40), "cream": (255, 245, 200),
}


class Canvas:
    def __init__(self, width, height, background="clear"):
        self.width, self.height = width, height
        self.names = ["clear"]
        self.pixels = [0] * (width * height)
        self.transparent = background == "clear"
        if not self.transparent:
            self.fill_rect(0, 0, width, height, background)

    def index(self, name):
        if name not in self.names:
            self.names.append(name)
        return self.names.index(name)

    def set(self, x, y, color):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = self.index(color)

    def fill_rect(self, x, y, w, h, color):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.set(xx, yy, color)

    def rect(self, x, y, w, h, color):
        for xx in range(x, x + w):
            self.set(xx, y, color)
            self.set(xx, y + h - 1, color)
        for yy in range(y, y + h):
            self.set(x, yy, color)
            self.set(x + w - 1, yy, color)

    def line(self, x0, y0, x1, y1, color):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, color)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, color, outline=None):
        for y in range(int(cy - r - 1), int(cy + r + 2)):
            for x in range(int(cx - r - 1), int(cx + r + 2)):
                d = math.hypot(x - cx, y - cy)
                if d <= r:
                    self.set(x, y, outline if outline and d > r - 1 else color)

    def polygon(self, points, color):
        ys = [p[1] for p in points]
        for y in range(min(ys), max(ys) + 1):
            xs = []
            for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
                if (y0 <= y < y1) or (y1 <= y < y0):
                    xs.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(int(math.ceil(a)), int(math.floor(b)) + 1):
                    self.set(x, y, color)

    def text(self, x, y, string, color, scale=1):
        for ch in string.upper():
            glyph = FONT.get(ch, FONT[" "])
            for row, bits in enumerate(glyph):
                for col, bit in enumerate(bits):
                    if bit == "#":
                        self.fill_rect(x + col * scale, y + row * scale, scale, scale, color)
            x += 6 * scale

    def rgb(self):
        return [COLORS[self.names[i]] for i in self.pixels]


def text_width(string, scale=1):
    return len(string) * 6 * scale - scale


# 5x7 pixel font.
FONT = {
    " ": ["....."] * 7,
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "J": ["..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    "4": ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    "5": ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    "6": [".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "8": [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    "9": [".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."],
    "@": [".###.", "#...#", "#.###", "#.#.#", "#.###", "#....", ".###."],
    "?": [".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."],
    "!": ["..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."],
    ".": [".....", ".....", ".....", ".....", ".....", ".....", "..#.."],
    ":": [".....", "..#..", ".....", ".....", ".....", "..#..", "....."],
    "/": ["....#", "....#", "...#.", "..#..", ".#...", "#....", "#...."],
    "-": [".....", ".....", ".....", "#####", ".....", ".....", "....."],
    "+": [".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."],
    "<": ["...#.", "..#..", ".#...", "#....", ".#...", "..#..", "...#."],
    ">": [".#...", "..#..", "...#.", "....#", "...#.", "..#..", ".#..."],
    "=": [".....", ".....", "#####", ".....", "#####", ".....", "....."],
    "(": ["...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."],
    ")": [".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."],
    "*": [".....", "#.#.#", ".###.", "#####", ".###.", "#.#.#", "....."],
}

# --- GIF --------------------------------------------------------------------


def gif_bytes(canvas):
    palette = [COLORS[name] for name in canvas.names] + [(0, 0, 0)] * (256 - len(canvas.names))
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", canvas.width, canvas.height, 0xF7, 0, 0)
    for r, g, b in palette:
        out += bytes((r, g, b))
    if canvas.transparent:
        out += bytes((0x21, 0xF9, 4, 1, 0, 0, 0, 0))  # index 0 is transparent
    out += b"\x2c" + struct.pack("<HHHHB", 0, 0, canvas.width, canvas.height, 0)
    out.append(8)
    # Every pixel is sent as its own 9-bit code, with a clear code often
    # enough that the decoder never widens its codes: simple and valid.
    bits, nbits, data = 0, 0, bytearray()

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += 9
        while nbits >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    for i, p in enumerate(canvas.pixels):
        if i % 254 == 0:
            emit(256)
        emit(p)
    emit(257)
    if nbits:
        data.append(bits & 0xFF)
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out += b"\x00\x3b"
    return bytes(out)


# --- JPEG (baseline, 4:4:4, flat Huffman codes) -----------------------------

LUMA_Q = [16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55,
          14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62,
          18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
          49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99]


def zigzag():
    order = []
    for s in range(15):
        cells = [(y, s - y) for y in range(8) if 0 <= s - y < 8]
        order += cells if s % 2 else cells[::-1]
    return [y * 8 + x for y, x in order]


ZIGZAG = zigzag()
DC_SYMBOLS = list(range(12))
AC_SYMBOLS = [0x00, 0xF0] + [(run << 4) | size for run in range(16) for size in range(1, 11)]


def flat_codes(symbols, length):
    return {s: (i, length) for i, s in enumerate(symbols)}


def jpeg_bytes(canvas, quality=92):
    scale = 5000 / quality if quality < 50 else 200 - 2 * quality
    q = [min(255, max(1, int((v * scale + 50) / 100))) for v in LUMA_Q]
    dc_codes, ac_codes = flat_codes(DC_SYMBOLS, 4), flat_codes(AC_SYMBOLS, 8)
    out = bytearray(b"\xff\xd8")
    out += b"\xff\xe0" + struct.pack(">H5sBBBHHBB", 16, b"JFIF\0", 1, 1, 0, 1, 1, 0, 0)
    out += b"\xff\xdb" + struct.pack(">HB", 67, 0) + bytes(q[i] for i in ZIGZAG)
    out += b"\xff\xc0" + struct.pack(">HBHHB", 17, 8, canvas.height, canvas.width, 3)
    for component in (1, 2, 3):
        out += bytes((component, 0x11, 0))

    def dht(table_class, symbols, length):
        counts = [0] * 16
        counts[length - 1] = len(symbols)
        body = bytes([table_class]) + bytes(counts) + bytes(symbols)
        return b"\xff\xc4" + struct.pack(">H", len(body) + 2) + body

    out += dht(0x00, DC_SYMBOLS, 4) + dht(0x10, AC_SYMBOLS, 8)
    out += b"\xff\xda" + struct.pack(">HB", 12, 3) + bytes((1, 0, 2, 0, 3, 0)) + bytes((0, 63, 0))

    rgb = canvas.rgb()
    w, h = canvas.width, canvas.height

    def pixel(x, y):
        return rgb[min(y, h - 1) * w + min(x, w - 1)]

    bitbuf, bitcount, data = 0, 0, bytearray()

    def put(code, length):
        nonlocal bitbuf, bitcount
        bitbuf = (bitbuf << length) | code
        bitcount += length
        while bitcount >= 8:
            byte = (bitbuf >> (bitcount - 8)) & 0xFF
            data.append(byte)
            if byte == 0xFF:
                data.append(0)
            bitcount -= 8
        bitbuf &= (1 << bitcount) - 1

    def magnitude(v):
        size = 0 if v == 0 else int(abs(v)).bit_length()
        bits = v if v >= 0 else v + (1 << size) - 1
        return size, bits

    cos = [[math.cos((2 * x + 1) * u * math.pi / 16) for x in range(8)] for u in range(8)]
    previous_dc = [0, 0, 0]
    for by in range(0, h, 8):
        for bx in range(0, w, 8):
            blocks = [[0.0] * 64 for _ in range(3)]
            for y in range(8):
                for x in range(8):
                    r, g, b = pixel(bx + x, by + y)
                    blocks[0][y * 8 + x] = 0.299 * r + 0.587 * g + 0.114 * b - 128
                    blocks[1][y * 8 + x] = -0.1687 * r - 0.3313 * g + 0.5 * b
                    blocks[2][y * 8 + x] = 0.5 * r - 0.4187 * g - 0.0813 * b
            for c in range(3):
                coefficients = [0] * 64
                for v in range(8):
                    for u in range(8):
                        s = sum(blocks[c][y * 8 + x] * cos[u][x] * cos[v][y]
                                for y in range(8) for x in range(8))
                        cu = 1 / math.sqrt(2) if u == 0 else 1
                        cv = 1 / math.sqrt(2) if v == 0 else 1
                        coefficients[v * 8 + u] = int(round(0.25 * cu * cv * s / q[v * 8 + u]))
                zz = [coefficients[i] for i in ZIGZAG]
                size, bits = magnitude(zz[0] - previous_dc[c])
                previous_dc[c] = zz[0]
                put(*dc_codes[size])
                if size:
                    put(bits, size)
                run = 0
                for k in range(1, 64):
                    if zz[k] == 0:
                        run += 1
                        continue
                    while run > 15:
                        put(*ac_codes[0xF0])
                        run -= 16
                    size, bits = magnitude(zz[k])
                    put(*ac_codes[(run << 4) | size])
                    put(bits, size)
                    run = 0
                if run:
                    put(*ac_codes[0x00])
    if bitcount:
        put((1 << (8 - bitcount)) - 1, 8 - bitcount)
    out += data + b"\xff\xd9"
    return bytes(out)


# --- the pictures -----------------------------------------------------------


def folder(c, body, flag=None, lock=False, x=1, y=3):
    c.fill_rect(x, y, 6, 2, body)
    c.fill_rect(x, y + 2, 14, 9, body)
    c.rect(x, y + 2, 14, 9, "brown")
    if flag:
        c.disc(x + 12, y + 1, 2.5, flag)
    if lock:
        c.fill_rect(x + 9, y + 6, 5, 4, "grey")
        c.rect(x + 10, y + 4, 3, 3, "grey")


def envelope(c, x, y, w, h, color="cream"):
    c.fill_rect(x, y, w, h, color)
    c.rect(x, y, w, h, "grey")
    c.line(x, y, x + w // 2, y + h // 2, "grey")
    c.line(x + w - 1, y, x + w // 2, y + h // 2, "grey")


def person(c, cx, color):
    c.disc(cx, 4, 3, "cream", "brown")
    c.polygon([(cx - 5, 14), (cx - 4, 9), (cx + 4, 9), (cx + 5, 14)], color)


def face(c, mouth, eyes="dots", color="yellow"):
    c.disc(7, 7, 6.5, color, "brown")
    if eyes == "glasses":
        c.fill_rect(3, 4, 9, 3, "black")
    elif eyes == "wide":
        c.disc(5, 5, 1.5, "white", "black")
        c.disc(10, 5, 1.5, "white", "black")
    elif eyes == "wink":
        c.set(4, 5, "black"); c.set(5, 5, "black"); c.fill_rect(9, 4, 2, 2, "black")
    elif eyes == "up":
        c.fill_rect(4, 3, 2, 2, "black"); c.fill_rect(9, 3, 2, 2, "black")
    else:
        c.fill_rect(4, 4, 2, 2, "black"); c.fill_rect(9, 4, 2, 2, "black")
    if mouth == "smile":
        for x in range(4, 11):
            c.set(x, 10 - (1 if x in (4, 10) else 0), "black")
    elif mouth == "grin":
        c.fill_rect(4, 9, 7, 2, "white"); c.rect(4, 8, 7, 3, "black")
    elif mouth == "frown":
        for x in range(4, 11):
            c.set(x, 10 + (1 if x in (4, 10) else 0), "black")
    elif mouth == "o":
        c.disc(7, 10, 1.5, "dark red")
    elif mouth == "tongue":
        c.line(4, 9, 10, 9, "black"); c.fill_rect(7, 10, 3, 2, "red")
    elif mouth == "flat":
        c.line(4, 10, 10, 10, "black")
    elif mouth == "wavy":
        for x in range(4, 11):
            c.set(x, 10 + (x % 2), "black")


def button(width, height, label, face_color="silver", text_color="black"):
    c = Canvas(width, height, face_color)
    c.rect(0, 0, width, height, "grey")
    c.line(1, 1, width - 2, 1, "white")
    c.line(1, 1, 1, height - 2, "white")
    c.text((width - text_width(label)) // 2, (height - 7) // 2, label, text_color)
    return c


def icon_shapes():
    shapes = []

    def add(draw):
        c = Canvas(15, 15)
        draw(c)
        shapes.append(c)

    add(lambda c: c.polygon([(1, 7), (8, 1), (8, 5), (13, 5), (13, 9), (8, 9), (8, 13)], "blue"))  # note
    add(lambda c: (c.disc(7, 7, 6, "red", "dark red"), c.text(5, 4, "!", "white")))
    add(lambda c: (c.disc(7, 7, 6, "blue", "navy"), c.text(5, 4, "?", "white")))
    add(lambda c: face(c, "smile"))
    add(lambda c: face(c, "frown"))
    add(lambda c: c.polygon([(7, 0), (9, 5), (14, 5), (10, 8), (12, 14), (7, 10), (2, 14), (4, 8), (0, 5), (5, 5)], "gold"))
    add(lambda c: (c.disc(4, 5, 3.5, "red"), c.disc(10, 5, 3.5, "red"), c.polygon([(1, 6), (13, 6), (7, 13)], "red")))
    add(lambda c: (c.disc(7, 6, 4.5, "yellow", "gold"), c.fill_rect(5, 11, 5, 3, "grey")))  # idea
    add(lambda c: (c.polygon([(7, 1), (13, 7), (9, 7), (9, 13), (5, 13), (5, 7), (1, 7)], "green")))  # up
    add(lambda c: (c.polygon([(7, 13), (13, 7), (9, 7), (9, 1), (5, 1), (5, 7), (1, 7)], "orange")))  # down
    add(lambda c: (c.fill_rect(2, 2, 11, 11, "teal"), c.text(5, 4, "+", "white")))
    add(lambda c: (c.fill_rect(2, 2, 11, 11, "purple"), c.text(5, 4, "-", "white")))
    add(lambda c: face(c, "grin", "glasses"))
    add(lambda c: (c.disc(7, 7, 6, "lime", "green"), c.line(4, 7, 6, 10, "white"), c.line(6, 10, 11, 4, "white")))
    return shapes


def pictures():
    p = {}

    def canvas(name, w, h, background="clear"):
        p[name] = Canvas(w, h, background)
        return p[name]

    # Post icons 1..14.
    for number, c in enumerate(icon_shapes(), start=1):
        p["icon/icon%d.gif" % number] = c

    # Rank icons.
    c = canvas("icon/admin.gif", 15, 15); person(c, 7, "red"); c.set(7, 0, "gold")
    c = canvas("icon/user.gif", 15, 15); person(c, 7, "blue")
    c = canvas("icon/user1.gif", 15, 15); person(c, 7, "green")

    # Topic and forum states.
    folder(canvas("images/open.gif", 16, 16), "yellow")
    folder(canvas("images/closed.gif", 16, 16), "cream")
    folder(canvas("images/closedb.gif", 16, 16), "cream", flag="red")
    folder(canvas("images/hotclosed.gif", 16, 16), "orange")
    folder(canvas("images/hotclosedb.gif", 16, 16), "orange", flag="red")
    folder(canvas("images/lock.gif", 16, 16), "silver", lock=True)
    c = canvas("images/on.gif", 22, 15); folder(c, "yellow", flag="red", x=4, y=2)
    c = canvas("images/off.gif", 22, 15); folder(c, "cream", x=4, y=2)
    c = canvas("images/posticon.gif", 15, 15); c.fill_rect(2, 1, 10, 13, "white"); c.rect(2, 1, 10, 13, "grey")
    for y in (4, 7, 10):
        c.line(4, y, 9, y, "blue")
    c = canvas("images/posticonnew.gif", 15, 15); c.fill_rect(2, 1, 10, 13, "white"); c.rect(2, 1, 10, 13, "red")
    for y in (4, 7, 10):
        c.line(4, y, 9, y, "red")

    # Links and actions.
    c = canvas("images/home.gif", 16, 16)
    c.polygon([(1, 8), (8, 1), (15, 8)], "red"); c.fill_rect(3, 8, 11, 7, "cream"); c.rect(3, 8, 11, 7, "brown")
    c.fill_rect(7, 10, 3, 5, "brown")
    c = canvas("images/find.gif", 16, 16)
    c.disc(6, 6, 4.5, "sky", "navy"); c.line(9, 9, 14, 14, "navy"); c.line(10, 9, 15, 14, "navy")
    envelope(canvas("images/email.gif", 16, 16), 1, 4, 14, 9)
    envelope(canvas("images/mailto.gif", 16, 16), 1, 4, 14, 9, "white")
    c = canvas("images/profile.gif", 16, 16); c.fill_rect(1, 2, 14, 12, "white"); c.rect(1, 2, 14, 12, "navy")
    c.disc(5, 7, 2, "blue"); c.line(9, 5, 13, 5, "grey"); c.line(9, 8, 13, 8, "grey"); c.line(3, 11, 13, 11, "grey")
    c = canvas("images/pm.gif", 16, 16); envelope(c, 1, 4, 14, 9, "sky")
    c = canvas("images/pm_on_b.gif", 20, 14); envelope(c, 1, 2, 14, 10, "yellow"); c.disc(16, 3, 2.5, "red")
    c = canvas("images/pm_off_b.gif", 20, 14); envelope(c, 1, 2, 14, 10, "silver")
    c = canvas("images/edit.gif", 16, 16)
    c.polygon([(2, 14), (3, 10), (11, 2), (14, 5), (6, 13)], "orange"); c.line(2, 14, 4, 13, "black")
    c = canvas("images/quote.gif", 16, 16); c.fill_rect(1, 3, 14, 10, "light"); c.rect(1, 3, 14, 10, "grey")
    c.fill_rect(4, 5, 2, 3, "navy"); c.fill_rect(9, 5, 2, 3, "navy")
    c = canvas("images/ip.gif", 16, 16); c.disc(7, 7, 6, "sky", "navy"); c.text(2, 4, "IP", "navy")
    c = canvas("images/favor.gif", 16, 16)
    c.polygon([(8, 1), (10, 6), (15, 6), (11, 9), (13, 15), (8, 11), (3, 15), (5, 9), (1, 6), (6, 6)], "yellow")
    c = canvas("images/copy.gif", 16, 16); c.fill_rect(1, 1, 9, 11, "white"); c.rect(1, 1, 9, 11, "grey")
    c.fill_rect(6, 5, 9, 10, "white"); c.rect(6, 5, 9, 10, "navy")
    c = canvas("images/announce.gif", 16, 16)
    c.polygon([(2, 6), (9, 2), (9, 14), (2, 10)], "red"); c.fill_rect(10, 7, 4, 2, "orange")
    c = canvas("images/newwin.gif", 16, 16); c.fill_rect(1, 2, 14, 12, "white"); c.rect(1, 2, 14, 12, "navy")
    c.fill_rect(1, 2, 14, 3, "navy")
    c = canvas("images/multipage.gif", 12, 14); c.fill_rect(0, 0, 8, 10, "white"); c.rect(0, 0, 8, 10, "grey")
    c.fill_rect(3, 3, 8, 10, "white"); c.rect(3, 3, 8, 10, "navy")
    c = canvas("images/oicq.gif", 16, 16); c.disc(8, 8, 6, "black"); c.disc(8, 9, 4, "white"); c.fill_rect(5, 13, 7, 2, "orange")
    c = canvas("images/online.gif", 16, 16); c.disc(8, 8, 6, "lime", "green")
    c = canvas("images/icq.gif", 18, 18)
    for petal in range(7):
        angle = 2 * math.pi * petal / 7
        c.disc(9 + 5 * math.cos(angle), 9 + 5 * math.sin(angle), 3, "red" if petal == 0 else "lime", "green")
    c.disc(9, 9, 2.5, "yellow")
    c = canvas("images/dot.gif", 8, 8, "blue")
    c = canvas("images/tline.gif", 16, 16); c.line(4, 0, 4, 15, "grey"); c.line(4, 8, 15, 8, "grey")
    c = canvas("images/tline3.gif", 16, 16); c.line(4, 0, 4, 8, "grey"); c.line(4, 8, 15, 8, "grey")
    c = canvas("images/vuvedirir.gif", 32, 32)
    c.disc(16, 16, 14, "white", "navy"); c.disc(16, 16, 6, "sky", "navy"); c.disc(16, 16, 2.5, "black")
    c = canvas("images/vuvedirirminiicon.gif", 16, 16)
    c.disc(8, 8, 7, "white", "navy"); c.disc(8, 8, 3, "sky", "navy"); c.disc(8, 8, 1, "black")
    c = canvas("images/download.gif", 16, 16)
    c.polygon([(8, 14), (14, 8), (10, 8), (10, 1), (6, 1), (6, 8), (2, 8)], "green")

    # Smileys.
    face(canvas("images/smile.gif", 15, 15), "smile")
    face(canvas("images/frown.gif", 15, 15), "frown")
    face(canvas("images/redface.gif", 15, 15), "o", color="pink")
    face(canvas("images/biggrin.gif", 15, 15), "grin")
    face(canvas("images/wink.gif", 15, 15), "smile", "wink")
    face(canvas("images/tongue.gif", 15, 15), "tongue")
    face(canvas("images/cool.gif", 15, 15), "smile", "glasses")
    face(canvas("images/rolleyes.gif", 15, 15), "flat", "up")
    face(canvas("images/mad.gif", 15, 15), "frown", color="orange")
    face(canvas("images/eek.gif", 15, 15), "o", "wide")
    face(canvas("images/confused.gif", 15, 15), "wavy")

    # Heads.
    c = canvas("images/title.gif", 276, 75, "navy")
    c.fill_rect(0, 55, 276, 20, "blue")
    c.text((276 - text_width("TARNBELL", 4)) // 2, 12, "TARNBELL", "yellow", 4)
    c.text((276 - text_width("DISCUSSION BOARD")) // 2, 62, "DISCUSSION BOARD", "white")
    c = canvas("images/searchhead.gif", 213, 58, "navy")
    c.disc(30, 27, 14, "sky", "white"); c.line(40, 37, 52, 50, "white"); c.line(41, 37, 53, 50, "white")
    c.text(64, 22, "SEARCH", "yellow", 2)

    # Editor buttons.
    for name, label in [("bold", "B"), ("italicize", "I"), ("underline", "U"), ("center", "="),
                        ("url", "URL"), ("email", "@"), ("image", "IMG"), ("quote", "Q"),
                        ("code", "<>"), ("list", "*"), ("smilie", ":)"), ("help", "?")]:
        p["afp/%s.gif" % name] = button(23, 22, label)
    return p


def main():
    for name, canvas in pictures().items():
        path = os.path.join(WWW, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(gif_bytes(canvas))
    for name, label in [("images/postnew.jpg", "NEW TOPIC"), ("images/reply5.jpg", "REPLY")]:
        with open(os.path.join(WWW, name), "wb") as f:
            f.write(jpeg_bytes(button(96, 24, label, "navy", "white")))
    return 0


if __name__ == "__main__":
    sys.exit(main())
