#!/usr/bin/env bash
# Lays out, in the folder given (the test prefix's drive U:), the trees a program running
# inside Wine cannot make for itself: paths longer than Windows allows, directory links back
# to a folder's own ancestors, names the ANSI code page cannot hold and names of devices.
# Wine reads the UTF-8 names only when it runs in a UTF-8 locale (the Makefile sets one).
#
#   U:\long\<192 d>\<name>   files whose whole path is 258, 259, 260 and 300 characters
#   U:\long\<251 e>\f.txt    a folder of 259 characters (nothing in it can be a path)
#   U:\long\<252 g>\f.txt    a folder of 260 characters
#   U:\long\short.txt
#   U:\loop\top.txt, U:\loop\a\hit.txt, and U:\loop\a\back -> U:\loop
#   U:\twolinks\x.txt, U:\twolinks\sub\y.txt, and U:\twolinks\a, \b -> U:\twolinks
#   U:\names\   U+0100 "Abc.txt" beside a plain Abc.txt, a Cyrillic and an emoji name, a
#               Cyrillic name ending in .html, and a CJK folder with inner.txt
#   U:\devices\ aux.txt, nul.txt, con.txt, prn.txt, "aux .txt", com1.htm between a.txt and z.txt
#   U:\forbidden\ names Windows forbids: a*b.txt, a?b.txt, a"b.txt, a<b>.txt, a|b.txt, a\b.txt,
#               a:b.txt and one with a tab, beside plain.txt
#   U:\trailing\  folders "tdot." and "tblank " beside their twins "tdot" and "tblank", and a
#               file "dot.txt." beside "dot.txt"
#   U:\cases\     CASE.TXT (a match) beside case.txt (none), and 300 files F000.TXT...
#   U:\inside\    loop\inner.txt and loop\up -> .. (a walk started inside loop), sib.txt
#   U:\grand\     top.txt, mid\low\low.txt and mid\low\up -> ../.. (a walk started in low)
#   U:\endless\   zero.txt -> /dev/zero, a file that never ends, between a.txt and z.txt
# Every file that holds the needle says which file it is, so a test can tell whose text it read.
set -euo pipefail
root=${1:?usage: make-hostile-tree.sh FOLDER}
mkdir -p "$root"
rm -rf "$root/long" "$root/loop" "$root/twolinks" "$root/names" "$root/devices" "$root/forbidden" \
    "$root/trailing" "$root/cases" "$root/inside" "$root/grand" "$root/endless"

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

mkdir -p "$root/twolinks/sub"
echo "$text" >"$root/twolinks/x.txt"
echo "$text" >"$root/twolinks/sub/y.txt"
ln -s . "$root/twolinks/a"
ln -s . "$root/twolinks/b"

names=$root/names
mkdir -p "$names/"$'\xe6\x97\xa5\xe6\x9c\xac'
echo "$text" >"$names/"$'\xc4\x80'"bc.txt"                          # U+0100 A with macron
echo "only hay" >"$names/Abc.txt"                                    # its best-fit look-alike
echo "$text" >"$names/"$'\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82'".txt"   # Cyrillic
echo "$text" >"$names/"$'\xf0\x9f\x98\x80'".htm"                    # an emoji
echo "$text" >"$names/"$'\xd0\x96'".html"       # never searched, though its short name ends in .HTM
echo "$text" >"$names/"$'\xe6\x97\xa5\xe6\x9c\xac'"/inner.txt"     # inside a CJK folder
echo "$text" >"$names/plain.txt"

mkdir -p "$root/devices"
for name in a.txt aux.txt nul.txt con.txt prn.txt "aux .txt" com1.htm z.txt; do
    echo "$text" >"$root/devices/$name"
done

mkdir -p "$root/forbidden"
for name in 'a*b.txt' 'a?b.txt' 'a"b.txt' 'a<b>.txt' 'a|b.txt' 'a\b.txt' 'a:b.txt' $'a\tb.txt' plain.txt; do
    echo "a needle in $name" >"$root/forbidden/$name"
done

trailing=$root/trailing
for folder in "tdot." tdot "tblank " tblank; do
    mkdir -p "$trailing/$folder"
    echo "a needle in $folder" >"$trailing/$folder/inside.txt"
done
echo "a needle in dot.txt." >"$trailing/dot.txt."
echo "a needle in dot.txt" >"$trailing/dot.txt"

mkdir -p "$root/cases"
echo "a needle in CASE.TXT" >"$root/cases/CASE.TXT"
echo "only hay in case.txt" >"$root/cases/case.txt"
for i in $(seq -w 0 299); do
    echo "a needle in F$i.TXT" >"$root/cases/F$i.TXT"
done

mkdir -p "$root/inside/loop"
echo "$text" >"$root/inside/loop/inner.txt"
echo "$text" >"$root/inside/sib.txt"
ln -s .. "$root/inside/loop/up"

mkdir -p "$root/grand/mid/low"
echo "$text" >"$root/grand/top.txt"
echo "$text" >"$root/grand/mid/low/low.txt"
ln -s ../.. "$root/grand/mid/low/up"

mkdir -p "$root/endless"
echo "$text" >"$root/endless/a.txt"
ln -s /dev/zero "$root/endless/zero.txt"
echo "$text" >"$root/endless/z.txt"
