// SPDX-License-Identifier: MIT
// Uniform deviates (multiplicative congruential generator with a shuffle
// table) and Gaussian deviates by the polar method.
#include "tissuesteward/random.h"

#include "toolkit/detail/rounding.h"

#include <climits>

namespace {

using ts::detail::count_d;
using ts::detail::log_d;
using ts::detail::sqrt_d;
using ts::detail::to_float;
using ts::detail::widen;

constexpr long kMultiplier = 16807;
constexpr long kModulus = 2147483647;      // 2^31 - 1
constexpr long kSchrageQuotient = 127773;  // kModulus / kMultiplier
constexpr long kSchrageRemainder = 2836;   // kModulus % kMultiplier
constexpr int kTableSize = 32;
constexpr long kSlotDivisor = 1 + (kModulus - 1) / kTableSize;  // 67108864
constexpr int kWarmUpSteps = 8;
constexpr double kScale = 1.0 / kModulus;
constexpr double kLargestLetThrough = 1.0 - 1.2e-7;
// 1 - 2^-23: the float that kLargestLetThrough rounds to.
constexpr float kLargestReturned = 0x1.fffffcp-1f;

static_assert(kSchrageQuotient == kModulus / kMultiplier);
static_assert(kSchrageRemainder == kModulus % kMultiplier);
static_assert(kSlotDivisor == 67108864);
static_assert(to_float(kLargestLetThrough) == kLargestReturned);

// s <- 16807·s mod (2^31 - 1) without overflow. For s in 1..2^31-2 the result
// stays in that range; a larger magnitude shrinks by a factor of about 45 per
// step while staying congruent.
long schrage_step(long s) {
  const long k = s / kSchrageQuotient;
  long next = kMultiplier * (s - k * kSchrageQuotient) - kSchrageRemainder * k;
  if (next < 0) next += kModulus;
  return next;
}

struct ShuffleTable {
  long iv[kTableSize] = {};
  long iy = 0;  // the value chosen last; 0 means not yet seeded
};

ShuffleTable &shuffle_table() {
  static ShuffleTable table;
  return table;
}

// The seed's magnitude, or 1 where that is not a positive long.
long seed_magnitude(long seed) {
  if (seed >= 0 || seed == LONG_MIN) return 1;
  return -seed;
}

void reseed(ShuffleTable &t, long *idum) {
  *idum = seed_magnitude(*idum);
  for (int j = kTableSize + kWarmUpSteps - 1; j >= 0; --j) {
    *idum = schrage_step(*idum);
    if (j < kTableSize) t.iv[j] = *idum;
  }
  t.iy = t.iv[0];
}

struct SpareDeviate {
  bool stored = false;
  float value = 0.0f;
};

SpareDeviate &spare_deviate() {
  static SpareDeviate spare;
  return spare;
}

}  // namespace

float ran1(long *idum) {
  ShuffleTable &t = shuffle_table();
  if (*idum <= 0 || t.iy == 0) reseed(t, idum);
  // A positive state out of the generator's range (never produced here) would
  // step to a negative value and, through the table, to a slot outside it.
  if (*idum >= kModulus) *idum %= kModulus;
  *idum = schrage_step(*idum);
  const long j = t.iy / kSlotDivisor;
  t.iy = t.iv[j];
  t.iv[j] = *idum;
  const float value = to_float(kScale * count_d(t.iy));
  if (widen(value) > kLargestLetThrough) return kLargestReturned;
  return value;
}

float gasdev(long *idum) {
  SpareDeviate &spare = spare_deviate();
  if (spare.stored) {
    spare.stored = false;
    return spare.value;
  }
  float u;
  float w;
  float r;
  do {
    u = to_float(2.0 * widen(ran1(idum)) - 1.0);
    w = to_float(2.0 * widen(ran1(idum)) - 1.0);
    r = u * u + w * w;
  } while (r >= 1.0f || r == 0.0f);
  const float f = to_float(sqrt_d(-2.0 * log_d(widen(r)) / widen(r)));
  spare.value = u * f;
  spare.stored = true;
  return w * f;
}
