// SPDX-License-Identifier: MIT
// Vector kernels of the FFTs: the pointer table the transforms use, and the
// templates each target instantiates on its lane types (simd/vec.h).
//
// Every kernel runs butterflies (or untangling steps) that are independent
// of each other, several at once across vector lanes; each lane computes
// exactly what the scalar instantiation computes for it. Complex values are
// stored interleaved: value k at c[2k] (real) and c[2k + 1] (imaginary).
// Twiddle factors come as separate wr[] and wi[] doubles of the positive
// sign; with `negate` the kernel uses 0 - wi, which is what the recurrence
// reaches for the negative sign (-wi, but +0 for the factor 1).
#ifndef TISSUESTEWARD_FFT_KERNELS_H
#define TISSUESTEWARD_FFT_KERNELS_H

#include <type_traits>

namespace ts::simd {

struct FftKernels {
  // One radix-2 stage on the complex rows c[0 .. rows) (a whole number of
  // blocks of 2 half rows): in every block, for g = g0 .. g0 + groups - 1,
  // with a = row g, b = row g + half and w = wr[g - g0] + i wi[g - g0]:
  // t = w b, b = a - t, a = a + t. `_double`: the products and their sum in
  // double from the float values, rounded once (1-D transforms);
  // `_float`: w rounded to float, all in float (N-D transforms).
  void (*stage_double)(float *c, unsigned long rows, unsigned long half, unsigned long g0,
                       unsigned long groups, const double *wr, const double *wi, bool negate);
  void (*stage_float)(float *c, unsigned long rows, unsigned long half, unsigned long g0,
                      unsigned long groups, const double *wr, const double *wi, bool negate);
  // The stages `half` (factors wr1, wi1) and 2 half (wr2, wi2), all groups,
  // with every value loaded and stored once for both.
  void (*stage_pair_double)(float *c, unsigned long rows, unsigned long half, const double *wr1,
                            const double *wi1, const double *wr2, const double *wi2, bool negate);
  void (*stage_pair_float)(float *c, unsigned long rows, unsigned long half, const double *wr1,
                           const double *wi1, const double *wr2, const double *wi2, bool negate);
  // stage_float on lines `row_stride` complex values apart: row r starts at
  // first + 2 r row_stride and holds `width` neighbouring values, all
  // transformed with the same factor.
  void (*strided_stage_float)(float *first, unsigned long rows, unsigned long row_stride,
                              unsigned long width, unsigned long half, unsigned long g0,
                              unsigned long groups, const double *wr, const double *wi,
                              bool negate);
  // Separates two interleaved real transforms at `pairs` pairs of mirror
  // frequencies: pair p joins the complex values at a + 2p and b - 2p, with
  // factor wr[p] + i wi[p]. Half-sums in float, h2r with -c2:
  //   h1r = c1 (a.re + b.re)   h1i = c1 (a.im - b.im)
  //   h2r = -c2 (a.im + b.im)  h2i = c2 (a.re - b.re)
  // and in double, each rounded once:
  //   a.re = h1r + wr h2r - wi h2i    a.im = h1i + wr h2i + wi h2r
  //   b.re = h1r - wr h2r + wi h2i    b.im = -h1i + wr h2i + wi h2r
  // The two runs of values must not overlap.
  void (*untangle)(float *a, float *b, unsigned long pairs, float c1, float c2, const double *wr,
                   const double *wi, bool negate);
};

namespace generic {

// Twiddle products in double from the float values, rounded once.
template <class L>
struct InDouble {
  using C = typename L::C;
  using D = typename L::D;
  using W = typename D::V;
  static constexpr int kCount = C::kCount;

