#!/usr/bin/env python3
"""Fills the demo catalogue's own packages (server/packages/<identify>/) with what their pages and games show:

    scripts/pack_catalogue_topics.py [--packages server/packages]

Every topic of a package's Topic.plist becomes the demo topic of its layout code (stem, pictures, answers, voices),
and the package gets the pictures, animation frames and voices those topics name. A question game without options,
or a lecture without a game, gets ten sums with number cards (the balloon game its own balloons and sounds); the
stories count the triangles in a picture and the language lectures find a letter instead. A story's tap and reveal
pages ask about the story itself (story_pages.py). Run it again after changing the demo topics; the files it writes
are committed.
"""

import argparse
import importlib.machinery
import os
import random
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True

import make_topic_pages as pages  # noqa: E402
import pack_games as games  # noqa: E402
import story_pages as stories  # noqa: E402

SOUND = os.path.join(HERE, "..", "assets", "Sounds", "BtnClick.mp3")
# Games whose lectures carry balloons of their own; the other question games use the pack's number cards.
BALLOON_MODEL = 51
# Pages with answers that stand in for look-only ones.
ANSWERED = [102, 501, 701, 401, 301, 901, 502, 103, 601, 702]
LOOK_ONLY = 101001


def replace_block(text, key, value):
    """Puts the top-level key's value into the plist text in place of the one there (the file keeps its layout)."""
    start = text.index(" <key>%s</key>\n" % key)
    end = text.index("\n </dict>\n", start) + len("\n </dict>\n")
    return text[:start] + "\n".join([" <key>%s</key>" % key] + games.plist_value(value, 1)) + "\n" + text[end:]


def add_block(text, key, value):
    """Puts the top-level key with its value at the end of the plist's dict."""
    end = text.rindex("\n</dict>\n</plist>")
    return text[:end] + "\n" + "\n".join([" <key>%s</key>" % key] + games.plist_value(value, 1)) + text[end:]


def named_files(topic):
    """(folder, name) of every package file a topic names; "Topic/" pictures come with the program."""
    for names in topic["Images"].values():
        for name in names:
            if name and not name.startswith("Topic/"):
                yield "TopicImg", name
    for name in topic["Animations"]["Contents"]:
        yield "TopicAni", name
    for name in [topic["Dubbing"]] + topic["ContentDubbing"] + topic["AniDubbing"]:
        yield "mp3", name


def copy_named(media, root, folder, name):
    source, target = os.path.join(media, folder, name), os.path.join(root, folder, name)
    if not os.path.exists(source) and os.path.exists(target):
        return  # drawn for this lecture alone
    if os.path.isdir(source):
        shutil.copytree(source, target, dirs_exist_ok=True)
    else:
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(source, target)


def answered(code):
    return bool(pages.demo_topic(code, pages.type_of(code))["Answers"])


def with_answers(identify, kinds):
    """A kind of look-only pages (101001) gets pages that can be answered, picked in turn from ANSWERED."""
    turn = int(identify) % len(ANSWERED)
    result = []
    for kind, codes in enumerate(kinds):
        if codes and not any(answered(code) for code in codes):
            codes = [ANSWERED[(turn + kind * 3 + n) % len(ANSWERED)] if code == LOOK_ONLY else code
                     for n, code in enumerate(codes)]
        result.append(codes)
    return result


def lecture_topic(identify, code, kind):
    """The demo topic of code; a story's own where the story makes the code's page."""
    demo = pages.demo_topic(code, pages.type_of(code))
    return (stories.topic_data(identify, code, kind, demo) if identify in stories.STORIES else None) or demo


def fill_topics(root, identify, kinds, media, drawn, Canvas):
    if identify in stories.STORIES:
        # A story's pictures are its own: none left from an earlier run.
        shutil.rmtree(os.path.join(root, "TopicImg"), ignore_errors=True)
        stories.pictures(Canvas, os.path.join(root, "TopicImg"), identify)
    subject = {str(k): [lecture_topic(identify, code, k) for code in codes]
               for k, codes in enumerate(kinds, 1) if codes}
    for topics in subject.values():
        for topic in topics:
            for folder, name in named_files(topic):
                copy_named(media, root, folder, name)
    pages.demonstration_frames(root, identify, kinds, drawn)
    return subject


