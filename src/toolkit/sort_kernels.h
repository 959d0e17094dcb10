// SPDX-License-Identifier: MIT
// Vector kernels of the sorts: an in-place vector quicksort for arrays whose
// ascending order is unique bit for bit, and the pre-scan that decides it.
//
// Any correct sort of such an array gives the same bits, so the result is
// the one the documented steps give. The order is not unique when the array
// holds a NaN, or two values that compare equal with different bits: +0 and
// -0, and, with denormals-are-zero set, denormals among themselves and with
// zeros. Those arrays are declined and go through the documented steps.
//
// Method: one pass checks for NaNs and ties of different bits and notes an
// ascending or descending array (finished at once, a descending one by
// reversal: equal values have equal bits). Otherwise quicksort: a pivot from
// a sorted sample, vector partitioning (the permuted vector is stored at
// both write ends, so the table of lane permutations stands in for a
// compress-store), recursion into the smaller part only, a heap sort past a
// depth limit, and bitonic networks in registers for blocks of at most
// 16 vectors.
#ifndef TISSUESTEWARD_SORT_KERNELS_H
#define TISSUESTEWARD_SORT_KERNELS_H

#include <cstddef>
#include <cstdint>

namespace ts::simd {

struct SortKernels {
  // Sorts a[0..n-1] ascending in place and returns true when that order is
  // unique bit for bit; otherwise returns false with a untouched. The
  // scalar target always returns false: its sort is the documented steps.
  // Allocates nothing. Stack: about 100 bytes per level of the quicksort
  // (at most log2(n) levels: it recurses into the smaller part only), and
  // under 2 KiB (AVX2) for the innermost call.
  bool (*sort_if_unique)(float *a, std::size_t n);
};

// Kernel templates: L is a target's SortLanes (L::F floats).
namespace generic {

enum class Prescan { kUnsorted, kAscending, kDescending, kTiesDiffer };

// One step of the pre-scan over x = a[i..i+W) and its successors
// next = a[i+1..i+W+1).
template <class L>
struct PrescanState {
  using F = typename L::F;
  using V = typename F::V;
  V nan;      // lanes where a NaN was seen
  V zero_or;  // OR and AND of the bit patterns of values equal to zero
  V zero_and;
  V rises;  // lanes where a[i] < a[i + 1] was seen
  V falls;  // lanes where a[i] > a[i + 1] was seen
  V zero;
  V ones;

  static PrescanState start() {
    const V zero = F::set1(0.0f);
    const V ones = F::eq(zero, zero);
    return {zero, zero, ones, zero, zero, zero, ones};
  }
  void step(V x, V next) {
    const V is_zero = F::eq(x, zero);
    nan = F::bit_or(nan, F::unordered(x, x));
    zero_or = F::bit_or(zero_or, F::bit_and(is_zero, x));
    zero_and = F::bit_and(zero_and, F::bit_or(F::and_not(is_zero, ones), x));
    rises = F::bit_or(rises, F::lt(x, next));
    falls = F::bit_or(falls, F::lt(next, x));
  }
};

// One operation folded over the lanes: its result over all lanes, in every
// lane.
enum class Fold { kOr, kAnd, kMin, kMax };
template <class L, Fold op, int m = 1>
typename L::F::V fold_lanes(typename L::F::V v) {
  using F = typename L::F;
  if constexpr (m >= F::kLanes) {
    return v;
  } else {
    const typename F::V w = F::template permute_xor<m>(v);
    if constexpr (op == Fold::kOr) return fold_lanes<L, op, 2 * m>(F::bit_or(v, w));
    if constexpr (op == Fold::kAnd) return fold_lanes<L, op, 2 * m>(F::bit_and(v, w));
    if constexpr (op == Fold::kMin) return fold_lanes<L, op, 2 * m>(F::min(v, w));
    if constexpr (op == Fold::kMax) return fold_lanes<L, op, 2 * m>(F::max(v, w));
  }
}

template <class L>
Prescan prescan(const float *a, std::size_t n) {
  using F = typename L::F;
  constexpr std::size_t W = F::kLanes;
  PrescanState<L> s = PrescanState<L>::start();
  std::size_t i = 0;
  for (; i + W < n; i += W) s.step(F::load(a + i), F::load(a + i + 1));
  // The last elements, padded with copies of the last one: same bits, and
  // neither a rise nor a fall.
  const typename F::V last = F::set1(a[n - 1]);
  s.step(F::load_padded(a + i, n - i, last), F::load_padded(a + i + 1, n - i - 1, last));

  if (F::any_bit(s.nan)) return Prescan::kTiesDiffer;
  const typename F::V zero_or = fold_lanes<L, Fold::kOr>(s.zero_or);
  const typename F::V zero_and = fold_lanes<L, Fold::kAnd>(s.zero_and);
  // Zero-equal values of two patterns, or (with denormals-are-zero) a
  // denormal among them.
  const typename F::V magnitude = F::and_not(F::set1(-0.0f), s.ones);
  if (F::any_bit(F::and_not(zero_and, zero_or)) || F::any_bit(F::bit_and(zero_or, magnitude)))
    return Prescan::kTiesDiffer;
  if (F::sign_bits(s.falls) == 0) return Prescan::kAscending;
  if (F::sign_bits(s.rises) == 0) return Prescan::kDescending;
  return Prescan::kUnsorted;
}

template <class L>
void reverse(float *a, std::size_t n) {
  using F = typename L::F;
  constexpr std::size_t W = F::kLanes;
  std::size_t lo = 0;
  std::size_t hi = n;
  for (; hi - lo >= 2 * W; lo += W, hi -= W) {
    const typename F::V front = F::load(a + lo);
    const typename F::V back = F::load(a + hi - W);
    F::store(a + lo, F::template permute_xor<W - 1>(back));
    F::store(a + hi - W, F::template permute_xor<W - 1>(front));
  }
  for (; hi - lo >= 2; ++lo, --hi) {
    const float kept = a[lo];
    a[lo] = a[hi - 1];
    a[hi - 1] = kept;
  }
}

// Bitonic sorting network over N vectors held in registers. Element e sits
// in vector e % N, lane e / N, so the short distances, which most stages
// use, pair whole vectors. Each merge of blocks of k first compares e with
// e ^ (k - 1), putting the smaller below, then e with e ^ j for j = k/4..1.
template <class L, int N>
struct BitonicNetwork {
  using F = typename L::F;
  using V = typename F::V;
  static constexpr int W = F::kLanes;