  // Factors for kCount consecutive groups, or one for all lanes.
  static void load(const double *wr, const double *wi, bool negate, W &r, W &i) {
    r = D::load(wr);
    i = negate ? D::sub(D::set1(0.0), D::load(wi)) : D::load(wi);
  }
  static void spread(const double *wr, const double *wi, bool negate, W &r, W &i) {
    r = D::set1(*wr);
    i = negate ? D::sub(D::set1(0.0), D::set1(*wi)) : D::set1(*wi);
  }
  // tempr = wr b.re - wi b.im, tempi = wr b.im + wi b.re.
  static typename C::V times(typename C::V b, W r, W i) {
    typename D::V re, im;
    C::split_widen(b, re, im);
    return C::join_rounded(D::sub(D::mul(r, re), D::mul(i, im)),
                           D::add(D::mul(r, im), D::mul(i, re)));
  }
};

// Twiddle factors rounded to float, products and sums in float.
template <class L>
struct InFloat {
  using C = typename L::C;
  using D = typename L::D;
  using H = typename L::H;
  using W = typename H::V;
  static constexpr int kCount = C::kCount;

  static void load(const double *wr, const double *wi, bool negate, W &r, W &i) {
    r = H::from_double(D::load(wr));
    i = H::from_double(negate ? D::sub(D::set1(0.0), D::load(wi)) : D::load(wi));
  }
  static void spread(const double *wr, const double *wi, bool negate, W &r, W &i) {
    r = H::from_double(D::set1(*wr));
    i = H::from_double(negate ? D::sub(D::set1(0.0), D::set1(*wi)) : D::set1(*wi));
  }
  static typename C::V times(typename C::V b, W r, W i) {
    typename H::V re, im;
    C::split(b, re, im);
    return C::join(H::sub(H::mul(r, re), H::mul(i, im)), H::add(H::mul(r, im), H::mul(i, re)));
  }
};

// The register kernels below are small and called in the innermost loops:
// always inlined, so their operands stay in registers.

// a, b = a + w b, a - w b for kCount neighbouring pairs.
template <class P>
[[gnu::always_inline]] inline void butterfly(float *a, float *b, typename P::W wr,
                                             typename P::W wi) {
  using C = typename P::C;
  const typename C::V t = P::times(C::load(b), wr, wi);
  const typename C::V av = C::load(a);
  C::store(b, C::sub(av, t));
  C::store(a, C::add(av, t));
}

// Policy P for products, on the vector lanes of L or on one lane.
template <template <class> class P, class L>
void stage(float *c, unsigned long rows, unsigned long half, unsigned long g0, unsigned long groups,
           const double *wr, const double *wi, bool negate) {
  using PV = P<L>;
  using P1 = P<typename L::One>;
  for (unsigned long start = 0; start < rows; start += 2 * half) {
    float *a = c + 2 * (start + g0);
    float *b = a + 2 * half;
    unsigned long g = 0;
    for (; g + PV::kCount <= groups; g += PV::kCount) {
      typename PV::W r, i;
      PV::load(wr + g, wi + g, negate, r, i);
      butterfly<PV>(a + 2 * g, b + 2 * g, r, i);
    }
    for (; g < groups; ++g) {
      typename P1::W r, i;
      P1::load(wr + g, wi + g, negate, r, i);
      butterfly<P1>(a + 2 * g, b + 2 * g, r, i);
    }
  }
}

// Four rows through stage h (pairs x0, x1 and x2, x3, factor w1 for both)
// and then stage 2h (pairs x0, x2 with factor w2a, x1, x3 with w2b), in
// registers.
template <class P>
[[gnu::always_inline]] inline void quad_in_registers(typename P::C::V &x0, typename P::C::V &x1,
                                                     typename P::C::V &x2, typename P::C::V &x3,
                                                     typename P::W r1, typename P::W i1,
                                                     typename P::W r2a, typename P::W i2a,
                                                     typename P::W r2b, typename P::W i2b) {
  using C = typename P::C;
  typename C::V t = P::times(x1, r1, i1);
  x1 = C::sub(x0, t);
  x0 = C::add(x0, t);
  t = P::times(x3, r1, i1);
  x3 = C::sub(x2, t);
  x2 = C::add(x2, t);
  t = P::times(x2, r2a, i2a);
  x2 = C::sub(x0, t);
  x0 = C::add(x0, t);
  t = P::times(x3, r2b, i2b);
  x3 = C::sub(x1, t);
  x1 = C::add(x1, t);
}

// Rows g, g + h, g + 2h, g + 3h (a[0], a[2h], a[4h], a[6h] in floats)
// through stages h and 2h, loaded and stored once.
template <class P>
[[gnu::always_inline]] inline void quad(float *a, unsigned long half, typename P::W r1,
                                        typename P::W i1, typename P::W r2a, typename P::W i2a,
                                        typename P::W r2b, typename P::W i2b) {
  using C = typename P::C;
  const unsigned long h = 2 * half;  // floats between the rows
  typename C::V x0 = C::load(a), x1 = C::load(a + h), x2 = C::load(a + 2 * h),
                x3 = C::load(a + 3 * h);
  quad_in_registers<P>(x0, x1, x2, x3, r1, i1, r2a, i2a, r2b, i2b);
  C::store(a, x0);
  C::store(a + h, x1);
  C::store(a + 2 * h, x2);
  C::store(a + 3 * h, x3);
}

// All groups of stages half and 2 half on the lanes of L, from group `g`.
template <class P>
void quads_from(float *c, unsigned long rows, unsigned long half, unsigned long g,
                const double *wr1, const double *wi1, const double *wr2, const double *wi2,
                bool negate) {
  for (unsigned long start = 0; start < rows; start += 4 * half)
    for (unsigned long k = g; k + P::kCount <= half; k += P::kCount) {
      typename P::W r1, i1, r2a, i2a, r2b, i2b;
      P::load(wr1 + k, wi1 + k, negate, r1, i1);
      P::load(wr2 + k, wi2 + k, negate, r2a, i2a);
      P::load(wr2 + half + k, wi2 + half + k, negate, r2b, i2b);
      quad<P>(c + 2 * (start + k), half, r1, i1, r2a, i2a, r2b, i2b);
    }
}

// The first two stages (half = 1): each block of four neighbouring rows is
// one quad. Vectors of kCount blocks are transposed so that each lane holds
// one block; the factors are the same in every lane. Lanes wider than four
// values per vector use the narrower types.
template <template <class> class P, class L>
void first_stage_pair(float *c, unsigned long rows, const double *wr1, const double *wi1,
                      const double *wr2, const double *wi2, bool negate) {
  using LQ = std::conditional_t<(L::C::kCount > 4), typename L::Narrow, L>;
  using PV = P<LQ>;
  using C = typename LQ::C;
  typename PV::W r1, i1, r2a, i2a, r2b, i2b;
  PV::spread(wr1, wi1, negate, r1, i1);
  PV::spread(wr2, wi2, negate, r2a, i2a);
  PV::spread(wr2 + 1, wi2 + 1, negate, r2b, i2b);
  constexpr unsigned long kSpan = 4 * C::kCount;  // rows per step
  unsigned long start = 0;
  for (; start + kSpan <= rows; start += kSpan) {
    float *a = c + 2 * start;
    typename C::V x0 = C::load(a), x1 = C::load(a + 2 * C::kCount), x2 = C::load(a + 4 * C::kCount),
                  x3 = C::load(a + 6 * C::kCount);
    C::transpose4(x0, x1, x2, x3);
    quad_in_registers<PV>(x0, x1, x2, x3, r1, i1, r2a, i2a, r2b, i2b);
    C::untranspose4(x0, x1, x2, x3);
    C::store(a, x0);
    C::store(a + 2 * C::kCount, x1);
    C::store(a + 4 * C::kCount, x2);
    C::store(a + 6 * C::kCount, x3);
  }
  quads_from<P<typename L::One>>(c + 2 * start, rows - start, 1, 0, wr1, wi1, wr2, wi2, negate);
}

template <template <class> class P, class L>
void stage_pair(float *c, unsigned long rows, unsigned long half, const double *wr1,
                const double *wi1, const double *wr2, const double *wi2, bool negate) {
  using PV = P<L>;
  using PN = P<typename L::Narrow>;
  if (half == 1) {
    first_stage_pair<P, L>(c, rows, wr1, wi1, wr2, wi2, negate);
  } else if (half >= PV::kCount) {
    quads_from<PV>(c, rows, half, 0, wr1, wi1, wr2, wi2, negate);
  } else if (half >= PN::kCount) {
    quads_from<PN>(c, rows, half, 0, wr1, wi1, wr2, wi2, negate);
  } else {
    quads_from<P<typename L::One>>(c, rows, half, 0, wr1, wi1, wr2, wi2, negate);
  }
}

template <class L>
void strided_stage(float *first, unsigned long rows, unsigned long row_stride, unsigned long width,
                   unsigned long half, unsigned long g0, unsigned long groups, const double *wr,
                   const double *wi, bool negate) {
  using PV = InFloat<L>;
  using P1 = InFloat<typename L::One>;
  const unsigned long partner = 2 * half * row_stride;  // floats from a to its b
  for (unsigned long start = 0; start < rows; start += 2 * half)
    for (unsigned long g = 0; g < groups; ++g) {
      float *a = first + 2 * (start + g0 + g) * row_stride;
      typename PV::W rv, iv;
      PV::spread(wr + g, wi + g, negate, rv, iv);
      typename P1::W r1, i1;
      P1::spread(wr + g, wi + g, negate, r1, i1);
      unsigned long f = 0;
      for (; f + PV::kCount <= width; f += PV::kCount)
        butterfly<PV>(a + 2 * f, a + 2 * f + partner, rv, iv);
      for (; f < width; ++f) butterfly<P1>(a + 2 * f, a + 2 * f + partner, r1, i1);
    }
}

// Untangles the kCount pairs p .. p + kCount - 1 of L's lanes.
template <class L>
[[gnu::always_inline]] inline void untangle_lanes(float *a, float *b, unsigned long p, float c1,
                                                  float c2, const double *wr, const double *wi,
                                                  bool negate) {
  using C = typename L::C;
  using D = typename L::D;
  using H = typename L::H;
  float *a_at = a + 2 * p;
  float *b_at = b - 2 * (p + C::kCount - 1);  // the mirrors, in reverse order
  typename H::V are, aim, bre, bim;
  C::split(C::load(a_at), are, aim);
  C::split(C::reverse(C::load(b_at)), bre, bim);
  const typename H::V c1v = H::set1(c1), c2v = H::set1(c2);
  const typename D::V h1r = H::widen(H::mul(c1v, H::add(are, bre)));
  const typename D::V h1i = H::widen(H::mul(c1v, H::sub(aim, bim)));
  const typename D::V h2r = H::widen(H::mul(H::neg(c2v), H::add(aim, bim)));
  const typename D::V h2i = H::widen(H::mul(c2v, H::sub(are, bre)));
  const typename D::V r = D::load(wr + p);
  const typename D::V i = negate ? D::sub(D::set1(0.0), D::load(wi + p)) : D::load(wi + p);
  const typename D::V r_h2r = D::mul(r, h2r), i_h2i = D::mul(i, h2i);
  const typename D::V r_h2i = D::mul(r, h2i), i_h2r = D::mul(i, h2r);
  C::store(a_at,
           C::join_rounded(D::sub(D::add(h1r, r_h2r), i_h2i), D::add(D::add(h1i, r_h2i), i_h2r)));
  C::store(b_at, C::reverse(C::join_rounded(D::add(D::sub(h1r, r_h2r), i_h2i),
                                            D::add(D::add(D::neg(h1i), r_h2i), i_h2r))));
}

template <class L>
void untangle(float *a, float *b, unsigned long pairs, float c1, float c2, const double *wr,
              const double *wi, bool negate) {
  unsigned long p = 0;
  for (; p + L::C::kCount <= pairs; p += L::C::kCount)
    untangle_lanes<L>(a, b, p, c1, c2, wr, wi, negate);
  for (; p < pairs; ++p) untangle_lanes<typename L::One>(a, b, p, c1, c2, wr, wi, negate);
}

}  // namespace generic

template <class L>
constexpr FftKernels fft_kernels() {
  return FftKernels{&generic::stage<generic::InDouble, L>,
                    &generic::stage<generic::InFloat, L>,
                    &generic::stage_pair<generic::InDouble, L>,
                    &generic::stage_pair<generic::InFloat, L>,
                    &generic::strided_stage<L>,
                    &generic::untangle<L>};
}

}  // namespace ts::simd

#endif
