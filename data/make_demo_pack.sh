#!/bin/sh
# Builds the example pack from the example calculations in data/examples:
# demo.ini holds one record per packed file, its name in quotes, a comma and
# its length in bytes (windows-1251, CR LF); demo holds the files' bytes back
# to back in the same order. The order is that of examples/pack.list.
#
#   sh data/make_demo_pack.sh [BUILD_FOLDER]
#
# With a build folder, the calculations under examples/computed are first
# computed afresh by the program itself: for each folder examples/computed/N
# a scratch program folder is laid out (data tables, command files, solver
# programs, a register whose next number is N), netexport writes the export
# of N/network.net when there is one (as export/network.ko2), the scenario
# runner acts out N/script.txt, which must create, compute and store the
# calculation, and its stored input record and report become examples/Nin.prr
# and examples/Nres.prr (with N.kms and N.dwg, the scheme and drawing that
# an arbitrary network keeps). The catalog examples/prr.kat is kept as it is, so a
# computed calculation must keep the contract and object of its record.
# Run it after changing an example, and commit demo.ini and demo with it.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src="$here/examples"

if [ $# -ge 1 ]; then
  build=$(cd "$1" && pwd)
  # The grid relaxation visits the nodes in a random order: a fixed order
  # makes a calculation come out the same each time it is remade (the
  # example test computes them again with the same order).
  GRIDSOLVE_SEED=1
  export GRIDSOLVE_SEED
  scratch=$(mktemp -d)
  [ -n "${KEEP_SCRATCH:-}" ] || trap 'rm -rf "$scratch"' EXIT
  for calc in "$src"/computed/*/; do
    [ -f "$calc/script.txt" ] || continue
    n=$(basename "$calc")
    prog="$scratch/$n"
    mkdir -p "$prog/export"
    cp "$here/trub.inf" "$here/klap.inf" "$here/kltr.inf" "$prog/"
    cp "$here/../standins/batch/prom1.bat" "$here/../standins/batch/prom2.bat" \
       "$here/../standins/batch/prom3.bat" "$prog/"
    for p in solvers/gridsolve/gridsolve solvers/gridio/gridio solvers/gridscan/gridscan standins/optimer/optimer; do
      [ -x "$build/$p" ] && cp "$build/$p" "$prog/"
    done
    printf '\310\342\340\355\356\342 \310.\310.\r\n' > "$prog/sign.txt"  # the executor, in windows-1251
    : > "$prog/nozapas.txt"
    # A register whose highest number is N-1, so that the new calculation is N.
    mkdir -p "$prog/perform"
    printf ' %s-R\r\n-\r\n-\r\n' $((n - 1)) > "$prog/prr.kat"
    printf ' %s-R\r\n-\r\n' $((n - 1)) > "$prog/perform/$((n - 1))in.prr"
    printf '(setq dorv-export "netexport")\r\n' > "$prog/dorv54.lsp"
    if [ -f "$calc/network.net" ]; then
      "$build/standins/netexport/netexport" -t "$prog/trub.inf" -o "$prog/export" -n network -w "$calc/network.net"
    fi
    ALLUSERSPROFILE="$scratch/users" "$build/tests/scenario/dorv-scenario" "$prog" "$calc/script.txt" > "$scratch/$n.out"
    cp "$prog/perform/${n}in.prr" "$src/${n}in.prr"
    cp "$prog/perform/${n}res.prr" "$src/${n}res.prr"
    # An arbitrary network keeps its scheme and drawing beside them.
    for kept in "${n}.kms" "${n}.dwg"; do
      if [ -f "$prog/perform/$kept" ]; then cp "$prog/perform/$kept" "$src/$kept"; fi
    done
  done
fi

: > "$here/demo"
: > "$here/demo.ini"
while IFS= read -r name; do
  [ -n "$name" ] || continue
  size=$(wc -c < "$src/$name" | tr -d ' ')
  printf '"%s",%s\r\n' "$name" "$size" >> "$here/demo.ini"
  cat "$src/$name" >> "$here/demo"
done < "$src/pack.list"
