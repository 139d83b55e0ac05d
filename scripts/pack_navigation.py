"""Layouts and pictures of the navigation screens: login, course, subject, grade and class choice.

make-pack.py merges `layouts(node, layout)` into its layout table and calls `make_pictures(images, Canvas)` from
its picture step; both take make-pack's own helpers so the files come out in the same style.

Every screen is drawn for 1280x720. "Panel1" is each screen's background: the program stretches it over the whole
window, so the picture behind the content still fills a window taller than 16:9.
"""

import math
import os
import random
import subprocess

BLUE, BLUE_EDGE, GREEN, GREEN_EDGE = "#3aa3e6", "#1f78b4", "#43b85c", "#2e8b45"
ORANGE, ORANGE_EDGE, RED, RED_EDGE = "#f5a623", "#d4860b", "#e5533d", "#b23a27"
WHITE, DARK, MUTED = "#ffffff", "#33414e", "#9aa7b1"
SCHOOL_TEXT, CLASS_COLOURS = "#3aa3e6", ["#6c9b2b", "#3787c7", "#d36169", "#616bcc"]
GRADES = [(1, "#ef6a5a"), (2, "#f5a623"), (3, "#43b85c"), (5, "#3aa3e6"), (6, "#9b6ad6")]

WIDTH, HEIGHT = 1280, 720
RIBBON = "Navigation/Ribbon.png"
RIBBON_SIZE = (480, 96)
RIBBON_TEXT_Y = 60  # the ribbon body's centre line, from the picture's bottom


def rgba(colour):
    return colour + "ff"


def with_alpha(colour, alpha):
    return "%s%02x" % (colour, int(round(alpha * 255)))


# ---------------------------------------------------------------------------------------------------------------
# Layouts

