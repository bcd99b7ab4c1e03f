#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need, if any is missing;
# with the argument "bench", also those the benchmark needs.
# As root it installs them; otherwise it prints the one command to run and fails.
set -euo pipefail

packages=(cmake make g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth googletest
          clang libclang-rt-14-dev python3 clang-format wixl python3-olefile)
# What each package brings that we look for, in the order of the list above.
probes=(cmake make x86_64-w64-mingw32-g++-posix wine /usr/lib/wine/wine64 Xvfb xauth
        /usr/src/googletest/CMakeLists.txt clang /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a
        python3 clang-format wixl /usr/lib/python3/dist-packages/olefile/__init__.py)

# The benchmark also makes a Word document, rich text and a web page, and times native
# converters beside the readers.
if [[ ${1:-} == bench ]]; then
    packages+=(libreoffice-writer-nogui catdoc antiword unrtf html2text)
    probes+=(soffice catdoc antiword unrtf html2text)
fi

missing=()
for i in "${!packages[@]}"; do
    probe=${probes[$i]}
    if [[ $probe == /* ]]; then
        [[ -e $probe ]] || missing+=("${packages[$i]}")
    else
        command -v "$probe" >/dev/null 2>&1 || missing+=("${packages[$i]}")
    fi
done
# The fuzzer runtime's path carries clang's exact version; accept any version present.
if [[ " ${missing[*]} " == *" libclang-rt-14-dev "* ]] && \
   compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
    missing=("${missing[@]/libclang-rt-14-dev}")
fi
missing=(${missing[@]+"${missing[@]}"})
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
    echo "Missing packages. Install them with: sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" </dev/null
