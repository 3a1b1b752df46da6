#!/bin/sh
# The committed example pack is what the program makes of its example
# calculations today: the pack is rebuilt, through the program and its
# solvers, in a copy of the data folder and must come out byte for byte as
# committed. A change to a report, a solver or netexport that alters an
# example fails here until the pack is rebuilt with data/make_demo_pack.sh.
#
#   sh example_pack_current.sh SOURCE_FOLDER BUILD_FOLDER
set -eu
src=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/standins"
cp -R "$src/data" "$work/data"
cp -R "$src/standins/batch" "$work/standins/batch"
sh "$work/data/make_demo_pack.sh" "$build" > "$work/pack.log" 2>&1 || {
  cat "$work/pack.log"
  exit 1
}
status=0
for f in demo demo.ini; do
  cmp "$src/data/$f" "$work/data/$f" || status=1
done
for f in "$src"/data/examples/*; do
  [ -f "$f" ] || continue
  cmp "$f" "$work/data/examples/$(basename "$f")" || status=1
done
[ $status = 0 ] || echo "The example pack is out of date: rebuild it with sh data/make_demo_pack.sh BUILD_FOLDER"
exit $status
