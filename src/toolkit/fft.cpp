// SPDX-License-Identifier: MIT
// One- and multi-dimensional FFTs: one radix-2 axis pass serves every
// transform; the real transforms add their untangling steps. Butterflies
// and untangling run as vector kernels (fft_kernels.h) of the target the
// process chose; twiddle factors come from read-only tables built by the
// transforms' own recurrence (fft_twiddles.h) or, past the tables, from
// that recurrence at run time.
#include "tissuesteward/fft.h"

#include "toolkit/detail/fatal.h"
#include "toolkit/detail/offset.h"
#include "toolkit/detail/rounding.h"
#include "toolkit/fft_twiddles.h"
#include "toolkit/fft_twiddles/sin_constants.h"
#include "toolkit/simd/kernels.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

using ts::detail::block_of;
using ts::detail::count_d;
using ts::detail::fatal_exit;
using ts::detail::fatalf;
using ts::detail::to_float;
using ts::detail::widen;

namespace {

// Stages pairing values up to this many rows apart (2^13 complex values,
// 64 KiB) run block by block on a block of this size, all of them while it
// is in cache, before the longer stages sweep the whole array.
constexpr unsigned long kBlockRows = 1UL << 13;
// Strided axes are transformed a piece of lines at a time, all stages on one
// piece before the next: 2^15 floats (128 KiB) stay in a second-level cache.
constexpr unsigned long kPieceFloats = 1UL << 15;
// ... but at least this many lines side by side, to fill the vector lanes.
constexpr unsigned long kMinPieceWidth = 16;
// Stages beyond the tables compute their twiddle factors a chunk at a time:
// 256 keep the chunk on the stack (4 KiB in double) and leave long
// contiguous runs of butterflies per chunk.
constexpr unsigned long kTwiddleChunk = 256;

using ts::fft_twiddles::kMaxCount;

bool is_power_of_two(unsigned long n) { return n != 0 && (n & (n - 1)) == 0; }

// The number of zero bits below the lowest one of n > 0.
int count_trailing_zeros(unsigned long n) { return __builtin_ctzl(n); }

void require_unit_sign(const char *routine, int isign) {
  if (isign != 1 && isign != -1) fatalf("%s: isign=%d is neither 1 nor -1", routine, isign);
}

// The twiddle factor w = wr + i wi, stepped by a fixed angle theta through
// w <- w + w (wpr + i wpi), with wpr = -2 sin^2(theta/2) and wpi = sin(theta),
// all in double. Starts at w = 1. Every angle is +-C / 2^k, C one of the two
// constants the sin tables are named for, so the two sins are table entries
// k and k + 1 (halving a double is exact), negated for a negative angle.
struct Twiddle {
  double wr = 1.0;
  double wi = 0.0;
  double wpr;
  double wpi;

  Twiddle(const double *sin_of, int k, bool negative) {
    const double wtemp = negative ? -sin_of[k + 1] : sin_of[k + 1];
    wpr = -2.0 * wtemp * wtemp;
    wpi = negative ? -sin_of[k] : sin_of[k];
  }
  // Both new values from the old ones.
  void advance() {
    const double old_wr = wr;
    wr = wr + (wr * wpr - wi * wpi);
    wi = wi + (wi * wpr + old_wr * wpi);
  }
  // The next `count` factors into wr[], wi[].
  void fill(double *wr_out, double *wi_out, unsigned long count) {
    for (unsigned long g = 0; g < count; ++g) {
      wr_out[g] = wr;
      wi_out[g] = wi;
      advance();
    }
  }
};

// Stage `half` steps its twiddle factor by the angle isign 6.28318530717959 /
// (2 half), from 1 at group 0. The transforms are defined with 2 pi written
// to 15 digits, a double 4 ulps above the one nearest 2 pi: a more precise
// 2 pi would change the results.
Twiddle stage_twiddle(unsigned long half, int isign) {
  return Twiddle(ts::fft_twiddles::kSinTwoPiOver, count_trailing_zeros(half) + 1, isign < 0);
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
    if (idx < rev)
      std::swap_ranges(piece.row(idx), piece.row(idx) + 2 * piece.width, piece.row(rev));
    unsigned long bit = piece.rows >> 1;
    while (bit >= 1 && rev >= bit) {
      rev -= bit;
      bit >>= 1;
    }
    rev += bit;
  }
}

