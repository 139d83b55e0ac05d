#!/usr/bin/env python3
"""Draws the demo server's pictures into its data folder: course-type and subject icons, the institution logo and
the pupils' head pictures, under the names the catalogue files give them.

Needs Python 3 and ImageMagick (`convert`); the build does not: the pictures are committed.

    scripts/make-server-pictures.py [--data DIR]
"""

import argparse
import importlib.machinery
import json
import math
import os
import shutil
import subprocess
import sys
import types


def load_pack_tool():
    """make-pack.py as a module (its file name is not an importable one)."""
    here = os.path.dirname(os.path.abspath(__file__))
    sys.dont_write_bytecode = True  # no caches beside the scripts
    loader = importlib.machinery.SourceFileLoader("make_pack", os.path.join(here, "make-pack.py"))
    module = types.ModuleType(loader.name)
    loader.exec_module(module)
    return module


pack = load_pack_tool()
BLUE, GREEN, RED, ORANGE, YELLOW = pack.BLUE, pack.GREEN, pack.RED, pack.ORANGE, pack.YELLOW
PURPLE, PINK, WHITE, DARK, LIGHT_BLUE = pack.PURPLE, pack.PINK, pack.WHITE, pack.DARK, pack.LIGHT_BLUE
with_alpha, star_points, rotate, arc_points = pack.with_alpha, pack.star_points, pack.rotate, pack.arc_points

# The font the client draws its own texts with, so the names on the icons match the screens around them.
UI_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
FALLBACK_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


# ---------------------------------------------------------------------------------------------------------------
# Colours

def rgb(colour):
    return tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))


def mix(colour, other, t):
    """colour moved the fraction t towards other."""
    a, b = rgb(colour), rgb(other)
    return "#%02x%02x%02x" % tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def lighter(colour, t):
    return mix(colour, WHITE, t)


def darker(colour, t):
    return mix(colour, "#000000", t)


def greyed(colour):
    """A locked picture's grey for colour: brightness kept but squeezed towards the light end, alpha kept."""
    if not colour.startswith("#"):
        return colour
    r, g, b = rgb(colour)
    level = int(round(70 + (0.299 * r + 0.587 * g + 0.114 * b) * (232 - 70) / 255.0))
    return "#%02x%02x%02x" % (level, level, level) + colour[7:]


# ---------------------------------------------------------------------------------------------------------------
# Drawing

class Picture(pack.Canvas):
    """make-pack's canvas with a colour filter (tone), texts in any font and a round clip."""

    def __init__(self, width, height, tone=None):
        super().__init__(width, height)
        self.tone = tone or (lambda colour: colour)

    def _shape(self, primitive, fill="none", stroke="none", width=0, style=""):
        super()._shape(primitive, self.tone(fill), self.tone(stroke), width, style)

    def label(self, cx, cy, text, size, fill, font=UI_FONT, weight=0.0, kerning=0):
        """Text centred at (cx, cy); weight thickens the strokes of a font that has no bold face."""
        fill = self.tone(fill)
        self.ops += ["-font", font_or_fallback(font), "-gravity", "center", "-pointsize", str(size),
                     "-kerning", str(kerning), "-fill", fill, "-stroke", fill if weight else "none",
                     "-strokewidth", str(weight),
                     "-annotate", "%+d%+d" % (round(cx - self.width / 2.0), round(cy - self.height / 2.0)), text,
                     "-gravity", "none", "-kerning", "0"]

    def clip_circle(self, cx, cy, r):
        self.ops += ["(", "-size", "%dx%d" % (self.width, self.height), "xc:none", "-fill", "white", "-stroke",
                     "none", "-draw", "circle %.1f,%.1f %.1f,%.1f" % (cx, cy, cx + r, cy), ")", "-compose", "DstIn",
                     "-composite", "-compose", "Over"]


def font_or_fallback(font):
    return font if os.path.exists(font) else FALLBACK_FONT


def text_width(text, size, font=UI_FONT, kerning=0):
    result = subprocess.run(["convert", "-font", font_or_fallback(font), "-pointsize", str(size), "-kerning",
                             str(kerning), "label:" + text, "-format", "%w", "info:"],
                            check=True, capture_output=True, text=True)
    return int(result.stdout)


