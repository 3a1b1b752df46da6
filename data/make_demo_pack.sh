#!/bin/sh
# Builds the example pack from the example calculations in data/examples:
# demo.ini holds one record per packed file, its name in quotes, a comma and
# its length in bytes (windows-1251, CR LF); demo holds the files' bytes back
# to back in the same order. The order is that of examples/pack.list.
# Run it after changing an example, and commit demo.ini and demo with it.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src="$here/examples"
: > "$here/demo"
: > "$here/demo.ini"
while IFS= read -r name; do
  [ -n "$name" ] || continue
  size=$(wc -c < "$src/$name" | tr -d ' ')
  printf '"%s",%s\r\n' "$name" "$size" >> "$here/demo.ini"
  cat "$src/$name" >> "$here/demo"
done < "$src/pack.list"
