// SPDX-License-Identifier: MIT
// Every float argument against MPFR: rounded_expf and rounded_exp over all
// 2^32 float bit patterns, rounded_log over the 2^31 non-negative ones (the
// toolkit passes its exp and log widened floats). Prints, per function, the
// arguments checked, the mismatches (each must be 0) and the time taken.
//
//   elementary_exhaustive [--threads N] [--stride S] [--seconds T] [--mpfr-only]
//                         [--begin B] [--end E] [expf] [exp] [log]
//
// --stride S checks every S-th pattern only (a quick smoke run); --seconds T
// stops each function after T seconds and reports how far it got (the threads
// walk the patterns upwards, so a partial run covers a prefix of the range);
// --begin B --end E (hexadecimal bit patterns) narrow the range.
//
// MPFR takes microseconds per call here, too slow for 10^10 arguments in a
// sitting. So by default the C library's 64-bit-significand expl and logl
// screen each argument first: when their result lies more than 2^-56 (2^7 of
// their ulps, against documented errors of a few) from every rounding boundary
// of the target format, its rounding is the reference; otherwise, and for
// every zero, subnormal, infinite or NaN result, MPFR decides. --mpfr-only
// asks MPFR for every argument (about 4 us each).
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/float_bits.h"
#include "support/mpfr_reference.h"
#include "toolkit/detail/elementary.h"

