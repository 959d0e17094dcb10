// SPDX-License-Identifier: MIT
// The pivot search's lane operations (declared with their meaning in
// linsolve_kernels.h) for the float traits of the target this unit is built
// for, and for the one-float type of every target. Included at the end of
// simd/vec.h, so only by the per-target kernel units.
#ifndef TISSUESTEWARD_LINSOLVE_LANES_H
#define TISSUESTEWARD_LINSOLVE_LANES_H

#include "toolkit/linsolve_kernels.h"

namespace ts::simd {

template <>
struct PivotLanes<TS_SIMD_NS::ScalarFloat> {
  using V = float;
  static unsigned bits_of(V x) {
    unsigned u;
    __builtin_memcpy(&u, &x, sizeof u);
    return u;
  }
  static V from_bits(unsigned u) {
    V x;
    __builtin_memcpy(&x, &u, sizeof x);
    return x;
  }
  static V unused_mask(const int *counts) { return from_bits(counts[0] == 0 ? 0x7fffffffu : 0u); }
  static V magnitude(V x, V mask) { return from_bits(bits_of(x) & bits_of(mask)); }
  static unsigned holding(V x, V mask, V largest) {
    return magnitude(x, mask) == largest ? 1u : 0u;
  }
  static void raise_where_ge(V x, V &best, V &tag, V t) {
    if (x >= best) {
      best = x;
      tag = t;
    }
  }
};

#if defined(TS_SIMD_AVX512)

template <>
struct PivotLanes<TS_SIMD_NS::Float> {
  using V = __m512;
  // The lanes whose count is 0 select 0x7fffffff, the others are zeroed.
  static V unused_mask(const int *counts) {
    const __mmask16 unused =
        _mm512_cmpeq_epi32_mask(_mm512_loadu_si512(counts), _mm512_setzero_si512());
    return _mm512_castsi512_ps(_mm512_maskz_mov_epi32(unused, _mm512_set1_epi32(0x7fffffff)));
  }
  static V magnitude(V x, V mask) {
    return _mm512_castsi512_ps(_mm512_and_si512(_mm512_castps_si512(x), _mm512_castps_si512(mask)));
  }
  // _CMP_EQ_OQ: false when either is a NaN; the lane mask is the bit set.
  static unsigned holding(V x, V mask, V largest) {
    return static_cast<unsigned>(_mm512_cmp_ps_mask(magnitude(x, mask), largest, _CMP_EQ_OQ));
  }
  // _CMP_GE_OQ: x >= best, false when either is a NaN; the masked moves
  // take x and t in exactly those lanes.
  static void raise_where_ge(V x, V &best, V &tag, V t) {
    const __mmask16 ge = _mm512_cmp_ps_mask(x, best, _CMP_GE_OQ);
    best = _mm512_mask_mov_ps(best, ge, x);
    tag = _mm512_mask_mov_ps(tag, ge, t);
  }
};

#elif defined(TS_SIMD_AVX2)

template <>
struct PivotLanes<TS_SIMD_NS::Float256> {
  using V = __m256;
  // cmpeq gives all ones where the count is 0; shifted right by one that
  // is 0x7fffffff.
  static V unused_mask(const int *counts) {
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(counts));
    return _mm256_castsi256_ps(_mm256_srli_epi32(_mm256_cmpeq_epi32(c, _mm256_setzero_si256()), 1));
  }
  static V magnitude(V x, V mask) { return _mm256_and_ps(x, mask); }
  // _CMP_EQ_OQ: false when either is a NaN; movemask gathers the lanes'
  // top bits.
  static unsigned holding(V x, V mask, V largest) {
    return static_cast<unsigned>(
        _mm256_movemask_ps(_mm256_cmp_ps(magnitude(x, mask), largest, _CMP_EQ_OQ)));
  }
  // _CMP_GE_OQ: x >= best, false when either is a NaN; blendv takes x and
  // t in exactly the lanes whose comparison is all ones.
  static void raise_where_ge(V x, V &best, V &tag, V t) {
    const V ge = _mm256_cmp_ps(x, best, _CMP_GE_OQ);
    best = _mm256_blendv_ps(best, x, ge);
    tag = _mm256_blendv_ps(tag, t, ge);
  }
};

#elif defined(TS_SIMD_SSE2)

template <>
struct PivotLanes<TS_SIMD_NS::Float> {
  using V = __m128;
  static V unused_mask(const int *counts) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(counts));
    return _mm_castsi128_ps(_mm_srli_epi32(_mm_cmpeq_epi32(c, _mm_setzero_si128()), 1));
  }
  static V magnitude(V x, V mask) { return _mm_and_ps(x, mask); }
  // cmpeq is ordered (false with a NaN); movemask gathers the top bits.
  static unsigned holding(V x, V mask, V largest) {
    return static_cast<unsigned>(_mm_movemask_ps(_mm_cmpeq_ps(magnitude(x, mask), largest)));
  }
  // cmpge is ordered (false with a NaN); SSE2 selects with and/andnot/or.
  static void raise_where_ge(V x, V &best, V &tag, V t) {
    const V ge = _mm_cmpge_ps(x, best);
    best = _mm_or_ps(_mm_and_ps(ge, x), _mm_andnot_ps(ge, best));
    tag = _mm_or_ps(_mm_and_ps(ge, t), _mm_andnot_ps(ge, tag));
  }
};

#endif

}  // namespace ts::simd

#endif
