#!/usr/bin/env bash
# Takes docs/screenshot.png: the program after a search over a small generated tree, with
# the list of files found and the coloured matches of the first one.
#   tools/screenshot.sh [--dpi 96|144] [OUT.png]
# At 144 dots per inch (a screen scaled to 150 %) it runs in the prefix booted at that scale,
# on a screen as much larger.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
BUILD=${BUILD:-build}
dpi=96
if [[ ${1:-} == --dpi ]]; then
    dpi=${2:?--dpi needs 96 or 144}
    shift 2
fi
case $dpi in
96) prefix_name=wineprefix ;;
144) prefix_name=wineprefix-144 ;;
*) echo "screenshot.sh: the prefixes are at 96 and 144 dots per inch, not $dpi" >&2; exit 2 ;;
esac
out=${1:-docs/screenshot.png}
width=$((900 * dpi / 96))
height=$((560 * dpi / 96))

make --no-print-directory build prefix BUILD="$BUILD"
if ! command -v import >/dev/null 2>&1; then
    if [[ $(id -u) -ne 0 ]]; then
        echo "imagemagick is missing. Install it with: sudo apt-get install -y imagemagick" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends imagemagick </dev/null
fi

export WINEPREFIX=$root/$BUILD/$prefix_name
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# The sample tree lives on the prefix's C: drive, so the listed paths read C:\Samples\...
samples=$WINEPREFIX/drive_c/Samples
rm -rf "$samples"
mkdir -p "$samples/letters" "$samples/notes/old"
printf 'Dear Sam,\r\nthe apple harvest was good this year.\r\nWe pressed apples for cider.\r\n' >"$samples/letters/harvest.txt"
printf 'Shopping\r\n- flour\r\n- Apple pie spice\r\n- butter\r\n' >"$samples/notes/list.txt"
printf '<html><body>\r\n<h1>Orchard</h1>\r\n<p>Pineapple is no apple.</p>\r\n</body></html>\r\n' >"$samples/notes/orchard.htm"
printf 'Nothing to see here.\r\n' >"$samples/notes/old/empty.txt"
printf 'An APPLE a day.\r\n' >"$samples/notes/old/saying.txt"
printf 'apple, but not a searched kind of file\r\n' >"$samples/readme.md"

mkdir -p "$(dirname "$out")"
shot=$(realpath -m "$out")
program=$root/$BUILD/KadrelSearch.exe
driver=$root/$BUILD/drive_search.exe

# Everything below runs inside one private X display.
xvfb-run -a -s "-screen 0 ${width}x${height}x24 -nolisten tcp" bash -euo pipefail -c '
    cd "$1"
    wine "$2" &
    program=$!
    wine "$3" search "apple" "$5" "$6"
    sleep 1
    import -window root "$4"
    wine "$3" close
    wait "$program"
' screenshot "$samples" "$program" "$driver" "$shot" "$width" "$height"
echo "Saved $out"
