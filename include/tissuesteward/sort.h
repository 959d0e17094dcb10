// SPDX-License-Identifier: MIT
// Sorting single-precision arrays in place, ascending.
//
// All three routines work on a[1..n] (element 0 and anything past n are
// never touched) and compare with the ordinary floating-point relations;
// where NaN values end up is not defined. None of them is stable for n > 7.
#ifndef TISSUESTEWARD_SORT_H
#define TISSUESTEWARD_SORT_H

#include "tissuesteward/export.h"

// Sorts arr[1..n] ascending in place (median-of-three quicksort, runs of at
// most seven by insertion). n = 0 returns at once; otherwise a work stack is
// taken from ivector(1, 60) and released before returning.
// Fatal (exit 1): n above 2^31 - 1 ("sort: n=... exceeds the 32-bit index
// range"), "NSTACK too small in sort.", "allocation failure in ivector()".
TS_API void sort(unsigned long n, float arr[]);

// Sorts arr[1..n] ascending and applies the same rearrangement to brr[1..n],
// whose elements travel as 32-bit patterns and are never compared or
// converted. Same scheme as sort with a stack of ivector(1, 50); runs of at
// most seven keep equal keys (and so their companions) in input order.
// Fatal (exit 1): n above 2^31 - 1 ("sort2: n=... exceeds the 32-bit index
// range"), "NSTACK too small in sort2.", "allocation failure in ivector()".
TS_API void sort2(unsigned long n, float arr[], float brr[]);

// Sorts ra[1..n] ascending in place by heap sort, O(n log n) in every case,
// with no allocation. n < 2 leaves ra untouched. Fails: never.
TS_API void hpsort(unsigned long n, float ra[]);

#endif
