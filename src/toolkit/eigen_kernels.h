// SPDX-License-Identifier: MIT
// Vector kernels of plane rotations, for the Jacobi eigen-decomposition and
// the SVD's QR sweeps: the pointer table and the templates each target
// instantiates on its lane types (simd/vec.h).
#ifndef TISSUESTEWARD_EIGEN_KERNELS_H
#define TISSUESTEWARD_EIGEN_KERNELS_H

namespace ts::simd {

// One plane rotation of Jacobi's rows and columns p < q: sine s and
// tau = s / (1 + c).
struct PlaneRotation {
  int p;
  int q;
  float s;
  float tau;
};

struct EigenKernels {
  // For j < count, from the old values: (x[j], y[j]) becomes
  // (x - s·(y + x·tau), y + s·(x - y·tau)), each step rounded to float.
  void (*rotate_pairs)(float *x, float *y, float s, float tau, int count);
  // The rotations r[0..count-1], in ascending order of p, on the rows j =
  // first..last of m (1-based row pointers, columns 1..cols): each, in
  // order, on the pair (m[j][p], m[j][q]) as rotate_pairs does it. With
  // upper set, a rotation reaches row j only when j < p, and nothing on or
  // left of m's diagonal is read or written. Rows are held transposed on
  // the stack (at most 32 KiB) in groups of a vector's width while every
  // rotation runs on them, each group's column p in a register.
  void (*rotate_rows)(float *const *m, int first, int last, int cols, bool upper,
                      const PlaneRotation *r, int count);
  // The rotations r[0..count-1] of one pivot p (all r[k].p equal), in
  // ascending order of q, on rows j = first..last of m: each, in order, on
  // the pair (x[j], m[j][q]) as rotate_pairs does it, for the rows j < q.
  // Nothing on or left of m's diagonal is read or written. Rows go in
  // groups of a vector's width with their x[j] in registers, the columns
  // through transposed tiles in registers.
  void (*rotate_pivot_rows)(float *const *m, int first, int last, int cols, float *x,
                            const PlaneRotation *r, int count);
};

namespace generic {

// (x, y) <- (x - s(y + x·tau), y + s(x - y·tau)), from the old values.
template <class T>
void rotate_values(typename T::V &x, typename T::V &y, typename T::V s, typename T::V tau) {
  const typename T::V g = x, h = y;
  x = T::sub(g, T::mul(s, T::add(h, T::mul(g, tau))));
  y = T::add(h, T::mul(s, T::sub(g, T::mul(h, tau))));
}

template <class T>
void rotate_lanes(float *x, float *y, typename T::V s, typename T::V tau) {
  typename T::V g = T::load(x), h = T::load(y);
  rotate_values<T>(g, h, s, tau);
  T::store(x, g);
  T::store(y, h);
}

template <class L>
void rotate_pairs(float *x, float *y, float s, float tau, int count) {
  using F = typename L::F;
  const typename F::V sv = F::set1(s), tauv = F::set1(tau);
  int j = 0;
  for (; j + F::kLanes <= count; j += F::kLanes) rotate_lanes<F>(x + j, y + j, sv, tauv);
  for (; j < count; ++j) rotate_lanes<typename L::F1>(x + j, y + j, s, tau);
}

// Rows j..j+W-1, columns lo..cols, between m and the transposed block
// (column c at block + (c - lo)·kStride), either way (kToBlock). Lane w's
// elements count from column first + w on (first is lo - W + 1 or less when
// every column counts); the others are zero in the block and untouched in
// m. Moves bits only.
template <class T, class T1, bool kToBlock, int kStride = T::kLanes>
void move_block(float *const *m, int j, int lo, int cols, int first, float *block) {
  using V = typename T::V;
  constexpr int W = T::kLanes;
  auto move_column = [&](int c) {
    for (int w = 0; w < W; ++w) {
      float *in_m = m[j + w] + c, *in_block = block + (c - lo) * kStride + w;
      const bool counts = c >= first + w;
      if (kToBlock)
        T1::store(in_block, counts ? T1::load(in_m) : T1::set1(0.0f));
      else if (counts)
        T1::store(in_m, T1::load(in_block));
    }
  };
  int c = lo;
  for (; c < first + W - 1 && c <= cols; ++c) move_column(c);
  for (; c + W - 1 <= cols; c += W) {
    V t[W];
    for (int w = 0; w < W; ++w)
      t[w] = T::load(kToBlock ? m[j + w] + c : block + (c - lo + w) * kStride);
    T::transpose(t);
    for (int w = 0; w < W; ++w)
      T::store(kToBlock ? block + (c - lo + w) * kStride : m[j + w] + c, t[w]);
  }
  for (; c <= cols; ++c) move_column(c);
}

// The widest block held transposed: 32 KiB of floats.
constexpr int kMaxBlockFloats = 8 * 1024;

// One rotation on G groups: x[g] and the y at ys[g] (lanes of rows j0 +
// g·W ...), where with upper set lane w of group g is reached only when
// limit > j0 + g·W + w; lanes not reached keep their bits.
template <class T, int G>
void rotate_groups(typename T::V (&x)[G], float *const (&ys)[G], typename T::V s, typename T::V tau,
                   bool upper, int limit, int j0) {
  using V = typename T::V;
  constexpr int W = T::kLanes;
  for (int g = 0; g < G; ++g) {
    const int reached = upper ? limit - (j0 + g * W) : W;
    if (reached <= 0) continue;
    const V y = T::load(ys[g]);
    V xn = x[g], yn = y;
    rotate_values<T>(xn, yn, s, tau);
    if (reached < W) {
      xn = T::lanes_below(xn, x[g], reached);
      yn = T::lanes_below(yn, y, reached);
    }
    x[g] = xn;
    T::store(ys[g], yn);
  }
}

// G groups of W = T::kLanes rows from row j on, held transposed in block
// (columns r[0].p..cols of each group, one after the other) while every
// rotation runs on them; each group's column p stays in a register while p
// does not change. T1 (one row) works on the row in place.
template <class T, class T1, int G>
void rotate_held_rows(float *const *m, int j, int cols, bool upper, const PlaneRotation *r,
                      int count, float *block) {
  using V = typename T::V;
  constexpr int W = T::kLanes;
  const int lo = r[0].p, width = (cols - lo + 1) * W;
  float *held[G];
  for (int g = 0; g < G; ++g) {
    const int first = upper ? j + g * W + 1 : 1 - W;
    if (W == 1) {
      held[g] = m[j + g] + lo;
      continue;
    }
    held[g] = block + g * width;
    move_block<T, T1, true>(m, j + g * W, lo, cols, first, held[g]);
  }
  V x[G];
  float *ys[G];
  for (int k = 0; k < count;) {
    const int p = r[k].p;
    for (int g = 0; g < G; ++g) x[g] = T::load(held[g] + (p - lo) * W);
    for (; k < count && r[k].p == p; ++k) {
      for (int g = 0; g < G; ++g) ys[g] = held[g] + (r[k].q - lo) * W;
      rotate_groups<T, G>(x, ys, T::set1(r[k].s), T::set1(r[k].tau), upper, p, j);
    }
    for (int g = 0; g < G; ++g) T::store(held[g] + (p - lo) * W, x[g]);
  }
  if (W == 1) return;
  for (int g = 0; g < G; ++g)
    move_block<T, T1, false>(m, j + g * W, lo, cols, upper ? j + g * W + 1 : 1 - W, held[g]);
}

// Rows from j to last, kGroups groups of T's width at a time, while they
// fit the block; with upper set, the rotations reaching none of a group's
// rows (p <= j) are passed over. Returns the first row not done.
template <class T, class T1, int kGroups>
int rotate_rows_by(float *const *m, int j, int last, int cols, bool upper, const PlaneRotation *r,
                   int count, float *block) {
  constexpr int kRows = kGroups * T::kLanes;
  for (; j + kRows - 1 <= last; j += kRows) {
    int k = 0;
    while (upper && k < count && r[k].p <= j) ++k;
    if (k == count) continue;
    if (T::kLanes > 1 && kRows * (cols - r[k].p + 1) > kMaxBlockFloats) break;
    rotate_held_rows<T, T1, kGroups>(m, j, cols, upper, r + k, count - k, block);
  }
  return j;
}

// Four groups in flight where they fit: a group's column p is one chain of
// dependent steps (multiply, add, multiply, subtract: about 12 cycles per
// rotation) against about 3 cycles of a group's other work.
template <class L>
void rotate_rows(float *const *m, int first, int last, int cols, bool upper, const PlaneRotation *r,
                 int count) {
  using T = typename L::FT;
  using T1 = typename L::F1;
  if (count == 0) return;
  float block[kMaxBlockFloats];
  int j = rotate_rows_by<T, T1, 4>(m, first, last, cols, upper, r, count, block);
  j = rotate_rows_by<T, T1, 2>(m, j, last, cols, upper, r, count, block);
  j = rotate_rows_by<T, T1, 1>(m, j, last, cols, upper, r, count, block);
  rotate_rows_by<T1, T1, 1>(m, j, last, cols, upper, r, count, block);
}

// The tile of rows j..j+W-1 and columns c..c+W-1 of m between memory and
// t, held transposed (lane w of t[k] is m[j + w][c + k]), either way
// (kLoad); only elements right of the diagonal (column > j + w) and up to
// column cols count: the others are zero in t and untouched in m. Moves
// bits only.
template <class T, bool kLoad>
void move_tile(float *const *m, int j, int c, int cols, typename T::V (&t)[T::kLanes]) {
  constexpr int W = T::kLanes;
  const bool whole = c > j + W - 1 && c + W - 1 <= cols;
  if (!kLoad) T::transpose(t);
  for (int w = 0; w < W; ++w) {
    float *row = m[j + w] + c;
    const int lo = j + w + 1 - c, hi = cols - c + 1;  // lanes of the counted columns
    if (kLoad)
      t[w] = whole ? T::load(row) : T::load_lanes(row, lo, hi);
    else if (whole)
      T::store(row, t[w]);
    else
      T::store_lanes(row, t[w], lo, hi);
  }
  if (kLoad) T::transpose(t);
}

// G groups of W = T::kLanes rows from row j on, each rotation of r in turn
// on all of them (see rotate_pivot_rows). Each group's x stays in a
// register; the tile of the columns from a rotation's q on is moved in once
// for all the rotations it holds, shifted left at the right edge while it
// stays right of the diagonal. A group no column of the tile reaches is
// left alone.
template <class T, int G>
void rotate_pivot_groups(float *const *m, int j, int cols, float *x, const PlaneRotation *r,
                         int count) {
  using V = typename T::V;
  constexpr int W = T::kLanes;
  V xv[G];
  for (int g = 0; g < G; ++g) xv[g] = T::load(x + j + g * W);
  V t[G][W] = {};
  for (int k = 0; k < count;) {
    int c = r[k].q;
    if (c + W - 1 > cols && cols - W + 1 > j + G * W - 1) c = cols - W + 1;
    bool held[G];
    for (int g = 0; g < G; ++g) {
      held[g] = c + W - 1 > j + g * W;
      if (held[g]) move_tile<T, true>(m, j + g * W, c, cols, t[g]);
    }
    for (; k < count && r[k].q < c + W; ++k) {
      float *ys[G];
      for (int g = 0; g < G; ++g) ys[g] = reinterpret_cast<float *>(&t[g][r[k].q - c]);
      rotate_groups<T, G>(xv, ys, T::set1(r[k].s), T::set1(r[k].tau), true, r[k].q, j);
    }
    for (int g = 0; g < G; ++g)
      if (held[g]) move_tile<T, false>(m, j + g * W, c, cols, t[g]);
  }
  for (int g = 0; g < G; ++g) T::store(x + j + g * W, xv[g]);
}

// Rows from j to last, kGroups groups of T's width at a time, passing over
// the rotations that reach none of them (q <= j). Returns the first row
// not done.
template <class T, int kGroups>
int rotate_pivot_rows_by(float *const *m, int j, int last, int cols, float *x,
                         const PlaneRotation *r, int count) {
  constexpr int kRows = kGroups * T::kLanes;
  for (; j + kRows - 1 <= last; j += kRows) {
    int k = 0;
    while (k < count && r[k].q <= j) ++k;
    rotate_pivot_groups<T, kGroups>(m, j, cols, x, r + k, count - k);
  }
  return j;
}

// Four groups in flight, as for rotate_rows.
template <class L>
void rotate_pivot_rows(float *const *m, int first, int last, int cols, float *x,
                       const PlaneRotation *r, int count) {
  using T = typename L::FT;
  using T1 = typename L::F1;
  int j = rotate_pivot_rows_by<T, 4>(m, first, last, cols, x, r, count);
  j = rotate_pivot_rows_by<T, 1>(m, j, last, cols, x, r, count);
  rotate_pivot_rows_by<T1, 1>(m, j, last, cols, x, r, count);
}

}  // namespace generic

template <class L>
constexpr EigenKernels eigen_kernels() {
  return EigenKernels{&generic::rotate_pairs<L>, &generic::rotate_rows<L>,
                      &generic::rotate_pivot_rows<L>};
}

}  // namespace ts::simd

#endif