// Complex value k of c as a 64-bit pattern, for moving it without computing.
std::uint64_t complex_bits(const float *c, unsigned long k) {
  std::uint64_t bits;
  std::memcpy(&bits, c + 2 * k, sizeof bits);
  return bits;
}
void set_complex_bits(float *c, unsigned long k, std::uint64_t bits) {
  std::memcpy(c + 2 * k, &bits, sizeof bits);
}

// bit_reverse for a line of neighbouring complex values, short lines.
// Without branches that depend on the data's position: the reversed index
// steps by flipping the bits that a binary increment flips, mirrored, and
// every pair is written back, exchanged or not.
void bit_reverse_short_line(float *c, unsigned long length) {
  unsigned long rev = 0;
  for (unsigned long idx = 0; idx + 1 < length; ++idx) {
    const std::uint64_t x = complex_bits(c, idx);
    const std::uint64_t y = complex_bits(c, rev);
    const bool exchange = idx < rev;
    set_complex_bits(c, rev, exchange ? x : y);
    set_complex_bits(c, idx, exchange ? y : x);
    rev ^= length - (length >> (count_trailing_zeros(idx + 1) + 1));
  }
}

// Long lines a tile at a time. An index splits into its top kTileBits bits
// t, middle bits m and low kTileBits bits u; reversed, it is (rev u, rev m,
// rev t). So the tile of all (t, m, u) for one m, kTile rows of kTile
// neighbouring values, trades places with the tile of rev m, transposed
// and with rows and columns reversed: every value moves once, a cache line
// at a time.
constexpr int kTileBits = 3;
constexpr unsigned long kTile = 1UL << kTileBits;

void bit_reverse_line(float *c, unsigned long length) {
  static_assert(sizeof(std::uint64_t) == 2 * sizeof(float), "a complex value is 64 bits");
  const int bits = count_trailing_zeros(length);
  if (bits < 2 * kTileBits + 1) {
    bit_reverse_short_line(c, length);
    return;
  }
  const int middle_bits = bits - 2 * kTileBits;
  const unsigned long middles = 1UL << middle_bits;
  const unsigned long row = length >> kTileBits;  // values between the tile's rows
  static constexpr unsigned char kReversed[kTile] = {0, 4, 2, 6, 1, 5, 3, 7};
  unsigned long rev_m = 0;
  for (unsigned long m = 0; m < middles; ++m) {
    if (m <= rev_m) {
      std::uint64_t tile[kTile][kTile];
      std::uint64_t mirror[kTile][kTile];
      for (unsigned long t = 0; t < kTile; ++t)
        for (unsigned long u = 0; u < kTile; ++u) {
          tile[t][u] = complex_bits(c, t * row + m * kTile + u);
          mirror[t][u] = complex_bits(c, t * row + rev_m * kTile + u);
        }
      for (unsigned long t = 0; t < kTile; ++t)
        for (unsigned long u = 0; u < kTile; ++u) {
          set_complex_bits(c, t * row + m * kTile + u, mirror[kReversed[u]][kReversed[t]]);
          set_complex_bits(c, t * row + rev_m * kTile + u, tile[kReversed[u]][kReversed[t]]);
        }
    }
    if (m + 1 < middles) rev_m ^= middles - (middles >> (count_trailing_zeros(m + 1) + 1));
  }
}

// The butterflies of one axis differ only in how the twiddle products are
// formed: in double for the 1-D transform, in float for the N-D transform.
enum class Products { kDouble, kFloat };

// Runs one stage (all groups) through `run(g0, groups, wr, wi, negate)`:
// with the shipped table where it reaches, else with factors recomputed by
// the recurrence a chunk at a time on the stack.
template <class Run>
void with_stage_twiddles(unsigned long half, int isign, Run run) {
  if (half <= kMaxCount) {
    run(0, half, ts::fft_twiddles::kStageWr + half - 1, ts::fft_twiddles::kStageWi + half - 1,
        isign < 0);
    return;
  }
  Twiddle w = stage_twiddle(half, isign);
  double wr[kTwiddleChunk];
  double wi[kTwiddleChunk];
  for (unsigned long g0 = 0; g0 < half; g0 += kTwiddleChunk) {
    const unsigned long groups = std::min(kTwiddleChunk, half - g0);
    w.fill(wr, wi, groups);
    run(g0, groups, wr, wi, false);
  }
}

