"""Layouts and pictures of the classroom tools: score board, rank board, music settings, teaching pictures, drawing
board, examination page and the supplementary list and viewer.

make-pack.py merges `layouts(node, layout)` into its layout table and calls `make_pictures(images, Canvas)` from
its picture step, as it does for pack_navigation. The drawing board's brushes are seeded into the program folder's
"res/LocalRes/DrawBoard/", beside "Images/".
"""

import math
import os

import pack_navigation
from pack_navigation import (BLUE, BLUE_EDGE, DARK, GREEN, GREEN_EDGE, MUTED, ORANGE, ORANGE_EDGE, RED, RED_EDGE,
                             WHITE, raised_button, rgba, round_button, with_alpha)

WIDTH, HEIGHT = 1280, 720
CARD = "Navigation/Card.png"
PEN_COLOURS = ["#e60012", "#f5e318", "#12b4f7", "#32ad32", "#4e3ca8", "#833d3d", "#ea40c8", "#000000", "#ffffff"]
GOLD, GOLD_EDGE = "#ffc107", "#c99400"

# Brushes: pens are white discs tinted by the pen and drawn at 1/8, the eraser's stamp is a square drawn at 1.
PEN_BRUSH, ERASER_BRUSH = 64, 40


class _Tools(pack_navigation._Screens):
    """Adds to the navigation screens' helpers (return button, arrows) the pieces the tool layouts share."""

    # -- shared pieces ------------------------------------------------------------------------------------------

    def mask(self, opacity=120, fill="#000000"):
        """The full-window panel that keeps touches from the lesson beneath; shaded unless opacity is 0."""
        keys = {"fill": fill, "fillOpacity": opacity} if opacity else {}
        return self.node("Panel", "Panel1", size=[WIDTH, HEIGHT], **keys, touch=True)

    def card(self, name, pos, size, children=None):
        return self.node("ImageView", name, pos=pos, size=size, image=CARD, scale9=True, capInsets=[32, 32, 32, 32],
                         children=children)

    def text(self, name, pos, text="", size=26, colour=DARK, **keys):
        return self.node("Text", name, pos=pos, text=text, fontSize=size, textColor=rgba(colour), **keys)

    def button(self, name, pos, size, title, picture="Navigation/BtnBlue.png", font_size=26, **keys):
        return self.node("Button", name, pos=pos, size=size, normal=picture, scale9=True, capInsets=[26, 26, 26, 26],
                         title=title, titleFontSize=font_size, titleColor=WHITE, **keys)

    def close(self, name, pos, **keys):
        return self.node("Button", name, pos=pos, normal="Tools/BtnClose.png", **keys)

    def pager(self, y, x=640):
        return [self.arrow("UpBtn", "Left", [x - 110, y]), self.text("PageText", [x, y], "1/1", 28),
                self.arrow("DownBtn", "Right", [x + 110, y])]

    def head_row(self, name, pos, size, row_children):
        """A board row: selection mark, medal with the place on it, head item place, then the row's own items."""
        width, height = size
        return self.node("Panel", name, pos=pos, size=[width, height], fill="#f4f9fd", children=[
            self.node("ImageView", "SelectImg", pos=[width // 2, height // 2], size=[width, height],
                      image="Tools/RowSelect.png", scale9=True, capInsets=[16, 16, 16, 16], visible=False),
            self.node("ImageView", "RandImage", pos=[48, height // 2], image="Tools/Medal.png"),
            self.text("RandText", [48, height // 2 - 4], "1", 28, DARK),
            # Head items are centred on it: the ring above the middle, the name near the bottom edge.
            self.node("Node", "PosNode", pos=[140, height // 2 - 4]),
        ] + row_children)

    # -- screens -------------------------------------------------------------------------------------------------

    def score(self):
        node = self.node
        rows = []
        for k in range(4):
            icons = [node("ImageView", "IconImg%d" % (i + 1), pos=[350 + 34 * i, 66], image="Tools/Star.png")
                     for i in range(10)]
            rows.append(self.head_row("RandPanel%d" % (k + 1), [420, 548 - 136 * k], [780, 132], [
                self.text("ScoreText", [290, 66], "0", 36, BLUE_EDGE),
            ] + icons + [
                node("Button", "AddBtn", pos=[720, 92], normal="Tools/BtnPlus.png"),
                node("Button", "MinBtn", pos=[720, 40], normal="Tools/BtnMinus.png"),
            ]))
        groups = []
        for k in range(4):
            groups.append(node("Button", "GroupBtn%d" % (k + 1), pos=[230, 474 - 104 * k], size=[250, 92],
                               normal="Tools/GroupBtn.png", pressed="Tools/GroupBtnOn.png", scale9=True,
                               capInsets=[26, 26, 26, 26], visible=False, children=[
                                   self.text("Text_Group", [80, 64], "Group %d" % (k + 1), 24, WHITE),
                                   self.text("ScoreText", [80, 30], "0", 30, WHITE),
                                   node("Button", "AddBtn", pos=[200, 66], normal="Tools/BtnPlus.png"),
                                   node("Button", "MinBtn", pos=[200, 26], normal="Tools/BtnMinus.png"),
                               ]))
        # The board covers nearly all of the window: its mask only keeps touches, unshaded (a shaded full-window
        # panel costs the software renderer several milliseconds a frame).
        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=[
            self.mask(0),
            self.card("Img_Board", [640, 360], [1272, 712]),
            self.text("Text_Title", [230, 640], "Classroom points", 30),
            self.button("AllBtn", [230, 570], [250, 72], "Whole class"),
            self.button("GoGroupBtn", [230, 474], [250, 72], "Make groups", "Navigation/BtnGreen.png"),
        ] + groups + rows + self.pager(60, 810) + [
            self.return_button(),
        ]))

    def rank(self):
        node = self.node
        rows = [self.head_row("RankPanel%d" % (k + 1), [230, 556 - 128 * k], [720, 124], [
            self.text("ScoreText", [340, 62], "0", 34, BLUE_EDGE),
            node("ImageView", "Img_Clock", pos=[500, 62], image="Tools/Clock.png"),
            self.text("TimeText", [600, 62], "00:00", 34, DARK),
        ]) for k in range(5)]
        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=[
            self.mask(),
            self.card("Img_Board", [640, 360], [920, 710]),
            self.text("Text_Title", [590, 696], "Game ranking", 28),
        ] + rows + [
            self.arrow("UpBtn", "Up", [1030, 420]),
            self.text("PageText", [1030, 360], "1/1", 28),
            self.arrow("DownBtn", "Down", [1030, 300]),
            self.close("CloseBtn", [1080, 690]),
        ]))

    def music(self):
        node = self.node

        def line(label, button, slider, y, icon):
            return [
                self.text("Text_" + label, [420, y + 50], label, 24, MUTED),
                node("Button", button, pos=[440, y], normal="Tools/%s.png" % icon,
                     disabled="Tools/%sOff.png" % icon),
                node("Slider", slider, pos=[700, y], size=[380, 24], bar="Tools/SliderBar.png",
                     progress="Tools/SliderFill.png", ball="Tools/SliderBall.png", percent=100),
            ]
        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=[
            self.mask(100),
            self.card("Img_Bg", [640, 360], [660, 400]),
            self.text("Text_Title", [640, 520], "Sound", 32),
        ] + line("Voices", "Btn_Effect", "Slider_Effect", 410, "Speaker")
          + line("Music", "Btn_Bg", "Slider_Bg", 260, "Note") + [
            self.close("Btn_Close", [946, 536]),
        ]))

    def teach(self):
        node = self.node
        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=[
            self.mask(235, "#10202c"),
            node("ImageView", "Img_Content", pos=[640, 360], size=[WIDTH, HEIGHT], visible=False),
            # The viewer sets their x to the picture's right edge: they stand just inside it.
            node("Button", "Btn_Prev", anchor=[1, 0.5], pos=[1270, 420], normal="Navigation/ArrowUp.png"),
            node("Button", "Btn_Next", anchor=[1, 0.5], pos=[1270, 300], normal="Navigation/ArrowDown.png"),
            self.close("Btn_Close", [WIDTH, HEIGHT], anchor=[1, 1]),
        ]))

    def draw_board(self):
        node = self.node

        # Tools stand above the canvas (z 1), which the board adds to the panel at z 0.
        def tools(positions, bar_pos, bar_size):
            colours = [node("ImageView", "ColorImg%d" % k, tag=10000 + k, pos=list(positions[k - 1]), z=2,
                            image="DrawBoard/Color%d.png" % k) for k in range(1, 10)]
            return [node("ImageView", "Img_ToolBar", pos=bar_pos, size=bar_size, image=CARD, scale9=True,
                         capInsets=[32, 32, 32, 32], z=1)] + colours + [
                node("ImageView", "SelectImg", pos=list(positions[0]), z=3, image="DrawBoard/Select.png"),
                node("ImageView", "EraserImg", pos=list(positions[9]), z=2, image="DrawBoard/Eraser.png"),
                node("ImageView", "ClearImg", pos=list(positions[10]), z=2, image="DrawBoard/Clear.png"),
                node("Button", "CloseBtn", pos=list(positions[11]), z=2, normal="Tools/BtnClose.png"),
            ]
        across = [(296 + 62 * k, 52) for k in range(12)]
        across[9:] = [(896, 52), (962, 52), (1040, 52)]
        down = [(1220, 640 - 50 * k) for k in range(12)]
        down[9:] = [(1220, 180), (1220, 120), (1220, 50)]
        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=[
            node("Panel", "BoardPanel1", size=[WIDTH, HEIGHT], visible=False,
                 children=tools(across, [668, 52], [860, 88])),
            node("Panel", "BoardPanel2", size=[WIDTH, HEIGHT], visible=False,
                 children=tools(down, [1220, 346], [84, 660])),
        ]))

    def item_page(self, panel_prefix, extra):
        """The examination page and the supplementary viewer: title, text, question and answer pictures."""
        node = self.node
        panels = [node("Panel", "%s%d" % (panel_prefix, k), pos=[200, 96], size=[880, 430], fill=fill,
                       visible=False, children=[self.text("Text_Kind", [440, 406], kind, 20, MUTED)])
                  for k, (fill, kind) in enumerate([("#e8f4fc", "Look and answer"), ("#fdf1e2", "Think and say")], 1)]
        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=panels + [
            self.text("Text_Title", [640, 640], "", 34, DARK),
            self.text("Text_Content", [640, 570], "", 26, DARK, area=[960, 70], hAlign="center", vAlign="center"),
            node("ImageView", "CImage", pos=[640, 300], size=[480, 270], image="Tools/Question.png"),
            node("ImageView", "AImage", pos=[640, 300], size=[480, 270], image="Tools/Question.png", visible=False),
            self.arrow("Btn_Left", "Left", [110, 310]),
            self.arrow("Btn_Right", "Right", [1170, 310]),
            self.button("Btn_Reset", [1170, 140], [170, 64], "Again", "Navigation/BtnGreen.png"),
            node("Button", "Btn_Voice", pos=[160, 140], normal="Tools/Speaker.png"),
        ] + extra))

    def examination(self):
        return self.item_page("ExPanel", [])

    def addition(self):
        node = self.node
        page = self.item_page("AdPanel", [
            node("ImageView", "PerImg", pos=[160, 630], size=[192, 108], image="Tools/Question.png"),
            node("Button", "PlayBtn", pos=[160, 630], normal="Tools/Play.png"),
            self.close("Btn_Close", [WIDTH, HEIGHT], anchor=[1, 1]),
        ])
        page["root"]["children"].insert(0, self.mask(255, "#fbfdff"))
        return page

    def addition_list(self):
        node = self.node
        buttons = [self.node("Button", "TitleBtn%d" % k, pos=[640, 470 - 100 * (k - 1)], size=[520, 80],
                             normal="Navigation/BtnBlue.png", disabled="Tools/BtnOff.png", scale9=True,
                             capInsets=[26, 26, 26, 26], enabled=False, children=[
                                 self.text("TitleText", [260, 44], "", 28, WHITE)]) for k in range(1, 4)]
        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=[
            self.mask(),
            self.card("Img_Bg", [640, 400], [640, 460]),
            self.text("Text_Heading", [640, 580], "More practice", 32),
        ] + buttons + [self.close("Btn_Close", [940, 610])]))


