#!/usr/bin/env bash
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
MOLVANE_TEST_PACKAGES=(libgtest-dev libbenchmark-dev clang-format)
# For scripts/check_install.sh: packaging, the README's examples, validators.
MOLVANE_INSTALL_CHECK_PACKAGES=(dpkg-dev libc-bin man-db groff-base desktop-file-utils appstream)