class _Screens:
    """Builds the five documents with make-pack's node() and layout()."""

    def __init__(self, node, layout):
        self.node, self.layout = node, layout

    def background(self, image=None, fill=None, children=None):
        keys = {"image": image} if image else {"fill": fill}
        return self.node("Panel", "Panel1", size=[WIDTH, HEIGHT], children=children, **keys)

    def client_background(self):
        # Shown by the scene; tall enough for a window up to 5:4 once raised by the layout offset.
        return self.node("ImageView", "Img_Bg9", pos=[640, 360], size=[WIDTH, 1024], image="Common/ClientBg9.png",
                         visible=False)

    def return_button(self):
        return self.node("Button", "Btn_Return", anchor=[0.5, 1], pos=[64, HEIGHT], normal="Navigation/BtnReturn.png")

    def arrow(self, name, direction, pos, visible=True):
        keys = {} if visible else {"visible": False}
        return self.node("Button", name, pos=pos, normal="Navigation/Arrow%s.png" % direction, **keys)

    # Hangs from pos: the anchor is its top edge.
    def ribbon(self, name, text_name, text, pos, size=RIBBON_SIZE, font_size=32):
        keys = {"scale9": True, "capInsets": [64, 0, 64, 0]} if tuple(size) != RIBBON_SIZE else {}
        return self.node("ImageView", name, anchor=[0.5, 1], pos=pos, size=list(size), image=RIBBON, **keys,
                         children=[self.node("Text", text_name, pos=[size[0] // 2, RIBBON_TEXT_Y], text=text,
                                             area=[size[0] - 120, 48], fontSize=font_size, textColor=rgba(WHITE),
                                             hAlign="center", vAlign="center")])

    def heading(self, text):
        return self.ribbon("Img_Heading", "Text_Heading", text, [640, HEIGHT])

    # The login card stands right of the on-screen keyboard, which the scene opens over the left two thirds.
    def login(self):
        node = self.node
        card_x = 1050

        # The box is the field's child, so it rises with the field above an open keyboard.
        def field(name, placeholder, icon, y, **keys):
            return node("TextField", name, anchor=[0, 0.5], pos=[card_x - 104, y], area=[250, 44], fontSize=26,
                        textColor=rgba(DARK), placeholder=placeholder, placeholderColor=rgba(MUTED), maxLength=16,
                        **keys, children=[
                            node("ImageView", "Img_Box", pos=[104, 22], size=[320, 60], z=-1,
                                 image="LoginScene/FieldBox.png", scale9=True, capInsets=[18, 18, 18, 18],
                                 children=[node("ImageView", "Img_Icon", pos=[30, 30],
                                                image="LoginScene/%s.png" % icon)])])

        client = node("Panel", "Panel_Client9", size=[WIDTH, HEIGHT], children=[
            node("ImageView", "Img_Card", pos=[card_x, 415], size=[380, 370], image="Navigation/Card.png",
                 scale9=True, capInsets=[32, 32, 32, 32]),
            self.ribbon("Img_CardTitle", "Text_CardTitle", "Teacher Login", [card_x, 648], size=[340, 96],
                        font_size=28),
            field("UserName", "Account", "IconUser", 490),
            field("PassWord", "Password", "IconLock", 400, password=True),
            node("Button", "Btn_Login", pos=[card_x, 300], size=[320, 64], normal="Navigation/BtnBlue.png",
                 scale9=True, capInsets=[26, 26, 26, 26], title="Log in", titleFontSize=30, titleColor=WHITE),
            node("Button", "Btn_Exit", anchor=[1, 1], pos=[WIDTH, HEIGHT], normal="LoginScene/BtnExit.png"),
            node("Text", "Text_Version", anchor=[1, 0], pos=[1264, 10], text="Version:1.0.0(1)", fontSize=20,
                 textColor=rgba(WHITE)),
            node("ImageView", "Img_Logo", anchor=[0.5, 1], pos=[150, 710], image="LoginScene/Logo.png"),
            # Sun, cloud, bird and kite of the "Login" list, in the sky left of the card and above the keyboard.
            node("Node", "AniPos1", pos=[700, 600]),
            node("Node", "AniPos2", pos=[420, 610]),
            node("Node", "AniPos3", pos=[560, 480]),
            node("Node", "AniPos4", pos=[170, 500]),
        ])
        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=[
            self.background("Common/ClientBg9.png", children=[
                node("ImageView", "Img_Hills", anchor=[0.5, 0], pos=[640, 0], image="LoginScene/Hills.png")]),
            client,
        ]))

    # Course buttons stand at 1/8, 3/8, 5/8 and 7/8 of "Panel_Layout" on its middle line: 280 apart.
    def course(self):
        node = self.node
        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=[
            self.background(fill="#e3f3fc"),
            self.client_background(),
            self.heading("Choose a course"),
            node("Panel", "Panel_Layout", pos=[80, 120], size=[1120, 400]),
            self.arrow("Btn_Preview", "Left", [44, 320], visible=False),
            self.arrow("Btn_Next", "Right", [1236, 320], visible=False),
            self.return_button(),
        ]))

    # Subject buttons: three columns at 1/6, 1/2 and 5/6 of "Panel_Layout", rows at 3/4 and 1/4: 320 x 240 apart.
    def subject(self):
        node = self.node
        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=[
            self.background(fill="#e3f3fc"),
            self.client_background(),
            self.ribbon("Img_Title", "Text_Title", "", [640, HEIGHT]),
            node("Panel", "Panel_Layout", pos=[160, 80], size=[960, 480]),
            self.arrow("Btn_Preview", "Left", [80, 320], visible=False),
            self.arrow("Btn_Next", "Right", [1200, 320], visible=False),
            self.return_button(),
        ]))

    # Grades the subject does not offer keep the file's dimmed look; the scene lights the others.
    def grade(self):
        node = self.node
        badges = [node("Button", "Btn_Grade%d" % grade, pos=[180 + 230 * k, 300],
                       normal="GradeScene/Grade%d.png" % grade, disabled="GradeScene/Grade%dOff.png" % grade,
                       bright=False)
                  for k, (grade, _) in enumerate(GRADES)]
        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=[
            self.background("GradeScene/NightSky.png", children=[
                node("ImageView", "Img_Stars", anchor=[0.5, 0], pos=[640, 0], image="GradeScene/Stars.png")]),
            self.heading("Choose a grade"),
            node("Button", "ResManageBtn", anchor=[1, 1], pos=[1256, 704], size=[210, 64],
                 normal="Navigation/BtnGreen.png", scale9=True, capInsets=[26, 26, 26, 26], title="Resources",
                 titleFontSize=26, titleColor=WHITE),
            *badges,
            # Star and rocket of the "Grade" list.
            node("Node", "AniPos1", pos=[250, 540]),
            node("Node", "AniPos2", pos=[1010, 520]),
            self.return_button(),
        ]))

    # Schools in a column on the left (up and down page them), the classes' cards in a 2x2 grid on the right
    # (left and right page them).
    def class_choice(self):
        node = self.node

        def school(number):
            return node("Button", "SchoolBtn%d" % number, pos=[200, 565 - 85 * number], size=[280, 72],
                        normal="ClassScene/SchoolTab.png", pressed="ClassScene/SchoolTabOn.png", scale9=True,
                        capInsets=[20, 20, 20, 20], children=[
                            node("Text", "TitleText", pos=[140, 36], area=[250, 40], fontSize=26,
                                 textColor=rgba(SCHOOL_TEXT), hAlign="center", vAlign="center")])

        def class_card(number):
            column, row = (number - 1) % 2, (number - 1) // 2
            return node("ImageView", "ClassImg%d" % number, pos=[640 + 360 * column, 455 - 240 * row],
                        image="ClassScene/ClassCard.png", visible=False, children=[
                            node("Text", "ClassName", pos=[160, 52], area=[290, 48], fontSize=32,
                                 textColor=rgba(CLASS_COLOURS[number - 1]), hAlign="center", vAlign="center"),
                            node("ImageView", "SelectImg", pos=[160, 105], size=[340, 230],
                                 image="ClassScene/ClassSelect.png", scale9=True, capInsets=[24, 24, 24, 24],
                                 visible=False)])

        def page_text(name, pos):
            return node("Text", name, pos=pos, text="0/0", area=[96, 40], fontSize=26, textColor=rgba(DARK),
                        hAlign="center", vAlign="center")

        return self.layout(node("Node", size=[WIDTH, HEIGHT], children=[
            self.background("ClassScene/WallBg.png"),
            self.heading("Choose a class"),
            node("ImageView", "Img_SchoolCard", pos=[200, 345], size=[320, 530], image="Navigation/Card.png",
                 scale9=True, capInsets=[32, 32, 32, 32], children=[
                     node("Text", "Text_Schools", pos=[160, 470], text="Schools", fontSize=28,
                          textColor=rgba(DARK))]),
            *[school(n) for n in range(1, 5)],
            self.arrow("BtnUp", "Up", [110, 130]),
            page_text("ListPageText", [200, 130]),
            self.arrow("BtnDown", "Down", [290, 130]),
            *[class_card(n) for n in range(1, 5)],
            self.arrow("BtnLeft", "Left", [424, 335]),
            self.arrow("BtnRight", "Right", [1216, 335]),
            page_text("PageText", [820, 60]),
            self.return_button(),
        ]))


