#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails if any C++ source or header under version control differs from
# what clang-format makes of it (.clang-format at the top).
#   tools/check-format.sh           check
#   tools/check-format.sh --fix     reformat in place
set -euo pipefail
cd "$(dirname "$0")/.."
mode=(--dry-run -Werror)
[ "${1:-}" = --fix ] && mode=(-i)
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --style=file "${mode[@]}"
