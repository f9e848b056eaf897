#!/usr/bin/env bash
# Writes the seed corpus of fuzz_table_text: fuzz/corpus/table_text/, small
# text tables and table files. The seeds are committed; run this again after
# changing them.
set -euo pipefail
cd "$(dirname "$0")"
d=corpus/table_text
rm -rf "$d"
mkdir -p "$d"
put() { printf '%b' "$2" > "$d/$1"; }

put utf8 '00=\xe3\x81\x82\n01=A\n02=AB\n03=\xef\xbd\xb1\xef\xbd\xb2\n20= \n3D==\n7E=\n'
put crlf-and-bom '\xef\xbb\xbf41=A\r\n\r\n42=\xe3\x80\x80\r\n'
put shift-jis '41=\x82\xa0\n42=\xb1\xb2\n43=\xed\x40\n44=\x87\x90\n'
put escaped '0A:0A\n0D:0D0A\n80:81\n81:4182\n82:fdfe\n'
put refused '$F0=<end>\n/FF=\n!F8=K,1\n@T\n*FE\n8140=x\n1=y\n41=A\n41=B\n42=ABC\n43=\xc3\xa9\n44:00\n7F=x\nCD=y\nzz\n'
put look-alikes '41=\xef\xbd\x9e\n42=\xef\xbc\x8d\n43=\xe2\x88\xa5\n44=\xef\xbf\xa2\n45=\xe3\x80\x9c\n46=\xe2\x85\xb0\n'
put bad-utf8 '41=\xe3\x81\n42=\xc0\x80\n43=\xed\xa0\x80\n44=A\x00\n45=A\rB\n'
cp ../demo/zirel.tbl "$d/demo-table"
