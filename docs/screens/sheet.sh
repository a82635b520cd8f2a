#!/usr/bin/env bash
# Draws sheet.png: a four-chord sequence printed by `fretlore sheet`, its page rendered at
# 60 dots an inch. Run from this folder after building (cmake --build --preset ci).
set -euo pipefail
fretlore=${FRETLORE:-../../build/ci/app/fretlore}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

byte() { printf "\\x$(printf %02x "$1")"; }
# A little-endian 32-bit word.
word() { local v=$(($1 & 0xffffffff)); byte $((v & 255)); byte $((v >> 8 & 255)); byte $((v >> 16 & 255)); byte $((v >> 24)); }
# One 32-byte step: root, chord type, shape, length in quarter bars, split, then six frets.
step() {
  byte "$1"; byte "$2"; byte "$3"; byte "$4"; byte "$5"; byte 0; byte 0; byte 0
  for fret in "${@:6}"; do word "$fret"; done
}
{
  word 4
  step 7 0 0 4 0 3 2 0 0 0 3     # G Major
  step 4 1 0 4 0 0 2 2 0 0 0     # E Minor
  step 0 0 0 8 0 -1 3 2 0 1 0    # C Major, two bars
  step 2 0 0 2 0 -1 -1 0 2 3 2   # D Major, half a bar
  head -c $((20 * 32)) /dev/zero
} >"$work/four-chords.seq"

"$fretlore" sheet "$work/four-chords.seq" --pdf "$work/sheet.pdf"
pdftoppm -r 60 -png -singlefile "$work/sheet.pdf" sheet
