// SPDX-License-Identifier: MIT
// Uniform and Gaussian random deviates from a caller's seed.
//
// The caller owns a long state variable and passes its address on every call.
// Set it to a negative number to (re)start a sequence and leave it alone
// afterwards; a value of 0 or less re-seeds. The shuffle table of ran1 and
// the spare deviate of gasdev are process-wide and shared by every state
// variable: one thread at a time, and interleaved state variables interleave
// one table.
#ifndef TISSUESTEWARD_RANDOM_H
#define TISSUESTEWARD_RANDOM_H

#include "tissuesteward/export.h"

// Next uniform deviate in (0, 1): the congruential generator
// s <- 16807·s mod 2147483647 (Schrage's method) behind a 32-slot shuffle
// table; never above 0.99999988 (1 - 2^-23). Seeding (state <= 0, or the
// first call of the process): the state becomes the seed's magnitude (1 for
// 0, a positive first value, or the most negative long), eight warm-up steps,
// then 32 steps fill the table. A seed whose magnitude is a multiple of
// 2147483647 yields 0.0 once and leaves the state at 0, so the next call
// re-seeds as seed 1. A positive state of 2147483647 or more is reduced
// modulo 2147483647 before the step. Fails: never.
TS_API float ran1(long *idum);

// Next standard normal deviate (polar method). A drawing call consumes two
// uniforms of ran1 per attempt, returns one deviate and stores the other;
// the next call returns the stored one without touching *idum. A re-seed
// does not discard a stored deviate. Fails: never.
TS_API float gasdev(long *idum);

#endif
