#!/usr/bin/env bash
# Builds fieldroll, lays out a sample FS2002 install with the scenery writer
# (samples/sample-install.txt: a few hundred real airports in the facility
# database and in add-on scenery), runs fieldroll from a subfolder of it as
# a user would, and shows the end of its console output and the start of
# the table it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

echo "=== building fieldroll and make_scenery (build/sample-build)"
cmake -S . -B build/sample-build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/sample-build --target fieldroll make_scenery -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

sample="${top}/build/sample/FS2002"
echo "=== laying out the sample install in ${sample}"
rm -rf "${top}/build/sample"
mkdir -p "${sample}/Fieldroll"
build/sample-build/tools/make_scenery "${sample}" samples/sample-install.txt

echo "=== running fieldroll /np in ${sample}/Fieldroll"
cd "${sample}/Fieldroll"
# The program finds the sample through the folder it is started from. A
# simulator registered in a Wine prefix would come first, so none is used.
status=0
WINEPREFIX="${top}/build/sample/no-wine-prefix" "${top}/build/sample-build/fieldroll" /np >../console.txt || status=$?
echo "--- console output, as it stands on the screen at the end:"
# A progress line ends with a carriage return and is overwritten by the
# next; show only what remains visible.
python3 - ../console.txt <<'PY'
import re, sys
text = open(sys.argv[1], "rb").read().decode("latin-1")
for line in text.split("\n"):
    print(line.split("\r")[-2] if line.endswith("\r") else line.split("\r")[-1])
PY
echo "--- exit status: ${status}"
echo "--- first lines of Airports.txt ($(wc -l <Airports.txt) airports):"
head -n 12 Airports.txt
echo
echo "The table:           ${sample}/Fieldroll/Airports.txt"
echo "The console output:  ${sample}/console.txt"
echo "The program:         ${top}/build/sample-build/fieldroll"
exit "${status}"
