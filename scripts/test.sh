#!/usr/bin/env bash
# Set-up, build and every test: the one command for a fresh Debian 12 machine.
# The suite runs twice: in the ordinary build, then once more built with
# AddressSanitizer and UndefinedBehaviorSanitizer (without the Qt front end,
# whose toolkit the sanitizers do not cover).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs="$(nproc)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")
if [ "${DORV_SKIP_SANITIZE:-}" != 1 ]; then
  cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDORV_SANITIZE=ON -DDORV_WITH_QT=OFF
  cmake --build build-sanitize -j"$jobs"
  (cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
     ctest --output-on-failure -j"$jobs")
fi