namespace {

using ts::testing::MpfrReference;

bool same(double a, double b) {
  return ts::testing::bits(a) == ts::testing::bits(b) || (std::isnan(a) && std::isnan(b));
}

struct Function {
  const char* name;
  std::uint64_t patterns;  // bit patterns 0 .. patterns-1
  bool single;             // result format: float or double
  MpfrReference::Function reference;
  long double (*screen)(long double);
  double (*ours)(float);
};

const Function kFunctions[] = {
    {"expf", std::uint64_t{1} << 32, true, mpfr_exp, expl,
     [](float x) { return static_cast<double>(ts::detail::rounded_expf(x)); }},
    {"exp", std::uint64_t{1} << 32, false, mpfr_exp, expl,
     [](float x) { return ts::detail::rounded_exp(static_cast<double>(x)); }},
    {"log", std::uint64_t{1} << 31, false, mpfr_log, logl,
     [](float x) { return ts::detail::rounded_log(static_cast<double>(x)); }},
};

struct Tally {
  std::uint64_t checked = 0, mismatches = 0, by_mpfr = 0;
};

// The screen's verdict: the rounding of a 64-bit-significand approximation y,
// if no rounding boundary of the format lies within a relative 2^-56 of it.
// Boundaries (midpoints between neighbours) are exact in long double.
bool screened(long double y, bool single, double* result) {
  if (!(y > 0.0L || y < 0.0L) || std::isinf(y)) return false;
  const double d = single ? static_cast<double>(static_cast<float>(y)) : static_cast<double>(y);
  const double smallest_normal = single ? 0x1p-126 : 0x1p-1022;
  const double largest = single ? 0x1.fffffep127 : 0x1.fffffffffffffp1023;
  const double a = d < 0 ? -d : d;
  if (!(a >= smallest_normal) || !(a < largest)) return false;
  const int shift = single ? 24 : 53;
  int e;
  std::frexp(a, &e);  // a in [2^(e-1), 2^e)
  const long double ulp = std::ldexp(1.0L, e - shift);
  const long double below = (a == std::ldexp(1.0, e - 1)) ? ulp / 4 : ulp / 2;  // binade edge
  const long double margin = (y < 0 ? -y : y) * 0x1p-56L;
  const long double ay = y < 0 ? -y : y;
  const long double gap = ay - static_cast<long double>(a);
  if (gap > ulp / 2 - margin || gap < -below + margin) return false;
  *result = d;
  return true;
}

void check_range(const Function& f, std::uint64_t begin, std::uint64_t end, std::uint64_t stride,
                 bool mpfr_only, Tally* tally, std::mutex* print) {
  MpfrReference reference(f.reference, f.single ? 24 : 53, f.single ? -148 : -1073,
                          f.single ? 128 : 1024);
  for (std::uint64_t p = begin; p < end; p += stride) {
    const float x = ts::testing::from_bits(static_cast<std::uint32_t>(p));
    const double got = f.ours(x);
    double want;
    if (mpfr_only || !screened(f.screen(static_cast<long double>(x)), f.single, &want)) {
      want = reference(static_cast<double>(x));
      ++tally->by_mpfr;
    }
    ++tally->checked;
    if (!same(got, want)) {
      if (++tally->mismatches <= 10) {
        std::lock_guard<std::mutex> lock(*print);
        std::printf("  %s(%a): got %a, want %a\n", f.name, static_cast<double>(x), got, want);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  unsigned threads = 2;
  std::uint64_t stride = 1;
  bool mpfr_only = false;
  double seconds_limit = 0;
  std::uint64_t begin = 0, end = std::uint64_t{1} << 32;
  std::vector<std::string> wanted;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--threads" && i + 1 < argc) {
      threads = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else if (arg == "--stride" && i + 1 < argc) {
      stride = std::strtoull(argv[++i], nullptr, 10);
    } else if (arg == "--seconds" && i + 1 < argc) {
      seconds_limit = std::strtod(argv[++i], nullptr);
    } else if (arg == "--begin" && i + 1 < argc) {
      begin = std::strtoull(argv[++i], nullptr, 16);
    } else if (arg == "--end" && i + 1 < argc) {
      end = std::strtoull(argv[++i], nullptr, 16);
    } else if (arg == "--mpfr-only") {
      mpfr_only = true;
    } else {
      wanted.push_back(arg);
    }
  }
  if (threads == 0 || stride == 0) {
    std::fprintf(
        stderr,
        "usage: %s [--threads N] [--stride S] [--seconds T] [--mpfr-only] [--begin B] [--end E]"
        " [expf] [exp] [log]\n",
        argv[0]);
    return 2;
  }
  std::uint64_t total_mismatches = 0;
  for (const Function& f : kFunctions) {
    bool run = wanted.empty();
    for (const std::string& w : wanted) run = run || w == f.name;
    if (!run) continue;
    const auto start = std::chrono::steady_clock::now();
    std::vector<Tally> tallies(threads);
    std::atomic<bool> stopped{false};
    std::vector<std::thread> pool;
    std::mutex print;
    // Interleaved blocks so every thread gets a share of the slow arguments.
    const std::uint64_t block = std::uint64_t{1} << 20;
    for (unsigned t = 0; t < threads; ++t) {
      pool.emplace_back([&, t] {
        const std::uint64_t last = end < f.patterns ? end : f.patterns;
        for (std::uint64_t b = begin + t * block; b < last; b += threads * block) {
          if (seconds_limit > 0 && std::chrono::steady_clock::now() - start >
                                       std::chrono::duration<double>(seconds_limit)) {
            stopped = true;
            return;
          }
          check_range(f, b, b + block < last ? b + block : last, stride, mpfr_only, &tallies[t],
                      &print);
        }
      });
    }
    for (std::thread& th : pool) th.join();
    Tally sum;
    for (const Tally& t : tallies) {
      sum.checked += t.checked;
      sum.mismatches += t.mismatches;
      sum.by_mpfr += t.by_mpfr;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "%-5s %llu arguments%s (%llu decided by MPFR), %llu mismatches, %.1f s on %u threads\n",
        f.name, static_cast<unsigned long long>(sum.checked),
        stopped ? " (stopped early: a partial run)" : "",
        static_cast<unsigned long long>(sum.by_mpfr),
        static_cast<unsigned long long>(sum.mismatches), seconds, threads);
    std::fflush(stdout);
    total_mismatches += sum.mismatches;
  }
  return total_mismatches == 0 ? 0 : 1;
}
