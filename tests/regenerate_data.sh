#!/usr/bin/env bash
# Regenerates the glyph atlases with the Unicode atlas's lookup, the BIG5
# table, detection's character costs and the encoding room's tables with
# their list of choices from Debian's packages and compares them byte for
# byte with the committed files. Skips (77) when the generators' inputs are
# not installed.
set -euo pipefail
source_folder=$1
out=$2
for input in /usr/share/fonts/X11/misc/wenquanyi_10pt.pcf /usr/share/fonts/X11/misc/7x13.pcf.gz \
  /usr/share/i18n/charmaps/GB2312.gz /usr/share/man/zh_CN /usr/share/man/zh_TW \
  /usr/lib/python3/dist-packages/jieba/dict.txt /usr/share/ibus-table/tables/cantonese.db; do
  [ -e "$input" ] || { echo "skipped: $input is not installed"; exit 77; }
done
for command in pcf2bdf opencc iconv python3; do
  command -v "$command" > /dev/null || { echo "skipped: $command is not installed"; exit 77; }
done
# The Unicode atlas's widths are those of Python 3.11's Unicode 14.0.0.
python3 -c 'import sys, unicodedata; sys.exit(unicodedata.unidata_version != "14.0.0")' ||
  { echo "skipped: python3's Unicode data is not version 14.0.0"; exit 77; }
mkdir -p "$out"
python3 "$source_folder/tools/make_font_atlas.py" --output "$out/font.bmp" \
  --glyphs-output "$out/glyphs.bmp" --lookup-output "$out/unicode_cells.cpp" > "$out/font.log"
python3 "$source_folder/tools/make_big5_map.py" --output-dir "$out" > "$out/big5.log"
python3 "$source_folder/tools/make_detect_model.py" --output "$out/detect_model.cpp" > /dev/null
python3 "$source_folder/tools/make_encoding_tables.py" --output-dir "$out" \
  --docs "$out/encoding-choices.md" > /dev/null
status=0
if cmp "$out/detect_model.cpp" "$source_folder/conversion/detect_model.cpp"; then
  echo "detect_model.cpp: identical"
else
  echo "detect_model.cpp differs from the committed conversion/detect_model.cpp"
  status=1
fi
if cmp "$out/unicode_cells.cpp" "$source_folder/document/unicode_cells.cpp"; then
  echo "unicode_cells.cpp: identical"
else
  echo "unicode_cells.cpp differs from the committed document/unicode_cells.cpp"
  status=1
fi
for file in font.bmp glyphs.bmp big5_map.bin code.bmp; do
  if cmp "$out/$file" "$source_folder/resources/$file"; then
    echo "$file: identical"
  else
    echo "$file differs from the committed resources/$file"
    status=1
  fi
done
for file in gb_tables.cpp big5_tables.cpp; do
  if cmp "$out/$file" "$source_folder/encoding/$file"; then
    echo "$file: identical"
  else
    echo "$file differs from the committed encoding/$file"
    status=1
  fi
done
if cmp "$out/encoding-choices.md" "$source_folder/docs/encoding-choices.md"; then
  echo "encoding-choices.md: identical"
else
  echo "encoding-choices.md differs from the committed docs/encoding-choices.md"
  status=1
fi
exit $status
