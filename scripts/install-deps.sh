#!/usr/bin/env bash
# Installs the Debian packages Fretlore needs to build, test and run.
# Quiet when everything is already present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  libsdl2-dev libsdl2-image-dev libagg-dev
  libsndfile1-dev libsamplerate0-dev
  libfreetype-dev fonts-dejavu-core fonts-liberation console-setup-linux zlib1g-dev
  libfftw3-dev
  libcairo2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth clang-format poppler-utils libxml2-utils
  dpkg-dev desktop-file-utils appstream man-db
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "install-deps: installing ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
  sudo=()
elif command -v sudo >/dev/null; then
  sudo=(sudo)
else
  echo "install-deps: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive

# Another package manager (an unattended upgrade, a software centre) may hold apt's locks
# for a while: wait for it, up to five minutes, rather than fail at once.
apt_waiting() {
  local waited=0 out
  until out=$("${sudo[@]}" apt-get -o DPkg::Lock::Timeout=300 "$@" 2>&1); do
    if grep -qiE "could not get lock|unable to lock|unable to acquire" <<<"$out" && ((waited < 300)); then
      ((waited == 0)) && echo "install-deps: another package manager holds the lock; waiting for it"
      sleep 5
      waited=$((waited + 5))
    else
      echo "$out" >&2
      return 1
    fi
  done
}
apt_waiting update -qq
apt_waiting install -y -qq --no-install-recommends "${missing[@]}"