// Stages from = half, 2 half, ... while 2 half <= limit on contiguous rows
// c[0 .. rows), two at a time where the table holds both.
void contiguous_stages(const ts::simd::FftKernels &k, float *c, unsigned long rows,
                       unsigned long from, unsigned long limit, int isign, Products products) {
  using ts::fft_twiddles::kStageWi;
  using ts::fft_twiddles::kStageWr;
  const auto stage = products == Products::kDouble ? k.stage_double : k.stage_float;
  const auto pair = products == Products::kDouble ? k.stage_pair_double : k.stage_pair_float;
  const bool negate = isign < 0;
  unsigned long half = from;
  while (2 * half <= limit) {
    if (4 * half <= limit && 2 * half <= kMaxCount) {
      pair(c, rows, half, kStageWr + half - 1, kStageWi + half - 1, kStageWr + 2 * half - 1,
           kStageWi + 2 * half - 1, negate);
      half *= 4;
    } else if (half <= kMaxCount) {
      stage(c, rows, half, 0, half, kStageWr + half - 1, kStageWi + half - 1, negate);
      half *= 2;
    } else {
      with_stage_twiddles(
          half, isign,
          [&](unsigned long g0, unsigned long groups, const double *wr, const double *wi,
              bool negated) { stage(c, rows, half, g0, groups, wr, wi, negated); });
      half *= 2;
    }
  }
}

// `count` lines of `length` neighbouring complex values, one after another:
// bit reversal, then the radix-2 stages. Lines are independent and so are
// the butterflies of one stage; only their order changes here, never what
// a butterfly computes. Stages short enough run a cache-sized block of rows
// at a time (whole lines, or a sub-transform of one long line); the longer
// stages of a long line then sweep it whole.
void transform_contiguous(float *c, unsigned long length, unsigned long count, int isign,
                          Products products) {
  const ts::simd::FftKernels &k = ts::simd::kernels().fft;
  for (unsigned long r = 0; r < count; ++r) bit_reverse_line(c + 2 * r * length, length);
  const unsigned long rows = length * count;
  const unsigned long block = std::min(kBlockRows, rows);
  const unsigned long in_block = std::min(length, block);
  for (unsigned long b0 = 0; b0 < rows; b0 += block)
    contiguous_stages(k, c + 2 * b0, block, 1, in_block, isign, products);
  if (in_block < length) contiguous_stages(k, c, rows, in_block, length, isign, products);
}

// The transform along an axis of `length` values `stride` > 1 complex values
// apart (float products), in `count` consecutive blocks of length * stride
// values. Axes the tables cover run a cache-sized piece of lines through all
// stages before the next piece; longer ones run stage by stage.
void transform_strided(float *c, unsigned long length, unsigned long stride, unsigned long count,
                       int isign) {
  const ts::simd::FftKernels &k = ts::simd::kernels().fft;
  const unsigned long block = length * stride;
  auto stages_of = [&](const Piece &piece) {
    for (unsigned long half = 1; half < length; half *= 2)
      with_stage_twiddles(half, isign,
                          [&](unsigned long g0, unsigned long groups, const double *wr,
                              const double *wi, bool negate) {
                            k.strided_stage_float(piece.first, piece.rows, piece.row_stride,
                                                  piece.width, half, g0, groups, wr, wi, negate);
                          });
  };
  if (length <= 2 * kMaxCount) {
    const unsigned long width =
        std::clamp(kPieceFloats / (2 * length), std::min(kMinPieceWidth, stride), stride);
    for (unsigned long r = 0; r < count; ++r)
      for (unsigned long t0 = 0; t0 < stride; t0 += width) {
        const Piece piece{c + 2 * (r * block + t0), length, stride, std::min(width, stride - t0)};
        bit_reverse(piece);
        stages_of(piece);
      }
    return;
  }
  for (unsigned long r = 0; r < count; ++r)
    bit_reverse(Piece{c + 2 * r * block, length, stride, stride});
  stages_of(Piece{c, length * count, stride, stride});
}

// The transform of a row-major complex array with lengths[0..ndim-1],
// one axis after another from the last.
void transform_axes(float *c, const unsigned long *lengths, int ndim, int isign,
                    Products products) {
  unsigned long total = 1;
  for (int d = 0; d < ndim; ++d) total *= lengths[d];
  unsigned long stride = 1;
  for (int d = ndim - 1; d >= 0; --d) {
    const unsigned long count = total / (lengths[d] * stride);
    if (stride == 1)
      transform_contiguous(c, lengths[d], count, isign, products);
    else
      transform_strided(c, lengths[d], stride, count, isign);
    stride *= lengths[d];
  }
}

