// SPDX-License-Identifier: MIT
// Vector kernels of plane rotations, for the Jacobi eigen-decomposition and
// the SVD's QR sweeps: the pointer table and the templates each target
// instantiates on its lane types (simd/vec.h).
#ifndef TISSUESTEWARD_EIGEN_KERNELS_H
#define TISSUESTEWARD_EIGEN_KERNELS_H

namespace ts::simd {

// One plane rotation of columns p and q, as Jacobi's eigenvector matrix
// sees it: sine s and tau = s / (1 + c).
struct PlaneRotation {
  int p;
  int q;
  float s;
  float tau;
};

// One step of the SVD's QR sweeps on the columns of U or V: with q > 0 the
// rotation (y, z) -> (y·c + z·s, z·c - y·s) of columns (p, q); with q = 0
// the sign change of column p.
struct GivensStep {
  int p;
  int q;
  float c;
  float s;
};

struct EigenKernels {
  // For j < count, from the old values: (x[j], y[j]) becomes
  // (x - s·(y + x·tau), y + s·(x - y·tau)), each step rounded to float.
  void (*rotate_pairs)(float *x, float *y, float s, float tau, int count);
  // For every row j = 1..n of v (1-based), the rotations r[0..count-1] in
  // order, each on the pair (v[j][p], v[j][q]) as rotate_pairs does it.
  // Rows are independent, so they are taken in blocks, each block held
  // transposed on the stack (at most 32 KiB) while every rotation runs on
  // it.
  void (*rotate_rows)(float *const *v, int n, const PlaneRotation *r, int count);
  // For every row j = 1..rows of a (1-based), columns 1..cols, the steps
  // r[0..count-1] in order; blocks as for rotate_rows.
  void (*givens_rows)(float *const *a, int rows, int cols, const GivensStep *r, int count);
};

namespace generic {

template <class T>
void rotate_lanes(float *x, float *y, typename T::V s, typename T::V tau) {
  const typename T::V g = T::load(x), h = T::load(y);
  T::store(x, T::sub(g, T::mul(s, T::add(h, T::mul(g, tau)))));
  T::store(y, T::add(h, T::mul(s, T::sub(g, T::mul(h, tau)))));
}

template <class L>
void rotate_pairs(float *x, float *y, float s, float tau, int count) {
  using F = typename L::F;
  const typename F::V sv = F::set1(s), tauv = F::set1(tau);
  int j = 0;
  for (; j + F::kLanes <= count; j += F::kLanes) rotate_lanes<F>(x + j, y + j, sv, tauv);
  for (; j < count; ++j) rotate_lanes<typename L::F1>(x + j, y + j, s, tau);
}

// Every rotation on columns held T::kLanes rows wide: column c (1-based) of
// the rows at columns + (c - 1)·kLanes.
template <class T>
void rotate_columns(float *columns, const PlaneRotation *r, int count) {
  constexpr int W = T::kLanes;
  for (int k = 0; k < count; ++k)
    rotate_lanes<T>(columns + (r[k].p - 1) * W, columns + (r[k].q - 1) * W, T::set1(r[k].s),
                    T::set1(r[k].tau));
}

template <class T>
void rotate_columns(float *columns, const GivensStep *r, int count) {
  using V = typename T::V;
  constexpr int W = T::kLanes;
  for (int k = 0; k < count; ++k) {
    float *py = columns + (r[k].p - 1) * W;
    const V y = T::load(py);
    if (r[k].q == 0) {
      T::store(py, T::neg(y));
      continue;
    }
    float *pz = columns + (r[k].q - 1) * W;
    const V z = T::load(pz), c = T::set1(r[k].c), s = T::set1(r[k].s);
    T::store(py, T::add(T::mul(y, c), T::mul(z, s)));
    T::store(pz, T::sub(T::mul(z, c), T::mul(y, s)));
  }
}

// Rows j..j+W-1, columns 1..n, between v and the transposed block, either
// way (kToBlock). Moves bits only.
template <class T, class T1, bool kToBlock>
void move_block(float *const *v, int j, int n, float *block) {
  using V = typename T::V;
  constexpr int W = T::kLanes;
  int c = 1;
  for (; c + W - 1 <= n; c += W) {
    V t[W];
    for (int w = 0; w < W; ++w) t[w] = T::load(kToBlock ? v[j + w] + c : block + (c - 1 + w) * W);
    T::transpose(t);
    for (int w = 0; w < W; ++w) T::store(kToBlock ? block + (c - 1 + w) * W : v[j + w] + c, t[w]);
  }
  for (; c <= n; ++c)
    for (int w = 0; w < W; ++w) {
      float *in_v = v[j + w] + c, *in_block = block + (c - 1) * W + w;
      T1::store(kToBlock ? in_block : in_v, T1::load(kToBlock ? in_v : in_block));
    }
}

// The widest order held transposed: 1024 columns × 8 rows of floats, 32 KiB.
constexpr int kMaxBlockFloats = 8 * 1024;

// Rows 1..rows of a, columns 1..cols, W rows at a time held transposed
// while every step runs on them; rows left over (and every row of a matrix
// too wide for the block) one by one, in place.
template <class L, class Step>
void rotate_row_blocks(float *const *a, int rows, int cols, const Step *r, int count) {
  using T = typename L::FT;
  using T1 = typename L::F1;
  constexpr int W = T::kLanes;
  int j = 1;
  if (cols * W <= kMaxBlockFloats) {
    float block[kMaxBlockFloats];
    for (; j + W - 1 <= rows; j += W) {
      move_block<T, T1, true>(a, j, cols, block);
      rotate_columns<T>(block, r, count);
      move_block<T, T1, false>(a, j, cols, block);
    }
  }
  for (; j <= rows; ++j) rotate_columns<T1>(a[j] + 1, r, count);  // a row is its own 1-wide block
}

template <class L>
void rotate_rows(float *const *v, int n, const PlaneRotation *r, int count) {
  rotate_row_blocks<L>(v, n, n, r, count);
}

}  // namespace generic

template <class L>
constexpr EigenKernels eigen_kernels() {
  return EigenKernels{&generic::rotate_pairs<L>, &generic::rotate_rows<L>,
                      &generic::rotate_row_blocks<L, GivensStep>};
}

}  // namespace ts::simd

#endif
