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

# Desktop integration and manual pages, each checked by its own validator.
id=org.vortimax.Vortimax
share="$installed/share"
desktop-file-validate "$share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net --pedantic "$share/metainfo/$id.metainfo.xml" >"$tmp/as.log" ||
    { cat "$tmp/as.log"; fail "AppStream metainfo"; }
xmllint --noout "$share/mime/packages/$id.xml" "$share/icons/hicolor/scalable/apps/$id.svg" ||
    fail "MIME or SVG XML"
for size in 16 24 32 48 64 128 256; do
    png="$share/icons/hicolor/${size}x${size}/apps/$id.png"
    # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
    [[ "$(od -An --endian=big -tu4 -j16 -N8 "$png" | tr -s ' ')" == " $size $size" ]] ||
        fail "$png is not ${size}x${size}"
done
for page in vortimax vortimax-cli; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$share/man/man1/$page.1.gz" \
        2>&1 >/dev/null) || fail "man $page"
    [[ -z "$warnings" ]] || fail "man warns about $page.1: $warnings"
done
[[ -f "$share/bash-completion/completions/vortimax-cli" ]] || fail "bash completion missing"
# A desktop seeing only the installed share/ maps the extensions to the types, and the
# types to the menu entry (the file managers' "Open with").
cp -r "$share" "$tmp/xdg"
update-mime-database "$tmp/xdg/mime" || fail "update-mime-database"
update-desktop-database "$tmp/xdg/applications" || fail "update-desktop-database"
for glob in "par:application/x-vortimax-parameters" "frm:text/x-vortimax-formula" \
            "zar:application/x-vortimax-zar" "ifs:text/x-vortimax-ifs"; do
    type=${glob#*:} extension=${glob%%:*}
    grep -qx "50:$type:\*.$extension" "$tmp/xdg/mime/globs2" || fail "no glob for .$extension"
    default=$(env -i PATH=/usr/bin:/bin HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home" \
        XDG_DATA_HOME="$tmp/xdg" XDG_DATA_DIRS="$tmp/xdg" xdg-mime query default "$type")
    [[ "$default" == "$id.desktop" ]] || fail "$type opens with \"$default\""
done

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
