#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building and testing Molvane need, when
# they are missing. Sourced by the other scripts.
molvane_install() {
  local missing=()
  for pkg in "$@"; do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}
MOLVANE_BUILD_PACKAGES=(cmake make g++ libc6-dev)
# libbrailleutils-java carries the PEF schema that xmllint checks every PEF of
# the tests against.
# Chromium opens molvane-convert's ruby page in a test. The Debian Reference
# in Chinese (HTML) is the book laid out in braille pages in a test.
MOLVANE_TEST_PACKAGES=(libgtest-dev libbenchmark-dev clang-format python3 python3-regex fortunes-zh
  libbrailleutils-java libxml2-utils chromium debian-reference-zh-cn)
# The clang configuration and the fuzz targets (libFuzzer).
MOLVANE_CLANG_PACKAGES=(clang-14 libclang-rt-14-dev)
# The desktop window (Qt 6 Widgets), its fonts (a Song/Ming face for "宋体",
# the GUI font too, CJK sans as the last resort), and what its tests run
# under: Xvfb, a D-Bus session with the AT-SPI bus for the accessibility tests
# (pyatspi listens to the events), xdotool and ImageMagick, xclip and a window
# manager (openbox) for the run script's conversion and screenshot without a
# display.
MOLVANE_QT_PACKAGES=(qt6-base-dev qt6-qpa-plugins fonts-noto-cjk fonts-arphic-uming
  qt6-translations-l10n)
MOLVANE_QT_TEST_PACKAGES=(xvfb xauth dbus dbus-x11 at-spi2-core python3-dbus python3-pyatspi xdotool x11-xserver-utils xclip imagemagick openbox)
# scripts/screenshot.sh's dark palette, as a desktop user sets one for Qt 6.
MOLVANE_SCREENSHOT_PACKAGES=(qt6ct)
# For scripts/check_install.sh: packaging, the README's examples, validators.
MOLVANE_INSTALL_CHECK_PACKAGES=(dpkg-dev libc-bin man-db groff-base desktop-file-utils appstream
  lintian mandoc
  # the packaged window on Xvfb, its SVG icon drawn by Qt's SVG plugins
  xvfb x11-utils xdotool libqt6svg6)
