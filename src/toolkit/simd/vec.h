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
#include <immintrin.h>
#endif

namespace ts::simd::TS_SIMD_NS {

// One float per "vector", the plain operations: the scalar target's Float,
// and every target's type for the columns and rows left over after its full
// vectors.
struct OneFloat {
  using V = float;
  static constexpr int kLanes = 1;
  static V load(const float *p) { return *p; }
  static void store(float *p, V v) { *p = v; }
  static V set1(float x) { return x; }
  static V add(V a, V b) { return a + b; }
  static V sub(V a, V b) { return a - b; }
  static V mul(V a, V b) { return a * b; }
  static V div(V a, V b) { return a / b; }
  // a > b ? a : b per lane: b when either is NaN (the maxps rule).
  static V max(V a, V b) { return a > b ? a : b; }
  // -a: the sign bit flipped, NaNs and zeros included.
  static V neg(V a) { return -a; }
  // Per lane: x's magnitude (its value, if not its sign bit, for ±0) where
  // counts[lane] is 0, else +0. A NaN stays a NaN.
  static V magnitude_where_zero(V x, const int *counts) {
    return counts[0] == 0 ? (x < 0.0f ? -x : x) : 0.0f;
  }
  // A 1 × 1 block is its own transpose.
  static void transpose(V (&)[1]) {}
};

#if defined(TS_SIMD_AVX2) || defined(TS_SIMD_AVX512)

// 8 floats per vector: the AVX2 target's Float, and the AVX-512 target's
// type for the kernels built on in-register transposes (see Lanes).
struct Float8 {
  using V = __m256;
  static constexpr int kLanes = 8;
  static V load(const float *p) { return _mm256_loadu_ps(p); }
  static void store(float *p, V v) { _mm256_storeu_ps(p, v); }
  static V set1(float x) { return _mm256_set1_ps(x); }
  static V add(V a, V b) { return _mm256_add_ps(a, b); }
  static V sub(V a, V b) { return _mm256_sub_ps(a, b); }
  static V mul(V a, V b) { return _mm256_mul_ps(a, b); }
  static V div(V a, V b) { return _mm256_div_ps(a, b); }
  static V max(V a, V b) { return _mm256_max_ps(a, b); }
  static V neg(V a) { return _mm256_xor_ps(a, _mm256_set1_ps(-0.0f)); }  // sign bit flipped
  // |x| (sign bit cleared) where counts[lane] == 0, else +0.
  static V magnitude_where_zero(V x, const int *counts) {
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(counts));
    const __m256i keep = _mm256_cmpeq_epi32(c, _mm256_setzero_si256());
    const __m256i bits = _mm256_and_si256(_mm256_castps_si256(x), _mm256_srli_epi32(keep, 1));
    return _mm256_castsi256_ps(bits);
  }
  // Transposes the 8 × 8 block whose row i is r[i]: afterwards lane j of
  // r[i] holds what lane i of r[j] held. Moves bits only (no arithmetic).
  static void transpose(V (&r)[8]) {
    const V t0 = _mm256_unpacklo_ps(r[0], r[1]), t1 = _mm256_unpackhi_ps(r[0], r[1]);
    const V t2 = _mm256_unpacklo_ps(r[2], r[3]), t3 = _mm256_unpackhi_ps(r[2], r[3]);
    const V t4 = _mm256_unpacklo_ps(r[4], r[5]), t5 = _mm256_unpackhi_ps(r[4], r[5]);
    const V t6 = _mm256_unpacklo_ps(r[6], r[7]), t7 = _mm256_unpackhi_ps(r[6], r[7]);
    const V u0 = _mm256_shuffle_ps(t0, t2, 0x44), u1 = _mm256_shuffle_ps(t0, t2, 0xee);
    const V u2 = _mm256_shuffle_ps(t1, t3, 0x44), u3 = _mm256_shuffle_ps(t1, t3, 0xee);
    const V u4 = _mm256_shuffle_ps(t4, t6, 0x44), u5 = _mm256_shuffle_ps(t4, t6, 0xee);
    const V u6 = _mm256_shuffle_ps(t5, t7, 0x44), u7 = _mm256_shuffle_ps(t5, t7, 0xee);
    r[0] = _mm256_permute2f128_ps(u0, u4, 0x20);
    r[1] = _mm256_permute2f128_ps(u1, u5, 0x20);
    r[2] = _mm256_permute2f128_ps(u2, u6, 0x20);
    r[3] = _mm256_permute2f128_ps(u3, u7, 0x20);
    r[4] = _mm256_permute2f128_ps(u0, u4, 0x31);
    r[5] = _mm256_permute2f128_ps(u1, u5, 0x31);
    r[6] = _mm256_permute2f128_ps(u2, u6, 0x31);
    r[7] = _mm256_permute2f128_ps(u3, u7, 0x31);
  }
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
  // a > b ? a : b per lane; b when either is NaN (the same maxps rule).
  static V max(V a, V b) { return _mm512_mask_max_ps(a, 0xffff, a, b); }  // every lane selected
  // The sign bit flipped (an integer xor with 0x80000000 in every lane).
  static V neg(V a) {
    return _mm512_castsi512_ps(_mm512_xor_si512(_mm512_castps_si512(a), _mm512_set1_epi32(-2147483647 - 1)));
  }
  // |x| (sign bit cleared) where counts[lane] == 0, else +0: the mask of
  // zero counts selects x & 0x7fffffff, the other lanes are zeroed.
  static V magnitude_where_zero(V x, const int *counts) {
    const __mmask16 keep = _mm512_cmpeq_epi32_mask(_mm512_loadu_si512(counts), _mm512_setzero_si512());
    return _mm512_castsi512_ps(
        _mm512_maskz_and_epi32(keep, _mm512_castps_si512(x), _mm512_set1_epi32(0x7fffffff)));
  }
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
  // kLanes floats from p, each carried exactly into double.
  static V widen(const float *p) { return _mm512_cvtps_pd(_mm256_loadu_ps(p)); }
  // Each lane rounded to the nearest float and stored at p[0..kLanes-1].
  static void store_rounded(float *p, V v) { _mm256_storeu_ps(p, _mm512_cvtpd_ps(v)); }
};

