#!/usr/bin/env bash
# Creates the Wine prefix that the program and the tests run in, inside the build folder,
# once. WINEPREFIX must already point there (the Makefile sets it); ~/.wine is never used.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

stamp=$WINEPREFIX/.kadrel-booted
if [[ ! -f $stamp ]]; then
    mkdir -p "$WINEPREFIX"
    echo "Booting the Wine prefix in $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # Without a window manager Wine waits about two seconds whenever a window is hidden;
    # an unmanaged X11 driver makes that immediate.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
    touch "$stamp"
fi

# Drives T: and U: are folders of their own, so tests can work in real drive roots:
# T: for the tests to fill and empty, U: for trees the tests cannot make from inside Wine.
for letter in t u; do
    drive_dir=$WINEPREFIX/../test-drive-$letter
    mkdir -p "$drive_dir"
    ln -sfn "$(cd "$drive_dir" && pwd)" "$WINEPREFIX/dosdevices/$letter:"
done