def fitting_size(text, width, largest, font=UI_FONT):
    size = largest
    while size > 10 and text_width(text, size, font) > width:
        size -= 1
    return size


# ---------------------------------------------------------------------------------------------------------------
# Emblems: drawn about (x, y) within a radius of about 38 px, on a white disc

def emblem_blackboard(c, x, y, colour):
    c.line([(x - 24, y + 14), (x - 30, y + 36)], "#8d6e63", 5)
    c.line([(x + 24, y + 14), (x + 30, y + 36)], "#8d6e63", 5)
    c.rect(x - 38, y - 28, x + 38, y + 20, 5, "#a1887f", "#6d4c41", 2)
    c.rect(x - 33, y - 23, x + 33, y + 15, 3, "#2e6b4f")
    c.label(x, y - 5, "1+2", 22, WHITE, weight=0.6)
    c.rect(x - 30, y + 19, x + 30, y + 24, 2, "#6d4c41")
    c.rect(x + 8, y + 15, x + 18, y + 19, 1, WHITE)


def open_book(c, x, y, cover, page=WHITE):
    c.poly([(x - 40, y - 18), (x, y - 10), (x + 40, y - 18), (x + 40, y + 26), (x, y + 32), (x - 40, y + 26)], cover)
    c.poly([(x - 36, y - 24), (x - 2, y - 16), (x - 2, y + 24), (x - 36, y + 18)], page, "#b0bec5", 1.5)
    c.poly([(x + 36, y - 24), (x + 2, y - 16), (x + 2, y + 24), (x + 36, y + 18)], page, "#b0bec5", 1.5)


def emblem_picture_book(c, x, y, colour):
    open_book(c, x, y - 2, darker(colour, 0.15))
    c.circle(x - 26, y - 12, 5, YELLOW, ORANGE, 1.5)
    c.poly([(x - 34, y + 14), (x - 24, y - 2), (x - 16, y + 8), (x - 10, y + 2), (x - 4, y + 18)], GREEN)
    for k in range(4):
        c.line([(x + 8, y - 10 + 8 * k), (x + 30, y - 14 + 8 * k)], "#b0bec5", 2.5)


def emblem_read_aloud(c, x, y, colour):
    open_book(c, x - 6, y + 6, darker(colour, 0.15))
    for k, r in enumerate((8, 14, 20)):
        c.line(arc_points(x + 18, y - 16, r, -70, 20), with_alpha(colour, 1.0 - 0.25 * k), 3)


def emblem_night_sky(c, x, y, colour):
    c.circle(x, y, 38, "#2c3e75")
    c.circle(x - 6, y + 2, 22, YELLOW)
    c.circle(x + 6, y - 6, 20, "#2c3e75")
    c.poly(star_points(x + 18, y + 14, 8, 3.5), YELLOW)
    c.poly(star_points(x + 20, y - 20, 5, 2.2), WHITE)
    c.poly(star_points(x - 20, y - 24, 4, 1.8), WHITE)


def die(c, x, y, size, turn, fill, edge, dots, pips):
    h = size / 2.0
    c.poly(rotate([(x - h, y - h), (x + h, y - h), (x + h, y + h), (x - h, y + h)], x, y, turn), fill, edge, 5)
    spots = {1: [(0, 0)], 2: [(-1, -1), (1, 1)], 3: [(-1, -1), (0, 0), (1, 1)],
             5: [(-1, -1), (1, -1), (0, 0), (-1, 1), (1, 1)]}[pips]
    for dx, dy in spots:
        px, py = rotate([(x + dx * h * 0.5, y + dy * h * 0.5)], x, y, turn)[0]
        c.circle(px, py, size * 0.09, dots)


def emblem_dice(c, x, y, colour):
    die(c, x - 14, y + 6, 38, -14, WHITE, "#90a4ae", RED, 5)
    die(c, x + 16, y - 10, 34, 12, colour, darker(colour, 0.25), WHITE, 3)


