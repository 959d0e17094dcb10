// SPDX-License-Identifier: MIT
// Ranking of a sorted array, with the tie correction that rank statistics
// (spear in correlation.h) need.
//
// Arrays are 1-based: elements 1..n are read and written, element 0 never.
// Nothing here allocates or keeps state.
#ifndef TISSUESTEWARD_RANK_H
#define TISSUESTEWARD_RANK_H

#include "tissuesteward/export.h"

// Replaces w[1..n], sorted ascending on entry (not checked), by its ranks
// 1..n; a run of exactly equal neighbours gets the mean of the ranks it
// spans. *s receives the sum of t^3 - t over the runs of t tied values, in
// single precision. n = 0 only sets *s = 0. Fails: never.
TS_API void crank(unsigned long n, float w[], float *s);

#endif
