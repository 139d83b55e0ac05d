#!/usr/bin/env python3
"""Writes the application frame's resource pack into assets/.

Property lists, shared layouts, animation frames, head pictures, a few interface pictures and short sounds.
Needs Python 3, ImageMagick (`convert`) and `sox`; the build does not: the generated files are committed.

    scripts/make-pack.py [--assets DIR]
"""

import argparse
import json
import math
import os
import plistlib
import shutil
import subprocess
import sys
import tempfile

import pack_lecture
import pack_lesson
import pack_navigation
import pack_question_list
import pack_games
import pack_resource
import pack_tools
import pack_tou_lists
import pack_video

# ---------------------------------------------------------------------------------------------------------------
# Data

CONFIGS = {
    "WindowType": "FrameWindow",
    "SearchPaths": ["Plist/", "res/LocalRes/", "Layouts/", "Images/", "Animations/", "Sounds/", "Fonts/"],
    "ClientVersion": "1.0.0",
    "ClientBuild": "1",
    "ClientId": "9",
    "DomainType": "DomainLocal",
    "DomainLocal": "http://127.0.0.1:8765/api/",
    "UpdaterVersion": "1.0.0",
    "UnusedFile": {"UnusedFiles": ["NetRes/obsolete.plist"], "UnusedFolders": ["NetRes/Obsolete/"]},
    "TopicDefaultTitle": {"1": "Practice %d", "2": "Exercise %d", "3": "Challenge %d"},
}

STRINGS = {
    "HttpStr1": "Cannot reach the server. Check the network.",
    "HttpStr2": "The server sent a bad reply to %s.",
    "ScoreStr1": "The login has expired. The class's results are kept and will be sent after you log in again.",
    "ScoreStr2": "The login has expired, and the class's results could not be saved on this computer. They will be "
                 "sent after you log in again: keep the program open until then.",
    "ScoreStr3": "Lessons whose results could not be sent yet: %d. They are kept and sent again after the next login.",
    "ScoreStr4": "Lessons whose kept results could not be read: %d. The damaged file was moved to %s.",
    "ScoreStr5": "Kept lessons sent: %d.",
    "ScoreStr6": "Kept lessons that may be sent twice: %d (the note of those sent was damaged).",
    "DbStr1": "The program cannot save its data (res/NetRes/LocalData.db). Lessons still work, but downloads will not "
              "be remembered. Check that the folder can be written.",
    "Str_SysUpdate": "This lecture needs a newer program. Update now?",
    "ClassStr1": "No class has this grade.",
    "LectureStr3": "A newer version of this lecture exists. Download it now?",
    "LectureStr5": "This lecture is still downloading.",
    "LectureStr6": "This lecture has no download address.",
    "GroupStr1": "Some pupils have no group. Start anyway?",
    "Str_Finish": "Complete",
    "Str_Downloading": "Downloading\u2026",
    "ResourceStr1": "Lists refreshed. A grade's Download button fetches its missing lectures.",
    "ResourceStr2": "Missing lectures of this grade are queued.",
    "TeachStr1": "This lecture has no teaching pictures.",
    "NoFileExist": "File not found",
    "SubjectStr1": "Listen to the question first.",
    "GameStr1": "%s's time: %.1f s. Previous best: %d s.",
    "GameStr2": "Choose a pupil first.",
    "GameStr3": "%s's time: %.1f s.",
    "GameStr4": "This game has no questions to play.",
}

PERLOAD = {
    "Login": ["LoginSun", "LoginCloud", "LoginBird", "LoginKite"],
    "Grade": ["GradeStar", "GradeRocket"],
    "Lecture": ["LectureFish"],
    "Sign": ["Balloon", "Sail", "SeaWave2"],
    "TopicCommon": ["RightCommon", "WrongCommon", "BreakRest", "BreakStart", "TopicCelebrate", "TopicRight",
                    "TopicWrong"],
    "Subject": [],
}

STUDENTS = [("Lily", 2), ("Max", 1), ("Noah", 1), ("Olivia", 2), ("Pablo", 1), ("Quinn", 2)]

ENDLESS = 9999


def anim(name, frames, delay, loop=1, size=(128, 128), art=None, where="pack"):
    """One animation: its Animations.plist entry and how its frames are made.

    where "pack": frames drawn into Animations/<name>/; "package": frames ship in the courseware packages.
    """
    return {"name": name, "frames": frames, "delay": delay, "loop": loop, "size": size, "art": art or name,
            "where": where}


# The one list behind Animations.plist and the pack's frame folders (package animations have descriptions only).
ANIMATIONS = [
    anim("NetLoading", 8, 0.08, ENDLESS, (120, 120)),
    anim("Downloading", 8, 0.08, ENDLESS, (120, 120)),
    anim("RightCommon", 6, 0.1, 1, (160, 160)),
    anim("WrongCommon", 6, 0.1, 1, (160, 160)),
    anim("WrongCommon2", 6, 0.08, 1),
    anim("BreakRest", 6, 0.12, ENDLESS, (160, 160)),
    anim("BreakStart", 6, 0.1, 1, (160, 160)),
    anim("Balloon", 6, 0.12, ENDLESS, (96, 160)),
    anim("Sail", 6, 0.12, 1, (200, 140)),
    anim("SeaWave2", 6, 0.1, 1, (200, 64)),
    anim("LoginSun", 6, 0.1, ENDLESS),
    anim("LoginCloud", 6, 0.12, ENDLESS, (160, 96)),
    anim("LoginBird", 6, 0.08, ENDLESS, (96, 72)),
    anim("LoginKite", 6, 0.12, ENDLESS, (128, 160)),
    anim("GradeStar", 6, 0.1, ENDLESS, (96, 96)),
    anim("GradeRocket", 6, 0.08, ENDLESS, (96, 128)),
    anim("LectureFish", 6, 0.1, ENDLESS, (128, 96)),
    anim("TopicCelebrate", 8, 0.1, 1, (160, 160)),
    anim("TopicRight", 6, 0.08, 1),
    anim("TopicWrong", 6, 0.08, 1),
    anim("GameCelebrate", 8, 0.1, 1, (160, 160)),
    anim("GameEffect", 6, 0.08, 1),
    anim("ChessAction1", 6, 0.1, 1, (96, 96), "ChessHop"),
    anim("ChessAction2", 8, 0.1, 1, (96, 128), "ChessJump"),
    anim("ChessAction3", 6, 0.1, 1, (96, 96), "ChessGlow"),
] + [anim("CannonShot%d" % k, 6, 0.1, 1, (400, 250), ("CannonShot", k)) for k in range(1, 5)] + [
    anim("TreeSparkle", 6, 0.1, 1),
    anim("TreeWatering", 6, 0.1, 1),
] + [anim("TreeGrow%d" % k, 6, 0.1, 1, (128, 128), ("TreeGrow", k)) for k in range(1, 6)] + [
    anim("DragonFail", 6, 0.1, 1),
] + [anim("DragonHit%d" % k, 6, 0.1, 1, (128, 128), ("DragonHit", k)) for k in range(1, 5)] + [
    anim("DragonWin", 8, 0.1, 1, (160, 160)),
] + [anim("TopicAni%d" % k, 4, 0.12, 1, where="package") for k in range(1, 7)]