def emblem_hourglass(c, x, y, colour):
    c.poly([(x - 22, y - 26), (x + 22, y - 26), (x + 3, y), (x + 22, y + 26), (x - 22, y + 26), (x - 3, y)],
           with_alpha(LIGHT_BLUE, 0.9), "#78909c", 2)
    c.poly([(x - 14, y - 18), (x + 14, y - 18), (x, y - 4)], YELLOW)
    c.poly([(x, y + 10), (x + 16, y + 24), (x - 16, y + 24)], YELLOW)
    c.line([(x, y - 2), (x, y + 12)], YELLOW, 2)
    for top in (y - 34, y + 26):
        c.rect(x - 30, top, x + 30, top + 8, 3, "#8d6e63", "#6d4c41", 1.5)


def emblem_sums(c, x, y, colour):
    for (dx, dy), fill, sign in zip([(-15, -15), (15, -15), (-15, 15), (15, 15)], [RED, BLUE, GREEN, ORANGE],
                                    ["+", "\u2212", "\u00d7", "="]):
        c.rect(x + dx - 13, y + dy - 13, x + dx + 13, y + dy + 13, 6, fill, darker(fill, 0.2), 2)
        c.label(x + dx, y + dy, sign, 24, WHITE, FALLBACK_FONT)


def emblem_speech(c, x, y, colour):
    c.poly([(x - 16, y + 14), (x - 26, y + 32), (x - 2, y + 16)], colour)
    c.rect(x - 38, y - 28, x + 38, y + 18, 16, colour)
    c.label(x, y - 6, "Abc", 28, WHITE, weight=0.8)


def emblem_flask(c, x, y, colour):
    outline = [(x - 8, y - 34), (x + 8, y - 34), (x + 8, y - 10), (x + 28, y + 24), (x + 24, y + 30), (x - 24, y + 30),
               (x - 28, y + 24), (x - 8, y - 10)]
    c.poly(outline, with_alpha(LIGHT_BLUE, 0.6))
    c.poly([(x - 17, y + 6), (x + 17, y + 6), (x + 28, y + 24), (x + 24, y + 30), (x - 24, y + 30), (x - 28, y + 24)],
           "#66bb6a")
    c.poly(outline, "none", "#607d8b", 3)
    c.line([(x - 12, y - 34), (x + 12, y - 34)], "#607d8b", 4)
    for bx, by, r in [(x - 6, y + 18, 4), (x + 8, y + 12, 3), (x + 2, y - 2, 2.5), (x + 14, y - 20, 3.5),
                      (x + 22, y - 32, 2.5)]:
        c.circle(bx, by, r, WHITE, "#90a4ae", 1)


def emblem_framed_picture(c, x, y, colour):
    c.rect(x - 36, y - 30, x + 30, y + 22, 4, "#a1887f", "#6d4c41", 2)
    c.rect(x - 30, y - 24, x + 24, y + 16, 2, "#b3e5fc")
    c.circle(x + 10, y - 12, 6, YELLOW)
    c.poly([(x - 30, y + 16), (x - 30, y + 2), (x - 14, y - 10), (x + 2, y + 6), (x + 10, y), (x + 24, y + 10),
            (x + 24, y + 16)], GREEN)
    c.line([(x + 22, y + 20), (x + 36, y + 34)], "#6d4c41", 7)
    c.circle(x + 14, y + 12, 13, with_alpha(WHITE, 0.55), DARK, 4)


def emblem_castle(c, x, y, colour):
    y += 4
    wall = darker(colour, 0.05)
    c.rect(x - 22, y - 12, x + 22, y + 30, 1, wall)
    for tx in (x - 30, x + 30):
        c.rect(tx - 9, y - 20, tx + 9, y + 30, 1, darker(colour, 0.2))
        c.poly([(tx - 12, y - 20), (tx, y - 38), (tx + 12, y - 20)], RED)
    c.poly([(x - 24, y - 12), (x, y - 32), (x + 24, y - 12)], RED)
    c.line([(x, y - 32), (x, y - 42)], DARK, 2)
    c.poly([(x, y - 42), (x + 11, y - 38), (x, y - 34)], YELLOW)
    c.rect(x - 8, y + 10, x + 8, y + 30, 1, "#6d4c41")
    c.circle(x, y + 10, 8, "#6d4c41")
    c.circle(x - 30, y - 6, 3.5, YELLOW)
    c.circle(x + 30, y - 6, 3.5, YELLOW)


