// SPDX-License-Identifier: MIT
// FFTs in both directions, one- and multi-dimensional, from the shortest
// lengths up to 2^14 complex values and 32×32×32 real ones: random data,
// impulses, constants, awkward magnitudes, lengths of 1, and round trips.
#include <string>
#include <tuple>
#include <vector>

#include "golden.h"
#include "tissuesteward/arrays.h"
#include "tissuesteward/fft.h"

namespace ts::testing {
namespace {

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

std::string lengths_name(const std::vector<unsigned long> &lengths) {
  std::string name;
  for (unsigned long n : lengths) name += (name.empty() ? "" : "x") + std::to_string(n);
  return name.empty() ? "none" : name;
}

// The complex array of the given lengths, transformed with each isign in
// turn (one sign: one transform; both: a round trip).
void run_fourn(Digest &d, const std::vector<unsigned long> &lengths, int ndim,
               std::initializer_list<int> signs, bool awkward, std::uint64_t seed) {
  unsigned long total = 1;
  for (unsigned long n : lengths) total *= n;
  Cells<unsigned long> nn(1, static_cast<long>(lengths.size()));
  for (std::size_t i = 0; i < lengths.size(); ++i) nn[static_cast<long>(i) + 1] = lengths[i];
  Source src(seed);
  Vec data(1, static_cast<long>(2 * total));
  if (awkward)
    data.fill([&src] { return src.mixed(-30, 30); });
  else
    data.fill([&src] { return src.signed_unit(); });
  for (int isign : signs) fourn(data.p(), nn.p(), ndim, isign);
  data.digest(d);
  nn.digest(d);
}

const bool fourn_cases = [] {
  const std::vector<std::vector<unsigned long>> shapes = {
      {1},    {2},      {8},        {1024},        {16384},         {1, 8},   {8, 1},
      {4, 8}, {16, 16}, {128, 128}, {2, 4, 8, 16}, {16, 16, 16, 4}, {1, 1, 1}};
  for (int isign : {1, -1})
    for (const auto &lengths : shapes) {
      const int ndim = static_cast<int>(lengths.size());
      Register("fourn", "random_" + lengths_name(lengths) + "_" + sign_name(isign),
               [lengths, ndim, isign](Digest &d) {
                 run_fourn(d, lengths, ndim, {isign}, false, 1100 + lengths.back());
               });
    }
  Register("fourn", "awkward_8x8", [](Digest &d) {
    run_fourn(d, {8, 8}, 2, {1}, true, 1101);
    run_fourn(d, {8, 8}, 2, {-1}, true, 1101);
  });
  Register("fourn", "no_dimensions", [](Digest &d) {
    run_fourn(d, {4}, 0, {1}, false, 1102);
    run_fourn(d, {4}, -1, {-1}, false, 1102);
  });
  Register("fourn", "round_trip_4x8", [](Digest &d) {
    run_fourn(d, {4, 8}, 2, {1, -1}, false, 1103);
  });
  Register("fourn", "round_trip_32x64", [](Digest &d) {
    run_fourn(d, {32, 64}, 2, {-1, 1}, false, 1104);
  });
  return true;
}();

// A real tensor data[1..nn1][1..nn2][1..nn3] in one block, followed by a
// guard slab data[nn1+1] (the block must stay contiguous, so there is no
// guard before it), and speq[1..nn1][1..2nn2] inside a guard ring.
class Tensor {
 public:
  Tensor(unsigned long nn1, unsigned long nn2, unsigned long nn3)
      : n1_(static_cast<long>(nn1)),
        n2_(static_cast<long>(nn2)),
        n3_(static_cast<long>(nn3)),
        t_(f3tensor(1, n1_ + 1, 1, n2_, 1, n3_)),
        speq_(n1_, 2 * n2_) {
    for (long i = 1; i <= n1_ + 1; ++i)
      for (long j = 1; j <= n2_; ++j)
        for (long k = 1; k <= n3_; ++k) t_[i][j][k] = kGuard;
  }
  ~Tensor() { free_f3tensor(t_, 1, n1_ + 1, 1, n2_, 1, n3_); }
  Tensor(const Tensor &) = delete;
  Tensor &operator=(const Tensor &) = delete;

  template <class Gen>
  void fill(Gen gen, bool with_speq) {
    for (long i = 1; i <= n1_; ++i)
      for (long j = 1; j <= n2_; ++j)
        for (long k = 1; k <= n3_; ++k) t_[i][j][k] = gen();
    if (with_speq) speq_.fill(gen);
  }
  void transform(int isign) {
    rlft3(t_, speq_.p(), static_cast<unsigned long>(n1_), static_cast<unsigned long>(n2_),
          static_cast<unsigned long>(n3_), isign);
  }
  void digest(Digest &d) const {
    for (long i = 1; i <= n1_ + 1; ++i)
      for (long j = 1; j <= n2_; ++j) d.range(t_[i][j], 1, n3_);
    speq_.digest(d);
  }

 private:
  long n1_, n2_, n3_;
  float ***t_;
  Grid speq_;
};

// Forward from real samples, or inverse from a random packed spectrum
// (data and speq both filled).
void run_rlft3(Digest &d, unsigned long nn1, unsigned long nn2, unsigned long nn3, int isign,
               bool awkward, std::uint64_t seed) {
  Source src(seed);
  Tensor t(nn1, nn2, nn3);
  if (awkward)
    t.fill([&src] { return src.mixed(-30, 30); }, isign != 1);
  else
    t.fill([&src] { return src.signed_unit(); }, isign != 1);
  t.transform(isign);
  t.digest(d);
}

const bool rlft3_cases = [] {
  const unsigned long shapes[][3] = {{1, 1, 2}, {1, 1, 16}, {1, 1, 1024}, {2, 4, 8},   {4, 1, 4},
                                     {1, 4, 2}, {8, 8, 8},  {16, 8, 64},  {32, 32, 32}};
  for (int isign : {1, -1})
    for (const auto &s : shapes)
      Register("rlft3", "random_" + lengths_name({s[0], s[1], s[2]}) + "_" + sign_name(isign),
               [s0 = s[0], s1 = s[1], s2 = s[2], isign](Digest &d) {
                 run_rlft3(d, s0, s1, s2, isign, false, 1200 + s0 * 100 + s2);
               });
  Register("rlft3", "awkward_4x4x8", [](Digest &d) {
    run_rlft3(d, 4, 4, 8, 1, true, 1201);
    run_rlft3(d, 4, 4, 8, -1, true, 1202);
  });
  for (auto [n1, n2, n3] : {std::tuple{2UL, 4UL, 8UL}, {32UL, 32UL, 32UL}})
    Register("rlft3", "round_trip_" + lengths_name({n1, n2, n3}),
             [n1 = n1, n2 = n2, n3 = n3](Digest &d) {
               Source src(1203);
               Tensor t(n1, n2, n3);
               t.fill([&src] { return src.signed_unit(); }, false);
               t.transform(1);
               t.transform(-1);
               t.digest(d);
             });
  return true;
}();

}  // namespace
}  // namespace ts::testing