def choice_game(identify, root, media, pictures, asked):
    """Ten questions over four of the pictures (copied into GameImg/), the right one at a place drawn per question;
    asked holds ten (question, picture it asks for), each question once: the slots are asked in a random order,
    so a question kept twice can follow itself."""
    rnd = random.Random(int(identify))
    folder = os.path.join(root, "GameImg")
    os.makedirs(folder, exist_ok=True)
    for name in pictures:
        shutil.copyfile(os.path.join(media, "TopicImg", name), os.path.join(folder, name))
    asked = list(asked)
    rnd.shuffle(asked)
    questions, selects, answers = [], [], []
    for text, wanted in asked:
        choices = rnd.sample([k for k in range(len(pictures)) if k != wanted], 3)
        right = rnd.randrange(4)
        choices.insert(right, wanted)
        questions.append(text)
        selects.append([pictures[k] for k in choices])
        answers.append(right + 1)
    return dict(games.click_sums(int(identify)), Questions=questions, Answers=answers, SelectImgs=selects)


def subject_game(identify, root, media):
    """The stories count the things in a picture, the language lectures find a letter; None for other subjects."""
    if identify.startswith("0307"):
        return choice_game(identify, root, media, ["count%d.png" % k for k in range(1, 5)], TRIANGLE_QUESTIONS)
    if identify.startswith("0102"):
        return choice_game(identify, root, media, pages.letters(pages.LETTERS), letter_questions())
    return None


# Four pictures of 1 to 4 triangles: each count asked, then as a sum.
TRIANGLE_QUESTIONS = ([("Which picture has %d triangle%s?" % (n, "s" if n > 1 else ""), n - 1) for n in range(1, 5)]
                      + [("Which picture has %d + %d triangles?" % (a, b), a + b - 1)
                         for a in range(1, 4) for b in range(1, 4) if a + b <= 4])


def letter_questions():
    """Each letter card asked, then the first letter of two words."""
    words = [("bus", "b"), ("pen", "p")]
    return ([("Which card shows the letter %s?" % ch, k) for k, ch in enumerate(pages.LETTERS)]
            + [("Which card starts the word \"%s\"?" % word, pages.LETTERS.index(ch)) for word, ch in words])


def sums_made_here(identify, game):
    """A click-the-answer game of the pack's number cards that an earlier run of this script gave the lecture."""
    if not game or game.get("GameModel") != 41 or identify in games.number_games():
        return False
    cards = [name for names in game.get("SelectImgs", []) for name in names]
    return bool(cards) and all(name.startswith("Games/Num") for name in cards)


def question_game(identify, game, Canvas, root, media):
    """The lecture's Game map with options, or None when it has them. A lecture without a game gets sums."""
    made = subject_game(identify, root, media)
    if made:
        return made
    if sums_made_here(identify, game):
        return games.click_sums(int(identify))
    if game and (game.get("SelectImgs") or game.get("OperImgs") or game.get("GameModel") not in (41, BALLOON_MODEL)):
        return None
    if game and game["GameModel"] == BALLOON_MODEL:
        folder = os.path.join(root, "GameImg")
        os.makedirs(folder, exist_ok=True)
        made = games.balloon_game(Canvas, folder)
        games.sounds(folder)
        return dict(made, Time=60, Score=100.0, QNum=5, Music=games.SOUNDS)
    return games.click_sums(int(identify))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--packages", default=pages.CATALOGUE_PACKAGES)
    args = parser.parse_args()
    make_pack = importlib.machinery.SourceFileLoader("make_pack", os.path.join(HERE, "make-pack.py")).load_module()
    with tempfile.TemporaryDirectory() as scratch:
        media = os.path.join(scratch, "media")
        pages.package_media(media, SOUND)
        for identify, kinds in pages.catalogue_lectures(args.packages):
            kinds = with_answers(identify, kinds)
            root = os.path.join(args.packages, identify)
            path = os.path.join(root, "Topic.plist")
            with open(path, encoding="utf-8") as f:
                text = f.read()
            text = replace_block(text, "Subject", fill_topics(root, identify, kinds, media,
                                                               os.path.join(scratch, "steps"), make_pack.Canvas))
            with open(path, "rb") as f:
                game = pages.plistlib.load(f).get("Game")
            made = question_game(identify, game, make_pack.Canvas, root, media)
            if made:
                text = replace_block(text, "Game", made) if game else add_block(text, "Game", made)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)


if __name__ == "__main__":
    main()
