#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Idempotent: only missing packages are installed, with one apt-get update first.
set -euo pipefail

PACKAGES=(
  # build
  cmake ninja-build g++ pkg-config ccache clang-14 libclang-rt-14-dev clang-format
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-image-formats-plugins
  libsndfile1-dev libpulse-dev libespeak-ng-dev espeak-ng-data
  # fonts for the strip texts
  fonts-dejavu-core
  # real probes and their comparisons
  iproute2 iputils-ping fping procps
  # audio tests
  pulseaudio pulseaudio-utils sox
  # end-to-end desktop session
  xvfb icewm xdotool x11-utils wmctrl imagemagick xdg-utils
  # end-to-end scenario scripts, driving dialogs through the accessibility tree
  python3 python3-pyatspi at-spi2-core dbus-daemon
  # the strip's taskbar and stacking states on X11 (xcb headers)
  libxcb1-dev
  # the Debian package: shared-library dependencies, desktop entry, AppStream data and man page checks
  dpkg-dev desktop-file-utils appstream man-db
  # a Wayland session for the start test: a headless compositor and Qt's Wayland platform
  weston qt6-wayland
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