// The 1-D complex transform: products in double.
void complex_transform(float *c, unsigned long nn, int isign) {
  transform_axes(c, &nn, 1, isign, Products::kDouble);
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
  // The untangling steps by the angle +-3.141592653589793 / (n / 2), negative
  // for the inverse.
  if (forward) complex_transform(c, n >> 1, 1);
  // The pairs k = 1 .. n/4 - 1 with their mirrors n/2 - k; k = n/4 is its own
  // mirror and stays as it is.
  const unsigned long quarter = n >> 2;
  const ts::simd::FftKernels &k = ts::simd::kernels().fft;
  if (quarter <= kMaxCount) {
    if (quarter > 1)
      k.untangle(c + 2, c + 2 * ((n >> 1) - 1), quarter - 1, c1, c2,
                 ts::fft_twiddles::kRealWr + quarter, ts::fft_twiddles::kRealWi + quarter,
                 !forward);
  } else {
    Twiddle w(ts::fft_twiddles::kSinPiOver, count_trailing_zeros(n >> 1), !forward);
    w.advance();  // from angle 0 to theta: exactly (1 + wpr, wpi)
    double wr[kTwiddleChunk];
    double wi[kTwiddleChunk];
    for (unsigned long k0 = 1; k0 < quarter; k0 += kTwiddleChunk) {
      const unsigned long pairs = std::min(kTwiddleChunk, quarter - k0);
      w.fill(wr, wi, pairs);
      k.untangle(c + 2 * k0, c + 2 * ((n >> 1) - k0), pairs, c1, c2, wr, wi, false);
    }
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
  transform_axes(block_of(data, 1), block_of(nn, 1), ndim, isign, Products::kFloat);
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
// Pairs of different planes are independent, so each row runs through all
// its planes at once (a chunk of them where the factors are recomputed); in
// the self-mirrored plane k3 = nn3/4 a pair is met twice, and the rows keep
// their order m2 = 0, 1, ... for it.
void untangle_inner_planes(const RealTensor &t, unsigned long m1, int isign, float c1, float c2) {
  const unsigned long half = t.nn3 >> 1;
  const unsigned long last = t.nn3 >> 2;
  if (last == 0) return;
  const unsigned long j1 = t.mirror1(m1);
  const ts::simd::FftKernels &k = ts::simd::kernels().fft;
  // Planes k0 .. k0 + planes - 1 with factors wr[], wi[].
  auto run = [&](unsigned long k0, unsigned long planes, const double *wr, const double *wi,
                 bool negate) {
    const bool meets_itself = k0 + planes - 1 == last;
    const unsigned long pairs = meets_itself ? planes - 1 : planes;
    for (unsigned long m2 = 0; m2 < t.nn2; ++m2) {
      float *a = t.row(m1, m2);
      float *b = t.row(j1, t.mirror2(m2));
      k.untangle(a + 2 * k0, b + 2 * (half - k0), pairs, c1, c2, wr, wi, negate);
      if (meets_itself) {
        const double wi_last = negate ? 0.0 - wi[planes - 1] : wi[planes - 1];
        untangle_pair(a[2 * last], a[2 * last + 1], b[2 * last], b[2 * last + 1], c1, c2,
                      wr[planes - 1], wi_last);
      }
    }
  };
  if (half <= kMaxCount) {
    run(1, last, ts::fft_twiddles::kStageWr + half, ts::fft_twiddles::kStageWi + half, isign < 0);
    return;
  }
  // The step (2pi / nn3) isign is that of the complex stage nn3 / 2.
  Twiddle w = stage_twiddle(half, isign);  // restarts at angle 0 for every m1
  w.advance();
  double wr[kTwiddleChunk];
  double wi[kTwiddleChunk];
  for (unsigned long k0 = 1; k0 <= last; k0 += kTwiddleChunk) {
    const unsigned long planes = std::min(kTwiddleChunk, last + 1 - k0);
    w.fill(wr, wi, planes);
    run(k0, planes, wr, wi, false);
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
  if (c == nullptr) fatal_exit();  // silently: the one fatal exit without a report

  const RealTensor t{c, speq, nn1, nn2, nn3};
  const unsigned long lengths[3] = {nn1, nn2, nn3 >> 1};
  const float c1 = 0.5f;
  const float c2 = isign == 1 ? -0.5f : 0.5f;  // -0.5 isign, exact in float
  if (isign == 1) {
    transform_axes(c, lengths, 3, 1, Products::kFloat);
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
    untangle_inner_planes(t, m1, isign, c1, c2);
  }
  if (isign == -1) transform_axes(c, lengths, 3, -1, Products::kFloat);
}
