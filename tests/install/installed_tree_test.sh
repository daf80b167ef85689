#!/bin/bash
# Installs the build into a temporary DESTDIR, moves the installed tree elsewhere and runs
# the installed programs from a third directory with an empty home: they must find the
# data installed beside them.
# usage: installed_tree_test.sh CMAKE BUILD_DIR SOURCE_DATA_DIR
set -euo pipefail
cmake=$1 build=$2 data=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$tmp/dest" "$cmake" --install "$build" --prefix /opt/vortimax >"$tmp/install.log" ||
    { cat "$tmp/install.log"; fail "cmake --install"; }
installed="$tmp/dest/opt/vortimax"
for program in vortimax vortimax-cli; do
    [[ -x "$installed/bin/$program" ]] || fail "bin/$program missing or not executable"
done
diff -r "$data" "$installed/share/vortimax" || fail "share/vortimax differs from the shipped data"

# A relocated tree, given a file the repository does not have: a program directory seeded
# now must come from this tree, not from the build's data.
moved="$tmp/elsewhere/tree"
mkdir -p "$tmp/elsewhere" "$tmp/home" "$tmp/work"
mv "$installed" "$moved"
cp "$data/Palettes/Fire.map" "$moved/share/vortimax/Palettes/OnlyInstalled.map"
cli="$moved/bin/vortimax-cli"
run() { (cd "$tmp/work" && env -i HOME="$tmp/home" PATH=/usr/bin:/bin "$@"); }

run "$cli" render --size 64x48 -o default.png || fail "render of the default fractal"
[[ "$(head -c 8 "$tmp/work/default.png" | od -An -tx1 | tr -d ' \n')" == 89504e470d0a1a0a ]] ||
    fail "default.png is not a PNG image"

run "$cli" render --dir "$tmp/home/mine" --size 16x12 -o seeded.png || fail "render with a new --dir"
[[ -f "$tmp/home/mine/Palettes/OnlyInstalled.map" ]] ||
    fail "the new program directory was not seeded from the installed data"
cmp "$data/PosPrefs.asc" "$tmp/home/mine/PosPrefs.asc" || fail "seeded PosPrefs.asc differs"
echo "installed tree works from $moved"
