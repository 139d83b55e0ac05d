"""Layouts and pictures of a picture lecture's page viewer (the question list) and of its simple question game.

make-pack.py merges `layouts(node, layout)` into its layout table and calls `make_pictures(images, Canvas)` from
its picture step, as for pack_navigation.py. The page fills the window width; the thumbnail strip ("Panel_Tab",
kept at the window's bottom by the scene) and the tool buttons lie over it.
"""

import os

import pack_lesson
import pack_navigation as nav

WIDTH, HEIGHT = nav.WIDTH, nav.HEIGHT
THUMB_SIZE = (160, 90)
THUMB_PITCH = 172
STRIP = (1040, 110)
OPTION_SIZE = (230, 190)
GOLD, GOLD_EDGE = "#ffc107", "#c99400"


def _viewer(node, layout):
    screens = nav._Screens(node, layout)

    # The label sits under its button, inside the menu's panel.
    def tool(name, picture, title, x):
        return node("Button", name, pos=[x, 74], normal=picture, children=[
            node("Text", "Text_" + name[4:], pos=[36, -14], text=title, fontSize=16, textColor=nav.rgba(nav.DARK))])

    # Thumbnails stand on their lower-left corner: the strip is aligned by their x and width.
    thumbs = [node("ImageView", "Img_Nav%d" % (i + 1), anchor=[0, 0], pos=[4 + THUMB_PITCH * i, 10],
                   size=list(THUMB_SIZE), touch=True) for i in range(6)]
    marker = node("ImageView", "Img_Select", anchor=[6 / (THUMB_SIZE[0] + 12), 6 / (THUMB_SIZE[1] + 12)],
                  pos=[4, 10], size=[THUMB_SIZE[0] + 12, THUMB_SIZE[1] + 12], image="TouTopic/Select.png",
                  scale9=True, capInsets=[14, 14, 14, 14])
    strip = node("ImageView", "Img_NavBg", pos=[640, 72], size=[1240, 136], image="Lesson/NavBar.png", scale9=True,
                 capInsets=[30, 30, 30, 30], children=[
                     screens.arrow("Btn_NavLeft", "Left", [46, 68]),
                     node("Panel", "Panel_Nav", pos=[100, 13], size=list(STRIP), children=thumbs + [marker]),
                     screens.arrow("Btn_NavRight", "Right", [1194, 68]),
                 ])
    return layout(node("Node", size=[WIDTH, HEIGHT], children=[
        screens.background(fill="#2f3e4c"),
        screens.client_background(),
        node("ImageView", "Img_Content", pos=[640, 360], size=[WIDTH, HEIGHT]),
        # Drawn at its own size: a stretched frame costs the software renderer a blend of the whole window.
        node("ImageView", "Img_Bg1", pos=[640, 360], size=[WIDTH, HEIGHT], image="TouTopic/TouTopic_Img_Bg1.png"),
        screens.arrow("Btn_Prev", "Left", [60, 410]),
        screens.arrow("Btn_Next", "Right", [1220, 410]),
        node("Panel", "Panel_Tab", size=[WIDTH, 150], children=[strip]),
        # Opens leftwards from beside the settings button.
        node("ImageView", "Img_SetBg", anchor=[1, 0.5], pos=[1164, 654], size=[372, 124],
             image="Lesson/SetMenuBg.png", scale9=True, capInsets=[26, 26, 26, 26], children=[
                 tool("Btn_Nav", "TouTopic/BtnStrip.png", "Pages", 54),
                 tool("Btn_Draw", "TouTopic/SetDraw.png", "Board", 142),
                 tool("Btn_Teaching", "Lesson/SetAddition.png", "Guide", 230),
                 tool("Btn_Music", "Lesson/SetMusic.png", "Sound", 318),
             ]),
        node("Button", "Btn_Set", pos=[1216, 660], normal="Lesson/BtnSet.png"),
        node("Button", "Btn_Game", pos=[1216, 560], normal="TouTopic/BtnGame.png", visible=False),
        screens.return_button(),
    ]))