# ---------------------------------------------------------------------------------------------------------------
# Colours

BLUE, LIGHT_BLUE, GREEN, RED, ORANGE = "#3aa3e6", "#bfe3f8", "#43b85c", "#e5533d", "#f5a623"
YELLOW, PURPLE, PINK, WHITE, DARK, GREY = "#ffd84d", "#9b6ad6", "#f28cb1", "#ffffff", "#33414e", "#9e9e9e"
GROUP_COLOURS = ["#b0bec5", "#ef6a5a", "#3aa3e6", "#43b85c", "#f5a623"]
BOLD_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def with_alpha(colour, alpha):
    return "%s%02x" % (colour, max(0, min(255, int(round(alpha * 255)))))


# ---------------------------------------------------------------------------------------------------------------
# Drawing: a list of ImageMagick operations written in one `convert` call

class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.ops = []

    def _shape(self, primitive, fill="none", stroke="none", width=0, style=""):
        self.ops += ["-fill", fill, "-stroke", stroke, "-strokewidth", str(width), "-draw", style + primitive]

    def circle(self, cx, cy, r, fill, stroke="none", width=0):
        if r > 0:
            self._shape("circle %.1f,%.1f %.1f,%.1f" % (cx, cy, cx + r, cy), fill, stroke, width)

    def ellipse(self, cx, cy, rx, ry, fill, stroke="none", width=0, start=0, end=360):
        self._shape("ellipse %.1f,%.1f %.1f,%.1f %.1f,%.1f" % (cx, cy, rx, ry, start, end), fill, stroke, width)

    def poly(self, points, fill, stroke="none", width=0):
        self._shape("polygon " + " ".join("%.1f,%.1f" % p for p in points), fill, stroke, width,
                    "stroke-linejoin round ")

    def line(self, points, stroke, width):
        self._shape("polyline " + " ".join("%.1f,%.1f" % p for p in points), "none", stroke, width,
                    "stroke-linecap round stroke-linejoin round ")

    def rect(self, x0, y0, x1, y1, radius, fill, stroke="none", width=0):
        self._shape("roundrectangle %.1f,%.1f %.1f,%.1f %.1f,%.1f" % (x0, y0, x1, y1, radius, radius),
                    fill, stroke, width)

    def text(self, dx, dy, text, size, fill, stroke="none", width=0):
        """Text centred at (width / 2 + dx, height / 2 + dy)."""
        if os.path.exists(BOLD_FONT):
            self.ops += ["-font", BOLD_FONT]
        self.ops += ["-gravity", "center", "-pointsize", str(size), "-fill", fill, "-stroke", stroke,
                     "-strokewidth", str(width), "-annotate", "%+d%+d" % (dx, dy), text, "-gravity", "none"]

    def save(self, path, background="none"):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        command = ["convert", "-size", "%dx%d" % (self.width, self.height), "xc:" + background] + self.ops
        command += ["-strip", "-define", "png:compression-level=9", "PNG32:" + path]
        subprocess.run(command, check=True)


def star_points(cx, cy, outer, inner, points=5, turn=-90.0):
    result = []
    for i in range(points * 2):
        r = outer if i % 2 == 0 else inner
        a = math.radians(turn + i * 180.0 / points)
        result.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return result


def rotate(points, cx, cy, degrees):
    a = math.radians(degrees)
    c, s = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c) for x, y in points]


def partial(points, fraction):
    """The polyline cut after that fraction of its length."""
    lengths = [math.dist(a, b) for a, b in zip(points, points[1:])]
    left = sum(lengths) * max(0.0, min(1.0, fraction))
    result = [points[0]]
    for (a, b), length in zip(zip(points, points[1:]), lengths):
        if left >= length:
            result.append(b)
            left -= length
            continue
        t = left / length if length else 0
        result.append((a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t))
        break
    return result


def arc_points(cx, cy, rx, start, end, ry=None, step=6):
    """Points along an ellipse from start to end degrees (clockwise, 0 = three o'clock)."""
    ry = rx if ry is None else ry
    count = max(1, int(abs(end - start) / step))
    angles = [math.radians(start + (end - start) * k / count) for k in range(count + 1)]
    return [(cx + rx * math.cos(a), cy + ry * math.sin(a)) for a in angles]


def tick(c, cx, cy, s, colour, width, fraction=1.0):
    points = [(cx - 28 * s, cy + 2 * s), (cx - 8 * s, cy + 22 * s), (cx + 30 * s, cy - 20 * s)]
    if fraction > 0:
        c.line(partial(points, fraction), colour, width * s)


def cross(c, cx, cy, s, colour, width, fraction=1.0):
    d = 22 * s
    first, second = min(1.0, fraction * 2), max(0.0, fraction * 2 - 1)
    if first > 0:
        c.line(partial([(cx - d, cy - d), (cx + d, cy + d)], first), colour, width * s)
    if second > 0:
        c.line(partial([(cx + d, cy - d), (cx - d, cy + d)], second), colour, width * s)


def burst(c, cx, cy, r, colour, rays=12, alpha=1.0, width=4):
    for i in range(rays):
        a = math.radians(i * 360.0 / rays)
        c.line([(cx + r * 0.55 * math.cos(a), cy + r * 0.55 * math.sin(a)),
                (cx + r * math.cos(a), cy + r * math.sin(a))], with_alpha(colour, alpha), width)


def sparkle(c, cx, cy, r, colour):
    if r > 0:
        c.poly(star_points(cx, cy, r, r * 0.3, 4), colour)


# ---------------------------------------------------------------------------------------------------------------
# Animation art: one function per look, called with the canvas, the frame index and the frame count

def art_NetLoading(c, i, n):
    for k in range(8):
        a = math.radians(k * 45 - 90)
        age = (i - k) % 8
        c.circle(60 + 38 * math.cos(a), 60 + 38 * math.sin(a), 10 - age * 0.6, with_alpha(BLUE, 1 - age * 0.11),
                 with_alpha(WHITE, 0.9), 2)


