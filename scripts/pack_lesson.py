"""Layouts, pictures and the navigation-bar configuration of the lesson player, its video page and its pop-up.

make-pack.py merges `layouts(node, layout)` into its layout table, writes `plists()` into Plist/ and calls
`make_pictures(images, Canvas)` from its picture step, as for the navigation screens.

Drawn for 1280x720. The program raises the direct children of a layout by the layout offset on a taller window,
and lowers "Panel_Layer", "Panel_Game", "Img_SetBg" and "Btn_Set" again: the settings button and its menu stay in
the bottom-right corner, everything else stays centred around the content.
"""

import math
import os
import sys

from pack_navigation import (BLUE, BLUE_EDGE, DARK, GREEN, GREEN_EDGE, HEIGHT, ORANGE, ORANGE_EDGE, RED, RED_EDGE,
                             WHITE, WIDTH, gradient, raised_button, rgba, round_button, soft_shadow, with_alpha)

NAV_TITLES = ["Opening", "Lecture", "Practice", "Game", "Exercise", "Challenge", "Summary"]
NAV_SIZE = (112, 60)
NAV_PITCH, NAV_CENTRE, NAV_Y = 120, 620, 46
# Navigation-bar themes: picture folder and the colours of the normal and pressed states.
NAV_THEMES = {"Nav": (BLUE, BLUE_EDGE), "Nav/Language": (GREEN, GREEN_EDGE)}
# "%d%.2d" of course type and subject -> theme of its bar.
NAV_ENTRIES = {"101": "Nav", "102": "Nav/Language", "305": "Nav", "406": "Nav"}
PURPLE, PURPLE_EDGE, TEAL, TEAL_EDGE = "#9b6ad6", "#7447ad", "#26a69a", "#1b7f75"


def nav_picture(theme, number, state):
    return "%s/NavBtn%d_%d.png" % (theme, number, state)


# ---------------------------------------------------------------------------------------------------------------
# Layouts

def _lesson_player(node, layout):
    nav_buttons = [node("Button", "Btn_Nav%d" % i, pos=[NAV_CENTRE + NAV_PITCH * (i - 4), NAV_Y],
                        normal=nav_picture("Nav", i, 1), pressed=nav_picture("Nav", i, 2),
                        disabled=nav_picture("Nav", i, 3))
                   for i in range(1, 8)]

    def tool(name, picture, x):
        return node("Button", name, anchor=[0.5, 1], pos=[x, 712], normal="Lesson/%s.png" % picture)

    def setting(number, picture, title, x):
        # The label sits under its button, inside the menu's panel.
        return node("Button", "SetBtn%d" % number, pos=[x, 74], normal="Lesson/%s.png" % picture, children=[
            node("Text", "Text_Set%d" % number, pos=[36, -14], text=title, fontSize=16, textColor=rgba(DARK))])

    return layout(node("Node", size=[WIDTH, HEIGHT], children=[
        node("Panel", "Panel1", size=[WIDTH, HEIGHT], image="Lesson/LessonBg.png"),
        node("Panel", "Panel_Layer", size=[WIDTH, HEIGHT]),
        node("ImageView", "Img_NavBg", pos=[NAV_CENTRE, NAV_Y], size=[1010, 84], image="Lesson/NavBar.png",
             scale9=True, capInsets=[30, 30, 30, 30]),
        *nav_buttons,
        node("Button", "Btn_Left", pos=[168, NAV_Y], normal="Navigation/ArrowLeft.png", visible=False),
        node("Button", "Btn_Right", pos=[1072, NAV_Y], normal="Navigation/ArrowRight.png"),
        node("Button", "Btn_Return", anchor=[0.5, 1], pos=[64, HEIGHT], normal="Navigation/BtnReturn.png"),
        tool("Btn_Sign", "BtnSign", 1004),
        tool("Btn_Score", "BtnScore", 1096),
        tool("Btn_DrawBoard", "BtnDraw", 1188),
        # Opens leftwards from the right edge, above the settings button.
        node("ImageView", "Img_SetBg", anchor=[1, 0], pos=[1264, 96], size=[372, 124], image="Lesson/SetMenuBg.png",
             scale9=True, capInsets=[26, 26, 26, 26], children=[
                 setting(1, "SetExit", "Exit", 54),
                 setting(2, "SetAddition", "More", 142),
                 setting(3, "SetRest", "Break", 230),
                 setting(4, "SetMusic", "Sound", 318),
             ]),
        node("Button", "Btn_Set", pos=[1220, NAV_Y], normal="Lesson/BtnSet.png"),
        # Above the tool buttons: the game frame covers them while it is open.
        node("Panel", "Panel_Game", size=[WIDTH, HEIGHT], visible=False),
    ]))


