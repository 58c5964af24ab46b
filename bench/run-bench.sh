#!/usr/bin/env bash
# Benchmark: fieldroll against the least work the job needs, on generated
# installs of three sizes (the largest: 2,000 facility files with 250,000
# airports, 5,000 other .bgl files, 2,000 other files, in nested folders of
# both trees). Usage: bench/run-bench.sh [runs-per-program]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset linux >/dev/null
cmake --build --preset linux --target fieldroll make_scenery floor run_measured >/dev/null
python3 bench/measure.py --build build/linux --trees build/bench --runs "${1:-7}"
