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


def scene_picture(path, k, w=240, h=160):
    """A content picture: a little landscape with k things in it."""
    c = Canvas(w, h)
    c.rounded(0, 0, w - 1, h - 1, 20, hex_colour("#bfe3f7"))
    c.rounded(0, h * 0.62, w - 1, h - 1, 20, hex_colour("#8bc34a"))
    c.circle(w * 0.84, h * 0.2, h * 0.1, hex_colour("#ffca28"))
    for i in range(k):
        x = w * (i + 1) / (k + 1)
        c.polygon([(x, h * 0.3), (x + 22, h * 0.66), (x - 22, h * 0.66)], hex_colour(PALETTE[(i + k) % 12]))
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
        nav = Canvas(66, 56)
        nav.rounded(2, 4, 63, 55, 16, hex_colour(edge))
        nav.rounded(2, 2, 63, 51, 16, hex_colour(fill))
        nav.save(os.path.join(images, "Topic", name))
    page = Canvas(420, 260)
    page.rounded(0, 0, 419, 259, 26, hex_colour("#fff8e1"))
    page.rounded(0, 0, 419, 259, 26, hex_colour("#26a69a", 50))
    page.rounded(12, 12, 407, 247, 20, hex_colour("#fff8e1"))
    page.polygon([(250, 90), (330, 130), (250, 170)], hex_colour("#26a69a"))
    page.rounded(90, 118, 250, 142, 10, hex_colour("#26a69a"))
    page.save(os.path.join(images, "Topic", "NextPage.png"))


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
            node("Node", "SubNavPos%d" % kind, pos=[580, 668]) for kind in (1, 2, 3)]),
        node("ImageView", "Img_StemBg", pos=[630, 596], size=[940, 64], image="Topic/StemBg.png", scale9=True,
             capInsets=[30, 30, 30, 30]),
        node("Text", "Text_Content", pos=[630, 596], area=[780, 56], fontSize=28, textColor="#33414eff",
             hAlign="center", vAlign="center"),
        node("Button", "Btn_TopicVoice", pos=[196, 596], normal="Topic/VoiceTopic.png"),
        node("Button", "Btn_ContVoice", pos=[1064, 596], normal="Topic/VoiceContent.png", visible=False),
        node("ImageView", "Img_IP", pos=[1200, 430], size=[120, 120], visible=False),
        *[func_button(i, picture, title, 560 - 88 * i) for i, (picture, title) in enumerate(titles)],
    ]))


def nav_sub_buttons():
    """One hidden bar per subject with topics; the program shows the one of the current subject."""
    bars = []
    for subject in (1, 2, 5, 6):
        buttons = [node("Button", "Btn_NavSub%d" % i, pos=[18 + 33 + 72 * (i - 1), 36], size=[66, 56],
                        normal="Topic/SubNavTab.png", pressed="Topic/SubNavTabOn.png", visible=False, children=[
                            node("Text", "Text_Title", pos=[33, 28], area=[64, 50], fontSize=13, hAlign="center",
                                 vAlign="center")])
                   for i in range(1, MAX_TOPICS_PER_KIND + 1)]
        bars.append(node("ImageView", "Img_SubNavBg%d" % subject, pos=[580, 668], size=[400, 72],
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
    "SpecialTopic": {"BgImg": 1, "ContImg": 3, "PanelImg": 8, "OperImg": 12, "AnswerImg": 16, "AniImg": 1,
                     "ResultImg": 2},
}
# Rows from the top of the content area: family -> y, and the x spread.
ROW_Y = {"ContImg": 420, "AniImg": 420, "PanelImg": 430, "BgImg": 330, "OperImg": 170, "AnswerImg": 170,
         "ResultImg": 330}
# Half the width over which a family's row is spread.
ROW_HALF_WIDTH = {"ContImg": 180}
# Rows of the drag pages (targets in the middle, pictures below), and the single stage of the reveal pages above
# their pictures, which 201 centres in the content area.
TYPE_ROWS = {"ShowAnswer": {"AniImg": (480, 440)},
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
    501: {"OperImg": [(0, 105)] * 6, "PanelImg": [(0, 440)] * 2},
    507: {"ContImg": [(0, 560)] * 3},
    509: {"PanelImg": [(400, 340), (630, 340), (860, 340)]},
    502: {"OperImg": [(230, 0)] * 6, "PanelImg": [(520, 300), (740, 300), (960, 300)]},
    505: {"OperImg": [(230, 0)] * 6, "PanelImg": [(470, 320), (660, 320), (850, 320), (1040, 320)]},
}
TAG_BASE = {"OperImg": 10000, "PanelImg": 20000}


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
            widgets.append(node("ImageView", "%s%d" % (family, i), children=children, **keys))
    if type_name == "SpecialTopic":
        widgets += [node("Text", "Content%d" % i, pos=[460 + 340 * (i - 1), 120], fontSize=40,
                         textColor="#33414eff") for i in (1, 2)]
        widgets += [node("Node", "PosNode%d" % i, pos=[round(spread(8, i - 1)), 440]) for i in range(1, 9)]
    return widgets


def topic_page(type_name, code):
    return layout(node("Node", size=[WIDTH, HEIGHT], children=[
        node("Panel", "Panel_Content", pos=list(CONTENT_CENTRE), anchor=[0.5, 0.5], size=list(CONTENT_SIZE)),
        *family_widgets(type_name, code),
        node("ImageView", "NextImg1", pos=list(CONTENT_CENTRE), image="Topic/NextPage.png", visible=False),
    ]))


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
}


