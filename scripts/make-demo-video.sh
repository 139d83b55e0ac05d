#!/usr/bin/env bash
# Makes a short demo lesson video and its still picture:
#   scripts/make-demo-video.sh OUT.mp4 [seconds] [label]
# writes OUT.mp4 (1280x720, 30 fps, H.264, no sound, moving content so every frame differs) and OUT.png (its
# first frame, 1280x720) beside it. The label (default: the file's base name) is written on the picture.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 3 ]; then
    echo "usage: $0 OUT.mp4 [seconds] [label]" >&2
    exit 2
fi
out=$1
seconds=${2:-4}
label=${3:-$(basename "${out%.*}")}
still="${out%.*}.png"

if ! [[ $seconds =~ ^[0-9]+([.][0-9]+)?$ ]]; then
    echo "$0: seconds must be a positive number, got '$seconds'" >&2
    exit 2
fi
if ! command -v ffmpeg >/dev/null; then
    echo "$0: ffmpeg is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
fi
mkdir -p "$(dirname "$out")"

# Keep the label to characters that need no escaping in the filter graph.
label=$(printf '%s' "$label" | tr -cd 'A-Za-z0-9 _.-')
# A fixed seed and one encoder thread, without the tools' version in the file: the same arguments make the same bytes.
source="gradients=s=1280x720:r=30:c0=0x1f4e79:c1=0x2e8b57:c2=0xf4a460:nb_colors=3:speed=0.05:seed=1:d=$seconds"
box="color=c=0xf8f8f0:s=160x160:r=30[box];[0:v][box]overlay=x='mod(t*320,1440)-160':y=500:shortest=1"
# The label above and the clock below leave the middle free: the lesson page puts its play button on the still.
text="drawtext=text='$label':fontcolor=white:fontsize=72:x=(w-text_w)/2:y=160"
clock="drawtext=text='%{eif\:t\:d}.%{eif\:mod(n\,30)\:d\:2}':fontcolor=white:fontsize=48:x=(w-text_w)/2:y=440"
same=(-threads 1 -fflags +bitexact -flags:v +bitexact -map_metadata -1)
encode=(-c:v libx264 -preset veryfast -crf 32 -pix_fmt yuv420p -g 30 -movflags +faststart -an "${same[@]}")

tmp="$out.part.mp4"
trap 'rm -f "$tmp"' EXIT
# Without a usable font the texts are left out; the moving box still makes every frame differ.
if ! ffmpeg -hide_banner -loglevel error -y -f lavfi -i "$source" -filter_complex "$box,$text,$clock" "${encode[@]}" "$tmp" \
    2>/dev/null; then
    ffmpeg -hide_banner -loglevel error -y -f lavfi -i "$source" -filter_complex "$box" "${encode[@]}" "$tmp"
fi
ffmpeg -hide_banner -loglevel error -y -i "$tmp" -frames:v 1 -update 1 "${same[@]}" "$still"
mv "$tmp" "$out"