def _movie_page(node, layout):
    return layout(node("Node", size=[WIDTH, HEIGHT], children=[
        node("ImageView", "PerImg", pos=[640, 360], size=[WIDTH, HEIGHT]),
        node("Button", "PlayBtn", pos=[640, 370], normal="Lesson/PlayBtn.png"),
        node("ImageView", "Img_Title", anchor=[0.5, 1], pos=[640, 712], size=[560, 96], image="Navigation/Ribbon.png",
             scale9=True, capInsets=[64, 0, 64, 0], visible=False, children=[
                 node("Text", "Text_Title", pos=[280, 60], area=[440, 48], fontSize=30, textColor=rgba(WHITE),
                      hAlign="center", vAlign="center")]),
        node("Button", "FinishBtn", pos=[1104, 164], normal="Lesson/FinishBtn.png", visible=False),
    ]))


def _popup(node, layout):
    def text(name, text, y, size, colour=WHITE):
        return node("Text", name, pos=[0, y], text=text, area=[900, size + 24], fontSize=size,
                    textColor=rgba(colour), hAlign="center", vAlign="center")

    def sign(name, picture, x):
        # Hangs from the top edge by its ropes; the program drops it in from above.
        return node("Button", name, anchor=[0.5, 1], pos=[x, HEIGHT], normal="Lesson/%s.png" % picture)

    rest = node("Panel", "Layout_RestStart", size=[WIDTH, HEIGHT], visible=False, children=[
        node("Node", "Node_RestCentre", pos=[640, 360], children=[
            text("Text_Rest", "Class break", 170, 48),
            text("Text_RestHint", "Open the lock, then tap anywhere to go on with the lesson.", -150, 24,
                 "#d7e6f3"),
            # Below the hint, clear of the lesson's own buttons that show dimmed around the edges.
            node("Button", "Btn_Lock", pos=[0, -225], normal="Lesson/Lock.png"),
            node("Button", "Btn_UnLock", pos=[0, -225], normal="Lesson/Unlock.png", visible=False),
        ]),
    ])
    finish = node("Panel", "Layout_Finish", size=[WIDTH, HEIGHT], visible=False, children=[
        node("Node", "Node_FinishCentre", pos=[640, 360], children=[
            node("ImageView", "Img_FinishCard", pos=[0, -120], size=[600, 240], image="Navigation/Card.png",
                 scale9=True, capInsets=[32, 32, 32, 32], children=[
                     node("ImageView", "Img_FinishStar", pos=[300, 176], image="Lesson/FinishStar.png"),
                     node("Text", "Text_Finish", pos=[300, 92], text="The lesson is over", area=[540, 48],
                          fontSize=34, textColor=rgba(DARK), hAlign="center", vAlign="center"),
                     node("Text", "Text_FinishHint", pos=[300, 44], text="The class's results were sent.",
                          area=[540, 36], fontSize=22, textColor="#5b6b78ff", hAlign="center", vAlign="center"),
                 ]),
        ]),
        sign("Btn_Again", "BtnAgain", 470),
        sign("Btn_Finish", "BtnFinish", 810),
    ])
    return layout(node("Node", size=[WIDTH, HEIGHT], children=[
        node("Panel", "Layout_Bg", anchor=[0.5, 0.5], pos=[640, 360], size=[WIDTH, HEIGHT], fill="#0b2340",
             fillOpacity=215, touch=True, children=[rest, finish]),
    ]))


def layouts(node, layout):
    """File name -> function that returns the layout document."""
    return {
        "LogicTopicScene.csb": lambda: _lesson_player(node, layout),
        "MovieLayer.csb": lambda: _movie_page(node, layout),
        "PopupLayer.csb": lambda: _popup(node, layout),
    }


def plists():
    """File name -> value of the property lists."""
    def states(picture):
        return {str(state): picture(state) for state in (1, 2, 3)}

    config = {}
    for key, theme in NAV_ENTRIES.items():
        config[key] = {
            "NavBtns": {str(i): states(lambda s, i=i: nav_picture(theme, i, s)) for i in range(1, 8)},
        }
    return {"NavConfig.plist": config}


