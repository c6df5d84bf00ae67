#!/usr/bin/env bash
# Installs the Debian packages that the builds and tests need, when any is missing.
#   install-packages.sh play    what building and starting the game natively takes
#   install-packages.sh web     what building the web page and serving it on this machine takes
#   install-packages.sh release what scripts/release.sh takes: both builds and the packaging tools
#   install-packages.sh test    everything: both builds, the data-file generator, all tests, releases
set -euo pipefail

play=(cmake make g++ pkg-config libsdl2-dev libgl1-mesa-dev libgl1-mesa-dri libx11-dev)
web=(cmake make emscripten python3)
release=("${play[@]}" googletest libgtest-dev libxtst-dev mingw-w64 g++-mingw-w64-x86-64-posix dpkg-dev
         file nsis zip emscripten)
test=("${release[@]}" wine wine64 xvfb xauth xfonts-base x11-utils xdotool imagemagick python3 python3-pil
      fonts-dejavu-core lintian desktop-file-utils unzip icoutils appstream chromium chromium-driver
      python3-selenium)

case "${1:-}" in
    play) wanted=("${play[@]}") ;;
    web) wanted=("${web[@]}") ;;
    release) wanted=("${release[@]}") ;;
    test) wanted=("${test[@]}") ;;
    *) echo "usage: $0 play|web|release|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
