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
    exec build/win32/medium/Velbrook.exe ;;
esac

./scripts/deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32
echo "The menu: build/win32/Velbrook.exe; the demo medium: build/win32/medium/"
exec python3 scripts/demo.py build/win32