def art_Downloading(c, i, n):
    c.circle(60, 60, 42, with_alpha(WHITE, 0.85), "#dfe6ec", 10)
    c.line(arc_points(60, 60, 42, i * 45 - 90, i * 45), BLUE, 10)
    c.line([(60, 38), (60, 76)], BLUE, 8)
    c.line([(46, 62), (60, 78), (74, 62)], BLUE, 8)


def art_RightCommon(c, i, n):
    s = [0.35, 0.6, 0.85, 1.08, 1.14, 1.0][i]
    c.circle(80, 80, 62 * s, GREEN, WHITE, 6 * s)
    tick(c, 80, 80, 1.35 * s, WHITE, 11)


def art_WrongCommon(c, i, n):
    s = [0.35, 0.6, 0.85, 1.05, 1.05, 1.0][i]
    dx = [0, 0, 0, -8, 8, 0][i]
    c.circle(80 + dx, 80, 62 * s, RED, WHITE, 6 * s)
    cross(c, 80 + dx, 80, 1.3 * s, WHITE, 12)


def art_WrongCommon2(c, i, n):
    dx = [-10, 10, -7, 7, -3, 0][i]
    cross(c, 64 + dx, 64, 1.5, WHITE, 14)
    cross(c, 64 + dx, 64, 1.5, RED, 9)


def art_TopicRight(c, i, n):
    tick(c, 64, 66, 1.6, with_alpha(WHITE, 0.9), 17, (i + 1) / n)
    tick(c, 64, 66, 1.6, GREEN, 11, (i + 1) / n)


def art_TopicWrong(c, i, n):
    cross(c, 64, 64, 1.7, with_alpha(WHITE, 0.9), 17, (i + 1) / n)
    cross(c, 64, 64, 1.7, RED, 11, (i + 1) / n)


def art_BreakRest(c, i, n):
    for k in range(3):
        x, rise = 58 + k * 22, (i * 6 + k * 10) % 36
        wave = [(x + 5 * math.sin((y + i * 8) / 6.0), 70 - rise - y) for y in range(0, 26, 3)]
        c.line(wave, with_alpha("#90a4ae", 1 - rise / 40.0), 4)
    c.ellipse(80, 132, 54, 9, "#d7ccc8")
    c.ellipse(120, 104, 14, 16, "none", "#8d6e63", 7)
    c.rect(38, 76, 118, 134, 18, "#a1887f", "#6d4c41", 3)
    c.ellipse(78, 80, 38, 7, "#6d4c41")


def art_BreakStart(c, i, n):
    s = [0.3, 0.55, 0.8, 1.0, 1.08, 1.0][i]
    c.poly(rotate(star_points(80, 80, 74 * s, 52 * s, 12), 80, 80, i * 5), ORANGE, WHITE, 4)
    if s >= 0.8:
        c.text(0, 2, "GO!", int(40 * s), WHITE, DARK, 2)


def art_Balloon(c, i, n):
    dy = 6 * math.sin(i * 2 * math.pi / n)
    c.line([(48, 92 + dy), (44, 112 + dy), (52, 132 + dy), (46, 152)], "#78909c", 2)
    c.poly([(42, 94 + dy), (54, 94 + dy), (48, 86 + dy)], "#c62828")
    c.ellipse(48, 52 + dy, 34, 40, "#ef5350", "#c62828", 3)
    c.ellipse(36, 38 + dy, 7, 12, with_alpha(WHITE, 0.6))


def art_Sail(c, i, n):
    x, dy = 40 + i * 22, 3 * math.sin(i * 1.7)
    c.poly([(x - 36, 100 + dy), (x + 40, 100 + dy), (x + 28, 120 + dy), (x - 26, 120 + dy)], "#8d6e63",
           "#5d4037", 3)
    c.line([(x, 100 + dy), (x, 22 + dy)], "#5d4037", 4)
    c.poly([(x + 4, 26 + dy), (x + 4, 94 + dy), (x + 44, 94 + dy)], WHITE, BLUE, 3)
    c.poly([(x - 4, 40 + dy), (x - 4, 94 + dy), (x - 30, 94 + dy)], "#fff3e0", ORANGE, 3)


def wave(c, width, height, base, amplitude, phase, colour):
    points = [(x, base + amplitude * math.sin(x / 18.0 + phase)) for x in range(0, width + 1, 5)]
    c.poly(points + [(width, height), (0, height)], colour)


def art_SeaWave2(c, i, n):
    phase = i * 2 * math.pi / n
    wave(c, 200, 64, 22, 7, phase, with_alpha("#81d4fa", 0.9))
    wave(c, 200, 64, 34, 6, -phase + 1.2, with_alpha("#29b6f6", 0.95))


def art_LoginSun(c, i, n):
    for k in range(12):
        a = math.radians(k * 30 + i * 5)
        c.line([(64 + 40 * math.cos(a), 64 + 40 * math.sin(a)), (64 + 58 * math.cos(a), 64 + 58 * math.sin(a))],
               ORANGE, 6)
    c.circle(64, 64, 32, YELLOW, ORANGE, 4)
    c.circle(53, 58, 4, DARK)
    c.circle(75, 58, 4, DARK)
    c.line(arc_points(64, 70, 12, 20, 160, 9), DARK, 3)


def cloud(c, cx, cy, s, colour, outline):
    parts = [(-34, 8, 22), (-12, -8, 28), (18, -4, 26), (38, 10, 18), (0, 14, 24)]
    for dx, dy, r in parts:
        c.circle(cx + dx * s, cy + dy * s, r * s + 3, outline)
    for dx, dy, r in parts:
        c.circle(cx + dx * s, cy + dy * s, r * s, colour)


def art_LoginCloud(c, i, n):
    cloud(c, 80 + 8 * math.sin(i * 2 * math.pi / n), 50, 1.2, WHITE, "#cfd8dc")


def art_LoginBird(c, i, n):
    flap = math.sin(i * 2 * math.pi / n)
    c.ellipse(48, 40, 20, 11, "#5c6bc0")
    c.poly([(66, 36), (80, 40), (66, 44)], ORANGE)
    c.circle(58, 36, 3, WHITE)
    c.line([(30, 40), (42, 40 - 22 * flap), (54, 38)], "#3949ab", 6)