# ---------------------------------------------------------------------------------------------------------------
# Pictures

def tab(Canvas, path, w, h, fill, edge, text, text_colour, size=20):
    c = Canvas(w, h)
    c.rect(2, 5, w - 3, h - 2, 16, edge)
    c.rect(2, 2, w - 3, h - 6, 16, fill, edge, 2)
    c.text(0, -2, text, size, text_colour)
    c.save(path)


def nav_pictures(Canvas, images):
    w, h = NAV_SIZE
    for theme, (colour, edge) in NAV_THEMES.items():
        folder = os.path.join(images, theme)
        for i, title in enumerate(NAV_TITLES, 1):
            # Room on both sides of the longest titles.
            size = 18 if len(title) < 9 else 15
            tab(Canvas, os.path.join(folder, "NavBtn%d_1.png" % i), w, h, WHITE, edge, title, edge, size)
            tab(Canvas, os.path.join(folder, "NavBtn%d_2.png" % i), w, h, colour, edge, title, WHITE, size)
            tab(Canvas, os.path.join(folder, "NavBtn%d_3.png" % i), w, h, "#e4e8eb", "#b8c1c8", title, "#9aa7b1",
                size)


def icon_button(Canvas, path, fill, edge, draw, size=72):
    c = Canvas(size, size)
    r = size / 2 - 6
    round_button(c, size / 2, size / 2 - 2, r, fill, edge)
    draw(c, size / 2, size / 2 - 2, r)
    c.save(path)


def draw_sign(c, x, y, r):
    c.circle(x, y - r * 0.25, r * 0.24, WHITE)
    c.ellipse(x, y + r * 0.5, r * 0.45, r * 0.32, WHITE, start=180, end=360)
    c.line([(x + r * 0.25, y + r * 0.1), (x + r * 0.42, y + r * 0.28), (x + r * 0.72, y - r * 0.08)], "#ffe082", 4)


def draw_score(c, x, y, r, colour=WHITE):
    # make-pack's star, from the module whose Canvas this is.
    star_points = sys.modules[type(c).__module__].star_points
    c.poly(star_points(x, y, r * 0.6, r * 0.25), colour)


def draw_pen(c, x, y, r):
    c.line([(x - r * 0.4, y + r * 0.4), (x + r * 0.35, y - r * 0.35)], WHITE, 9)
    c.poly([(x - r * 0.52, y + r * 0.52), (x - r * 0.5, y + r * 0.26), (x - r * 0.26, y + r * 0.5)], "#ffe082")


def draw_gear(c, x, y, r):
    for k in range(8):
        angle = math.radians(45 * k)
        c.line([(x + r * 0.3 * math.cos(angle), y + r * 0.3 * math.sin(angle)),
                (x + r * 0.62 * math.cos(angle), y + r * 0.62 * math.sin(angle))], WHITE, 8)
    c.circle(x, y, r * 0.42, WHITE)
    c.circle(x, y, r * 0.18, "#5c6bc0")


def draw_power(c, x, y, r):
    c.ellipse(x, y + r * 0.05, r * 0.45, r * 0.45, "none", WHITE, 5, 300, 600)
    c.line([(x, y - r * 0.55), (x, y - r * 0.05)], WHITE, 5)


def draw_book(c, x, y, r):
    c.poly([(x - r * 0.6, y - r * 0.4), (x, y - r * 0.25), (x, y + r * 0.5), (x - r * 0.6, y + r * 0.35)], WHITE)
    c.poly([(x + r * 0.6, y - r * 0.4), (x, y - r * 0.25), (x, y + r * 0.5), (x + r * 0.6, y + r * 0.35)],
           "#e3f2fd")


def draw_cup(c, x, y, r):
    c.rect(x - r * 0.45, y - r * 0.3, x + r * 0.3, y + r * 0.45, 6, WHITE)
    c.ellipse(x + r * 0.38, y + r * 0.05, r * 0.18, r * 0.2, "none", WHITE, 4)
    for dx in (-0.25, 0.05):
        c.line([(x + r * dx, y - r * 0.45), (x + r * (dx + 0.08), y - r * 0.65)], with_alpha(WHITE, 0.8), 3)


def draw_note(c, x, y, r):
    c.circle(x - r * 0.25, y + r * 0.4, r * 0.2, WHITE)
    c.line([(x - r * 0.08, y + r * 0.4), (x - r * 0.08, y - r * 0.5), (x + r * 0.4, y - r * 0.3)], WHITE, 5)


