"""Layouts and pictures of the grade and lecture lists that lead to picture books, stories and game lectures.

make-pack.py merges `layouts(node, layout)` into its layout table and calls `make_pictures(images, Canvas)` from
its picture step, as for pack_navigation.py, whose shared pieces (background, heading, arrows, return button)
these screens reuse. Both screens are drawn for 1280x720.
"""

import math
import os

import pack_navigation as nav

GRADE_COLOURS = ["#ef6a5a", "#f5a623", "#43b85c", "#9b6ad6", "#3aa3e6", "#1fb5a8"]
LECTURE_COLOURS = ["#3aa3e6", "#ef6a5a", "#43b85c", "#f5a623", "#9b6ad6", "#1fb5a8",
                   "#e0607e", "#5c6bc0", "#8bc34a", "#ff8a65", "#26a69a", "#ab47bc"]
GRADE_BUTTON = (220, 200)
LECTURE_BUTTON = (236, 200)
TITLE_STRIP = 58  # the white strip at the bottom of a lecture button that holds its title


class _Screens:
    def __init__(self, node, layout):
        self.node, self.layout = node, layout
        self.shared = nav._Screens(node, layout)

    # The client's panel holds the grade buttons: three columns at 160, 480 and 800 of "Panel_Layout", rows 240
    # apart from its top quarter.
    def grade(self):
        node = self.node
        client = node("Panel", "Panel_Client9", size=[nav.WIDTH, nav.HEIGHT], visible=False, children=[
            node("Panel", "Panel_Layout", pos=[160, 60], size=[960, 480]),
            self.shared.return_button(),
        ])
        return self.layout(node("Node", size=[nav.WIDTH, nav.HEIGHT], children=[
            self.shared.background("TouGrade/Bg.png"),
            self.shared.heading("Choose a grade"),
            client,
        ]))

    # Eight lectures a page: four columns 280 apart, two rows 240 apart, the page number below them.
    def lecture(self):
        node = self.node
        return self.layout(node("Node", size=[nav.WIDTH, nav.HEIGHT], children=[
            self.shared.background("TouLecture/Bg.png"),
            self.shared.client_background(),
            self.shared.heading("Choose a lecture"),
            node("Panel", "Panel_Layout", pos=[80, 96], size=[1120, 480]),
            self.shared.arrow("Btn_Prev", "Left", [44, 336]),
            self.shared.arrow("Btn_Next", "Right", [1236, 336]),
            node("ImageView", "Img_PageBg", pos=[640, 48], size=[136, 48], image="Navigation/Card.png", scale9=True,
                 capInsets=[32, 20, 32, 20], children=[
                     node("Text", "Text_Page", pos=[68, 24], text="1/1", area=[120, 40], fontSize=26,
                          textColor=nav.rgba(nav.DARK), hAlign="center", vAlign="center")]),
            self.shared.return_button(),
        ]))

    # The scene places the button; its title, state box, update badge and progress ride on it.
    def lecture_button(self):
        node = self.node
        w, h = LECTURE_BUTTON
        return self.layout(node("Node", children=[
            node("Button", "Btn_TouLecture", size=[w, h], normal="TouLecture/TouLecture_Btn011.png", children=[
                node("Text", "Text_Title", pos=[w // 2, TITLE_STRIP // 2 + 4], text="", area=[w - 24, 40],
                     fontSize=24, textColor=nav.rgba(nav.DARK), hAlign="center", vAlign="center"),
                node("CheckBox", "cb_State", pos=[w - 30, h - 28], box="TouLecture/StateBox.png",
                     check="TouLecture/StateCheck.png", touch=False),
                node("ImageView", "Img_Update", pos=[54, h - 26], image="TouLecture/Update.png", visible=False),
                # Over the bottom of the picture, above the title.
                node("Slider", "Slider_Progress", pos=[w // 2, TITLE_STRIP + 26], size=[w - 56, 12],
                     barFill="#00000055", progressFill=nav.WHITE, ballFill="#ffe082", ballSize=[20, 20], percent=0,
                     touch=False, visible=False),
            ]),
        ]))


def layouts(node, layout):
    """File name -> function that returns the layout document."""
    screens = _Screens(node, layout)
    return {"TouGradeScene.csb": screens.grade, "TouLectureScene.csb": screens.lecture,
            "TouLectureBtn.csb": screens.lecture_button}


# ---------------------------------------------------------------------------------------------------------------
# Pictures

def darker(colour, amount=0.22):
    r, g, b = (int(colour[i:i + 2], 16) for i in (1, 3, 5))
    return "#%02x%02x%02x" % tuple(int(v * (1 - amount)) for v in (r, g, b))


def grade_button(Canvas, path, grade, colour, look):
    w, h = GRADE_BUTTON
    fill = {0: colour, 1: darker(colour), 2: "#a7b1bb"}[look]
    c = Canvas(w, h)
    nav.soft_shadow(c, 10, 14, w - 10, h - 4, 30)
    c.rect(8, 6, w - 9, h - 10, 30, fill, nav.WHITE, 4)
    c.circle(w / 2, 82, 56, nav.with_alpha(nav.WHITE, 0.25))
    c.text(0, -22, str(grade), 84, nav.WHITE)
    c.rect(36, h - 58, w - 37, h - 22, 18, nav.WHITE)
    c.text(0, 60, "Grade %d" % grade, 24, fill if look != 2 else "#6f7b87")
    c.save(path)


def motif(c, kind, x, y, colour):
    """A small picture-book motif centred at (x, y)."""
    if kind == 0:  # sun
        for k in range(8):
            c.line([(x, y), (x + 34 * [1, 0.7, 0, -0.7, -1, -0.7, 0, 0.7][k],
                             y + 34 * [0, 0.7, 1, 0.7, 0, -0.7, -1, -0.7][k])], "#ffe082", 5)
        c.circle(x, y, 20, "#ffd54f", nav.WHITE, 3)
    elif kind == 1:  # waves
        for k, dy in enumerate((-14, 2, 18)):
            points = [(x - 44 + 8 * i, y + dy + (6 if i % 2 else -6)) for i in range(12)]
            c.line(points, nav.with_alpha(nav.WHITE, 0.9 - 0.2 * k), 5)
    elif kind == 2:  # hills and a tree
        c.ellipse(x - 16, y + 30, 46, 26, nav.with_alpha(nav.WHITE, 0.55), start=180, end=360)
        c.ellipse(x + 24, y + 30, 36, 20, nav.with_alpha(nav.WHITE, 0.8), start=180, end=360)
        c.rect(x + 20, y - 6, x + 28, y + 12, 2, "#8d6e63")
        c.circle(x + 24, y - 16, 16, "#66bb6a", nav.WHITE, 2)
    elif kind == 3:  # star
        points = []
        for k in range(10):
            r = 34 if k % 2 == 0 else 14
            a = math.radians(-90 + 36 * k)
            points.append((x + r * math.cos(a), y + r * math.sin(a)))
        c.poly(points, "#ffe082", nav.WHITE, 3)
    elif kind == 4:  # moon
        c.circle(x, y, 28, "#fff3c4")
        c.circle(x + 14, y - 8, 24, colour)
        c.circle(x + 30, y + 18, 3, nav.WHITE)
        c.circle(x - 34, y - 20, 2.5, nav.WHITE)
    else:  # open book
        c.poly([(x - 40, y - 14), (x, y - 6), (x + 40, y - 14), (x + 40, y + 26), (x, y + 32), (x - 40, y + 26)],
               darker(colour, 0.3))
        c.poly([(x - 36, y - 20), (x - 2, y - 12), (x - 2, y + 24), (x - 36, y + 18)], nav.WHITE)
        c.poly([(x + 36, y - 20), (x + 2, y - 12), (x + 2, y + 24), (x + 36, y + 18)], nav.WHITE)


def lecture_button(Canvas, path, design, look):
    w, h = LECTURE_BUTTON
    colour = LECTURE_COLOURS[design]
    fill = {0: colour, 1: darker(colour), 2: "#a7b1bb"}[look]
    c = Canvas(w, h)
    nav.soft_shadow(c, 10, 12, w - 10, h - 4, 24)
    c.rect(8, 6, w - 9, h - 10, 24, nav.WHITE if look != 2 else "#e3e7eb", "#d3e1ea", 2)
    c.rect(8, 6, w - 9, h - 10 - TITLE_STRIP, 24, fill)
    c.rect(8, h - 10 - TITLE_STRIP - 24, w - 9, h - 10 - TITLE_STRIP, 0, fill)
    motif(c, design % 6, w / 2, (h - 10 - TITLE_STRIP) / 2 + 6, fill)
    c.save(path)


def make_pictures(images, Canvas):
    nav.gradient(os.path.join(images, "TouGrade", "Bg.png"), "#ffe8c7", "#fff9ef")
    nav.gradient(os.path.join(images, "TouLecture", "Bg.png"), "#e2f4e8", "#f7fdf9")
    for grade in range(1, 7):
        for look in range(3):
            grade_button(Canvas, os.path.join(images, "TouGrade", "TouGrade_Btn%d%d.png" % (grade, look + 1)), grade,
                         GRADE_COLOURS[grade - 1], look)
    for design in range(12):
        for look in range(3):
            lecture_button(Canvas, os.path.join(images, "TouLecture", "TouLecture_Btn%.2d%d.png" % (design + 1,
                                                                                                  look + 1)),
                           design, look)

    folder = os.path.join(images, "TouLecture")
    c = Canvas(40, 40)
    c.circle(20, 20, 17, nav.WHITE, "#b0bec5", 3)
    c.save(os.path.join(folder, "StateBox.png"))
    c = Canvas(40, 40)
    c.circle(20, 20, 17, nav.GREEN, nav.WHITE, 3)
    c.line([(11, 21), (18, 28), (29, 14)], nav.WHITE, 4)
    c.save(os.path.join(folder, "StateCheck.png"))
    c = Canvas(92, 32)
    c.rect(1, 1, 90, 30, 14, nav.RED, nav.WHITE, 2)
    c.text(0, 0, "Update", 16, nav.WHITE)
    c.save(os.path.join(folder, "Update.png"))
