#!/usr/bin/env bash
# Configures, builds and runs every test of fieldroll: the native Linux
# build, the AddressSanitizer + UndefinedBehaviorSanitizer build, the
# Windows build under Wine, and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)

# What the builds and tests need, by command and Debian package.
packages="cmake ninja-build g++ libgtest-dev googletest g++-mingw-w64-x86-64 wine wine64 clang libclang-rt-14-dev"
missing=""
for need in cmake:cmake ninja:ninja-build x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64 wine:wine \
            clang++:clang; do
    command -v "${need%%:*}" >/dev/null 2>&1 || missing="${missing} ${need#*:}"
done
[ -f /usr/include/gtest/gtest.h ] || missing="${missing} libgtest-dev"
[ -d /usr/src/googletest ] || missing="${missing} googletest"
[ -d /usr/lib/wine ] && [ -x /usr/lib/wine/wine64 ] || missing="${missing} wine64"
if [ -n "${missing}" ]; then
    if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
        echo "=== installing:${missing}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq ${packages} >/dev/null
    else
        echo "missing:${missing}; install (as root): apt-get install -y ${packages}" >&2
        exit 1
    fi
fi

run_preset() {
    local preset=$1
    echo "=== ${preset}: configure and build"
    cmake --preset "${preset}" >/dev/null
    cmake --build --preset "${preset}" -j "${jobs}"
    echo "=== ${preset}: test"
    ctest --preset "${preset}" -j "${jobs}"
}

run_preset linux
run_preset asan

# The Windows tests run under Wine, in a prefix of the build's own. The
# prefix is made once; a persistent wineserver keeps each start cheap.
export FIELDROLL_WINEPREFIX="${PWD}/build/wine-prefix"
export WINEPREFIX="${FIELDROLL_WINEPREFIX}" WINEDEBUG=-all
if [ ! -f "${WINEPREFIX}/system.reg" ]; then
    echo "=== windows: preparing the Wine prefix"
    mkdir -p "${WINEPREFIX}"
    wineboot -i >/dev/null 2>&1
    wineserver -w
fi
wineserver -p 2>/dev/null || true  # already running is fine
# The first program of a session starts Wine's background services. Start
# them here, away from the test runner's output pipes: a service holding a
# pipe open would make the runner wait for it.
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
trap 'wineserver -k 2>/dev/null || true' EXIT
echo "=== windows: the tests run under $(wine --version) in ${WINEPREFIX}"
run_preset windows

echo "=== packages"
cpack --preset linux | grep -E 'package: .* generated'
cpack --preset windows | grep -E 'package: .* generated'

# A short fuzz run of each fuzz target (FIELDROLL_FUZZ_SECONDS, default 60).
bash fuzz/run-fuzzers.sh "${FIELDROLL_FUZZ_SECONDS:-60}"
echo "=== all tests passed"
