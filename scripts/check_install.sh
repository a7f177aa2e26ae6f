#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Follows the README as a new user would: runs its Install section, with the
# installation staged in a scratch folder instead of / and the package's
# installation only simulated, then every example of its molvane-convert
# section in an empty folder, comparing each output with the line's comment
# (line breaks read as spaces). Then checks what the package holds, lints it
# as Debian would (lintian), and validates the desktop entry, the AppStream
# metadata (appstreamcli, pedantic) and the manual pages (groff, mandoc).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
molvane_install "${MOLVANE_BUILD_PACKAGES[@]}" "${MOLVANE_INSTALL_CHECK_PACKAGES[@]}"
scratch=$(mktemp -d /tmp/molvane-install-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
stage=$scratch/stage
failed=0

# The indented lines of the README section with this title.
section() {
  awk -v title="## $1" '/^## / { on = ($0 == title); next } on && /^    / { sub(/^    /, ""); print }' README.md
}

echo "== README: Install"
while IFS= read -r line; do
  case $line in
    "apt-get install "*) line="apt-get install -s ${line#apt-get install }" ;;
  esac
  echo "\$ $line"
  if ! DESTDIR=$stage bash -c "$line" >"$scratch/log" 2>&1; then
    cat "$scratch/log"
    echo "FAILED: $line" >&2
    exit 1
  fi
done < <(section "Install (Debian 12, as root)")

echo "== README: examples"
mkdir "$scratch/work"
export PATH="$stage/usr/local/bin:$PATH" MANPATH="$stage/usr/local/share/man:" MANWIDTH=80
while IFS= read -r line; do
  command=${line%%  #*}
  echo "$ ${command%"${command##*[! ]}"}"
  if ! (cd "$scratch/work" && bash -o pipefail -c "$command") >"$scratch/out" 2>"$scratch/err"; then
    cat "$scratch/err"
    echo "FAILED: $command" >&2
    failed=1
    continue
  fi
  if [ "$command" != "$line" ]; then
    expected=$(echo "${line#*  # }" | sed 's/^ *//')
    got=$(tr '\n' ' ' <"$scratch/out" | sed 's/ *$//')
    [ "$got" = "$expected" ] || { echo "FAILED: gave '$got', the README says '$expected'" >&2; failed=1; }
  fi
done < <(section "molvane-convert" | grep -v '^molvane-convert \[OPTION\]')
grep -q "^NAME" "$scratch/out" || { echo "FAILED: the manual page did not render" >&2; failed=1; }

echo "== package"
deb=build/package/molvane_0.1.0_amd64.deb
expected_files=(./usr/bin/molvane-convert ./usr/share/man/man1/molvane-convert.1.gz
  ./usr/share/doc/molvane/copyright)
if [ -x build/package/app/molvane ]; then
  expected_files+=(./usr/bin/molvane ./usr/share/man/man1/molvane.1.gz
    ./usr/share/applications/org.molvane.molvane.desktop
    ./usr/share/icons/hicolor/scalable/apps/org.molvane.molvane.svg
    ./usr/share/metainfo/org.molvane.molvane.metainfo.xml)
fi
dpkg-deb -c "$deb" | awk '{ print $6 }' >"$scratch/contents"
for f in "${expected_files[@]}"; do
  grep -qx -- "$f" "$scratch/contents" || { echo "FAILED: $deb lacks $f" >&2; failed=1; }
done
dpkg-deb -x "$deb" "$scratch/deb"
echo 中国 | "$scratch/deb/usr/bin/molvane-convert" -n pinyin | grep -qx "zhōng guó" ||
  { echo "FAILED: the packaged molvane-convert does not run" >&2; failed=1; }

if [ -x "$scratch/deb/usr/bin/molvane" ]; then
  echo "== the packaged window's class and icon"
  # On a bare X server (xvfb-run picks a free display and waits until it
  # answers): the class the desktop entry promises, and the icon the package
  # installs, found through the package's own share folder.
  promised=$(sed -n 's/^StartupWMClass=//p' packaging/org.molvane.molvane.desktop)
  XDG_DATA_DIRS="$scratch/deb/usr/share:/usr/share" xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash scripts/check_window_identity.sh "$scratch/deb/usr/bin/molvane" "$promised" || failed=1
fi

echo "== lintian"
# Errors and warnings fail, with no tag overridden; notes (info) are shown.
lintian --fail-on error,warning --display-info "$deb" || { echo "FAILED: lintian $deb" >&2; failed=1; }

echo "== desktop entry, metadata, manual pages"
desktop-file-validate packaging/org.molvane.molvane.desktop || failed=1
appstreamcli validate --pedantic --no-net packaging/org.molvane.molvane.metainfo.xml || failed=1
# Pedantic notes pass appstreamcli; fail on them too.
if appstreamcli validate --pedantic --no-net packaging/org.molvane.molvane.metainfo.xml |
  grep -q '^[EWIP]:'; then
  echo "FAILED: appstreamcli has notes on the metadata" >&2
  failed=1
fi
for page in packaging/*.1; do
  warnings=$(LC_ALL=C.UTF-8 groff -k -man -Tutf8 -ww -z "$page" 2>&1)
  [ -z "$warnings" ] || { echo "$warnings"; echo "FAILED: $page" >&2; failed=1; }
  mandoc -Tlint -Wstyle "$page" || { echo "FAILED: mandoc -Tlint $page" >&2; failed=1; }
  LC_ALL=C.UTF-8 man -l "$page" | grep -q "^SYNOPSIS" || { echo "FAILED: $page" >&2; failed=1; }
done

[ "$failed" = 0 ] && echo "installation check passed"
exit $failed
