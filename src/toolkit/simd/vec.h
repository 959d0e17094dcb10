// SPDX-License-Identifier: MIT
// Vector traits of the target this translation unit is built for: the few
// operations the kernels are written in, each exactly one IEEE operation per
// lane (no fused multiply-add, no reassociation), so a kernel instantiated
// on any of them computes, lane by lane, what the scalar instantiation does.
//
// Included only by simd/target.cpp, which is compiled once per target with
// that target's -m flags and TS_SIMD_NS set to its name. Everything a
// kernel instantiates takes one of these types as a template argument, so
// no inline function is shared between targets (a test checks the objects).
#ifndef TISSUESTEWARD_SIMD_VEC_H
#define TISSUESTEWARD_SIMD_VEC_H

#if !defined(TS_SIMD_NS)
#error "vec.h is for the per-target kernel units only"
#endif

#if defined(TS_SIMD_X86)
// GCC 12 reports the deliberately undefined upper lanes inside its own
// AVX-512 intrinsics (cvtps_pd, permutexvar ...) as uninitialized.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
#include <immintrin.h>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#endif

#include <cstddef>

namespace ts::simd::TS_SIMD_NS {

// Lane partitions for the sort kernels, one code per mask of kLanes bits:
// the lanes whose bit is set in the mask, in lane order, then the others in
// lane order, each lane number in 3 bits (lane k of the result at bits
// 3k..3k+2), and the number of set bits at bits 24 and up.
template <int kLanes>
struct LanePartitions {
  unsigned code[1 << kLanes];
};
template <int kLanes>
constexpr LanePartitions<kLanes> lane_partitions() {
  LanePartitions<kLanes> t{};
  for (unsigned mask = 0; mask < (1u << kLanes); ++mask) {
    unsigned code = 0;
    unsigned place = 0;
    for (int side = 1; side >= 0; --side)
      for (unsigned lane = 0; lane < unsigned(kLanes); ++lane)
        if (((mask >> lane) & 1u) == unsigned(side)) code |= lane << (3 * place++);
    unsigned count = 0;
    for (unsigned lane = 0; lane < unsigned(kLanes); ++lane) count += (mask >> lane) & 1u;
    t.code[mask] = code | count << 24;
  }
  return t;
}

// One lane of each kind, plain C++: the scalar target's types, and in every
// target the types of the odd elements that do not fill a vector. The
// scalar instantiation of a kernel is the reference the others are checked
// against.
struct ScalarFloat {
  using V = float;
  static constexpr int kLanes = 1;
  static V load(const float *p) { return *p; }
  static void store(float *p, V v) { *p = v; }
  static V set1(float x) { return x; }
  static V add(V a, V b) { return a + b; }
  static V sub(V a, V b) { return a - b; }
  static V mul(V a, V b) { return a * b; }
  static V div(V a, V b) { return a / b; }
  // -a: the sign bit flipped, NaNs and zeros included.
  static V neg(V a) { return -a; }
  // a > b ? a : b per lane: b when either is NaN (the maxps rule).
  static V max(V a, V b) { return a > b ? a : b; }
  // A 1 × 1 block is its own transpose.
  static void transpose(V (&)[1]) {}
  // Lanes below count (0..kLanes) from a, the others from b; bits only.
  static V lanes_below(V a, V b, int count) { return count > 0 ? a : b; }
  // Lanes lo..hi-1 from p[lo..hi-1], the others +0 / only lanes lo..hi-1
  // stored; nothing else at p is read or written.
  static V load_lanes(const float *p, int lo, int hi) { return lo <= 0 && hi > 0 ? *p : 0.0f; }
  static void store_lanes(float *p, V v, int lo, int hi) {
    if (lo <= 0 && hi > 0) *p = v;
  }
};
// One float per "vector": every target's type for the rows and columns left
// over after its full vectors.
using OneFloat = ScalarFloat;
struct ScalarDouble {
  using V = double;
  static constexpr int kLanes = 1;
  static V load(const double *p) { return *p; }
  static void store(double *p, V v) { *p = v; }
  static V set1(double x) { return x; }
  static V add(V a, V b) { return a + b; }
  static V sub(V a, V b) { return a - b; }
  static V mul(V a, V b) { return a * b; }
  static V div(V a, V b) { return a / b; }
  static V neg(V a) { return -a; }
  static V widen(const float *p) { return static_cast<double>(*p); }
  static void store_rounded(float *p, V v) { *p = static_cast<float>(v); }
};
// Floats in as many lanes as Double has (the float side of a computation
// that widens): one here.
struct ScalarHalf {
  using V = float;
  static constexpr int kLanes = 1;
  static V set1(float x) { return x; }
  static V add(V a, V b) { return a + b; }
  static V sub(V a, V b) { return a - b; }
  static V mul(V a, V b) { return a * b; }
  static V neg(V a) { return -a; }
  // Each lane rounded to the nearest float / carried exactly into double.
  static V from_double(double v) { return static_cast<float>(v); }
  static double widen(V v) { return static_cast<double>(v); }
};
// Complex values stored interleaved (re, im, re, im ...), as many as Double
// has lanes: one here. split/join move between that layout and one vector
// of real parts and one of imaginary parts, in the same order.
struct ScalarComplex {
  struct V {
    float re;
    float im;
  };
  static constexpr int kCount = 1;
  static V load(const float *p) { return V{p[0], p[1]}; }
  static void store(float *p, V v) {
    p[0] = v.re;
    p[1] = v.im;
  }
  static V add(V a, V b) { return V{a.re + b.re, a.im + b.im}; }
  static V sub(V a, V b) { return V{a.re - b.re, a.im - b.im}; }
  // The complex values in reverse order.
  static V reverse(V v) { return v; }
  static void split(V v, float &re, float &im) {
    re = v.re;
    im = v.im;
  }
  static V join(float re, float im) { return V{re, im}; }
  // split, each part carried exactly into double / each part rounded to
  // float, then join.
  static void split_widen(V v, double &re, double &im) {
    re = static_cast<double>(v.re);
    im = static_cast<double>(v.im);
  }
  static V join_rounded(double re, double im) {
    return V{static_cast<float>(re), static_cast<float>(im)};
  }
  // Four vectors of kCount rows each rearranged so that lane j of x_t holds
  // row 4 j + t, and back: nothing to do for one row per vector.
  static void transpose4(V &, V &, V &, V &) {}
  static void untranspose4(V &, V &, V &, V &) {}
};
// All of the above as one argument for kernel templates.
struct ScalarLanes {
  using F = ScalarFloat;
  using D = ScalarDouble;
  using H = ScalarHalf;
  using C = ScalarComplex;
  using One = ScalarLanes;
  using Narrow = ScalarLanes;
};

#if defined(TS_SIMD_AVX2) || defined(TS_SIMD_AVX512)

// 8 floats or 4 doubles per vector.
struct Float256 {
  using V = __m256;
  static constexpr int kLanes = 8;
  static V load(const float *p) { return _mm256_loadu_ps(p); }
  static void store(float *p, V v) { _mm256_storeu_ps(p, v); }
  static V set1(float x) { return _mm256_set1_ps(x); }
  static V add(V a, V b) { return _mm256_add_ps(a, b); }
  static V sub(V a, V b) { return _mm256_sub_ps(a, b); }
  static V mul(V a, V b) { return _mm256_mul_ps(a, b); }
  static V div(V a, V b) { return _mm256_div_ps(a, b); }
  static V neg(V a) { return _mm256_xor_ps(a, _mm256_set1_ps(-0.0f)); }
  // Transposes the 8 × 8 block whose row i is r[i]: afterwards lane j of
  // r[i] holds what lane i of r[j] held. Moves bits only (no arithmetic).
  static void transpose(V (&r)[8]) { transpose_square(r); }
  // Lanes below count (0..8) from a, the others from b; bits only.
  static V lanes_below(V a, V b, int count) {
    const __m256i below =
        _mm256_cmpgt_epi32(_mm256_set1_epi32(count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    return _mm256_blendv_ps(b, a, _mm256_castsi256_ps(below));
  }
  // Lanes lo..hi-1 from p[lo..hi-1], the others +0 / only lanes lo..hi-1
  // stored: masked moves, which neither read nor write (nor fault on) the
  // other lanes' memory.
  static __m256i lane_range(int lo, int hi) {
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    return _mm256_andnot_si256(_mm256_cmpgt_epi32(_mm256_set1_epi32(lo), lane),
                               _mm256_cmpgt_epi32(_mm256_set1_epi32(hi), lane));
  }
  static V load_lanes(const float *p, int lo, int hi) {
    return _mm256_maskload_ps(p, lane_range(lo, hi));
  }
  static void store_lanes(float *p, V v, int lo, int hi) {
    _mm256_maskstore_ps(p, lane_range(lo, hi), v);
  }
  // The sort kernels' operations. min and max: per lane a < b ? a : b and
  // a > b ? a : b (b when they compare equal or unordered), moving the
  // chosen operand's bits. lt, eq, unordered: all ones where the relation
  // holds, else zeros (quiet, ordered except unordered). bit_and, bit_or,
  // and_not (~a & b) on the bit patterns. sign_bits: lane l's top bit at bit
  // l. any_bit: some bit of some lane set. first: lane 0.
  // permute_xor<m>: lane l takes lane l ^ m. upper_from<d>: lane l takes hi
  // where l & d, else lo. partition_lanes: the lanes whose bit is set in
  // `left`, in lane order, then the others in lane order; left_count: how
  // many bits `left` has. load_padded: p[0..count-1] in lanes below
  // count (count <= kLanes), pad's lanes above; nothing past p[count-1] is
  // read. transpose_square: v[0..kLanes-1] as the rows of a square
  // matrix, replaced by its columns.
  static V min(V a, V b) { return _mm256_min_ps(a, b); }
  static V max(V a, V b) { return _mm256_max_ps(a, b); }
  static V lt(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_LT_OQ); }
  static V eq(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_EQ_OQ); }
  static V unordered(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_UNORD_Q); }
  static V bit_and(V a, V b) { return _mm256_and_ps(a, b); }
  static V bit_or(V a, V b) { return _mm256_or_ps(a, b); }
  static V and_not(V a, V b) { return _mm256_andnot_ps(a, b); }
  static unsigned sign_bits(V v) { return static_cast<unsigned>(_mm256_movemask_ps(v)); }
  static bool any_bit(V v) {
    const __m256i i = _mm256_castps_si256(v);
    return _mm256_testz_si256(i, i) == 0;
  }
  static float first(V v) { return _mm256_cvtss_f32(v); }
  template <int m>
  static V permute_xor(V v) {
    return _mm256_permutevar8x32_ps(
        v, _mm256_setr_epi32(0 ^ m, 1 ^ m, 2 ^ m, 3 ^ m, 4 ^ m, 5 ^ m, 6 ^ m, 7 ^ m));
  }
  template <int d>
  static V upper_from(V lo, V hi) {
    constexpr int pick = ((1 & d) ? 0x02 : 0) | ((2 & d) ? 0x04 : 0) | ((3 & d) ? 0x08 : 0) |
                         ((4 & d) ? 0x10 : 0) | ((5 & d) ? 0x20 : 0) | ((6 & d) ? 0x40 : 0) |
                         ((7 & d) ? 0x80 : 0);
    return _mm256_blend_ps(lo, hi, pick);
  }
  // Lane k's index sits in bits 3k..3k+2 of the code; the permutation reads
  // only the low three bits of each index lane.
  static V partition_lanes(V v, unsigned left) {
    const __m256i code = _mm256_set1_epi32(static_cast<int>(kPartitions.code[left]));
    const __m256i index = _mm256_srlv_epi32(code, _mm256_setr_epi32(0, 3, 6, 9, 12, 15, 18, 21));
    return _mm256_permutevar8x32_ps(v, index);
  }
  static int left_count(unsigned left) { return static_cast<int>(kPartitions.code[left] >> 24); }
  static constexpr LanePartitions<8> kPartitions = lane_partitions<8>();
  static V load_padded(const float *p, std::size_t count, V pad) {
    const __m256i inside = _mm256_cmpgt_epi32(_mm256_set1_epi32(static_cast<int>(count)),
                                              _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    return _mm256_blendv_ps(pad, _mm256_maskload_ps(p, inside), _mm256_castsi256_ps(inside));
  }
  static void transpose_square(V *v) {
    __m256 t[8];
    for (int k = 0; k < 4; ++k) {
      t[2 * k] = _mm256_unpacklo_ps(v[2 * k], v[2 * k + 1]);
      t[2 * k + 1] = _mm256_unpackhi_ps(v[2 * k], v[2 * k + 1]);
    }
    __m256 u[8];
    for (int k = 0; k < 2; ++k) {
      u[4 * k] = _mm256_shuffle_ps(t[4 * k], t[4 * k + 2], _MM_SHUFFLE(1, 0, 1, 0));
      u[4 * k + 1] = _mm256_shuffle_ps(t[4 * k], t[4 * k + 2], _MM_SHUFFLE(3, 2, 3, 2));
      u[4 * k + 2] = _mm256_shuffle_ps(t[4 * k + 1], t[4 * k + 3], _MM_SHUFFLE(1, 0, 1, 0));
      u[4 * k + 3] = _mm256_shuffle_ps(t[4 * k + 1], t[4 * k + 3], _MM_SHUFFLE(3, 2, 3, 2));
    }
    for (int k = 0; k < 4; ++k) {
      v[k] = _mm256_permute2f128_ps(u[k], u[k + 4], 0x20);
      v[k + 4] = _mm256_permute2f128_ps(u[k], u[k + 4], 0x31);
    }
  }
};
struct Double256 {
  using V = __m256d;
  static constexpr int kLanes = 4;
  static V load(const double *p) { return _mm256_loadu_pd(p); }
  static void store(double *p, V v) { _mm256_storeu_pd(p, v); }
  static V set1(double x) { return _mm256_set1_pd(x); }
  static V add(V a, V b) { return _mm256_add_pd(a, b); }
  static V sub(V a, V b) { return _mm256_sub_pd(a, b); }
  static V mul(V a, V b) { return _mm256_mul_pd(a, b); }
  static V div(V a, V b) { return _mm256_div_pd(a, b); }
  static V neg(V a) { return _mm256_xor_pd(a, _mm256_set1_pd(-0.0)); }
  static V widen(const float *p) { return _mm256_cvtps_pd(_mm_loadu_ps(p)); }
  static void store_rounded(float *p, V v) { _mm_storeu_ps(p, _mm256_cvtpd_ps(v)); }
};

// 4 floats beside 4 doubles.
struct Half128 {
  using V = __m128;
  static constexpr int kLanes = 4;
  static V set1(float x) { return _mm_set1_ps(x); }
  static V add(V a, V b) { return _mm_add_ps(a, b); }
  static V sub(V a, V b) { return _mm_sub_ps(a, b); }
  static V mul(V a, V b) { return _mm_mul_ps(a, b); }
  static V neg(V a) { return _mm_xor_ps(a, _mm_set1_ps(-0.0f)); }
  static V from_double(__m256d v) { return _mm256_cvtpd_ps(v); }
  static __m256d widen(V v) { return _mm256_cvtps_pd(v); }
};
// 4 complex values in one 8-float vector.
struct Complex256 {
  using V = __m256;
  static constexpr int kCount = 4;
  static V load(const float *p) { return _mm256_loadu_ps(p); }
  static void store(float *p, V v) { _mm256_storeu_ps(p, v); }
  static V add(V a, V b) { return _mm256_add_ps(a, b); }
  static V sub(V a, V b) { return _mm256_sub_ps(a, b); }
  static V reverse(V v) {
    return _mm256_permutevar8x32_ps(v, _mm256_setr_epi32(6, 7, 4, 5, 2, 3, 0, 1));
  }
  // Real parts to the low 4 lanes, imaginary parts to the high 4.
  static void split(V v, __m128 &re, __m128 &im) {
    const V parts = _mm256_permutevar8x32_ps(v, _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7));
    re = _mm256_castps256_ps128(parts);
    im = _mm256_extractf128_ps(parts, 1);
  }
  static V join(__m128 re, __m128 im) {
    const V parts = _mm256_insertf128_ps(_mm256_castps128_ps256(re), im, 1);
    return _mm256_permutevar8x32_ps(parts, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
  }
  static void split_widen(V v, __m256d &re, __m256d &im) {
    __m128 re_f, im_f;
    split(v, re_f, im_f);
    re = _mm256_cvtps_pd(re_f);
    im = _mm256_cvtps_pd(im_f);
  }
  static V join_rounded(__m256d re, __m256d im) {
    return join(_mm256_cvtpd_ps(re), _mm256_cvtpd_ps(im));
  }
  // Four vectors x0..x3 of rows 0 .. 4 kCount - 1 (x_k holds rows
  // k kCount ...) rearranged so that lane j of x_t holds row 4 j + t, and
  // back. A 4 x 4 transpose of 64-bit complex values.
  static void transpose4(V &x0, V &x1, V &x2, V &x3) {
    const __m256d t0 = _mm256_unpacklo_pd(_mm256_castps_pd(x0), _mm256_castps_pd(x1));
    const __m256d t1 = _mm256_unpackhi_pd(_mm256_castps_pd(x0), _mm256_castps_pd(x1));
    const __m256d t2 = _mm256_unpacklo_pd(_mm256_castps_pd(x2), _mm256_castps_pd(x3));
    const __m256d t3 = _mm256_unpackhi_pd(_mm256_castps_pd(x2), _mm256_castps_pd(x3));
    x0 = _mm256_castpd_ps(_mm256_permute2f128_pd(t0, t2, 0x20));
    x1 = _mm256_castpd_ps(_mm256_permute2f128_pd(t1, t3, 0x20));
    x2 = _mm256_castpd_ps(_mm256_permute2f128_pd(t0, t2, 0x31));
    x3 = _mm256_castpd_ps(_mm256_permute2f128_pd(t1, t3, 0x31));
  }
  static void untranspose4(V &x0, V &x1, V &x2, V &x3) { transpose4(x0, x1, x2, x3); }
};
// The 256-bit types as one argument (also the AVX-512 target's narrower
// kernels).
struct Lanes256 {
  using F = Float256;
  using D = Double256;
  using H = Half128;
  using C = Complex256;
  using One = ScalarLanes;
  using Narrow = ScalarLanes;
};

#endif

#if defined(TS_SIMD_AVX512)

// 16 floats or 8 doubles per vector.
struct Float {
  using V = __m512;
  static constexpr int kLanes = 16;
  static V load(const float *p) { return _mm512_loadu_ps(p); }
  static void store(float *p, V v) { _mm512_storeu_ps(p, v); }
  static V set1(float x) { return _mm512_set1_ps(x); }
  static V add(V a, V b) { return _mm512_add_ps(a, b); }
  static V sub(V a, V b) { return _mm512_sub_ps(a, b); }
  static V mul(V a, V b) { return _mm512_mul_ps(a, b); }
  static V div(V a, V b) { return _mm512_div_ps(a, b); }
  static V neg(V a) { return _mm512_xor_ps(a, _mm512_set1_ps(-0.0f)); }
  // a > b ? a : b per lane; b when either is NaN (the same maxps rule).
  static V max(V a, V b) { return _mm512_max_ps(a, b); }
};
struct Double {
  using V = __m512d;
  static constexpr int kLanes = 8;
  static V load(const double *p) { return _mm512_loadu_pd(p); }
  static void store(double *p, V v) { _mm512_storeu_pd(p, v); }
  static V set1(double x) { return _mm512_set1_pd(x); }
  static V add(V a, V b) { return _mm512_add_pd(a, b); }
  static V sub(V a, V b) { return _mm512_sub_pd(a, b); }
  static V mul(V a, V b) { return _mm512_mul_pd(a, b); }
  static V div(V a, V b) { return _mm512_div_pd(a, b); }
  static V neg(V a) { return _mm512_xor_pd(a, _mm512_set1_pd(-0.0)); }
  // kLanes floats from p, each carried exactly into double.
  static V widen(const float *p) { return _mm512_cvtps_pd(_mm256_loadu_ps(p)); }
  // Each lane rounded to the nearest float and stored at p[0..kLanes-1].
  static void store_rounded(float *p, V v) { _mm256_storeu_ps(p, _mm512_cvtpd_ps(v)); }
};

// 8 floats beside 8 doubles.
struct Half {
  using V = __m256;
  static constexpr int kLanes = 8;
  static V set1(float x) { return _mm256_set1_ps(x); }
  static V add(V a, V b) { return _mm256_add_ps(a, b); }
  static V sub(V a, V b) { return _mm256_sub_ps(a, b); }
  static V mul(V a, V b) { return _mm256_mul_ps(a, b); }
  static V neg(V a) { return _mm256_xor_ps(a, _mm256_set1_ps(-0.0f)); }
  static V from_double(__m512d v) { return _mm512_cvtpd_ps(v); }
  static __m512d widen(V v) { return _mm512_cvtps_pd(v); }
};
// 8 complex values in one 16-float vector.
struct Complex {
  using V = __m512;
  static constexpr int kCount = 8;
  static V load(const float *p) { return _mm512_loadu_ps(p); }
  static void store(float *p, V v) { _mm512_storeu_ps(p, v); }
  static V add(V a, V b) { return _mm512_add_ps(a, b); }
  static V sub(V a, V b) { return _mm512_sub_ps(a, b); }
  static V reverse(V v) {
    return _mm512_permutexvar_ps(
        _mm512_setr_epi32(14, 15, 12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1), v);
  }
  // Real parts to the low 8 lanes, imaginary parts to the high 8.
  static void split(V v, __m256 &re, __m256 &im) {
    const V parts = _mm512_permutexvar_ps(
        _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15), v);
    re = _mm512_castps512_ps256(parts);
    im = _mm512_extractf32x8_ps(parts, 1);
  }
  static V join(__m256 re, __m256 im) {
    const V parts = _mm512_insertf32x8(_mm512_castps256_ps512(re), im, 1);
    return _mm512_permutexvar_ps(
        _mm512_setr_epi32(0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15), parts);
  }
  static void split_widen(V v, __m512d &re, __m512d &im) {
    __m256 re_f, im_f;
    split(v, re_f, im_f);
    re = _mm512_cvtps_pd(re_f);
    im = _mm512_cvtps_pd(im_f);
  }
  static V join_rounded(__m512d re, __m512d im) {
    return join(_mm512_cvtpd_ps(re), _mm512_cvtpd_ps(im));
  }
};
// Kernels that work on four rows of kCount values (the first stage pair)
// and stages shorter than a 512-bit vector use the 256-bit types.
using Narrow = Lanes256;

