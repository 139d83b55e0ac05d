"""Layouts and pictures of the courseware management screens: the grade panels and one grade's lecture rows.

make-pack.py merges `layouts(node, layout)` into its layout table and calls `make_pictures(images, Canvas)` from
its picture step, as for pack_navigation.py, whose shared pieces (background, heading, return button) these
screens reuse. Both screens are drawn for 1280x720.
"""

import os

import pack_navigation as nav

PANEL_X = [148, 394, 640, 886, 1132]
PANEL_GRADES = [1, 2, 3, 5, 6]
PANEL_SIZE = (224, 440)
ROW_SIZE = (440, 68)
TROUGH = "#d3e1ea"


def bar(node, name, pos, width, height, fill):
    """A loading bar over its trough; pos is the bar's centre."""
    return [node("Panel", "Img_Trough", pos=[pos[0] - width // 2, pos[1] - height // 2], size=[width, height],
                 fill=TROUGH),
            node("LoadingBar", name, pos=pos, size=[width, height], fill=fill, percent=0)]


def label(node, name, text, pos, size, colour, width=200):
    return node("Text", name, pos=pos, text=text, area=[width, size + 12], fontSize=size, textColor=nav.rgba(colour),
                hAlign="center", vAlign="center")


class _Screens:
    def __init__(self, node, layout):
        self.node, self.layout = node, layout
        self.shared = nav._Screens(node, layout)

    def top_button(self, name, title, **keys):
        return self.node("Button", name, anchor=[1, 1], pos=[1256, 704], size=[210, 64],
                         normal="Navigation/BtnGreen.png", scale9=True, capInsets=[26, 26, 26, 26], title=title,
                         titleFontSize=26, titleColor=nav.WHITE, **keys)

    # Panels of the grades the subject does not offer stay hidden; each panel's progress hangs below it.
    def resource(self):
        node = self.node
        w, h = PANEL_SIZE

        def panel(number):
            grade = PANEL_GRADES[number - 1]
            return node("ImageView", "GradePanel%d" % number, pos=[PANEL_X[number - 1], 350], size=[w, h],
                        image="Navigation/Card.png", scale9=True, capInsets=[32, 32, 32, 32], visible=False,
                        children=[
                            node("ImageView", "Img_Grade", pos=[w // 2, 384], image="Resouse/img_Title%d.png" % grade,
                                 scale=0.72),
                            label(node, "Text_Local", "On this computer", [w // 2, 318], 20, nav.MUTED),
                            label(node, "LocalNum", "0", [w // 2, 284], 36, nav.DARK),
                            label(node, "Text_Server", "On the server", [w // 2, 238], 20, nav.MUTED),
                            label(node, "ServerNum", "0", [w // 2, 204], 36, nav.DARK),
                            node("ImageView", "DownloadBg", pos=[w // 2, 132], image="Resouse/DownloadBg.png"),
                            label(node, "Text", "Download", [w // 2 + 16, 132], 22, nav.WHITE, width=140),
                            node("Button", "ManageBtn", pos=[w // 2, 56], size=[180, 60],
                                 normal="Navigation/BtnBlue.png", scale9=True, capInsets=[26, 26, 26, 26],
                                 title="Manage", titleFontSize=24, titleColor=nav.WHITE),
                        ])

        def progress(number):
            grade = PANEL_GRADES[number - 1]
            return node("Node", "Panel%02d" % grade, pos=[PANEL_X[number - 1] - 100, 62], size=[200, 44],
                        visible=False, children=[
                            *bar(node, "LoadingBar", [100, 8], 200, 16, nav.GREEN),
                            label(node, "Text", "", [100, 34], 18, nav.DARK),
                        ])

        return self.layout(node("Node", size=[nav.WIDTH, nav.HEIGHT], children=[
            self.shared.background("Resouse/Bg.png"),
            self.shared.heading("Courseware"),
            self.top_button("DownAllBtn", "Refresh"),
            *[panel(n) for n in range(1, 6)],
            *[progress(n) for n in range(1, 6)],
            self.shared.return_button(),
        ]))

    # Stage tabs on the left, the chosen stage's lectures in two columns of six rows on the right; each row holds
    # its (hidden) delete button.
    def manage(self):
        node = self.node
        w, h = ROW_SIZE

        def tab(stage):
            # The class scene's school tabs.
            return node("Button", "StageBtn%d" % stage, tag=50000 + stage, pos=[150, 540 - 96 * (stage - 1)],
                        size=[220, 72], normal="ClassScene/SchoolTab.png", pressed="ClassScene/SchoolTabOn.png",
                        scale9=True, capInsets=[20, 20, 20, 20], title="Stage %d" % stage, titleFontSize=26,
                        titleColor=nav.DARK)

        def row(number):
            column, line = (number - 1) // 6, (number - 1) % 6
            x, y = 560 + 470 * column, 560 - 82 * line
            return node("ImageView", "DownloadBg%d" % number, pos=[x, y], size=[w, h], image="Resouse/Row.png",
                        scale9=True, capInsets=[20, 20, 20, 20], children=[
                            node("Text", "Text", anchor=[0, 0.5], pos=[20, 42], text="", area=[330, 32], fontSize=22,
                                 textColor=nav.rgba(nav.DARK), vAlign="center"),
                            *bar(node, "LoadingBar", [180, 16], 320, 8, nav.GREEN),
                            node("ImageView", "Image", pos=[370, 34], image="Resouse/Ready.png", visible=False),
                            node("Button", "DeleteBtn%d" % number, pos=[412, 34], normal="Resouse/Delete.png",
                                 visible=False),
                        ])

        return self.layout(node("Node", size=[nav.WIDTH, nav.HEIGHT], children=[
            self.shared.background("Resouse/Bg.png"),
            node("ImageView", "TitleImg", anchor=[0.5, 1], pos=[640, 712], image="Resouse/img_Title1.png"),
            self.top_button("DownAllBtn", "Download all", visible=False),
            *[tab(stage) for stage in range(1, 5)],
            *[row(number) for number in range(1, 13)],
            self.shared.return_button(),
        ]))


def layouts(node, layout):
    """File name -> function that returns the layout document."""
    screens = _Screens(node, layout)
    return {"ResourceScene.csb": screens.resource, "ManageScene.csb": screens.manage}


def make_pictures(images, Canvas):
    folder = os.path.join(images, "Resouse")
    nav.gradient(os.path.join(folder, "Bg.png"), "#dff1fb", "#f7fcff")

    for grade, colour in nav.GRADES:
        c = Canvas(300, 84)
        c.rect(4, 10, 295, 81, 30, nav.with_alpha("#1d3b5a", 0.3))
        c.rect(4, 4, 295, 74, 30, colour, nav.WHITE, 3)
        c.text(0, -4, "Grade %d" % grade, 40, nav.WHITE)
        c.save(os.path.join(folder, "img_Title%d.png" % grade))

    c = Canvas(184, 64)
    nav.raised_button(c, 184, 64, nav.ORANGE, nav.ORANGE_EDGE)
    c.line([(30, 18), (30, 38)], nav.WHITE, 5)
    c.line([(20, 30), (30, 40), (40, 30)], nav.WHITE, 5)
    c.line([(18, 46), (42, 46)], nav.WHITE, 4)
    c.save(os.path.join(folder, "DownloadBg.png"))

    c = Canvas(64, 64)
    c.rect(2, 4, 61, 61, 14, nav.with_alpha("#1d3b5a", 0.10))
    c.rect(2, 2, 61, 58, 14, nav.WHITE, "#d3e1ea", 2)
    c.save(os.path.join(folder, "Row.png"))

    c = Canvas(40, 40)
    c.circle(20, 20, 17, nav.GREEN)
    c.line([(11, 21), (18, 28), (30, 13)], nav.WHITE, 4)
    c.save(os.path.join(folder, "Ready.png"))

    c = Canvas(48, 48)
    nav.round_button(c, 24, 22, 18, nav.RED, nav.RED_EDGE)
    c.line([(16, 14), (32, 30)], nav.WHITE, 4)
    c.line([(32, 14), (16, 30)], nav.WHITE, 4)
    c.save(os.path.join(folder, "Delete.png"))