def layouts(node, layout):
    """File name -> function that returns the layout document."""
    screens = _Screens(node, layout)
    return {
        "LoginScene.csb": screens.login,
        "CourseScene.csb": screens.course,
        "SubjectScene.csb": screens.subject,
        "GradeScene.csb": screens.grade,
        "ClassScene.csb": screens.class_choice,
    }


# ---------------------------------------------------------------------------------------------------------------
# Pictures

def soft_shadow(c, x0, y0, x1, y1, radius, alpha=0.25, blur=4):
    """A blurred rounded box; draw it first, the blur touches everything drawn before."""
    c.rect(x0, y0, x1, y1, radius, with_alpha("#1d3b5a", alpha))
    c.ops += ["-channel", "RGBA", "-blur", "0x%d" % blur, "+channel"]


def gradient(path, top, bottom):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run(["convert", "-size", "16x128", "gradient:%s-%s" % (top, bottom), "-strip", path], check=True)


def raised_button(c, w, h, fill, edge):
    c.rect(2, 6, w - 3, h - 3, 20, edge)
    c.rect(2, 2, w - 3, h - 8, 20, fill)
    c.rect(10, 6, w - 11, h / 2 - 6, 12, with_alpha(WHITE, 0.22))


def round_button(c, cx, cy, r, fill, edge):
    c.circle(cx, cy + 4, r, edge)
    c.circle(cx, cy, r, fill, WHITE, 3)


