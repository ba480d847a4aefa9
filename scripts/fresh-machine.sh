#!/usr/bin/env bash
# Proves the set-up on a machine that had nothing: a minimal Debian 12 (debootstrap, variant
# minbase) in a temporary folder gets a clone of this checkout and runs scripts/test.sh inside,
# as a new user's machine would. Only what reaches the package registries is taken from this
# machine: its apt sources, its certificate authorities, /etc/pip.conf and npm's configuration.
# Prints the time taken and the exit status of test.sh, which is its own. Needs root and network
# access to the registries; takes long (everything is built from nothing), so CI does not run it.
# usage: scripts/fresh-machine.sh [WORK_FOLDER]   (default: a new folder in $TMPDIR or /tmp)
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)

if [ "$(id -u)" -ne 0 ]; then
    echo "fresh-machine: needs root (debootstrap, chroot and mounts)" >&2
    exit 2
fi
if ! command -v debootstrap >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap
fi

made=
if [ -n "${1:-}" ]; then work=$1; else work=$(mktemp -d "${TMPDIR:-/tmp}/vexlor-fresh-XXXXXX") made=1; fi
root=$work/root
mounted=()
cleanup() {
    local status=$?
    # Unmount in reverse order, whatever happened; a busy mount is detached lazily.
    for ((i = ${#mounted[@]} - 1; i >= 0; --i)); do
        umount -R "${mounted[i]}" 2>/dev/null || umount -R -l "${mounted[i]}" 2>/dev/null || true
    done
    # A machine that passed is not needed again; one that failed is kept to be looked at.
    if [ "$status" -eq 0 ] && [ -n "$made" ] && ! grep -q " $root/" /proc/mounts; then rm -rf "$work"; fi
    exit "$status"
}
inside=
# A signal ends what runs inside too (its own process group), then the mounts go.
stop() {
    [ -n "$inside" ] && kill -TERM -- "-$inside" 2>/dev/null
    wait 2>/dev/null
    exit "$1"
}
trap cleanup EXIT
trap 'stop 130' INT
trap 'stop 143' TERM
trap 'stop 129' HUP

start=$(date +%s)
echo "== debootstrap --variant=minbase bookworm $root"
mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1)
debootstrap --variant=minbase bookworm "$root" "${mirror:-http://deb.debian.org/debian}"

echo "== the registries as this machine reaches them"
rm -f "$root/etc/apt/sources.list"
mkdir -p "$root/etc/apt/sources.list.d"
cp -a /etc/apt/sources.list.d/. "$root/etc/apt/sources.list.d/"
[ -f /etc/apt/sources.list ] && cp /etc/apt/sources.list "$root/etc/apt/"
# Sources this machine has switched off stay off there too.
find "$root/etc/apt/sources.list.d" -type f ! -name '*.list' ! -name '*.sources' -delete
mkdir -p "$root/usr/local/share/ca-certificates" "$root/etc/ssl/certs"
[ -d /usr/local/share/ca-certificates ] &&
    cp -a /usr/local/share/ca-certificates/. "$root/usr/local/share/ca-certificates/"
cp /etc/ssl/certs/ca-certificates.crt "$root/etc/ssl/certs/"
[ -f /etc/pip.conf ] && cp /etc/pip.conf "$root/etc/"
for npmrc in /etc/npmrc /usr/etc/npmrc /root/.npmrc; do
    if [ -f "$npmrc" ]; then
        mkdir -p "$root$(dirname "$npmrc")"
        cp "$npmrc" "$root$npmrc"
    fi
done
cp /etc/resolv.conf "$root/etc/resolv.conf"

echo "== a clone of $source"
git clone --quiet --no-hardlinks "$source" "$root/root/optvexlor"
git -C "$root/root/optvexlor" checkout --quiet "$(git -C "$source" rev-parse HEAD)"
echo "   at $(git -C "$root/root/optvexlor" log -1 --format='%h %s')"

mount -t proc proc "$root/proc" && mounted+=("$root/proc")
mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" && mounted+=("$root/dev")

echo "== scripts/test.sh in the fresh machine"
status=0
# A clean environment: nothing of this machine's shell but what reaches the registries.
# In the background, so that a signal to this script is handled at once.
setsid env -i HOME=/root TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 SSL_CERT_FILE=/etc/ssl/certs/ca-certificates.crt \
    NODE_EXTRA_CA_CERTS=/etc/ssl/certs/ca-certificates.crt \
    chroot "$root" bash -c 'cd /root/optvexlor && scripts/test.sh' &
inside=$!
wait "$inside" || status=$?

elapsed=$(($(date +%s) - start))
printf 'fresh-machine: scripts/test.sh exited with status %d after %dh %02dm %02ds (%s)\n' \
    "$status" $((elapsed / 3600)) $((elapsed % 3600 / 60)) $((elapsed % 60)) "$root"
exit "$status"
