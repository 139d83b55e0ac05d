"""Layouts and pictures of the lecture, sign-in and grouping screens.

make-pack.py merges `layouts(node, layout)` into its layout table and calls `make_pictures(images, Canvas)` from
its picture step, as it does for pack_navigation.py, whose shared pictures (card, buttons, arrows, ribbon) these
screens reuse.

The lecture screen keeps its pages, stage tabs and arrows inside "Layout_Page", which the scene pins to the top
of the window; the sign-in and grouping screens are centred by the layout offset like the other screens.
"""

import math
import os

import pack_navigation
from pack_navigation import (DARK, HEIGHT, MUTED, ORANGE, ORANGE_EDGE, WHITE, WIDTH, gradient, raised_button, rgba,
                             soft_shadow, with_alpha)

STAGE_COLOURS = ["#2c9368", "#4daefc", "#e75714", "#7094bd"]
# Lecture n's card colour (pale) and ink (its edge and picture).
LECTURE_COLOURS = [("#e3f4ea", "#2c9368"), ("#e1f0fe", "#2f86d4"), ("#fde8dd", "#d0612a"), ("#eceff8", "#5c6fa3"),
                   ("#fff4d6", "#c9921a"), ("#f6e4f4", "#a3519b"), ("#e0f5f5", "#24918f"), ("#fbe3e6", "#c0485a"),
                   ("#eef4dc", "#6f8f22"), ("#e8e6fa", "#6a5acd"), ("#fdeed9", "#c77418"), ("#e2eef6", "#3d7ea6")]
GROUP_TINTS = ["#ffd9d3", "#d5ebfb", "#d9f2de", "#fde6c4"]

BUTTON_INSETS = [26, 26, 26, 26]
CARD_INSETS = [32, 32, 32, 32]


