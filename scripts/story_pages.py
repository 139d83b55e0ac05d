"""The story lectures' own pages: each story's tap pages ask for one of its characters, its reveal pages for the
pictures with its count of its things. Used by pack_catalogue_topics.py; the pictures need ImageMagick.

A character's picture is "<name>.png", a picture of things "<things><count>.png", so that a stem names its answers.
"""

import math
import os

INK = "#3b2f2f"

# identify -> (characters, the first the hero; things; how many the reveal page asks for; the character the page
# after the game asks for)
STORIES = {
    "0305010101": (["bear", "rabbit", "duck"], "apples", 3, "rabbit"),
    "0307010101": (["fox", "hen", "owl"], "berries", 4, "hen"),
    "0307010102": (["frog", "duck", "snail"], "drops", 2, "duck"),
    "0307010103": (["mouse", "bird", "dog"], "kites", 3, "bird"),
    "0307010104": (["owl", "cat", "bat"], "stars", 5, "cat"),
    "0307010105": (["bee", "ladybird", "butterfly"], "flowers", 4, "ladybird"),
    "0307010106": (["penguin", "rabbit", "bear"], "snowballs", 2, "rabbit"),
    "0307010107": (["squirrel", "bird", "owl"], "leaves", 3, "bird"),
    "0307010108": (["gull", "seal", "crab"], "shells", 4, "seal"),
    "0307010109": (["turtle", "fish", "crab"], "eggs", 5, "fish"),
    "0307020101": (["dragon", "duck", "frog"], "boats", 2, "duck"),
}

# name -> (colour, ears)
LOOKS = {
    "bear": ("#8d6e63", "round"), "rabbit": ("#eeeeee", "long"), "duck": ("#ffd54f", "beak"),
    "fox": ("#f57c00", "pointed"), "hen": ("#fafafa", "comb"), "owl": ("#a1887f", "tufts"),
    "frog": ("#66bb6a", "eyes"), "snail": ("#bcaaa4", "horns"), "mouse": ("#b0bec5", "round"),
    "bird": ("#4fc3f7", "beak"), "dog": ("#c08a5a", "floppy"), "cat": ("#ffb74d", "pointed"),
    "bat": ("#7e57c2", "pointed"), "bee": ("#ffca28", "horns"), "ladybird": ("#e53935", "horns"),
    "butterfly": ("#ba68c8", "horns"), "penguin": ("#455a64", "beak"), "squirrel": ("#d84315", "tufts"),
    "gull": ("#eceff1", "beak"), "seal": ("#90a4ae", "none"), "crab": ("#ef5350", "eyes"),
    "turtle": ("#8bc34a", "none"), "fish": ("#29b6f6", "none"), "dragon": ("#43a047", "horns"),
}

# things -> colour
THINGS = {"apples": "#e53935", "berries": "#8e24aa", "drops": "#1e88e5", "kites": "#fb8c00", "stars": "#fdd835",
          "flowers": "#ec407a", "snowballs": "#ffffff", "leaves": "#43a047", "shells": "#ffab91",
          "eggs": "#fff3e0", "boats": "#6d4c41"}


def character(Canvas, path, name):
    """A card with the character's head and its name."""
    colour, ears = LOOKS[name]
    c = Canvas(150, 150)
    c.rect(3, 3, 146, 146, 18, "#fffdf5", "#e0c9a6", 4)
    x, y, r = 75, 62, 36
    if ears == "round":
        for dx in (-28, 28):
            c.circle(x + dx, y - 28, 14, colour, INK, 3)
    elif ears in ("pointed", "tufts"):
        for s in (-1, 1):
            c.poly([(x + s * 12, y - 30), (x + s * 34, y - 52 - (6 if ears == "tufts" else 0)), (x + s * 34, y - 12)],
                   colour, INK, 3)
    elif ears == "long":
        for dx in (-14, 14):
            c.ellipse(x + dx, y - 46, 9, 26, colour, INK, 3)
    elif ears == "floppy":
        for dx in (-34, 34):
            c.ellipse(x + dx, y + 2, 11, 24, "#6d4526", INK, 3)
    elif ears == "comb":
        for dx in (-10, 0, 10):
            c.circle(x + dx, y - 36, 8, "#e53935", INK, 2)
    elif ears == "horns":
        for s in (-1, 1):
            c.line([(x + s * 10, y - 32), (x + s * 20, y - 52)], INK, 3)
            c.circle(x + s * 20, y - 52, 5, INK)
    c.circle(x, y, r, colour, INK, 3)
    eye = 9 if ears in ("eyes", "tufts") else 5
    for dx in (-13, 13):
        c.circle(x + dx, y - 6, eye, "#ffffff" if eye > 5 else INK, INK, 2)
        if eye > 5:
            c.circle(x + dx, y - 6, 4, INK)
    if ears == "beak":
        c.poly([(x - 10, y + 8), (x + 10, y + 8), (x, y + 20)], "#ff8f00", INK, 2)
    else:
        c.circle(x, y + 10, 4, INK)
    c.text(0, 50, name, 22, INK)
    c.save(path)


