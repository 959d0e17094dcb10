// SPDX-License-Identifier: MIT
// hvsim's own translation unit, compiled into a fuzz target: its option
// parser and session player live in an unnamed namespace, and libFuzzer
// brings the main function, so hvsim's main is renamed on the way in.
#ifndef TISSUESTEWARD_FUZZ_HVSIM_SUPPORT_H
#define TISSUESTEWARD_FUZZ_HVSIM_SUPPORT_H

#define main hvsim_main
#include "hvsim.cpp"
#undef main

#endif
