#!/usr/bin/env bash
# Builds the libFuzzer targets and fuzzes each for a while (60 seconds
# unless told otherwise): fuzz/run-fuzzers.sh [seconds-per-target]
#
# Budget per input: no crash, no sanitizer report, under 1 s, under 64 MiB
# allocated at once. An input that breaks it is left in build/fuzz/work/
# artifacts/ and the script fails; copy it into fuzz/regressions/<target>/
# so that the ordinary tests replay it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work=build/fuzz/work
rm -rf "${work}/seeds" "${work}/tree"
mkdir -p "${work}/artifacts"
for target in facility_reader error_location; do
    mkdir -p "${work}/seeds/${target}" "${work}/corpus/${target}"
    cp fuzz/regressions/${target}/* "${work}/seeds/${target}/" 2>/dev/null || true
done

# Facility seeds come from the scenery writer.
build/fuzz/tools/make_scenery "${work}/tree" fuzz/seeds/facility.txt
for file in "${work}"/tree/*; do cp "${file}" "${work}/seeds/facility_reader/"; done

# Display seeds: width (2 bytes), code, line number (4), position (2), flag,
# then the line text.
seed() { printf "$2" > "${work}/seeds/error_location/$1"; }
seed short '\x04\x00\x1d\x07\x00\x00\x00\x06\x00\x00alpha,beta,gamma'
seed long '\x06\x00\x03\x7b\x00\x00\x00\x5b\x00\x00item01,item02,item03,item04,item05,item06,item07,item08,item09,item10,item11,item12,item13,item14,item15,item16,item17,item18,item19,item20'
seed nocomma '\x01\x00\x00\x07\x00\x00\x00\x50\x00\x00xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx'
seed outside '\x02\x00\x2d\xff\xff\xff\xff\x10\x00\xffabc'

# A small quarantine keeps AddressSanitizer's own memory out of the way of
# the 64 MiB limit on the whole process.
export ASAN_OPTIONS=quarantine_size_mb=4
for target in facility_reader error_location; do
    echo "=== fuzzing ${target} for ${seconds} s"
    log="${work}/${target}.log"
    status=0
    "build/fuzz/fuzz/${target}_fuzzer" -max_total_time="${seconds}" -max_len=4096 -timeout=1 -rss_limit_mb=64 \
        -malloc_limit_mb=64 -print_final_stats=1 -artifact_prefix="${work}/artifacts/${target}-" \
        "${work}/corpus/${target}" "${work}/seeds/${target}" >"${log}" 2>&1 || status=$?
    grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY|.*ALARM|.*artifact)' "${log}" || true
    if [ "${status}" != 0 ]; then
        echo "fuzzing ${target} found a failing input (exit ${status}): see ${log} and ${work}/artifacts/" >&2
        exit 1
    fi
done
