// SPDX-License-Identifier: MIT
// Uniform and Gaussian deviates: long sequences, every kind of seed
// (including the most negative long and multiples of the modulus),
// re-seeding mid-sequence, caller-set positive states, interleaved state
// variables, and the spare deviate carried across a re-seed.
//
// The generators' state is process-wide and cases may run in any order or
// alone, so every case starts from a known state: a negative seed rebuilds
// ran1's table, and gasdev cases first use up any stored spare (and leave
// none behind).
#include <climits>
#include <string>

#include "golden.h"
#include "tissuesteward/random.h"

namespace ts::testing {
namespace {

// Uses up a stored gasdev spare, if any. A call that returns the spare
// leaves the state variable alone; one that draws changes it, and then
// stores a spare, which the second call takes.
void drop_spare() {
  long probe = -1;
  gasdev(&probe);
  if (probe != -1) gasdev(&probe);
}

// count draws from the state variable as it stands, each value and the
// state after it digested.
void draw(Digest &d, float (*generator)(long *), long &idum, int count) {
  for (int i = 0; i < count; ++i) {
    d.value(generator(&idum));
    d.value(idum);
  }
}

const long kSeeds[] = {-1,           -2,           -12345,   -2147483646, -2147483647,
                       -2147483648L, -4294967294L, LONG_MIN, -LONG_MAX,   0};

const bool ran1_cases = [] {
  Register("ran1", "seed_minus1_2000", [](Digest &d) {
    long idum = -1;
    draw(d, ran1, idum, 2000);
  });
  Register("ran1", "seeds", [](Digest &d) {
    for (long seed : kSeeds) {
      long idum = seed;
      draw(d, ran1, idum, 50);
    }
  });
  Register("ran1", "reseed_mid_sequence", [](Digest &d) {
    long idum = -7;
    draw(d, ran1, idum, 50);
    idum = -7;
    draw(d, ran1, idum, 50);
    idum = -99;
    draw(d, ran1, idum, 20);
    idum = 0;
    draw(d, ran1, idum, 20);
  });
  Register("ran1", "caller_set_positive_states", [](Digest &d) {
    long idum = -3;
    draw(d, ran1, idum, 10);
    for (long state : {123456L, 2147483646L, 2147483647L, 1L << 40, LONG_MAX}) {
      idum = state;
      draw(d, ran1, idum, 10);
    }
  });
  Register("ran1", "interleaved_states", [](Digest &d) {
    long first = -5, second = -9;
    d.value(ran1(&first));
    d.value(ran1(&second));  // re-seeds the shared table
    for (int i = 0; i < 200; ++i) {
      d.value(ran1(i % 3 ? &first : &second));
      d.value(first);
      d.value(second);
    }
  });
  Register("ran1", "long_run_100000", [](Digest &d) {
    long idum = -20240601;
    for (int i = 0; i < 100000; ++i) d.value(ran1(&idum));
    d.value(idum);
  });
  return true;
}();

const bool gasdev_cases = [] {
  Register("gasdev", "seed_minus1_2000", [](Digest &d) {
    drop_spare();
    long idum = -1;
    draw(d, gasdev, idum, 2000);
    drop_spare();
  });
  Register("gasdev", "seeds", [](Digest &d) {
    for (long seed : kSeeds) {
      drop_spare();
      long idum = seed;
      draw(d, gasdev, idum, 20);
    }
    drop_spare();
  });
  Register("gasdev", "reseed_keeps_spare", [](Digest &d) {
    drop_spare();
    long idum = -1;
    draw(d, gasdev, idum, 3);  // the third call stores a spare
    idum = -5;
    draw(d, gasdev, idum, 1);  // the old spare; -5 still waiting
    draw(d, gasdev, idum, 9);  // re-seeded from -5 here
    drop_spare();
  });
  Register("gasdev", "interleaved_with_ran1", [](Digest &d) {
    drop_spare();
    long idum = -31;
    for (int i = 0; i < 300; ++i) {
      d.value(i % 4 == 1 ? ran1(&idum) : gasdev(&idum));
      d.value(idum);
    }
    drop_spare();
  });
  Register("gasdev", "long_run_100000", [](Digest &d) {
    drop_spare();
    long idum = -777;
    for (int i = 0; i < 100000; ++i) d.value(gasdev(&idum));
    d.value(idum);
    drop_spare();
  });
  return true;
}();

}  // namespace
}  // namespace ts::testing
