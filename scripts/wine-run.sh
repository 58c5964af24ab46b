#!/bin/sh
# Runs a Windows program under Wine: the emulator of the cross build.
# The prefix is the one scripts/test-all.sh prepares (FIELDROLL_WINEPREFIX),
# kept apart from the user's own.
export WINEPREFIX="${FIELDROLL_WINEPREFIX:-${WINEPREFIX:-$HOME/.wine}}"
export WINEDEBUG=-all
exec wine "$@"