#elif defined(TS_SIMD_AVX2)

// 8 floats or 4 doubles per vector.
using Float = Float8;
struct Double {
  using V = __m256d;
  static constexpr int kLanes = 4;
  static V load(const double *p) { return _mm256_loadu_pd(p); }
  static void store(double *p, V v) { _mm256_storeu_pd(p, v); }
  static V set1(double x) { return _mm256_set1_pd(x); }
  static V add(V a, V b) { return _mm256_add_pd(a, b); }
  static V sub(V a, V b) { return _mm256_sub_pd(a, b); }
  static V mul(V a, V b) { return _mm256_mul_pd(a, b); }
  static V div(V a, V b) { return _mm256_div_pd(a, b); }
  static V widen(const float *p) { return _mm256_cvtps_pd(_mm_loadu_ps(p)); }
  static void store_rounded(float *p, V v) { _mm_storeu_ps(p, _mm256_cvtpd_ps(v)); }
};

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
  static V max(V a, V b) { return _mm_max_ps(a, b); }
  static V neg(V a) { return _mm_xor_ps(a, _mm_set1_ps(-0.0f)); }  // sign bit flipped
  // |x| (sign bit cleared) where counts[lane] == 0, else +0.
  static V magnitude_where_zero(V x, const int *counts) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(counts));
    const __m128i keep = _mm_cmpeq_epi32(c, _mm_setzero_si128());
    return _mm_castsi128_ps(_mm_and_si128(_mm_castps_si128(x), _mm_srli_epi32(keep, 1)));
  }
  // Transposes the 4 × 4 block whose row i is r[i] (lane j of r[i] becomes
  // what lane i of r[j] was). Moves bits only.
  static void transpose(V (&r)[4]) { _MM_TRANSPOSE4_PS(r[0], r[1], r[2], r[3]); }
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
  static V widen(const float *p) {
    return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p))));
  }
  static void store_rounded(float *p, V v) {
    _mm_storel_epi64(reinterpret_cast<__m128i *>(p), _mm_castps_si128(_mm_cvtpd_ps(v)));
  }
};

#else

// The scalar target: one lane, the plain operations. This instantiation is
// the reference the others are checked against.
using Float = OneFloat;
struct Double {
  using V = double;
  static constexpr int kLanes = 1;
  static V load(const double *p) { return *p; }
  static void store(double *p, V v) { *p = v; }
  static V set1(double x) { return x; }
  static V add(V a, V b) { return a + b; }
  static V sub(V a, V b) { return a - b; }
  static V mul(V a, V b) { return a * b; }
  static V div(V a, V b) { return a / b; }
  static V widen(const float *p) { return static_cast<double>(*p); }
  static void store_rounded(float *p, V v) { *p = static_cast<float>(v); }
};

#endif

// The target's lane types, as one argument for kernel templates. F1 is one
// float (for leftover rows and columns); FT is the float vector of kernels
// built on in-register transposes (T::transpose): on AVX-512 that is the
// 8-lane AVX2 type, since a 16 × 16 transpose could not be run on the
// machines these kernels were developed on.
struct Lanes {
  using F = Float;
  using D = Double;
  using F1 = OneFloat;
#if defined(TS_SIMD_AVX512)
  using FT = Float8;
#else
  using FT = Float;
#endif
};

}  // namespace ts::simd::TS_SIMD_NS

#endif