#elif defined(TS_SIMD_AVX2)

using Float = Float256;
using Double = Double256;
using Half = Half128;
using Complex = Complex256;
using Narrow = ScalarLanes;

#elif defined(TS_SIMD_SSE2)

// 4 floats or 2 doubles per vector.
struct Float {
  using V = __m128;
  static constexpr int kLanes = 4;
  static V load(const float *p) { return _mm_loadu_ps(p); }
  static void store(float *p, V v) { _mm_storeu_ps(p, v); }
  static V set1(float x) { return _mm_set1_ps(x); }
  static V add(V a, V b) { return _mm_add_ps(a, b); }
  static V sub(V a, V b) { return _mm_sub_ps(a, b); }
  static V mul(V a, V b) { return _mm_mul_ps(a, b); }
  static V div(V a, V b) { return _mm_div_ps(a, b); }
  static V neg(V a) { return _mm_xor_ps(a, _mm_set1_ps(-0.0f)); }
  // The sort kernels' operations, as stated for Float256 above.
  static V min(V a, V b) { return _mm_min_ps(a, b); }
  static V max(V a, V b) { return _mm_max_ps(a, b); }
  static V lt(V a, V b) { return _mm_cmplt_ps(a, b); }
  static V eq(V a, V b) { return _mm_cmpeq_ps(a, b); }
  static V unordered(V a, V b) { return _mm_cmpunord_ps(a, b); }
  static V bit_and(V a, V b) { return _mm_and_ps(a, b); }
  static V bit_or(V a, V b) { return _mm_or_ps(a, b); }
  static V and_not(V a, V b) { return _mm_andnot_ps(a, b); }
  static unsigned sign_bits(V v) { return static_cast<unsigned>(_mm_movemask_ps(v)); }
  static bool any_bit(V v) {
    const __m128i i = _mm_castps_si128(v);
    return _mm_movemask_epi8(_mm_cmpeq_epi32(i, _mm_setzero_si128())) != 0xffff;
  }
  static float first(V v) { return _mm_cvtss_f32(v); }
  template <int m>
  static V permute_xor(V v) {
    return _mm_shuffle_ps(v, v, (0 ^ m) | (1 ^ m) << 2 | (2 ^ m) << 4 | (3 ^ m) << 6);
  }
  template <int d>
  static V upper_from(V lo, V hi) {
    const V pick =
        _mm_castsi128_ps(_mm_setr_epi32(0, (1 & d) ? -1 : 0, (2 & d) ? -1 : 0, (3 & d) ? -1 : 0));
    return _mm_or_ps(_mm_and_ps(pick, hi), _mm_andnot_ps(pick, lo));
  }
  // SSE2 has no variable lane permutation: the lanes go through memory.
  static V partition_lanes(V v, unsigned left) {
    float in[4];
    float out[4];
    _mm_storeu_ps(in, v);
    const unsigned code = kPartitions.code[left];
    for (int k = 0; k < 4; ++k) out[k] = in[(code >> (3 * k)) & 7u];
    return _mm_loadu_ps(out);
  }
  static int left_count(unsigned left) { return static_cast<int>(kPartitions.code[left] >> 24); }
  static constexpr LanePartitions<4> kPartitions = lane_partitions<4>();
  static V load_padded(const float *p, std::size_t count, V pad) {
    float lanes[4];
    _mm_storeu_ps(lanes, pad);
    for (std::size_t k = 0; k < count; ++k) lanes[k] = p[k];
    return _mm_loadu_ps(lanes);
  }
  // Transposes the 4 × 4 block whose row i is r[i]. Moves bits only.
  static void transpose(V (&r)[4]) { transpose_square(r); }
  // Lanes below count (0..4) from a, the others from b; bits only.
  static V lanes_below(V a, V b, int count) {
    const V below =
        _mm_castsi128_ps(_mm_cmpgt_epi32(_mm_set1_epi32(count), _mm_setr_epi32(0, 1, 2, 3)));
    return _mm_or_ps(_mm_and_ps(below, a), _mm_andnot_ps(below, b));
  }
  // Lanes lo..hi-1 from p[lo..hi-1], the others +0 / only lanes lo..hi-1
  // stored; SSE2 has no masked moves, so lane by lane.
  static V load_lanes(const float *p, int lo, int hi) {
    float lanes[4] = {};
    for (int k = lo < 0 ? 0 : lo; k < hi && k < 4; ++k) lanes[k] = p[k];
    return _mm_loadu_ps(lanes);
  }
  static void store_lanes(float *p, V v, int lo, int hi) {
    float lanes[4];
    _mm_storeu_ps(lanes, v);
    for (int k = lo < 0 ? 0 : lo; k < hi && k < 4; ++k) p[k] = lanes[k];
  }
  static void transpose_square(V *v) { _MM_TRANSPOSE4_PS(v[0], v[1], v[2], v[3]); }
};
struct Double {
  using V = __m128d;
  static constexpr int kLanes = 2;
  static V load(const double *p) { return _mm_loadu_pd(p); }
  static void store(double *p, V v) { _mm_storeu_pd(p, v); }
  static V set1(double x) { return _mm_set1_pd(x); }
  static V add(V a, V b) { return _mm_add_pd(a, b); }
  static V sub(V a, V b) { return _mm_sub_pd(a, b); }
  static V mul(V a, V b) { return _mm_mul_pd(a, b); }
  static V div(V a, V b) { return _mm_div_pd(a, b); }
  static V neg(V a) { return _mm_xor_pd(a, _mm_set1_pd(-0.0)); }
  static V widen(const float *p) {
    return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p))));
  }
  static void store_rounded(float *p, V v) {
    _mm_storel_epi64(reinterpret_cast<__m128i *>(p), _mm_castps_si128(_mm_cvtpd_ps(v)));
  }
};