def layouts(node, layout):
    """File name -> function that returns the layout document."""
    tools = _Tools(node, layout)
    return {
        "ScoreLayer.csb": tools.score,
        "RankLayer.csb": tools.rank,
        "MusicLayer.csb": tools.music,
        "TeachLayer.csb": tools.teach,
        "DrawBoardLayer.csb": tools.draw_board,
        "ExaminationLayer.csb": tools.examination,
        "AdditionLayer.csb": tools.addition,
        "AdditionList.csb": tools.addition_list,
    }


# ---------------------------------------------------------------------------------------------------------------
# Pictures

def star(c, cx, cy, outer, fill, edge):
    points = []
    for i in range(10):
        r = outer if i % 2 == 0 else outer * 0.45
        a = math.radians(-90 + i * 36)
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    c.poly(points, fill, edge, 1.5)


def tool_pictures(Canvas, folder):
    c = Canvas(30, 30)
    star(c, 15, 16, 14, GOLD, GOLD_EDGE)
    c.save(os.path.join(folder, "Star.png"))
    c = Canvas(64, 64)
    c.poly([(18, 2), (30, 24), (34, 24), (46, 2)], RED, RED_EDGE, 1)
    c.circle(32, 40, 21, GOLD, GOLD_EDGE, 3)
    c.circle(32, 40, 14, "none", with_alpha(WHITE, 0.6), 2)
    c.save(os.path.join(folder, "Medal.png"))
    for name, fill, edge, sign in [("BtnPlus.png", GREEN, GREEN_EDGE, "+"), ("BtnMinus.png", RED, RED_EDGE, "-")]:
        c = Canvas(48, 48)
        round_button(c, 24, 22, 19, fill, edge)
        c.line([(15, 22), (33, 22)], WHITE, 5)
        if sign == "+":
            c.line([(24, 13), (24, 31)], WHITE, 5)
        c.save(os.path.join(folder, name))
    c = Canvas(64, 64)
    round_button(c, 32, 30, 26, RED, RED_EDGE)
    c.line([(22, 20), (42, 40)], WHITE, 6)
    c.line([(42, 20), (22, 40)], WHITE, 6)
    c.save(os.path.join(folder, "BtnClose.png"))
    for name, fill, edge in [("GroupBtn.png", "#5c8fd6", "#3b6bb0"), ("GroupBtnOn.png", ORANGE, ORANGE_EDGE),
                             ("BtnOff.png", "#b0bec5", "#90a4ae")]:
        c = Canvas(96, 72)
        raised_button(c, 96, 72, fill, edge)
        c.save(os.path.join(folder, name))
    c = Canvas(48, 48)
    c.rect(2, 2, 45, 45, 14, "none", ORANGE, 4)
    c.save(os.path.join(folder, "RowSelect.png"))
    c = Canvas(40, 40)
    c.circle(20, 20, 17, WHITE, DARK, 3)
    c.line([(20, 9), (20, 20), (28, 24)], DARK, 3)
    c.save(os.path.join(folder, "Clock.png"))
    for bright, suffix in [(True, ""), (False, "Off")]:
        fill, edge = (BLUE, BLUE_EDGE) if bright else ("#b0bec5", "#90a4ae")
        c = Canvas(72, 72)
        round_button(c, 36, 34, 30, fill, edge)
        c.poly([(20, 28), (28, 28), (40, 18), (40, 50), (28, 40), (20, 40)], WHITE)
        if bright:
            c.line([(46, 26), (50, 34), (46, 42)], WHITE, 3)
        else:
            c.line([(44, 24), (54, 44)], WHITE, 4)
        c.save(os.path.join(folder, "Speaker%s.png" % suffix))
        c = Canvas(72, 72)
        round_button(c, 36, 34, 30, fill, edge)
        c.circle(28, 44, 7, WHITE)
        c.line([(34, 44), (34, 18), (46, 22)], WHITE, 4)
        if not bright:
            c.line([(20, 20), (52, 50)], WHITE, 4)
        c.save(os.path.join(folder, "Note%s.png" % suffix))
    c = Canvas(380, 24)
    c.rect(1, 6, 378, 17, 6, "#d5e3ec", "#b0c4d0", 1)
    c.save(os.path.join(folder, "SliderBar.png"))
    c = Canvas(380, 24)
    c.rect(1, 6, 378, 17, 6, BLUE, BLUE_EDGE, 1)
    c.save(os.path.join(folder, "SliderFill.png"))
    c = Canvas(36, 36)
    c.circle(18, 18, 15, WHITE, BLUE_EDGE, 3)
    c.save(os.path.join(folder, "SliderBall.png"))
    c = Canvas(80, 80)
    round_button(c, 40, 38, 32, with_alpha(DARK, 0.7), WHITE)
    c.poly([(32, 22), (56, 38), (32, 54)], WHITE)
    c.save(os.path.join(folder, "Play.png"))
    c = Canvas(96, 54)
    c.rect(1, 1, 94, 52, 8, "#eceff1", "#b0bec5", 2)
    c.text(0, 0, "?", 30, MUTED)
    c.save(os.path.join(folder, "Question.png"))


