#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what building and testing need on a fresh Debian machine (as root).
set -euo pipefail
packages=(cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev
          liblapack-dev libboost-dev libfftw3-dev libeigen3-dev clang libclang-rt-14-dev
          libmpfr-dev clang-format)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
