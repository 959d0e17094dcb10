// SPDX-License-Identifier: MIT
// Offset-indexed arrays.
#include "tissuesteward/arrays.h"

#include "toolkit/detail/fatal.h"
#include "toolkit/detail/messages.h"
#include "toolkit/detail/offset.h"

#include <cstdlib>

using ts::detail::block_of;
using ts::detail::fatal;
using ts::detail::offset_handle;

namespace {

// Elements in lo..hi; an empty range (hi = lo - 1) has none. A reversed range
// or one whose length does not fit in a long is refused with `message`.
long count_of(long lo, long hi, const char *message) {
  long span = 0;
  long count = 0;
  if (__builtin_sub_overflow(hi, lo, &span) || __builtin_add_overflow(span, 1L, &count) ||
      count < 0)
    fatal(message);
  return count;
}

// a * b, refused with `message` when it overflows.
long product_of(long a, long b, const char *message) {
  long p = 0;
  if (__builtin_mul_overflow(a, b, &p)) fatal(message);
  return p;
}

// A block of `count` elements of T straight from malloc; null ends the
// process with `message`, as does a byte count beyond 64-bit arithmetic.
template <class T>
T *allocate(long count, const char *message) {
  long bytes = product_of(count, static_cast<long>(sizeof(T)), message);
  auto *block = static_cast<T *>(std::malloc(static_cast<std::size_t>(bytes)));
  if (block == nullptr) fatal(message);
  return block;
}

// Pointer blocks keep at least one slot: the first row's pointer is where
// the element block's address lives, so an empty matrix or tensor still
// needs somewhere to hold it (and its release to read it back).
template <class T>
T *allocate_pointers(long count, const char *message) {
  return allocate<T>(count > 0 ? count : 1, message);
}

template <class T>
T *new_vector(long lo, long hi, const char *message) {
  return offset_handle(allocate<T>(count_of(lo, hi, message), message), lo);
}

template <class T>
T **new_matrix(long rlo, long rhi, long clo, long chi) {
  const long nrow = count_of(rlo, rhi, ts::msg::kMatrixAlloc1);
  const long ncol = count_of(clo, chi, ts::msg::kMatrixAlloc2);
  T **rows = allocate_pointers<T *>(nrow, ts::msg::kMatrixAlloc1);
  T *elements = allocate<T>(product_of(nrow, ncol, ts::msg::kMatrixAlloc2), ts::msg::kMatrixAlloc2);
  rows[0] = offset_handle(elements, clo);
  for (long r = 1; r < nrow; ++r) rows[r] = offset_handle(elements + r * ncol, clo);
  return offset_handle(rows, rlo);
}

template <class T>
void delete_matrix(T **m, long rlo, long clo) {
  T **rows = block_of(m, rlo);
  std::free(block_of(rows[0], clo));
  std::free(rows);
}

template <class T>
T ***new_tensor(long rlo, long rhi, long clo, long chi, long dlo, long dhi, const char *message1,
                const char *message2, const char *message3) {
  const long nrow = count_of(rlo, rhi, message1);
  const long ncol = count_of(clo, chi, message2);
  const long ndep = count_of(dlo, dhi, message3);
  const long nrowcol = product_of(nrow, ncol, message2);
  T ***top = allocate_pointers<T **>(nrow, message1);
  T **middle = allocate_pointers<T *>(nrowcol, message2);
  T *elements = allocate<T>(product_of(nrowcol, ndep, message3), message3);
  top[0] = offset_handle(middle, clo);
  middle[0] = offset_handle(elements, dlo);
  for (long r = 0; r < nrow; ++r) {
    top[r] = offset_handle(middle + r * ncol, clo);
    for (long c = 0; c < ncol; ++c)
      middle[r * ncol + c] = offset_handle(elements + (r * ncol + c) * ndep, dlo);
  }
  return offset_handle(top, rlo);
}

template <class T>
void delete_tensor(T ***t, long rlo, long clo, long dlo) {
  T ***top = block_of(t, rlo);
  T **middle = block_of(top[0], clo);
  std::free(block_of(middle[0], dlo));
  std::free(middle);
  std::free(top);
}

}  // namespace

