# Solves the arbitrary network: the network solver reads spr.in and leaves its
# answer in spr.out. Started as "/bin/sh prom3.bat" in the program folder,
# where the solver lies beside this file. The desktop program waits while
# prom.in exists, so prom.in goes on every path out of here; an answer that
# the solver did not complete is left empty, which the program reports.
cd "$(dirname "$0")" || exit 1
trap 'rm -f prom.in' EXIT
trap 'exit 1' HUP INT TERM
: > spr.out
if ! ./optimer spr.in; then
  : > spr.out
  exit 1
fi
