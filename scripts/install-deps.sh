#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the planner need.
# Packages already present are skipped, so a second call returns within seconds.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-qpa-plugins
  qt6-multimedia-dev libqt6multimedia6 gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  qt6-svg-dev libqt6svg6
  libcurl4-openssl-dev
  libical-dev
  libbenchmark-dev libx11-dev
  sqlite3
  xvfb xauth x11-utils xdotool imagemagick fonts-dejavu-core
  locales
  python3 python3-aiosmtpd python3-dbusmock dbus-daemon xdg-utils openssl
  python3-icalendar python3-dateutil poppler-utils
  dpkg-dev desktop-file-utils appstream
  sox
  wine64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The locale tests run under a day-month locale; make sure it exists.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  if [ -f /etc/locale.gen ]; then
    $sudo_cmd sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/; s/^# *\(en_US.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    $sudo_cmd locale-gen >/dev/null
  fi
fi
