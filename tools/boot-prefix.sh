#!/usr/bin/env bash
# Creates the Wine prefixes that the program and the tests run in, inside the build folder,
# once: the normal one, and ones at 144 and 192 dots per inch beside it. WINEPREFIX must already point there (the Makefile sets it); ~/.wine is never used.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Boots a prefix once: prefix, then the dots per inch its screen has.
boot() {
    local prefix=$1 dpi=$2
    local stamp=$prefix/.kadrel-booted
    [[ -f $stamp ]] && return 0
    mkdir -p "$prefix"
    echo "Booting the Wine prefix in $prefix"
    WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX=$prefix wineserver -w
    # Without a window manager Wine waits about two seconds whenever a window is hidden;
    # an unmanaged X11 driver makes that immediate.
    WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    if [[ $dpi != 96 ]]; then
        WINEPREFIX=$prefix wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
            >/dev/null 2>&1
    fi
    WINEPREFIX=$prefix wineserver -w
    touch "$stamp"
}

boot "$WINEPREFIX" 96
# Prefixes whose screens are scaled to 150 % and 200 %, for the layout tests and screenshots.
boot "$WINEPREFIX-144" 144
boot "$WINEPREFIX-192" 192

# Drives T: and U: are folders of their own, so tests can work in real drive roots:
# T: for the tests to fill and empty, U: for trees the tests cannot make from inside Wine.
for letter in t u; do
    drive_dir=$WINEPREFIX/../test-drive-$letter
    mkdir -p "$drive_dir"
    ln -sfn "$(cd "$drive_dir" && pwd)" "$WINEPREFIX/dosdevices/$letter:"
done
