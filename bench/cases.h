// SPDX-License-Identifier: MIT
// The sizes and seeds of every case, shared by the benchmarks and the
// accuracy report so both measure the same inputs.
#ifndef TS_BENCH_CASES_H
#define TS_BENCH_CASES_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace bench::cases {

// One-dimensional FFT: complex values for four1, real samples for realft.
inline constexpr std::size_t kFftSizes[] = {1u << 10, 1u << 16, 1u << 20};
inline constexpr std::uint32_t kFour1Seed = 101, kRealftSeed = 102;
// The sweep of both routines against FFTW FFTW_MEASURE only: 2^1 .. 2^22,
// less the sizes above.
inline constexpr int kFftSweepBits[] = {1,  2,  3,  4,  5,  6,  7,  8,  9, 11,
                                        12, 13, 14, 15, 17, 18, 19, 21, 22};

// Multi-dimensional FFT.
inline constexpr std::size_t kFournSide = 512;
inline constexpr std::uint32_t kFournSeed = 1101, kRlft3Seed = 1102;
struct Volume {
  std::size_t n1, n2, n3;
  std::size_t count() const { return n1 * n2 * n3; }
  std::string label() const {
    if (n1 == n2 && n2 == n3) return std::to_string(n1) + "^3";
    return std::to_string(n1) + "x" + std::to_string(n2) + "x" + std::to_string(n3);
  }
};
inline constexpr Volume kVolumes[] = {{64, 64, 64}, {128, 128, 128}, {256, 256, 128}};

// Dense matrices, uniform in [-1, 1).
struct Dims {
  std::size_t m, n;
};
inline constexpr Dims kSvdDims[] = {{64, 64}, {256, 256}, {512, 512}, {1000, 200}};
inline constexpr std::size_t kInverseOrder = 256;
inline constexpr std::size_t kGaussjOrders[] = {64, 256};
inline constexpr std::size_t kJacobiOrders[] = {64, 256};
inline constexpr std::uint32_t kSvdSeed = 801, kInverseSeed = 802;
inline constexpr std::uint32_t kGaussjSeed = 901, kGaussjRhsSeed = 902;
inline constexpr std::uint32_t kJacobiSeed = 1001;

// Dense products: square orders, and the row count of A·Aᵀ (A n × n).
inline constexpr std::size_t kProductOrders[] = {256, 1024};
inline constexpr std::size_t kRowProductOrders[] = {256};
inline constexpr std::uint32_t kProductSeedA = 701, kProductSeedB = 702;

// Sorting, selection, ranking.
inline constexpr std::size_t kSortSizes[] = {1000, 1000000, 10000000};
inline constexpr std::uint32_t kSortSeed = 401, kCompanionSeed = 402;
inline constexpr std::size_t kSelectCount = 1000000;
inline constexpr std::uint32_t kSelectSeed = 501, kCrankSeed = 502, kSpearSeed = 601;

}  // namespace bench::cases

#endif