def art_LoginKite(c, i, n):
    turn = 8 * math.sin(i * 2 * math.pi / n)
    tail = [(64 + 10 * math.sin(y / 12.0 + i), 96 + y) for y in range(0, 60, 6)]
    c.line(tail, "#78909c", 2)
    for x, y in tail[2::3]:
        c.poly(rotate([(x - 7, y - 5), (x + 7, y + 5), (x + 7, y - 5), (x - 7, y + 5)], x, y, turn * 2), RED)
    kite = rotate([(64, 8), (98, 52), (64, 100), (30, 52)], 64, 52, turn)
    c.poly(kite, YELLOW, ORANGE, 4)
    c.line([kite[0], kite[2]], ORANGE, 3)
    c.line([kite[1], kite[3]], ORANGE, 3)


def art_GradeStar(c, i, n):
    s = 0.86 + 0.14 * math.sin(i * 2 * math.pi / n)
    c.poly(star_points(48, 50, 40 * s, 18 * s), YELLOW, ORANGE, 4)
    sparkle(c, 80, 16, 9 * (1 - s) * 6, WHITE)
    sparkle(c, 14, 80, 7 * s, with_alpha(WHITE, 0.9))


def art_GradeRocket(c, i, n):
    dy = -2 * (i % 3)
    flame = [22, 30, 26, 34, 24, 30][i]
    c.poly([(40, 92 + dy), (56, 92 + dy), (48, 92 + flame + dy)], ORANGE, YELLOW, 3)
    c.poly([(32, 70 + dy), (26, 94 + dy), (40, 86 + dy)], RED)
    c.poly([(64, 70 + dy), (70, 94 + dy), (56, 86 + dy)], RED)
    c.rect(34, 30 + dy, 62, 94 + dy, 12, WHITE, "#90a4ae", 3)
    c.poly([(34, 36 + dy), (48, 6 + dy), (62, 36 + dy)], RED, "#b71c1c", 2)
    c.circle(48, 54 + dy, 8, LIGHT_BLUE, BLUE, 3)


def art_LectureFish(c, i, n):
    wag = 10 * math.sin(i * 2 * math.pi / n)
    c.poly([(30, 48), (8, 30 + wag), (8, 66 + wag)], "#ff8a65", "#e64a19", 3)
    c.ellipse(64, 48, 36, 24, "#ffab40", "#e64a19", 3)
    c.circle(84, 42, 6, WHITE)
    c.circle(86, 42, 3, DARK)
    for k in range(2):
        y = 40 - ((i * 7 + k * 20) % 40)
        c.circle(108 + k * 8, y + 20, 4 + k, "none", LIGHT_BLUE, 2)


def confetti(c, cx, cy, p, count, reach):
    colours = [RED, BLUE, GREEN, YELLOW, PURPLE, PINK]
    for k in range(count):
        a = math.radians(k * 360.0 / count + 10)
        r = reach * p
        x, y = cx + r * math.cos(a), cy + r * math.sin(a) + 20 * p * p
        c.poly(rotate([(x - 6, y - 3), (x + 6, y - 3), (x + 6, y + 3), (x - 6, y + 3)], x, y, k * 37 + p * 360),
               with_alpha(colours[k % len(colours)], 1 - 0.5 * p))


def art_TopicCelebrate(c, i, n):
    p = (i + 1) / n
    confetti(c, 80, 80, p, 14, 70)
    s = min(1.0, 0.3 + p * 1.2)
    c.poly(star_points(80, 80, 44 * s, 20 * s), YELLOW, ORANGE, 4)


def art_GameCelebrate(c, i, n):
    p = (i + 1) / n
    for k in range(6):
        a = math.radians(k * 60 + 30)
        sparkle(c, 80 + 64 * math.cos(a), 70 + 54 * math.sin(a), 12 * math.sin(math.pi * min(1, p * 1.5 - k * 0.08)),
                YELLOW)
    s = min(1.0, 0.4 + p)
    c.rect(80 - 30 * s, 128, 80 + 30 * s, 142, 4, "#8d6e63")
    c.rect(80 - 8 * s, 100, 80 + 8 * s, 128, 2, "#ffb300")
    c.ellipse(80 - 38 * s, 58, 14 * s, 18 * s, "none", "#ffb300", 6)
    c.ellipse(80 + 38 * s, 58, 14 * s, 18 * s, "none", "#ffb300", 6)
    c.poly([(80 - 36 * s, 34), (80 + 36 * s, 34), (80 + 26 * s, 88), (80 - 26 * s, 88)], "#ffca28", "#ff8f00", 3)
    c.poly(star_points(80, 58, 14 * s, 6 * s), WHITE)


def art_GameEffect(c, i, n):
    p = (i + 1) / n
    c.circle(64, 64, 56 * p, "none", with_alpha(YELLOW, 1 - p * 0.8), 8)
    burst(c, 64, 64, 60 * p + 8, ORANGE, 10, 1 - p * 0.6, 5)
    c.poly(star_points(64, 64, 22 * (1 - p * 0.5), 10 * (1 - p * 0.5)), YELLOW, ORANGE, 3)


def chess_piece(c, cx, base, colour="#5c6bc0", outline="#283593"):
    c.poly([(cx - 22, base), (cx + 22, base), (cx + 12, base - 30), (cx - 12, base - 30)], colour, outline, 3)
    c.rect(cx - 26, base - 8, cx + 26, base, 4, colour, outline, 3)
    c.circle(cx, base - 40, 14, colour, outline, 3)


def art_ChessHop(c, i, n):
    p = i / (n - 1)
    c.ellipse(48, 88, 24 - 8 * math.sin(math.pi * p), 5, with_alpha(DARK, 0.25))
    chess_piece(c, 48, 86 - 26 * math.sin(math.pi * p))


def art_ChessJump(c, i, n):
    p = i / (n - 1)
    c.ellipse(48, 120, 24 - 12 * math.sin(math.pi * p), 5, with_alpha(DARK, 0.25))
    chess_piece(c, 48, 118 - 56 * math.sin(math.pi * p))


def art_ChessGlow(c, i, n):
    glow = math.sin(math.pi * i / (n - 1))
    c.circle(48, 54, 44 * (0.6 + 0.4 * glow), with_alpha(YELLOW, 0.25 + 0.4 * glow))
    chess_piece(c, 48, 86, "#ffca28" if glow > 0.5 else "#5c6bc0", "#283593")


