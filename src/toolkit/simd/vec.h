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
struct Float {
  using V = __m256;
  static constexpr int kLanes = 8;
  static V load(const float *p) { return _mm256_loadu_ps(p); }
  static void store(float *p, V v) { _mm256_storeu_ps(p, v); }
  static V set1(float x) { return _mm256_set1_ps(x); }
  static V add(V a, V b) { return _mm256_add_ps(a, b); }
  static V sub(V a, V b) { return _mm256_sub_ps(a, b); }
  static V mul(V a, V b) { return _mm256_mul_ps(a, b); }
  static V div(V a, V b) { return _mm256_div_ps(a, b); }
};
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
struct Float {
  using V = float;
  static constexpr int kLanes = 1;
  static V load(const float *p) { return *p; }
  static void store(float *p, V v) { *p = v; }
  static V set1(float x) { return x; }
  static V add(V a, V b) { return a + b; }
  static V sub(V a, V b) { return a - b; }
  static V mul(V a, V b) { return a * b; }
  static V div(V a, V b) { return a / b; }
};
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

// The target's lane types, as one argument for kernel templates.
struct Lanes {
  using F = Float;
  using D = Double;
};

}  // namespace ts::simd::TS_SIMD_NS

#endif