def navigation_pictures(Canvas, folder):
    c = Canvas(96, 96)
    soft_shadow(c, 6, 10, 89, 92, 22)
    c.rect(4, 4, 91, 88, 22, WHITE, "#d3e1ea", 2)
    c.save(os.path.join(folder, "Card.png"))

    for name, fill, edge in [("BtnBlue.png", BLUE, BLUE_EDGE), ("BtnGreen.png", GREEN, GREEN_EDGE)]:
        c = Canvas(96, 72)
        raised_button(c, 96, 72, fill, edge)
        c.save(os.path.join(folder, name))

    # Hangs from its top edge: the round button sits 18 px below the picture's top.
    c = Canvas(96, 96)
    round_button(c, 48, 54, 34, ORANGE, ORANGE_EDGE)
    c.line([(66, 54), (32, 54)], WHITE, 8)
    c.line([(46, 40), (32, 54), (46, 68)], WHITE, 8)
    c.save(os.path.join(folder, "BtnReturn.png"))

    chevrons = {
        "Left": [(42, 20), (28, 34), (42, 48)],
        "Right": [(30, 20), (44, 34), (30, 48)],
        "Up": [(22, 41), (36, 27), (50, 41)],
        "Down": [(22, 28), (36, 42), (50, 28)],
    }
    for direction, points in chevrons.items():
        c = Canvas(72, 72)
        round_button(c, 36, 34, 30, BLUE, BLUE_EDGE)
        c.line(points, WHITE, 7)
        c.save(os.path.join(folder, "Arrow%s.png" % direction))

    # A banner hanging from the top with folded tails; its body is 72 px high.
    w, h = RIBBON_SIZE
    c = Canvas(w, h)
    for side in (1, -1):
        x = (lambda v: v) if side == 1 else (lambda v: w - v)
        c.poly([(x(0), 22), (x(64), 22), (x(64), 92), (x(0), 92), (x(20), 57)], ORANGE_EDGE)
        c.poly([(x(44), 72), (x(64), 72), (x(64), 92)], "#9c6208")
    c.poly([(44, 0), (w - 44, 0), (w - 44, 72), (44, 72)], ORANGE)
    c.line([(52, 7), (w - 52, 7)], with_alpha(WHITE, 0.5), 2)
    c.line([(52, 65), (w - 52, 65)], with_alpha("#9c6208", 0.5), 2)
    c.save(os.path.join(folder, "Ribbon.png"))


def tree(c, x, base, s):
    c.rect(x - 5 * s, base - 34 * s, x + 5 * s, base, 2, "#8d6e63")
    c.circle(x, base - 52 * s, 26 * s, "#4caf50")
    c.circle(x - 12 * s, base - 44 * s, 16 * s, "#43a047")
    c.circle(x + 10 * s, base - 62 * s, 12 * s, with_alpha("#a5d6a7", 0.6))


def hills(c, w, h):
    back = [(x, 90 + 26 * math.sin(x / 170.0 + 0.8)) for x in range(0, w + 1, 16)]
    front = [(x, 140 + 22 * math.sin(x / 130.0 + 2.4)) for x in range(0, w + 1, 16)]
    c.poly(back + [(w, h), (0, h)], "#a5d6a7")
    for x, s in [(150, 1.0), (210, 0.7), (610, 0.8)]:
        base = 96 + 26 * math.sin(x / 170.0 + 0.8)
        tree(c, x, base + 14, s)
    c.poly(front + [(w, h), (0, h)], "#66bb6a")
    for x, s in [(430, 0.9), (1000, 1.1), (1080, 0.75)]:
        base = 140 + 22 * math.sin(x / 130.0 + 2.4)
        tree(c, x, base + 16, s)


def login_pictures(Canvas, folder):
    c = Canvas(WIDTH, 220)
    hills(c, WIDTH, 220)
    c.save(os.path.join(folder, "Hills.png"))

    c = Canvas(64, 60)
    c.rect(1, 1, 62, 58, 14, "#f7fbfe", "#b7c9d6", 2)
    c.save(os.path.join(folder, "FieldBox.png"))

    c = Canvas(36, 36)
    c.circle(18, 12, 7, "#7f97a8")
    c.ellipse(18, 33, 13, 11, "#7f97a8", start=180, end=360)
    c.save(os.path.join(folder, "IconUser.png"))

    c = Canvas(36, 36)
    c.line([(11, 17), (11, 11), (14, 5), (22, 5), (25, 11), (25, 17)], "#7f97a8", 4)
    c.rect(6, 16, 30, 33, 4, "#7f97a8")
    c.circle(18, 24, 3, "#f7fbfe")
    c.save(os.path.join(folder, "IconLock.png"))

    # Stands in for the institution's logo until one is downloaded.
    c = Canvas(220, 66)
    c.rect(2, 2, 217, 63, 16, with_alpha(WHITE, 0.9), "#9fc9e6", 3)
    c.poly([(16, 20), (32, 26), (32, 50), (16, 44)], BLUE)
    c.poly([(48, 20), (32, 26), (32, 50), (48, 44)], "#64b5f6")
    c.text(22, 0, "Classroom", 26, DARK)
    c.save(os.path.join(folder, "Logo.png"))

    # Anchored at the window's top-right corner: the round button keeps 18 px from both edges.
    c = Canvas(96, 96)
    round_button(c, 48, 46, 30, RED, RED_EDGE)
    c.line([(36.3, 37.0), (33.0, 44.0), (33.8, 51.6), (37.8, 57.7), (44.6, 61.0), (51.4, 61.0), (58.2, 57.7),
            (62.2, 51.6), (63.0, 44.0), (59.7, 37.0)], WHITE, 5)
    c.line([(48, 30), (48, 46)], WHITE, 5)
    c.save(os.path.join(folder, "BtnExit.png"))


