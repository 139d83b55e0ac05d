#!/usr/bin/env python3
"""Draws the demo picture lectures' pages ("1.png", "2.png", ... in their packages) and the pictures of the simple
question game that the demo server offers under "files/simple/".

Needs Python 3 and ImageMagick (`convert`); the build does not: the pictures are committed.

    scripts/make-picture-book.py [--server DIR]
"""

import argparse
import importlib.machinery
import os
import sys
import types


def load_pack_tool():
    """make-pack.py as a module (its file name is not an importable one)."""
    here = os.path.dirname(os.path.abspath(__file__))
    sys.dont_write_bytecode = True
    loader = importlib.machinery.SourceFileLoader("make_pack", os.path.join(here, "make-pack.py"))
    module = types.ModuleType(loader.name)
    loader.exec_module(module)
    return module


pack = load_pack_tool()
Canvas = pack.Canvas
W, H = 1280, 720
INK = "#3b2f2f"

# Book 1: a cat's day, one scene a page; books 2 and 3 (grade 2): a few pages of the same style.
BOOKS = {
    "0204010101": [
        ("The Cat's Day", "#ffe9b0", "sun", "cover"),
        ("The sun comes up.", "#ffd8a8", "sun", "sleep"),
        ("Mimi wakes and stretches.", "#bfe3f8", "sun", "stand"),
        ("Mimi plays with a red ball.", "#c8efc0", "sun", "ball"),
        ("Mimi meets a friendly dog.", "#bfe3f8", "cloud", "dog"),
        ("Fish for dinner!", "#ffd0c0", "sun", "fish"),
        ("Good night, Mimi.", "#2c3e6b", "moon", "sleep"),
    ],
    "0204010102": [
        ("Colours Around Us", "#e8d8ff", "sun", "cover"),
        ("Red, green and blue balls.", "#c8efc0", "cloud", "balls"),
    ],
    "0204020101": [
        ("Mimi's Friends", "#ffe9b0", "sun", "cover"),
        ("Mimi meets a dog.", "#c8efc0", "cloud", "dog"),
        ("Mimi finds a fish.", "#bfe3f8", "sun", "fish"),
    ],
}


def cat(c, x, y, s, colour="#f5a623", sleeping=False):
    """A sitting cat with its body centred at (x, y), s its size."""
    c.ellipse(x, y, s * 0.55, s * 0.45, colour, INK, 4)
    c.circle(x + s * 0.45, y - s * 0.45, s * 0.32, colour, INK, 4)
    hx, hy = x + s * 0.45, y - s * 0.45
    c.poly([(hx - s * 0.28, hy - s * 0.15), (hx - s * 0.2, hy - s * 0.5), (hx - s * 0.02, hy - s * 0.28)], colour,
           INK, 4)
    c.poly([(hx + s * 0.28, hy - s * 0.15), (hx + s * 0.2, hy - s * 0.5), (hx + s * 0.02, hy - s * 0.28)], colour,
           INK, 4)
    if sleeping:
        c.line([(hx - s * 0.16, hy), (hx - s * 0.04, hy)], INK, 4)
        c.line([(hx + s * 0.04, hy), (hx + s * 0.16, hy)], INK, 4)
    else:
        c.circle(hx - s * 0.11, hy - s * 0.02, s * 0.05, INK)
        c.circle(hx + s * 0.11, hy - s * 0.02, s * 0.05, INK)
    c.circle(hx, hy + s * 0.1, s * 0.04, "#e5533d")
    c.line([(x - s * 0.5, y), (x - s * 0.85, y - s * 0.35), (x - s * 0.7, y - s * 0.6)], INK, 6)


def dog(c, x, y, s):
    c.ellipse(x, y, s * 0.6, s * 0.4, "#b07a4a", INK, 4)
    c.circle(x - s * 0.5, y - s * 0.4, s * 0.33, "#b07a4a", INK, 4)
    c.ellipse(x - s * 0.78, y - s * 0.35, s * 0.12, s * 0.28, "#6d4526", INK, 3)
    c.ellipse(x - s * 0.22, y - s * 0.35, s * 0.12, s * 0.28, "#6d4526", INK, 3)
    c.circle(x - s * 0.6, y - s * 0.45, s * 0.05, INK)
    c.circle(x - s * 0.4, y - s * 0.45, s * 0.05, INK)
    c.ellipse(x - s * 0.5, y - s * 0.28, s * 0.09, s * 0.06, INK)
    c.line([(x + s * 0.55, y - s * 0.1), (x + s * 0.85, y - s * 0.45)], INK, 6)


def fish(c, x, y, s, colour="#3aa3e6"):
    c.ellipse(x, y, s * 0.55, s * 0.3, colour, INK, 4)
    c.poly([(x + s * 0.5, y), (x + s * 0.9, y - s * 0.3), (x + s * 0.9, y + s * 0.3)], colour, INK, 4)
    c.circle(x - s * 0.3, y - s * 0.05, s * 0.06, INK)


def ball(c, x, y, r, colour):
    c.circle(x, y, r, colour, INK, 4)
    c.ellipse(x - r * 0.35, y - r * 0.35, r * 0.25, r * 0.15, pack.with_alpha("#ffffff", 0.7))


