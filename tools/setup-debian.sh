#!/bin/sh
# Installs what Vorlane needs to build and test on Debian 12 (run as root).
# Packages already present are left alone, so a second run is quick.
set -eu
packages="
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-svg-dev
  libavcodec-dev libavformat-dev libavfilter-dev libavdevice-dev
  libswscale-dev libswresample-dev libavutil-dev libjpeg62-turbo-dev
  libgtest-dev libbenchmark-dev libxcb1-dev
  ffmpeg gettext locales fonts-dejavu-core xvfb xauth dbus xdotool
  dvdauthor vcdimager
"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  # shellcheck disable=SC2086
  apt-get install -y -q --no-install-recommends $missing
fi
