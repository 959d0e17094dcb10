// FFTs in both directions from the shortest lengths up to 2^14 values:
// random data, impulses, constants, awkward magnitudes, and round trips.
#include "cells.h"

#include "tissuesteward/fft.h"

#include <string>

namespace {

using golden::Digest;
using golden::Register;
using golden::Source;
using golden::Vec;

std::string sign_name(int isign) { return isign > 0 ? "plus" : isign < 0 ? "minus" : "zero"; }

// nn complex values, data[1..2nn], transformed once with isign.
void run_four1(Digest &d, unsigned long nn, int isign, bool awkward, std::uint64_t seed) {
  Source src(seed);
  Vec data(1, static_cast<long>(2 * nn));
  if (awkward)
    data.fill([&src] { return src.mixed(-30, 30); });
  else
    data.fill([&src] { return src.signed_unit(); });
  four1(data.p(), nn, isign);
  data.digest(d);
}

const bool four1_cases = [] {
  for (int isign : {1, -1}) {
    for (unsigned long nn : {0UL, 1UL, 2UL, 4UL, 8UL, 64UL, 1024UL, 16384UL})
      Register("four1", "random_" + std::to_string(nn) + "_" + sign_name(isign),
               [nn, isign](Digest &d) { run_four1(d, nn, isign, false, 500 + nn); });
    Register("four1", "awkward_256_" + sign_name(isign),
             [isign](Digest &d) { run_four1(d, 256, isign, true, 501); });
  }
  Register("four1", "impulse_and_constant_32", [](Digest &d) {
    for (int isign : {1, -1}) {
      Vec impulse(1, 64), constant(1, 64);
      impulse.fill([] { return 0.0f; });
      impulse[1] = 1.0f;
      constant.fill([] { return 0.75f; });
      four1(impulse.p(), 32, isign);
      four1(constant.p(), 32, isign);
      impulse.digest(d);
      constant.digest(d);
    }
  });
  Register("four1", "round_trip_4096", [](Digest &d) {
    Source src(502);
    Vec data(1, 8192);
    data.fill([&src] { return src.signed_unit(); });
    four1(data.p(), 4096, 1);
    four1(data.p(), 4096, -1);
    data.digest(d);
  });
  return true;
}();

// n real values data[1..n], transformed once with isign (anything but 1 is
// the inverse, which reads a packed spectrum: random data serves as one).
void run_realft(Digest &d, unsigned long n, int isign, bool awkward, std::uint64_t seed) {
  Source src(seed);
  Vec data(1, static_cast<long>(n));
  if (awkward)
    data.fill([&src] { return src.mixed(-30, 30); });
  else
    data.fill([&src] { return src.signed_unit(); });
  realft(data.p(), n, isign);
  data.digest(d);
}

const bool realft_cases = [] {
  for (int isign : {1, -1}) {
    for (unsigned long n : {2UL, 4UL, 8UL, 256UL, 16384UL})
      Register("realft", "random_" + std::to_string(n) + "_" + sign_name(isign),
               [n, isign](Digest &d) { run_realft(d, n, isign, false, 600 + n); });
    Register("realft", "awkward_512_" + sign_name(isign),
             [isign](Digest &d) { run_realft(d, 512, isign, true, 601); });
  }
  Register("realft", "other_signs_run_the_inverse", [](Digest &d) {
    for (int isign : {0, 2, -7}) run_realft(d, 64, isign, false, 602);
  });
  Register("realft", "constant_128", [](Digest &d) {
    Vec data(1, 128);
    data.fill([] { return -1.5f; });
    realft(data.p(), 128, 1);
    data.digest(d);
  });
  Register("realft", "round_trip_8192", [](Digest &d) {
    Source src(603);
    Vec data(1, 8192);
    data.fill([&src] { return src.signed_unit(); });
    realft(data.p(), 8192, 1);
    realft(data.p(), 8192, -1);
    data.digest(d);
  });
  return true;
}();

}  // namespace
