"""Layouts and pictures of the game frame and the mini-games.

make-pack.py merges `layouts(node, layout)` into its layout table and calls `make_pictures(images, Canvas)` from
its picture step, as it does for pack_tools. The frame's layout "GameLayer.csb" hides StartBtn, PauseBtn and
StopBtn: the game shows StartBtn when it is made, the frame the other two when a game starts.
"""

import math
import os
import random
import subprocess

from pack_navigation import (BLUE, BLUE_EDGE, DARK, GREEN, GREEN_EDGE, ORANGE, ORANGE_EDGE, RED, RED_EDGE, WHITE,
                             raised_button, rgba, with_alpha)
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
    homes = [(250 + 260 * (k % 4), 395 - 180 * (k // 4)) for k in range(8)]
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


def question_board(node, y, size=(760, 70), font=34, x=640, picture=None):
    """"BoardImage" with "TitleText" over it, and the picture question "QImg" in the same place."""
    return [
        node("ImageView", "BoardImage", pos=[x, y], size=list(size), image="Navigation/Card.png", scale9=True,
             capInsets=[32, 32, 32, 32]),
        node("Text", "TitleText", pos=[x, y], text="", fontSize=font, textColor=rgba(DARK)),
        node("ImageView", "QImg", pos=[x, y], size=list(picture or (200, size[1])), image="Games/OptionCard.png",
             visible=False),
    ]


def pair_layout(node, layout):
    """Eight pieces in two rows; pieces 2k-1 and 2k belong together (tag k). The game shuffles their places."""
    pieces = [node("ImageView", "OperImg%d" % (k + 1), tag=k // 2 + 1, pos=[340 + 200 * (k % 4), 480 - 190 * (k // 4)],
                   size=[150, 150], image="Games/OptionCard.png") for k in range(8)]
    board = question_board(node, 625)[:2]
    return layout(node("Node", size=[WIDTH, HEIGHT], children=board + pieces))


def sorting_layout(node, layout):
    """Two class targets (tag 1 odd, tag 2 even) above the pupil bar; the carrier hangs 115 above the item, in a
    layer of its own, so that both move to the same "PosNode" value and the item dangles below the carrier."""
    return layout(node("Node", size=[WIDTH, HEIGHT], children=question_board(node, 625)[:2] + [
        node("ImageView", "OperImg1", tag=1, pos=[360, 265], size=[300, 170], image="Games/Basket.png"),
        node("ImageView", "OperImg2", tag=2, pos=[920, 265], size=[300, 170], image="Games/Basket.png"),
        node("Node", "PosNode", pos=[640, 410]),
        node("Node", "CarrierLayer", pos=[0, 115], children=[
            node("ImageView", "AniImg1", pos=[1150, 410], size=[170, 110], image="Games/Carrier.png"),
        ]),
        node("ImageView", "QImg", pos=[1150, 410], size=[110, 110], image="Games/OptionCard.png"),
    ]))


CHESS_CELLS = [(340 + 150 * k, 470) for k in range(5)] + [(940 - 150 * k, 340) for k in range(5)]


def board_game_layout(node, layout):
    """Ten cells snaking over two rows from the start pad; the piece stands on the pad, four options below."""
    board = [node("ImageView", "StartPad", pos=[190, 470], size=[90, 90], image="Games/Cell.png")]
    board += [node("ImageView", "ContImg%d" % (k + 1), pos=list(p), size=[90, 90], image="Games/Cell.png")
              for k, p in enumerate(CHESS_CELLS)]
    board.append(node("ImageView", "AniImg", pos=[190, 518], size=[96, 96], image="Games/Piece.png"))
    options = [node("ImageView", "OperImg%d" % (k + 1), tag=10000 + k + 1, pos=[400 + 160 * k, 225],
                    size=[120, 120], image="Games/OptionCard.png") for k in range(4)]
    return layout(node("Node", size=[WIDTH, HEIGHT], children=question_board(node, 610) + [
        node("Node", "Board", children=board)] + options))

# -- puzzle, lucky wheel and dragon ------------------------------------------------------------------------------

# The wheel's quarters as the game counts them (clockwise turn, pointer on top): 1 top left, 2 bottom left,
# 3 bottom right, 4 top right; (colour, start and end angle of the sector, clockwise from the right).
WHEEL_QUARTERS = [(RED, 180, 270), (BLUE, 90, 180), (GREEN, 0, 90), (ORANGE, 270, 360)]
PUZZLE_TILE = 96


def option_cards(node, places, size):
    return [node("ImageView", "OperImg%d" % (k + 1), tag=10000 + k + 1, pos=list(pos), size=[size, size],
                 image="Games/OptionCard.png") for k, pos in enumerate(places)]


def puzzle_layout(node, layout):
    """The picture on the left: "ContImg1" its frame, "ContImg2".."ContImg17" the 4 x 4 tiles row by row from the
    top left; the question and four option cards on the right."""
    cx, cy = 360, 375
    tiles = [node("ImageView", "ContImg%d" % (k + 2), size=[PUZZLE_TILE, PUZZLE_TILE], image="Games/OptionCard.png",
                  pos=[cx + PUZZLE_TILE * (k % 4 - 1.5), cy - PUZZLE_TILE * (k // 4 - 1.5)]) for k in range(16)]
    return layout(node("Node", size=[WIDTH, HEIGHT], children=[
        node("ImageView", "ContImg1", pos=[cx, cy], size=[412, 412], image="Games/PuzzleFrame.png"),
    ] + tiles + question_board(node, 560, (600, 100), 40, 930) + option_cards(
        node, [(830, 400), (1030, 400), (830, 230), (1030, 230)], 150)))


def lucky_wheel_layout(node, layout):
    """The wheel "ContImg" under its pointer on the left, the stop button "Button1" below the four option cards on
    the right; each card carries the badge of its quarter."""
    places = [(820, 450), (1040, 450), (820, 295), (1040, 295)]
    badges = [node("ImageView", "Badge%d" % (k + 1), pos=[x - 62, y + 62], image="Games/Badge%d.png" % (k + 1))
              for k, (x, y) in enumerate(places)]
    return layout(node("Node", size=[WIDTH, HEIGHT], children=[
        node("ImageView", "ContImg", pos=[360, 350], size=[330, 330], image="Games/Wheel.png"),
        node("ImageView", "Img_Pointer", pos=[360, 530], image="Games/WheelPointer.png"),
    ] + question_board(node, 580, (640, 90), 40, 930) + option_cards(node, places, 140) + badges + [
        node("Button", "Button1", pos=[930, 172], size=[240, 68], normal="Navigation/BtnGreen.png", scale9=True,
             capInsets=[26, 26, 26, 26], title="Stop!", titleFontSize=30, titleColor=WHITE),
    ]))


def dragon_layout(node, layout):
    """The dragon at rest "ContImg1" on the left breathes at "AniImg1"; the four targets stand on the right."""
    return layout(node("Node", size=[WIDTH, HEIGHT], children=[
        node("ImageView", "ContImg1", pos=[230, 330], image="Games/Dragon.png"),
        node("Node", "AniImg1", pos=[520, 330]),
    ] + question_board(node, 585, (760, 100), 40) + option_cards(
        node, [(800, 420), (1030, 420), (800, 240), (1030, 240)], 160)))


BALLOON = (170, 360)
TARGET = 170
CARD = 150


def balloon_layout(node, layout):
    """Four balloons standing on their string ends above the pupil bar; each flies up by the window height less
    its own height, so its middle ends near the top edge, where it bursts."""
    balloons = [node("ImageView", "OperImg%d" % (k + 1), tag=10000 + k + 1, pos=[260 + 253 * k, 150],
                     anchor=[0.5, 0], size=list(BALLOON), image="Games/Balloon.png") for k in range(4)]
    return layout(node("Node", size=[WIDTH, HEIGHT], children=question_board(node, 590, (720, 100), 44) + balloons))


def cannon_layout(node, layout):
    """The cannon on the left fires from "AniImg1" at its muzzle; the targets stand in a zigzag on the right."""
    targets = [node("ImageView", "OperImg%d" % (k + 1), tag=10000 + k + 1, pos=[520 + 196 * k, 290 + 110 * (k % 2)],
                    size=[TARGET, TARGET], image="Games/Target.png") for k in range(4)]
    return layout(node("Node", size=[WIDTH, HEIGHT], children=question_board(node, 590, (720, 100), 44) + [
        node("ImageView", "ContImg1", pos=[200, 270], size=[240, 180], image="Games/Cannon.png"),
        # The shot is drawn with the cannon in its lower left corner: played here it covers the resting cannon.
        node("Node", "AniImg1", pos=[280, 305]),
    ] + targets))


def garden_layout(node, layout):
    """The tree grows on the left: "AniImg1" and the watering point "PosNode" sit in a garden node drawn at twice
    the size, so the stages and the watering played beside them are as large. The answer cards stand in a row."""
    cards = [node("ImageView", "OperImg%d" % (k + 1), tag=10000 + k + 1, pos=[540 + 180 * k, 330],
                  size=[CARD, CARD], image="Games/OptionCard.png") for k in range(4)]
    garden = node("Node", "Garden", pos=[250, 185], scale=2.0, children=[
        node("ImageView", "AniImg1", pos=[0, 64], size=[128, 128], image="Games/Sapling.png"),
        node("Node", "PosNode", pos=[8, 113]),
    ])
    return layout(node("Node", size=[WIDTH, HEIGHT], children=[garden] + question_board(
        node, 570, (620, 100), 44, 810, (300, 150)) + cards))


def layouts(node, layout):
    return {
        "GameLayer.csb": lambda: frame_layout(node, layout),
        "Game31.csb": lambda: whack_a_mole_layout(node, layout),
        "Game41.csb": lambda: click_answer_layout(node, layout),
        "Game11.csb": lambda: pair_layout(node, layout),
        "Game21.csb": lambda: sorting_layout(node, layout),
        "Game71.csb": lambda: board_game_layout(node, layout),
        "Game51.csb": lambda: balloon_layout(node, layout),
        "Game91.csb": lambda: cannon_layout(node, layout),
        "Game101.csb": lambda: garden_layout(node, layout),
        # Puzzle, lucky wheel and dragon.
        "Game61.csb": lambda: puzzle_layout(node, layout),
        "Game81.csb": lambda: lucky_wheel_layout(node, layout),
        "Game111.csb": lambda: dragon_layout(node, layout),
    }


def sector(cx, cy, r, start, end, step=5):
    points = [(cx, cy)]
    for a in range(start, end + 1, step):
        points.append((cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a))))
    return points


def puzzle_scene(c, size):
    """A house by a tree under the sun: the picture the puzzle uncovers (drawn on a 400 pixel square)."""
    c.rect(0, 0, size - 1, size - 1, 0, "#bfe6ff")
    c.circle(320, 80, 46, "#ffd84d", ORANGE, 4)
    c.ellipse(110, 70, 60, 22, WHITE)
    c.ellipse(150, 56, 40, 22, WHITE)
    c.ellipse(200, 400, 260, 130, "#8bc34a", "#689f38", 3)
    c.rect(60, 190, 220, 330, 4, "#ffcc80", "#e65100", 4)
    c.poly([(40, 196), (140, 110), (240, 196)], RED, RED_EDGE, 4)
    c.rect(120, 250, 160, 330, 4, "#8d6e63", "#5d4037", 3)
    c.rect(76, 220, 108, 252, 3, "#e1f5fe", BLUE_EDGE, 3)
    c.rect(172, 220, 204, 252, 3, "#e1f5fe", BLUE_EDGE, 3)
    c.rect(300, 230, 320, 330, 3, "#8d6e63", "#5d4037", 3)
    for dx, dy, r in [(-30, -10, 42), (30, -10, 42), (0, -50, 46)]:
        c.circle(310 + dx, 220 + dy, r, GREEN, GREEN_EDGE, 3)
    for x, y in [(286, 200), (334, 214), (312, 166)]:
        c.circle(x, y, 7, RED)


def make_puzzle_pictures(folder, Canvas):
    size = PUZZLE_TILE * 4
    c = Canvas(400, 400)
    puzzle_scene(c, 400)
    scene = os.path.join(folder, "PuzzleScene.png")
    c.save(scene)
    tiles = os.path.join(folder, "PuzzleTile%d.png")
    subprocess.run(["convert", scene, "-resize", "%dx%d" % (size, size), "-crop", "%dx%d" % (PUZZLE_TILE, PUZZLE_TILE), "+repage", "-scene", "1",
                    "-strip", "-define", "png:compression-level=9", "PNG32:" + tiles], check=True)
    os.remove(scene)
    c = Canvas(412, 412)
    c.rect(2, 2, 409, 409, 18, "#a1887f", "#5d4037", 4)
    c.rect(12, 12, 399, 399, 6, "#fff8e1", "#6d4c41", 3)
    c.save(os.path.join(folder, "PuzzleFrame.png"))


def make_wheel_pictures(folder, Canvas):
    c = Canvas(330, 330)
    c.circle(165, 165, 162, DARK)
    for colour, start, end in WHEEL_QUARTERS:
        c.poly(sector(165, 165, 152, start, end), colour, WHITE, 4)
    for k, (dx, dy) in enumerate([(-64, -64), (-64, 64), (64, 64), (64, -64)]):
        c.text(dx, dy, str(k + 1), 60, WHITE, DARK, 2)
    c.circle(165, 165, 24, WHITE, DARK, 4)
    c.save(os.path.join(folder, "Wheel.png"))
    c = Canvas(56, 66)
    c.poly([(4, 4), (52, 4), (28, 62)], RED, WHITE, 4)
    c.save(os.path.join(folder, "WheelPointer.png"))
    for k, (colour, _, _) in enumerate(WHEEL_QUARTERS):
        c = Canvas(48, 48)
        c.circle(24, 24, 21, colour, WHITE, 3)
        c.text(0, 0, str(k + 1), 26, WHITE)
        c.save(os.path.join(folder, "Badge%d.png" % (k + 1)))


def make_dragon_picture(folder, Canvas):
    c = Canvas(260, 240)
    body, edge = "#66bb6a", "#2e7d32"
    c.poly([(30, 170), (4, 120), (40, 140)], body, edge, 3)
    c.poly([(90, 110), (70, 20), (150, 90)], "#a5d6a7", edge, 3)
    c.ellipse(110, 160, 80, 52, body, edge, 4)
    c.ellipse(116, 178, 48, 26, "#fff59d")
    c.rect(66, 190, 90, 226, 8, body, edge, 3)
    c.rect(130, 190, 154, 226, 8, body, edge, 3)
    c.circle(196, 92, 44, body, edge, 4)
    c.ellipse(232, 106, 24, 18, body, edge, 4)
    c.circle(244, 100, 3, DARK)
    c.circle(202, 80, 12, WHITE, DARK, 2)
    c.circle(206, 80, 6, DARK)
    c.poly([(176, 52), (184, 30), (194, 50)], ORANGE, ORANGE_EDGE, 2)
    c.poly([(200, 50), (214, 28), (218, 52)], ORANGE, ORANGE_EDGE, 2)
    c.save(os.path.join(folder, "Dragon.png"))


def make_background(folder, Canvas):
    """"GameBg/Meadow.png": sky and soft hills behind the demo games, tall enough for a taller window (the frame
    centres it)."""
    top = 180  # the 1280 x 720 window's share starts here
    c = Canvas(WIDTH, HEIGHT + 2 * top)
    for cx, cy, rx, colour in [(200, 760, 520, "#d4edc4"), (900, 800, 700, "#c5e6b0"), (1250, 740, 360, "#d4edc4")]:
        c.ellipse(cx, cy + top, rx, 200 + top, colour)
    for cx, cy, s in [(180, 150, 1.0), (1080, 210, 0.8), (620, 260, 0.6)]:
        for dx, dy, r in [(-40, 8, 34), (0, -10, 44), (44, 6, 32)]:
            c.circle(cx + dx * s, cy + top + dy * s, r * s, with_alpha(WHITE, 0.85))
    c.save(os.path.join(folder, "Meadow.png"), "#dff3fd")


def make_number_cards(folder, Canvas):
    """"Games/Num<n>.png": the answer cards of the demo lectures' number questions."""
    for n in range(13):
        c = Canvas(140, 140)
        raised_button(c, 140, 140, "#fffdf5", ORANGE_EDGE)
        c.text(0, -4, str(n), 68, DARK)
        c.save(os.path.join(folder, "Num%d.png" % n))


PUZZLE_LECTURE, WHEEL_LECTURE, DRAGON_LECTURE = "0101010105", "0101010201", "0101010204"
CLICK_LECTURE, MOLE_LECTURE = "0101010101", "0101010103"


def number_sums(seed, qnum):
    """Ten sums with four number cards of the client pack's "Games/" pictures; the right card's place is drawn per
    question (for the wheel it is its quarter)."""
    rnd = random.Random(seed)
    questions, selects, answers = [], [], []
    for _ in range(10):
        a, b, right = rnd.randint(1, 5), rnd.randint(0, 5), rnd.randint(1, 4)
        # The slots are asked in a random order: a sum asked twice can follow itself.
        while "%d + %d = ?" % (a, b) in questions:
            a, b = rnd.randint(1, 5), rnd.randint(0, 5)
        others = [n for n in range(max(0, a + b - 4), min(12, a + b + 4) + 1) if n != a + b]
        rnd.shuffle(others)
        choices = others[:3]
        choices.insert(right - 1, a + b)
        questions.append("%d + %d = ?" % (a, b))
        selects.append(["Games/Num%d.png" % n for n in choices])
        answers.append(right)
    return {"Time": 60, "Score": 100.0, "QNum": qnum, "QuestionType": 2, "BgImg": "Meadow.png",
            "Questions": questions, "Answers": answers, "SelectImgs": selects,
            "Music": {"Effect": "RightCommon.mp3"}}


def click_sums(seed):
    """A click-the-answer game of five sums."""
    effects = {"Celebrate": "GameCelebrate", "Effect": "GameEffect"}
    return dict(number_sums(seed, 5), GameModel=41, Title="Click the answer", Animations=effects)


def number_games():
    """The Game maps of the puzzle, lucky wheel, dragon, click-the-answer and whack-a-mole lectures."""
    sums = number_sums
    effects = {"Celebrate": "GameCelebrate", "Effect": "GameEffect"}
    puzzle = dict(sums(61, 10), GameModel=61, Title="Picture puzzle", Animations=effects,
                  ContImgs=["Games/PuzzleFrame.png"] + ["Games/PuzzleTile%d.png" % k for k in range(1, 17)])
    wheel = dict(sums(81, 5), GameModel=81, Title="Lucky wheel", Animations=effects)
    # The dragon's "Effect" is its failure; "Effect1" its sound.
    dragon = dict(sums(111, 10), GameModel=111, Title="Feed the dragon",
                  Animations=dict({"Celebrate": "GameCelebrate", "Effect": "DragonFail", "Effect5": "DragonWin"},
                                  **{"Effect%d" % k: "DragonHit%d" % k for k in range(1, 5)}),
                  Music={"Effect": "RightCommon.mp3", "Effect1": "WrongCommon.mp3"})
    click = click_sums(41)
    mole = dict(sums(31, 5), GameModel=31, Title="Whack-a-mole", Animations=effects)
    # The moles show a question's pictures from "AnswerImgs".
    mole["AnswerImgs"] = mole.pop("SelectImgs")
    return {PUZZLE_LECTURE: puzzle, WHEEL_LECTURE: wheel, DRAGON_LECTURE: dragon, CLICK_LECTURE: click,
            MOLE_LECTURE: mole}


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
    c = Canvas(300, 170)
    c.rect(20, 40, 279, 167, 30, "#a1887f", "#6d4c41", 4)
    for x in range(60, 260, 40):
        c.line([(x, 48), (x, 160)], "#8d6e63", 3)
    c.rect(6, 26, 293, 58, 14, "#8d6e63", "#5d4037", 4)
    c.save(os.path.join(folder, "Basket.png"))
    # A hot-air balloon: the item hangs below its basket.
    c = Canvas(170, 110)
    c.line([(62, 72), (74, 96)], DARK, 2)
    c.line([(108, 72), (96, 96)], DARK, 2)
    c.ellipse(85, 42, 52, 40, RED, "#b23a27", 3)
    c.ellipse(85, 42, 18, 40, ORANGE, "none")
    c.rect(70, 94, 100, 108, 4, "#8d6e63", "#5d4037", 2)
    c.save(os.path.join(folder, "Carrier.png"))
    c = Canvas(90, 90)
    c.ellipse(45, 50, 42, 36, "#b0bec5", "#78909c", 3)
    c.ellipse(45, 44, 40, 32, "#eceff1", "#90a4ae", 3)
    c.save(os.path.join(folder, "Cell.png"))
    # The piece standing still, drawn like the first frame of its walk.
    c = Canvas(96, 96)
    c.ellipse(48, 88, 24, 5, "#33414e40")
    c.poly([(26, 86), (70, 86), (60, 56), (36, 56)], "#5c6bc0", "#283593", 3)
    c.rect(22, 78, 74, 86, 4, "#5c6bc0", "#283593", 3)
    c.circle(48, 46, 14, "#5c6bc0", "#283593", 3)
    c.save(os.path.join(folder, "Piece.png"))
    c = Canvas(*BALLOON)
    balloon(c, "#ef5350", "#c62828")
    c.save(os.path.join(folder, "Balloon.png"))
    c = Canvas(TARGET, TARGET)
    target(c)
    c.save(os.path.join(folder, "Target.png"))
    c = Canvas(240, 180)
    cannon(c)
    c.save(os.path.join(folder, "Cannon.png"))
    c = Canvas(128, 128)
    sapling(c)
    c.save(os.path.join(folder, "Sapling.png"))
    make_puzzle_pictures(folder, Canvas)
    make_wheel_pictures(folder, Canvas)
    make_dragon_picture(folder, Canvas)
    make_number_cards(folder, Canvas)
    make_background(os.path.join(images, "GameBg"), Canvas)
    make_demo_pictures(Canvas)


# -- pieces the layouts and the demo lectures share ---------------------------------------------------------------

def balloon(c, fill, edge, label=""):
    """A balloon whose body fills the top of the picture; its string hangs to the bottom edge."""
    w, h = BALLOON
    cx, cy, rx, ry = w / 2, 100, 78, 94
    c.line([(cx, cy + ry + 8), (cx - 10, cy + ry + 60), (cx + 10, cy + ry + 120), (cx - 6, h - 4)], "#78909c", 3)
    c.poly([(cx - 10, cy + ry + 10), (cx + 10, cy + ry + 10), (cx, cy + ry - 4)], edge)
    c.ellipse(cx, cy, rx, ry, fill, edge, 4)
    c.ellipse(cx - 36, cy - 44, 14, 24, with_alpha(WHITE, 0.55))
    if label:
        c.text(0, cy - h / 2, label, 64, WHITE, edge, 3)


def target(c, label=""):
    r = TARGET / 2
    for k, colour in enumerate(["#e53935", WHITE, "#e53935", WHITE]):
        c.circle(r, r, r - 3 - k * 17, colour, "#b71c1c" if k == 0 else "none", 3 if k == 0 else 0)
    if label:
        c.text(0, 0, label, 54, DARK, WHITE, 2)
    else:
        c.circle(r, r, 12, "#e53935")


CANNON_MUZZLE = (204, 55)


def cannon(c, dx=0, dy=0):
    """A cannon on two wheels, its barrel raised to the upper right; its picture is 240x180, moved by (dx, dy)."""
    barrel = [(60, 110), (196, 40), (212, 70), (80, 140)]
    c.poly([(x + dx, y + dy) for x, y in barrel], "#455a64", "#263238", 4)
    c.ellipse(CANNON_MUZZLE[0] + dx, CANNON_MUZZLE[1] + dy, 10, 17, "#263238")
    c.rect(30 + dx, 112 + dy, 150 + dx, 150 + dy, 10, "#8d6e63", "#5d4037", 4)
    for x in (62, 124):
        c.circle(x + dx, 148 + dy, 26, "#a1887f", "#4e342e", 5)
        c.circle(x + dx, 148 + dy, 6, "#4e342e")


def sapling(c):
    """The tree before it grows: the same ground and sprout as the first growth stage begins with."""
    c.ellipse(64, 118, 40, 6, "#a1887f")
    c.rect(61, 104, 67, 118, 3, "#8d6e63", "#5d4037", 2)
    c.ellipse(57, 104, 7, 3.5, "#66bb6a", "#2e7d32", 2)
    c.ellipse(71, 104, 7, 3.5, "#66bb6a", "#2e7d32", 2)


# ---------------------------------------------------------------------------------------------------------------
# Pictures of the demo lectures of the pair, sorting and board games (their GameImg/ folders)

PACKAGES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "server", "packages")
PAIR_LECTURE, SORTING_LECTURE, BOARD_LECTURE = "0101010205", "0101010102", "0101010106"
CARD_COLOURS = [BLUE, GREEN, ORANGE, RED, "#9b6ad6"]


def number_card(Canvas, path, number, size=110, colour=BLUE):
    c = Canvas(size, size)
    c.rect(3, 3, size - 4, size - 4, 18, WHITE, colour, 5)
    c.text(0, 2, str(number), size * 0.5, colour)
    c.save(path)


def dots_card(Canvas, path, count, size=150, colour=GREEN):
    c = Canvas(size, size)
    c.rect(3, 3, size - 4, size - 4, 22, WHITE, colour, 5)
    spots = {1: [(0, 0)], 2: [(-1, -1), (1, 1)], 3: [(-1, -1), (0, 0), (1, 1)], 4: [(-1, -1), (1, -1), (-1, 1), (1, 1)]}
    for dx, dy in spots[count]:
        c.circle(size / 2 + dx * size * 0.22, size / 2 + dy * size * 0.22, size * 0.09, colour)
    c.save(path)


def game_background(Canvas, path, sky, ground):
    c = Canvas(WIDTH, HEIGHT)
    c.ellipse(300, HEIGHT + 120, 700, 330, ground)
    c.ellipse(1050, HEIGHT + 160, 620, 330, ground)
    for x, y in [(220, 150), (900, 110), (1150, 210)]:
        c.ellipse(x, y, 70, 26, "#ffffffcc")
        c.ellipse(x + 40, y - 16, 46, 24, "#ffffffcc")
    c.save(path, sky)


def make_demo_pictures(Canvas):
    pair = os.path.join(PACKAGES, PAIR_LECTURE, "GameImg")
    for k in range(1, 5):
        number_card(Canvas, os.path.join(pair, "pair_number%d.png" % k), k, 150, CARD_COLOURS[k - 1])
        dots_card(Canvas, os.path.join(pair, "pair_dots%d.png" % k), k, 150, CARD_COLOURS[k - 1])
    game_background(Canvas, os.path.join(pair, "GameBg", "pairs.png"), "#d9efff", "#c5e8b0")

    sorting = os.path.join(PACKAGES, SORTING_LECTURE, "GameImg")
    for n in range(1, 11):
        number_card(Canvas, os.path.join(sorting, "item%d.png" % n), n, 110, CARD_COLOURS[n % 2])
    for name, title, colour in (("basket_odd.png", "Odd", CARD_COLOURS[1]), ("basket_even.png", "Even",
                                                                              CARD_COLOURS[0])):
        c = Canvas(300, 170)
        c.rect(20, 40, 279, 167, 30, "#a1887f", "#6d4c41", 4)
        c.rect(6, 26, 293, 58, 14, "#8d6e63", "#5d4037", 4)
        c.rect(70, 82, 230, 142, 16, WHITE, colour, 4)
        c.text(0, 28, title, 34, colour)
        c.save(os.path.join(sorting, name))
    game_background(Canvas, os.path.join(sorting, "GameBg", "sorting.png"), "#e3f4ff", "#cfe9b8")

    board = os.path.join(PACKAGES, BOARD_LECTURE, "GameImg")
    for n in range(1, 11):
        c = Canvas(90, 90)
        c.ellipse(45, 50, 42, 36, "#ffcc80", "#ef6c00", 3)
        c.ellipse(45, 44, 40, 32, "#fff3e0", "#ffa726", 3)
        c.text(0, -2, str(n), 30, "#e65100")
        c.save(os.path.join(board, "cell%d.png" % n))
    for n in range(0, 21):
        number_card(Canvas, os.path.join(board, "answer%d.png" % n), n, 120, BLUE)
    game_background(Canvas, os.path.join(board, "GameBg", "board.png"), "#fdf3e1", "#d7ecc4")
    write_demo_games()
    make_choice_games(Canvas)


def demo_games():
    """The Game maps of the three demo lectures."""
    common = {"Time": 60, "Score": 100.0, "Music": {}}
    pair = dict(common, GameModel=11, QNum=4, Title="Find the pairs", BgImg="pairs.png",
                OperImgs=[name % k for k in range(1, 5) for name in ("pair_number%d.png", "pair_dots%d.png")],
                Animations={"Celebrate": "GameCelebrate", "Effect": "GameEffect"})
    sorting = dict(common, GameModel=21, QNum=5, Title="Odd or even?", BgImg="sorting.png",
                   Questions=["item%d.png" % n for n in range(1, 11)], Answers=list(range(1, 11)),
                   OperImgs=["basket_odd.png", "basket_even.png"],
                   Animations={"Celebrate": "GameCelebrate", "Effect": "GameEffect"})
    sums = [(2, 3), (4, 4), (1, 6), (5, 4), (3, 7), (6, 5), (8, 4), (7, 6), (9, 5), (8, 7)]
    selects, answers = [], []
    for s, (a, b) in enumerate(sums):
        right = a + b
        choices = sorted({right, right - 1, right + 1, right + 2 if s % 2 else right - 2})
        selects.append(["answer%d.png" % n for n in choices])
        answers.append(choices.index(right) + 1)
    board = dict(common, GameModel=71, QNum=8, QuestionType=2, BgImg="board.png",
                 Questions=["%d + %d = ?" % pair_ for pair_ in sums], Answers=answers, SelectImgs=selects,
                 ContImgs=["cell%d.png" % n for n in range(1, 11)], AniImgs=["Games/Piece.png"],
                 Animations={"Celebrate": "GameCelebrate", "Effect": "GameEffect", "Action1": "ChessAction1",
                             "Action2": "ChessAction2", "Action3": "ChessAction3"})
    return {PAIR_LECTURE: pair, SORTING_LECTURE: sorting, BOARD_LECTURE: board, **number_games()}


def plist_value(value, indent):
    pad = " " * indent
    if isinstance(value, bool):
        return [pad + ("<true/>" if value else "<false/>")]
    if isinstance(value, int):
        return [pad + "<integer>%d</integer>" % value]
    if isinstance(value, float):
        return [pad + "<real>%g</real>" % value]
    if isinstance(value, str):
        return [pad + "<string>%s</string>" % value.replace("&", "&amp;").replace("<", "&lt;")]
    if isinstance(value, list):
        if not value:
            return [pad + "<array/>"]
        return [pad + "<array>"] + [line for item in value for line in plist_value(item, indent + 1)] + [pad + "</array>"]
    if not value:
        return [pad + "<dict/>"]
    lines = [pad + "<dict>"]
    for key in sorted(value):
        lines.append(pad + " <key>%s</key>" % key)
        lines += plist_value(value[key], indent + 1)
    return lines + [pad + "</dict>"]


def write_demo_games():
    for identify, game in demo_games().items():
        write_game_map(identify, game)


def write_game_map(identify, game):
    """Puts the lecture's Game map into its Topic.plist in place of the one there."""
    path = os.path.join(PACKAGES, identify, "Topic.plist")
    with open(path, encoding="utf-8") as f:
        text = f.read()
    start = text.index(" <key>Game</key>\n")
    end = text.index("\n </dict>\n", start) + len("\n </dict>\n")
    block = "\n".join([" <key>Game</key>"] + plist_value(game, 1)) + "\n"
    with open(path, "w", encoding="utf-8") as f:
        f.write(text[:start] + block + text[end:])


# ---------------------------------------------------------------------------------------------------------------
# The demo lectures of the balloon, cannon and tree-planting games: pictures, sounds and Game maps

BALLOON_COLOURS = [("#ef5350", "#c62828"), ("#42a5f5", "#1565c0"), ("#66bb6a", "#2e7d32"), ("#ffca28", "#f57f17")]

# Per question: the two numbers added and the four choices; the right choice is the one equal to their sum.
SUMS = [(2, 3, [5, 4, 6, 7]), (4, 4, [6, 8, 9, 7]), (1, 6, [5, 9, 7, 8]), (3, 5, [7, 6, 9, 8]),
        (5, 4, [9, 8, 10, 7]), (6, 3, [8, 10, 9, 7]), (2, 7, [10, 9, 8, 6]), (3, 3, [5, 7, 4, 6]),
        (8, 2, [9, 11, 12, 10]), (7, 5, [11, 13, 12, 10])]
DIFFERENCES = [(9, 4, [5, 6, 4, 3]), (7, 2, [4, 6, 5, 3]), (8, 5, [3, 4, 2, 5]), (10, 6, [3, 5, 2, 4]),
               (6, 1, [4, 6, 3, 5]), (9, 7, [1, 3, 4, 2]), (5, 3, [2, 1, 3, 4]), (10, 3, [6, 8, 7, 9]),
               (8, 8, [1, 0, 2, 3]), (7, 4, [3, 4, 2, 1])]
COUNTS = [(3, [2, 3, 4, 5]), (5, [5, 6, 4, 3]), (2, [1, 3, 4, 2]), (6, [7, 5, 6, 8]), (4, [3, 5, 6, 4]),
          (7, [8, 7, 6, 9]), (1, [1, 2, 3, 4]), (8, [6, 7, 9, 8]), (9, [9, 8, 10, 7]), (10, [8, 9, 10, 7])]

CELEBRATE = {"Celebrate": "GameCelebrate"}
SOUNDS = {"BackGround": "g_bgm.mp3", "Effect": "g_ok.mp3"}


def balloon_game(Canvas, folder):
    numbers = sorted({n for _, _, choices in SUMS for n in choices})
    for n in numbers:
        c = Canvas(*BALLOON)
        balloon(c, *BALLOON_COLOURS[n % 4], label=str(n))
        c.save(os.path.join(folder, "balloon_%d.png" % n))
    sky(Canvas, os.path.join(folder, "GameBg", "sky.png"))
    return {
        "GameModel": 51, "Title": "Pop the balloon with the answer", "BgImg": "sky.png", "QuestionType": 2,
        "Questions": ["%d + %d = ?" % (a, b) for a, b, _ in SUMS],
        "Answers": [choices.index(a + b) + 1 for a, b, choices in SUMS],
        "SelectImgs": [["balloon_%d.png" % n for n in choices] for _, _, choices in SUMS],
        "Animations": dict(CELEBRATE, Effect="GameEffect"),
    }


def cannon_game(Canvas, folder):
    numbers = sorted({n for _, _, choices in DIFFERENCES for n in choices})
    for n in numbers:
        c = Canvas(TARGET, TARGET)
        target(c, str(n))
        c.save(os.path.join(folder, "target_%d.png" % n))
    field(Canvas, os.path.join(folder, "GameBg", "field.png"))
    shots = {"Effect%d" % k: "CannonShot%d" % k for k in range(1, 5)}
    return {
        "GameModel": 91, "Title": "Hit the target with the answer", "BgImg": "field.png", "QuestionType": 2,
        "Questions": ["%d - %d = ?" % (a, b) for a, b, _ in DIFFERENCES],
        "Answers": [choices.index(a - b) + 1 for a, b, choices in DIFFERENCES],
        "SelectImgs": [["target_%d.png" % n for n in choices] for _, _, choices in DIFFERENCES],
        "Animations": dict(CELEBRATE, Effect="GameEffect", **shots),
    }


def garden_game(Canvas, folder):
    numbers = sorted({n for _, choices in COUNTS for n in choices})
    for n in numbers:
        number_card(Canvas, os.path.join(folder, "card_%d.png" % n), n, CARD, GREEN_EDGE)
    for count, _ in COUNTS:
        c = Canvas(300, 150)
        c.rect(3, 3, 296, 146, 22, "#fffdf5", "#e0c9a6", 4)
        for i in range(count):
            x, y = 42 + (i % 5) * 54, 48 + (i // 5) * 56
            c.circle(x, y, 22, "#e53935", "#b71c1c", 2)
            c.ellipse(x + 6, y - 22, 8, 4, "#43a047")
        c.save(os.path.join(folder, "apples_%d.png" % count))
    garden(Canvas, os.path.join(folder, "GameBg", "garden.png"))
    stages = {"Effect%d" % k: "TreeGrow%d" % k for k in range(1, 6)}
    return {
        "GameModel": 101, "Title": "How many apples?", "BgImg": "garden.png", "QuestionType": 1,
        "Questions": ["apples_%d.png" % count for count, _ in COUNTS],
        "Answers": [choices.index(count) + 1 for count, choices in COUNTS],
        "SelectImgs": [["card_%d.png" % n for n in choices] for _, choices in COUNTS],
        "Animations": dict(CELEBRATE, Effect="TreeSparkle", EffectWatering="TreeWatering", **stages),
    }


def sky(Canvas, path):
    c = Canvas(WIDTH, HEIGHT)
    for x, y, s in [(180, 200, 1.0), (620, 120, 0.8), (1080, 230, 1.2)]:
        for dx, dy, r in [(-40, 10, 34), (0, -6, 46), (44, 8, 36)]:
            c.circle(x + dx * s, y + dy * s, r * s, with_alpha(WHITE, 0.9))
    c.ellipse(640, HEIGHT + 120, 900, 220, "#9ccc65")
    c.save(path, "#bfe6ff")


def field(Canvas, path):
    c = Canvas(WIDTH, HEIGHT)
    c.poly([(0, 380), (300, 330), (700, 370), (1000, 320), (WIDTH, 360), (WIDTH, HEIGHT), (0, HEIGHT)], "#c5e1a5")
    c.poly([(0, 500), (WIDTH, 500), (WIDTH, HEIGHT), (0, HEIGHT)], "#aed581")
    c.save(path, "#d7ecfb")


def garden(Canvas, path):
    c = Canvas(WIDTH, HEIGHT)
    c.circle(1140, 120, 60, "#ffe082", with_alpha("#ffca28", 0.6), 8)
    c.poly([(0, 470), (WIDTH, 470), (WIDTH, HEIGHT), (0, HEIGHT)], "#a5d6a7")
    for x in range(20, WIDTH, 70):
        c.line([(x, 470), (x, 430)], "#bcaaa4", 6)
    c.line([(0, 445), (WIDTH, 445)], "#bcaaa4", 5)
    c.save(path, "#e3f4fd")


def sounds(folder):
    """The game music (a short loop of two chords) and the success sound (a rising two-note chime)."""
    def sox(*args):
        subprocess.run(["sox", "-q"] + [str(a) for a in args], check=True)
    chords = []
    for k, notes in enumerate([(262, 330, 392), (294, 370, 440)]):
        chords.append(os.path.join(folder, "chord%d.wav" % k))
        sox("-n", "-r", "22050", "-c", "1", chords[-1], "synth", 1.0, *sum([["sine", f] for f in notes], []),
            "fade", "q", 0.15, 1.0, 0.3, "vol", 0.5)
    sox(*chords, chords[0], chords[1], "-C", "32", os.path.join(folder, "g_bgm.mp3"))
    sox("-n", "-r", "22050", "-c", "1", os.path.join(folder, "ok.wav"), "synth", 0.5, "sine", "660-990", "fade",
        "q", 0.01, 0.5, 0.3, "vol", 0.6)
    sox(os.path.join(folder, "ok.wav"), "-C", "32", os.path.join(folder, "g_ok.mp3"))
    for name in chords + [os.path.join(folder, "ok.wav")]:
        os.remove(name)


CHOICE_GAMES = {"0101010104": balloon_game, "0101010202": cannon_game, "0101010203": garden_game}


def make_choice_games(Canvas):
    for identify, make in CHOICE_GAMES.items():
        folder = os.path.join(PACKAGES, identify, "GameImg")
        os.makedirs(folder, exist_ok=True)
        game = make(Canvas, folder)
        sounds(folder)
        write_game_map(identify, dict(game, Time=60, Score=100.0, QNum=5, Music=SOUNDS))
