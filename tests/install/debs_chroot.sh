#!/usr/bin/env bash
# The packages on a clean Debian 12: in CHROOT (a debootstrap --variant=minbase bookworm
# tree, which this script changes), install the three .deb files with apt, run the batch
# example with the installed programs and build and run the C host against the installed
# -dev package, then purge them: every file they brought, their dependencies included,
# must be gone. Needs root. Usage: debs_chroot.sh CHROOT DEB_DIR
set -euo pipefail
root=$(cd "$1" && pwd)
debs=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
[ "$(id -u)" -eq 0 ] || { echo "debs_chroot.sh needs root (chroot, mount)"; exit 1; }

in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
                LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
mount --bind /proc "$root/proc"
trap 'umount "$root/proc"' EXIT
cp /etc/resolv.conf "$root/etc/resolv.conf"
rm -rf "$root/tmp/debs" && mkdir -p "$root/tmp/debs"
cp "$debs"/*.deb "$here/c_host.c" "$root/tmp/debs/"

# A C compiler and pkg-config first, as a host developer has them; then the snapshot.
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends gcc libc6-dev pkg-config >/dev/null
snapshot() {
    in_root find / -xdev \( -path /proc -o -path /tmp -o -path /var/cache/apt -o -path /var/lib/apt \
        -o -path /var/log -o -path /var/cache/debconf -o -path /var/cache/ldconfig \) -prune \
        -o -print | LC_ALL=C sort
}
snapshot >"$root/tmp/before.txt"
before_kib=$(du -sxk "$root" | cut -f1)

echo "-- apt install ./*.deb"
in_root sh -c 'cd /tmp/debs && apt-get install -y -qq --no-install-recommends ./*.deb' | tail -n 3
after_kib=$(du -sxk "$root" | cut -f1)
echo "   installed: $(( (after_kib - before_kib) / 1024 )) MiB with the dependencies"
in_root dpkg -l 'librv-makedb*' rv-makedb | grep '^ii'

echo "-- batch example (docs/guide.md, Batch mode)"
in_root sh -c "cd /tmp && printf 'MAIL1\tメール\t文字\t100\tOFF\tPCメール\nNAME\t氏名\t文字\t40\nAGE\t年齢\t数字\n' > fields.txt &&
    QT_QPA_PLATFORM=offscreen rv_makedb --fields fields.txt -p secret /tmp/address.mdb &&
    rv_sql -p secret /tmp/address.mdb 'select FIELD_ID from FIELD'"
man_ok=$(in_root sh -c 'test -f /usr/share/man/man1/rv_makedb.1.gz && echo yes')
[ "$man_ok" = yes ] || { echo "no man page"; exit 1; }

echo "-- C host against the installed librv-makedb-dev"
in_root sh -c 'cd /tmp/debs && cc -std=c99 -Wall -Wextra -pedantic -Werror c_host.c -o c_host $(pkg-config --cflags --libs rv_makedb) && QT_QPA_PLATFORM=offscreen ./c_host /tmp'

echo "-- apt purge, then autoremove"
in_root apt-get purge -y -qq librv-makedb0 librv-makedb-dev rv-makedb | tail -n 1
in_root apt-get autoremove --purge -y -qq | tail -n 1
rm -f "$root/tmp/address.mdb"
snapshot >"$root/tmp/after.txt"
if ! diff "$root/tmp/before.txt" "$root/tmp/after.txt"; then
    echo "FAIL: files left behind or removed (above)"
    exit 1
fi
echo "ok: nothing left"