def emblem_controller(c, x, y, colour):
    body = darker(colour, 0.1)
    c.circle(x - 22, y + 8, 16, body)
    c.circle(x + 22, y + 8, 16, body)
    c.rect(x - 26, y - 14, x + 26, y + 14, 12, body)
    c.rect(x - 29, y - 2, x - 15, y + 4, 1, DARK)
    c.rect(x - 25, y - 6, x - 19, y + 8, 1, DARK)
    for (dx, dy), fill in zip([(20, -6), (28, 2), (20, 10), (12, 2)], [YELLOW, RED, GREEN, BLUE]):
        c.circle(x + dx, y + dy, 4, fill, WHITE, 1.5)


def emblem_star(c, x, y, colour):
    c.poly(star_points(x, y + 2, 34, 15), YELLOW, ORANGE, 3)


TYPE_LOOKS = {
    1: ("#3a8ee6", emblem_blackboard),
    2: ("#f29a2e", emblem_picture_book),
    3: ("#7e5bd6", emblem_night_sky),
    4: ("#3fb56b", emblem_dice),
    5: ("#e0607e", emblem_hourglass),
}
SUBJECT_LOOKS = {
    1: ("#3aa3e6", emblem_sums),
    2: ("#ef6a5a", emblem_speech),
    3: ("#43b85c", emblem_flask),
    4: ("#f5a623", emblem_framed_picture),
    5: ("#9b6ad6", emblem_castle),
    6: ("#1fb5a8", emblem_controller),
    7: ("#e0607e", emblem_read_aloud),
}
OTHER_LOOK = ("#5c8db8", emblem_star)


# ---------------------------------------------------------------------------------------------------------------
# Icons: a card sized for the course and subject pages (at most 240 x 200 a slot)

CARD_SIZE = (220, 180)
CARD_BOX = (10, 8, 210, 168)
LABEL_BOX = (16, 124, 204, 158)
# Room left free on each side of a label's text inside its pill.
LABEL_MARGIN = 18
EMBLEM_CENTRE = (110, 68)


def padlock(c, x, y):
    c.circle(x, y, 21, "#546e7a", WHITE, 3)
    c.line(arc_points(x, y - 4, 7, 180, 360), WHITE, 3.5)
    c.line([(x - 7, y - 4), (x - 7, y)], WHITE, 3.5)
    c.line([(x + 7, y - 4), (x + 7, y)], WHITE, 3.5)
    c.rect(x - 11, y - 1, x + 11, y + 13, 3, WHITE)
    c.circle(x, y + 5, 2.5, "#546e7a")


def card(name, colour, emblem, state):
    """state "normal", "selected" (brighter, ringed) or "locked" (grey, padlocked)."""
    c = Picture(*CARD_SIZE, tone=greyed if state == "locked" else None)
    x0, y0, x1, y1 = CARD_BOX
    body = lighter(colour, 0.12) if state == "selected" else colour
    c.rect(x0, y0 + 5, x1, y1 + 5, 20, with_alpha("#000000", 0.18))
    if state == "selected":
        c.rect(x0 - 5, y0 - 5, x1 + 5, y1 + 5, 25, "none", YELLOW, 6)
    c.rect(x0, y0, x1, y1, 20, body, darker(colour, 0.2), 3)
    c.rect(x0 + 7, y0 + 6, x1 - 7, y0 + 52, 15, with_alpha(WHITE, 0.16))
    cx, cy = EMBLEM_CENTRE
    c.circle(cx, cy, 47, WHITE, darker(colour, 0.15), 3)
    emblem(c, cx, cy, colour)
    lx0, ly0, lx1, ly1 = LABEL_BOX
    c.rect(lx0, ly0, lx1, ly1, 14, WHITE)
    size = fitting_size(name, lx1 - lx0 - 2 * LABEL_MARGIN, 22)
    c.label((lx0 + lx1) / 2.0, (ly0 + ly1) / 2.0 - 1, name, size, DARK, weight=0.5)
    if state == "selected":
        for sx, sy, r in [(x1 - 12, y0 + 10, 10), (x0 + 12, y1 - 52, 7)]:
            c.poly(star_points(sx, sy, r, r * 0.35, 4), WHITE, YELLOW, 1.5)
    if state == "locked":
        padlock(c, x1 - 22, y0 + 22)
    return c


