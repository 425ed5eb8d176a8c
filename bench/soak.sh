#!/usr/bin/env bash
# The soak run: builds bench_soak and vorlan-sim into build-soak/ (two jobs)
# and runs the client's main window offscreen against the simulator at high
# churn. Prints a line per sample and the summary; the samples also go to
# a CSV file.
#   bench/soak.sh [minutes=30] [sample-seconds=10] [csv=build-soak/soak.csv]
# A one-minute smoke run first: bench/soak.sh 1 2
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-soak"
minutes="${1:-30}"
every="${2:-10}"
csv="${3:-$build/soak.csv}"

"$root/scripts/install-deps.sh"
if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DVORLAN_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" -j2 --target bench_soak

# The live audio goes to audio/temp.wav beside the program.
mkdir -p "$build/bench/audio"
echo "load average at start: $(cat /proc/loadavg)"
QT_QPA_PLATFORM=offscreen QT_ASSUME_STDERR_HAS_CONSOLE=1 \
    "$build/bench/bench_soak" "$((minutes * 60))" "$every" "$csv"
echo "load average at end: $(cat /proc/loadavg)"
