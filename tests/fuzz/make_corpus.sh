#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes a seed corpus for settings_reader_fuzz into folder $1: whole files of
# both kinds, an empty list, and lists with more records than free slots, so
# that the fuzzer starts from inputs the reader accepts.
set -euo pipefail
out=${1:?usage: make_corpus.sh FOLDER}
mkdir -p "$out"

le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
zeros() { head -c "$1" /dev/zero; }
# A zero-terminated text in a field of $2 bytes.
field() { printf '%s' "$1"; zeros $(($2 - ${#1})); }
header() { le32 "$1"; le32 1; le32 "$2"; }

# Pink noise 100..20000 Hz, surf 30 % every 20 s, named $1: 96 bytes.
noise() {
  printf '\x02\0\0\0'; le32 440
  printf '\0\0\0\0\0\0\x59\x40'; printf '\0\0\0\0\0\x88\xd3\x40'
  printf '\0\0\0\0\0\0\x3e\x40'; printf '\0\0\0\0\0\0\x34\x40'
  field "$1" 50; zeros 6
}
# Fades of 10 s, 01:19:00, named $1, file $2: 332 bytes.
file() { le32 10; le32 10; le32 1; le32 19; le32 0; field "$1" 50; field "$2" 260; zeros 2; }

header 0 3 >"$out/noise-empty"
{ header 2 1; noise "Night"; noise "Rain"; } >"$out/noise-two"
{ header 94 5; for i in $(seq 94); do noise "n$i"; done; } >"$out/noise-more-than-room"
{ header 2 0; file "Nap" "/home/user/nap.wav"; file "Long" "/tmp/long.wav"; } >"$out/file-two"
{ header 101 7; for i in $(seq 101); do file "f$i" "/x/$i.wav"; done; } >"$out/file-more-than-room"