def art_CannonShot(c, i, n, k):
    """The cannon (in the lower left, where the resting one stands) fires: it kicks back behind a flash and a puff
    of smoke while the ball flies out to the right, higher for the upper targets."""
    recoil = [0, -8, -5, -2, 0, 0][i]
    x0, y0 = pack_games.CANNON_MUZZLE[0] + recoil, pack_games.CANNON_MUZZLE[1] + 70
    for j in range(min(i, 3)):
        c.circle(x0 + 8 + 14 * j + 4 * i, y0 - 6 - 10 * j - 3 * i, 14 + 6 * i, with_alpha("#cfd8dc", 0.9 - 0.15 * i))
    if i in (1, 2):
        c.poly(star_points(x0 + 18, y0 - 8, 34 - 8 * i, 14, 8), YELLOW, ORANGE, 3)
    if i >= 1:
        # Out along the barrel (rising 0.51 a pixel), then falling: less for the upper targets 2 and 4.
        fall = 30 if k % 2 == 0 else 65
        point = lambda t: (x0 + 190 * t, y0 - 97 * t + fall * t * t)
        t = i / (n - 1)
        c.line([point(max(0.0, t - 0.15)), point(t)], with_alpha(GREY, 0.6), 6)
        c.circle(*point(t), 12, DARK, "#263238", 3)
    pack_games.cannon(c, recoil, 70)


def art_TreeSparkle(c, i, n):
    spots = [(30, 40), (92, 30), (64, 70), (100, 92), (26, 98), (70, 18)]
    for k, (x, y) in enumerate(spots):
        sparkle(c, x, y, 14 * abs(math.sin(math.pi * (i + k) / 3.0)), YELLOW if k % 2 else WHITE)
        if k % 2 == 0:
            c.circle(x, y, 3, with_alpha(YELLOW, 0.8))


def art_TreeWatering(c, i, n):
    for k in range(4):
        y = 70 + ((i * 10 + k * 14) % 50)
        c.ellipse(54 + k * 8, y, 3, 5, with_alpha(BLUE, 0.9))
    can = [(20, 30), (70, 30), (66, 66), (24, 66)]
    c.line(rotate([(70, 40), (96, 20), (106, 26)], 45, 48, 20), "#43a047", 6)
    c.poly(rotate(can, 45, 48, 20), "#66bb6a", "#2e7d32", 3)
    c.ellipse(*rotate([(20, 44)], 45, 48, 20)[0], 8, 12, "none", "#2e7d32", 4)


def tree(c, g):
    """A tree at growth g (0 sprout .. 1 full grown with fruit)."""
    ground = 118
    c.ellipse(64, ground, 40, 6, "#a1887f")
    trunk = 12 + 36 * g
    c.rect(64 - 3 - 5 * g, ground - trunk, 64 + 3 + 5 * g, ground, 3, "#8d6e63", "#5d4037", 2)
    if g < 0.3:
        leaf = 10 + 20 * g
        c.ellipse(64 - leaf * 0.7, ground - trunk, leaf * 0.7, leaf * 0.35, "#66bb6a", "#2e7d32", 2)
        c.ellipse(64 + leaf * 0.7, ground - trunk, leaf * 0.7, leaf * 0.35, "#66bb6a", "#2e7d32", 2)
        return
    r = 10 + 28 * g
    top = ground - trunk - r * 0.5
    for dx, dy, f in [(-0.6, 0.2, 0.7), (0.6, 0.2, 0.7), (0, -0.3, 0.85)]:
        c.circle(64 + dx * r, top + dy * r, r * f, "#66bb6a", "#2e7d32", 2)
    if g > 0.85:
        for dx, dy in [(-0.5, 0.1), (0.4, 0.3), (0.1, -0.4)]:
            c.circle(64 + dx * r, top + dy * r, 5, RED)


def art_TreeGrow(c, i, n, k):
    tree(c, (k - 1 + (i + 1) / n) / 5.0)


def art_DragonFail(c, i, n):
    p = (i + 1) / n
    for k, (dx, dy) in enumerate([(-22, 6), (0, -10), (22, 4), (0, 16)]):
        spread = 0.6 + 0.6 * p
        c.circle(64 + dx * spread, 72 + dy * spread - 16 * p, 16 + 10 * p, with_alpha("#90a4ae", 1 - 0.7 * p))


def fireball(c, cx, cy, s):
    c.poly([(cx - 34 * s, cy), (cx + 6 * s, cy - 20 * s), (cx + 6 * s, cy + 20 * s)], with_alpha(ORANGE, 0.8))
    c.circle(cx + 6 * s, cy, 20 * s, "#ff7043", RED, 3)
    c.circle(cx + 9 * s, cy - 2 * s, 10 * s, YELLOW)


def art_DragonHit(c, i, n, k):
    if i < 3:
        fireball(c, 30 + i * 30, 64, 0.8)
        return
    p = (i - 2) / (n - 3)
    burst(c, 64, 64, 60 * (0.6 + 0.4 * p), ORANGE, 14, 1.0, 6)
    c.circle(64, 64, 34 * (0.6 + 0.4 * p), RED, YELLOW, 4)
    c.text(0, 0, str(k), int(30 + 10 * p), WHITE, DARK, 2)


def art_DragonWin(c, i, n):
    p = (i + 1) / n
    confetti(c, 80, 84, p, 10, 64)
    s = min(1.0, 0.4 + p)
    c.poly([(80 - 40 * s, 96), (80 - 44 * s, 52), (80 - 20 * s, 74), (80, 44), (80 + 20 * s, 74), (80 + 44 * s, 52),
            (80 + 40 * s, 96)], "#ffca28", "#ff8f00", 4)
    for dx in (-44, 0, 44):
        c.circle(80 + dx * s, 52 if dx else 44, 6 * s, RED)
    c.text(0, 42, "WIN!", int(26 * s), RED, WHITE, 2)


def draw_animation(entry, folder):
    art, arg = (entry["art"], ()) if isinstance(entry["art"], str) else (entry["art"][0], entry["art"][1:])
    draw = globals()["art_" + art]
    width, height = entry["size"]
    for i in range(entry["frames"]):
        canvas = Canvas(width, height)
        draw(canvas, i, entry["frames"], *arg)
        canvas.save(os.path.join(folder, entry["name"], "%s%d.png" % (entry["name"], i + 1)))


# ---------------------------------------------------------------------------------------------------------------
# Pictures

