#!/usr/bin/env bash
# Installs the Debian package on this machine with apt, as a user would, runs both programs from
# /usr/bin (the desktop program under a virtual X server), checks that the system's MIME and
# menu databases took the package in, and removes the package again, checking that it leaves
# nothing behind. It changes the machine, so it runs only as root with apt: the project's
# machines (developers' and CI's) are disposable Debian 12 machines run as root; elsewhere it
# says so and skips.
# usage: DebInstall.sh DEB SOURCE_DIR
set -euo pipefail
deb=$(realpath "$1") source=$(realpath "$2")
here=$(dirname "$(realpath "$0")")
fail() { echo "$*"; exit 1; }

if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
    echo "skipped: installing the .deb needs root and apt-get (this machine has not both)"
    exit 0
fi
version=$(dpkg-deb --field "$deb" Version)
work=$(mktemp -d /tmp/optvexlor-deb-XXXXXX)
# Several work trees may test on one machine: one package install at a time.
exec 9>/tmp/optvexlor-deb-install.lock
flock -w 900 9 || fail "another package install test held the lock for 15 minutes"
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=300 "$@"; }
cleanup() {
    apt_get remove --purge optvexlor >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

apt_get install --reinstall "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get install failed"; }
[ "$(command -v vexlor)" = /usr/bin/vexlor ] || fail "vexlor is not /usr/bin/vexlor"
[ "$(command -v optvexlor)" = /usr/bin/optvexlor ] || fail "optvexlor is not /usr/bin/optvexlor"
echo "installed $(basename "$deb"); $(vexlor --version)"
bash "$here/InstalledVexlor.sh" /usr "$source" "$work/vexlor" "$version"
xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash "$here/InstalledOptvexlor.sh" /usr "$source" "$work/optvexlor"
bash "$here/DesktopIntegration.sh" /usr "$work/desktop"
# The package's triggers have updated the system's own databases.
grep -q ':model/x-opt:\*\.opt$' /usr/share/mime/globs2 || fail "the system MIME database lacks *.opt"
grep -q '^model/x-opt=.*optvexlor.desktop' /usr/share/applications/mimeinfo.cache ||
    fail "the system's type list does not offer OPT Vexlor for .opt files"
[ "$(man -w vexlor)" = /usr/share/man/man1/vexlor.1.gz ] || fail "man does not find vexlor(1)"

apt_get remove --purge optvexlor >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get remove failed"; }
[ ! -e /usr/bin/vexlor ] && [ ! -e /usr/share/optvexlor ] || fail "the package left files behind"
! grep -q 'model/x-opt' /usr/share/mime/globs2 || fail "the MIME type stayed after removal"
echo "the .deb installs, runs from /usr/bin and removes cleanly"
