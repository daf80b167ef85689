#!/bin/bash
# Renders the built manual pages with man(1) and fails on any warning; checks that both
# programs report the version the pages carry.
# usage: manual_pages_test.sh MAN_DIR VORTIMAX VORTIMAX_CLI VERSION
set -euo pipefail
mandir=$1 gui=$2 cli=$3 version=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

for page in vortimax vortimax-cli; do
    file="$mandir/$page.1"
    [[ -s "$file" ]] || fail "$file missing or empty"
    grep -q "Vortimax $version" "$file" || fail "$page.1 does not carry version $version"
    if command -v man >/dev/null; then
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)
        [[ -z "$warnings" ]] || fail "man warns about $page.1: $warnings"
    fi
done
[[ "$("$cli" --version)" == "vortimax-cli $version" ]] || fail "vortimax-cli --version"
# Answered without a display: no QT_QPA_PLATFORM, no DISPLAY.
[[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$gui" --version 2>/dev/null)" == "Vortimax $version" ]] ||
    fail "vortimax --version"
echo "manual pages render cleanly"
