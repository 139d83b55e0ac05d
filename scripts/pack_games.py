"""Layouts and pictures of the game frame and the mini-games.

make-pack.py merges `layouts(node, layout)` into its layout table and calls `make_pictures(images, Canvas)` from
its picture step, as it does for pack_tools. The frame's layout "GameLayer.csb" hides StartBtn, PauseBtn and
StopBtn: the game shows StartBtn when it is made, the frame the other two when a game starts.
"""

import os

from pack_navigation import BLUE_EDGE, DARK, ORANGE_EDGE, raised_button, rgba
from pack_tools import _Tools

WIDTH, HEIGHT = 1280, 720
GO = "Navigation/BtnGreen.png"
TOP_ROW = HEIGHT - 28


def frame_layout(node, layout):
    tools = _Tools(node, layout)

    def button(name, title, pos, picture="Navigation/BtnBlue.png", size=(150, 64), **keys):
        return tools.button(name, list(pos), list(size), title, picture, **keys)

    text = tools.text
    bar = tools.card("Img_Bar", [640, 70], [1240, 130], [
        tools.arrow("UpBtn", "Left", [50, 66], visible=False),
    ] + [node("Node", "PosNode%d" % (k + 1), pos=[150 + 110 * k, 84]) for k in range(5)] + [
        tools.arrow("DownBtn", "Right", [700, 66]),
        text("PageNum1", [770, 66], "1", 26), text("PageSlash", [795, 66], "/", 26),
        text("PageNum2", [820, 66], "1", 26),
        button("StartBtn", "Start", [930, 66], GO, visible=False),
        button("PauseBtn", "Pause", [930, 66], visible=False),
        button("StopBtn", "Stop", [1090, 66], visible=False),
    ])
    return layout(node("Node", size=[WIDTH, HEIGHT], children=[
        bar,
        tools.return_button(),
        # The frame hangs RankBtn from the window's top edge: the row lines up with it.
        node("ImageView", "Img_Clock", pos=[300, TOP_ROW], image="Tools/Clock.png"),
        text("TimeText", [390, TOP_ROW], "00:00", 34),
        text("ScoreLabel", [560, TOP_ROW], "Score", 28), text("ScoreText", [650, TOP_ROW], "0", 34, BLUE_EDGE),
        button("ResetBtn", "Again", [830, TOP_ROW], GO, size=(150, 56), visible=False),
        button("RankBtn", "Ranking", [1000, HEIGHT], size=(150, 56), anchor=[0.5, 1]),
        button("Btn_Music", "Music", [1160, TOP_ROW], size=(130, 56)),
        tools.arrow("LeftBtn", "Left", [50, 380]),
        tools.arrow("RightBtn", "Right", [1230, 380]),
    ]))


def click_answer_layout(node, layout):
    """Question board or picture on top, four option cards below; option k carries tag 10000 + k."""
    options = [node("ImageView", "OperImg%d" % (k + 1), tag=10000 + k + 1, pos=[275 + 243 * k, 300],
                    size=[200, 200], image="Games/OptionCard.png") for k in range(4)]
    return layout(node("Node", size=[WIDTH, HEIGHT], children=[
        node("ImageView", "BoardImage", pos=[640, 520], size=[760, 130], image="Navigation/Card.png", scale9=True,
             capInsets=[32, 32, 32, 32]),
        node("Text", "TitleText", pos=[640, 520], text="", fontSize=40, textColor=rgba(DARK)),
        node("ImageView", "QImg", pos=[640, 520], size=[240, 140], image="Games/OptionCard.png", visible=False),
    ] + options))


def whack_a_mole_layout(node, layout):
    """Eight holes in two rows. A mole waits hidden behind the mound of its hole and pops up to its "UpNode" above
    the mound; the back of the hole is drawn behind the mole, the mound in front of it."""
    homes = [(250 + 260 * (k % 4), 380 - 185 * (k // 4)) for k in range(8)]
    children = [
        node("ImageView", "BoardImage", pos=[640, 605], size=[760, 80], image="Navigation/Card.png", scale9=True,
             capInsets=[32, 32, 32, 32]),
        node("Text", "TitleText", pos=[640, 605], text="", fontSize=40, textColor=rgba(DARK)),
        node("ImageView", "QImg", pos=[640, 605], size=[200, 80], image="Games/OptionCard.png", visible=False),
    ]
    for k, (x, y) in enumerate(homes):
        children += [
            node("ImageView", "Hole%d" % (k + 1), pos=[x, y + 60], image="Games/Hole.png"),
            node("ImageView", "OperImg%d" % (k + 1), pos=[x, y], size=[110, 110], image="Games/Mole.png"),
            node("Node", "UpNode%d" % (k + 1), pos=[x, y + 105]),
            node("ImageView", "Mound%d" % (k + 1), pos=[x, y], image="Games/Mound.png"),
        ]
    return layout(node("Node", size=[WIDTH, HEIGHT], children=children))


def layouts(node, layout):
    return {
        "GameLayer.csb": lambda: frame_layout(node, layout),
        "Game31.csb": lambda: whack_a_mole_layout(node, layout),
        "Game41.csb": lambda: click_answer_layout(node, layout),
    }


def make_pictures(images, Canvas):
    folder = os.path.join(images, "Games")
    os.makedirs(folder, exist_ok=True)
    c = Canvas(200, 200)
    raised_button(c, 200, 200, "#fffdf5", ORANGE_EDGE)
    c.save(os.path.join(folder, "OptionCard.png"))
    c = Canvas(180, 52)
    c.ellipse(90, 26, 84, 22, "#3e2723", "#2b1b17", 3)
    c.save(os.path.join(folder, "Hole.png"))
    # The mound's top edge runs through the middle of the hole; its rim is the front half of the hole's edge.
    c = Canvas(200, 120)
    c.rect(2, 0, 197, 117, 30, "#7cb342", "#558b2f", 3)
    c.ellipse(100, 0, 86, 22, "none", "#5d4037", 4, 0, 180)
    c.save(os.path.join(folder, "Mound.png"))
    c = Canvas(110, 110)
    c.ellipse(55, 60, 46, 48, "#8d6e63", "#5d4037", 3)
    c.circle(40, 70, 6, DARK)
    c.circle(70, 70, 6, DARK)
    c.save(os.path.join(folder, "Mole.png"))
