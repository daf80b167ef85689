#!/bin/bash
# Builds the Debian package into a temporary directory and checks its contents and that
# its dependencies were found by dpkg-shlibdeps (the Qt and PNG libraries appear); lintian
# checks it against Debian's policy when it is installed.
# usage: debian_package_test.sh CPACK BUILD_DIR
set -euo pipefail
cpack=$1 build=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" -G DEB -B "$tmp" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log"; fail "cpack"; }
deb=$(ls "$tmp"/vortimax_*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' >"$tmp/contents"
for file in ./usr/bin/vortimax ./usr/bin/vortimax-cli ./usr/share/vortimax/PosPrefs.asc \
            ./usr/share/man/man1/vortimax-cli.1.gz ./usr/share/man/man1/vortimax.1.gz \
            ./usr/share/doc/vortimax/copyright ./usr/share/doc/vortimax/changelog.gz \
            ./usr/share/applications/org.vortimax.Vortimax.desktop \
            ./usr/share/mime/packages/org.vortimax.Vortimax.xml \
            ./usr/share/metainfo/org.vortimax.Vortimax.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/org.vortimax.Vortimax.svg \
            ./usr/share/bash-completion/completions/vortimax-cli; do
    grep -qx "$file" "$tmp/contents" || fail "$file is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libpng16-16 libstdc++6; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
# lintian holds the package to Debian's policy (manual pages compressed, documents present,
# description lines short); where it is installed, any error or warning fails the test.
if command -v lintian >/dev/null; then
    lintian --fail-on error,warning "$deb" >"$tmp/lintian.log" 2>&1 ||
        { cat "$tmp/lintian.log"; fail "lintian"; }
fi
echo "package $(basename "$deb"): $depends"
