#!/bin/sh
# Builds the parser fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz, runs them one after the other and
# prints executions, coverage and crashes per target.
#
#   bench/fuzz.sh [target ...]        default: every target
#   FUZZ_RUNS=n                       executions per target (default 10000000)
#   FUZZ_TIME_<target>=s              a time budget in seconds instead, for the
#                                     targets too slow for FUZZ_RUNS
#
# Inputs found go to build-fuzz/fuzz-runs/<target>/corpus, crashing ones to
# build-fuzz/fuzz-runs/<target>/artifacts; the seed corpus in tests/fuzz is
# only read. Copy a crashing input into tests/fuzz/corpus/<target>/ once it
# is fixed, so the replay tests keep trying it.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
runs=${FUZZ_RUNS:-10000000}
targets=${*:-audio conversions status location waverepair chat}

# Measured under the sanitizers on the 2-core machine (see README-fuzz.md):
# these go through real sockets or files, or allocate heavily per input, and
# would need hours for 10 million executions.
: "${FUZZ_TIME_status:=480}"
: "${FUZZ_TIME_location:=480}"
: "${FUZZ_TIME_waverepair:=480}"
: "${FUZZ_TIME_chat:=480}"

if ! command -v clang++ >/dev/null 2>&1 \
    || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get install -y clang libclang-rt-14-dev
fi

cmake -G Ninja -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVORLAN_FUZZ=ON -DVORLAN_SANITIZE=ON -DVORLAN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target $(for t in $targets; do printf 'fuzz_%s ' "$t"; done)

# A short allocation history and a small quarantine: the per-input cost of
# these parsers is mostly the sanitizer's bookkeeping of small strings.
export ASAN_OPTIONS="malloc_context_size=8:quarantine_size_mb=32:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=0
printf '%-12s %12s %8s %9s %6s %7s %8s %8s\n' target execs seconds exec/s cov ft corpus crashes
for t in $targets; do
    case $t in
    chat) max_len=9000 ;;     # past the 8192-byte limit of a chat datagram
    location) max_len=1024 ;; # stored paths and folders are short texts
    *) max_len=4096 ;;
    esac
    budget=$(eval "printf '%s' \"\${FUZZ_TIME_$t:-}\"")
    limit="-runs=$runs"
    [ -n "$budget" ] && limit="-max_total_time=$budget"

    work=$build/fuzz-runs/$t
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/artifacts"
    rc=0
    "$build/bench/fuzz_$t" $limit -max_len=$max_len -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
        "$work/corpus" "$root/tests/fuzz/corpus/$t" >"$work/log" 2>&1 || rc=$?

    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
    seconds=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$work/log" | tail -n 1)
    last=$(grep ' cov: ' "$work/log" | tail -n 1)
    cov=$(printf '%s' "$last" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
    ft=$(printf '%s' "$last" | sed -n 's/.* ft: \([0-9]*\).*/\1/p')
    corpus=$(printf '%s' "$last" | sed -n 's/.* corp: \([0-9]*\)\/.*/\1/p')
    crashes=$(find "$work/artifacts" -type f | wc -l)
    rate=-
    [ -n "$seconds" ] && [ "$seconds" -gt 0 ] && rate=$((${execs:-0} / seconds))
    printf '%-12s %12s %8s %9s %6s %7s %8s %8s\n' "$t" "${execs:--}" "${seconds:--}" "$rate" \
        "${cov:--}" "${ft:--}" "${corpus:--}" "$crashes"
    if [ "$rc" -ne 0 ] || [ "$crashes" -ne 0 ]; then
        failed=1
        grep -E 'ERROR|runtime error|invariant broken|Test unit written' "$work/log" | head -n 5 >&2
    fi
done
exit $failed
