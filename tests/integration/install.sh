#!/usr/bin/env bash
# The program installed like any desktop program: `cmake --install` into a scratch prefix puts
# each file in its place, the desktop entry and the AppStream metainfo pass their validators, and
# the installed program starts, finding its pages under share/. The Debian package holds the same
# files and depends on runtime packages only.
# usage (under xvfb-run): install.sh BUILD_DIR
set -u
build=$1
. "$(dirname "$0")/sandbox.sh"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > "$work/install.log" || { cat "$work/install.log"; exit 1; }

files=(
    bin/vantrel-planner
    lib/vantrel-planner/libvantrel-audio.so
    lib/vantrel-planner/libvantrel-smtp.so
    share/applications/vantrel-planner.desktop
    share/metainfo/vantrel-planner.metainfo.xml
    share/icons/hicolor/scalable/apps/vantrel-planner.svg
    share/icons/hicolor/16x16/apps/vantrel-planner.png
    share/icons/hicolor/48x48/apps/vantrel-planner.png
    share/icons/hicolor/256x256/apps/vantrel-planner.png
    share/man/man1/vantrel-planner.1.gz
    share/vantrel-planner/web/index.html
    share/vantrel-planner/web/images/planner.svg
    share/vantrel-planner/web/images/planner-64.png
    share/vantrel-planner/help/index.html
)
for f in "${files[@]}"; do
    [ -f "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/vantrel-planner.desktop" || exit 1
appstreamcli validate --no-net --explain "$prefix/share/metainfo/vantrel-planner.metainfo.xml" || exit 1
zcat "$prefix/share/man/man1/vantrel-planner.1.gz" | sed 's/\\-/-/g' | grep -q -- '--data-dir' || { echo "the man page lacks --data-dir"; exit 1; }

# The installed program starts from its menu entry's command, on its welcome page, with the
# pages of share/.
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/vantrel-planner.desktop")
[ -n "$exec_line" ] || { echo "the desktop entry has no Exec line"; exit 1; }
# shellcheck disable=SC2086 # the Exec line is a command with its arguments
PATH="$prefix/bin:$PATH" QT_LOGGING_RULES="vantrel.*=true" $exec_line --data-dir "$work/data" 2> "$work/trace" &
pid=$!
shown=""
for _ in $(seq 1 200); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Vantrel Planner"'; then shown=yes; break; fi
    sleep 0.05
done
# The sound and mail libraries wait for the first sound and the first e-mail: none of them is
# loaded to show the window.
sound_loaded=""
grep -q -e libQt6Multimedia -e libpulse -e libcurl "/proc/$pid/maps" 2>/dev/null && sound_loaded=yes
kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
[ -n "$shown" ] || { echo "the installed program showed no window"; cat "$work/trace"; exit 1; }
[ -z "$sound_loaded" ] || { echo "the sound or mail libraries were loaded at start"; exit 1; }
grep -q "pages from $prefix/share/vantrel-planner/" "$work/trace" || { echo "the pages were not found under share/:"; cat "$work/trace"; exit 1; }

# The package: the same files under /usr, and runtime dependencies only.
if ! command -v dpkg-deb >/dev/null; then echo "skipped the package: no dpkg-deb"; exit 0; fi
(cd "$build" && cpack -G DEB -B "$work/package" > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/package/vantrel-planner_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { echo "no package was made"; cat "$work/cpack.log"; exit 1; }
dpkg-deb -c "$deb" > "$work/contents"
for f in "${files[@]}"; do
    grep -q " \./usr/$f\$" "$work/contents" || { echo "not in the package: /usr/$f"; cat "$work/contents"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
case "$depends" in *libqt6widgets6*) ;; *) echo "the package does not depend on Qt's widgets"; exit 1 ;; esac
case "$depends" in *libqt6multimedia6*libcurl4*|*libcurl4*libqt6multimedia6*) ;; *) echo "the package does not depend on what its modules link"; exit 1 ;; esac
case "$depends" in *-dev*) echo "the package depends on a development package"; exit 1 ;; esac
echo "installed and packaged"
