#!/usr/bin/env bash
# The reliability tests' own songs, in OUTDIR, from the shared test songs in
# SONGS (make_songs.sh's output): two very short songs for the transport, and
# the bad ones. Runs once: a finished OUTDIR holds .done.
# Usage: make_songs.sh OUTDIR SONGS
set -euo pipefail
out=$1 songs=$2
[[ -e "$out/.done" ]] && exit 0
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$out"

sox -R -n -r 44100 -c 2 -b 16 "$work/s.wav" synth 0.5 sine 440 sine 660 2>/dev/null
sox -R -n -r 22050 -c 1 -b 16 "$work/m.wav" synth 0.7 sine 330 2>/dev/null
lame --quiet -b 128 "$work/s.wav" short44.mp3
lame --quiet -m m -b 64 "$work/m.wav" short22.mp3

printf '\xff' > one_byte.mp3
head -c 50000 "$songs/cbr128.mp3" > midframe.mp3
head -c 20000 /dev/zero | tr '\0' '\377' > all_ff.mp3
{ perl -e 'srand(11); print map { chr int rand 256 } 1 .. 5000'; cat "$songs/cbr128.mp3"; } > junk_before.mp3
# An ID3v2.3 tag whose header claims 1 000 000 bytes, in a file of 30 000.
{ printf 'ID3\x03\x00\x00\x00\x3d\x04\x36'; head -c 29990 "$songs/cbr128.mp3"; } > id3_overclaim.mp3
# 44.1 kHz stereo and then 22.05 kHz mono in one file.
cat "$songs/cbr128.mp3" "$songs/mono22k.mp3" > two_formats.mp3
# 2 GiB + 1 000 bytes: real frames at the start, a hole of zeros after them.
truncate -s $((2 * 1024 * 1024 * 1024 + 1000)) huge.mp3
dd if="$songs/cbr128.mp3" of=huge.mp3 conv=notrunc status=none

touch .done