def face(c, size, sex):
    """A round friendly face on a disc: sex 0 unknown (grey), 1 boy (blue), 2 girl (pink)."""
    r = size / 2.0
    cx, cy, fr = r, r * 1.06, r * 0.6
    c.circle(r, r, r - 1, {0: "#e0e0e0", 1: "#bbdefb", 2: "#f8bbd0"}[sex])
    hair = {0: "#9e9e9e", 1: "#6d4c41", 2: "#5d4037"}[sex]
    if sex == 2:
        c.ellipse(cx, cy - 0.05 * fr, 1.2 * fr, 1.3 * fr, hair)
    c.circle(cx, cy, fr, "#ffe0b2", "#e0a96d", 2)
    if sex == 0:
        c.ellipse(cx, cy - 0.55 * fr, 0.9 * fr, 0.4 * fr, hair, "none", 0, 180, 360)
    else:
        c.ellipse(cx, cy - 0.45 * fr, 1.02 * fr, 0.65 * fr, hair, "none", 0, 180, 360)
    if sex == 2:
        c.circle(cx + 0.9 * fr, cy - 0.85 * fr, 0.2 * fr, RED, WHITE, 1.5)
    for side in (-1, 1):
        c.circle(cx + side * 0.38 * fr, cy - 0.02 * fr, 0.13 * fr, DARK)
        c.circle(cx + side * 0.62 * fr, cy + 0.3 * fr, 0.14 * fr, with_alpha("#ff8a80", 0.7))
    c.line(arc_points(cx, cy + 0.22 * fr, 0.32 * fr, 20, 160, 0.24 * fr), "#c0392b", 3)


def make_pictures(images):
    for sex in range(3):
        c = Canvas(96, 96)
        face(c, 96, sex)
        c.save(os.path.join(images, "HeadImg%d.png" % sex))
    for group, colour in enumerate(GROUP_COLOURS):
        c = Canvas(120, 120)
        c.circle(60, 60, 53, "none", colour, 10)
        c.circle(60, 60, 47, "none", with_alpha(WHITE, 0.9), 2)
        c.save(os.path.join(images, "HeadImage", "HeadFrame1%d.png" % group))
        c = Canvas(96, 96)
        c.circle(48, 48, 43, "none", colour, 7)
        c.circle(48, 48, 43, "none", with_alpha(WHITE, 0.5), 1)
        c.circle(80, 80, 9, colour, WHITE, 2)
        c.save(os.path.join(images, "HeadImage", "HeadFrame2%d.png" % group))

    common = os.path.join(images, "Common")
    c = Canvas(4, 44)
    c.rect(0, 0, 3, 43, 1, DARK)
    c.save(os.path.join(common, "Image_Cursor.png"))
    c = Canvas(96, 96)
    c.rect(2, 2, 93, 93, 22, "#fdfefe", "#b0c4d0", 3)
    c.save(os.path.join(common, "TipBg.png"))
    c = Canvas(64, 64)
    c.rect(1, 1, 62, 62, 16, "#dfe8ef", "#9fb4c3", 2)
    c.save(os.path.join(common, "KeyBoardBg.png"))
    for name, fill, edge in [("KeyCap.png", WHITE, "#b0bec5"), ("KeyCapPressed.png", LIGHT_BLUE, BLUE)]:
        c = Canvas(40, 40)
        c.rect(1, 3, 38, 38, 9, edge)
        c.rect(1, 1, 38, 35, 9, fill, edge, 2)
        c.save(os.path.join(common, name))
    c = Canvas(36, 36)
    c.circle(18, 18, 16, GREEN, WHITE, 2)
    tick(c, 18, 18, 0.4, WHITE, 10)
    c.save(os.path.join(common, "IconSelect.png"))
    c = Canvas(40, 40)
    c.circle(20, 20, 18, BLUE, WHITE, 2)
    c.line([(20, 9), (20, 27)], WHITE, 4)
    c.line([(12, 20), (20, 28), (28, 20)], WHITE, 4)
    c.save(os.path.join(common, "Img_Download.png"))
    c = Canvas(56, 28)
    c.rect(1, 1, 54, 26, 12, RED, WHITE, 2)
    c.text(0, 0, "NEW", 13, WHITE)
    c.save(os.path.join(common, "Img_New.png"))
    c = Canvas(44, 44)
    c.circle(22, 22, 20, WHITE, "#90a4ae", 2)
    c.save(os.path.join(common, "NumBg.png"))
    subprocess.run(["convert", "-size", "16x128", "gradient:#bfe6ff-#f6fcff", "-strip",
                    os.path.join(common, "ClientBg9.png")], check=True)
    pack_navigation.make_pictures(images, Canvas)
    pack_resource.make_pictures(images, Canvas)
    pack_tools.make_pictures(images, Canvas)
    pack_games.make_pictures(images, Canvas)
    pack_video.make_pictures(images, Canvas)
    pack_lecture.make_pictures(images, Canvas)
    pack_lesson.make_pictures(images, Canvas)
    pack_question_list.make_pictures(images, Canvas)
    pack_tou_lists.make_pictures(images, Canvas)


# ---------------------------------------------------------------------------------------------------------------
# Sounds

def sox(*args):
    subprocess.run(["sox", "-q"] + [str(a) for a in args], check=True)


def tone(path, seconds, wave, freq, volume, fade_out, delay=0.0, fade_in=0.01):
    """One note (or a sweep "f1-f2"), faded in and out, optionally delayed by silence."""
    sox("-n", "-r", "22050", "-c", "1", path, "synth", seconds, wave, freq, "fade", "q", fade_in, seconds, fade_out,
        "pad", delay, "0", "vol", volume)
    return path


def make_sounds(sounds, scratch):
    os.makedirs(sounds, exist_ok=True)
    mp3 = ["-C", "48"]
    scratch_file = lambda name: os.path.join(scratch, name)

    click = tone(scratch_file("click.wav"), 0.05, "sine", "1600-700", 0.7, 0.04)
    sox(click, *mp3, os.path.join(sounds, "BtnClick.mp3"))

    # Rising three-note chime with a soft tail: the two-second sound.
    notes = [tone(scratch_file("right%d.wav" % k), 2.0 - start, "sine", freq, 0.3, 1.7 - start, start)
             for k, (start, freq) in enumerate([(0.0, 784), (0.12, 988), (0.24, 1319)])]
    sox("-m", *notes, *mp3, os.path.join(sounds, "RightCommon.mp3"), "trim", "0", "2.0")

    # Two falling low notes.
    first = tone(scratch_file("wrong1.wav"), 0.2, "triangle", 330, 0.5, 0.05)
    second = tone(scratch_file("wrong2.wav"), 0.35, "triangle", 247, 0.5, 0.25)
    sox(first, second, *mp3, os.path.join(sounds, "WrongCommon.mp3"))

    # A calm four-chord loop: one second a chord, each faded at both ends so the loop joins.
    chords = [(262, 330, 392), (220, 262, 330), (175, 220, 262), (196, 247, 294)]
    parts = []
    for k, chord in enumerate(chords):
        voices = [tone(scratch_file("chord%d_%d.wav" % (k, j)), 1.0, "sine", freq, 0.18, 0.35, fade_in=0.2)
                  for j, freq in enumerate(chord)]
        parts.append(scratch_file("chord%d.wav" % k))
        sox("-m", *voices, parts[-1])
    sox(*parts, *mp3, os.path.join(sounds, "BGM_Login.mp3"))


