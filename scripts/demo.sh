#!/usr/bin/env bash
# Builds the menu, stages the demo medium (the menu beside the four language
# folders, each with a stub Setup.exe) and opens the menu on it: directly on
# Windows, under Wine elsewhere. Without a display it opens the menu on a
# virtual one, saves a screenshot and closes it again.
set -euo pipefail
cd "$(dirname "$0")/.."

case "$(uname -s)" in
  MINGW*|MSYS*|CYGWIN*)
    cmake --preset win32 && cmake --build --preset win32
    exec build/win32/medium/*.exe ;;
esac

./scripts/deps.sh || echo "Going on without what deps.sh could not install."
# The 32-bit build is the one we ship; where Wine cannot run it (its 32-bit part
# could not be installed, or the machine runs no 32-bit Linux programs) the demo
# shows the 64-bit build instead.
preset=win32
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "Wine cannot run the 32-bit build here (see what deps.sh said): opening the 64-bit build."
  preset=win64
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
echo "The demo medium, with the menu: build/$preset/medium/"
# The build tools' one import root is tools/ (the package menubuild).
VELBROOK_WINEARCH="$preset" PYTHONPATH=tools exec python3 -m menubuild.demo "build/$preset"
