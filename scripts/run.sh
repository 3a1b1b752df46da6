#!/usr/bin/env bash
# Installs what is missing, builds, lays out the program folder and starts the
# desktop program dorv in it.
#
#   bash scripts/run.sh            start dorv on the current display
#   bash scripts/run.sh --xvfb     start it under a virtual X display (or DORV_XVFB=1)
#
# DORV_PROGRAM_DIR chooses the program folder (default: program/ in the
# repository). Running again replaces the programs and the command files but
# keeps everything else in the folder: the stored calculations (perform/), the
# catalog, sign.txt, the counters, and the data tables, which the user may have
# extended.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

xvfb=${DORV_XVFB:-0}
for arg in "$@"; do
  case "$arg" in
    --xvfb) xvfb=1 ;;
    *) echo "usage: bash scripts/run.sh [--xvfb]" >&2; exit 1 ;;
  esac
done

if [ "$(id -u)" -eq 0 ]; then
  bash scripts/setup.sh
else
  echo "not root: the package check is skipped (run 'bash scripts/setup.sh' as root if the build fails)"
fi
cmake -S . -B build -DDORV_WITH_QT=ON >/dev/null
cmake --build build -j"$(nproc)"

prog=${DORV_PROGRAM_DIR:-$repo/program}
mkdir -p "$prog"
prog=$(cd "$prog" && pwd)

# Programs: replaced by the new build (copied beside, then renamed, so that a
# running copy is not disturbed).
for name in dorv gridsolve gridio gridscan optimer netexport; do
  built=$(find build -type f -name "$name" -perm -u+x -not -path '*/CMakeFiles/*' | head -n 1)
  if [ -n "$built" ]; then
    cp "$built" "$prog/.$name.new"
    mv -f "$prog/.$name.new" "$prog/$name"
  fi
done
if [ ! -x "$prog/dorv" ]; then
  echo "dorv was not built (it needs Qt 6 and the register); nothing to start" >&2
  exit 1
fi

# Command files: the program's own, replaced.
for f in standins/batch/prom1.bat standins/batch/prom2.bat standins/batch/prom3.bat; do
  [ -f "$f" ] && cp "$f" "$prog/"
done

# The link file that the register checks before it works with drawings. The
# graphics application is not on this platform; ours names the stand-in that
# writes network exports, netexport, so that the check passes where it is
# installed.
if [ -x "$prog/netexport" ]; then
  printf ';; no graphics application on this platform: network exports are written by\r\n;; netexport (see the README), installed in this folder\r\n(setq dorv-export "netexport")\r\n' > "$prog/dorv54.lsp"
fi

# Data tables and the example pack: copied only where missing.
for f in trub.inf klap.inf kltr.inf demo.ini demo; do
  if [ -f "data/$f" ] && [ ! -e "$prog/$f" ]; then
    cp "data/$f" "$prog/$f"
  fi
done

echo "program folder: $prog"
cd "$prog"
if [ "$xvfb" = 1 ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ./dorv
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display is available (DISPLAY is not set): start dorv on a desktop," >&2
  echo "or under a virtual X display with: bash scripts/run.sh --xvfb" >&2
  exit 2
fi
exec ./dorv
