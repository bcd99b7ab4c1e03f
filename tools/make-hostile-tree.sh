#!/usr/bin/env bash
# Lays out, in the folder given (the test prefix's drive U:), the trees a program running
# inside Wine cannot make for itself: paths longer than Windows allows and a directory link
# back to its own parent.
#
#   U:\long\<192 d>\<name>   files whose whole path is 258, 259, 260 and 300 characters
#   U:\long\<251 e>\f.txt    a folder of 259 characters (nothing in it can be a path)
#   U:\long\<252 g>\f.txt    a folder of 260 characters
#   U:\long\short.txt
#   U:\loop\top.txt, U:\loop\a\hit.txt, and U:\loop\a\back -> U:\loop
set -euo pipefail
root=${1:?usage: make-hostile-tree.sh FOLDER}
mkdir -p "$root"
rm -rf "$root/long" "$root/loop"

repeat() { printf "%${2}s" "" | tr ' ' "$1"; }
text="a needle in the hay"

mkdir -p "$root/long"
echo "$text" >"$root/long/short.txt"
deep=$(repeat d 192)                      # U:\long\ + 192 = 200 characters
mkdir -p "$root/long/$deep"
for length in 258 259 260 300; do
    name_length=$((length - 201 - 4))       # the folder, a separator and ".txt"
    echo "$text" >"$root/long/$deep/$(repeat n $name_length).txt"
done
for fill in "e 251" "g 252"; do
    dir="$root/long/$(repeat ${fill% *} ${fill#* })"
    mkdir -p "$dir"
    echo "$text" >"$dir/f.txt"
done

mkdir -p "$root/loop/a"
echo "$text" >"$root/loop/top.txt"
echo "$text" >"$root/loop/a/hit.txt"
ln -s .. "$root/loop/a/back"
