# Solves the arbitrary network: the network solver reads spr.in and leaves its
# answer in spr.out. Started as "/bin/sh prom3.bat" in the program folder,
# where the solver lies beside this file.
#
# The desktop program waits while prom.in exists, then reads spr.out. So
# prom.in is removed on every way out: normal end, a solver that fails or is
# killed, and this script being stopped. spr.out is emptied unless the
# solver ran to its end, so that an answer it did not complete is never
# read as the result.

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

: > spr.out
./optimer spr.in &
solver=$!
wait "$solver"
status=$?
solver=
if [ "$status" -eq 0 ]; then
  finished=yes
fi
exit "$status"
