#!/usr/bin/env bash
# Installs the Debian packages the project needs; apt-get runs only when one is missing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config make
    libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libsdl2-mixer-dev libmpg123-dev
    libcurl4-openssl-dev libpugixml-dev rapidjson-dev libsqlite3-dev zlib1g-dev libminizip-dev libdeflate-dev
    libvlc-dev libvlc-bin vlc-plugin-base ffmpeg libcpp-httplib-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-wqy-microhei
    curl unzip zip
    xvfb
    sox libsox-fmt-mp3 imagemagick
    python3
    clang libclang-rt-14-dev
)

# One query for all of them: a busy machine starts processes slowly.
declare -A installed=()
while read -r status name; do
    if [ "$status" = "ii" ]; then installed[$name]=1; fi
done < <(dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' "${packages[@]}" 2>/dev/null || true)
missing=()
for p in "${packages[@]}"; do
    if [ -z "${installed[$p]:-}" ]; then missing+=("$p"); fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
