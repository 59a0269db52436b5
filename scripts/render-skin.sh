#!/usr/bin/env bash
# Renders the skin images from their SVG sources.
#
#   scripts/render-skin.sh [skin folder [output folder]]
#
# The skin folder defaults to skins/Kalvo; the images go into it unless an output folder
# is given (the tests render into a temporary folder and compare).
#
# The folder's src/images.txt lists one image per line:
#   OUTPUT.png  SOURCE.svg  [STYLE.css[,STYLE.css...] | -]  [shaped]
# Style sheets switch a source's look (pressed, other states) without a second drawing.
# "shaped" marks a window image: its outline is made hard (no half-covered pixels) and
# every pixel outside it gets one key colour, fully transparent, so the pixel at (0, 0)
# names the colour that the window shape leaves out.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
skin=${1:-$here/skins/Kalvo}
src=$skin/src
out_dir=${2:-$skin}
mkdir -p "$out_dir"
key='#FF00FF'
edge='#35424F'   # colour that half-covered outline pixels are flattened onto
# No time stamps or other text chunks: rendering the same source gives the same file.
png_options='-strip -define png:exclude-chunks=date,time'

for tool in rsvg-convert convert; do
  command -v "$tool" >/dev/null || { echo "render-skin: $tool is missing (librsvg2-bin, imagemagick)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

render() {
  local out=$1 svg=$2 styles=$3 mode=$4
  local css=()
  if [ "$styles" != "-" ]; then
    local sheet=$work/style.css
    : >"$sheet"
    IFS=, read -ra names <<<"$styles"
    for name in "${names[@]}"; do cat "$src/$name" >>"$sheet"; done
    css=(-s "$sheet")
  fi
  rsvg-convert "${css[@]}" "$src/$svg" -o "$work/raw.png"
  if [ "$mode" = shaped ]; then
    # Opaque inside (alpha >= 50 %), key colour with alpha 0 outside.
    convert "$work/raw.png" -background "$edge" -flatten \
      \( "$work/raw.png" -alpha extract -threshold 50% \) \
      -alpha off -compose CopyOpacity -composite \
      -background "$key" -alpha background $png_options "PNG32:$out_dir/$out"
  else
    convert "$work/raw.png" $png_options "PNG32:$out_dir/$out"
  fi
  echo "rendered $out"
}

while read -r out svg styles mode; do
  case "$out" in ''|'#'*) continue ;; esac
  render "$out" "$svg" "${styles:--}" "${mode:-}"
done <"$src/images.txt"