  template <int k>
  static void flip(V *v) {
    if constexpr (k <= N) {
      for (int x = 0; x < N; ++x)
        if ((x & (k / 2)) == 0) {
          const int y = x ^ (k - 1);
          const V lo = F::min(v[x], v[y]);
          v[y] = F::max(v[x], v[y]);
          v[x] = lo;
        }
    } else {
      // Partner: vector N-1-x, lane ^ (k/N - 1); lane bit k/(2N) marks the
      // upper element of each pair.
      constexpr int m = k / N - 1;
      constexpr int d = k / (2 * N);
      for (int x = 0; x < N / 2; ++x) {
        const int y = N - 1 - x;
        const V partner = F::template permute_xor<m>(v[y]);
        const V lo = F::min(v[x], partner);
        const V hi = F::max(v[x], partner);
        v[x] = F::template upper_from<d>(lo, hi);
        v[y] = F::template permute_xor<m>(F::template upper_from<d>(hi, lo));
      }
    }
  }

  template <int j>
  static void half_clean(V *v) {
    if constexpr (j >= 1) {
      if constexpr (j < N) {
        for (int x = 0; x < N; ++x)
          if ((x & j) == 0) {
            const V lo = F::min(v[x], v[x + j]);
            v[x + j] = F::max(v[x], v[x + j]);
            v[x] = lo;
          }
      } else {
        constexpr int d = j / N;
        for (int x = 0; x < N; ++x) {
          const V partner = F::template permute_xor<d>(v[x]);
          v[x] = F::template upper_from<d>(F::min(v[x], partner), F::max(v[x], partner));
        }
      }
      half_clean<j / 2>(v);
    }
  }

