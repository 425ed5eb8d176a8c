#!/usr/bin/env bash
# Installs what is missing and builds into build/ (two jobs: the machines
# have two cores).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja "$@"
cmake --build "$root/build" -j2
