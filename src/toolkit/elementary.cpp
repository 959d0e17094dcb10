// SPDX-License-Identifier: MIT
// Correctly rounded exp, log and expf from IEEE basic operations and integer
// arithmetic only.
//
// Each function first evaluates in double-double arithmetic with an error
// bound stated beside the code (the bound is checked with an 8x margin), then
// asks whether every value inside that bound rounds the same way. If so, that
// is the answer. If not, an integer path recomputes the value in 128-bit fixed
// point with a relative error below 2^-116 and rounds it exactly. The
// compiler runs the same integer path to build the double-double tables, so
// no constant needs a library to round it or a run-time step to fill it.
#include "toolkit/detail/elementary.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace ts::detail {
namespace {

__extension__ typedef unsigned __int128 u128;
__extension__ typedef __int128 i128;
using std::uint64_t;

// The same bits read as another type of the same size; usable in constant
// expressions (GCC and clang offer the builtin in C++17 too).
template <class To, class From>
constexpr To same_bits(From x) {
  static_assert(sizeof(To) == sizeof(From), "same size");
  return __builtin_bit_cast(To, x);
}
constexpr std::uint64_t bits_of(double x) { return same_bits<std::uint64_t>(x); }
constexpr double double_from_bits(std::uint64_t b) { return same_bits<double>(b); }

// 2^e as a double, -1074 <= e <= 1023.
constexpr double pow2(int e) {
  if (e >= -1022) return double_from_bits(static_cast<uint64_t>(e + 1023) << 52);
  return double_from_bits(uint64_t{1} << (e + 1074));
}

// The integer nearest to y (|y| < 2^51), ties either way: adding and taking
// away 1.5 * 2^52 leaves no fraction bits.
double nearest_integer(double y) {
  constexpr double kShifter = 0x1.8p52;
  return (y + kShifter) - kShifter;
}

// ---------------------------------------------------------------------------
// Double-double steps (Dekker, Knuth). Without fused multiply-add the exact
// product splits each factor into two 26-bit halves.

struct DoubleDouble {
  double hi, lo;
};

// a + b = s + e exactly, for any a, b.
DoubleDouble two_sum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}
// a + b = s + e exactly, when the exponent of a is at least that of b.
DoubleDouble fast_two_sum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}
DoubleDouble split(double a) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double c = kSplitter * a;
  const double hi = c - (c - a);
  return {hi, a - hi};
}
// a * b = p + e exactly (|a|, |b| far from overflow and underflow).
DoubleDouble two_product(double a, double b) {
  const double p = a * b;
  const DoubleDouble x = split(a);
  const DoubleDouble y = split(b);
  return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

// Whether hi + lo, known to within err, rounds to one double; if so, which.
bool rounds_uniquely(DoubleDouble v, double err, double* result) {
  const double below = v.hi + (v.lo - err);
  const double above = v.hi + (v.lo + err);
  *result = below;
  return below == above;
}

// The sign (-1, 0, 1) of an exact sum of up to eight doubles: Shewchuk's
// expansion growth, whose most significant non-zero component has the sign
// of the whole.
template <int n>
int sign_of_exact_sum(const double (&terms)[n]) {
  static_assert(n <= 8, "fits the expansion");
  double expansion[8];
  int size = 0;
  for (double b : terms) {
    double q = b;
    int kept = 0;
    for (int i = 0; i < size; ++i) {
      const DoubleDouble s = two_sum(q, expansion[i]);
      q = s.hi;
      if (s.lo != 0.0) expansion[kept++] = s.lo;
    }
    expansion[kept++] = q;
    size = kept;
  }
  for (int i = size - 1; i >= 0; --i) {
    if (expansion[i] != 0.0) return expansion[i] > 0.0 ? 1 : -1;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// 128-bit fixed point.

constexpr int bit_length(u128 v) {
  const uint64_t hi = static_cast<uint64_t>(v >> 64);
  const uint64_t lo = static_cast<uint64_t>(v);
  if (hi != 0) return 128 - __builtin_clzll(hi);
  return lo != 0 ? 64 - __builtin_clzll(lo) : 0;
}

// floor(a * b / 2^s) for 0 <= s <= 256, when that fits in 128 bits.
constexpr u128 mul_shift(u128 a, u128 b, int s) {
  const u128 a0 = static_cast<uint64_t>(a), a1 = a >> 64;
  const u128 b0 = static_cast<uint64_t>(b), b1 = b >> 64;
  const u128 p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const u128 middle = (p00 >> 64) + static_cast<uint64_t>(p01) + static_cast<uint64_t>(p10);
  const u128 low = (middle << 64) | static_cast<uint64_t>(p00);
  const u128 high = p11 + (p01 >> 64) + (p10 >> 64) + (middle >> 64);
  if (s == 0) return low;
  if (s < 128) return (high << (128 - s)) | (low >> s);
  if (s < 256) return high >> (s - 128);
  return 0;
}

// The 128-bit helpers below stay in plain 64-bit arithmetic: 128-bit division
// and conversion to double would call compiler run-time helpers (libgcc_s),
// a dependency the library does not otherwise have.

// floor(x / d) for 0 < d < 2^32, in 32-bit long-division steps.
constexpr u128 divide_small(u128 x, uint64_t d) {
  u128 q = 0;
  uint64_t r = 0;
  for (int shift = 96; shift >= 0; shift -= 32) {
    const uint64_t current = (r << 32) | static_cast<uint32_t>(x >> shift);
    q = (q << 32) | (current / d);
    r = current % d;
  }
  return q;
}

// floor(a * 2^128 / d) for a < d < 2^63, one quotient bit at a time.
constexpr u128 divide_fraction(uint64_t a, uint64_t d) {
  u128 q = 0;
  uint64_t r = a;
  for (int bit = 0; bit < 128; ++bit) {
    r <<= 1;
    q <<= 1;
    if (r >= d) {
      r -= d;
      q |= 1;
    }
  }
  return q;
}

// v rounded to the nearest double, ties to even: the top 64 bits with a
// sticky bit for the rest, which the 64-bit conversion then rounds once.
constexpr double u128_to_double(u128 v) {
  const int n = bit_length(v);
  if (n <= 64) return static_cast<double>(static_cast<uint64_t>(v));
  const int drop = n - 64;
  uint64_t top = static_cast<uint64_t>(v >> drop);
  if ((v & ((u128{1} << drop) - 1)) != 0) top |= 1;
  return static_cast<double>(top) * pow2(drop);
}

// ln 2 = (kLn2Q127 + kLn2Q127Next / 2^64) / 2^127, to 192 bits.
constexpr u128 kLn2Q127 = (u128{0x58b90bfbe8e7bcd5} << 64) | 0xe4f1d9cc01f97b57;
constexpr uint64_t kLn2Q127Next = 0xa079a193394c5b16;
constexpr uint64_t kMask53 = (uint64_t{1} << 53) - 1;
// ln 2 as a 42-bit head and a tail: e * head is exact for any exponent e.
constexpr double kLn2Head = static_cast<double>(static_cast<uint64_t>(kLn2Q127 >> 85)) * 0x1p-42;
constexpr double kLn2Tail =
    static_cast<double>(static_cast<uint64_t>(kLn2Q127 >> 32) & kMask53) * 0x1p-95;
// ln 2 / 128 as a 35-bit head and a tail: k * head is exact for |k| < 2^18.
constexpr double kLn2By128Head =
    static_cast<double>(static_cast<uint64_t>(kLn2Q127 >> 92)) * 0x1p-42;
constexpr double kLn2By128Tail =
    static_cast<double>(static_cast<uint64_t>(kLn2Q127 >> 39) & kMask53) * 0x1p-95;
constexpr double kInvLn2 = 0x1.71547652b82fep0;  // only picks k: any nearby value works

// A result format: significant bits and the exponent range of its normals.
struct Format {
  int precision, emin, emax;
};
constexpr Format kDouble{53, -1022, 1023};
constexpr Format kFloat{24, -126, 127};

// A positive value s * 2^scale known to within err units of s.
struct Fixed {
  u128 s;
  int scale;
  u128 err;
  bool negative;
};

// Rounds v (s >= 2^64) to the nearest number of the format, subnormals and
// overflow included, ties to even; the result (exact in double also for the
// float format) carries v's sign. The bracket s +- err never held a rounding
// boundary in any test run; were it to, the nearest to s is returned.
double round_fixed(const Fixed& v, Format f) {
  const double sign = v.negative ? -1.0 : 1.0;
  const int top = bit_length(v.s) - 1 + v.scale;
  if (top > f.emax) return sign * std::numeric_limits<double>::infinity();
  const int last = (top > f.emin ? top : f.emin) - (f.precision - 1);
  const int shift = last - v.scale;
  if (shift > 128) return sign * 0.0;  // below a quarter of the least subnormal
  u128 q = 0, rest = v.s, half = u128{1} << 127;
  if (shift < 128) {
    q = v.s >> shift;
    rest = v.s & ((u128{1} << shift) - 1);
    half = u128{1} << (shift - 1);
  }
  if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  return sign * (static_cast<double>(static_cast<uint64_t>(q)) * pow2(last));
}

// e^r for a reduced argument r = r_q127 / 2^127 (|r| < 0.7), in Q2.126 with an
// error below 256 units: each Taylor term loses under 2 units to truncation,
// the error carried by a term shrinks by |r|/n < 0.7, and r itself is off by
// under 2 units at 2^-127.
constexpr u128 exp_q126(i128 r_q127) {
  const bool negative = r_q127 < 0;
  const u128 a = static_cast<u128>(negative ? -r_q127 : r_q127) >> 1;
  u128 term = u128{1} << 126;
  u128 sum = term;
  for (unsigned n = 1; term != 0; ++n) {
    term = divide_small(mul_shift(term, a, 126), n);
    sum = (negative && (n & 1) != 0) ? sum - term : sum + term;
  }
  return sum;
}

// e^x for 2^-54 <= |x| < 746, relative error below 2^-118.
Fixed exp_fixed(double x) {
  const double kd = nearest_integer(x * kInvLn2);
  const long k = static_cast<long>(kd);
  // x * 2^127 and k ln2 * 2^127 taken modulo 2^128: their difference r fits.
  const uint64_t b = bits_of(x);
  const u128 m = (b & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  const int shift = static_cast<int>((b >> 52) & 0x7ff) - 1075 + 127;  // >= 21 here
  const u128 x_q127 = (x < 0 ? -(m << shift) : (m << shift));
  const u128 k_ln2 = static_cast<u128>(static_cast<i128>(k)) * kLn2Q127 +
                     static_cast<u128>((static_cast<i128>(k) * kLn2Q127Next) >> 64);
  const i128 r = static_cast<i128>(x_q127 - k_ln2);
  return {exp_q126(r), static_cast<int>(k) - 126, 256, false};
}

// ln x for a positive finite x other than 1, relative error below 2^-118:
// x = m 2^e with m in [sqrt(1/2), sqrt 2], ln x = e ln 2 + 2 atanh(s),
// s = (m - 1)/(m + 1), |s| < 0.172, with s kept normalised so that x near 1
// keeps its relative accuracy.
constexpr Fixed log_fixed(double x) {
  uint64_t b = bits_of(x);
  uint64_t mant = 0;
  int e = 0;  // x = mant * 2^e, mant in [2^52, 2^53)
  if ((b >> 52) == 0) {
    const int lead = __builtin_clzll(b) - 11;
    mant = b << lead;
    e = -1074 - lead;
  } else {
    mant = (b & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    e = static_cast<int>(b >> 52) - 1075;
  }
  constexpr uint64_t kSqrt2Q52 = 0x16a09e667f3bccULL;  // floor(sqrt 2 * 2^52)
  uint64_t one = uint64_t{1} << 52;                    // m = mant / one
  int ex = e + 52;
  if (mant > kSqrt2Q52) {
    one <<= 1;
    ++ex;
  }
  const bool m_below_one = mant < one;
  const uint64_t num = m_below_one ? one - mant : mant - one;
  const uint64_t den = mant + one;
  u128 two_s_p = 0;  // 2 s P(s^2) = 2 atanh(s), at scale 2^-(126 + g)
  int g = 0;
  if (num != 0) {
    // q = s * 2^(128 + g) in [2^126, 2^128).
    g = bit_length(den) - 1 - bit_length(num);
    const u128 q = divide_fraction(num << g, den);
    // P(t) = sum t^i / (2i + 1), t = s^2 < 0.0295: 27 terms leave < 2^-135.
    const u128 t_q128 = mul_shift(q, q, 128 + 2 * g);
    u128 p = 0;
    for (unsigned i = 27; i >= 1; --i) {
      p = mul_shift(p + divide_small(u128{1} << 127, 2 * i + 1), t_q128, 128);
    }
    p += u128{1} << 127;
    two_s_p = mul_shift(q, p, 128);
  }
  if (ex == 0) return {two_s_p, -(126 + g), 64, m_below_one};
  // e ln 2 + 2 atanh(s) at scale 2^-sigma, leaving room for |e| ln 2.
  const unsigned abs_ex = static_cast<unsigned>(ex < 0 ? -ex : ex);
  const int sigma = 126 - bit_length(abs_ex);
  const u128 ex_ln2 = mul_shift(abs_ex, kLn2Q127, 127 - sigma);
  const u128 part = two_s_p >> (126 + g - sigma);
  // The logarithm takes the sign of e; the atanh part adds or takes away.
  const bool same_sign = (ex > 0) != m_below_one;
  return {same_sign ? ex_ln2 + part : ex_ln2 - part, -sigma, 16, ex < 0};
}

// Double-double from a fixed-point value (relative error 2^-106).
constexpr DoubleDouble fixed_to_double_double(const Fixed& v) {
  const int drop = bit_length(v.s) - 53;
  const double hi = static_cast<double>(static_cast<uint64_t>(v.s >> drop)) * pow2(v.scale + drop);
  const u128 tail = v.s - ((v.s >> drop) << drop);
  const double lo = u128_to_double(tail) * pow2(v.scale);
  return v.negative ? DoubleDouble{-hi, -lo} : DoubleDouble{hi, lo};
}

// ---------------------------------------------------------------------------
// Tables for the fast paths, from the integer path at compile time.

constexpr int kTableSize = 128;

struct Tables {
  DoubleDouble exp2_fraction[kTableSize];      // 2^(j/128)
  double log_inverse[kTableSize];              // c_i ~ 1 / (1 + (i + 1/2)/128)
  DoubleDouble minus_log_inverse[kTableSize];  // -ln c_i
};

constexpr Tables build_tables() {
  Tables t{};
  for (int j = 0; j < kTableSize; ++j) {
    const i128 r = static_cast<i128>(mul_shift(static_cast<u128>(j), kLn2Q127, 7));
    t.exp2_fraction[j] = fixed_to_double_double({exp_q126(r), -126, 0, false});
    const double c = 256.0 / static_cast<double>(257 + 2 * j);
    t.log_inverse[j] = c;
    Fixed minus_log = log_fixed(c);
    minus_log.negative = !minus_log.negative;
    t.minus_log_inverse[j] = fixed_to_double_double(minus_log);
  }
  return t;
}

// Evaluated by the compiler: read-only data, nothing to initialise at load
// or on first use.
constexpr Tables kTables = build_tables();

// ---------------------------------------------------------------------------

// e^x, |x| <= 709 and x >= -707 so the result stays normal, to within a
// relative 2^-68: r = x - k ln2/128 off by 2^-78 (tail of ln 2 and k * tail);
// the degree-6 Taylor polynomial truncates at r^7/7! < 2^-72 for
// |r| < 2^-8.5; its tail, summed in double from the head of r, is off by
// 2^-69, and dropping the tail of r from r^2/2 costs 2^-70.5; the products
// with 2^(j/128) add 2^-104.
bool exp_fast(double x, double* result) {
  const Tables& t = kTables;
  const double kd = nearest_integer(x * (kInvLn2 * kTableSize));
  const long k = static_cast<long>(kd);
  const long j = k & (kTableSize - 1);
  const int scale = static_cast<int>((k - j) / kTableSize);
  const DoubleDouble r = two_sum(x - kd * kLn2By128Head, -(kd * kLn2By128Tail));
  const double rh = r.hi;
  const double tail =
      rh * rh *
      (0.5 + rh * (1.0 / 6.0 + rh * (1.0 / 24.0 + rh * (1.0 / 120.0 + rh * (1.0 / 720.0)))));
  DoubleDouble e_r = fast_two_sum(1.0, rh);
  e_r.lo = e_r.lo + (r.lo + tail);
  const DoubleDouble f = t.exp2_fraction[j];
  DoubleDouble p = two_product(f.hi, e_r.hi);
  p.lo = p.lo + (f.hi * e_r.lo + f.lo * e_r.hi);
  const DoubleDouble v = fast_two_sum(p.hi, p.lo);
  double rounded;
  if (!rounds_uniquely(v, v.hi * 0x1p-65, &rounded)) return false;
  *result = rounded * pow2(scale);
  return true;
}

// ln x for |x - 1| < 2^-7, to within a relative 2^-65.5: u = x - 1 is exact,
// u^2/2 exact in double-double; the series from u^3/3 on, in double, is off by
// 2^-66.6 of u and truncates at u^12/12; the final sums lose 2^-67 twice.
DoubleDouble log_near_one(double x, double* err) {
  const double u = x - 1.0;
  const DoubleDouble sq = two_product(u, u);
  const double series =
      u * u * u *
      (1.0 / 3.0 -
       u * (1.0 / 4.0 -
            u * (1.0 / 5.0 -
                 u * (1.0 / 6.0 -
                      u * (1.0 / 7.0 -
                           u * (1.0 / 8.0 -
                                u * (1.0 / 9.0 - u * (1.0 / 10.0 - u * (1.0 / 11.0)))))))));
  const DoubleDouble head = two_sum(u, -0.5 * sq.hi);
  const DoubleDouble v = fast_two_sum(head.hi, head.lo + (series - 0.5 * sq.lo));
  *err = (v.hi < 0 ? -v.hi : v.hi) * 0x1p-62;
  return v;
}

// ln x elsewhere (|ln x| > 2^-7.01), to within a relative 2^-67:
// x = m 2^e, u = m c_i - 1 exact in double-double with |u| < 2^-8,
// ln x = e ln 2 - ln c_i + log1p(u). The large terms are summed exactly; the
// small ones, up to 2^-25, lose 2^-75 absolutely.
DoubleDouble log_by_table(double x, double* err) {
  const Tables& t = kTables;
  int e = 0;
  if (x < 0x1p-1022) {  // subnormal: bring it into the normal range first
    x *= 0x1p52;
    e = -52;
  }
  const uint64_t b = bits_of(x);
  e += static_cast<int>(b >> 52) - 1023;
  const double m = double_from_bits((b & ((uint64_t{1} << 52) - 1)) | (uint64_t{1023} << 52));
  const int i = static_cast<int>((b >> 45) & (kTableSize - 1));
  const DoubleDouble mc = two_product(m, t.log_inverse[i]);
  const DoubleDouble u = two_sum(mc.hi - 1.0, mc.lo);
  const double uh = u.hi;
  const DoubleDouble sq = two_product(uh, uh);
  const double series =
      uh * uh * uh *
      (1.0 / 3.0 -
       uh * (1.0 / 4.0 -
             uh * (1.0 / 5.0 -
                   uh * (1.0 / 6.0 - uh * (1.0 / 7.0 - uh * (1.0 / 8.0 - uh * (1.0 / 9.0)))))));
  const double ed = static_cast<double>(e);
  const DoubleDouble a = two_sum(ed * kLn2Head, t.minus_log_inverse[i].hi);
  const DoubleDouble b1 = two_sum(a.hi, uh);
  const DoubleDouble b2 = two_sum(b1.hi, -0.5 * sq.hi);
  const double small = a.lo + b1.lo + b2.lo + ed * kLn2Tail + t.minus_log_inverse[i].lo + u.lo -
                       0.5 * sq.lo - uh * u.lo + series;
  const DoubleDouble v = fast_two_sum(b2.hi, small);
  *err = (v.hi < 0 ? -v.hi : v.hi) * 0x1p-64;
  return v;
}

}  // namespace

double rounded_hypot_with_one(double r) {
  const double a = r < 0 ? -r : r;
  if (a != a) return r + r;
  if (a >= 0x1p27) return a;    // sqrt(1 + a^2) < a (1 + 2^-55): rounds to a
  if (a < 0x1p-27) return 1.0;  // below 1 + 2^-55, under the midpoint 1 + 2^-53
  // T = 1 + a^2 = t.hi + t.lo + sq.lo exactly; y = sqrt(t.hi) is within an
  // ulp of sqrt(T). Move y by an ulp where sqrt(T) passes the midpoint on
  // either side, deciding T against the midpoint's square exactly. No
  // midpoint is ever hit: 1 + a^2 = m^2 would need m + a and m - a to be
  // reciprocal powers of two, giving m an odd number of significant bits.
  const DoubleDouble sq = two_product(a, a);
  const DoubleDouble t = two_sum(1.0, sq.hi);
  const double y = std::sqrt(t.hi);
  const DoubleDouble y_squared = two_product(y, y);
  const double residual = t.hi - y_squared.hi;  // exact: y^2 lies within 2 ulps of t.hi
  const double up = double_from_bits(bits_of(y) + 1) - y;
  const double down = y - double_from_bits(bits_of(y) - 1);
  // T > (y + up/2)^2  <=>  residual - y_squared.lo + t.lo + sq.lo - y up - up^2/4 > 0
  const double above[] = {residual, -y_squared.lo, t.lo, sq.lo, -(y * up), -0.25 * (up * up)};
  if (sign_of_exact_sum(above) > 0) return y + up;
  // T < (y - down/2)^2  <=>  ... + y down - down^2/4 < 0
  const double below[] = {residual, -y_squared.lo, t.lo, sq.lo, y * down, -0.25 * (down * down)};
  if (sign_of_exact_sum(below) < 0) return y - down;
  return y;
}

double rounded_exp(double x) {
  if (x != x) return x + x;
  if (x > 709.8) return std::numeric_limits<double>::infinity();  // e^x > DBL_MAX + ulp/2
  if (x < -745.2) return 0.0;                                     // e^x < 2^-1075
  const double ax = x < 0 ? -x : x;
  if (ax < 0x1p-54) return 1.0 + x;  // e^x lies within 2^-54 of 1, beyond no midpoint
  double result;
  if (x <= 709.0 && x >= -707.0 && exp_fast(x, &result)) return result;
  return round_fixed(exp_fixed(x), kDouble);
}

double rounded_log(double x) {
  if (x != x) return x + x;
  if (x == 0.0) return -std::numeric_limits<double>::infinity();
  if (x < 0.0) return std::numeric_limits<double>::quiet_NaN();
  if (x == std::numeric_limits<double>::infinity()) return x;
  if (x == 1.0) return 0.0;
  double err;
  const bool near_one = x > 1.0 - 0x1p-7 && x < 1.0 + 0x1p-7;
  const DoubleDouble v = near_one ? log_near_one(x, &err) : log_by_table(x, &err);
  double result;
  if (rounds_uniquely(v, err, &result)) return result;
  return round_fixed(log_fixed(x), kDouble);
}

float rounded_expf(float x) {
  if (x != x) return x + x;
  if (x > 89.0f) return std::numeric_limits<float>::infinity();
  if (x < -104.0f) return 0.0f;  // e^x < 2^-150, half the least subnormal
  const float ax = x < 0 ? -x : x;
  if (ax < 0x1p-25f) return 1.0f + x;
  // e^x in double to within a relative 2^-48.6 (degree-4 Taylor polynomial
  // truncated at r^5/5! < 2^-49.5, five roundings, the table's 2^-53), a
  // normal double for these x.
  const Tables& t = kTables;
  const double xd = static_cast<double>(x);
  const double kd = nearest_integer(xd * (kInvLn2 * kTableSize));
  const long k = static_cast<long>(kd);
  const long j = k & (kTableSize - 1);
  const int scale = static_cast<int>((k - j) / kTableSize);
  const double r = (xd - kd * kLn2By128Head) - kd * kLn2By128Tail;
  const double poly = 1.0 + r * (1.0 + r * (0.5 + r * (1.0 / 6.0 + r * (1.0 / 24.0))));
  const double y = t.exp2_fraction[j].hi * poly * pow2(scale);
  const double err = y * 0x1p-46;
  // The float nearest y is the answer if no float midpoint lies within err.
  const float f = static_cast<float>(y);
  const uint32_t fb = same_bits<uint32_t>(f);
  if (f > 0.0f && fb < 0x7f7fffffu) {
    const double fd = static_cast<double>(f);
    const double below = static_cast<double>(same_bits<float>(fb - 1));
    const double above = static_cast<double>(same_bits<float>(fb + 1));
    if (y - 0.5 * (fd + below) > err && 0.5 * (fd + above) - y > err) return f;
  }
  return static_cast<float>(round_fixed(exp_fixed(xd), kFloat));
}

}  // namespace ts::detail