  template <int k = 2>
  static void sort(V *v) {
    if constexpr (k <= N * W) {
      flip<k>(v);
      half_clean<k / 4>(v);
      sort<2 * k>(v);
    }
  }
};

// Sorts a[0..n-1], n <= N * W, through the network; +inf pads the rest.
template <class L, int N>
void sort_block(float *a, std::size_t n) {
  using F = typename L::F;
  constexpr std::size_t W = F::kLanes;
  const typename F::V inf = F::set1(__builtin_inff());
  typename F::V v[N];
  for (std::size_t x = 0; x < N; ++x)
    v[x] = x * W + W <= n ? F::load(a + x * W)
           : x * W < n    ? F::load_padded(a + x * W, n - x * W, inf)
                          : inf;
  BitonicNetwork<L, N>::sort(v);
  float buffer[N * W];
  if constexpr (N >= W) {
    // Vectors bW..bW+W-1, transposed, hold the runs a[lN + bW ..][0..W-1].
    for (std::size_t b = 0; b < N / W; ++b) {
      F::transpose_square(v + b * W);
      for (std::size_t lane = 0; lane < W; ++lane) {
        const std::size_t at = lane * N + b * W;
        if (at + W <= n) {
          F::store(a + at, v[b * W + lane]);
        } else if (at < n) {
          F::store(buffer, v[b * W + lane]);
          for (std::size_t k = 0; at + k < n; ++k) a[at + k] = buffer[k];
        }
      }
    }
  } else {
    for (std::size_t x = 0; x < N; ++x) F::store(buffer + x * W, v[x]);
    for (std::size_t e = 0; e < n; ++e) a[e] = buffer[(e % N) * W + e / N];
  }
}

// Blocks of up to this many elements go to the networks.
template <class L>
constexpr std::size_t kBlockSize = 16 * L::F::kLanes;

template <class L>
void sort_small(float *a, std::size_t n) {
  constexpr std::size_t W = L::F::kLanes;
  if (n < 2) return;
  if (n <= 2 * W) {
    sort_block<L, 2>(a, n);
  } else if (n <= 4 * W) {
    sort_block<L, 4>(a, n);
  } else if (n <= 8 * W) {
    sort_block<L, 8>(a, n);
  } else {
    sort_block<L, 16>(a, n);
  }
}

// Heap sort of a[0..n-1]: the worst-case guard of the quicksort.
template <class L>
void heap_sort(float *a, std::size_t n) {
  auto sift_down = [a](std::size_t root, std::size_t end) {
    const float x = a[root];
    std::size_t child;
    while ((child = 2 * root + 1) < end) {
      if (child + 1 < end && a[child] < a[child + 1]) ++child;
      if (!(x < a[child])) break;
      a[root] = a[child];
      root = child;
    }
    a[root] = x;
  };
  for (std::size_t root = n / 2; root-- > 0;) sift_down(root, n);
  for (std::size_t end = n; end-- > 1;) {
    const float top = a[0];
    a[0] = a[end];
    a[end] = top;
    sift_down(0, end);
  }
}

// xorshift64: spreads the pivot sample over each stride.
template <class L>
std::uint64_t next_random(std::uint64_t &state) {
  state ^= state << 13;
  state ^= state >> 7;
  state ^= state << 17;
  return state;
}

// The median of a sample, one element drawn from each of 16 (from 2^12
// elements on, 64) equal strides.
template <class L>
float choose_pivot(const float *a, std::size_t n, std::uint64_t &random) {
  float sample[64];
  const std::size_t count = n >= 4096 ? 64 : 16;
  const std::size_t stride = n / count;
  for (std::size_t k = 0; k < count; ++k) {
    // A place in the stride: the high 32 random bits scaled (no division)
    // while the stride fits 32 bits.
    const std::uint64_t r = next_random<L>(random);
    const std::size_t offset = stride >> 32 == 0 ? ((r >> 32) * stride) >> 32 : r % stride;
    sample[k] = a[k * stride + offset];
  }
  if (count == 64) {
    sort_small<L>(sample, 64);
  } else {
    sort_small<L>(sample, 16);
  }
  return sample[count / 2];
}

// Vectors read per turn of the partition loop. The side to read from is a
// branch the predictor cannot learn; taking it once per four vectors, whose
// loads and lane permutations are independent, keeps the stores' only
// serial dependency the running count of left lanes.
constexpr int kPartitionUnroll = 4;

// Rearranges a[0..n-1], n >= (2 * kPartitionUnroll + 1) * W, so that the
// elements going left (below the pivot; when kTakeEqual, not above it) come
// first, and returns how many they are. min and max receive the least and
// greatest element.
//
// After single elements and the first and last kPartitionUnroll vectors
// are set aside, the unread elements are a[left..right); the part written
// so far is a[0..l_store) and a[r_store..n). The two gaps between hold
// 2 * kPartitionUnroll * W free slots, and vectors are read from the side
// whose gap is smaller, so each gap holds at least W for every store: a
// vector's partitioned lanes are stored in full at l_store and ending at
// r_store, and the lanes beyond each part land in free slots.
template <class L, bool kTakeEqual>
std::size_t partition(float *a, std::size_t n, float pivot, float &min, float &max) {
  using F = typename L::F;
  using V = typename F::V;
  constexpr std::size_t W = F::kLanes;
  constexpr std::size_t U = kPartitionUnroll;
  const V p = F::set1(pivot);
  std::size_t left = 0;
  std::size_t right = n;
  // Single elements first, without branches, until a whole number of
  // vectors is left: each either stays or trades places with the last
  // unread one.
  float lo = a[0];
  float hi = a[0];
  for (std::size_t k = n % W; k > 0; --k) {
    const float x = a[left];
    const float y = a[right - 1];
    lo = x < lo ? x : lo;
    hi = x > hi ? x : hi;
    const bool stays = kTakeEqual ? !(pivot < x) : x < pivot;
    a[left] = stays ? x : y;
    a[right - 1] = stays ? y : x;
    left += stays;
    right -= !stays;
  }
  std::size_t l_store = left;
  std::size_t r_store = right;
  V kept[2 * U];
  for (std::size_t k = 0; k < U; ++k) {
    kept[k] = F::load(a + left + k * W);
    kept[U + k] = F::load(a + right - (k + 1) * W);
  }
  left += U * W;
  right -= U * W;
  V vmin = kept[0];
  V vmax = kept[0];
  for (std::size_t k = 1; k < 2 * U; ++k) {
    vmin = F::min(vmin, kept[k]);
    vmax = F::max(vmax, kept[k]);
  }
  auto left_lanes = [p](V v) {
    if constexpr (kTakeEqual) {
      return F::sign_bits(F::lt(p, v)) ^ ((1u << W) - 1);
    } else {
      return F::sign_bits(F::lt(v, p));
    }
  };
  auto put_both_ends = [&](V v) {
    const unsigned mask = left_lanes(v);
    const V parted = F::partition_lanes(v, mask);
    const std::size_t count = static_cast<std::size_t>(F::left_count(mask));
    F::store(a + l_store, parted);
    F::store(a + r_store - W, parted);
    l_store += count;
    r_store -= W - count;
  };
  // Takes `count` vectors from the side with the smaller gap.
  auto take = [&](std::size_t count) {
    const bool from_right = r_store - right < left - l_store;
    const std::size_t from = from_right ? right - count * W : left;
    right -= from_right ? count * W : 0;
    left += from_right ? 0 : count * W;
    V v[U];
    for (std::size_t k = 0; k < count; ++k) {
      v[k] = F::load(a + from + k * W);
      vmin = F::min(vmin, v[k]);
      vmax = F::max(vmax, v[k]);
    }
    for (std::size_t k = 0; k < count; ++k) put_both_ends(v[k]);
  };
  while ((right - left) % (U * W) != 0) take(1);
  while (left < right) take(U);
  // 2UW free slots: every vector set aside but the last fills W of them
  // with its two stores (which overlap only once the gap is W, and then
  // coincide); the last one's single store fills the W left.
  for (std::size_t k = 0; k + 1 < 2 * U; ++k) put_both_ends(kept[k]);
  const unsigned mask = left_lanes(kept[2 * U - 1]);
  F::store(a + l_store, F::partition_lanes(kept[2 * U - 1], mask));
  l_store += static_cast<std::size_t>(F::left_count(mask));

  vmin = fold_lanes<L, Fold::kMin>(vmin);
  vmax = fold_lanes<L, Fold::kMax>(vmax);
  const float vlo = F::first(vmin);
  const float vhi = F::first(vmax);
  min = vlo < lo ? vlo : lo;
  max = vhi > hi ? vhi : hi;
  return l_store;
}

template <class L>
void quicksort(float *a, std::size_t n, int depth_left, std::uint64_t &random) {
  while (n > kBlockSize<L>) {
    if (depth_left-- == 0) {
      heap_sort<L>(a, n);
      return;
    }
    const float pivot = choose_pivot<L>(a, n, random);
    float min;
    float max;
    std::size_t m = partition<L, false>(a, n, pivot, min, max);
    if (m == 0) {                // the pivot is the least element
      if (max == pivot) return;  // all equal
      // Split off the elements equal to the pivot; they are done.
      m = partition<L, true>(a, n, pivot, min, max);
      a += m;
      n -= m;
      continue;
    }
    if (max == pivot) {  // a[m..n) all equal the pivot
      n = m;
      continue;
    }
    if (m < n - m) {
      quicksort<L>(a, m, depth_left, random);
      a += m;
      n -= m;
    } else {
      quicksort<L>(a + m, n - m, depth_left, random);
      n = m;
    }
  }
  sort_small<L>(a, n);
}

template <class L>
bool sort_if_unique(float *a, std::size_t n) {
  if constexpr (L::F::kLanes == 1) {
    (void)a;
    (void)n;
    return false;
  } else {
    if (n < 2) return true;
    switch (prescan<L>(a, n)) {
      case Prescan::kTiesDiffer:
        return false;
      case Prescan::kAscending:
        return true;
      case Prescan::kDescending:
        reverse<L>(a, n);
        return true;
      case Prescan::kUnsorted:
        break;
    }
    int log2n = 0;
    for (std::size_t m = n; m > 1; m >>= 1) ++log2n;
    std::uint64_t random = 0x9e3779b97f4a7c15u ^ n;
    quicksort<L>(a, n, 2 * log2n, random);
    return true;
  }
}

}  // namespace generic

template <class L>
constexpr SortKernels sort_kernels() {
  return SortKernels{&generic::sort_if_unique<L>};
}

}  // namespace ts::simd

#endif
