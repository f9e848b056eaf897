#!/usr/bin/env bash
# Writes the seed corpus of the fuzz targets: fuzz/corpus/decode/ and
# fuzz/corpus/run/, small inputs laid out as fuzz_decode.cc and fuzz_run.cc
# read them (fuzz_table_text has its own, make_table_text_seeds.sh). The seeds
# are committed; run this again after changing them.
set -euo pipefail
cd "$(dirname "$0")"

# Bytes given as printf escapes (\xHH), written to a file.
put() { printf '%b' "$2" > "$1"; }

# A table file of $1 cells: cell k holds the character k for printable
# ASCII, nothing otherwise; cell 0x0A holds two line feeds.
table() {
  local cells=$1 k
  for ((k = 0; k < cells; ++k)); do
    if ((k == 0x0A)); then printf '\\x0a\\x0a'
    elif ((k >= 0x20 && k < 0x7F)); then printf '\\x%02x\\x00' "$k"
    else printf '\\x00\\x00'
    fi
  done
}
# 129 cells: 258 bytes, table length byte 86.
TABLE=$(table 129)
TABLE_LEN='\x56'

G16='abcdefghijklmnop'
HEADER='\x00\x00\x00\x00\x00\x00\x00\x00\x80\x00\x00\x00\x00\x00\x00\x00'
HEADER+='\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
HEADER+='ZIRE\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
HEADER+='\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'

rm -rf corpus/decode corpus/run
mkdir -p corpus/decode corpus/run

# fuzz_decode: region size (2 bytes, little-endian), flags, table length,
# table, region bytes.
d=corpus/decode
put $d/wrap-and-breaks "\x20\x00\x00$TABLE_LEN$TABLE${G16}\xcd${G16}q\xcd\xcd\x0a\x0ax"
put $d/truncated "\x40\x00\x00$TABLE_LEN${TABLE}Hi\xcdthere"
put $d/code-after-the-end "\x01\x00\x00$TABLE_LEN$TABLE\x7f\x1a"
put $d/code-missing "\x03\x00\x00$TABLE_LEN${TABLE}ab\x7f"
put $d/arguments-past-the-end "\x0c\x00\x00$TABLE_LEN${TABLE}abcdefghi\x7f\x15\x01\x02"
put $d/placeholders "\x30\x00\x00$TABLE_LEN${TABLE}${G16}\x7f\x1d\x7f\x40\x7f\x00\x7f\x58\x01z\x7f\x7f\x7f\xcd${G16}"
put $d/claims-all "\x08\x00\x01$TABLE_LEN${TABLE}abcdefg\x7fXYZ"
put $d/no-table "\x10\x00\x00\x00\x7f\x02${G16}\xcd"
put $d/empty-region "\x00\x00\x00\x00"
# Long regions (flag 0x02): R = 8 * 0x1234 and 8 * 0x1fff bytes, repeated.
put $d/long-text "\x34\x12\x02$TABLE_LEN${TABLE}${G16}q\xcd\x7f\x1dabc\x7f\x15\x0a\x0a"
put $d/long-cut "\xff\x1f\x0e$TABLE_LEN${TABLE}${G16}\x0a\xcd\xcd\x7f\x40x"

# fuzz_run: flags, table length, header length, table, header, rest.
# Flags: placement in bits 0-1, 0x04 passing header, 0x08 failing output,
# 0x10 no table, end shift v in bits 5-7 (v = 3: the image ends right after
# the region's last byte; v = 4: one byte later).
r=corpus/run
put $r/short-header "\x00\x00\x00${HEADER:0:64}"
put $r/header-only "\x00\x00\x00$HEADER"
put $r/wrong-title "\x00\x00\x00${HEADER:0:128}ZIRO"
put $r/later-release "\x01\x00\x40${HEADER:0:${#HEADER}-4}\x01\x7f\x04"
put $r/region-start "\x05$TABLE_LEN\x00${TABLE}Hi\xcd${G16}q\xcd\x7f\x1a\xcd"
put $r/region-end "\x86$TABLE_LEN\x00${TABLE}${G16}\xcdend\x7f\x1a"
put $r/region-end-cut "\x46$TABLE_LEN\x00${TABLE}${G16}\xcdend\x7f"
put $r/region-start-straddled "\x67$TABLE_LEN\x00${TABLE}${G16}q\xcd\x7f\x1d"
put $r/output-fails "\x0d$TABLE_LEN\x00${TABLE}Hi"
put $r/no-table "\x15\x00\x00Hi"
