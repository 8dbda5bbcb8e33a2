#!/usr/bin/env bash
# Checks that .ci/run passes on a machine that has only what scripts/setup.sh
# installs: builds a minimal, up-to-date Debian 12 (bookworm) in a folder with
# debootstrap, puts a fresh clone of the project in it and runs .ci/run there
# as root, the way CI runs it (CI=true, no display, no standard input).
#   bash scripts/clean-machine-check.sh [REF|FOLDER] [WORK]
# REF     a commit, branch or tag of this repository (default HEAD), cloned fresh
# FOLDER  a folder copied in as it is (say, a clone with a change not yet committed)
# WORK    an empty or new folder to build the machine in (default: a new one
#         under /tmp); removed at the end unless KEEP=1
# MIRROR and SECURITY_MIRROR override Debian's package mirrors.
# By hand only, as root: it needs debootstrap (apt-get install debootstrap),
# Debian's mirror and about 2 GB of disk, and takes 8 minutes on two idle
# cores (20 on busy ones). Prints how long each step took and ends with
# "clean machine: PASSED" or "clean machine: FAILED"; the exit code says the
# same, and a failed run's folder is kept.
set -euo pipefail

if [ "${CI:-}" = true ]; then
  echo "clean-machine-check.sh builds a whole machine: run it by hand, not in CI" >&2
  exit 2
fi
[ "$(id -u)" -eq 0 ] || { echo "run as root" >&2; exit 2; }
for tool in debootstrap unshare chroot git; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 2; }
done

project=$(cd "$(dirname "$0")/.." && pwd)
source=${1:-HEAD}
mirror=${MIRROR:-http://deb.debian.org/debian}
security_mirror=${SECURITY_MIRROR:-http://deb.debian.org/debian-security}
commit=
if [ ! -d "$source" ]; then
  commit=$(git -C "$project" rev-parse --verify --quiet "$source^{commit}") ||
    { echo "$source is neither a folder nor a commit of $project" >&2; exit 2; }
fi
if [ -n "${2:-}" ]; then
  work=$(mkdir -p "$2" && cd "$2" && pwd)
  [ -z "$(ls -A "$work")" ] || { echo "$work is not empty" >&2; exit 2; }
else
  work=$(mktemp -d /tmp/quillora-clean-XXXXXX)
fi
root=$work/root

# The machine's mounts live in their own namespace and end with it; should one
# still show under the folder, it is left alone rather than deleted through.
cleanup() {
  if [ "${KEEP:-}" = 1 ]; then
    echo "kept: $work"
  elif grep -q " $root/" /proc/mounts; then
    echo "something is still mounted under $root: not removed" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT

started=$SECONDS
step_started=$SECONDS
step() {
  echo "== $1 (after $((SECONDS - started)) s)"
  step_started=$SECONDS
}
step_done() { echo "   took $((SECONDS - step_started)) s"; }

step "debootstrap: minimal Debian 12 into $root"
if ! debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1; then
  tail -20 "$work/debootstrap.log"
  echo "clean machine: FAILED (debootstrap)"
  exit 1
fi
step_done

# The package sources of a fresh install, with its updates; no daemon that a
# package brings is started (it would run outside the machine's folder).
cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb $security_mirror bookworm-security main
EOF
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"
cp /etc/resolv.conf "$root/etc/resolv.conf"

step "project: $source"
dest=$root/root/quillora
if [ -z "$commit" ]; then
  mkdir -p "$dest"
  cp -a "$source/." "$dest/"
else
  git clone --quiet --no-local "$project" "$dest"
  git -C "$dest" checkout --quiet --detach "$commit"
  echo "   commit $commit"
fi
step_done

# Xvfb's socket names are shared with this machine, not kept in the folder:
# the displays that this machine's own test runs take (from :99 up) are marked
# taken inside, so the run inside takes :400 or above.
for n in $(seq 99 399); do : >"$root/tmp/.X$n-lock"; done

# Runs its arguments as root inside the machine, in new mount, process and
# shared-memory namespaces: /proc, /sys, /dev and /dev/pts are there, and every
# mount and process ends with the command.
inside() {
  unshare --mount --pid --ipc --fork --propagation private bash -c '
    set -e
    root=$1; shift
    mount -t proc proc "$root/proc"
    mount --bind /sys "$root/sys"
    mount --bind /dev "$root/dev"
    mount --bind /dev/pts "$root/dev/pts"
    mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
    exec chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb CI=true \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
  ' inside "$root" "$@" </dev/null
}

step "apt-get update and upgrade (a fresh install is up to date)"
if ! inside bash -c 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get upgrade -y -qq' >"$work/upgrade.log" 2>&1; then
  tail -20 "$work/upgrade.log"
  echo "clean machine: FAILED (upgrade)"
  exit 1
fi
step_done

step "bash .ci/run inside (log: $work/ci.log)"
status=0
inside bash -c 'cd /root/quillora && bash .ci/run' >"$work/ci.log" 2>&1 || status=$?
step_done
grep -E 'tests passed|tests failed|Installing:' "$work/ci.log" || true
echo "total $((SECONDS - started)) s"
if [ "$status" -eq 0 ]; then
  echo "clean machine: PASSED"
else
  tail -40 "$work/ci.log"
  echo "clean machine: FAILED (.ci/run exit code $status)"
  KEEP=1
fi
exit "$status"