def planet(c, cx, cy, r, fill, shade, moon):
    c.circle(cx, cy, r + 6, with_alpha(WHITE, 0.25))
    c.circle(cx, cy, r, fill, WHITE, 4)
    c.ellipse(cx - r * 0.35, cy - r * 0.5, r * 0.32, r * 0.18, with_alpha(WHITE, 0.35))
    c.circle(cx + r * 0.5, cy + r * 0.5, r * 0.12, shade)
    c.circle(cx - r * 0.55, cy + r * 0.35, r * 0.08, shade)
    c.circle(cx + r * 0.82, cy - r * 0.82, r * 0.16, moon, WHITE, 2)


def grade_pictures(Canvas, folder):
    gradient(os.path.join(folder, "NightSky.png"), "#24386b", "#5b8fd0")

    c = Canvas(WIDTH, HEIGHT)
    stars = random.Random(2024)
    for _ in range(90):
        x, y = stars.uniform(0, WIDTH), stars.uniform(0, HEIGHT - 40)
        c.circle(x, y, stars.choice([1.0, 1.5, 2.0]), with_alpha(WHITE, stars.uniform(0.35, 0.9)))
    for _ in range(10):
        x, y, r = stars.uniform(0, WIDTH), stars.uniform(0, HEIGHT - 40), stars.uniform(6, 10)
        c.poly([(x, y - r), (x + r * 0.25, y - r * 0.25), (x + r, y), (x + r * 0.25, y + r * 0.25), (x, y + r),
                (x - r * 0.25, y + r * 0.25), (x - r, y), (x - r * 0.25, y - r * 0.25)], with_alpha("#fff6c8", 0.9))
    c.save(os.path.join(folder, "Stars.png"))

    for grade, colour in GRADES:
        for suffix, fill, shade, moon, text in [("", colour, with_alpha(DARK, 0.25), "#ffe082", DARK),
                                                ("Off", "#8d99a6", "#6f7b87", "#b0bac4", "#6f7b87")]:
            c = Canvas(200, 220)
            planet(c, 100, 88, 72, fill, shade, moon)
            c.text(0, -22, str(grade), 76, WHITE)
            c.rect(34, 178, 165, 214, 18, WHITE if not suffix else "#dfe4e8", with_alpha(DARK, 0.15), 2)
            c.text(0, 86, "Grade %d" % grade, 22, text)
            c.save(os.path.join(folder, "Grade%d%s.png" % (grade, suffix)))


def class_pictures(Canvas, folder):
    gradient(os.path.join(folder, "WallBg.png"), "#fff3dc", "#fffdf7")

    tabs = [("SchoolTab.png", WHITE, "#9ccbe8", 2), ("SchoolTabOn.png", "#fff1e6", "#f7a072", 3)]
    for name, fill, edge, width in tabs:
        c = Canvas(64, 64)
        c.rect(2, 4, 61, 61, 16, with_alpha("#1d3b5a", 0.12))
        c.rect(2, 2, 61, 58, 16, fill, edge, width)
        c.save(os.path.join(folder, name))

    c = Canvas(320, 210)
    soft_shadow(c, 8, 12, 311, 204, 22)
    c.rect(6, 6, 313, 200, 22, WHITE, "#e3d7c3", 2)
    c.rect(104, 22, 216, 100, 6, "#3f7d5c", "#a1887f", 6)
    c.line([(122, 44), (150, 44)], with_alpha(WHITE, 0.85), 3)
    c.line([(122, 60), (170, 60)], with_alpha(WHITE, 0.7), 3)
    c.line([(122, 76), (140, 76)], with_alpha(WHITE, 0.7), 3)
    c.circle(190, 66, 10, "none", with_alpha("#ffe082", 0.9), 3)
    c.save(os.path.join(folder, "ClassCard.png"))

    c = Canvas(64, 64)
    c.rect(4, 4, 59, 59, 22, "none", "#f94f0d", 6)
    c.save(os.path.join(folder, "ClassSelect.png"))


def make_pictures(images, Canvas):
    navigation_pictures(Canvas, os.path.join(images, "Navigation"))
    login_pictures(Canvas, os.path.join(images, "LoginScene"))
    grade_pictures(Canvas, os.path.join(images, "GradeScene"))
    class_pictures(Canvas, os.path.join(images, "ClassScene"))