def thing(c, kind, x, y, colour):
    """One of the things, about 36 pixels wide, centred at (x, y)."""
    if kind == "drops":
        c.poly([(x, y - 20), (x + 13, y + 2), (x - 13, y + 2)], colour, INK, 2)
        c.circle(x, y + 6, 13, colour, INK, 2)
    elif kind == "kites":
        c.poly([(x, y - 20), (x + 14, y), (x, y + 20), (x - 14, y)], colour, INK, 2)
        c.line([(x, y + 20), (x - 6, y + 28)], INK, 2)
    elif kind == "stars":
        radius = [18 if k % 2 == 0 else 8 for k in range(10)]
        c.poly([(x + radius[k] * math.cos(math.radians(-90 + 36 * k)), y + radius[k] * math.sin(math.radians(-90 + 36 * k)))
                for k in range(10)], colour, INK, 2)
    elif kind == "flowers":
        for dx, dy in ((0, -10), (10, 0), (0, 10), (-10, 0)):
            c.circle(x + dx, y + dy, 8, colour, INK, 1)
        c.circle(x, y, 6, "#ffeb3b", INK, 1)
    elif kind == "leaves":
        c.ellipse(x, y, 10, 18, colour, INK, 2)
        c.line([(x, y - 16), (x, y + 16)], INK, 1)
    elif kind == "shells":
        c.ellipse(x, y + 6, 18, 18, colour, INK, 2, 180, 360)
        c.line([(x - 18, y + 6), (x + 18, y + 6)], INK, 2)
        for dx in (-8, 0, 8):
            c.line([(x, y + 6), (x + dx, y - 10)], INK, 1)
    elif kind == "eggs":
        c.ellipse(x, y, 12, 16, colour, INK, 2)
    elif kind == "boats":
        c.poly([(x - 18, y + 2), (x + 18, y + 2), (x + 12, y + 14), (x - 12, y + 14)], colour, INK, 2)
        c.line([(x, y + 2), (x, y - 20)], INK, 2)
        c.poly([(x + 2, y - 18), (x + 14, y - 2), (x + 2, y - 2)], "#ffffff", INK, 1)
    else:
        c.circle(x, y, 15, colour, INK, 2)
        if kind == "apples":
            c.ellipse(x + 5, y - 17, 5, 3, "#2e7d32")


def things(Canvas, path, kind, count):
    """A card with count of the things, in one or two rows."""
    c = Canvas(150, 150)
    c.rect(3, 3, 146, 146, 18, "#eaf6ff", "#9ecae1", 4)
    rows = [count] if count <= 3 else [(count + 1) // 2, count // 2]
    for r, n in enumerate(rows):
        y = 75 if len(rows) == 1 else 50 + 50 * r
        for i in range(n):
            thing(c, kind, 75 + (i - (n - 1) / 2) * 42, y, THINGS[kind])
    c.save(path)


def counts(identify, wanted):
    """The counts on the reveal page's four pictures: the wanted one twice, at places that move from story to
    story."""
    others = [k for k in range(1, 7) if k != wanted][:2]
    order = [[wanted, others[0], wanted, others[1]], [others[0], wanted, others[1], wanted],
             [wanted, others[0], others[1], wanted]][int(identify) % 3]
    return order


def cast(identify):
    """The characters in the order the tap pages show them: the hero's place moves from story to story."""
    names = STORIES[identify][0]
    turn = int(identify) % 3
    return names[turn:] + names[:turn]


def topic_data(identify, code, kind, demo):
    """The topic of code on the story's page of kind (1-based), or None where the code's demo page stays."""
    names, kind_of_things, wanted, second = STORIES[identify]
    if code in (102, 103):
        asked = names[0] if kind == 1 else second
        shown = cast(identify)
        data = dict(demo, Stem="Tap the %s." % asked, Answers=[[shown.index(asked) + 1]])
        data["Images"] = dict(demo["Images"], OperImgs=["%s.png" % name for name in shown])
        return data
    if code == 201:
        shown = counts(identify, wanted)
        data = dict(demo, Stem="Find the pictures with %d %s." % (wanted, kind_of_things),
                    Answers=[[k for k, n in enumerate(shown, 1) if n == wanted]])
        data["Images"] = dict(demo["Images"], OperImgs=["%s%d.png" % (kind_of_things, n) for n in shown])
        return data
    return None


def pictures(Canvas, folder, identify):
    """The story's character and things pictures, into folder."""
    names, kind_of_things, wanted, _ = STORIES[identify]
    for name in names:
        character(Canvas, os.path.join(folder, "%s.png" % name), name)
    for n in set(counts(identify, wanted)):
        things(Canvas, os.path.join(folder, "%s%d.png" % (kind_of_things, n)), kind_of_things, n)
