#!/usr/bin/env bash
# Fails, listing file:line, when program code calls a raw reader of outside bytes (a decoder, a parser or a
# whole-file read with no bound of its own) anywhere but in the door's files. Usage: check-outside-input.sh [root]
set -uo pipefail

# Files outside engine/door/ that are the door's own, each with why it still calls a raw reader.
allowed=(
    "engine/render/ImageDecoder.cpp"   # the picture door: walks and decodes PNG and JPEG
    "engine/render/PngDecode.cpp"      # the picture door's bounded libpng reader
    "engine/scene/Label.cpp"           # renders text with TTF_Render* until the text door takes it
    "engine/layout/CSLoader.cpp"       # reads layout files, their depth bounded
    "engine/platform/FileUtils.cpp"    # the whole-file and property-list readers themselves
    "engine/platform/FileUtils.h"      # declares them
    "engine/base/JsonDepthLimit.h"     # the depth-bounded JSON parse every reader of outside JSON uses
    "src/net/ZipExtractor.cpp"         # opens archives with minizip, their entries bounded
    "src/net/ReplyDoor.cpp"            # parses server replies
    "src/common/PlistManager.cpp"      # reads the program's property lists through FileUtils
    "src/lesson/UnsentResultsFile.cpp" # reads the results file an earlier run left
)

# Raw readers: SDL_mixer, SDL_image, libpng, libjpeg and turbojpeg, SDL_ttf, minizip, RapidJSON, FileUtils.
pattern='\b(Mix_Load[A-Za-z0-9_]*|IMG_Load[A-Za-z0-9_]*|SDL_Load(BMP|WAV)[A-Za-z0-9_]*'
pattern+='|png_read_[A-Za-z0-9_]*|png_create_read_struct[A-Za-z0-9_]*|png_process_data|png_image_begin_read[A-Za-z0-9_]*'
pattern+='|jpeg_read_[A-Za-z0-9_]*|jpeg_create_decompress|jpeg_CreateDecompress|jpeg_(mem|stdio)_src|tj3?Decompress[A-Za-z0-9_]*'
pattern+='|TTF_Render[A-Za-z0-9_]*|unzOpen[A-Za-z0-9_]*|ParseInsitu|ParseStream|Reader::Parse'
pattern+='|getStringFromFile|getDataFromFile|getValueMapFromFile|getValueVectorFromFile)\b'
pattern+='|(\.|->)Parse *[(<]'

root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root" || { echo "check-outside-input: no folder $root" >&2; exit 2; }

is_allowed() {
    case "$1" in engine/door/*) return 0 ;; esac
    local f
    for f in "${allowed[@]}"; do
        if [ "$f" = "$1" ]; then return 0; fi
    done
    return 1
}

folders=()
for d in engine src; do
    if [ -d "$d" ]; then folders+=("$d"); fi
done
if [ ${#folders[@]} -eq 0 ]; then
    echo "check-outside-input: neither engine/ nor src/ under $root" >&2
    exit 2
fi

# Line comments are dropped before matching (a "//" after a quote or colon, as in a URL, is kept).
hits=$(grep -rnE --include='*.cpp' --include='*.cc' --include='*.c' --include='*.h' --include='*.hpp' \
    "$pattern" "${folders[@]}" | sed -E 's#^([^:]+:[0-9]+:)(|.*[[:space:]])//.*$#\1\2#' | grep -E "^[^:]+:[0-9]+:.*($pattern)")

failed=0
used=()
while IFS= read -r hit; do
    [ -n "$hit" ] || continue
    file="${hit%%:*}"
    if is_allowed "$file"; then
        used+=("$file")
    else
        echo "$hit" | cut -c1-160
        failed=1
    fi
done <<< "$hits"
if [ $failed -ne 0 ]; then
    echo "check-outside-input: raw readers called outside the door (above); read through engine/door/ instead" >&2
fi

# An allowed file that no longer calls a raw reader is dropped from the list, so the list stays the door's.
for f in "${allowed[@]}"; do
    [ -f "$f" ] || continue
    if ! printf '%s\n' "${used[@]}" | grep -qxF "$f"; then
        echo "check-outside-input: $f calls no raw reader any more: drop it from the list in $0" >&2
        failed=1
    fi
done
exit $failed
