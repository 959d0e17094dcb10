// One- and multi-dimensional FFTs: one radix-2 axis pass serves every
// transform; the real transforms add their untangling steps.
#include "tissuesteward/fft.h"

#include "toolkit/detail/fatal.h"
#include "toolkit/detail/offset.h"
#include "toolkit/detail/rounding.h"

#include <algorithm>
#include <cstdlib>
#include <cstdint>

using ts::detail::block_of;
using ts::detail::fatalf;
using ts::detail::sin_d;
using ts::detail::to_float;
using ts::detail::widen;

namespace {

// 2 pi to 15 significant digits (not to full double precision), and pi to
// 16: the angles of every transform are formed from these.
constexpr double kTwoPiShort = 6.28318530717959;
constexpr double kPi = 3.141592653589793;

// Axes up to this length hold all their twiddle factors (length - 1) in a
// table on the stack, 16 KiB in double.
constexpr unsigned long kTabledLength = 1024;
// Such axes are transformed a piece of lines at a time, all stages on one
// piece before the next: 2^15 floats (128 KiB) stay in a second-level cache.
constexpr unsigned long kPieceFloats = 1UL << 15;
// Longer axes (and the untangling of the real 3-D transform) compute their
// twiddle factors a chunk at a time: 64 keep the chunk on the stack (1 KiB in
// double) while the butterflies of a chunk still sweep long contiguous runs.
constexpr unsigned long kTwiddleChunk = 64;

bool is_power_of_two(unsigned long n) { return n != 0 && (n & (n - 1)) == 0; }

void require_unit_sign(const char *routine, int isign) {
  if (isign != 1 && isign != -1) fatalf("%s: isign=%d is neither 1 nor -1", routine, isign);
}

// The twiddle factor w = wr + i wi, stepped by a fixed angle theta through
// w <- w + w (wpr + i wpi), with wpr = -2 sin^2(theta/2) and wpi = sin(theta):
// two sin calls per angle, all in double. Starts at w = 1.
struct Twiddle {
  double wr = 1.0;
  double wi = 0.0;
  double wpr;
  double wpi;

  explicit Twiddle(double theta) {
    const double wtemp = sin_d(0.5 * theta);
    wpr = -2.0 * wtemp * wtemp;
    wpi = sin_d(theta);
  }
  // Both new values from the old ones.
  void advance() {
    const double old_wr = wr;
    wr = wr + (wr * wpr - wi * wpi);
    wi = wi + (wi * wpr + old_wr * wpi);
  }
};

// How a twiddle factor enters the butterflies: in double for the 1-D
// transform, rounded to float once per group for the N-D transform.
inline void hold(double &slot, double w) { slot = w; }
inline void hold(float &slot, double w) { slot = to_float(w); }

// One butterfly on the complex values a and b with twiddle (wr, wi):
// t = w b; b = a - t; a = a + t. The products and their sum are formed in W
// and rounded once to float (to_float of a float is exact); the additions
// and subtractions are float.
template <class W>
inline void butterfly(float *a, float *b, W wr, W wi) {
  const W b_re = b[0];
  const W b_im = b[1];
  const float tempr = to_float(wr * b_re - wi * b_im);
  const float tempi = to_float(wr * b_im + wi * b_re);
  b[0] = a[0] - tempr;
  b[1] = a[1] - tempi;
  a[0] = a[0] + tempr;
  a[1] = a[1] + tempi;
}

// A set of lines to transform along one axis of a row-major complex array
// (c[2p], c[2p + 1] is complex value p): `rows` positions along the axis,
// `row_stride` complex values apart, each holding `width` neighbouring
// values, one from each line.
struct Piece {
  float *first;
  unsigned long rows;
  unsigned long row_stride;
  unsigned long width;