def page(path, caption, sky, light, scene):
    c = Canvas(W, H)
    night = light == "moon"
    if light == "sun":
        c.circle(1090, 150, 70, "#ffd84d", "#f5a623", 6)
    elif light == "moon":
        c.circle(1090, 150, 60, "#fff6c8")
        c.circle(1120, 130, 55, sky)
        for x, y in ((200, 120), (420, 80), (720, 160), (900, 90), (560, 230)):
            c.circle(x, y, 5, "#fff6c8")
    else:
        for dx in (0, 60, 120):
            c.circle(980 + dx, 150, 50, "#ffffff")
    # The viewer's thumbnail strip lies over the bottom 150 pixels: the scene stands above it.
    c.ellipse(300, 700, 700, 300, "#5f9e4f" if night else "#7cc36a")
    c.ellipse(1000, 720, 600, 280, "#4f8a42" if night else "#6ab35a")
    if scene == "cover":
        c.rect(240, 150, 1040, 560, 40, pack.with_alpha("#ffffff", 0.85), INK, 6)
        c.text(0, -150, caption, 64, INK)
        cat(c, 560, 440, 140)
        fish(c, 820, 450, 90)
    else:
        cat(c, 560, 440, 150, sleeping=scene == "sleep")
        if scene == "ball":
            ball(c, 860, 500, 50, "#e5533d")
        elif scene == "dog":
            dog(c, 930, 460, 150)
        elif scene == "fish":
            c.ellipse(880, 530, 120, 30, "#ffffff", INK, 4)
            fish(c, 860, 500, 80, "#f28cb1")
        elif scene == "balls":
            for x, colour in ((800, "#e5533d"), (920, "#43b85c"), (1040, "#3aa3e6")):
                ball(c, x, 510, 45, colour)
        c.rect(140, 40, 1140, 130, 30, pack.with_alpha("#ffffff", 0.85), INK, 4)
        c.text(0, -275, caption, 44, INK)
    c.save(path, sky)


def option(path, draw, background="none"):
    c = Canvas(200, 160)
    draw(c)
    c.save(path, background)


def simple_pictures(folder):
    option(os.path.join(folder, "q1cont.png"), lambda c: (c.text(0, -40, "Find the cat", 24, INK),
                                                           cat(c, 90, 110, 50, "#9e9e9e")), "#fff3d6")
    option(os.path.join(folder, "q1look.png"), lambda c: cat(c, 90, 100, 60), "#fff3d6")
    option(os.path.join(folder, "q1a.png"), lambda c: dog(c, 120, 100, 80))
    option(os.path.join(folder, "q1b.png"), lambda c: cat(c, 90, 100, 70))
    option(os.path.join(folder, "q1c.png"), lambda c: fish(c, 90, 80, 90))
    option(os.path.join(folder, "q2cont.png"), lambda c: (c.text(0, -40, "Find red", 26, "#e5533d"),
                                                           ball(c, 100, 100, 35, "#e5533d")), "#fff3d6")
    option(os.path.join(folder, "q2look.png"), lambda c: ball(c, 100, 80, 50, "#e5533d"), "#fff3d6")
    for name, colour in (("q2a", "#e5533d"), ("q2b", "#43b85c"), ("q2c", "#3aa3e6"), ("q2d", "#ffd84d")):
        option(os.path.join(folder, name + ".png"), lambda c, colour=colour: ball(c, 100, 80, 55, colour))
    option(os.path.join(folder, "q3cont.png"), lambda c: (c.text(0, -40, "Which is bigger?", 19, INK),
                                                           ball(c, 70, 110, 18, "#9b6ad6"),
                                                           ball(c, 140, 100, 34, "#9b6ad6")), "#fff3d6")
    option(os.path.join(folder, "q3look.png"), lambda c: ball(c, 100, 80, 60, "#9b6ad6"), "#fff3d6")
    # Book 2 asks for colours, book 3 for the friends Mimi meets.
    for q, (word, colour) in ((4, ("green", "#43b85c")), (5, ("blue", "#3aa3e6"))):
        option(os.path.join(folder, "q%dcont.png" % q), lambda c, word=word, colour=colour: (
            c.text(0, -40, "Find " + word, 26, colour), ball(c, 100, 100, 35, colour)), "#fff3d6")
        option(os.path.join(folder, "q%dlook.png" % q), lambda c, colour=colour: ball(c, 100, 80, 50, colour),
               "#fff3d6")
        for letter, other in zip("abc", ("#e5533d", "#43b85c", "#3aa3e6")):
            option(os.path.join(folder, "q%d%s.png" % (q, letter)), lambda c, other=other: ball(c, 100, 80, 55, other))
    for q, (word, draw) in ((6, ("dog", lambda c: dog(c, 120, 110, 50))), (7, ("fish", lambda c: fish(c, 90, 110, 60)))):
        option(os.path.join(folder, "q%dcont.png" % q), lambda c, word=word, draw=draw: (
            c.text(0, -40, "Find the " + word, 24, INK), draw(c)), "#fff3d6")
        option(os.path.join(folder, "q%dlook.png" % q), draw, "#fff3d6")
        option(os.path.join(folder, "q%da.png" % q), lambda c: dog(c, 120, 100, 80))
        option(os.path.join(folder, "q%db.png" % q), lambda c: cat(c, 90, 100, 70))
        option(os.path.join(folder, "q%dc.png" % q), lambda c: fish(c, 90, 80, 90))
    for name, r in (("q3a", 18), ("q3b", 36), ("q3c", 60)):
        option(os.path.join(folder, name + ".png"), lambda c, r=r: ball(c, 100, 80, r, "#9b6ad6"))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--server", default=os.path.join(here, "..", "server"), help="the demo server's folder")
    args = parser.parse_args()
    for identify, pages in BOOKS.items():
        folder = os.path.join(args.server, "packages", identify)
        for number, (caption, sky, light, scene) in enumerate(pages, 1):
            page(os.path.join(folder, "%d.png" % number), caption, sky, light, scene)
    simple_pictures(os.path.join(args.server, "data", "files", "simple"))


if __name__ == "__main__":
    main()