// 2 floats beside 2 doubles, in the low lanes of a 4-float vector (the
// high lanes are never stored).
struct Half {
  using V = __m128;
  static constexpr int kLanes = 2;
  static V set1(float x) { return _mm_set1_ps(x); }
  static V add(V a, V b) { return _mm_add_ps(a, b); }
  static V sub(V a, V b) { return _mm_sub_ps(a, b); }
  static V mul(V a, V b) { return _mm_mul_ps(a, b); }
  static V neg(V a) { return _mm_xor_ps(a, _mm_set1_ps(-0.0f)); }
  static V from_double(__m128d v) { return _mm_cvtpd_ps(v); }
  static __m128d widen(V v) { return _mm_cvtps_pd(v); }
};
// 2 complex values in one 4-float vector.
struct Complex {
  using V = __m128;
  static constexpr int kCount = 2;
  static V load(const float *p) { return _mm_loadu_ps(p); }
  static void store(float *p, V v) { _mm_storeu_ps(p, v); }
  static V add(V a, V b) { return _mm_add_ps(a, b); }
  static V sub(V a, V b) { return _mm_sub_ps(a, b); }
  static V reverse(V v) { return _mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 0, 3, 2)); }
  // Real parts to lanes 0-1 of re, imaginary parts to lanes 0-1 of im.
  static void split(V v, __m128 &re, __m128 &im) {
    re = _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 1, 2, 0));
    im = _mm_movehl_ps(re, re);
  }
  static V join(__m128 re, __m128 im) { return _mm_unpacklo_ps(re, im); }
  static void split_widen(V v, __m128d &re, __m128d &im) {
    __m128 re_f, im_f;
    split(v, re_f, im_f);
    re = _mm_cvtps_pd(re_f);
    im = _mm_cvtps_pd(im_f);
  }
  static V join_rounded(__m128d re, __m128d im) { return join(_mm_cvtpd_ps(re), _mm_cvtpd_ps(im)); }
  // x0..x3 hold rows 0-1, 2-3, 4-5, 6-7; afterwards x_t holds rows t, 4 + t.
  static void transpose4(V &x0, V &x1, V &x2, V &x3) {
    const V r0 = _mm_movelh_ps(x0, x2), r1 = _mm_movehl_ps(x2, x0);
    const V r2 = _mm_movelh_ps(x1, x3), r3 = _mm_movehl_ps(x3, x1);
    x0 = r0;
    x1 = r1;
    x2 = r2;
    x3 = r3;
  }
  static void untranspose4(V &x0, V &x1, V &x2, V &x3) {
    const V r0 = _mm_movelh_ps(x0, x1), r2 = _mm_movehl_ps(x1, x0);
    const V r1 = _mm_movelh_ps(x2, x3), r3 = _mm_movehl_ps(x3, x2);
    x0 = r0;
    x1 = r1;
    x2 = r2;
    x3 = r3;
  }
};
using Narrow = ScalarLanes;

