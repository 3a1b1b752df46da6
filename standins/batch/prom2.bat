# Runs the grid solver gridsolve for the grid form. Started as
# "/bin/sh prom2.bat" in the program folder, where gridsolve lies beside this
# file.
#
# The form waits until prom.in is gone, then reads spr.out. So prom.in is
# removed on every way out: normal end, a solver that fails or is killed,
# and this script being stopped. spr.out is emptied unless the solver ran to
# its end, so that a part of a report is never read as a result.

cd "$(dirname "$0")" || exit 1
finished=no
solver=

cleanup() {
  if [ "$finished" != yes ]; then
    : > spr.out 2>/dev/null
  fi
  rm -f prom.in
}

stop() {
  if [ -n "$solver" ]; then
    kill "$solver" 2>/dev/null
  fi
  exit 1
}

trap cleanup EXIT
trap stop HUP INT TERM

./gridsolve &
solver=$!
wait "$solver"
status=$?
solver=
if [ "$status" -eq 0 ]; then
  finished=yes
fi
exit "$status"
