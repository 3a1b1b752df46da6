# Finds the worst fire-square position of a grid whose network the network
# solver computes: gridscan runs gridio and the solver for every position and
# leaves the report in spr.out. Started as "/bin/sh prom1.bat" in the program
# folder, where the programs lie beside this file.
#
# The desktop program waits while prom.in exists, then reads spr.out. So
# prom.in is removed on every way out: normal end, a scan that fails or is
# killed, and this script being stopped. While the scan runs spr.out holds
# the worst position found so far; it is emptied unless the scan ran to its
# end, so that an unfinished scan is never read as the result.

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

./gridscan &
solver=$!
wait "$solver"
status=$?
solver=
if [ "$status" -eq 0 ]; then
  finished=yes
fi
exit "$status"
