#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what the benchmark suite needs on top of tools/install-deps.sh
# (Debian, as root). Not run by CI.
#
# OpenBLAS is measured beside the reference LAPACK in the same run, so it is
# installed as a runtime only (no -dev package, so the -llapack/-lblas link
# names stay on the reference build) and loaded by the benchmarks through its
# explicit path. Installing it would make the system's libblas.so.3 and
# liblapack.so.3 point at OpenBLAS; both are pinned to the reference build
# before the install (manual mode keeps them there) and again after it, so
# the test suite never links or loads anything else.
set -euo pipefail

arch_dir=/usr/lib/x86_64-linux-gnu
pin_reference() {
  update-alternatives --set libblas.so.3-x86_64-linux-gnu "$arch_dir/blas/libblas.so.3"
  update-alternatives --set liblapack.so.3-x86_64-linux-gnu "$arch_dir/lapack/liblapack.so.3"
}

"$(dirname "$0")/../tools/install-deps.sh"

packages=(libopenblas0-pthread python3-matplotlib)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  pin_reference
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
pin_reference
