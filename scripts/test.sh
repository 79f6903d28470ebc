#!/usr/bin/env bash
# Installs what is missing, builds and runs the tests.
#   scripts/test.sh                      plain build, every test
#   scripts/test.sh asan                 AddressSanitizer + UBSan, every test
#   scripts/test.sh tsan                 ThreadSanitizer, the threaded tests only
set -euo pipefail
cd "$(dirname "$0")/.."

variant=${1:-plain}
bash scripts/setup.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
case "$variant" in
plain)
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j "$jobs"
    ctest --test-dir build --output-on-failure -j "$jobs"
    ;;
asan)
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKT_SANITIZE=address,undefined -DKT_BUILD_BENCH=OFF >/dev/null
    cmake --build build-asan -j "$jobs" --target kt_tests
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" \
        UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-asan --output-on-failure -j "$jobs"
    ;;
tsan)
    # The GUI is built too: controls are also driven from worker threads. Qt is not built
    # with TSan, so what its own code does through the sanitizer's interceptors (memory
    # handed between its pooled painting threads) is not reported.
    # Only the sources of the Threaded suites, and what they need, are built.
    cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DKT_SANITIZE=thread -DKT_BUILD_BENCH=OFF \
        -DKT_THREADED_TESTS_ONLY=ON >/dev/null
    cmake --build build-tsan -j "$jobs" --target kt_tests
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1" \
        ctest --test-dir build-tsan --output-on-failure -j "$jobs" -R Threaded
    ;;
*)
    echo "unknown variant: $variant" >&2
    exit 2
    ;;
esac