def icon_path(files, address):
    """The file of an address "/files/<path>" in the data folder's files/."""
    prefix = "/files/"
    if not address.startswith(prefix) or ".." in address:
        sys.exit("make-server-pictures: %s is not under %s" % (address, prefix))
    return os.path.join(files, address[len(prefix):])


def make_icons(data, files):
    with open(os.path.join(data, "courseIcons.json"), encoding="utf-8") as source:
        icons = json.load(source)
    entries = [(entry, entry["typeName"], TYPE_LOOKS.get(entry["typeCode"], OTHER_LOOK))
               for entry in icons["typeList"]]
    entries += [(entry, entry["subjectName"], SUBJECT_LOOKS.get(entry["subjectCode"], OTHER_LOOK))
                for entry in icons["subjectList"]]
    for entry, name, (colour, emblem) in entries:
        for key, state in [("iconNormal", "normal"), ("iconSelected", "selected"), ("iconLocked", "locked")]:
            card(name, colour, emblem, state).save(icon_path(files, entry[key]))


# ---------------------------------------------------------------------------------------------------------------
# The institution logo: 220 x 66, the size of its place on the login screen

def crest(c, x, y):
    """A shield 40 x 50 whose top left is (x, y): a star over a river."""
    curve = [(x + 20 + 20 * math.cos(math.radians(a)), y + 26 + 24 * math.sin(math.radians(a)))
             for a in range(0, 181, 15)]
    shield = [(x, y), (x + 40, y)] + curve + [(x, y)]
    c.poly(shield, "#2f6fb5", "#f5b700", 3)
    for k, (dy, inset) in enumerate([(28, 4), (37, 6)]):
        wave = [(x + t, y + dy + 2.5 * math.sin(t / 5.0 + k)) for t in range(inset, 41 - inset, 3)]
        c.line(wave, WHITE if k == 0 else LIGHT_BLUE, 3)
    c.poly(star_points(x + 20, y + 14, 8, 3.5), YELLOW)


def make_logo(data, files):
    with open(os.path.join(data, "institution.json"), encoding="utf-8") as source:
        institutions = json.load(source)["institutions"]
    for institution in institutions:
        words = institution["name"].split(" ", 1)
        c = Picture(220, 66)
        c.rect(2, 2, 217, 63, 16, with_alpha(WHITE, 0.92), "#9fc9e6", 3)
        crest(c, 14, 8)
        text_x = (64 + 210) / 2.0
        first = fitting_size(words[0], 146, 27)
        c.label(text_x, 24, words[0], first, "#1f4e79", weight=0.7)
        if len(words) > 1:
            second = words[1].upper()
            c.label(text_x, 48, second, fitting_size(second, 146, 15), "#2a8f84", weight=0.3, kerning=3)
        c.save(icon_path(files, institution["logo"]))


# ---------------------------------------------------------------------------------------------------------------
# Pupils' head pictures: 96 x 96 faces on round backgrounds, the size of the larger head frame

BACKGROUNDS = ["#bbdefb", "#c8e6c9", "#ffe0b2", "#f8bbd0", "#d1c4e9", "#b2ebf2", "#fff59d"]
SKINS = ["#ffe0c2", "#f1c27d", "#e0ac69", "#c68642", "#8d5524", "#ffd3b4"]
HAIRS = ["#6d4c41", "#2b2b2b", "#e8b64c", "#c1582b", "#4e342e"]
SHIRTS = [BLUE, RED, GREEN, ORANGE, PURPLE, "#1fb5a8", PINK]
GIRL_STYLES = ["long", "bunches", "bob", "long_bow"]
BOY_STYLES = ["short", "spiky", "curly", "short_glasses"]