  float *row(unsigned long r) const { return first + 2 * r * row_stride; }
};

// Puts the rows of a piece of `rows` = the axis length in bit-reversed order.
void bit_reverse(const Piece &piece) {
  unsigned long rev = 0;
  for (unsigned long idx = 0; idx < piece.rows; ++idx) {
    if (idx < rev) std::swap_ranges(piece.row(idx), piece.row(idx) + 2 * piece.width, piece.row(rev));
    unsigned long bit = piece.rows >> 1;
    while (bit >= 1 && rev >= bit) {
      rev -= bit;
      bit >>= 1;
    }
    rev += bit;
  }
}

// The butterflies of stage `half` (pairing rows half apart inside blocks of
// 2 half rows) for the groups g0 .. g0 + groups - 1 of every block; group g
// uses twiddle factor (wr[g - g0], wi[g - g0]). `rows` may span several
// lines' worth of blocks end to end.
template <class W>
void stage_groups(const Piece &piece, unsigned long half, unsigned long g0, unsigned long groups,
                  const W *wr, const W *wi) {
  const unsigned long partner = 2 * half * piece.row_stride;  // floats from a to its b
  for (unsigned long start = 0; start < piece.rows; start += 2 * half)
    for (unsigned long g = 0; g < groups; ++g) {
      float *a = piece.row(start + g0 + g);
      for (unsigned long f = 0; f < 2 * piece.width; f += 2)
        butterfly(a + f, a + f + partner, wr[g], wi[g]);
    }
}

// Stage `half` steps its twiddle factor by the angle isign 2 pi / (2 half),
// from 1 at group 0. The angle is formed as (isign 2pi) / (2 half); for
// isign = +-1 this is the same double as (2pi / (2 half)) isign.
Twiddle stage_twiddle(unsigned long half, int isign) {
  return Twiddle(static_cast<double>(isign) * kTwoPiShort / static_cast<double>(2 * half));
}

// The transform along one axis: bit reversal, then the radix-2 stages.
// Lines are independent and so are the butterflies of one stage; only
// their order changes here, never what a butterfly computes.
// - Axes up to kTabledLength keep every stage's twiddle factors in one table
//   and run all stages on a cache-sized piece of lines before the next.
// - Longer axes run stage by stage over the whole array, a chunk of twiddle
//   factors at a time.
// `length` values `stride` complex values apart, in `count` consecutive
// blocks of length * stride values. W as for butterfly().
template <class W>
void transform_axis(float *c, unsigned long length, unsigned long stride, unsigned long count,
                    int isign) {
  const unsigned long block = length * stride;
  if (length <= kTabledLength) {
    W wr[kTabledLength];  // stage `half` at [half - 1, 2 half - 1)
    W wi[kTabledLength];
    for (unsigned long half = 1; half < length; half *= 2) {
      Twiddle w = stage_twiddle(half, isign);
      for (unsigned long g = 0; g < half; ++g) {
        hold(wr[half - 1 + g], w.wr);
        hold(wi[half - 1 + g], w.wi);
        w.advance();
      }
    }
    const unsigned long width = std::clamp(kPieceFloats / (2 * length), 1UL, stride);
    for (unsigned long r = 0; r < count; ++r)
      for (unsigned long t0 = 0; t0 < stride; t0 += width) {
        const Piece piece{c + 2 * (r * block + t0), length, stride, std::min(width, stride - t0)};
        bit_reverse(piece);
        for (unsigned long half = 1; half < length; half *= 2)
          stage_groups(piece, half, 0, half, wr + half - 1, wi + half - 1);
      }
    return;
  }
  for (unsigned long r = 0; r < count; ++r) bit_reverse(Piece{c + 2 * r * block, length, stride, stride});
  const Piece all{c, length * count, stride, stride};
  W wr[kTwiddleChunk];
  W wi[kTwiddleChunk];
  for (unsigned long half = 1; half < length; half *= 2) {
    Twiddle w = stage_twiddle(half, isign);
    for (unsigned long g0 = 0; g0 < half; g0 += kTwiddleChunk) {
      const unsigned long groups = std::min(kTwiddleChunk, half - g0);
      for (unsigned long g = 0; g < groups; ++g) {
        hold(wr[g], w.wr);
        hold(wi[g], w.wi);
        w.advance();
      }
      stage_groups(all, half, g0, groups, wr, wi);
    }
  }
}

// The transform of a row-major complex array with lengths[0..ndim-1],
// one axis after another from the last. W as for butterfly().
template <class W>
void transform_axes(float *c, const unsigned long *lengths, int ndim, int isign) {
  unsigned long total = 1;
  for (int d = 0; d < ndim; ++d) total *= lengths[d];
  unsigned long stride = 1;
  for (int d = ndim - 1; d >= 0; --d) {
    transform_axis<W>(c, lengths[d], stride, total / (lengths[d] * stride), isign);
    stride *= lengths[d];
  }
}

// The 1-D complex transform: products in double.
void complex_transform(float *c, unsigned long nn, int isign) {
  transform_axes<double>(c, &nn, 1, isign);
}

// Separates two interleaved real transforms at a pair of mirror
// frequencies k and N - k (a and b): the half-sums in float, the four
// results in double with the twiddle factor of k, each rounded once. a and
// b may be the same value; the results are stored in the order a, b.
void untangle_pair(float &a_re, float &a_im, float &b_re, float &b_im, float c1, float c2,
                   double wr, double wi) {
  const float h1r = c1 * (a_re + b_re);
  const float h1i = c1 * (a_im - b_im);
  const float h2r = -c2 * (a_im + b_im);
  const float h2i = c2 * (a_re - b_re);
  a_re = to_float(widen(h1r) + wr * widen(h2r) - wi * widen(h2i));
  a_im = to_float(widen(h1i) + wr * widen(h2i) + wi * widen(h2r));
  b_re = to_float(widen(h1r) - wr * widen(h2r) + wi * widen(h2i));
  b_im = to_float(-widen(h1i) + wr * widen(h2i) + wi * widen(h2r));
}

}  // namespace