# ---------------------------------------------------------------------------------------------------------------
# Layouts (the JSON layout format of docs/layout-format.md)

def node(kind, name=None, **keys):
    result = {"kind": kind}
    if name:
        result["name"] = name
    children = keys.pop("children", None)
    result.update(keys)
    if children:
        result["children"] = children
    return result


def layout(root):
    return {"format": "classroom-layout", "version": 1, "root": root}


def full_window_panel(fill, opacity, **keys):
    return node("Panel", "Panel1", size=[1280, 720], fill=fill, fillOpacity=opacity, touch=True, **keys)


def tips_layout():
    return layout(node("Node", size=[1280, 720], children=[
        full_window_panel("#000000", 110),
        node("ImageView", "BgImage1", pos=[640, 360], size=[560, 320], image="Common/TipBg.png", scale9=True,
             capInsets=[32, 32, 32, 32], visible=False, children=[
                 node("Text", "Content", pos=[280, 200], area=[480, 150], fontSize=28, textColor="#33414eff",
                      hAlign="center", vAlign="center"),
                 node("Button", "Button1", pos=[150, 62], size=[180, 64], fill="#9eaab4", title="Cancel",
                      titleFontSize=26),
                 node("Button", "Button2", pos=[410, 62], size=[180, 64], fill=BLUE, title="OK", titleFontSize=26),
             ]),
    ]))


def panels_layout():
    return layout(node("Node", size=[1280, 720], children=[
        full_window_panel("#000000", 120, visible=False, children=[node("Node", "PosNode", pos=[640, 360])]),
    ]))


def loading_layout():
    return layout(node("Node", size=[1280, 720], children=[
        full_window_panel("#eaf6fd", 255),
        node("ImageView", "Img_Bg9", pos=[640, 360], size=[1280, 1024], image="Common/ClientBg9.png",
             visible=False),
        node("ImageView", "Img_LoadingBg", pos=[640, 110], size=[680, 120], image="Common/TipBg.png", scale9=True,
             capInsets=[32, 32, 32, 32], children=[
                 node("Text", "Text_Loading", pos=[340, 84], text="Loading\u2026", fontSize=26,
                      textColor="#33414eff"),
                 node("Panel", "Layout_LoadTrack", pos=[40, 28], size=[600, 24], fill="#d5e3ec"),
                 node("LoadingBar", "LoadingBar", pos=[340, 40], size=[600, 24], fill=BLUE, percent=0),
             ]),
    ]))


KEY_SIZE, KEY_PITCH, BOARD = (56, 52), 64, (808, 280)
ROW_Y = [230, 170, 110, 50]