class _Screens(pack_navigation._Screens):
    """Adds to the navigation screens' helpers (background, return button, arrows, heading ribbon)."""

    def wide_button(self, name, title, pos, picture="Navigation/BtnBlue.png", size=(200, 64)):
        return self.node("Button", name, pos=list(pos), size=list(size), normal=picture,
                         scale9=True, capInsets=BUTTON_INSETS, title=title, titleFontSize=28, titleColor=WHITE)

    def card(self, name, pos, size, **keys):
        return self.node("ImageView", name, pos=list(pos), size=list(size), image="Navigation/Card.png",
                         scale9=True, capInsets=CARD_INSETS, **keys)

    def caption(self, name, text, pos, size=26, colour=DARK, **keys):
        return self.node("Text", name, pos=list(pos), text=text, fontSize=size, textColor=rgba(colour), **keys)

    # Eight pages (stages 1 to 4, two pages each), hidden until the scene fills them; six lectures a page.
    def lecture(self):
        node = self.node

        def page(stage, number):
            slots = [node("Node", "BtnPos%d" % (k + 1), pos=[290 + 350 * (k % 3), 330 - 220 * (k // 3)])
                     for k in range(6)]
            return node("ImageView", "Img_Bg%d%d" % (stage, number), anchor=[0, 0], pos=[0, 130], size=[WIDTH, 440],
                        visible=False, children=[
                            self.card("Img_Shelf", [640, 220], [1120, 440], z=-1, color="#f4fbff"),
                            *slots])

        # Stages the grade does not list keep the dimmed look; the scene lights the others.
        def stage_tab(stage):
            return node("Button", "StageBtn%d" % stage, pos=[340 + 200 * (stage - 1), 605], size=[180, 60],
                        normal="ClassScene/SchoolTab.png", pressed="ClassScene/SchoolTabOn.png",
                        disabled="Lecture/StageTabOff.png", bright=False, scale9=True, capInsets=[20, 20, 20, 20],
                        title="Stage %d" % stage, titleFontSize=26, titleColor=STAGE_COLOURS[stage - 1])

        pages = [page(stage, number) for stage in range(1, 5) for number in (1, 2)]
        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=[
            # The fish of the "Lecture" list swims over the seabed, at the window's foot on any height.
            self.background("Lecture/SeaBg.png", children=[
                node("ImageView", "Img_Seabed", anchor=[0.5, 0], pos=[640, 0], image="Lecture/Seabed.png"),
                node("Node", "AniPos1", pos=[1080, 60])]),
            node("Panel", "Layout_Page", anchor=[0, 1], pos=[0, HEIGHT], size=[WIDTH, HEIGHT], clip=True, children=[
                *pages,
                self.heading("Choose a lecture"),
                *[stage_tab(stage) for stage in range(1, 5)],
                self.arrow("LeftBtn", "Left", [48, 350]),
                self.arrow("RightBtn", "Right", [1232, 350]),
                node("ImageView", "Img_PageBg", pos=[640, 92], size=[120, 44], image="Navigation/Card.png",
                     scale9=True, capInsets=CARD_INSETS),
                node("Text", "PageText", pos=[640, 92], text="0/0", area=[110, 40], fontSize=26,
                     textColor=rgba(DARK), hAlign="center", vAlign="center"),
            ]),
            self.return_button(),
        ]))

    # The list of pupils not signed in on the left, the ship with the signed-in pupils on the right; eight heads
    # a side (4 x 2), each 84 x 109 at the scene's 0.7 scale.
    def sign(self):
        node = self.node
        list_slots = [node("Node", "ListPos%d" % (k + 1), pos=[80 + 120 * (k % 4), 250 - 135 * (k // 4)])
                      for k in range(8)]
        ship_slots = [node("Node", "SignPos%d" % (k + 1), pos=[100 + 120 * (k % 4), 280 - 118 * (k // 4)])
                      for k in range(8)]
        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=[
            self.background("Sign/SkyBg.png", children=[
                node("ImageView", "Img_Sea", anchor=[0.5, 0], pos=[640, 0], image="Sign/Sea.png")]),
            node("ImageView", "EarthPanel", pos=[1170, 600], image="Sign/Earth.png"),
            node("Node", "BalloonPos", pos=[200, 610]),
            self.heading("Sign in"),
            node("ImageView", "Img_ListLight", pos=[300, 365], size=[540, 390], image="Sign/ListLight.png",
                 scale9=True, capInsets=CARD_INSETS),
            self.card("Img_List", [300, 365], [500, 350], children=[
                self.caption("Text_List", "Not signed in", [250, 322], 24, MUTED),
                *list_slots]),
            self.arrow("LeftBtn", "Left", [110, 130]),
            self.wide_button("OneKeySignBtn", "Sign in all", [300, 130], "Navigation/BtnGreen.png", (220, 64)),
            self.arrow("RightBtn", "Right", [490, 130]),
            node("ImageView", "Img_Ship", pos=[920, 320], image="Sign/Ship.png", children=ship_slots),
            self.arrow("Sign_Btn_page1", "Left", [660, 110]),
            self.arrow("Sign_Btn_page2", "Right", [1180, 110]),
            # The boat sails off on the sea; the waves splash at the ship's waterline.
            node("ImageView", "SailImg", pos=[600, 60], image="Sail/Sail1.png"),
            node("ImageView", "WaveImg", pos=[920, 140], size=[200, 64]),
            self.wide_button("ConfirmBtn", "Set sail", [920, 44], "Sign/BtnOrange.png", (220, 64)),
            self.return_button(),
        ]))

    # The pupils without a group on the left (2 x 2 a page), the groups' drop areas on the right: 12 places
    # each for 2 groups (scale 0.83), 9 for 3 and 6 for 4 (scale 0.8).
    def group(self):
        node = self.node
        left, right, bottom, top = 350, 1260, 110, 590

        def group_panel(count):
            gap = 12
            width = (right - left - gap * (count - 1)) / count
            columns = {2: 4, 3: 3, 4: 2}[count]
            rows = 3
            children = []
            for g in range(1, count + 1):
                x0 = left + (g - 1) * (width + gap)
                children.append(node("Panel", "GroupBg%d" % g, pos=[round(x0), bottom],
                                     size=[round(width), top - bottom], image="Navigation/Card.png", scale9=True,
                                     capInsets=CARD_INSETS, color=GROUP_TINTS[g - 1], children=[
                                         self.caption("Text_Group", "Group %d" % g, [round(width / 2), 452], 24)]))
                cx = x0 + width / 2
                for k in range(columns * rows):
                    column, row = k % columns, k // columns
                    x = cx + (column - (columns - 1) / 2.0) * {2: 104, 3: 86, 4: 100}[count]
                    y = 360 - 128 * row + bottom
                    children.append(node("Node", "GroupPos%d%d%d" % (count, g, k + 1), pos=[round(x), round(y)]))
            return node("Panel", "GroupPanel%d" % count, size=[WIDTH, HEIGHT], visible=False, children=children)

        def count_button(count):
            return node("Button", "GroupBtn%d" % count, pos=[941 + 126 * (count - 2), 640], size=[120, 56],
                        normal="ClassScene/SchoolTab.png", pressed="ClassScene/SchoolTabOn.png", scale9=True,
                        capInsets=[20, 20, 20, 20], title="%d groups" % count, titleFontSize=21, titleColor=DARK)

        list_area = dict(pos=[30, bottom], size=[300, top - bottom], image="Navigation/Card.png", scale9=True,
                         capInsets=CARD_INSETS)
        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=[
            self.background("Sign/SkyBg.png"),
            self.heading("Make groups"),
            # The page controls hide with the list when everybody has a group.
            node("Panel", "ListPanel", **list_area, children=[
                self.caption("Text_List", "No group yet", [150, 452], 24, MUTED),
                self.arrow("PageUpBtn", "Up", [50, 52]),
                node("Text", "PageText11", pos=[125, 52], text="1", area=[40, 36], fontSize=26,
                     textColor=rgba(DARK), hAlign="right", vAlign="center"),
                self.caption("Text_Slash", "/", [150, 52]),
                node("Text", "PageText12", pos=[175, 52], text="1", area=[40, 36], fontSize=26,
                     textColor=rgba(DARK), hAlign="left", vAlign="center"),
                self.arrow("PageDownBtn", "Down", [250, 52])]),
            node("Panel", "ListNonePanel", **list_area, visible=False, children=[
                self.caption("Text_None", "Everyone has a group", [150, 240], 24, MUTED, area=[260, 80],
                             hAlign="center", vAlign="center")]),
            node("Node", "ListPos1", pos=[105, 450]),
            node("Node", "ListPos2", pos=[255, 450]),
            node("Node", "ListPos3", pos=[105, 282]),
            node("Node", "ListPos4", pos=[255, 282]),
            *[group_panel(count) for count in (2, 3, 4)],
            *[count_button(count) for count in (2, 3, 4)],
            self.wide_button("RandomBtn", "Random", [520, 56], "Navigation/BtnGreen.png"),
            self.wide_button("ResetBtn", "Reset", [760, 56]),
            self.wide_button("ConfirmBtn", "Start lesson", [1110, 56], "Sign/BtnOrange.png", (240, 64)),
            self.return_button(),
        ]))


def layouts(node, layout):
    """File name -> function that returns the layout document."""
    screens = _Screens(node, layout)
    return {
        "LectureScene.csb": screens.lecture,
        "SignScene.csb": screens.sign,
        "GroupScene.csb": screens.group,
    }


# ---------------------------------------------------------------------------------------------------------------
# Pictures

def open_book(c, cx, cy, ink, paper):
    for side in (-1, 1):
        c.poly([(cx, cy - 22), (cx + side * 46, cy - 32), (cx + side * 46, cy + 24), (cx, cy + 34)], paper, ink, 4)
        for k in range(3):
            y = cy - 14 + 12 * k
            c.line([(cx + side * 10, y), (cx + side * 36, y - 4)], with_alpha(ink, 0.6), 3)
    c.line([(cx, cy - 22), (cx, cy + 34)], ink, 4)


def lecture_pictures(Canvas, folder):
    for n in range(1, 13):
        pale, ink = LECTURE_COLOURS[n - 1]
        looks = [("1", pale, ink, WHITE), ("2", with_alpha(ink, 0.35), ink, "#f2f6f8"),
                 ("3", "#e3e6e8", "#9aa4ab", "#f4f5f6")]
        for suffix, fill, edge, paper in looks:
            c = Canvas(180, 180)
            soft_shadow(c, 8, 12, 171, 175, 26, alpha=0.18)
            c.rect(5, 5, 174, 170, 26, fill, edge, 4)
            open_book(c, 90, 64, edge, paper)
            c.text(0, 22, "Lesson %d" % n, 20, edge)
            c.save(os.path.join(folder, "LectureBtn%02d%s.png" % (n, suffix)))
    for stage, colour in enumerate(STAGE_COLOURS, 1):
        c = Canvas(44, 44)
        c.circle(22, 22, 19, WHITE, colour, 4)
        c.save(os.path.join(folder, "LectureNumBg%d.png" % stage))

    c = Canvas(64, 64)
    c.rect(2, 2, 61, 58, 16, "#e3e6e8", "#b0b8be", 2)
    c.save(os.path.join(folder, "StageTabOff.png"))

    gradient(os.path.join(folder, "SeaBg.png"), "#c7ecff", "#7cc8ee")
    c = Canvas(WIDTH, 120)
    points = [(x, 60 + 14 * math.sin(x / 90.0)) for x in range(0, WIDTH + 1, 16)]
    c.poly(points + [(WIDTH, 120), (0, 120)], "#f3dfae")
    for x, h, colour in [(120, 70, "#43a047"), (150, 50, "#66bb6a"), (860, 80, "#2e7d32"), (900, 55, "#43a047"),
                         (1220, 65, "#66bb6a")]:
        c.line([(x, 118), (x - 8, 118 - h / 2), (x + 4, 118 - h)], colour, 8)
    for x in (320, 560, 700, 1010):
        c.ellipse(x, 100, 16, 7, "#e8c98a")
    c.save(os.path.join(folder, "Seabed.png"))


def sign_pictures(Canvas, folder):
    gradient(os.path.join(folder, "SkyBg.png"), "#bfe6ff", "#f6fcff")
    c = Canvas(96, 72)
    raised_button(c, 96, 72, ORANGE, ORANGE_EDGE)
    c.save(os.path.join(folder, "BtnOrange.png"))

    c = Canvas(WIDTH, 90)
    back = [(x, 26 + 8 * math.sin(x / 60.0)) for x in range(0, WIDTH + 1, 8)]
    front = [(x, 44 + 7 * math.sin(x / 45.0 + 1.3)) for x in range(0, WIDTH + 1, 8)]
    c.poly(back + [(WIDTH, 90), (0, 90)], "#81d4fa")
    c.poly(front + [(WIDTH, 90), (0, 90)], "#29b6f6")
    c.save(os.path.join(folder, "Sea.png"))

    c = Canvas(140, 140)
    c.circle(70, 70, 64, "#4fc3f7", "#0288d1", 4)
    for blob in ([(40, 30), (72, 22), (84, 44), (60, 62), (36, 54)], [(82, 76), (112, 70), (118, 96), (92, 112),
                                                                    (78, 98)], [(28, 84), (50, 92), (44, 112)]):
        c.poly(blob, "#66bb6a", "#388e3c", 2)
    c.ellipse(50, 40, 16, 9, with_alpha(WHITE, 0.35))
    c.save(os.path.join(folder, "Earth.png"))

    c = Canvas(96, 96)
    c.rect(4, 4, 91, 91, 30, with_alpha("#ffe082", 0.55), with_alpha("#ffca28", 0.9), 4)
    c.save(os.path.join(folder, "ListLight.png"))

    # The ship carries two rows of four heads; the hull is below them, the sail behind.
    w, h = 560, 400
    c = Canvas(w, h)
    c.line([(280, 8), (280, 250)], "#6d4c41", 10)
    c.poly([(290, 20), (290, 200), (480, 200)], WHITE, "#90a4ae", 3)
    c.poly([(270, 40), (270, 200), (110, 200)], "#fff3e0", "#ffb74d", 3)
    c.poly([(280, 8), (330, 20), (280, 32)], "#ef5350")
    c.rect(22, 56, 538, 318, 28, with_alpha("#fff8e1", 0.92), "#bcaaa4", 3)
    c.poly([(0, 300), (w, 300), (w - 60, 392), (60, 392)], "#8d6e63", "#5d4037", 5)
    c.line([(20, 322), (w - 20, 322)], "#a1887f", 6)
    for x in range(110, w - 80, 80):
        c.circle(x, 352, 12, "#e3f2fd", "#5d4037", 4)
    c.save(os.path.join(folder, "Ship.png"))


def make_pictures(images, Canvas):
    lecture_pictures(Canvas, os.path.join(images, "Lecture"))
    sign_pictures(Canvas, os.path.join(images, "Sign"))
