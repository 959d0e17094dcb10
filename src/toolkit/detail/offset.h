// SPDX-License-Identifier: MIT
// Handle arithmetic for offset-indexed arrays.
//
// A handle is a block's address moved lo elements back, so that handle[lo]
// is the block's first element. Forming that address by pointer arithmetic
// would step outside the block, which the optimizer may assume never
// happens; it is done here in integer address arithmetic instead (wrapping,
// and therefore defined, for any lo).
#ifndef TISSUESTEWARD_DETAIL_OFFSET_H
#define TISSUESTEWARD_DETAIL_OFFSET_H

#include <cstdint>

namespace ts::detail {

// The handle whose element lo is block[0].
template <class T>
T *offset_handle(T *block, long lo) {
  return reinterpret_cast<T *>(reinterpret_cast<std::uintptr_t>(block) -
                               static_cast<std::uintptr_t>(lo) * sizeof(T));
}

// The block behind a handle whose first index is lo: &handle[lo].
template <class T>
T *block_of(T *handle, long lo) {
  return reinterpret_cast<T *>(reinterpret_cast<std::uintptr_t>(handle) +
                               static_cast<std::uintptr_t>(lo) * sizeof(T));
}

}  // namespace ts::detail

#endif
