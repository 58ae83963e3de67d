#!/usr/bin/env bash
# Sets up what is missing, builds Tilora and starts it.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target tilora
exec build/src/tilora "$@"
