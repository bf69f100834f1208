#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole suite three times:
#   1. the ordinary build;
#   2. an AddressSanitizer + UndefinedBehaviorSanitizer build;
#   3. a ThreadSanitizer build of the widget-free libraries, running the link tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

jobs=${KORVA_JOBS:-$(nproc 2>/dev/null || echo 2)}
ctest_args=(--output-on-failure --no-tests=error -j "$jobs")

echo "== Build and test"
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build "${ctest_args[@]}"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DKORVA_SANITIZE=address,undefined -DKORVA_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan "${ctest_args[@]}"

echo "== ThreadSanitizer (link tests)"
scripts/build.sh build-tsan -DCMAKE_BUILD_TYPE=Debug -DKORVA_SANITIZE=thread -DKORVA_BUILD_APP=OFF -DKORVA_BUILD_BENCH=OFF
TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/scripts/tsan.supp" \
    ctest --test-dir build-tsan "${ctest_args[@]}" -L link
