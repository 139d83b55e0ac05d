#!/usr/bin/env bash
# Starts the demo courseware server (when built) and the client on it.
set -euo pipefail
build="${1:-build}"
bin="$build/bin"
server_pid=""
if [ -x "$bin/courseware-server" ]; then
    "$bin/courseware-server" --port 8765 --data "$bin/server-data" &
    server_pid=$!
    trap 'kill $server_pid 2>/dev/null || true' EXIT
fi
cd "$bin"
./classroom
