# Finds the worst fire-square position of a grid whose network the network
# solver computes: gridscan runs gridio and the solver for every position and
# leaves the report in spr.out. Started as "/bin/sh prom1.bat" in the program
# folder, where the programs lie beside this file. The desktop program waits
# while prom.in exists, so prom.in goes on every path out of here; a scan that
# did not finish leaves spr.out empty, which the program reports.
cd "$(dirname "$0")" || exit 1
trap 'rm -f prom.in' EXIT
trap 'exit 1' HUP INT TERM
if ! ./gridscan; then
  : > spr.out
  exit 1
fi
