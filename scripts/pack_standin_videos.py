#!/usr/bin/env python3
"""Writes the small stand-in movies of the demo packages (server/packages/<identify>/mp4/*.mp4 and their .png
stills) with the lecture's name from the catalogue, as the build does for the packages it makes full movies for:

    scripts/pack_standin_videos.py [--server server]

The stand-ins are 320x180, one second long, so the committed packages stay small. Packages listed in
MOVIE_PACKAGES (server/CMakeLists.txt) get full movies at build time and are left alone.
"""

import argparse
import json
import os
import re
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SUFFIXES = {"LecMovie": "", "SumMovie": " - summary", "AddMovie": " - practice"}


def movie_packages(server):
    with open(os.path.join(server, "CMakeLists.txt"), encoding="utf-8") as f:
        return re.search(r"set\(MOVIE_PACKAGES ([0-9 ]+)\)", f.read()).group(1).split()


def standin(movie, title):
    with tempfile.TemporaryDirectory() as scratch:
        full = os.path.join(scratch, "full.mp4")
        subprocess.run([os.path.join(HERE, "make-demo-video.sh"), full, "1", title], check=True)
        subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-i", full, "-vf", "scale=320:180,fps=10",
                        "-c:v", "libx264", "-preset", "veryfast", "-crf", "30", "-pix_fmt", "yuv420p", "-an",
                        "-movflags", "+faststart", movie], check=True)
        still = movie[:-len(".mp4")] + ".png"
        subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-i", movie, "-frames:v", "1",
                        "-update", "1", still], check=True)
        subprocess.run(["convert", still, "-strip", "-colors", "64", "PNG8:" + still], check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--server", default=os.path.join(HERE, "..", "server"))
    args = parser.parse_args()
    with open(os.path.join(args.server, "data", "courses.json"), encoding="utf-8") as f:
        names = {course["package"]: course["name"] for course in json.load(f)}
    skipped = movie_packages(args.server)
    for identify in sorted(names):
        folder = os.path.join(args.server, "packages", identify, "mp4")
        if identify in skipped or not os.path.isdir(folder):
            continue
        for entry in sorted(os.listdir(folder)):
            base, ext = os.path.splitext(entry)
            if ext == ".mp4":
                standin(os.path.join(folder, entry), names[identify] + SUFFIXES.get(base, ""))


if __name__ == "__main__":
    main()