def draw_play(c, x, y, r):
    c.poly([(x - r * 0.28, y - r * 0.45), (x + r * 0.5, y), (x - r * 0.28, y + r * 0.45)], WHITE)


def padlock(Canvas, path, open_):
    c = Canvas(88, 88)
    round_button(c, 44, 42, 36, with_alpha(WHITE, 0.95), "#8aa0b4")
    shackle = [(32, 44), (32, 30), (36, 22), (52, 22), (56, 30)] + ([(56, 34)] if open_ else [(56, 44)])
    c.line(shackle, DARK if not open_ else GREEN_EDGE, 6)
    c.rect(24, 40, 64, 64, 6, DARK if not open_ else GREEN)
    c.circle(44, 50, 4, WHITE)
    c.line([(44, 50), (44, 57)], WHITE, 3)
    c.save(path)


def hanging_sign(Canvas, path, text, fill, edge):
    w, h = 260, 190
    c = Canvas(w, h)
    for x in (60, 200):
        c.line([(x, 0), (x, 100)], "#8d6e63", 5)
    c.rect(6, 96, w - 7, h - 4, 24, edge)
    c.rect(6, 92, w - 7, h - 12, 24, fill, WHITE, 3)
    for x in (60, 200):
        c.circle(x, 104, 6, "#8d6e63", WHITE, 2)
    c.text(0, 46, text, 28, WHITE)
    c.save(path)


def make_pictures(images, Canvas):
    nav_pictures(Canvas, images)
    folder = os.path.join(images, "Lesson")
    gradient(os.path.join(folder, "LessonBg.png"), "#dff1fb", "#bfe3f5")

    c = Canvas(96, 84)
    soft_shadow(c, 4, 8, 91, 80, 26, 0.22, 3)
    c.rect(3, 3, 92, 76, 26, with_alpha(WHITE, 0.92), "#c5d9e6", 2)
    c.save(os.path.join(folder, "NavBar.png"))

    c = Canvas(96, 104)
    soft_shadow(c, 4, 8, 91, 98, 24, 0.22, 3)
    c.rect(3, 3, 92, 94, 24, WHITE, "#c5d9e6", 2)
    c.save(os.path.join(folder, "SetMenuBg.png"))

    icon_button(Canvas, os.path.join(folder, "BtnSign.png"), GREEN, GREEN_EDGE, draw_sign, 80)
    icon_button(Canvas, os.path.join(folder, "BtnScore.png"), ORANGE, ORANGE_EDGE, draw_score, 80)
    icon_button(Canvas, os.path.join(folder, "BtnDraw.png"), PURPLE, PURPLE_EDGE, draw_pen, 80)
    icon_button(Canvas, os.path.join(folder, "BtnSet.png"), "#5c6bc0", "#3f4b9b", draw_gear, 80)
    icon_button(Canvas, os.path.join(folder, "SetExit.png"), RED, RED_EDGE, draw_power)
    icon_button(Canvas, os.path.join(folder, "SetAddition.png"), BLUE, BLUE_EDGE, draw_book)
    icon_button(Canvas, os.path.join(folder, "SetRest.png"), TEAL, TEAL_EDGE, draw_cup)
    icon_button(Canvas, os.path.join(folder, "SetMusic.png"), ORANGE, ORANGE_EDGE, draw_note)
    icon_button(Canvas, os.path.join(folder, "PlayBtn.png"), with_alpha(BLUE, 0.9), BLUE_EDGE, draw_play, 150)

    c = Canvas(236, 80)
    raised_button(c, 236, 80, GREEN, GREEN_EDGE)
    c.text(0, -3, "Finish class", 28, WHITE)
    c.save(os.path.join(folder, "FinishBtn.png"))

    padlock(Canvas, os.path.join(folder, "Lock.png"), False)
    padlock(Canvas, os.path.join(folder, "Unlock.png"), True)
    hanging_sign(Canvas, os.path.join(folder, "BtnAgain.png"), "Log in again", BLUE, BLUE_EDGE)
    hanging_sign(Canvas, os.path.join(folder, "BtnFinish.png"), "End program", RED, RED_EDGE)

    c = Canvas(96, 96)
    draw_score(c, 48, 50, 70, "#ffc93c")
    c.save(os.path.join(folder, "FinishStar.png"))
