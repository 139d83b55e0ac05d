"""The special topic pages (codes 101101-101903) for make_topic_pages.py: their layouts, their demo topics and the
pictures only they use. Every function takes the generator module as `kit` for its drawing and layout helpers."""

import os

CONTENT_LEFT, CONTENT_RIGHT = 230, 1030

TAP_ROW = [101201, 101202, 101204, 101205, 101206, 101207, 101209, 101210, 101211, 101212, 101213, 101401, 101402,
           101601, 101701, 101801, 101802]
KEYPADS = [101901, 101902, 101903]
SLOTS = [101507, 101508, 101509, 101510, 101511, 101512, 101513, 101514, 101515, 101525, 101526, 101529, 101530,
         101531, 101535, 101538, 101539]
CLONES = [101516, 101517, 101518, 101519, 101520, 101524, 101528, 101532, 101551]
FREE_COPIES = [101521, 101523, 101534, 101546, 101547]
FREE_KEEPS = [101522, 101540, 101541, 101550]
NEXT_TARGET = [101542, 101543, 101544, 101545, 101548, 101549]
# Targets that carry the tag of the picture that belongs on them.
SAME_TAGS = [101301, 101302, 101304, 101503, 101504, 101505, 101506, 101527]


def row(count, y, left=CONTENT_LEFT + 100, right=CONTENT_RIGHT - 100):
    if count == 1:
        return [(630, y)]
    return [(round(left + (right - left) * i / (count - 1)), y) for i in range(count)]


def image(kit, family, number, at, tag=None, children=None):
    keys = {"pos": [at[0], at[1]], "size": [140, 140], "visible": False}
    if tag is not None:
        keys["tag"] = tag
    return kit.node("ImageView", "%s%d" % (family, number), children=children or [], **keys)


def family(kit, name, places, tags=None):
    base = {"OperImg": 10000, "PanelImg": 20000}.get(name)
    result = []
    for i, at in enumerate(places):
        tag = tags[i] if tags else (base + i + 1 if base else None)
        result.append(image(kit, name, i + 1, at, tag))
    return result


def text(kit, name, at, colour="#33414eff", size=44):
    return kit.node("Text", name, pos=[at[0], at[1]], fontSize=size, textColor=colour)


