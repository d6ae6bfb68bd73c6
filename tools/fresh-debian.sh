#!/bin/sh
# A fresh machine, as a person who installs Debian today has one: a minimal
# Debian of the given release (debootstrap --variant=minbase, plus git, make
# and sudo) in a folder, a clean clone of the committed tree in it, and the
# README's commands run there. Needs root (debootstrap, chroot, mounts).
#
#   tools/fresh-debian.sh [--root] [--keep] RELEASE [COMMAND...]
#
#   RELEASE   bookworm (12), trixie (13), ...
#   COMMAND   what to run in the clone, each one a shell command line;
#             default: "make run" "make test"
#   --root    run them as root; default: as a user with sudo
#   --keep    leave the machine's folder behind (it is removed otherwise)
#
# The clone is of HEAD as committed, not of the working tree. Before and
# after each command the script records the enabled systemd units and the
# autostart entries; a new one after `make run` fails the run, as `make run`
# must start nothing. It also lists the packages each command installed and
# their download size. Results (the picture `make run` saves without a
# display, the lists, the times) go to OUT (default build/fresh-RELEASE).
#
# Downloads are kept for the next run in FRESH_CACHE (default
# /var/cache/tolvane-fresh): debootstrap's packages and apt's archives.
#
# The machine runs in a mount namespace of its own, so whatever it mounts
# goes when it ends, however it ends; its processes are ended by pid. A
# chroot shares the host's network and so its abstract UNIX sockets: its X
# servers pick their display with -displayfd, and the clock's single-
# instance guard is the host's, so nothing on the host should run the clock
# meanwhile.
set -eu

as_root=0
keep=0
while [ $# -gt 0 ]; do
    case "$1" in
        --root) as_root=1; shift ;;
        --keep) keep=1; shift ;;
        -*) echo "fresh-debian: unknown option $1" >&2; exit 2 ;;
        *) break ;;
    esac
