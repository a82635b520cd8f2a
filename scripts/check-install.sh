#!/usr/bin/env bash
# Installs a build into a scratch prefix and builds its Debian package, unpacks that, and
# checks that both layouts are complete, valid for the desktop, and run.
#   scripts/check-install.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$2
rm -rf "$work" && mkdir -p "$work"
work=$(cd "$work" && pwd)

fail() { echo "check-install: $*" >&2; exit 1; }

# The program of a layout, run as a new user would: no FRETLORE_HOME, an empty home.
check_layout() {
  local prefix=$1 home=$2
  local bin=$prefix/bin/fretlore share=$prefix/share
  for f in bin/fretlore share/fretlore/g1.sampler share/fretlore/g6.sampler \
           share/applications/org.fretlore.Fretlore.desktop \
           share/metainfo/org.fretlore.Fretlore.metainfo.xml share/mime/packages/fretlore.xml \
           share/icons/hicolor/48x48/apps/fretlore.png share/icons/hicolor/256x256/apps/fretlore.png \
           share/icons/hicolor/scalable/apps/fretlore.svg share/man/man1/fretlore.1; do
    [[ -s $prefix/$f ]] || fail "$prefix/$f is missing"
  done
  # PNG width and height are big-endian words at bytes 16 and 20.
  for size in 48 256; do
    local dims
    dims=$(od -An -tu1 -j16 -N8 "$share/icons/hicolor/${size}x${size}/apps/fretlore.png" | tr -s ' ')
    local want
    want=$(printf ' 0 0 %d %d 0 0 %d %d' $((size >> 8)) $((size & 255)) $((size >> 8)) $((size & 255)))
    [[ $dims == "$want" ]] || fail "the ${size} px icon's size bytes are$dims"
  done
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$share/applications/org.fretlore.Fretlore.desktop" ||
      fail "the desktop file does not validate"
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$share/metainfo/org.fretlore.Fretlore.metainfo.xml" >/dev/null ||
      fail "the metainfo does not validate"
  fi
  if command -v man >/dev/null; then
    MANWIDTH=80 man -l "$share/man/man1/fretlore.1" 2>/dev/null | grep -q "HEADLESS SCRIPTS" ||
      fail "the man page does not render"
  fi
  mkdir -p "$home"
  local out err
  out=$("$bin" --version) || fail "fretlore --version failed"
  [[ $out == "Fretlore "* ]] || fail "fretlore --version printed: $out"
  out=$(env -u FRETLORE_HOME -u XDG_DATA_HOME HOME="$home" "$bin" chords C Major) ||
    fail "fretlore chords failed"
  grep -q "C Major" <<<"$out" || fail "fretlore chords printed: $out"
  # Rendering finds the instruments in share/fretlore too: nothing said on stderr.
  err=$(env -u FRETLORE_HOME HOME="$home" "$bin" render --strum G Major --out "$home/g.wav" 2>&1 >/dev/null) ||
    fail "fretlore render failed: $err"
  [[ -z $err && -s $home/g.wav ]] || fail "fretlore render said: $err"
  printf 'key Enter\nkey g\nframes 2\nstate %s/state.json\n' "$home" >"$home/script.txt"
  err=$(env -u FRETLORE_HOME -u XDG_DATA_HOME HOME="$home" \
        "$bin" --headless --script "$home/script.txt" --shot "$home/shot.png" 2>&1) ||
    fail "the headless run failed: $err"
  # The instruments come from share/fretlore: nothing is said about synthesised strings.
  [[ -z $err ]] || fail "the headless run said: $err"
  grep -q '"root": 7' "$home/state.json" || fail "the script's key did not reach the program"
  [[ -s $home/shot.png ]] || fail "no screenshot"
  [[ -d $home/.local/share/fretlore/Sequences ]] || fail "the user's Sequences folder was not made"
}

cmake --install "$build" --prefix "$work/prefix" >/dev/null
check_layout "$work/prefix" "$work/home-install"

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null) ||
  fail "cpack failed"
deb=$(ls "$work"/package/fretlore_*_amd64.deb 2>/dev/null | head -1)
[[ -n $deb ]] || fail "no package was made"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2 libsndfile1 libfftw3 libsamplerate0 libcairo2; do
  grep -q "$lib" <<<"$depends" || fail "the package does not depend on $lib: $depends"
done
dpkg-deb -x "$deb" "$work/root"
check_layout "$work/root/usr" "$work/home-package"
echo "check-install: $(basename "$deb") and the installed layout are complete and run"