def keypad(kit):
    """"ContImg2" with its twelve keys: digits 0-9 are keys 1-10, then OK and clear."""
    columns, rows = (65, 165, 265), (370, 280, 190, 100)
    places = {}
    for digit in range(1, 10):
        places[digit + 1] = (columns[(digit - 1) % 3], rows[(digit - 1) // 3])
    places[1], places[11], places[12] = (columns[0], rows[3]), (columns[1], rows[3]), (columns[2], rows[3])
    keys = [image(kit, "OperImg", k, places[k], 10000 + k) for k in range(1, 13)]
    return image(kit, "ContImg", 2, (930, 330), children=keys)


def widgets(kit, code):
    """The page's widgets by code; every picture starts hidden until the topic's lists fill it."""
    if code == 101101:
        return (family(kit, "PanelImg", row(3, 440)) + family(kit, "OperImg", row(3, 190)) +
                family(kit, "AnswerImg", row(3, 440)))
    if code == 101203:
        return family(kit, "OperImg", [(630, 330)] * 4) + family(kit, "AnswerImg", [(630, 330)])
    if code == 101208:
        places = row(3, 200, 330, 930)
        return (family(kit, "ContImg", row(3, 440, 330, 930)) + family(kit, "OperImg", places) +
                family(kit, "AnswerImg", places + [(630, 440)] + places))
    if code in TAP_ROW:
        pictures = row(4, 250)
        answers = {101201: [(630, 450)] * 4, 101212: row(4, 450), 101401: row(2, 450, 530, 730),
                   101402: row(2, 450, 530, 730)}.get(code, pictures)
        extra = []
        if code == 101210:
            extra = [image(kit, "BgImg", 1, (630, 455))]
        if code == 101802:
            extra = [image(kit, "AniImg", 1, (630, 455))]
        return extra + family(kit, "OperImg", pictures) + family(kit, "AnswerImg", answers)
    if code in KEYPADS:
        boxes = {101901: 1, 101902: 2, 101903: 3}[code]
        places = row(boxes, 190, 260, 560) if boxes > 1 else [(330, 190)]
        result = [image(kit, "ContImg", 1, (410, 430))] + family(kit, "PanelImg", places)
        result += [text(kit, "Content%d" % (i + 1), at) for i, at in enumerate(places)]
        if code == 101901:
            result.append(text(kit, "Content2", (560, 190), "#2e8b45ff", 56))
        return result + [keypad(kit)]
    if code == 101505:
        return (family(kit, "PanelImg", row(5, 455, 250, 790) + row(5, 315, 250, 790),
                       [10000 + k for k in range(1, 11)]) +
                family(kit, "OperImg", row(10, 160, 180, 1080)) +
                family(kit, "ResultImg", [(990, 455), (990, 315)]))
    if code == 101537:
        return ([image(kit, "BgImg", 1, (500, 330)), image(kit, "PanelImg", 1, (1000, 400), 20001)] +
                [image(kit, "ContImg", n, (1000, 190)) for n in (1, 2)] +
                family(kit, "OperImg", [(500, 330)] * 24))
    if code in (101533, 101536) or code in FREE_COPIES[:3] or code in FREE_KEEPS:
        trays = row(2, 430, 430, 830) if code in (101533, 101536) else [(630, 430)]
        return family(kit, "PanelImg", trays) + family(kit, "OperImg", row(4, 180))
    result = []
    targets, pictures = row(3, 430, 430, 830), row(3, 180, 430, 830)
    if code in NEXT_TARGET or code == 101527:
        pictures = row(4, 180)
        targets = row(4, 430) if code == 101527 else targets
    if code == 101507:
        # Scenes, places and pictures stacked between the stem (y 570) and the navigation bar (y 85).
        result += family(kit, "ContImg", row(3, 482, 330, 930))
        targets, pictures = row(3, 323, 330, 930), row(3, 165, 330, 930)
    if code in (101303, 101502):
        targets, pictures = row(2, 430, 480, 780), row(2, 180, 480, 780)
    if code in (101301, 101302):
        targets, pictures = row(3, 430, 530, 930), row(3, 180, 530, 930)
        result.append(image(kit, "BgImg", 1, (300, 330)))
        result += [kit.node("Node", "PosNode%d" % (i + 1), pos=[x, y + 12]) for i, (x, y) in enumerate(targets)]
    if code in (101501, 101503):
        targets, pictures = row(3, 430, 330, 730), row(3, 180, 330, 730)
        result.append(image(kit, "AniImg", 1, (990, 330)))
    tags = [10000 + k for k in range(1, len(targets) + 1)] if code in SAME_TAGS else None
    return family(kit, "PanelImg", targets, tags) + result + family(kit, "OperImg", pictures)


def shapes(n, first=1, small=False):
    return ["%s%d.png" % ("special_small" if small else "shape", (k - 1) % 12 + 1) for k in range(first, first + n)]


def topic_data(kit, code):
    topic = kit.topic
    slots = ["slot.png"] * 3
    if code == 101101:
        return topic(code, "Choose a picture, then tap the place where it belongs.",
                     {"OperImgs": shapes(3), "PanelImgs": slots, "AnswerImgs": ["answer%d.png" % k for k in (1, 2, 3)]},
                     0, [[2, 3, 1]])
    if code == 101203:
        return topic(code, "Tap the picture to see the next one.", {"OperImgs": shapes(4), "AnswerImgs": ["final.png"]})
    if code == 101208:
        return topic(code, "Tap a shape once, then again.",
                     {"OperImgs": shapes(3), "ContImgs": ["scene%d.png" % k for k in (1, 2, 3)],
                      "AnswerImgs": ["answer1.png", "answer2.png", "answer3.png", "", "final.png", "final.png",
                                     "final.png"]})
    if code == 101209:
        return topic(code, "Tap the picture with three corners.", {"OperImgs": shapes(4)}, 0, [3])
    if code in (101401, 101402):
        return topic(code, "Tap picture 2, then picture 4.",
                     {"OperImgs": shapes(4), "AnswerImgs": ["answer2.png", "answer4.png"]}, 2, [[2, 4]])
    if code == 101601:
        return topic(code, "Listen, then tap the picture you hear.", {"OperImgs": shapes(4)}, 2, [[2, 4]])
    if code == 101801:
        return topic(code, "Tap the pictures in order: 3, 1, 4, 2.",
                     {"OperImgs": shapes(4), "AnswerImgs": ["special_mark%d.png" % k for k in range(1, 5)]}, 0,
                     [[3, 1, 4, 2]], auto=(1, 1, 4))
    if code == 101802:
        return topic(code, "Swap two pictures to put the numbers in order.",
                     {"OperImgs": ["shape2.png", "shape1.png", "shape3.png", "shape4.png"], "AniImgs": ["stage.png"]},
                     1, [[2, 1, 3, 4]], contents=["TopicAni1"])
    if code in TAP_ROW:
        images = {"OperImgs": shapes(4), "AnswerImgs": ["answer%d.png" % k for k in range(1, 5)]}
        if code == 101210:
            images["BgImgs"] = ["special_board.png"]
        if code == 101701:
            del images["AnswerImgs"]
        return topic(code, "Tap the pictures to see their answers.", images, 0, auto=(1, 1, 4))
    if code in KEYPADS:
        boxes = {101901: 1, 101902: 2, 101903: 3}[code]
        keys = ["special_key%d.png" % d for d in range(10)] + ["special_keyok.png", "special_keyclear.png"]
        stem = "How many things? Tap the box and type." if code == 101901 else "Tap a box and type a number."
        return topic(code, stem, {"ContImgs": ["scene3.png", "special_keypad.png"], "PanelImgs": ["special_box.png"] *
                                  boxes, "OperImgs": keys})
    if code == 101505:
        return topic(code, "Put every picture on its own place.",
                     {"OperImgs": shapes(10, small=True), "PanelImgs": ["special_smallslot.png"] * 10,
                      "ResultImgs": ["Topic/ResultFrame.png"] * 2}, 10, contents=["TopicAni1", "TopicAni2"])
    if code == 101537:
        return topic(code, "Put the pictures into the basket; the + shows more.",
                     {"OperImgs": shapes(24, small=True), "PanelImgs": ["tray.png"], "BgImgs": ["special_shelf.png"],
                      "ContImgs": ["", "special_more.png"]}, 0, auto=(3, 4, 7))
    if code in (101533, 101536) or code in FREE_COPIES[:3] or code in FREE_KEEPS:
        trays = ["tray.png"] * (2 if code in (101533, 101536) else 1)
        return topic(code, "Move the pictures onto the tray.", {"OperImgs": shapes(4), "PanelImgs": trays})
    if code in NEXT_TARGET:
        return topic(code, "Each place wants the picture with the next number.",
                     {"OperImgs": shapes(4), "PanelImgs": ["slot%d.png" % k for k in (1, 2, 3)]}, 3)
    if code == 101527:
        return topic(code, "Put each picture around its place.", {"OperImgs": shapes(4), "PanelImgs": ["slot.png"] * 4})
    if code in (101303, 101502):
        return topic(code, "Put the two pictures on the places.", {"OperImgs": shapes(2), "PanelImgs": slots[:2]}, 0,
                     [[1, 2], [2, 1]])
    if code in (101301, 101302):
        images = {"OperImgs": shapes(3), "PanelImgs": slots}
        if code == 101301:
            images["BgImgs"] = ["scene2.png"]
        return topic(code, "Move each picture onto its own place.", images, 0)
    if code in (101501, 101503):
        return topic(code, "Move each picture onto its own place.",
                     {"OperImgs": shapes(3), "PanelImgs": slots, "AniImgs": ["stage.png"]}, 3,
                     contents=["TopicAni%d" % (1 if code == 101501 else 2)], right="TopicRight", wrong="TopicWrong")
    if code == 101507:
        return topic(code, "Tap a picture to hear it, then put a shape under it.",
                     {"OperImgs": shapes(3), "PanelImgs": slots, "ContImgs": ["scene%d.png" % k for k in (1, 2, 3)],
                      "AnswerImgs": ["Topic/SlotWrong.png", "Topic/SlotRight.png"]}, 1, [[2, 3, 1]],
                     content_dubbing=["voice_c%d.mp3" % k for k in (1, 2, 3)])
    if code in SLOTS:
        return topic(code, "Put one picture on each place.", {"OperImgs": shapes(3), "PanelImgs": slots}, 0,
                     [2, 3, 1], auto=(1, 1, 3))
    steps = 3 if code in (101504, 101506) else 0
    return topic(code, "Move the pictures onto the places.", {"OperImgs": shapes(3), "PanelImgs": slots}, steps,
                 [[1, 2, 3]])


def package_media(kit, images):
    """Small pictures, the keypad and its keys, order marks and the boards of these pages; their names start with
    "special_" so that no other page's pictures overwrite them in the shared package media."""
    Canvas, colour = kit.Canvas, kit.hex_colour
    for k in range(1, 13):
        kit.shape_picture(os.path.join(images, "special_small%d.png" % k), k, 84)
    slot = Canvas(96, 96)
    slot.rounded(2, 2, 93, 93, 16, colour("#3aa3e6", 120))
    slot.rounded(8, 8, 87, 87, 12, colour("#ffffff", 200))
    slot.save(os.path.join(images, "special_smallslot.png"))
    pad = Canvas(330, 440)
    pad.rounded(0, 0, 329, 439, 28, colour("#33414e", 230))
    pad.rounded(8, 8, 321, 431, 22, colour("#546e7a", 230))
    pad.save(os.path.join(images, "special_keypad.png"))
    labels = [(str(d), "special_key%d.png" % d, "#3aa3e6") for d in range(10)]
    labels += [("=", "special_keyok.png", "#43b85c"), ("-", "special_keyclear.png", "#ef6a5a")]
    for label, name, fill in labels:
        key = Canvas(88, 78)
        key.rounded(2, 4, 85, 77, 14, colour("#000000", 60))
        key.rounded(2, 2, 85, 73, 14, colour(fill))
        key.glyph(label, 44, 37, 34, colour(kit.WHITE))
        key.save(os.path.join(images, name))
    box = Canvas(130, 110)
    box.rounded(2, 2, 127, 107, 18, colour("#33414e", 200))
    box.rounded(8, 8, 121, 101, 14, colour("#ffffff"))
    box.save(os.path.join(images, "special_box.png"))
    for k in range(1, 5):
        mark = Canvas(60, 60)
        mark.circle(30, 30, 28, colour("#e5533d"))
        mark.glyph(str(k), 30, 30, 28, colour(kit.WHITE))
        mark.save(os.path.join(images, "special_mark%d.png" % k))
    board = Canvas(320, 170)
    board.rounded(2, 2, 317, 167, 24, colour("#8d6e63"))
    board.rounded(12, 12, 307, 157, 18, colour("#fff8e1"))
    board.save(os.path.join(images, "special_board.png"))
    shelf = Canvas(660, 360)
    shelf.rounded(2, 2, 657, 357, 30, colour("#d7ccc8"))
    shelf.rounded(14, 14, 645, 345, 22, colour("#fff8e1"))
    shelf.save(os.path.join(images, "special_shelf.png"))
    more = Canvas(100, 100)
    more.circle(50, 50, 47, colour("#43b85c"))
    more.glyph("+", 50, 50, 56, colour(kit.WHITE))
    more.save(os.path.join(images, "special_more.png"))


def host_pictures(kit, images):
    """The marks 101507's show answer puts on each place."""
    for name, fill, sign in (("SlotRight.png", "#43b85c", "="), ("SlotWrong.png", "#ef6a5a", "-")):
        c = kit.Canvas(150, 150)
        c.rounded(2, 2, 147, 147, 22, kit.hex_colour(fill))
        c.rounded(10, 10, 139, 139, 16, kit.hex_colour("#ffffff", 210))
        c.glyph(sign, 75, 75, 50, kit.hex_colour(fill))
        c.save(os.path.join(images, "Topic", name))
