#!/usr/bin/env bash
# Checks the packages scripts/release.sh made in dist/, as their users would
# use them, on the demo image (its expected output: demo/demo-output.txt):
#
# - SHA256SUMS verifies;
# - the tarball: one top folder, a statically linked program that writes the
#   demo's output, the manual page, README and LICENSE;
# - the .deb: its files, owners and modes, a stripped program, lintian with
#   no error; installed with dpkg -i (as root), the program runs from PATH
#   and `man n64zirelcnv` shows the page; removed again afterwards;
# - the zip: one top folder, README.txt and LICENSE.txt with CRLF, the .exe
#   under wine writes the demo's output.
#
#   bash scripts/release.sh && bash scripts/check-release.sh
#
# Needs file, lintian, unzip, wine; root for the installation of the .deb
# (skipped, and said so, otherwise). Works in build-release-check/.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "check-release: $*" >&2
  exit 1
}
step() { printf '\n== %s\n' "$*"; }

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build-release-linux/CPackConfig.cmake)
[ -n "$version" ] || fail "no version in build-release-linux/CPackConfig.cmake (run scripts/release.sh first)"
tarball=n64zirelcnv-$version-linux-x86_64.tar.gz
deb=n64zirelcnv_${version}_amd64.deb
zip=n64zirelcnv-$version-windows-x86_64.zip
expected=$PWD/demo/demo-output.txt

work=$PWD/build-release-check
rm -rf "$work"
mkdir -p "$work/demo"
cp demo/zirel.tbl "$work/demo/"
build-release-linux/tools/zirel_mkimage demo-image "$work/demo/demo.z64"

# Runs a program on the demo image in the demo folder (which holds
# zirel.tbl) and compares what it wrote with the demo's expected output:
# demo_run WHAT COMMAND...
demo_run() {
  local what=$1 status=0
  shift
  (cd "$work/demo" && "$@" demo.z64 > "$work/$what.out") || status=$?
  [ "$status" = 0 ] || fail "$what: status $status on the demo image"
  cmp "$work/$what.out" "$expected" || fail "$what: output differs from demo/demo-output.txt"
  echo "$what: the demo's expected output, status 0"
}

step "SHA256SUMS"
(cd dist && sha256sum -c SHA256SUMS)
for file in "$tarball" "$deb" "$zip" "n64zirelcnv-$version.html"; do
  grep -q " $file\$" dist/SHA256SUMS || fail "SHA256SUMS does not cover $file"
done

step "$tarball"
tar tzvf "dist/$tarball"
tops=$(tar tzf "dist/$tarball" | cut -d/ -f1 | sort -u)
[ "$tops" = "n64zirelcnv-$version-linux-x86_64" ] || fail "tarball's top folders: $tops"
mkdir "$work/tar"
tar xzf "dist/$tarball" -C "$work/tar"
top=$work/tar/$tops
for file in bin/n64zirelcnv share/man/man1/n64zirelcnv.1 \
            share/doc/n64zirelcnv/README.md share/doc/n64zirelcnv/LICENSE; do
  [ -f "$top/$file" ] || fail "tarball: no $file"
