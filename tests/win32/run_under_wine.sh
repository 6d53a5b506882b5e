#!/usr/bin/env bash
# Runs a Windows test program under Wine in a private prefix; without Wine it is skipped (77),
# saying why.
set -u
exe=$1
wine=$(command -v wine64 || ls /usr/lib/wine/wine64 2>/dev/null || true)
if [ -z "$wine" ]; then echo "SKIP: Wine (wine64) is not installed"; exit 77; fi
prefix=$(mktemp -d)
trap 'WINEPREFIX=$prefix/wine timeout 20 wineserver -k 2>/dev/null; rm -rf "$prefix"' EXIT
export WINEPREFIX=$prefix/wine WINEDEBUG=-all DISPLAY=
out=$(timeout 300 "$wine" "$exe" 2>/dev/null)
rc=$?
printf '%s\n' "$out" | tr -d '\r'
exit $rc
