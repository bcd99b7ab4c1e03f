#!/usr/bin/env bash
# Installs the release's installer into the test prefix; or removes it and checks that
# nothing of it is left, not even the browser command the program saved meanwhile, then
# installs it again with a newer version over it, checks that the newer one replaced it,
# removes that too and checks again. Run by ctest, with WINEPREFIX pointing at the test prefix.
#   tools/try-installer.sh install KadrelSearch-<version>-win64.msi
#   tools/try-installer.sh remove KadrelSearch-<version>-win64.msi RELEASE_FOLDER
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must be set}"
verb=$1
msi=$2
export WINEDEBUG=${WINEDEBUG:--all}
# Wine would also write the shortcut into the desktop's menus in the home folder; the prefix
# is all the test may touch.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=};winemenubuilder.exe=d"

folder="$WINEPREFIX/drive_c/Program Files/Kadrel Text Search"
[[ -f $msi ]] || { echo "$msi is missing: make dist writes it" >&2; exit 1; }
package=$(winepath -w "$msi")

# What the prefix's C: drive holds, one path a line, as it was before the install.
before=$WINEPREFIX/../installer-files-before.txt
files_in_prefix() {
    (cd "$WINEPREFIX/drive_c" && find . -print | LC_ALL=C sort)
}

# Fails when a file or folder is left in the prefix that was not there before the install,
# or a registry key or value that names the program.
nothing_left() {
    local left
    # Windows Installer's own cache folder is the system's: a fresh prefix gets it at the
    # first install of anything, and Windows has it from the start.
    left=$(LC_ALL=C comm -13 "$before" <(files_in_prefix) | grep -v '^\./windows/Installer$' || true)
    if [[ -n $left ]]; then
        echo "$1 left behind:" >&2
        echo "$left" >&2
        exit 1
    fi
    # The registry reaches its files when the server ends.
    wineserver -w
    left=$(grep -i -h 'kadrel' "$WINEPREFIX"/*.reg || true)
    if [[ -n $left ]]; then
        echo "$1 left in the registry:" >&2
        echo "$left" >&2
        exit 1
    fi
}

# The versions of the program that installed apps list, one a line.
listed_versions() {
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
        awk '/^HKEY/ {name = ""} /DisplayName/ && /Kadrel Text Search/ {name = 1}
             /DisplayVersion/ {version = $NF} /^$/ {if (name) print version; name = ""}'
}

case $verb in
install)
    rm -rf "$folder"
    files_in_prefix >"$before"
    wine msiexec /i "$package" /qn
    [[ -f $folder/KadrelSearch.exe ]] || { echo "msiexec left no $folder/KadrelSearch.exe" >&2; exit 1; }
    echo "Installed into $folder"
    ;;
remove)
    # Where Save as default browser keeps its command (dialogs/BrowserCommand.cpp).
    wine reg add 'HKCR\Software\Kadrel\Find\Browser' /ve /d 'C:\browser.exe' /f >/dev/null
    wine msiexec /x "$package" /qn
    [[ -z $(listed_versions) ]] || { echo "Removing left the entry under installed apps" >&2; exit 1; }
    nothing_left "Removing"
    echo "Removed: no file, folder, shortcut, entry or registry key of the program is left"

    # A newer version installed over this one replaces it: the older one's entry under
    # installed apps goes, and the newer one's is the only one. Windows Installer compares
    # the first three parts of versions only.
    release=${3:?remove needs the folder the release zip was unpacked into}
    newer=$WINEPREFIX/../installer-newer/KadrelSearch-2.2.0.0-win64.msi
    python3 "$(dirname "$0")/msi_package.py" 2.2.0.0 "$release" "$newer"
    wine msiexec /i "$package" /qn
    wine msiexec /i "$(winepath -w "$newer")" /qn
    versions=$(listed_versions)
    if [[ $versions != 2.2.0.0 ]]; then
        echo "After installing a newer version, installed apps list the program at: ${versions:-none}" >&2
        exit 1
    fi
    [[ -f $folder/KadrelSearch.exe ]] || { echo "The newer version left no $folder/KadrelSearch.exe" >&2; exit 1; }
    wine msiexec /x "$(winepath -w "$newer")" /qn
    nothing_left "Removing the newer version"
    echo "A newer version replaced the older one, and its removal left nothing"
    ;;
*)
    echo "usage: try-installer.sh install PACKAGE.msi | remove PACKAGE.msi RELEASE_FOLDER" >&2
    exit 2
    ;;
esac