#else

using Float = ScalarFloat;
using Double = ScalarDouble;
using Half = ScalarHalf;
using Complex = ScalarComplex;
using Narrow = ScalarLanes;

#endif

// The target's lane types, as one argument for kernel templates; One for
// the elements left over, Narrow for work too short for the full width.
//
// F1 is one float (for leftover rows and columns); FT is the float vector of
// kernels built on in-register transposes (transpose): on AVX-512 that is
// the 8-lane AVX2 type, since a 16 × 16 transpose could not be run on the
// machines these kernels were developed on.
struct Lanes {
  using F = Float;
  using D = Double;
  using H = Half;
  using C = Complex;
  using One = ScalarLanes;
  using Narrow = TS_SIMD_NS::Narrow;
  using F1 = OneFloat;
#if defined(TS_SIMD_AVX512)
  using FT = Float256;
#else
  using FT = Float;
#endif
};

// The lanes the sort kernels run on: the target's own, except on AVX-512,
// whose sort is the AVX2-width code compiled for it (see sort_kernels.h).
#if defined(TS_SIMD_AVX512)
struct SortLanes {
  using F = Float256;
  using D = Double;
};
#else
using SortLanes = Lanes;
#endif

}  // namespace ts::simd::TS_SIMD_NS

#endif
#include "toolkit/linsolve_lanes.h"  // the pivot search's lane operations