def hair_back(c, style, hair):
    if style.startswith("long"):
        c.ellipse(48, 58, 31, 34, hair)
    elif style == "bob":
        c.ellipse(48, 52, 31, 28, hair)
    elif style == "bunches":
        for side in (-1, 1):
            c.circle(48 + side * 30, 54, 11, hair)
            c.circle(48 + side * 24, 50, 3, RED)


def hair_front(c, style, hair):
    if style in ("short", "short_glasses"):
        c.ellipse(48, 40, 27, 19, hair, start=180, end=360)
        c.poly([(21, 40), (34, 30), (52, 36), (70, 28), (75, 40)], hair)
    elif style == "spiky":
        c.ellipse(48, 40, 27, 17, hair, start=180, end=360)
        spikes = [(21, 42)] + [(24 + 8 * k + 4, 18 if k % 2 == 0 else 28) for k in range(7)] + [(75, 42)]
        c.poly(spikes, hair)
    elif style == "curly":
        for k in range(7):
            a = math.radians(190 + k * 26.5)
            c.circle(48 + 24 * math.cos(a), 44 + 22 * math.sin(a), 9, hair)
    else:
        c.ellipse(48, 40, 28, 20, hair, start=180, end=360)
        c.poly([(20, 44), (28, 30), (46, 34), (62, 26), (76, 44), (72, 34)], hair)
        if style == "long_bow":
            c.poly([(60, 20), (72, 13), (72, 27)], RED)
            c.poly([(60, 20), (50, 12), (50, 28)], RED)
            c.circle(60, 20, 3.5, "#b71c1c")


def head(look):
    c = Picture(96, 96)
    c.circle(48, 48, 47, look["background"])
    hair_back(c, look["style"], look["hair"])
    c.ellipse(48, 98, 34, 22, look["shirt"])
    c.rect(42, 70, 54, 80, 3, look["skin"])
    for side in (-1, 1):
        c.circle(48 + side * 25, 52, 5.5, look["skin"], darker(look["skin"], 0.12), 1)
    c.ellipse(48, 52, 25, 27, look["skin"], darker(look["skin"], 0.12), 1)
    hair_front(c, look["style"], look["hair"])
    for side in (-1, 1):
        c.line([(48 + side * 6, 42), (48 + side * 14, 41)], darker(look["hair"], 0.2), 2)
        c.circle(48 + side * 10, 50, 3.3, DARK)
        c.circle(48 + side * 10 + 1, 49, 1, WHITE)
        c.circle(48 + side * 16, 59, 4, with_alpha("#ff8a80", 0.55))
    if look["style"].endswith("glasses"):
        for side in (-1, 1):
            c.circle(48 + side * 10, 50, 7, "none", DARK, 2)
        c.line([(45, 50), (51, 50)], DARK, 2)
    c.line(arc_points(48, 58, 8, 25, 155, 6), "#c0392b", 2.5)
    c.clip_circle(48, 48, 47)
    return c


def make_heads(data, files):
    with open(os.path.join(data, "students.json"), encoding="utf-8") as source:
        students = json.load(source)
    pupils = [p for group in students["classes"].values() for p in group] + students.get("otherClasses", [])
    pupils = sorted((p for p in pupils if p["pic"].startswith("/files/heads/")), key=lambda p: p["id"])
    for k, pupil in enumerate(pupils):
        girl = pupil["sex"] == "2"
        styles = GIRL_STYLES if girl else BOY_STYLES
        look = {"background": BACKGROUNDS[k % len(BACKGROUNDS)], "skin": SKINS[(k * 2 + 1) % len(SKINS)],
                "hair": HAIRS[(k * 3) % len(HAIRS)], "shirt": SHIRTS[(k * 5 + 2) % len(SHIRTS)],
                "style": styles[(k // 2) % len(styles)]}
        head(look).save(icon_path(files, pupil["pic"]))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", default=os.path.join(here, "..", "server", "data"), help="the data folder to fill")
    args = parser.parse_args()
    if shutil.which("convert") is None:
        sys.exit("make-server-pictures: convert is not installed")
    data = os.path.abspath(args.data)
    files = os.path.join(data, "files")
    make_icons(data, files)
    make_logo(data, files)
    make_heads(data, files)


if __name__ == "__main__":
    main()