def _game(node, layout):
    screens = nav._Screens(node, layout)
    w, h = OPTION_SIZE

    def option(k):
        return node("ImageView", "Img_SelectBg%d" % k, pos=[250 + 260 * (k - 1), 170], size=[w, h],
                    image="TouTopic/OptionBg.png", scale9=True, capInsets=[30, 30, 30, 30], visible=False,
                    children=[node("ImageView", "Img_Content", pos=[w // 2, h // 2], size=[w - 30, h - 30])])

    return layout(node("Node", size=[WIDTH, HEIGHT], children=[
        node("Panel", "Panel1", size=[WIDTH, HEIGHT], image="TouTopic/GameBg.png", touch=True),
        node("ImageView", "Img_TitleBg", pos=[640, 640], size=[820, 92], image="Navigation/Card.png", scale9=True,
             capInsets=[32, 32, 32, 32]),
        node("Text", "Text_Title", pos=[640, 640], text="", area=[700, 60], fontSize=36,
             textColor=nav.rgba(nav.DARK), hAlign="center", vAlign="center"),
        node("Button", "Btn_Voice", pos=[990, 640], normal="Lesson/SetMusic.png"),
        node("Panel", "Layout_Content", pos=[380, 310], size=[520, 260], fill="#ffffff", visible=False, children=[
            node("ImageView", "Img_Content", pos=[260, 130], size=[500, 240])]),
        *[option(k) for k in range(1, 5)],
        screens.return_button(),
    ]))


def layouts(node, layout):
    """File name -> function that returns the layout document."""
    return {"TouTopicScene.csb": lambda: _viewer(node, layout), "SimpleGame.csb": lambda: _game(node, layout)}


def _frame(Canvas, path, colour, edge, corner):
    c = Canvas(WIDTH, HEIGHT)
    c.rect(3, 3, WIDTH - 4, HEIGHT - 4, 18, "none", edge, 8)
    c.rect(3, 3, WIDTH - 4, HEIGHT - 4, 18, "none", colour, 4)
    if corner:
        for x, y in ((12, 12), (WIDTH - 13, 12), (12, HEIGHT - 13), (WIDTH - 13, HEIGHT - 13)):
            c.circle(x, y, 5, corner)
    c.save(path)


def make_pictures(images, Canvas):
    folder = os.path.join(images, "TouTopic")
    # The first and the last page wear the book's gold edge; every other page a plain one.
    _frame(Canvas, os.path.join(folder, "TouTopic_Img_Bg1.png"), GOLD, GOLD_EDGE, nav.WHITE)
    _frame(Canvas, os.path.join(folder, "TouTopic_Img_Bg2.png"), "#90a4ae", "#546e7a", None)

    c = Canvas(48, 48)
    c.rect(4, 4, 43, 43, 12, "none", nav.ORANGE, 6)
    c.save(os.path.join(folder, "Select.png"))

    def strip_icon(c, x, y, r):
        for k in (-1, 0, 1):
            c.rect(x + k * r * 0.55 - r * 0.22, y - r * 0.3, x + k * r * 0.55 + r * 0.22, y + r * 0.3, 3, nav.WHITE)

    def question_mark(c, x, y, r):
        c.text(int(x - c.width / 2), int(y - c.height / 2), "?", int(r * 1.3), nav.WHITE)

    pack_lesson.icon_button(Canvas, os.path.join(folder, "BtnStrip.png"), nav.BLUE, nav.BLUE_EDGE, strip_icon)
    pack_lesson.icon_button(Canvas, os.path.join(folder, "SetDraw.png"), pack_lesson.PURPLE, pack_lesson.PURPLE_EDGE,
                            pack_lesson.draw_pen)
    pack_lesson.icon_button(Canvas, os.path.join(folder, "BtnGame.png"), nav.GREEN, nav.GREEN_EDGE, question_mark, 96)

    c = Canvas(80, 80)
    c.rect(4, 6, 75, 77, 24, nav.with_alpha("#1d3b5a", 0.25))
    c.rect(4, 3, 75, 73, 24, nav.WHITE, "#b0c4d4", 3)
    c.save(os.path.join(folder, "OptionBg.png"))

    nav.gradient(os.path.join(folder, "GameBg.png"), "#fff6d8", "#ffe3a8")
