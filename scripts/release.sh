#!/usr/bin/env bash
# Makes the release packages into dist/, each from a build of its own that
# starts from nothing:
#
#   n64zirelcnv-VERSION-linux-x86_64.tar.gz    fully static programs, manual
#                                              pages, README and LICENSE
#   n64zirelcnv_VERSION_amd64.deb              the same under /usr
#   n64zirelcnv-VERSION-windows-x86_64.zip     the Windows programs (.exe),
#                                              README.txt and LICENSE.txt
#   n64zirelcnv-VERSION.html                   the browser page (web/)
#   SHA256SUMS                                 over all of them
#
# The packages hold whatever the project installs (cmake/packaging.cmake).
# VERSION is the CMake project's version. Run from anywhere:
#
#   bash scripts/release.sh
#
# Needs g++, cmake, make, dpkg-dev (dpkg-shlibdeps), file, mingw-w64
# (g++-mingw-w64-x86-64-win32) and, for the page, what web/ needs.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-2}
# Dates in the packages (the Debian changelog) from the last commit, so that
# a release of the same commit says the same.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2> /dev/null || date +%s)
fi
export SOURCE_DATE_EPOCH
# Files the build writes are 0644/0755 whatever the caller's umask.
umask 022

for dir in dist build-release-linux build-release-deb build-release-win build-release-web; do
  rm -rf "$dir"
done
mkdir dist

step() { printf '\n== %s\n' "$*"; }

# Builds one configuration and packs it with CPack: package DIR GENERATOR
# CMAKE-ARGS...; the output goes to DIR/release.log.
package() {
  local dir=$1 generator=$2
  shift 2
  mkdir -p "$dir"
  cmake -S . -B "$dir" -DZIREL_TESTS=OFF -DZIREL_BENCH=OFF "$@" > "$dir/release.log" 2>&1 \
    && cmake --build "$dir" -j"$jobs" >> "$dir/release.log" 2>&1 \
    && (cd "$dir" && cpack -G "$generator") >> "$dir/release.log" 2>&1
}
fail() {
  echo "release: $*" >&2
  exit 1
}

step "Linux, fully static: tar.gz"
package build-release-linux TGZ -DCMAKE_EXE_LINKER_FLAGS=-static \
  || { tail -n 30 build-release-linux/release.log; fail "the static Linux build failed"; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build-release-linux/CPackConfig.cmake)
[ -n "$version" ] || fail "no version in build-release-linux/CPackConfig.cmake"
tarball=n64zirelcnv-$version-linux-x86_64.tar.gz
mv "build-release-linux/$tarball" dist/

step "Debian package"
# Linked to the system's C library (Depends computed by dpkg-shlibdeps),
# the C++ runtime inside; with Debian's usual hardening.
package build-release-deb DEB \
  "-DCMAKE_CXX_FLAGS=-D_FORTIFY_SOURCE=2 -fstack-protector-strong" \
  "-DCMAKE_EXE_LINKER_FLAGS=-Wl,-z,relro,-z,now" \
  || { tail -n 30 build-release-deb/release.log; fail "the Debian package failed (needs dpkg-dev)"; }
deb=n64zirelcnv_${version}_amd64.deb
mv "build-release-deb/$deb" dist/

step "Windows: zip"
package build-release-win ZIP -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  || { tail -n 30 build-release-win/release.log; fail "the Windows build failed (needs g++-mingw-w64-x86-64-win32)"; }
zip=n64zirelcnv-$version-windows-x86_64.zip
mv "build-release-win/$zip" dist/

step "Browser page"
page=n64zirelcnv-$version.html
mkdir -p build-release-web
{ cmake -S web -B build-release-web && cmake --build build-release-web -j"$jobs"; } \
  > build-release-web/release.log 2>&1 \
  || { tail -n 30 build-release-web/release.log; fail "the browser page failed (see web/CMakeLists.txt for what it needs)"; }
cp build-release-web/n64zirelcnv.html "dist/$page"

(cd dist && sha256sum "$tarball" "$deb" "$zip" "$page" > SHA256SUMS)

step "dist/"
ls -l dist
