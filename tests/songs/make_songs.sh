#!/usr/bin/env bash
# Makes the test songs in OUTDIR with sox and lame. Runs once: a finished
# OUTDIR holds .done and is left alone.
set -euo pipefail

if [[ $# -ne 1 ]]; then
    echo "usage: $0 OUTDIR" >&2
    exit 2
fi
out=$1
[[ -e "$out/.done" ]] && exit 0

for tool in sox lame; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing" >&2; exit 1; }
done

mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$out"

# Tones with noise on top: hardly any decoded sample is exactly zero, so a
# run of silence in a recording stands out. -R keeps the noise repeatable.
tone() { # file rate channels seconds
    local file=$1 rate=$2 channels=$3 seconds=$4
    local gens=(sine 440)
    [[ $channels -eq 2 ]] && gens=(sine 440 sine 660)
    sox -R -n -r "$rate" -c "$channels" -b 16 "$file" \
        synth "$seconds" "${gens[@]}" synth pinknoise mix vol 0.4 2>/dev/null
}

# An ID3v2.3 header announcing size-10 bytes of zero padding.
id3_tag() { # total_bytes
    local body=$(($1 - 10))
    printf 'ID3\x03\x00\x00'
    printf "\\x$(printf %02x $(((body >> 21) & 127)))"
    printf "\\x$(printf %02x $(((body >> 14) & 127)))"
    printf "\\x$(printf %02x $(((body >> 7) & 127)))"
    printf "\\x$(printf %02x $((body & 127)))"
    head -c "$body" /dev/zero
}

tone "$work/s44.wav" 44100 2 4
tone "$work/s44short.wav" 44100 2 3
tone "$work/m22.wav" 22050 1 3
tone "$work/s48.wav" 48000 2 3
tone "$work/m8.wav" 8000 1 2

lame --quiet --cbr -b 128 "$work/s44.wav" cbr128.mp3
lame --quiet -V 4 "$work/s44short.wav" vbr.mp3
lame --quiet -V 4 -t "$work/s44short.wav" vbr_no_header.mp3
lame --quiet -m m -b 64 "$work/m22.wav" mono22k.mp3
lame --quiet -b 160 "$work/s48.wav" rate48k.mp3
lame --quiet -m m -b 24 "$work/m8.wav" mono8k.mp3

{ id3_tag 200000; cat vbr.mp3; } > big_id3.mp3
{ cat cbr128.mp3; printf 'trailing junk %.0s' {1..200}; head -c 3000 /dev/zero; } > junk_end.mp3
cp vbr_no_header.mp3 SONG.MP3
cp mono22k.mp3 "歌曲 测试.mp3"

# example.mp3: exactly 4 000 000 bytes, a 160 000-byte tag and then 10 000
# plain 384-byte frames (48 kHz, 128 kbit/s, no info frame): 240 000 ms.
lame --quiet -t --cbr -b 128 --resample 48 "$work/s48.wav" "$work/frames.mp3"
frames_size=$(stat -c %s "$work/frames.mp3")
if (( frames_size % 384 != 0 )); then
    echo "$0: expected whole 384-byte frames, got $frames_size bytes" >&2
    exit 1
fi
copies=$((3840000 / frames_size + 1))
{
    id3_tag 160000
    for ((i = 0; i < copies; i++)); do cat "$work/frames.mp3"; done | head -c 3840000
} > example.mp3
size=$(stat -c %s example.mp3)
[[ $size -eq 4000000 ]] || { echo "$0: example.mp3 is $size bytes" >&2; exit 1; }

# Bad ones.
: > empty.mp3
head -c 1000 cbr128.mp3 > truncated.mp3
perl -e 'srand(7); print map { chr int rand 256 } 1 .. 20000' > random.mp3
printf 'This is not a song.\nJust some lines of plain text.\n%.0s' {1..100} > text.mp3
mkdir -p folder.mp3
cp "$work/s44short.wav" song.wav

touch .done
