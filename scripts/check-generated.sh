#!/usr/bin/env bash
# Runs the scripts that write the demo server's committed files into a copy of server/ and compares what they write
# with what is committed:
#   scripts/check-generated.sh SCRATCH
# Fails, naming the files, when a committed file differs from what its script makes (a hand edit, or a script change
# committed without the files it makes). Needs ffmpeg and ImageMagick (scripts/install-deps.sh).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
server=$(cd "$here/../server" && pwd)
out=${1:?usage: $0 SCRATCH}
rm -rf "$out"
mkdir -p "$out"
cp -r "$server" "$out/server"
python3 "$here/pack_tools.py" --packages "$out/server/packages" >/dev/null
python3 "$here/pack_catalogue_topics.py" --packages "$out/server/packages" >/dev/null
python3 "$here/make-picture-book.py" --server "$out/server" >/dev/null
python3 "$here/pack_standin_videos.py" --server "$out/server" >/dev/null
diff -rq "$server" "$out/server"