def draw_board_pictures(Canvas, folder):
    for k, colour in enumerate(PEN_COLOURS, 1):
        c = Canvas(52, 52)
        c.circle(26, 26, 20, colour, "#cfd8dc" if colour == "#ffffff" else WHITE, 3)
        c.save(os.path.join(folder, "Color%d.png" % k))
    c = Canvas(60, 60)
    c.circle(30, 30, 27, "none", DARK, 4)
    c.save(os.path.join(folder, "Select.png"))
    c = Canvas(52, 52)
    c.poly([(10, 34), (28, 12), (44, 26), (26, 46)], "#f48fb1", "#ad1457", 2)
    c.line([(10, 34), (26, 46)], "#ad1457", 3)
    c.save(os.path.join(folder, "Eraser.png"))
    c = Canvas(52, 52)
    c.rect(14, 16, 38, 46, 4, "#90a4ae", DARK, 2)
    c.line([(10, 14), (42, 14)], DARK, 4)
    c.line([(22, 10), (30, 10)], DARK, 4)
    c.save(os.path.join(folder, "Clear.png"))
    c = Canvas(40, 40)
    c.rect(2, 2, 37, 37, 4, with_alpha(WHITE, 0.35), DARK, 2)
    c.save(os.path.join(folder, "DrawBoard_Eraser2.png"))