float *vector(long nl, long nh) { return new_vector<float>(nl, nh, ts::msg::kVectorAlloc); }
int *ivector(long nl, long nh) { return new_vector<int>(nl, nh, ts::msg::kIvectorAlloc); }
unsigned char *cvector(long nl, long nh) {
  return new_vector<unsigned char>(nl, nh, ts::msg::kCvectorAlloc);
}
unsigned long *lvector(long nl, long nh) {
  return new_vector<unsigned long>(nl, nh, ts::msg::kLvectorAlloc);
}
double *dvector(long nl, long nh) { return new_vector<double>(nl, nh, ts::msg::kDvectorAlloc); }

float **matrix(long nrl, long nrh, long ncl, long nch) {
  return new_matrix<float>(nrl, nrh, ncl, nch);
}
double **dmatrix(long nrl, long nrh, long ncl, long nch) {
  return new_matrix<double>(nrl, nrh, ncl, nch);
}
int **imatrix(long nrl, long nrh, long ncl, long nch) {
  return new_matrix<int>(nrl, nrh, ncl, nch);
}

float **submatrix(float **a, long oldrl, long oldrh, long oldcl, long /*oldch*/, long newrl,
                  long newcl) {
  const long nrow = count_of(oldrl, oldrh, ts::msg::kSubmatrixAlloc);
  float **rows = allocate_pointers<float *>(nrow, ts::msg::kSubmatrixAlloc);
  // Row r of the view starts where the parent's row starts, moved so that
  // view column newcl lands on parent column oldcl.
  const long shift =
      static_cast<long>(static_cast<unsigned long>(oldcl) - static_cast<unsigned long>(newcl));
  for (long r = 0; r < nrow; ++r) rows[r] = block_of(a[oldrl + r], shift);
  return offset_handle(rows, newrl);
}

float **convert_matrix(float *a, long nrl, long nrh, long ncl, long nch) {
  const long nrow = count_of(nrl, nrh, ts::msg::kConvertMatrixAlloc);
  const long ncol = count_of(ncl, nch, ts::msg::kConvertMatrixAlloc);
  float **rows = allocate_pointers<float *>(nrow, ts::msg::kConvertMatrixAlloc);
  for (long r = 0; r < nrow; ++r) rows[r] = offset_handle(a + r * ncol, ncl);
  return offset_handle(rows, nrl);
}

float ***f3tensor(long nrl, long nrh, long ncl, long nch, long ndl, long ndh) {
  return new_tensor<float>(nrl, nrh, ncl, nch, ndl, ndh, ts::msg::kF3tensorAlloc1,
                           ts::msg::kF3tensorAlloc2, ts::msg::kF3tensorAlloc3);
}
unsigned char ***c3tensor(long nrl, long nrh, long ncl, long nch, long ndl, long ndh) {
  return new_tensor<unsigned char>(nrl, nrh, ncl, nch, ndl, ndh, ts::msg::kC3tensorAlloc1,
                                   ts::msg::kC3tensorAlloc2, ts::msg::kC3tensorAlloc3);
}

void free_vector(float *v, long nl, long) { std::free(block_of(v, nl)); }
void free_ivector(int *v, long nl, long) { std::free(block_of(v, nl)); }
void free_cvector(unsigned char *v, long nl, long) { std::free(block_of(v, nl)); }
void free_lvector(unsigned long *v, long nl, long) { std::free(block_of(v, nl)); }
void free_dvector(double *v, long nl, long) { std::free(block_of(v, nl)); }

void free_matrix(float **m, long nrl, long, long ncl, long) { delete_matrix(m, nrl, ncl); }
void free_dmatrix(double **m, long nrl, long, long ncl, long) { delete_matrix(m, nrl, ncl); }
void free_imatrix(int **m, long nrl, long, long ncl, long) { delete_matrix(m, nrl, ncl); }

void free_submatrix(float **b, long nrl, long, long, long) { std::free(block_of(b, nrl)); }
void free_convert_matrix(float **b, long nrl, long, long, long) { std::free(block_of(b, nrl)); }

void free_f3tensor(float ***t, long nrl, long, long ncl, long, long ndl, long) {
  delete_tensor(t, nrl, ncl, ndl);
}
void free_c3tensor(unsigned char ***t, long nrl, long, long ncl, long, long ndl, long) {
  delete_tensor(t, nrl, ncl, ndl);
}