done
for program in "$top"/bin/*; do
  description=$(file -b "$program")
  echo "${program#"$top"/}: $description"
  case $description in
    *"statically linked"*) ;;
    *) fail "tarball: ${program#"$top"/} is not statically linked" ;;
  esac
done
demo_run tarball "$top/bin/n64zirelcnv"

step "$deb"
dpkg-deb -I "dist/$deb"
dpkg-deb -c "dist/$deb" | tee "$work/deb-contents.txt"
for file in ./usr/bin/n64zirelcnv ./usr/share/man/man1/n64zirelcnv.1.gz \
            ./usr/share/doc/n64zirelcnv/copyright; do
  grep -q " $file\$" "$work/deb-contents.txt" || fail ".deb: no $file"
done
# Owned by root, directories and programs 0755, other files 0644.
awk '$2 != "root/root" { print "owner: " $0; bad = 1 }
     $1 ~ /^d/ && $1 != "drwxr-xr-x" { print "mode: " $0; bad = 1 }
     $1 ~ /^-/ && $6 ~ /^\.\/usr\/bin\// && $1 != "-rwxr-xr-x" { print "mode: " $0; bad = 1 }
     $1 ~ /^-/ && $6 !~ /^\.\/usr\/bin\// && $1 != "-rw-r--r--" { print "mode: " $0; bad = 1 }
     END { exit bad }' "$work/deb-contents.txt" || fail ".deb: owners or modes above"
for field in Package Version Architecture Maintainer Section Depends Description; do
  [ -n "$(dpkg-deb -f "dist/$deb" "$field")" ] || fail ".deb: no $field field"
done
mkdir "$work/deb"
dpkg-deb -x "dist/$deb" "$work/deb"
for program in "$work"/deb/usr/bin/*; do
  description=$(file -b "$program")
  echo "${program#"$work"/deb}: $description"
  case $description in
    *", stripped"*) ;;
    *) fail ".deb: ${program#"$work"/deb} is not stripped" ;;
  esac
done
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  "$work/deb/usr/share/doc/n64zirelcnv/copyright" || fail ".deb: copyright file not machine-readable"
grep -q 'Permission is hereby granted, free of charge' \
  "$work/deb/usr/share/doc/n64zirelcnv/copyright" || fail ".deb: copyright file without the license"
echo "lintian:"
lintian "dist/$deb" 2>&1 | grep -v 'running with root privileges' | tee "$work/lintian.txt" || true
[ -s "$work/lintian.txt" ] || echo "(lintian said nothing)"
if grep -q '^E:' "$work/lintian.txt"; then
  fail ".deb: lintian reports errors"
fi

if [ "$(id -u)" = 0 ]; then
  # Minimal Debian images leave manual pages out (path-exclude in
  # /etc/dpkg/dpkg.cfg.d/); the package's own pages are let in, so that the
  # page is checked as the package installs it.
  dpkg --path-include='/usr/share/man/man1/*' -i "dist/$deb"
  trap 'dpkg -r n64zirelcnv > /dev/null' EXIT
  [ "$(command -v n64zirelcnv)" = /usr/bin/n64zirelcnv ] || fail "n64zirelcnv is not /usr/bin/n64zirelcnv on PATH"
  demo_run installed n64zirelcnv
  page=$(man -w n64zirelcnv)
  [ "$page" = /usr/share/man/man1/n64zirelcnv.1.gz ] || fail "man -w n64zirelcnv: $page"
  MANWIDTH=80 MANPAGER=cat man --warnings n64zirelcnv > "$work/man.txt" 2> "$work/man-warnings.txt"
  if [ -s "$work/man-warnings.txt" ]; then
    cat "$work/man-warnings.txt"
    fail "man n64zirelcnv: warnings"
  fi
  for heading in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" DIAGNOSTICS EXAMPLES "SEE ALSO"; do
    grep -q "^$heading" "$work/man.txt" || fail "man n64zirelcnv: no $heading"
  done
  echo "man n64zirelcnv: $(wc -l < "$work/man.txt") lines, no warning"
else
  echo "not root: the .deb is not installed"
fi

step "$zip"
unzip -l "dist/$zip"
tops=$(unzip -Z1 "dist/$zip" | cut -d/ -f1 | sort -u)
[ "$tops" = "n64zirelcnv-$version-windows-x86_64" ] || fail "zip's top folders: $tops"
mkdir "$work/zip"
unzip -q "dist/$zip" -d "$work/zip"
top=$work/zip/$tops
for text in README.txt LICENSE.txt; do
  [ -f "$top/$text" ] || fail "zip: no $text"
  # Every line ends in CR LF.
  lines=$(wc -l < "$top/$text")
  crlf=$(grep -c $'\r$' "$top/$text" || true)
  [ "$lines" -gt 0 ] && [ "$lines" = "$crlf" ] && [ -z "$(tail -c 1 "$top/$text" | tr -d '\n')" ] \
    || fail "zip: $text: $lines lines, $crlf of them end in CR LF"
done
[ -f "$top/n64zirelcnv.exe" ] || fail "zip: no n64zirelcnv.exe"
file "$top"/*.exe
# Quiet wine, a prefix of its own, no downloads of .NET or HTML engines.
export WINEPREFIX=$work/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout -k 10 600 wine wineboot -i > "$work/wineboot.log" 2>&1
demo_run zip timeout -k 10 300 wine "$top/n64zirelcnv.exe"
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
"$wineserver" -k 2> /dev/null || true

step "all packages checked"