def brushes(Canvas, folder):
    """Pens: a hard white disc, so a tinted stamp shows the pen's own colour; the eraser: a square."""
    for k in range(1, 10):
        c = Canvas(PEN_BRUSH, PEN_BRUSH)
        c.circle(PEN_BRUSH / 2 - 0.5, PEN_BRUSH / 2 - 0.5, PEN_BRUSH / 2 - 1, WHITE)
        c.save(os.path.join(folder, "DrawBoard_Color%d.png" % k))
    c = Canvas(ERASER_BRUSH, ERASER_BRUSH)
    c.rect(0, 0, ERASER_BRUSH - 1, ERASER_BRUSH - 1, 0, WHITE)
    c.save(os.path.join(folder, "DrawBoard_Color0.png"))


def make_pictures(images, Canvas):
    tool_pictures(Canvas, os.path.join(images, "Tools"))
    draw_board_pictures(Canvas, os.path.join(images, "DrawBoard"))
    brushes(Canvas, os.path.join(os.path.dirname(os.path.abspath(images)), "res", "LocalRes", "DrawBoard"))


# ---------------------------------------------------------------------------------------------------------------
# Demo courseware: the supplementary items and teaching pictures of the demo packages
#
#     scripts/pack_tools.py --packages server/packages
#
# rewrites the "Addition" array of the lectures below (the rest of their Topic.plist stays as it is), draws their
# question and answer pictures into TopicImg/, makes their readings in mp3/ (ffmpeg), and draws the teaching
# pictures of the picture books.

