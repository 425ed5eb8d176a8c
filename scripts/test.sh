#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite. The tests
# start their own private MariaDB server and stop it at the end.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/build.sh" -DVORLAN_BUILD_TESTS=ON
cd "$root/build"
ctest --output-on-failure --timeout 300
