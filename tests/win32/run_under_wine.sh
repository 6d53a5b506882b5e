#!/usr/bin/env bash
# Runs a Windows test program under Wine in a private prefix; without Wine it is skipped (77),
# saying why. The prefix has no display (Wine's null driver still makes windows, unseen) and
# hands "mailto:" addresses to fake_mailer.sh, never to the desktop.
set -u
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
wine=$(command -v wine64 || ls /usr/lib/wine/wine64 2>/dev/null || true)
if [ -z "$wine" ]; then echo "SKIP: Wine (wine64) is not installed"; exit 77; fi
server=$(command -v wineserver || echo "$(dirname "$(readlink -f "$wine")")/wineserver")
prefix=$(mktemp -d)
trap 'timeout 20 "$server" -k 2>/dev/null; rm -rf "$prefix"' EXIT
export WINEPREFIX=$prefix/wine WINEDEBUG=-all DISPLAY=
timeout 120 "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
timeout 60 "$wine" reg add 'HKCU\Software\Wine\WineBrowser' /v Mailers /d "$here/fake_mailer.sh" /f \
  >/dev/null 2>&1
# The desktop process made with the prefix still has the old driver: start afresh.
timeout 20 "$server" -k 2>/dev/null
out=$(timeout 300 "$wine" "$exe" 2>/dev/null)
rc=$?
printf '%s\n' "$out" | tr -d '\r'
exit $rc