FRUIT = [("apples", RED, "#2e7d32"), ("pears", "#c0ca33", "#558b2f"), ("plums", "#7e57c2", "#4527a0"),
         ("oranges", ORANGE, "#2e7d32"), ("lemons", "#fdd835", "#9e9d24")]

# identify -> items: (title, stem, type, count of fruit, added or taken away)
ADDITION = {
    "0101010101": [("Count the apples", "How many apples are on the plate?", 1, 4, 0),
                   ("Two more pears", "There are 3 pears. Two more come. How many now?", 2, 3, 2),
                   ("Count the plums", "How many plums can you see?", 1, 6, 0),
                   ("One orange less", "There are 5 oranges. One is eaten. How many are left?", 2, 5, -1)],
    "0101050106": [("Test 1: count", "How many apples?", 1, 7, 0),
                   ("Test 2: add", "4 pears and 3 more. How many pears?", 2, 4, 3),
                   ("Test 3: count", "How many plums?", 1, 9, 0),
                   ("Test 4: take away", "8 oranges, 2 are eaten. How many are left?", 2, 8, -2),
                   ("Test 5: add", "5 lemons and 4 more. How many lemons?", 2, 5, 4)],
}
# Every picture book has its teaching pictures.
TEACHING = {"0204010101": ["Read the cover together", "Point at each picture", "Ask: what happens next?"],
            "0204010102": ["Read the cover together", "Name each colour you see", "Ask: what else is red?"],
            "0204020101": ["Read the cover together", "Who does Mimi meet?", "Ask: what does Mimi find?"]}