# ---------------------------------------------------------------------------------------------------------------
# Demo topic data


def topic(code, stem, images, step=0, answers=None, contents=None, auto=(1, 1, 4), right="", wrong="",
          ani_dubbing=None, result_image=False):
    data = {
        "LayoutModel": code,
        "Title": "",
        "Stem": stem,
        "FuncBtns": "0&1&2&3&4&5",
        "Dubbing": "voice_q.mp3",
        "ContentDubbing": ["voice_c%d.mp3" % i for i in range(1, max(step, 1) + 1)],
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
    return topic(code, "Find the pictures with an even number.", images, step, answers, contents,
                 right="TopicRight" if configured else "", wrong="TopicWrong" if configured else "",
                 result_image=configured)


def shizi_topic(code):
    images = {"OperImgs": ["char%d.png" % k for k in (1, 2, 3)]}
    if code == 320201:
        images["AnswerImgs"] = ["answer%d.png" % k for k in (1, 2, 3)]
        return topic(code, "Tap each character to see its answer.", images, 3)
    images["AniImgs"] = ["char%d.png" % k for k in (1, 2, 3)]
    return topic(code, "Tap a character to watch it.", images, 3,
                 contents=["TopicAni%d" % k for k in (1, 2, 3)], ani_dubbing=["voice_a%d.mp3" % k for k in (1, 2, 3)])


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
        return topic(code, "Move each picture to its place.", dict(base, AnswerImgs=["answer1.png", "answer2.png"]),
                     3, [[2, 1, 3]])
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


def generic_topic(code):
    return topic(code, "Look at the pictures.", {"OperImgs": shapes(4), "PanelImgs": shapes(4, 5)}, 0)


def demo_topic(code, type_name):
    if type_name == "SingleTopic":
        return topic(code, "Look at the three pictures.", {"ContImgs": ["scene1.png", "scene2.png", "scene3.png"]},
                     0, auto=(1, 1, 3))
    if type_name == "ShowAnswer":
        return show_answer_topic(code)
    if type_name == "ShiZiTopic":
        return shizi_topic(code)
    if type_name == "DragImage":
        return drag_image_topic(code)
    if type_name == "DemoTopic":
        return demo_topic_page(code)
    return generic_topic(code)


# Demo lectures: identify code, name, the codes of kinds 1, 2 and 3.
def lectures():
    ordered = [code for type_name in CODES for code in CODES[type_name]]
    groups, size = [], 3 * MAX_TOPICS_PER_KIND
    for start in range(0, len(ordered), size):
        groups.append(ordered[start:start + size])
    result = []
    for n, group in enumerate(groups):
        third = (len(group) + 2) // 3
        kinds = [group[0:third], group[third:2 * third], group[2 * third:]]
        result.append(("01010102%02d" % (n + 7), kinds))
    return result


def type_of(code):
    for type_name, codes in CODES.items():
        if code in codes:
            return type_name
    raise KeyError(code)


def package_media(root, sounds):
    """The pictures, animation frames and voices every demo package carries."""
    images = os.path.join(root, "TopicImg")
    for k in range(1, 13):
        shape_picture(os.path.join(images, "shape%d.png" % k), k)
    for k in range(1, 5):
        answer_picture(os.path.join(images, "answer%d.png" % k), k)
        scene_picture(os.path.join(images, "scene%d.png" % k), k)
    for k in (1, 2, 3):
        char_picture(os.path.join(images, "char%d.png" % k), k)
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
    stage = Canvas(160, 160)
    stage.circle(80, 80, 74, hex_colour("#fff3e0"))
    stage.polygon(star_points(80, 80, 60, 26), hex_colour("#ffca28"))
    stage.save(os.path.join(images, "stage.png"))
    for k in range(1, 7):
        for n in range(1, 5):
            frame_picture(os.path.join(root, "TopicAni", "TopicAni%d" % k, "TopicAni%d%d.png" % (k, n)), k, n, 4)
    mp3 = os.path.join(root, "mp3")
    os.makedirs(mp3, exist_ok=True)
    names = ["voice_q.mp3"] + ["voice_c%d.mp3" % i for i in range(1, 5)] + ["voice_a%d.mp3" % i for i in range(1, 5)]
    for name in names:
        shutil.copyfile(sounds, os.path.join(mp3, name))


def write_package(folder, identify, kinds, media):
    root = os.path.join(folder, identify)
    if os.path.isdir(root):
        shutil.rmtree(root)
    shutil.copytree(media, root)
    subject = {str(k + 1): [demo_topic(code, type_of(code)) for code in codes] for k, codes in enumerate(kinds)}
    with open(os.path.join(root, "Topic.plist"), "wb") as f:
        plistlib.dump({"Subject": subject}, f, sort_keys=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True)
    parser.add_argument("--packages")
    parser.add_argument("--sound", required=True, help="a short mp3 copied as every voice of the demo")
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
    packages = args.packages or os.path.join(args.out, "demo-topics")
    media = os.path.join(packages, ".media")
    package_media(media, args.sound)
    for identify, kinds in lectures():
        write_package(packages, identify, kinds, media)


if __name__ == "__main__":
    main()
