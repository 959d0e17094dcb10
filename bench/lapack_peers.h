// SPDX-License-Identifier: MIT
// The LAPACK/BLAS entry points the benchmarks and the accuracy report call,
// from two builds in one process: the reference LAPACK the executables link
// (the system's liblapack.so.3 / libblas.so.3) and OpenBLAS, loaded by its
// explicit path so the system's alternatives never matter. OpenBLAS is
// opened with RTLD_DEEPBIND: its LAPACK calls its own BLAS, not the
// reference BLAS already in the global scope. It runs on one thread.
#ifndef TS_BENCH_LAPACK_PEERS_H
#define TS_BENCH_LAPACK_PEERS_H

#include <dlfcn.h>

#include <cstddef>
#include <cstdlib>
#include <string>

// Fortran interfaces (column-major; character arguments carry a hidden
// length at the end, as gfortran passes them).
extern "C" {
void sgesvd_(const char *jobu, const char *jobvt, const int *m, const int *n, float *a,
             const int *lda, float *s, float *u, const int *ldu, float *vt, const int *ldvt,
             float *work, const int *lwork, int *info, std::size_t, std::size_t);
void dgesvd_(const char *jobu, const char *jobvt, const int *m, const int *n, double *a,
             const int *lda, double *s, double *u, const int *ldu, double *vt, const int *ldvt,
             double *work, const int *lwork, int *info, std::size_t, std::size_t);
void sgesv_(const int *n, const int *nrhs, float *a, const int *lda, int *ipiv, float *b,
            const int *ldb, int *info);
void dgesv_(const int *n, const int *nrhs, double *a, const int *lda, int *ipiv, double *b,
            const int *ldb, int *info);
void sgetri_(const int *n, float *a, const int *lda, const int *ipiv, float *work, const int *lwork,
             int *info);
void ssyev_(const char *jobz, const char *uplo, const int *n, float *a, const int *lda, float *w,
            float *work, const int *lwork, int *info, std::size_t, std::size_t);
void dsyev_(const char *jobz, const char *uplo, const int *n, double *a, const int *lda, double *w,
            double *work, const int *lwork, int *info, std::size_t, std::size_t);
void sgemm_(const char *transa, const char *transb, const int *m, const int *n, const int *k,
            const float *alpha, const float *a, const int *lda, const float *b, const int *ldb,
            const float *beta, float *c, const int *ldc, std::size_t, std::size_t);
void ssyrk_(const char *uplo, const char *trans, const int *n, const int *k, const float *alpha,
            const float *a, const int *lda, const float *beta, float *c, const int *ldc,
            std::size_t, std::size_t);
}

namespace bench {

struct Lapack {
  std::string name;
  decltype(&sgesvd_) sgesvd = nullptr;
  decltype(&sgesv_) sgesv = nullptr;
  decltype(&sgetri_) sgetri = nullptr;
  decltype(&ssyev_) ssyev = nullptr;
  decltype(&sgemm_) sgemm = nullptr;
  decltype(&ssyrk_) ssyrk = nullptr;
};

inline const Lapack &reference_lapack() {
  static const Lapack lapack{"LAPACK ref", &sgesvd_, &sgesv_, &sgetri_, &ssyev_, &sgemm_, &ssyrk_};
  return lapack;
}

inline constexpr const char *kOpenBlasPath =
    "/usr/lib/x86_64-linux-gnu/openblas-pthread/libopenblas.so.0";

// OpenBLAS on one thread, or nullptr when it is not installed
// (bench/install-deps.sh installs it).
inline const Lapack *openblas() {
  static const Lapack *loaded = []() -> const Lapack * {
    setenv("OPENBLAS_NUM_THREADS", "1", 1);
    void *handle = dlopen(kOpenBlasPath, RTLD_NOW | RTLD_LOCAL | RTLD_DEEPBIND);
    if (handle == nullptr) return nullptr;
    auto *lapack = new Lapack{"OpenBLAS"};
    lapack->sgesvd = reinterpret_cast<decltype(&sgesvd_)>(dlsym(handle, "sgesvd_"));
    lapack->sgesv = reinterpret_cast<decltype(&sgesv_)>(dlsym(handle, "sgesv_"));
    lapack->sgetri = reinterpret_cast<decltype(&sgetri_)>(dlsym(handle, "sgetri_"));
    lapack->ssyev = reinterpret_cast<decltype(&ssyev_)>(dlsym(handle, "ssyev_"));
    lapack->sgemm = reinterpret_cast<decltype(&sgemm_)>(dlsym(handle, "sgemm_"));
    lapack->ssyrk = reinterpret_cast<decltype(&ssyrk_)>(dlsym(handle, "ssyrk_"));
    using SetThreads = void (*)(int);
    if (auto set_threads = reinterpret_cast<SetThreads>(dlsym(handle, "openblas_set_num_threads")))
      set_threads(1);
    if (!lapack->sgesvd || !lapack->sgesv || !lapack->sgetri || !lapack->ssyev || !lapack->sgemm ||
        !lapack->ssyrk)
      return nullptr;
    return lapack;
  }();
  return loaded;
}

// Every LAPACK build present: the reference one, then OpenBLAS if installed.
template <class Visit>
void for_each_lapack(Visit visit) {
  visit(reference_lapack());
  if (const Lapack *o = openblas()) visit(*o);
}

}  // namespace bench

#endif