PICTURE = (480, 270)


def fruit_row(c, count, colour, leaf, x0, y, size=40, gap=10):
    for i in range(count):
        cx = x0 + i * (size + gap) + size / 2
        c.circle(cx, y, size / 2, colour, with_alpha(DARK, 0.4), 2)
        c.ellipse(cx + 6, y - size / 2 - 2, 8, 4, leaf)


def item_pictures(Canvas, folder, k, item):
    title, stem, kind, count, change = item
    name, colour, leaf = FRUIT[(k - 1) % len(FRUIT)]
    w, h = PICTURE
    answer = count + change
    for suffix, shown_count, text in [("q", count, "?"), ("a", answer, str(answer))]:
        c = Canvas(w, h)
        c.rect(2, 2, w - 3, h - 3, 24, "#fffdf5", "#e0c9a6", 4)
        rows = [min(shown_count, 6), max(0, shown_count - 6)]
        for r, n in enumerate(rows):
            if n:
                fruit_row(c, n, colour, leaf, 40, 80 + 70 * r)
        if suffix == "q" and change:
            sign = "+%d" % change if change > 0 else "%d" % change
            c.text(150, 70, sign, 44, GREEN if change > 0 else RED)
        c.circle(w - 70, h - 70, 46, BLUE if suffix == "q" else GREEN, WHITE, 4)
        c.text(w / 2 - 70, h / 2 - 70, text, 48, WHITE)
        c.save(os.path.join(folder, "TopicImg", "ad%d_%s.png" % (k, suffix)))


def reading(path, k):
    """A short two-note chime standing in for the recorded reading."""
    import subprocess
    os.makedirs(os.path.dirname(path), exist_ok=True)
    first, second = 440 + 40 * k, 660 + 40 * k
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                    "sine=frequency=%d:duration=0.4,afade=t=out:st=0.25:d=0.15" % first, "-f", "lavfi", "-i",
                    "sine=frequency=%d:duration=0.6,afade=t=out:st=0.3:d=0.3" % second, "-filter_complex",
                    "[0][1]concat=n=2:v=0:a=1", "-ac", "1", "-ar", "22050", "-b:a", "32k", "-fflags", "+bitexact",
                    "-flags:a", "+bitexact", "-map_metadata", "-1", path], check=True)