void four1(float data[], unsigned long nn, int isign) {
  require_unit_sign("four1", isign);
  if (nn < 2) return;  // zero or one value: its own transform
  if (!is_power_of_two(nn)) fatalf("four1: nn=%lu is not a power of two", nn);
  complex_transform(block_of(data, 1), nn, isign);
}

void realft(float data[], unsigned long n, int isign) {
  if (n < 2) fatalf("realft: n=%lu is below 2", n);
  if (!is_power_of_two(n)) fatalf("realft: n=%lu is not a power of two", n);
  float *c = block_of(data, 1);  // complex k at c[2k], c[2k + 1]
  const bool forward = isign == 1;
  const float c1 = 0.5f;
  const float c2 = forward ? -0.5f : 0.5f;
  double theta = kPi / static_cast<double>(n >> 1);
  if (forward)
    complex_transform(c, n >> 1, 1);
  else
    theta = -theta;
  Twiddle w(theta);
  w.advance();  // from angle 0 to theta: exactly (1 + wpr, wpi)
  // k = n/4 is its own mirror and stays as it is.
  for (unsigned long k = 1; k < (n >> 2); ++k) {
    const unsigned long mirror = (n >> 1) - k;
    untangle_pair(c[2 * k], c[2 * k + 1], c[2 * mirror], c[2 * mirror + 1], c1, c2, w.wr, w.wi);
    w.advance();
  }
  const float h1r = c[0];
  if (forward) {
    c[0] = h1r + c[1];
    c[1] = h1r - c[1];
  } else {
    c[0] = c1 * (h1r + c[1]);
    c[1] = c1 * (h1r - c[1]);
    complex_transform(c, n >> 1, -1);
  }
}

void fourn(float data[], unsigned long nn[], int ndim, int isign) {
  require_unit_sign("fourn", isign);
  for (int d = 1; d <= ndim; ++d)
    if (!is_power_of_two(nn[d])) fatalf("fourn: nn[%d]=%lu is not a power of two", d, nn[d]);
  if (ndim <= 0) return;
  transform_axes<float>(block_of(data, 1), block_of(nn, 1), ndim, isign);
}

namespace {

// The first nn1 x nn2 x nn3 elements of a tensor as one row-major block of
// rows of nn3 floats, checked against every row pointer the untangling
// reads; null if they are not.
float *as_one_block(float ***data, unsigned long nn1, unsigned long nn2, unsigned long nn3) {
  float *first = &data[1][1][1];
  const auto base = reinterpret_cast<std::uintptr_t>(first);
  for (unsigned long i1 = 1; i1 <= nn1; ++i1)
    for (unsigned long i2 = 1; i2 <= nn2; ++i2) {
      const std::uintptr_t expected = base + ((i1 - 1) * nn2 + (i2 - 1)) * nn3 * sizeof(float);
      if (reinterpret_cast<std::uintptr_t>(&data[i1][i2][1]) != expected) return nullptr;
    }
  return first;
}

// A real tensor viewed as complex rows: row (m1, m2) holds nn3/2 complex
// values, value k3 at row[2 k3], row[2 k3 + 1]; the Nyquist plane k3 = nn3/2
// lives in speq, pair m2 of speq row m1 (all indices from 0).
struct RealTensor {
  float *c;
  float **speq;
  unsigned long nn1, nn2, nn3;

