#!/usr/bin/env bash
# The page's build and browser tests, for CI and by hand (the packages must
# be installed: see .ci/run). Builds the native tool and the test-data
# generator into build-web-native, the page into build-web, installs the
# pinned node modules, runs the browser tests and the benchmark, and leaves a
# screenshot of the page in build-web/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-web-native -DZIREL_TESTS=OFF -DZIREL_BENCH=OFF > /dev/null
cmake --build build-web-native -j2 --target n64zirelcnv zirel_mkimage

cmake -S web -B build-web > /dev/null
cmake --build build-web -j2
echo "page: build-web/n64zirelcnv.html, $(wc -c < build-web/n64zirelcnv.html) bytes;" \
  "module $(wc -c < build-web/zirel_web.wasm) bytes"

(cd web && npm ci --no-audit --no-fund)
export ZIREL_NATIVE_BUILD="$PWD/build-web-native" ZIREL_WEB_BUILD="$PWD/build-web"
(cd web && node --test --test-concurrency=1 tests/)
(cd web && node tests/bench.mjs)
echo "screenshot: build-web/screenshot.png"
