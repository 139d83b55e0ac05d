"""Layout and pictures of the full-screen video player ("VideoPlayer.csb").

make-pack.py merges `layouts(node, layout)` into its layout table and calls `make_pictures(images, Canvas)` from
its picture step.

"Panel_UI" covers the window and takes the taps that hide and show the controls; its opacity cascades, so at 0 the
controls are invisible (they still take a touch, which only shows them again). The movie plays from the start, so
"Btn_Pause" shows and "Btn_Play" is hidden at first.
"""

import os

from pack_navigation import BLUE, WHITE

BAR_HEIGHT = 104
BUTTON = 72


def layouts(node, layout):
    """File name -> function that returns the layout document."""

    def button(name, picture, x, y, visible=True):
        keys = {} if visible else {"visible": False}
        return node("Button", name, pos=[x, y], size=[BUTTON, BUTTON], normal="Video/%s.png" % picture,
                    pressed="Video/%sPressed.png" % picture, **keys)

    def video_player():
        bar_y = BAR_HEIGHT // 2
        return layout(node("Node", size=[1280, 720], children=[
            node("Panel", "Panel_UI", size=[1280, 720], touch=True, children=[
                node("Panel", "Panel_Bar", size=[1280, BAR_HEIGHT], fill="#000000", fillOpacity=120),
                button("Btn_Play", "BtnPlay", 64, bar_y, visible=False),
                button("Btn_Pause", "BtnPause", 64, bar_y),
                button("Btn_RePlay", "BtnReplay", 152, bar_y),
                node("Slider", "Slider", pos=[670, bar_y], size=[840, 12], barFill="#ffffff55",
                     progressFill=BLUE, ballFill=WHITE, ballSize=[28, 28], percent=0),
                button("Btn_Skip", "BtnSkip", 1180, bar_y),
            ]),
        ]))

    return {"VideoPlayer.csb": video_player}


def make_pictures(images, Canvas):
    folder = os.path.join(images, "Video")
    size = BUTTON
    centre = size / 2

    def draw(name, symbol):
        for suffix, fill in (("", "#00000066"), ("Pressed", "#3aa3e6cc")):
            c = Canvas(size, size)
            c.circle(centre, centre, centre - 3, fill, WHITE, 3)
            symbol(c)
            c.save(os.path.join(folder, "%s%s.png" % (name, suffix)))

    def play(c):
        c.poly([(centre - 10, centre - 16), (centre - 10, centre + 16), (centre + 17, centre)], WHITE)

    def pause(c):
        c.rect(centre - 14, centre - 16, centre - 4, centre + 16, 2, WHITE)
        c.rect(centre + 4, centre - 16, centre + 14, centre + 16, 2, WHITE)

    def replay(c):
        c.ellipse(centre, centre, 15, 15, "none", WHITE, 5, 300, 600)
        c.poly([(centre + 4, centre - 24), (centre + 16, centre - 14), (centre + 2, centre - 8)], WHITE)

    def skip(c):
        c.poly([(centre - 18, centre - 15), (centre - 18, centre + 15), (centre + 4, centre)], WHITE)
        c.rect(centre + 6, centre - 15, centre + 14, centre + 15, 2, WHITE)

    draw("BtnPlay", play)
    draw("BtnPause", pause)
    draw("BtnReplay", replay)
    draw("BtnSkip", skip)