  float *row(unsigned long m1, unsigned long m2) const { return c + (m1 * nn2 + m2) * nn3; }
  float *nyquist(unsigned long m1, unsigned long m2) const { return &speq[m1 + 1][2 * m2 + 1]; }
  unsigned long mirror1(unsigned long m1) const { return m1 == 0 ? 0 : nn1 - m1; }
  unsigned long mirror2(unsigned long m2) const { return m2 == 0 ? 0 : nn2 - m2; }
};

// The planes k3 = 0 and nn3/2 pair with each other at mirrored (m1, m2);
// all in float.
void untangle_edge_planes(const RealTensor &t, unsigned long m1, float c1, float c2) {
  for (unsigned long m2 = 0; m2 < t.nn2; ++m2) {
    float *a = t.row(m1, m2);
    float *s = t.nyquist(t.mirror1(m1), t.mirror2(m2));
    const float h1r = c1 * (a[0] + s[0]);
    const float h1i = c1 * (a[1] - s[1]);
    const float h2i = c2 * (a[0] - s[0]);
    const float h2r = -c2 * (a[1] + s[1]);
    a[0] = h1r + h2r;
    a[1] = h1i + h2i;
    s[0] = h1r - h2r;
    s[1] = h2i - h1i;
  }
}

// The planes 0 < k3 <= nn3/4 with their mirrors nn3/2 - k3, for one m1.
// Pairs of different planes are independent, so each row runs through a
// chunk of planes at once; in the self-mirrored plane k3 = nn3/4 a pair is
// met twice, and the rows keep their order m2 = 0, 1, ... for it.
void untangle_inner_planes(const RealTensor &t, unsigned long m1, const Twiddle &step, float c1,
                           float c2) {
  const unsigned long half = t.nn3 >> 1;
  const unsigned long last = t.nn3 >> 2;
  const unsigned long j1 = t.mirror1(m1);
  Twiddle w = step;  // restarts at angle 0 for every m1
  w.advance();
  double wr[kTwiddleChunk];
  double wi[kTwiddleChunk];
  for (unsigned long k0 = 1; k0 <= last; k0 += kTwiddleChunk) {
    const unsigned long planes = std::min(kTwiddleChunk, last + 1 - k0);
    for (unsigned long p = 0; p < planes; ++p) {
      wr[p] = w.wr;
      wi[p] = w.wi;
      w.advance();
    }
    for (unsigned long m2 = 0; m2 < t.nn2; ++m2) {
      float *a = t.row(m1, m2);
      float *b = t.row(j1, t.mirror2(m2));
      for (unsigned long p = 0; p < planes; ++p) {
        const unsigned long k3 = k0 + p;
        const unsigned long k3_mirror = half - k3;
        untangle_pair(a[2 * k3], a[2 * k3 + 1], b[2 * k3_mirror], b[2 * k3_mirror + 1], c1, c2,
                      wr[p], wi[p]);
      }
    }
  }
}

}  // namespace

void rlft3(float ***data, float **speq, unsigned long nn1, unsigned long nn2, unsigned long nn3,
           int isign) {
  require_unit_sign("rlft3", isign);
  if (!is_power_of_two(nn1)) fatalf("rlft3: nn1=%lu is not a power of two", nn1);
  if (!is_power_of_two(nn2)) fatalf("rlft3: nn2=%lu is not a power of two", nn2);
  if (nn3 < 2) fatalf("rlft3: nn3=%lu is below 2", nn3);
  if (!is_power_of_two(nn3)) fatalf("rlft3: nn3=%lu is not a power of two", nn3);
  float *c = as_one_block(data, nn1, nn2, nn3);
  if (c == nullptr) std::exit(1);  // silently: the one fatal exit without a report

  const RealTensor t{c, speq, nn1, nn2, nn3};
  const unsigned long lengths[3] = {nn1, nn2, nn3 >> 1};
  const float c1 = 0.5f;
  const float c2 = to_float(-0.5 * static_cast<double>(isign));
  const Twiddle step((kTwoPiShort / static_cast<double>(nn3)) * static_cast<double>(isign));
  if (isign == 1) {
    transform_axes<float>(c, lengths, 3, 1);
    for (unsigned long m1 = 0; m1 < nn1; ++m1)
      for (unsigned long m2 = 0; m2 < nn2; ++m2) {
        const float *a = t.row(m1, m2);
        float *s = t.nyquist(m1, m2);
        s[0] = a[0];
        s[1] = a[1];
      }
  }
  for (unsigned long m1 = 0; m1 < nn1; ++m1) {
    untangle_edge_planes(t, m1, c1, c2);
    untangle_inner_planes(t, m1, step, c1, c2);
  }
  if (isign == -1) transform_axes<float>(c, lengths, 3, -1);
}
