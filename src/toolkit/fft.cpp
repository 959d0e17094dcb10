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

// Twiddle factors computed ahead of the butterflies that use them, a chunk
// at a time: 64 keeps the table on the stack (1 KiB in double) while each
// chunk's butterflies still sweep long contiguous runs.
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

// One axis of a row-major complex array (c[2p], c[2p + 1] is complex value
// p): `length` values `stride` complex values apart, in `count` consecutive
// blocks of length * stride values.
struct Axis {
  unsigned long length;
  unsigned long stride;
  unsigned long count;
};

void swap_runs(float *a, float *b, unsigned long floats) {
  for (unsigned long f = 0; f < floats; ++f) std::swap(a[f], b[f]);
}

// Puts the values of every line along the axis in bit-reversed order.
void bit_reverse(float *c, const Axis &axis) {
  const unsigned long block = axis.length * axis.stride;
  unsigned long rev = 0;
  for (unsigned long idx = 0; idx < axis.length; ++idx) {
    if (idx < rev)
      for (unsigned long r = 0; r < axis.count; ++r)
        swap_runs(c + 2 * (r * block + idx * axis.stride), c + 2 * (r * block + rev * axis.stride),
                  2 * axis.stride);
    unsigned long bit = axis.length >> 1;
    while (bit >= 1 && rev >= bit) {
      rev -= bit;
      bit >>= 1;
    }
    rev += bit;
  }
}

// The radix-2 stages along the axis, on bit-reversed input. Stage `half`
// pairs values half apart inside blocks of 2 half; group g of each block
// uses the twiddle factor reached after g steps of angle
// isign 2 pi / (2 half). That angle is formed as (isign 2pi) / (2 half); for
// isign = +-1 this is the same double as (2pi / (2 half)) isign.
// The butterflies of one stage are independent of each other, so they run
// block by block for locality; each keeps the twiddle factor of its group.
template <class W>
void butterfly_stages(float *c, const Axis &axis, int isign) {
  const unsigned long total = axis.length * axis.stride * axis.count;
  W wr[kTwiddleChunk];
  W wi[kTwiddleChunk];
  for (unsigned long half = 1; half < axis.length; half *= 2) {
    const unsigned long span = 2 * half * axis.stride;     // complex values per block
    const unsigned long partner = 2 * (half * axis.stride);  // floats from a to its b
    Twiddle w(static_cast<double>(isign) * kTwoPiShort / static_cast<double>(2 * half));
    for (unsigned long g0 = 0; g0 < half; g0 += kTwiddleChunk) {
      const unsigned long groups = std::min(kTwiddleChunk, half - g0);
      for (unsigned long g = 0; g < groups; ++g) {
        hold(wr[g], w.wr);
        hold(wi[g], w.wi);
        w.advance();
      }
      for (unsigned long start = 0; start < total; start += span)
        for (unsigned long g = 0; g < groups; ++g) {
          float *a = c + 2 * (start + (g0 + g) * axis.stride);
          for (unsigned long f = 0; f < 2 * axis.stride; f += 2)
            butterfly(a + f, a + f + partner, wr[g], wi[g]);
        }
    }
  }
}

// The transform of a row-major complex array with lengths[0..ndim-1],
// one axis after another from the last. W as for butterfly().
template <class W>
void transform_axes(float *c, const unsigned long *lengths, int ndim, int isign) {
  unsigned long total = 1;
  for (int d = 0; d < ndim; ++d) total *= lengths[d];
  unsigned long inner = 1;
  for (int d = ndim - 1; d >= 0; --d) {
    const Axis axis{lengths[d], inner, total / (lengths[d] * inner)};
    bit_reverse(c, axis);
    butterfly_stages<W>(c, axis, isign);
    inner *= lengths[d];
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
