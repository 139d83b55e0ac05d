#!/usr/bin/env python3
"""Writes the small stand-in movies of the demo packages (server/packages/<identify>/mp4/*.mp4 and their .png
stills) with the lecture's name from the catalogue, as the build does for the packages it makes full movies for:

    scripts/pack_standin_videos.py [--server server] [--jobs 4]

Every lecture with a lesson gets its lecture and summary movies, and its supplementary one when it has
supplementary items; the topic tours, whose packages are drawn at build time, get theirs in server/movies/<identify>/.
The movies are 320x180, one second long, so the committed packages stay small; their stills are 1280x720, as the
lesson page shows them. Packages listed in MOVIE_PACKAGES (server/CMakeLists.txt) get full movies at build time and
are left alone.
"""

import argparse
import concurrent.futures
import json
import os
import plistlib
import re
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
# Picture books show pages, never a movie.
PICTURE_BOOKS = 2
SUFFIXES = {"LecMovie": "", "SumMovie": " - summary", "AddMovie": " - practice"}


def movie_packages(server):
    with open(os.path.join(server, "CMakeLists.txt"), encoding="utf-8") as f:
        return re.search(r"set\(MOVIE_PACKAGES ([0-9 ]+)\)", f.read()).group(1).split()


def standin(movie, title):
    os.makedirs(os.path.dirname(movie), exist_ok=True)
    ffmpeg = ["ffmpeg", "-hide_banner", "-loglevel", "error", "-y"]
    same = ["-threads", "1", "-fflags", "+bitexact", "-flags:v", "+bitexact", "-map_metadata", "-1"]
    with tempfile.TemporaryDirectory() as scratch:
        full = os.path.join(scratch, "full.mp4")
        subprocess.run([os.path.join(HERE, "make-demo-video.sh"), full, "1", title], check=True)
        subprocess.run(ffmpeg + ["-i", full, "-vf", "scale=320:180,fps=10", "-c:v", "libx264", "-preset", "veryfast",
                                 "-crf", "30", "-pix_fmt", "yuv420p", "-an", "-movflags", "+faststart"] + same + [movie],
                       check=True)
        # The still keeps the full movie's size, in 64 colours.
        still = movie[:-len(".mp4")] + ".png"
        subprocess.run(ffmpeg + ["-i", full, "-frames:v", "1", "-update", "1", "-vf",
                                 "split[a][b];[a]palettegen=max_colors=64[p];[b][p]paletteuse=dither=none",
                                 "-pix_fmt", "pal8"] + same + [still], check=True)


def movies(package):
    """The movies a lecture's navigation opens: the lecture's and the summary, the supplementary one with items."""
    path = os.path.join(package, "Topic.plist")
    with open(path, "rb") as f:
        additions = plistlib.load(f).get("Addition") if os.path.isfile(path) else None
    return ["LecMovie", "SumMovie"] + (["AddMovie"] if additions else [])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--server", default=os.path.join(HERE, "..", "server"))
    parser.add_argument("--jobs", type=int, default=4, help="movies made at a time")
    args = parser.parse_args()
    with open(os.path.join(args.server, "data", "courses.json"), encoding="utf-8") as f:
        courses = json.load(f)
    names = {course["package"]: course["name"] for course in courses if course["type"] != PICTURE_BOOKS}
    skipped = movie_packages(args.server)
    jobs = []
    for identify in sorted(names):
        package = os.path.join(args.server, "packages", identify)
        if identify in skipped:
            continue
        if os.path.isdir(package):
            folder, wanted = os.path.join(package, "mp4"), movies(package)
        else:
            folder, wanted = os.path.join(args.server, "movies", identify), ["LecMovie", "SumMovie"]
        jobs += [(os.path.join(folder, base + ".mp4"), names[identify] + SUFFIXES[base]) for base in wanted]
    # Each movie is made with one thread, so a few at a time.
    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        for done in [pool.submit(standin, movie, title) for movie, title in jobs]:
            done.result()


if __name__ == "__main__":
    main()