def addition_xml(items):
    def entry(k, item):
        title, stem, kind = item[0], item[1], item[2]
        keys = [("Title", "string", title), ("Stem", "string", stem), ("Type", "integer", kind),
                ("CImage", "string", "ad%d_q.png" % k), ("AImage", "string", "ad%d_a.png" % k),
                ("Dubbing", "string", "ad%d.mp3" % k)]
        body = "".join("   <key>%s</key>\n   <%s>%s</%s>\n" % (key, t, v, t) for key, t, v in keys)
        return "  <dict>\n" + body + "  </dict>\n"
    return " <key>Addition</key>\n <array>\n" + "".join(entry(k, i) for k, i in enumerate(items, 1)) + " </array>\n"


def replace_addition(plist_path, items):
    import re
    with open(plist_path, encoding="utf-8") as source:
        text = source.read()
    block = re.compile(r" <key>Addition</key>\n <array>\n.*?\n </array>\n", re.S)
    if block.search(text):
        text = block.sub(lambda _: addition_xml(items), text, count=1)
    else:
        text = text.replace("</dict>\n</plist>", addition_xml(items) + "</dict>\n</plist>")
    with open(plist_path, "w", encoding="utf-8") as out:
        out.write(text)


# Room for a 72-pixel arrow on a 960-pixel picture shown 1280 wide, with a little to spare.
ARROW_MARGIN = 100


def book_things(identify):
    """Three drawers (canvas, x, y) of what the picture book itself shows, for the row under its guide's step."""
    import importlib.machinery
    here = os.path.dirname(os.path.abspath(__file__))
    book = importlib.machinery.SourceFileLoader("picture_book", os.path.join(here, "make-picture-book.py")).load_module()
    things = {
        "0204010101": [lambda c, x, y: book.cat(c, x + 20, y + 20, 70),
                       lambda c, x, y: book.ball(c, x, y, 40, "#e5533d"),
                       lambda c, x, y: book.fish(c, x - 10, y, 80)],
        "0204010102": [lambda c, x, y, colour=colour: book.ball(c, x, y, 40, colour)
                       for colour in ("#e5533d", "#43b85c", "#3aa3e6")],
        "0204020101": [lambda c, x, y: book.cat(c, x + 20, y + 20, 70),
                       lambda c, x, y: book.dog(c, x + 20, y + 20, 70),
                       lambda c, x, y: book.fish(c, x - 10, y, 80, "#f28cb1")],
    }
    return things[identify]


def teaching_pictures(Canvas, folder, steps, things):
    w, h = 960, 540
    for k, step in enumerate(steps, 1):
        c = Canvas(w, h)
        c.rect(0, 0, w - 1, h - 1, 0, "#fff8e7")
        # The card leaves the right margin to the viewer's page arrows, which stand at the picture's right edge.
        c.rect(40, 40, w - 1 - ARROW_MARGIN, h - 41, 28, WHITE, "#e0c9a6", 6)
        shift = (40 - ARROW_MARGIN) / 2
        c.text(shift, -170, "Teaching guide %d" % k, 40, BLUE_EDGE)
        c.text(shift, -60, step, 44, DARK)
        # The book's own pictures, not another book's.
        for i, draw in enumerate(things):
            draw(c, w / 2 + shift - 150 + 150 * i, 380)
        c.save(os.path.join(folder, "Teach%d.png" % k))


def make_demo_content(packages, Canvas):
    for identify, items in ADDITION.items():
        folder = os.path.join(packages, identify)
        for k, item in enumerate(items, 1):
            item_pictures(Canvas, folder, k, item)
            reading(os.path.join(folder, "mp3", "ad%d.mp3" % k), k)
        replace_addition(os.path.join(folder, "Topic.plist"), items)
    for identify, steps in TEACHING.items():
        teaching_pictures(Canvas, os.path.join(packages, identify), steps, book_things(identify))


if __name__ == "__main__":
    import argparse
    import importlib.machinery
    import sys
    here = os.path.dirname(os.path.abspath(__file__))
    sys.path.insert(0, here)
    parser = argparse.ArgumentParser(description="Draws the demo packages' supplementary items and teaching pictures.")
    parser.add_argument("--packages", default=os.path.join(here, "..", "server", "packages"))
    args = parser.parse_args()
    make_pack = importlib.machinery.SourceFileLoader("make_pack", os.path.join(here, "make-pack.py")).load_module()
    make_demo_content(os.path.abspath(args.packages), make_pack.Canvas)
