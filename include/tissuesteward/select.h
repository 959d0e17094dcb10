// SPDX-License-Identifier: MIT
// Selection of the k-th smallest value.
//
// Arrays are 1-based: elements 1..n are read and written, element 0 never.
// Neither routine allocates or keeps state. Ranking (crank) has its own
// header, rank.h, included here for callers that look for it with selection.
#ifndef TISSUESTEWARD_SELECT_H
#define TISSUESTEWARD_SELECT_H

#include "tissuesteward/export.h"
#include "tissuesteward/rank.h"

// The k-th smallest of arr[1..n] (k = 1 is the minimum, k = n the maximum).
// arr is rearranged in place so that arr[k] holds the result, arr[1..k-1] are
// <= arr[k] and arr[k+1..n] are >= arr[k]. Note the order: position first.
// Fatal (exit 1): k outside 1..n, n = 0 included
// ("select: k=0 outside 1..10").
TS_API float select(unsigned long k, unsigned long n, float arr[]);

// As select, on unsigned 16-bit values (0 smallest, 65535 largest).
// Fatal (exit 1): "select_ushort: k=... outside 1..n".
TS_API unsigned short select_ushort(unsigned long k, unsigned long n, unsigned short arr[]);

#endif