def key(number, tag, label, x, y, width=KEY_SIZE[0], font_size=28):
    return node("Button", "KeyBtn%d" % number, tag=tag, pos=[x, y], size=[width, KEY_SIZE[1]],
                normal="Common/KeyCap.png", pressed="Common/KeyCapPressed.png", scale9=True,
                capInsets=[12, 12, 12, 12], children=[
                    node("Text", "Text", pos=[width // 2, KEY_SIZE[1] // 2 + 2], text=label, fontSize=font_size,
                         textColor="#33414eff")])


def keyboard_layout():
    letters = "abcdefghijklmnopqrstuvwxyz"
    rows = ["qwertyuiop", "asdfghjkl", "zxcvbnm"]
    row_start = [24 + 28, 24 + 28 + 28, 152 + 28]
    keys = []
    for number, letter in enumerate(letters, 1):
        row = next(r for r, text in enumerate(rows) if letter in text)
        x = row_start[row] + KEY_PITCH * rows[row].index(letter)
        keys.append(key(number, 1000, letter, x, ROW_Y[row + 1]))
    for k, digit in enumerate("1234567890"):
        keys.append(key(27 + k, 1001, digit, 24 + 28 + KEY_PITCH * k, ROW_Y[0]))
    keys.append(key(37, 1002, "Shift", 84, ROW_Y[3], 120, 22))
    keys.append(key(38, 1003, "Delete", 724, ROW_Y[0], 120, 22))
    keys.append(key(39, 1004, "Clear", 724, ROW_Y[1], 120, 22))
    return layout(node("Node", size=[1280, 720], children=[
        full_window_panel("#000000", 40),
        node("ImageView", "BgImg", pos=[640, 200], size=list(BOARD), image="Common/KeyBoardBg.png", scale9=True,
             capInsets=[20, 20, 20, 20], children=keys),
    ]))


def head_layout(head, ring, frame, with_select):
    width, height = ring + 8, ring + 44
    cx, cy = width // 2, height - ring // 2 - 4
    children = [
        node("ImageView", "HeadImg", pos=[cx, cy], size=[head, head], image="HeadImg0.png"),
        node("ImageView", "IconFrame", pos=[cx, cy], size=[ring, ring], image=frame),
        node("Text", "NameText", pos=[cx, 16], area=[width + 24, 30], fontSize=22, textColor="#33414eff",
             hAlign="center", vAlign="center"),
    ]
    if with_select:
        children.append(node("ImageView", "IconSelect", pos=[width - 14, height - 14], size=[36, 36],
                             image="Common/IconSelect.png", visible=False))
    return layout(node("Node", size=[width, height], children=children))


def course_button_layout():
    return layout(node("Node", children=[
        node("Button", "Btn_Course", size=[240, 200], fill=LIGHT_BLUE),
    ]))


def lecture_button_layout():
    return layout(node("Node", children=[
        node("Button", "LectBtn", size=[180, 180], fill="#e3f2fd", children=[
            node("ImageView", "BgImg", pos=[90, 90], size=[196, 196], image="Common/TipBg.png", scale9=True,
                 capInsets=[32, 32, 32, 32], color="#cfe8f7", z=-1, visible=False),
            node("ImageView", "NumBg", pos=[26, 154], size=[44, 44], image="Common/NumBg.png"),
            node("Text", "NumText", pos=[26, 154], text="1", fontSize=24, textColor="#33414eff"),
            node("ImageView", "Img_New", pos=[150, 164], size=[56, 28], image="Common/Img_New.png", visible=False),
            node("ImageView", "Img_Download", pos=[156, 24], size=[40, 40], image="Common/Img_Download.png",
                 visible=False),
            node("Node", "Loading", pos=[78, 24], visible=False, children=[
                node("Panel", "Layout_LoadTrack", pos=[-56, -6], size=[112, 12], fill="#cfd8dc"),
                node("LoadingBar", "LoadingBar", size=[112, 12], fill=BLUE, percent=0),
                node("Text", "LoadText", pos=[0, 22], text="0%", fontSize=18, textColor="#33414eff"),
            ]),
        ]),
    ]))


def download_layout():
    return layout(node("Node", size=[1280, 720], children=[
        node("Panel", "Layout_LoadPanel", size=[1280, 720], fill="#000000", fillOpacity=110, touch=True),
        node("ImageView", "Img_DownloadBg", pos=[640, 360], size=[520, 290], image="Common/TipBg.png", scale9=True,
             capInsets=[32, 32, 32, 32], children=[
                 node("Text", "Text_Title", pos=[260, 250], text="Downloading\u2026", fontSize=28,
                      textColor="#33414eff"),
                 node("Node", "AniPos", pos=[260, 160]),
                 node("Text", "Text_Progress", pos=[260, 80], text="0/0", fontSize=24, textColor="#5b6b78ff"),
                 node("Panel", "Layout_LoadTrack", pos=[60, 38], size=[400, 16], fill="#d5e3ec"),
                 node("LoadingBar", "LoadingBar", pos=[260, 46], size=[400, 16], fill=BLUE, percent=0),
             ]),
    ]))


LAYOUTS = {
    "Tips.csb": tips_layout,
    "Panels.csb": panels_layout,
    "LoadingLayer.csb": loading_layout,
    "KeyBordLayer.csb": keyboard_layout,
    "Head1.csb": lambda: head_layout(96, 112, "HeadImage/HeadFrame10.png", True),
    "Head2.csb": lambda: head_layout(76, 90, "HeadImage/HeadFrame20.png", False),
    "CourseBtn.csb": course_button_layout,
    "LectureBtn.csb": lecture_button_layout,
    "DownloadLayer.csb": download_layout,
}
LAYOUTS.update(pack_navigation.layouts(node, layout))
LAYOUTS.update(pack_resource.layouts(node, layout))
LAYOUTS.update(pack_tools.layouts(node, layout))
LAYOUTS.update(pack_games.layouts(node, layout))
LAYOUTS.update(pack_video.layouts(node, layout))
LAYOUTS.update(pack_lecture.layouts(node, layout))
LAYOUTS.update(pack_lesson.layouts(node, layout))
LAYOUTS.update(pack_question_list.layouts(node, layout))
LAYOUTS.update(pack_tou_lists.layouts(node, layout))


# ---------------------------------------------------------------------------------------------------------------
# Writing

def write_plist(path, value):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        plistlib.dump(value, out, fmt=plistlib.FMT_XML, sort_keys=False)


def animation_entries():
    entries = {a["name"]: {"Frames": a["frames"], "Begin": 1, "Delay": float(a["delay"]), "Loop": a["loop"]}
               for a in ANIMATIONS}
    # The demo lectures' demonstration steps; their frames ship in the packages.
    sys.dont_write_bytecode = True
    import make_topic_pages
    entries.update(make_topic_pages.demonstration_animations())
    return entries


def write_plists(plist_dir):
    write_plist(os.path.join(plist_dir, "Configs.plist"), CONFIGS)
    write_plist(os.path.join(plist_dir, "Strings.plist"), STRINGS)
    write_plist(os.path.join(plist_dir, "Perload.plist"), PERLOAD)
    write_plist(os.path.join(plist_dir, "Animations.plist"), animation_entries())
    students = [{"Name": name, "Sex": sex, "HeadImage": "HeadImg%d.png" % sex} for name, sex in STUDENTS]
    write_plist(os.path.join(plist_dir, "Student.plist"), {"Students": students})
    for name, value in pack_lesson.plists().items():
        write_plist(os.path.join(plist_dir, name), value)


def format_node(value, indent, width=120):
    """One node as a few lines of at most width columns, its children below it, one level deeper."""
    pad = " " * indent
    items = ['"%s": %s' % (k, json.dumps(v, ensure_ascii=False)) for k, v in value.items() if k != "children"]
    children = value.get("children")
    if children:
        items.append('"children": [')
    lines, line = [], pad + "{ "
    for k, item in enumerate(items):
        last = k == len(items) - 1
        piece = item + ("" if last else ",")
        closing = 2 if last and not children else 0
        if len(line) + len(piece) + closing > width and line.strip() != "{":
            lines.append(line.rstrip())
            line = pad + "  "
        line += piece + ("" if last else " ")
    if not children:
        return "\n".join(lines + [line + " }"])
    inner = ",\n".join(format_node(child, indent + 2, width) for child in children)
    return "\n".join(lines + [line, inner, pad + "] }"])


def write_layouts(layout_dir):
    os.makedirs(layout_dir, exist_ok=True)
    for name, build in LAYOUTS.items():
        document = build()
        head = '{ "format": "%s", "version": %d,\n  "root":\n' % (document["format"], document["version"])
        with open(os.path.join(layout_dir, name), "w", encoding="utf-8") as out:
            out.write(head + format_node(document["root"], 2) + "\n}\n")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--assets", default=os.path.join(here, "..", "assets"), help="the program folder to fill")
    parser.add_argument("--only", choices=["plists", "layouts", "pictures", "animations", "sounds"], action="append",
                        help="write only these parts (default: all)")
    args = parser.parse_args()
    assets = os.path.abspath(args.assets)
    parts = set(args.only or ["plists", "layouts", "pictures", "animations", "sounds"])
    for tool, users in (("convert", {"pictures", "animations"}), ("sox", {"sounds"})):
        if parts & users and shutil.which(tool) is None:
            sys.exit("make-pack: %s is not installed" % tool)

    if "plists" in parts:
        write_plists(os.path.join(assets, "Plist"))
    if "layouts" in parts:
        write_layouts(os.path.join(assets, "Layouts"))
    if "pictures" in parts:
        make_pictures(os.path.join(assets, "Images"))
    if "animations" in parts:
        folder = os.path.join(assets, "Animations")
        for entry in ANIMATIONS:
            if entry["where"] == "pack":
                shutil.rmtree(os.path.join(folder, entry["name"]), ignore_errors=True)
                draw_animation(entry, folder)
    if "sounds" in parts:
        with tempfile.TemporaryDirectory() as scratch:
            make_sounds(os.path.join(assets, "Sounds"), scratch)


if __name__ == "__main__":
    main()