done
release=${1:?usage: tools/fresh-debian.sh [--root] [--keep] RELEASE [COMMAND...]}
shift
[ $# -gt 0 ] || set -- "make run" "make test"

[ "$(id -u)" -eq 0 ] || { echo "fresh-debian: needs root (debootstrap, chroot)" >&2; exit 1; }
repo=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$repo" rev-parse HEAD)
mirror=${FRESH_MIRROR:-http://deb.debian.org/debian}
cache=${FRESH_CACHE:-/var/cache/tolvane-fresh}/$release
out=${OUT:-$repo/build/fresh-$release}
mkdir -p "$cache/debs" "$cache/archives/partial" "$out"
out=$(cd "$out" && pwd)

# Inside a private mount namespace from here on.
if [ -z "${FRESH_DEBIAN_INSIDE:-}" ]; then
    command -v debootstrap >/dev/null || apt-get install -y --no-install-recommends debootstrap
    FRESH_DEBIAN_INSIDE=1 exec unshare --mount --propagation private \
        sh "$0" $( [ $as_root -eq 1 ] && echo --root ) $( [ $keep -eq 1 ] && echo --keep ) \
        "$release" "$@"
fi

machine=$(mktemp -d "${FRESH_DIR:-/var/tmp}/fresh-$release.XXXXXX")
root=$machine/root
log() { echo "fresh-debian: $*" | tee -a "$out/summary.txt" >&2; }
: > "$out/summary.txt"

# Every process whose root is the machine's: ended by pid.
machine_pids() {
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && echo "${p#/proc/}"
    done
    return 0
}
cleanup() {
    set +e
    for signal in TERM KILL; do
        pids=$(machine_pids)
        [ -n "$pids" ] || break
        # shellcheck disable=SC2086
        kill -$signal $pids 2>/dev/null
        sleep 2
    done
    for m in var/cache/apt/archives run dev/shm dev/pts dev sys proc; do
        mountpoint -q "$root/$m" && umount -l "$root/$m"
    done
    if [ $keep -eq 1 ]; then
        log "left the machine in $machine"
    elif grep -q " $root/" /proc/self/mounts; then
        log "something is still mounted in $root; left it there"
    else
        rm -rf "$machine"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

seconds() { date +%s; }
t0=$(seconds)
log "$release: debootstrap into $root"
debootstrap --variant=minbase --include=git,make,sudo --cache-dir="$cache/debs" \
    "$release" "$root" "$mirror" > "$out/debootstrap.log" 2>&1 \
    || { tail -20 "$out/debootstrap.log" >&2; exit 1; }
log "debootstrap: $(( $(seconds) - t0 )) s"

mount -t proc proc "$root/proc"
mount -t sysfs sys "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs shm "$root/dev/shm"
mount -t tmpfs run "$root/run"
mount --bind "$cache/archives" "$root/var/cache/apt/archives"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# A chroot starts no services: they would run on the host's kernel.
printf '#!/bin/sh\nexit 101\n' > "$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"
# apt keeps what it downloads, for the next machine.
echo 'Binary::apt::APT::Keep-Downloaded-Packages "true";' > "$root/etc/apt/apt.conf.d/01keep"
rm -f "$root/etc/apt/apt.conf.d/docker-clean"

if [ $as_root -eq 1 ]; then
    user=root
    home=/root
else
    user=tester
    home=/home/tester
    chroot "$root" useradd --create-home --shell /bin/bash "$user"
    echo "$user ALL=(ALL) NOPASSWD:ALL" > "$root/etc/sudoers.d/$user"
    chmod 440 "$root/etc/sudoers.d/$user"
fi
git clone -q "$repo" "$root$home/tolvane"
git -C "$root$home/tolvane" checkout -q --detach "$commit"
chroot "$root" chown -R "$user:" "$home/tolvane"
log "clone of $commit, commands run as $user"

# What starts by itself: enabled system and user units, autostart entries.
starts() {
    (cd "$root" && find etc/systemd/system etc/systemd/user usr/lib/systemd/user \
        etc/xdg/autostart -path '*.wants/*' -o -path 'etc/xdg/autostart/*' 2>/dev/null) | sort
}
packages() {
    chroot "$root" dpkg-query -W -f '${db:Status-Abbrev} ${Package} ${Version} ${Architecture}\n' \
        | awk '$1 == "ii" { print $2, $3, $4 }' | sort
}
# Download size of the packages in the list $1 (name version arch), from
# the kept archives.
download_kb() {
    total=0
    while read -r name version arch; do
        file="$cache/archives/${name}_$(echo "$version" | sed 's/:/%3a/')_$arch.deb"
        [ -f "$file" ] && total=$(( total + $(stat -c %s "$file") ))
    done < "$1"
    echo $(( total / 1024 ))
}

failed=0
n=0
for command in "$@"; do
    n=$(( n + 1 ))
    name=$(echo "$command" | tr -c 'a-zA-Z0-9\n' '-')
    starts > "$machine/starts-before"
    packages > "$machine/packages-before"
    log "[$n] $command"
    t=$(seconds)
    status=0
    chroot "$root" /usr/sbin/runuser -u "$user" -- env -i HOME="$home" USER="$user" \
        LOGNAME="$user" PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/sbin:/usr/sbin:/sbin \
        LANG=C.UTF-8 TERM=dumb sh -c "cd '$home/tolvane' && $command" \
        > "$out/$n-$name.log" 2>&1 || status=$?
    log "[$n] $command: exit $status after $(( $(seconds) - t )) s (log: $out/$n-$name.log)"
    tail -n 15 "$out/$n-$name.log" >&2
    [ $status -eq 0 ] || failed=1

    packages > "$machine/packages-after"
    comm -13 "$machine/packages-before" "$machine/packages-after" > "$out/$n-$name.packages"
    log "[$n] $command installed $(wc -l < "$out/$n-$name.packages") packages," \
        "$(download_kb "$out/$n-$name.packages") KiB downloaded ($out/$n-$name.packages)"
    starts > "$machine/starts-after"
    new=$(comm -13 "$machine/starts-before" "$machine/starts-after")
    if [ -n "$new" ]; then
        log "[$n] $command made these start by themselves:" $new
        case "$command" in make\ run*) failed=1 ;; esac
    else
        log "[$n] $command enabled no unit and added no autostart entry"
    fi
    for picture in "$root$home"/tolvane/build/linux-user/clock.png; do
        [ -f "$picture" ] && cp "$picture" "$out/$n-clock.png" && rm "$picture" \
            && log "[$n] the picture it saved: $out/$n-clock.png"
    done
done
log "$release as $user: $( [ $failed -eq 0 ] && echo passed || echo FAILED )," \
    "$(( $(seconds) - t0 )) s in all"
exit $failed
