#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UBSan into
# build-asan/ (two jobs) and runs the whole test suite. The first error of
# either sanitizer, and any leak at exit, fails the test that caused it.
#   scripts/sanitize.sh [ctest arguments, e.g. -R monitor]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-asan" -G Ninja -DVORLAN_SANITIZE=ON \
    -DVORLAN_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build-asan" -j2

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:print_summary=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:report_error_type=1"
# Leaks inside the system libraries (fontconfig, the MariaDB client, Qt's
# plugin loader) are theirs to fix; ours are reported.
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
cd "$root/build-asan"
ctest --output-on-failure --timeout 300 "$@"
