#!/usr/bin/env python3
"""Writes the topic pages at build time: the host's layouts and pictures, one "Topic%.6d.csb" per layout code, and
the demo lectures whose Topic.plist holds a topic of every one of those codes.

    scripts/make_topic_pages.py --out BUILD/bin [--packages DIR]

Layouts go to OUT/Layouts/, the host's pictures to OUT/Images/Topic/, the demo packages to DIR (default
OUT/demo-topics/), one folder per identify code with Topic.plist, TopicImg/, TopicAni/ and mp3/. Only the Python
standard library is used: pictures are drawn by the small rasteriser below.
"""

import argparse
import importlib.util
import json
import math
import os
import plistlib
import re
import shutil
import struct
import sys
import zlib


def load_pack_tool():
    """make-pack.py, whose layout and star helpers these pages share (its file name is not an importable one)."""
    sys.dont_write_bytecode = True  # no caches beside the scripts
    spec = importlib.util.spec_from_file_location("make_pack", os.path.join(os.path.dirname(__file__), "make-pack.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


pack = load_pack_tool()
node, layout, star_points = pack.node, pack.layout, pack.star_points

import pack_games as games  # noqa: E402 (after the bytecode switch above)
import topic_pages_special as special  # noqa: E402

WIDTH, HEIGHT = 1280, 720
CONTENT_CENTRE, CONTENT_SIZE = (630, 330), (1000, 460)

# ---------------------------------------------------------------------------------------------------------------
# Pictures


def hex_colour(text, alpha=255):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


class Canvas:
    """RGBA pixels, origin top left; shapes are filled with 4x4 supersampled edges."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = bytearray(w * h * 4)

    def blend(self, x, y, colour, cover):
        if cover <= 0 or x < 0 or y < 0 or x >= self.w or y >= self.h:
            return
        i = (y * self.w + x) * 4
        a = colour[3] / 255.0 * cover
        da = self.px[i + 3] / 255.0
        out = a + da * (1 - a)
        if out <= 0:
            return
        for c in range(3):
            self.px[i + c] = int((colour[c] * a + self.px[i + c] * da * (1 - a)) / out + 0.5)
        self.px[i + 3] = int(out * 255 + 0.5)

    def shape(self, inside, box, colour):
        """Fills the points where inside(x, y) holds within box (x0, y0, x1, y1); edge pixels are supersampled."""
        x0, y0, x1, y1 = (max(0, int(box[0])), max(0, int(box[1])), min(self.w, int(math.ceil(box[2]))),
                          min(self.h, int(math.ceil(box[3]))))
        samples = [(i + 0.5) / 4 for i in range(4)]
        above = [inside(x, y0) for x in range(x0, x1 + 1)]
        for y in range(y0, y1):
            below = [inside(x, y + 1) for x in range(x0, x1 + 1)]
            for i, x in enumerate(range(x0, x1)):
                corners = (above[i], above[i + 1], below[i], below[i + 1])
                if all(corners):
                    self.blend(x, y, colour, 1.0)
                elif any(corners) or inside(x + 0.5, y + 0.5):
                    hits = sum(1 for sy in samples for sx in samples if inside(x + sx, y + sy))
                    self.blend(x, y, colour, hits / 16.0)
            above = below

    def rounded(self, x0, y0, x1, y1, r, colour):
        def inside(x, y):
            if x < x0 or x > x1 or y < y0 or y > y1:
                return False
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        self.shape(inside, (x0, y0, x1 + 1, y1 + 1), colour)

    def circle(self, cx, cy, r, colour):
        self.shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, (cx - r, cy - r, cx + r + 1, cy + r + 1),
                   colour)

    def polygon(self, points, colour):
        def inside(x, y):
            result = False
            j = len(points) - 1
            for i in range(len(points)):
                (xi, yi), (xj, yj) = points[i], points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.shape(inside, (min(xs), min(ys), max(xs) + 1, max(ys) + 1), colour)

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], colour)
        self.circle(x0, y0, width / 2, colour)
        self.circle(x1, y1, width / 2, colour)

    def glyph(self, text, cx, cy, height, colour):
        """Digits and a few signs from a 5x7 grid, centred at (cx, cy)."""
        cell = height / 7.0
        total = len(text) * 6 * cell - cell
        left = cx - total / 2
        for n, ch in enumerate(text):
            rows = FONT.get(ch)
            if not rows:
                continue
            for r, row in enumerate(rows):
                for c, bit in enumerate(row):
                    if bit == "#":
                        x = left + (n * 6 + c) * cell
                        y = cy - height / 2 + r * cell
                        self.rounded(x, y, x + cell * 1.02, y + cell * 1.02, cell * 0.12, colour)

    def crop(self, x0, y0, w, h):
        part = Canvas(w, h)
        for y in range(h):
            start = ((y0 + y) * self.w + x0) * 4
            part.px[y * w * 4:(y + 1) * w * 4] = self.px[start:start + w * 4]
        return part

    def save(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        raw = b"".join(b"\x00" + bytes(self.px[y * self.w * 4:(y + 1) * self.w * 4]) for y in range(self.h))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)) +
                    chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


FONT = {
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
    "+": [".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."],
    "-": [".....", ".....", ".....", "#####", ".....", ".....", "....."],
    "=": [".....", ".....", "#####", ".....", "#####", ".....", "....."],
    "?": [".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."],
    "*": [".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "....."],
    "/": [".....", "..#..", ".....", "#####", ".....", "..#..", "....."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    "b": ["#....", "#....", "####.", "#...#", "#...#", "#...#", "####."],
    "p": [".....", ".....", "####.", "#...#", "####.", "#....", "#...."],
    "m": [".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"],
}

PALETTE = ["#ef6a5a", "#f5a623", "#43b85c", "#3aa3e6", "#9b6ad6", "#26a69a", "#e5533d", "#5c6bc0", "#8d6e63",
           "#ec407a", "#7cb342", "#ffa000"]
DARK, WHITE = "#33414e", "#ffffff"


def shape_picture(path, k, size=140):
    """Picture k: a coloured tile with a shape and its number."""
    c = Canvas(size, size)
    colour = PALETTE[(k - 1) % len(PALETTE)]
    c.rounded(4, 8, size - 5, size - 1, 22, hex_colour("#000000", 50))
    c.rounded(4, 4, size - 5, size - 7, 22, hex_colour(WHITE))
    c.rounded(8, 8, size - 9, size - 11, 18, hex_colour(colour, 60))
    m = size / 2
    kind = (k - 1) % 4
    if kind == 0:
        c.circle(m, m - 2, size * 0.3, hex_colour(colour))
    elif kind == 1:
        c.rounded(m - size * 0.28, m - size * 0.3, m + size * 0.28, m + size * 0.26, 10, hex_colour(colour))
    elif kind == 2:
        c.polygon([(m, m - size * 0.33), (m + size * 0.32, m + size * 0.26), (m - size * 0.32, m + size * 0.26)],
                  hex_colour(colour))
    else:
        c.polygon(star_points(m, m, size * 0.34, size * 0.15), hex_colour(colour))
    c.glyph(str(k), m, m - 2, size * 0.24, hex_colour(WHITE))
    c.save(path)


def tick_picture(path, size=120, colour="#43b85c"):
    c = Canvas(size, size)
    c.circle(size / 2, size / 2, size / 2 - 3, hex_colour(colour))
    c.line(size * 0.28, size * 0.52, size * 0.44, size * 0.68, size * 0.1, hex_colour(WHITE))
    c.line(size * 0.44, size * 0.68, size * 0.74, size * 0.34, size * 0.1, hex_colour(WHITE))
    c.save(path)


def answer_picture(path, k, size=140):
    """The answer shown over picture k: a ring with a tick and the number."""
    c = Canvas(size, size)
    c.circle(size / 2, size / 2, size / 2 - 3, hex_colour("#43b85c", 210))
    c.circle(size / 2, size / 2, size / 2 - 14, hex_colour(WHITE, 235))
    c.glyph(str(k), size / 2, size * 0.42, size * 0.3, hex_colour("#2e8b45"))
    c.line(size * 0.36, size * 0.72, size * 0.46, size * 0.8, size * 0.06, hex_colour("#2e8b45"))
    c.line(size * 0.46, size * 0.8, size * 0.64, size * 0.62, size * 0.06, hex_colour("#2e8b45"))
    c.save(path)


def scene_picture(path, k, w=240, h=160, numbered=True):
    """A content picture: a little landscape with k things in it, numbered in its corner or not."""
    c = Canvas(w, h)
    c.rounded(0, 0, w - 1, h - 1, 20, hex_colour("#bfe3f7"))
    c.rounded(0, h * 0.62, w - 1, h - 1, 20, hex_colour("#8bc34a"))
    c.circle(w * 0.84, h * 0.2, h * 0.1, hex_colour("#ffca28"))
    for i in range(k):
        x = w * (i + 1) / (k + 1)
        c.polygon([(x, h * 0.3), (x + 22, h * 0.66), (x - 22, h * 0.66)], hex_colour(PALETTE[(i + k) % 12]))
    if numbered:
        c.glyph(str(k), w * 0.12, h * 0.18, h * 0.16, hex_colour(DARK))
    c.save(path)


def char_picture(path, k, size=150):
    """A character card: a writing grid with strokes."""
    c = Canvas(size, size)
    c.rounded(3, 3, size - 4, size - 4, 12, hex_colour("#fff8e1"))
    c.rounded(3, 3, size - 4, size - 4, 12, hex_colour("#e5533d", 40))
    c.rounded(10, 10, size - 11, size - 11, 8, hex_colour("#fff8e1"))
    for t in (size / 2,):
        c.line(14, t, size - 14, t, 2, hex_colour("#e5533d", 90))
        c.line(t, 14, t, size - 14, 2, hex_colour("#e5533d", 90))
    ink = hex_colour(DARK)
    strokes = [[(0.3, 0.3, 0.7, 0.3), (0.5, 0.2, 0.5, 0.8), (0.3, 0.8, 0.7, 0.8)],
               [(0.25, 0.5, 0.75, 0.5), (0.5, 0.25, 0.3, 0.8), (0.5, 0.5, 0.75, 0.8)],
               [(0.3, 0.25, 0.3, 0.75), (0.3, 0.25, 0.7, 0.25), (0.7, 0.25, 0.7, 0.75), (0.3, 0.75, 0.7, 0.75)]]
    for x0, y0, x1, y1 in strokes[(k - 1) % 3]:
        c.line(size * x0, size * y0, size * x1, size * y1, size * 0.07, ink)
    c.save(path)


def listen_picture(path, size=120):
    """A speaker with its sound waves."""
    c = Canvas(size, size)
    c.circle(size / 2, size / 2, size / 2 - 3, hex_colour("#3aa3e6"))
    ink = hex_colour(WHITE)
    c.polygon([(34, 48), (48, 48), (64, 32), (64, 88), (48, 72), (34, 72)], ink)
    for r in (14, 26):
        c.line(70 + r * 0.5, 60 - r, 70 + r, 60, 5, ink)
        c.line(70 + r, 60, 70 + r * 0.5, 60 + r, 5, ink)
    c.save(path)


def frame_picture(path, k, n, frames, size=140):
    """Frame n of package animation k: a star that turns and grows."""
    c = Canvas(size, size)
    grow = 0.55 + 0.45 * n / frames
    c.polygon(star_points(size / 2, size / 2, size * 0.45 * grow, size * 0.2 * grow, 5,
                                -90 + math.degrees(n * 0.3)),
              hex_colour(PALETTE[(k + 2) % 12]))
    c.circle(size / 2, size / 2, size * 0.1 * grow, hex_colour(WHITE))
    c.save(path)


def host_pictures(images):
    def round_button(name, colour, draw):
        c = Canvas(72, 72)
        c.circle(36, 39, 32, hex_colour("#000000", 45))
        c.circle(36, 35, 32, hex_colour(colour))
        c.circle(36, 35, 27, hex_colour(WHITE, 40))
        draw(c)
        c.save(os.path.join(images, "Topic", name))

    white = hex_colour(WHITE)
    buttons = {
        "FuncPrev.png": ("#3aa3e6", lambda c: c.polygon([(22, 35), (44, 20), (44, 50)], white)),
        "FuncNext.png": ("#3aa3e6", lambda c: c.polygon([(50, 35), (28, 20), (28, 50)], white)),
        "FuncReset.png": ("#f5a623", lambda c: (c.line(24, 24, 48, 48, 7, white), c.line(48, 24, 24, 48, 7, white))),
        "FuncAnswer.png": ("#43b85c", lambda c: (c.line(22, 36, 32, 46, 7, white), c.line(32, 46, 50, 24, 7, white))),
        "FuncReload.png": ("#9b6ad6", lambda c: (c.circle(36, 35, 16, white), c.circle(36, 35, 10, hex_colour("#9b6ad6")),
                                                 c.polygon([(36, 14), (48, 20), (36, 27)], white))),
        "FuncPage.png": ("#26a69a", lambda c: (c.rounded(24, 18, 48, 52, 4, white),
                                               c.line(30, 28, 42, 28, 3, hex_colour("#26a69a")),
                                               c.line(30, 36, 42, 36, 3, hex_colour("#26a69a")))),
    }

    def speaker(c, waves):
        c.polygon([(18, 29), (27, 29), (38, 19), (38, 51), (27, 41), (18, 41)], white)
        for w in range(waves):
            r = 10 + 8 * w
            for a in range(-40, 41, 8):
                t = math.radians(a)
                c.circle(38 + r * math.cos(t), 35 + r * math.sin(t), 2.2, white)

    buttons["VoiceTopic.png"] = ("#ef6a5a", lambda c: speaker(c, 1))
    buttons["VoiceContent.png"] = ("#5c6bc0", lambda c: speaker(c, 2))
    for name, (colour, draw) in buttons.items():
        round_button(name, colour, draw)

    bar = Canvas(72, 72)
    bar.rounded(2, 4, 69, 69, 24, hex_colour("#000000", 40))
    bar.rounded(2, 2, 69, 66, 24, hex_colour("#ffffff", 230))
    bar.rounded(6, 6, 65, 62, 20, hex_colour("#3aa3e6", 50))
    bar.save(os.path.join(images, "Topic", "SubNavBg.png"))
    stem = Canvas(96, 72)
    stem.rounded(2, 2, 93, 69, 28, hex_colour("#ffffff", 215))
    stem.save(os.path.join(images, "Topic", "StemBg.png"))
    frame = Canvas(140, 140)
    frame.rounded(4, 4, 135, 135, 30, hex_colour("#ffca28", 230))
    frame.rounded(14, 14, 125, 125, 22, hex_colour("#fff8e1"))
    frame.polygon(star_points(70, 70, 40, 18), hex_colour("#ffca28"))
    frame.save(os.path.join(images, "Topic", "ResultFrame.png"))
    for name, fill, edge in (("SubNavTab.png", "#3aa3e6", "#1f78b4"), ("SubNavTabOn.png", "#1f5f94", "#143f63")):
        nav = Canvas(74, 56)
        nav.rounded(2, 4, 71, 55, 16, hex_colour(edge))
        nav.rounded(2, 2, 71, 51, 16, hex_colour(fill))
        nav.save(os.path.join(images, "Topic", name))
    page = Canvas(420, 260)
    page.rounded(0, 0, 419, 259, 26, hex_colour("#fff8e1"))
    page.rounded(0, 0, 419, 259, 26, hex_colour("#26a69a", 50))
    page.rounded(12, 12, 407, 247, 20, hex_colour("#fff8e1"))
    page.polygon([(250, 90), (330, 130), (250, 170)], hex_colour("#26a69a"))
    page.rounded(90, 118, 250, 142, 10, hex_colour("#26a69a"))
    page.save(os.path.join(images, "Topic", "NextPage.png"))
    special.host_pictures(kit(), images)


LINE_COLOURS = ("#994eff", "#2bb628", "#dc4642")
# Change of (column, row) by direction button, rows counted from the top.
DIR_DELTAS = [(-1, 0), (1, 0), (0, -1), (0, 1), (-1, -1), (1, -1), (-1, 1), (1, 1)]


def frame_pictures(images):
    """The line pages' frames and dots (0 while joining, 1 right, 2 wrong), the direction pages' grid cell, arrows
    and route segments."""
    for k, colour in enumerate(LINE_COLOURS):
        frame = Canvas(60, 60)
        frame.rounded(1, 1, 58, 58, 16, hex_colour(colour))
        frame.rounded(7, 7, 52, 52, 11, hex_colour(colour, 0))
        inner = Canvas(60, 60)
        inner.rounded(7, 7, 52, 52, 11, hex_colour("#ffffff"))
        for i in range(0, len(frame.px), 4):
            if inner.px[i + 3] == 255:
                frame.px[i:i + 4] = b"\x00\x00\x00\x00"
        frame.save(os.path.join(images, "Topic", "Image_Line_Frame%d.png" % k))
        point = Canvas(22, 22)
        point.circle(11, 11, 10, hex_colour(WHITE))
        point.circle(11, 11, 7, hex_colour(colour))
        point.save(os.path.join(images, "Topic", "Image_Line_Point%d.png" % k))
    cell = Canvas(130, 130)
    cell.rounded(2, 2, 127, 127, 18, hex_colour("#8d6e63", 90))
    cell.rounded(8, 8, 121, 121, 14, hex_colour("#fff8e1"))
    cell.save(os.path.join(images, "Topic", "DirCell.png"))
    for d, (dx, dy) in enumerate(DIR_DELTAS):
        arrow = Canvas(52, 52)
        arrow.circle(26, 26, 25, hex_colour("#3aa3e6"))
        length = math.hypot(dx, dy)
        ux, uy = dx / length, dy / length
        tip = (26 + ux * 16, 26 + uy * 16)
        arrow.line(26 - ux * 14, 26 - uy * 14, tip[0] - ux * 6, tip[1] - uy * 6, 6, hex_colour(WHITE))
        arrow.polygon([tip, (tip[0] - ux * 12 - uy * 9, tip[1] - uy * 12 + ux * 9),
                       (tip[0] - ux * 12 + uy * 9, tip[1] - uy * 12 - ux * 9)], hex_colour(WHITE))
        arrow.save(os.path.join(images, "Topic", "DirArrow%d.png" % (d + 1)))
    for name, (w, h, x0, y0, x1, y1) in {"h": (150, 24, 0, 12, 150, 12), "v": (24, 150, 12, 0, 12, 150),
                                         "d1": (150, 150, 0, 0, 150, 150), "d2": (150, 150, 150, 0, 0, 150)}.items():
        segment = Canvas(w, h)
        segment.line(x0, y0, x1, y1, 10, hex_colour("#43b85c", 220))
        segment.save(os.path.join(images, "Topic", "DirRoute_%s.png" % name))


# ---------------------------------------------------------------------------------------------------------------
# Layouts

def func_button(number, picture, title, y):
    return node("Button", "Btn_Func%d" % number, pos=[64, y], normal="Topic/%s" % picture, visible=False, children=[
        node("Text", "Text_Func%d" % number, pos=[36, -6], text=title, fontSize=15, textColor="#33414eff")])


def topic_layer():
    titles = [("FuncPrev.png", "Back"), ("FuncNext.png", "Next"), ("FuncReset.png", "Reset"),
              ("FuncAnswer.png", "Answer"), ("FuncReload.png", "Again"), ("FuncPage.png", "Page")]
    return layout(node("Node", size=[WIDTH, HEIGHT], children=[
        node("Panel", "Panel_TopicBtn", size=[WIDTH, HEIGHT], children=[
            node("Node", "SubNavPos%d" % kind, pos=[540, 668]) for kind in (1, 2, 3)]),
        node("ImageView", "Img_StemBg", pos=[630, 596], size=[940, 64], image="Topic/StemBg.png", scale9=True,
             capInsets=[30, 30, 30, 30]),
        node("Text", "Text_Content", pos=[630, 596], area=[780, 56], fontSize=28, textColor="#33414eff",
             hAlign="center", vAlign="center"),
        node("Button", "Btn_TopicVoice", pos=[196, 596], normal="Topic/VoiceTopic.png"),
        node("Button", "Btn_ContVoice", pos=[1064, 596], normal="Topic/VoiceContent.png", visible=False),
        node("ImageView", "Img_IP", pos=[1175, 430], size=[120, 120], visible=False),
        *[func_button(i, picture, title, 560 - 88 * i) for i, (picture, title) in enumerate(titles)],
    ]))


def nav_sub_buttons():
    """One hidden bar per subject with topics; the program shows the one of the current subject."""
    bars = []
    for subject in (1, 2, 5, 6):
        buttons = [node("Button", "Btn_NavSub%d" % i, pos=[18 + 37 + 80 * (i - 1), 36], size=[74, 56],
                        normal="Topic/SubNavTab.png", pressed="Topic/SubNavTabOn.png", visible=False, children=[
                            node("Text", "Text_Title", pos=[37, 28], area=[72, 50], fontSize=13, hAlign="center",
                                 vAlign="center")])
                   for i in range(1, MAX_TOPICS_PER_KIND + 1)]
        bars.append(node("ImageView", "Img_SubNavBg%d" % subject, pos=[540, 668], size=[400, 72],
                         image="Topic/SubNavBg.png", scale9=True, capInsets=[26, 26, 26, 26], visible=False,
                         children=buttons))
    return layout(node("Node", size=[WIDTH, HEIGHT], children=bars))


MAX_TOPICS_PER_KIND = 10

# Widget families per type: family -> count; positions are spread by row below.
FAMILIES = {
    "SingleTopic": {"ContImg": 4},
    "ShiZiTopic": {"OperImg": 3, "AniImg": 3, "AnswerImg": 3},
    "ShowAnswer": {"ContImg": 2, "OperImg": 4, "AnswerImg": 4, "AniImg": 1},
    "DragImage": {"ContImg": 1, "PanelImg": 20, "OperImg": 6},
    "DemoTopic": {"BgImg": 1, "ContImg": 1, "PanelImg": 8, "OperImg": 6, "AniImg": 6, "AnswerImg": 4},
    "ClickPlay": {"AniImg": 3, "OperImg": 3, "AnswerImg": 1},
    "ClickColor": {"PanelImg": 3, "OperImg": 3, "AnswerImg": 3},
    "DragSort": {"PanelImg": 12, "OperImg": 4},
    "FillNumSymbol": {"PanelImg": 5, "OperImg": 7, "AniImg": 1},
}
# Rows from the top of the content area: family -> y, and the x spread.
ROW_Y = {"ContImg": 420, "AniImg": 420, "PanelImg": 430, "BgImg": 330, "OperImg": 170, "AnswerImg": 170,
         "ResultImg": 330}
# Half the width over which a family's row is spread.
ROW_HALF_WIDTH = {"ContImg": 180}
# Rows of the drag pages (targets in the middle, pictures below), and the single stage of the reveal pages above
# their pictures, which 201 centres in the content area.
TYPE_ROWS = {"ShowAnswer": {"AniImg": (480, 440)},
             "ClickPlay": {"AniImg": (360, 440), "OperImg": (200, 440)},
             "ClickColor": {"PanelImg": (400, 360), "OperImg": (150, 360), "AnswerImg": (400, 360)},
             "FillNumSymbol": {"PanelImg": (410, 400), "OperImg": (170, 440)},
             "DragImage": {"ContImg": (480, 250), "PanelImg": (330, 330), "OperImg": (165, 440)},
             "DemoTopic": {"AniImg": (480, 440), "ContImg": (480, 250), "PanelImg": (310, 330),
                           "OperImg": (150, 440), "AnswerImg": (150, 440)}}
# Fixed places of the widgets of a type: family -> list of (x, y) from number 1.
TYPE_PLACES = {
    "DemoTopic": {
        "PanelImg": [(430 + 200 * k, 310) for k in range(4)] + [(530 + 200 * k, 470) for k in range(4)],
        "OperImg": [(330 + 200 * k, 165) for k in range(5)] + [(730, 310)],
        "AnswerImg": [(330 + 200 * k, 165) for k in range(4)],
        "AniImg": [(1010, 470), (230, 470), (420, 470), (820, 470), (1010, 300), (230, 300)],
    },
}
# Fixed places of some widgets by code: family -> list of (x, y) from number 1.
CODE_PLACES = {
    320101: {"OperImg": [(630, 240)]},
    102: {"AniImg": [(880, 420)], "AnswerImg": [(380, 420)]},
    103: {"AniImg": [(880, 420)], "AnswerImg": [(380, 420)]},
    401: {"OperImg": [(1180, 330)] * 3},
    402: {"OperImg": [(1180, 330)] * 3},
    901: {"OperImg": [(360, 0)] * 4, "PanelImg": [(880, 150)]},
    902: {"OperImg": [(480, 100), (630, 100), (780, 100)],
          "PanelImg": [(round(130 + 1000 / 12 * (k + 0.5)), 190) for k in range(12)]},
    501: {"OperImg": [(0, 105)] * 6, "PanelImg": [(0, 440)] * 2},
    507: {"ContImg": [(0, 560)] * 3},
    509: {"PanelImg": [(400, 340), (630, 340), (860, 340)]},
    502: {"OperImg": [(230, 0)] * 6, "PanelImg": [(520, 300), (740, 300), (960, 300)]},
    505: {"OperImg": [(230, 0)] * 6, "PanelImg": [(470, 320), (660, 320), (850, 320), (1040, 320)]},
}
TAG_BASE = {"OperImg": 10000, "PanelImg": 20000}


# Number and symbol pages: the free-filling codes, the checked ones, and 707 with its own texts.
FREE_FILL_CODES = (701, 708, 713, 714)
FILL_TILES = {"free": [3, 4, 7, 2, 101, 102, 105], "checked": [2, 3, 4, 5, 6, 7], "707": [2, 4, 6]}
FILL_ANSWERS = {"free": [3, 101, 4, 105, 7], "checked": [3, 4, 7], "707": [2, 6]}
FILL_BLANK_TAGS = [20001, 20002, 20001, 20002, 20001]
# Places of the blanks and the signs between them where the code arranges nothing.
FILL_BLANKS = {"checked": [(330, 410), (630, 410), (930, 410)], "707": [(480, 410), (780, 410)]}
FILL_SIGNS = {"checked": [(480, "+"), (780, "=")], "707": [(630, "+")]}


def fill_group(code):
    return "free" if code in FREE_FILL_CODES else "707" if code == 707 else "checked"


def fill_keys(code, family, i):
    """Tags and places of a number page's tiles and blanks: a tile's tag carries its value."""
    group = fill_group(code)
    keys = {}
    tiles = FILL_TILES[group]
    if family == "OperImg" and i <= len(tiles):
        keys["tag"] = 10000 + tiles[i - 1]
        keys["size"] = [110, 110]
        keys["pos"] = [round(spread(len(tiles), i - 1, 210, 1050)), 170]
    if family == "PanelImg":
        keys["size"] = [130, 110]
        if group == "free":
            keys["tag"] = FILL_BLANK_TAGS[i - 1]
        elif i <= len(FILL_BLANKS[group]):
            keys["pos"] = list(FILL_BLANKS[group][i - 1])
    if family == "AniImg":
        keys["pos"] = [1190, 420]
    return keys


def spread(count, index, left=CONTENT_CENTRE[0] - 440, right=CONTENT_CENTRE[0] + 440):
    if count == 1:
        return CONTENT_CENTRE[0]
    return left + (right - left) * index / (count - 1)


def family_widgets(type_name, code):
    widgets = []
    families = FAMILIES[type_name]
    for family, count in families.items():
        for i in range(1, count + 1):
            shown = min(count, 6)
            row_y, half = TYPE_ROWS.get(type_name, {}).get(family, (ROW_Y[family], ROW_HALF_WIDTH.get(family, 440)))
            x = spread(shown, (i - 1) % shown, CONTENT_CENTRE[0] - half, CONTENT_CENTRE[0] + half)
            if family == "AniImg" and count == 1:
                x = CONTENT_CENTRE[0] + 360
            y = row_y - 120 * ((i - 1) // shown) * (1 if family != "PanelImg" else 0)
            places = CODE_PLACES.get(code, {}).get(family) or TYPE_PLACES.get(type_name, {}).get(family)
            if places and i <= len(places):
                x, y = places[i - 1]
            keys = {"pos": [round(x), round(y)], "size": [140, 140]}
            if family in TAG_BASE:
                keys["tag"] = TAG_BASE[family] + i
            # Hidden until the topic's picture lists fill them, so empty ones are never arranged or tapped.
            keys["visible"] = False
            if family == "BgImg":
                keys["size"] = list(CONTENT_SIZE)
                keys["pos"] = list(CONTENT_CENTRE)
            children = []
            if type_name == "DemoTopic" and family == "PanelImg":
                children = [node("Text", "Content", pos=[70, 70], fontSize=40, textColor="#33414eff")]
            if type_name == "FillNumSymbol" and family == "PanelImg":
                children = [node("Text", "Content", pos=[65, 52], fontSize=56, textColor="#33414eff")]
            keys.update(fill_keys(code, family, i) if type_name == "FillNumSymbol" else {})
            if code == 902:
                keys["anchor"] = [0.5, 0.0]
            widgets.append(node("ImageView", "%s%d" % (family, i), children=children, **keys))
    if type_name == "FillNumSymbol":
        widgets += [node("Text", "Sign%d" % n, pos=[x, 410], text=sign, fontSize=64, textColor="#33414eff")
                    for n, (x, sign) in enumerate(FILL_SIGNS.get(fill_group(code), []), 1)]
    return widgets


def picture(name, x, y, size=(140, 140), visible=False, **keys):
    """A picture widget hidden until the topic's lists fill it."""
    return node("ImageView", name, pos=[round(x), round(y)], size=list(size), visible=visible, **keys)


def line_widgets(code):
    """Up to nine pictures a side with their frames; 301 and 303 in two rows, 302 in two columns."""
    widgets = []
    for side, prefix in ((1, "OperImg"), (2, "LineImg")):
        for i in range(1, 10):
            if code == 302:
                x, y = (400 if side == 1 else 860), 560 - 52 * i
            else:
                x, y = spread(9, i - 1), (470 if side == 1 else 190)
            widgets.append(picture("%s%d" % (prefix, i), x, y, (100, 100)))
    for side in (1, 2):
        for i in range(1, 10):
            widgets.append(picture("Img_Frame%d%d" % (side, i), 0, 0, (120, 120), children=[
                picture("Img_Point", 0, 0, (22, 22))]))
    return widgets


def jigsaw_widgets():
    """The board, up to nine cells over it and the pieces in a row below."""
    return ([picture("ContImg1", 630, 425, (480, 270))] +
            [picture("PanelImg%d" % i, 630, 425, (160, 135), tag=20000 + i, scale9=True) for i in range(1, 10)] +
            [picture("OperImg%d" % i, spread(9, i - 1), 195, (160, 135), tag=10000 + i) for i in range(1, 10)])


def node_number(column, row):
    return (row - 1) * 3 + column


def node_place(column, row):
    return 400 + 150 * (column - 1), 480 - 150 * (row - 1)


def direction_widgets(code):
    """801-803: a 3 x 3 grid of position nodes "PosNode<column><row>", the route segments between neighbours, the
    items and the piece on node (1, 1), eight arrows; 804: four answer buttons."""
    if code == 804:
        return ([picture("DirImg%d" % i, 330 + 200 * (i - 1), 330, tag=40000 + i) for i in range(1, 5)] +
                [picture("DirImg%d" % i, 330 + 200 * (i - 5), 150) for i in range(5, 9)])
    widgets = []
    for column in range(1, 4):
        for row in range(1, 4):
            x, y = node_place(column, row)
            widgets.append(node("ImageView", "PosNode%d%d" % (column, row), pos=[x, y], image="Topic/DirCell.png",
                                tag=30000 + node_number(column, row)))
    for column in range(1, 4):
        for row in range(1, 4):
            for dx, dy in DIR_DELTAS:
                c, r = column + dx, row + dy
                if not (1 <= c <= 3 and 1 <= r <= 3):
                    continue
                (x0, y0), (x1, y1) = node_place(column, row), node_place(c, r)
                kind = "h" if dy == 0 else "v" if dx == 0 else ("d1" if dx == dy else "d2")
                widgets.append(node("ImageView", "AnswerImg%d%d" % (node_number(column, row), node_number(c, r)),
                                    pos=[(x0 + x1) // 2, (y0 + y1) // 2], image="Topic/DirRoute_%s.png" % kind,
                                    visible=False))
    items = [(3, 3), (2, 2)]
    widgets += [picture("ContImg%d" % (k + 1), *node_place(*place), (110, 110)) for k, place in enumerate(items)]
    widgets += [picture("AniImg%d" % (k + 1), *node_place(*place), (110, 110)) for k, place in enumerate(items)]
    widgets.append(picture("OperImg1", *node_place(1, 1), (110, 110), tag=10001))
    widgets += [node("ImageView", "DirImg%d" % (d + 1), pos=[1040, 330], image="Topic/DirArrow%d.png" % (d + 1))
                for d in range(8)]
    return widgets


def pinyin_widgets(code):
    """Letter cards with their marks and answer rings; group boxes (319501, 319502) or slots (319503-319506)
    above them; animated pictures (319102)."""
    widgets = []
    dragging = code >= 319501
    card_y = 170 if dragging else 330
    for i in range(1, 7):
        x = spread(6, i - 1, 230, 1030)
        widgets.append(picture("OperImg%d" % i, x, card_y, (120, 120), tag=10000 + i))
        if not dragging:
            widgets.append(picture("HighlightImg%d" % i, x, card_y, (120, 120)))
            widgets.append(picture("AnswerImg%d" % i, x, card_y, (120, 120)))
    if code == 319001:
        widgets[2] = picture("AnswerImg1", 1090, 480, (120, 120))
    if code in (319501, 319502):
        widgets += [picture("PanelImg%d" % i, x, 430, (260, 170), tag=20000 + i) for i, x in ((1, 390), (2, 870))]
    elif dragging:
        widgets += [picture("PanelImg%d" % i, spread(4, i - 1, 330, 930), 430, (150, 150), tag=20000 + i)
                    for i in range(1, 5)]
    if code == 319102:
        widgets.insert(0, picture("BgImg1", *CONTENT_CENTRE, CONTENT_SIZE))
        widgets += [picture("AniImg%d" % i, spread(4, i - 1), 330, (160, 160)) for i in range(1, 5)]
    return widgets


# Page builders of the types whose widgets are not a plain row per family.
PAGE_WIDGETS = {"LineImage": line_widgets, "Jigsaw": lambda code: jigsaw_widgets(), "DirOperate": direction_widgets,
                "PinYinTopic": pinyin_widgets, "SpecialTopic": lambda code: special.widgets(kit(), code)}


def topic_page(type_name, code):
    widgets = PAGE_WIDGETS[type_name](code) if type_name in PAGE_WIDGETS else family_widgets(type_name, code)
    return layout(node("Node", size=[WIDTH, HEIGHT], children=[
        node("Panel", "Panel_Content", pos=list(CONTENT_CENTRE), anchor=[0.5, 0.5], size=list(CONTENT_SIZE)),
        *widgets,
        node("ImageView", "NextImg1", pos=list(CONTENT_CENTRE), image="Topic/NextPage.png", visible=False),
    ]))


def kit():
    """This module, handed to the page modules of single types for its drawing and layout helpers."""
    return sys.modules[__name__]


def codes_of(first, last):
    return list(range(first, last + 1))


# The codes of the types whose pages are made here, by type.
CODES = {
    "SingleTopic": [101001],
    "ShiZiTopic": [320101, 320102, 320201],
    "ShowAnswer": codes_of(201, 213),
    "DragImage": codes_of(501, 511),
    "DemoTopic": codes_of(100101, 100124),
    "SpecialTopic": [101101] + codes_of(101201, 101213) + codes_of(101301, 101304) + codes_of(101401, 101402) +
    codes_of(101501, 101551) + [101601, 101701, 101801, 101802] + codes_of(101901, 101903),
    "ClickPlay": codes_of(101, 103),
    "ClickColor": codes_of(401, 403),
    "DragSort": codes_of(901, 902),
    "FillNumSymbol": codes_of(701, 714),
    "LineImage": codes_of(301, 303),
    "Jigsaw": [601],
    "DirOperate": codes_of(801, 804),
    "PinYinTopic": codes_of(319001, 319002) + codes_of(319101, 319102) + codes_of(319201, 319222) +
    codes_of(319501, 319506),
}
# Each block of types fills demo lectures of its own, so a block that grows never moves another's codes.
LECTURE_BLOCKS = [
    ["SingleTopic", "ShiZiTopic", "ShowAnswer", "DragImage", "DemoTopic", "SpecialTopic"],
    ["ClickPlay", "ClickColor", "DragSort", "FillNumSymbol"],
    ["LineImage", "Jigsaw", "DirOperate", "PinYinTopic"],
]


# ---------------------------------------------------------------------------------------------------------------
# Demo topic data


TYPE_TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "topics", "TopicTypeTable.cpp")


def show_answer_codes(path=TYPE_TABLE):
    """The codes whose "Answer" button shows the answer, read from the program's own list (each type's entry in
    registeredTypes()); the other pages do not offer the button."""
    with open(path, encoding="utf-8") as f:
        lists = re.findall(r"maker<\w+>\(\),\s*\{([\d,\s]*)\}", f.read())
    codes = {int(code) for found in lists for code in re.findall(r"\d+", found)}
    if not codes:
        sys.exit("make_topic_pages: no show-answer codes found in " + path)
    return codes


SHOW_ANSWER_CODES = show_answer_codes()


def topic(code, stem, images, step=0, answers=None, contents=None, auto=(1, 1, 4), right="", wrong="",
          ani_dubbing=None, result_image=False, content_dubbing=None):
    """A topic map. The content voice plays the voice of the current step, so a page without steps has none."""
    data = {
        "LayoutModel": code,
        "Title": "",
        "Stem": stem,
        "FuncBtns": "&".join(str(b) for b in range(6) if b != 3 or code in SHOW_ANSWER_CODES),
        "Dubbing": "voice_q.mp3",
        "ContentDubbing": content_dubbing or ["voice_c%d.mp3" % (i % 4 + 1) for i in range(step)],
        "AniDubbing": ani_dubbing or [],
        "Animations": {"Contents": contents or [], "Right": right, "Wrong": wrong, "Celebrate": "TopicCelebrate"},
        "Images": images,
        "Answers": answers if answers is not None else [],
        "AutoLayout": {"Type": auto[0], "RowNum": auto[1], "ColNum": auto[2]},
        "Step": step,
    }
    if result_image:
        data["Images"] = dict(images, ResultImgs=["Topic/ResultFrame.png"])
    return data


def shapes(n, first=1):
    return ["shape%d.png" % k for k in range(first, first + n)]


def show_answer_topic(code):
    by_number = code in (203, 204, 208, 209, 212, 213)
    images = {"OperImgs": shapes(4)}
    if code in (201, 202, 204, 205, 210, 213):
        images["AniImgs"] = ["stage.png"]
    contents = ["TopicAni1"]
    answers, step = [[2, 4]], 2
    if by_number:
        images["AnswerImgs"] = ["answer%d.png" % k for k in range(1, 5)]
    else:
        images["AnswerImgs"] = ["answer1.png", "answer2.png"]
    if code in (203, 212):
        contents = ["TopicAni%d" % k for k in range(1, 5)]
    if code in (205, 207):
        images["AnswerImgs"] = ["final.png"]
        answers, step = [[3]], 1
    if code in (205, 206, 207, 208, 209, 211):
        images["ContImgs"] = ["scene3.png"] if code != 206 and code != 211 else ["scene2.png"]
    if code in (204, 213):
        return topic(code, "Tap each picture to hear it; find the even numbers.", images, step, answers, contents,
                     ani_dubbing=["voice_a%d.mp3" % k for k in range(1, 5)])
    configured = code == 201
    stem = "Find the picture with the number 3." if answers == [[3]] else "Find the pictures with an even number."
    return topic(code, stem, images, step, answers, contents,
                 right="TopicRight" if configured else "", wrong="TopicWrong" if configured else "",
                 result_image=configured)


def shizi_topic(code):
    characters = ["char%d.png" % k for k in (1, 2, 3)]
    if code == 320201:
        images = {"OperImgs": characters, "AnswerImgs": ["answer%d.png" % k for k in (1, 2, 3)]}
        return topic(code, "Tap each character to see its answer.", images, 3)
    # The characters once, to watch; 320101 plays their sound from a speaker below them.
    images, stem = {"AniImgs": characters}, "Tap a character to watch it."
    if code == 320101:
        images["OperImgs"], stem = ["listen.png"], "Tap a character to watch it, the speaker to hear it."
    return topic(code, stem, images, 3, contents=["TopicAni%d" % k for k in (1, 2, 3)],
                 ani_dubbing=["voice_a%d.mp3" % k for k in (1, 2, 3)])


def drag_image_topic(code):
    trays, slots = ["tray.png", "tray.png"], lambda n: ["slot.png"] * n
    if code in (501, 504):
        return topic(code, "Odd numbers to the first tray, even ones to the second.",
                     {"OperImgs": shapes(4), "PanelImgs": trays}, 1, [[1, 3], [2, 4]])
    if code == 502:
        return topic(code, "Drag each picture to its place.",
                     {"OperImgs": shapes(3), "ContImgs": ["scene3.png"], "PanelImgs": slots(3)}, 3, [[2, 3, 1]],
                     auto=(0, 1, 3))
    if code in (503, 510, 511):
        return topic(code, "Put a picture on each free place.", {"OperImgs": shapes(3), "PanelImgs": slots(3)}, 1,
                     [[2, 0, 1]] if code != 511 else [[3, 1, 2]], auto=(1, 1, 3))
    if code == 505:
        return topic(code, "Copy the pictures onto the places.", {"OperImgs": shapes(2), "PanelImgs": slots(4)}, 1,
                     [[1, 2, 1, 0]])
    if code in (506, 508, 509):
        return topic(code, "Drag the pictures onto the places.", {"OperImgs": shapes(3), "PanelImgs": slots(3)},
                     3 if code == 508 else 1, [[1, 2, 3]], auto=(1, 1, 3))
    return topic(code, "Drag each picture under its scene.",
                 {"OperImgs": shapes(3), "PanelImgs": slots(3), "ContImgs": ["scene1.png", "scene2.png", "scene3.png"]},
                 3, [[3, 1, 2]], auto=(1, 1, 3))


def demo_topic_page(code):
    slots = ["slot.png"] * 3
    base = {"OperImgs": shapes(3), "PanelImgs": slots, "AniImgs": ["stage.png"]}
    if code in (100101, 100103):
        return topic(code, "Move a picture onto a place and watch.", base, 3, auto=(1, 1, 3))
    if code == 100102:
        return topic(code, "Tap or move the pictures 1 and 2.", base, 2, [[1, 2]], auto=(1, 1, 3))
    if code == 100105:
        return topic(code, "Move each picture to its place.",
                     dict(base, AnswerImgs=["answer%d.png" % k for k in (1, 2, 3)]), 3, [[2, 1, 3]])
    if code == 100106:
        return topic(code, "One picture on each place.", base, 1, [[2, 3, 1]])
    if code == 100107:
        return topic(code, "Tap the pictures one after another.",
                     dict(base, AniImgs=["stage.png"] * 3), 3, contents=["TopicAni%d" % k for k in (1, 2, 3)])
    if code == 100108:
        return topic(code, "Tap the pictures to find the pairs.",
                     {"OperImgs": shapes(6), "AnswerImgs": ["answer1.png", "answer2.png"]}, 4)
    if code == 100109:
        return topic(code, "Tap each picture.", {"OperImgs": shapes(3), "AnswerImgs": ["answer%d.png" % k for k in
                                                                                       (1, 2, 3)]}, 3)
    if code in (100110, 100111):
        return topic(code, "Move each picture to its place.", base, 3, [[2, 3, 1]], auto=(1, 1, 3))
    if code in (100113, 100114, 100115, 100116):
        images = {"OperImgs": shapes(4), "PanelImgs": slots, "ContImgs": ["scene2.png"], "AniImgs": ["stage.png"]}
        return topic(code, "Put the right picture on each place, then check.", images, 1, [[3, 1, 2]],
                     contents=["TopicAni1"])
    return topic(code, "Move the pictures where you like.", base, 1)


def click_play_topic(code):
    if code == 101:
        return topic(code, "Tap each picture to watch it move.", {"AniImgs": shapes(3)}, 3, auto=(1, 1, 3),
                     contents=["TopicAni%d" % k for k in (1, 2, 3)], ani_dubbing=["voice_a%d.mp3" % k for k in (1, 2, 3)])
    return topic(code, "Tap the picture with the number 2.",
                 {"OperImgs": shapes(3), "AniImgs": ["stage.png"], "AnswerImgs": ["answer2.png"]}, 2, [[2]],
                 contents=["TopicAni1"], auto=(1, 1, 3))


def click_color_topic(code):
    # Region k is coloured with swatch COLOUR_ANSWERS[k - 1].
    images = {"OperImgs": ["swatch%d.png" % k for k in (1, 2, 3)],
              "PanelImgs": ["region%d.png" % k for k in (1, 2, 3)],
              "AnswerImgs": ["region%d_%d.png" % (k, c) for k, c in enumerate(COLOUR_ANSWERS, 1)]}
    return topic(code, "Colour the circle and the triangle yellow, the square red.", images, 3, [COLOUR_ANSWERS],
                 auto=(1, 1, 3))


def drag_sort_topic(code):
    if code == 901:
        return topic(code, "Stack the blocks: 3 at the bottom, then 1, 4 and 2.",
                     {"OperImgs": ["block%d.png" % k for k in (1, 2, 3, 4)], "PanelImgs": ["base.png"]}, 1,
                     [[3, 1, 4, 2]], auto=(2, 4, 1))
    return topic(code, "Drop beads into the columns.",
                 {"OperImgs": ["bead%d.png" % k for k in (1, 2, 3)], "PanelImgs": ["column.png"] * 12}, 0)


def fill_topic(code):
    group = fill_group(code)
    answers = FILL_ANSWERS[group]
    images = {"OperImgs": ["tile%d.png" % v for v in FILL_TILES[group]], "PanelImgs": ["blank.png"] * len(answers),
              "AniImgs": ["stage.png"]}
    # The six tiles make more than one true sum: the stem names the one the page takes.
    stem = "Make the sum: 3 + 4 = 7." if group == "free" else "Fill in the numbers: 3 + 4 = 7."
    return topic(code, stem, images, 1 if group == "free" else len(answers), [answers], contents=["TopicAni1"],
                 auto=(1, 1, len(answers)))


def line_topic(code):
    if code == 301:
        return topic(code, "Join each picture to the one with the same number.",
                     {"OperImgs": shapes(3), "LineImgs": ["small%d.png" % k for k in (2, 3, 1)]}, 0,
                     [["13", "21", "32"]])
    count = 4 if code == 302 else 9
    lines = [(k + 1) % count + 1 for k in range(count)]
    return topic(code, "Join the pictures that belong together.",
                 {"OperImgs": ["small%d.png" % k for k in range(1, count + 1)],
                  "LineImgs": ["small%d.png" % k for k in lines]}, 0,
                 [[int("%d%d" % (n, lines.index(n) + 1)) for n in range(1, count + 1)]])


# The jigsaw pieces in the row, by board cell they belong to: piece k of the row shows cell JIGSAW_ORDER[k - 1].
JIGSAW_ORDER = [3, 1, 5, 2, 6, 4]


def jigsaw_topic(code):
    answers = [JIGSAW_ORDER.index(cell) + 1 for cell in range(1, 7)]
    return topic(code, "Put the pieces of the picture in their places.",
                 {"ContImgs": ["board.png"],
                  "OperImgs": ["piece%d.png" % cell for cell in JIGSAW_ORDER]}, 6, [answers], auto=(3, 2, 3))


def direction_topic(code):
    piece = {"OperImgs": ["shape1.png"]}
    if code in (801, 802):
        return topic(code, "Walk the piece 1 - 2 - 5 - 9, then check.", piece, 1, [[1, 2, 5, 9]], auto=(2, 8, 1))
    if code == 803:
        return topic(code, "Walk the piece to the star; the square is in the way.",
                     dict(piece, ContImgs=["shape4.png", "shape2.png"]), 1, [[9]], contents=["TopicAni1", "TopicAni2"],
                     auto=(2, 8, 1))
    return topic(code, "Listen, then tap the picture you heard.", {"DirImgs": shapes(4)}, 3, [[2, 4, 1]])


LETTERS = "aoeiubpm"


def letters(text):
    return ["letter_%s.png" % ch for ch in text]


def pinyin_topic(code):
    if code == 319001:
        return topic(code, "Mark the letters a and e, then check.",
                     {"OperImgs": letters("aoeiub"), "HighlightImgs": ["mark.png"] * 6, "AnswerImgs": ["final.png"]},
                     1, [[1, 3]])
    if code == 319102:
        return topic(code, "Tap each picture to hear its letter.", {"AniImgs": ["stage.png"] * 3}, 3,
                     contents=["TopicAni%d" % k for k in (1, 2, 3)], ani_dubbing=["voice_a%d.mp3" % k for k in (1, 2, 3)],
                     auto=(1, 1, 3))
    if code in (319501, 319502):
        return topic(code, "Vowels into the first box, the others into the second.",
                     {"OperImgs": letters("abop"), "PanelImgs": ["tray.png"] * 2}, 4, [[1, 3], [2, 4]])
    if code >= 319503:
        return topic(code, "Spell b - a - m with the letters.",
                     {"OperImgs": letters("abmo"), "PanelImgs": ["slot.png"] * 3}, 3, [[2, 1, 3]], auto=(1, 1, 4))
    return topic(code, "Tap the letter o.", {"OperImgs": letters("aoeiub"), "AnswerImgs": ["right.png"] * 6}, 1,
                 [[2]], ani_dubbing=["voice_a%d.mp3" % k for k in range(1, 5)], auto=(1, 1, 6))


def generic_topic(code):
    return topic(code, "Look at the pictures.", {"OperImgs": shapes(4), "PanelImgs": shapes(4, 5)}, 0)


def single_topic(code):
    return topic(code, "Look at the three pictures.", {"ContImgs": ["scene1.png", "scene2.png", "scene3.png"]}, 0,
                 auto=(1, 1, 3))


# The demo topic of each type's codes; other types get a plain page of pictures.
TOPIC_MAKERS = {"SingleTopic": single_topic, "ShowAnswer": show_answer_topic, "ShiZiTopic": shizi_topic,
                "DragImage": drag_image_topic, "DemoTopic": demo_topic_page, "ClickPlay": click_play_topic,
                "ClickColor": click_color_topic, "DragSort": drag_sort_topic, "FillNumSymbol": fill_topic,
                "LineImage": line_topic, "Jigsaw": jigsaw_topic, "DirOperate": direction_topic,
                "PinYinTopic": pinyin_topic, "SpecialTopic": lambda code: special.topic_data(kit(), code)}


def demo_topic(code, type_name):
    return TOPIC_MAKERS.get(type_name, generic_topic)(code)


# Demo lectures: identify code, name, the codes of kinds 1, 2 and 3.
def lectures():
    groups, size = [], 3 * MAX_TOPICS_PER_KIND
    for block in LECTURE_BLOCKS:
        ordered = [code for type_name in block for code in CODES[type_name]]
        for start in range(0, len(ordered), size):
            groups.append(ordered[start:start + size])
    result = []
    for n, group in enumerate(groups):
        third = (len(group) + 2) // 3
        kinds = [group[0:third], group[third:2 * third], group[2 * third:]]
        result.append((TOUR_IDENTIFIES[n], kinds))
    return result


# Twelve lectures a stage at most: the tours follow the lectures of stage 2, the last two those of stage 1.
TOUR_IDENTIFIES = ["01010102%02d" % lesson for lesson in range(7, 13)] + ["01010101%02d" % lesson for lesson in (7, 8)]
CATALOGUE_PACKAGES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "server", "packages")


def catalogue_lectures(packages=CATALOGUE_PACKAGES):
    """(identify, codes of kinds 1, 2 and 3) of the demo catalogue's own packages with topics."""
    result = []
    for identify in sorted(os.listdir(packages)):
        path = os.path.join(packages, identify, "Topic.plist")
        if not os.path.isfile(path):
            continue
        with open(path, "rb") as f:
            subject = plistlib.load(f).get("Subject", {})
        kinds = [[entry["LayoutModel"] for entry in subject.get(str(kind), [])] for kind in (1, 2, 3)]
        if any(kinds):
            result.append((identify, kinds))
    return result


def type_of(code):
    for type_name, codes in CODES.items():
        if code in codes:
            return type_name
    raise KeyError(code)


COLOUR_ANSWERS = [2, 1, 2]
PAINTS = ["#e5533d", "#ffca28", "#3aa3e6"]


def region_outline(c, k, size, colour, width):
    """Shape k of the colouring page (circle, square, triangle) drawn in colour, or only its edge."""
    m = size / 2
    if k == 1:
        c.circle(m, m, size * 0.42, hex_colour(DARK))
        c.circle(m, m, size * 0.42 - width, hex_colour(colour))
    elif k == 2:
        c.rounded(size * 0.1, size * 0.1, size * 0.9, size * 0.9, 16, hex_colour(DARK))
        c.rounded(size * 0.1 + width, size * 0.1 + width, size * 0.9 - width, size * 0.9 - width, 12,
                  hex_colour(colour))
    else:
        c.polygon([(m, size * 0.08), (size * 0.94, size * 0.9), (size * 0.06, size * 0.9)], hex_colour(DARK))
        c.polygon([(m, size * 0.08 + width * 2), (size * 0.94 - width * 1.8, size * 0.9 - width),
                   (size * 0.06 + width * 1.8, size * 0.9 - width)], hex_colour(colour))


def storage_pictures(images):
    """Swatches and regions of the colouring pages, blocks and beads of the sorting pages, number tiles."""
    for k, paint in enumerate(PAINTS, 1):
        c = Canvas(96, 96)
        c.circle(48, 50, 44, hex_colour("#000000", 45))
        c.circle(48, 48, 44, hex_colour(WHITE))
        c.circle(48, 48, 36, hex_colour(paint))
        c.save(os.path.join(images, "swatch%d.png" % k))
    for k in (1, 2, 3):
        c = Canvas(200, 200)
        region_outline(c, k, 200, WHITE, 7)
        c.save(os.path.join(images, "region%d.png" % k))
        for colour in (1, 2, 3):
            c = Canvas(200, 200)
            region_outline(c, k, 200, PAINTS[colour - 1], 7)
            c.save(os.path.join(images, "region%d_%d.png" % (k, colour)))
    for k in (1, 2, 3, 4):
        c = Canvas(180, 70)
        c.rounded(2, 2, 177, 67, 12, hex_colour(DARK))
        c.rounded(6, 6, 173, 63, 9, hex_colour(PALETTE[k]))
        c.glyph(str(k), 90, 35, 30, hex_colour(WHITE))
        c.save(os.path.join(images, "block%d.png" % k))
    base = Canvas(220, 70)
    base.rounded(2, 2, 217, 67, 14, hex_colour("#8d6e63"))
    base.rounded(10, 10, 209, 59, 10, hex_colour("#d7ccc8"))
    base.save(os.path.join(images, "base.png"))
    for k in (1, 2, 3):
        c = Canvas(70, 40)
        c.rounded(2, 2, 67, 37, 18, hex_colour(PAINTS[k - 1]))
        c.rounded(14, 8, 40, 16, 4, hex_colour(WHITE, 140))
        c.save(os.path.join(images, "bead%d.png" % k))
    column = Canvas(76, 300)
    column.rounded(2, 2, 73, 297, 14, hex_colour("#3aa3e6", 70))
    column.rounded(8, 8, 67, 291, 10, hex_colour(WHITE, 150))
    column.save(os.path.join(images, "column.png"))
    blank = Canvas(130, 110)
    blank.rounded(2, 2, 127, 107, 16, hex_colour("#3aa3e6"))
    blank.rounded(7, 7, 122, 102, 12, hex_colour(WHITE))
    blank.save(os.path.join(images, "blank.png"))
    signs = {101: "+", 102: "-", 103: "*", 104: "/", 105: "="}
    for value in list(range(0, 21)) + list(signs):
        c = Canvas(110, 110)
        c.rounded(3, 6, 106, 107, 18, hex_colour("#000000", 45))
        c.rounded(3, 3, 106, 103, 18, hex_colour("#f5a623" if value > 100 else "#43b85c"))
        c.glyph(signs.get(value, str(value)), 55, 52, 44, hex_colour(WHITE))
        c.save(os.path.join(images, "tile%d.png" % value))


def package_media(root, sounds):
    """The pictures, animation frames and voices every demo package carries."""
    images = os.path.join(root, "TopicImg")
    for k in range(1, 13):
        shape_picture(os.path.join(images, "shape%d.png" % k), k)
    for k in range(1, 5):
        answer_picture(os.path.join(images, "answer%d.png" % k), k)
        scene_picture(os.path.join(images, "scene%d.png" % k), k)
        scene_picture(os.path.join(images, "count%d.png" % k), k, 210, 140, numbered=False)
    for k in (1, 2, 3):
        char_picture(os.path.join(images, "char%d.png" % k), k)
    listen_picture(os.path.join(images, "listen.png"))
    tick_picture(os.path.join(images, "final.png"), 180, "#f5a623")
    tray = Canvas(260, 170)
    tray.rounded(2, 8, 257, 167, 26, hex_colour("#8d6e63"))
    tray.rounded(14, 18, 245, 155, 18, hex_colour("#d7ccc8"))
    tray.save(os.path.join(images, "tray.png"))
    slot = Canvas(150, 150)
    slot.rounded(2, 2, 147, 147, 22, hex_colour("#3aa3e6", 120))
    slot.rounded(9, 9, 140, 140, 16, hex_colour("#ffffff", 200))
    slot.glyph("?", 75, 75, 40, hex_colour("#3aa3e6", 160))
    slot.save(os.path.join(images, "slot.png"))
    for k in (1, 2, 3):
        numbered = Canvas(150, 150)
        numbered.rounded(2, 2, 147, 147, 22, hex_colour("#3aa3e6", 120))
        numbered.rounded(9, 9, 140, 140, 16, hex_colour("#ffffff", 200))
        numbered.glyph(str(k), 75, 75, 56, hex_colour("#3aa3e6"))
        numbered.save(os.path.join(images, "slot%d.png" % k))
    stage = Canvas(160, 160)
    stage.circle(80, 80, 74, hex_colour("#fff3e0"))
    stage.polygon(star_points(80, 80, 60, 26), hex_colour("#ffca28"))
    stage.save(os.path.join(images, "stage.png"))
    storage_pictures(images)
    frame_media(images)
    special.package_media(kit(), images)
    for k in range(1, 7):
        for n in range(1, 5):
            frame_picture(os.path.join(root, "TopicAni", "TopicAni%d" % k, "TopicAni%d%d.png" % (k, n)), k, n, 4)
    mp3 = os.path.join(root, "mp3")
    os.makedirs(mp3, exist_ok=True)
    names = ["voice_q.mp3"] + ["voice_c%d.mp3" % i for i in range(1, 5)] + ["voice_a%d.mp3" % i for i in range(1, 5)]
    for name in names:
        shutil.copyfile(sounds, os.path.join(mp3, name))


def frame_media(images):
    """Small pictures of the line pages, the jigsaw board cut into its six pieces, letter cards and their rings."""
    for k in range(1, 10):
        shape_picture(os.path.join(images, "small%d.png" % k), k, 96)
    board = Canvas(480, 270)
    board.rounded(0, 0, 479, 269, 8, hex_colour("#bfe3f7"))
    board.rounded(0, 170, 479, 269, 8, hex_colour("#8bc34a"))
    board.circle(400, 60, 36, hex_colour("#ffca28"))
    board.polygon([(60, 190), (150, 60), (240, 190)], hex_colour("#8d6e63"))
    board.polygon([(200, 190), (300, 90), (400, 190)], hex_colour("#6d4c41"))

    def cells(outline):
        # The cells' outlines are drawn into the picture: the cell widgets themselves stay without a picture.
        for x in (160, 320):
            board.line(x, 0, x, 269, 2, outline)
        board.line(0, 135, 479, 135, 2, outline)
        for cell in range(1, 7):
            board.glyph(str(cell), 80 + 160 * ((cell - 1) % 3), 40 + 135 * ((cell - 1) // 3), 26,
                        hex_colour(DARK, 150))

    cells(hex_colour(WHITE, 200))
    for cell in range(1, 7):
        piece = board.crop(160 * ((cell - 1) % 3), 135 * ((cell - 1) // 3), 160, 135)
        piece.save(os.path.join(images, "piece%d.png" % cell))
    # The board shows the picture faintly, so that a piece put on its cell stands out in its own colours.
    board.rounded(0, 0, 479, 269, 8, hex_colour(WHITE, 175))
    cells(hex_colour("#3aa3e6", 220))
    board.save(os.path.join(images, "board.png"))
    for n, ch in enumerate(LETTERS):
        card = Canvas(120, 120)
        card.rounded(4, 8, 115, 119, 20, hex_colour("#000000", 50))
        card.rounded(4, 4, 115, 113, 20, hex_colour("#fff8e1"))
        card.rounded(10, 10, 109, 107, 15, hex_colour(PALETTE[n], 45))
        card.glyph(ch, 60, 58, 50, hex_colour(DARK))
        card.save(os.path.join(images, "letter_%s.png" % ch))
    for name, colour in (("mark.png", "#ffca28"), ("right.png", "#43b85c")):
        ring = Canvas(120, 120)
        ring.circle(60, 60, 58, hex_colour(colour))
        ring.circle(60, 60, 50, hex_colour(colour, 0))
        hole = Canvas(120, 120)
        hole.circle(60, 60, 50, hex_colour(WHITE))
        for i in range(0, len(ring.px), 4):
            ring.px[i + 3] = max(0, ring.px[i + 3] - hole.px[i + 3])
        if name == "right.png":
            ring.circle(98, 98, 18, hex_colour(colour))
            ring.line(90, 98, 96, 104, 4, hex_colour(WHITE))
            ring.line(96, 104, 106, 92, 4, hex_colour(WHITE))
        ring.save(os.path.join(images, name))


# ---------------------------------------------------------------------------------------------------------------
# Demonstration steps. A demonstration page plays "TopicAni/" + "%d%d%.2d%d%d-%d%d%d%d" (grade, phase, lesson, kind,
# topic, picture, target, step, pair) at each step; every name a page can reach gets its frames here and its
# Animations.plist entry through make-pack.py, which reads demonstration_animations(). Moving a demonstration topic
# renames its steps: the assets check then fails until make-pack.py has been run again.

DEMO_STEP_CODES = (100101, 100102, 100103, 100107, 100108, 100109)
DEMO_STEP_FRAMES, DEMO_STEP_DELAY = 4, 0.15


def pair_index(a, b):
    return {12: 1, 21: 1, 13: 2, 31: 2, 23: 3, 32: 3}.get(a * 10 + b, 0)


def demonstration_steps(data):
    """(picture, target, step, pair) of every step the page can play. A played picture hides, so each plays once; a
    drop goes to another target than the last; 100102 taps its right pictures (the target stays); 100107's chain
    taps count steps without playing one. Drags of tappable pictures are kept too: a few spare names cost nothing."""
    code, images = data["LayoutModel"], data["Images"]
    pictures, targets = len(images.get("OperImgs", [])), len(images.get("PanelImgs", []))
    right = data["Answers"][0] if data["Answers"] else list(range(1, pictures + 1))
    taps = right if code == 100102 else []
    chain = pictures if code == 100107 else 0
    found, seen, todo = set(), set(), [(frozenset(), 0, 0, 0, 0, 0)]
    while todo:
        state = todo.pop()
        used, last, picked, pair, step, ticks = state
        if state in seen or step >= data["Step"]:
            continue
        seen.add(state)
        moves = [(m, n) for m in range(1, pictures + 1) for n in range(1, targets + 1) if n != last]
        for m, n in moves + [(m, last) for m in taps]:
            if m not in used:
                now = pair_index(picked, m) if picked else pair
                found.add((m, n, step + 1, now))
                todo.append((used | {m}, n, m, now, step + 1, ticks))
        if ticks < chain:
            todo.append((used, last, picked, pair, step + 1, ticks + 1))
    return sorted(found)


def demonstration_names(identify, kinds):
    """(name, picture, target) of every demonstration step of a demo lecture."""
    grade, phase, lesson = int(identify[4:6]), int(identify[6:8]), int(identify[8:10])
    for kind, codes in enumerate(kinds, 1):
        for topic_number, code in enumerate(codes, 1):
            if code not in DEMO_STEP_CODES:
                continue
            for m, n, step, pair in demonstration_steps(demo_topic(code, type_of(code))):
                name = "%d%d%.2d%d%d-%d%d%d%d" % (grade, phase, lesson, kind, topic_number, m, n, step, pair)
                yield name, m, n


def demonstration_animations():
    """Animations.plist entries of the demonstration steps of every demo lecture."""
    entry = {"Frames": DEMO_STEP_FRAMES, "Begin": 1, "Delay": DEMO_STEP_DELAY, "Loop": 1}
    return {name: dict(entry) for identify, kinds in lectures() + catalogue_lectures()
            for name, _, _ in demonstration_names(identify, kinds)}


def demo_step_frame(path, m, n, f, size=140):
    """Frame f of picture m going onto target n (0: tapped in place): the tile flies into the place and lands."""
    c = Canvas(size, size)
    c.circle(size / 2, size / 2, size / 2 - 4, hex_colour("#fff3e0"))
    colour = PALETTE[(m - 1) % len(PALETTE)]
    t = (f - 1) / (DEMO_STEP_FRAMES - 1)
    home = (size * 0.5, size * 0.66)
    if n:
        c.rounded(size * 0.3, size * 0.46, size * 0.7, size * 0.86, 12, hex_colour("#3aa3e6", 140))
        c.rounded(size * 0.34, size * 0.5, size * 0.66, size * 0.82, 9, hex_colour(WHITE, 220))
        c.glyph(str(n), size * 0.82, size * 0.8, size * 0.14, hex_colour("#3aa3e6"))
        start = (size * 0.22, size * 0.24)
    else:
        c.circle(home[0], home[1], size * 0.2 + size * 0.06 * t, hex_colour(colour, 70))
        start = home
    if f == DEMO_STEP_FRAMES:
        c.polygon(star_points(home[0], home[1], size * 0.3, size * 0.14), hex_colour("#ffca28"))
    x, y = start[0] + (home[0] - start[0]) * t, start[1] + (home[1] - start[1]) * t
    r = size * (0.12 + 0.04 * t)
    c.rounded(x - r, y - r, x + r, y + r, 8, hex_colour(colour))
    c.glyph(str(m), x, y, r, hex_colour(WHITE))
    c.save(path)


def demonstration_frames(root, identify, kinds, drawn, done=set()):
    """Frames of the lecture's demonstration steps in its TopicAni/; drawn keeps one set per picture and target,
    drawn once per run (done)."""
    for name, m, n in demonstration_names(identify, kinds):
        folder = os.path.join(root, "TopicAni", name)
        os.makedirs(folder, exist_ok=True)
        for f in range(1, DEMO_STEP_FRAMES + 1):
            source = os.path.join(drawn, "%d-%d" % (m, n), "%d.png" % f)
            if (m, n, f) not in done:
                demo_step_frame(source, m, n, f)
                done.add((m, n, f))
            shutil.copyfile(source, os.path.join(folder, "%s%d.png" % (name, f)))


def write_package(folder, identify, kinds, media, movies):
    """The lecture's topics, a game of sums and its stand-in movies (movies/<identify>/)."""
    root = os.path.join(folder, identify)
    if os.path.isdir(root):
        shutil.rmtree(root)
    shutil.copytree(media, root)
    shutil.copytree(os.path.join(movies, identify), os.path.join(root, "mp4"))
    subject = {str(k + 1): [demo_topic(code, type_of(code)) for code in codes] for k, codes in enumerate(kinds)}
    with open(os.path.join(root, "Topic.plist"), "wb") as f:
        plistlib.dump({"Subject": subject, "Game": games.click_sums(int(identify))}, f, sort_keys=True)
    demonstration_frames(root, identify, kinds, os.path.join(folder, ".demo-steps"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True)
    parser.add_argument("--packages")
    parser.add_argument("--sound", required=True, help="a short mp3 copied as every voice of the demo")
    parser.add_argument("--movies", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "server",
                                                         "movies"), help="the lectures' stand-in movies by identify")
    args = parser.parse_args()
    layouts = os.path.join(args.out, "Layouts")
    os.makedirs(layouts, exist_ok=True)
    documents = {"TopicLayer.csb": topic_layer(), "NavSubBtns.csb": nav_sub_buttons()}
    for type_name, codes in CODES.items():
        for code in codes:
            documents["Topic%06d.csb" % code] = topic_page(type_name, code)
    for name, document in documents.items():
        with open(os.path.join(layouts, name), "w") as f:
            json.dump(document, f, indent=1)
    host_pictures(os.path.join(args.out, "Images"))
    frame_pictures(os.path.join(args.out, "Images"))
    packages = args.packages or os.path.join(args.out, "demo-topics")
    media = os.path.join(packages, ".media")
    package_media(media, args.sound)
    made = lectures()
    for identify, kinds in made:
        write_package(packages, identify, kinds, media, args.movies)
    # Lectures that moved leave no old folder behind, which the tests would take for a lecture.
    for name in os.listdir(packages):
        if name.isdigit() and name not in dict(made):
            shutil.rmtree(os.path.join(packages, name))


if __name__ == "__main__":
    main()
