// SPDX-License-Identifier: MIT
// Calls one exported toolkit routine per input, with small sizes and awkward
// floats decoded from the bytes (see fuzz_input.h).
//
// Invariants, beyond "no sanitizer report" and "no hang" (libFuzzer's
// -timeout): probabilities from in-domain arguments lie in [0, 1]; finite
// input of moderate size gives finite factors from the SVD; a kstwo sample
// stays a permutation, sorted. Routines whose documented answer to some input
// is the fatal exit (nrerror, status 1) run in a forked child, where that exit
// is accepted and anything else (a signal, a sanitizer's exit) is a fault.
#include "fuzz_input.h"

#include "tissuesteward/arrays.h"
#include "tissuesteward/correlation.h"
#include "tissuesteward/eigen.h"
#include "tissuesteward/fft.h"
#include "tissuesteward/gamma_beta_erf.h"
#include "tissuesteward/linefit.h"
#include "tissuesteward/linfit.h"
#include "tissuesteward/linsolve.h"
#include "tissuesteward/nlfit.h"
#include "tissuesteward/probability.h"
#include "tissuesteward/products.h"
#include "tissuesteward/random.h"
#include "tissuesteward/select.h"
#include "tissuesteward/sort.h"
#include "tissuesteward/svd.h"
#include "tissuesteward/twosample.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using fuzz::Input;

[[noreturn]] void fault(const char *routine, const char *what) {
  std::fprintf(stderr, "toolkit fuzzer: %s: %s\n", routine, what);
  std::abort();
}

void expect_probability(const char *routine, float p) {
  if (!(p >= 0.0f && p <= 1.0f)) fault(routine, "a probability outside [0, 1]");
}

// A time limit for a forked child, below the fuzzer's own -timeout.
constexpr unsigned kChildSeconds = 15;

// Runs `body` in a child process. Its only accepted endings: returning, or
// the toolkit's fatal report (exit status 1).
template <class Body>
void in_child(const char *routine, Body body) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    // exit() comes only from nrerror here; end before the fuzzer's own
    // exit handler takes it for a fault of the target.
    std::atexit([] { _exit(1); });
    signal(SIGALRM, SIG_DFL);
    alarm(kChildSeconds);
    body();
    _exit(0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  if (WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 1)) return;
  fault(routine, WIFSIGNALED(status) ? "the child died of a signal (or hung)"
                                     : "the child ended with an unexpected status");
}

// One-based float vector v[1..n] of awkward values.
struct Vec {
  Vec(long n_, Input &in, bool finite = false) : n(n_), p(vector(1, n_)) {
    for (long i = 1; i <= n; ++i) p[i] = finite ? in.finite() : in.awkward();
  }
  ~Vec() { free_vector(p, 1, n); }
  Vec(const Vec &) = delete;
  Vec &operator=(const Vec &) = delete;
  bool all_finite() const {
    for (long i = 1; i <= n; ++i)
      if (!std::isfinite(p[i])) return false;
    return true;
  }
  long n;
  float *p;
};

// Float matrix m[lo..lo+rows-1][lo..lo+cols-1] of awkward values.
struct Mat {
  Mat(long rows_, long cols_, Input &in, long lo_ = 1, bool finite = false)
      : rows(rows_), cols(cols_), lo(lo_), m(matrix(lo_, lo_ + rows_ - 1, lo_, lo_ + cols_ - 1)) {
    for (long i = lo; i < lo + rows; ++i)
      for (long j = lo; j < lo + cols; ++j) m[i][j] = finite ? in.finite() : in.awkward();
  }
  ~Mat() { free_matrix(m, lo, lo + rows - 1, lo, lo + cols - 1); }
  Mat(const Mat &) = delete;
  Mat &operator=(const Mat &) = delete;
  bool all_finite(float limit = INFINITY) const {
    for (long i = lo; i < lo + rows; ++i)
      for (long j = lo; j < lo + cols; ++j)
        if (!(std::fabs(m[i][j]) < limit)) return false;
    return true;
  }
  long rows, cols, lo;
  float **m;
};

int sign(Input &in) { return in.byte() % 2 == 0 ? 1 : -1; }
unsigned long power_of_two(Input &in, int max_log) { return 1ul << in.in(0, max_log); }

// --- arrays, products -------------------------------------------------------------

void arrays(Input &in) {
  const long lo = in.in(-3, 3);
  const long hi = lo + in.in(0, 5);
  const long lo2 = in.in(-3, 3);
  const long hi2 = lo2 + in.in(0, 5);
  const long lo3 = in.in(-2, 2);
  const long hi3 = lo3 + in.in(0, 3);
  free_vector(vector(lo, hi), lo, hi);
  free_ivector(ivector(lo, hi), lo, hi);
  free_cvector(cvector(lo, hi), lo, hi);
  free_lvector(lvector(lo, hi), lo, hi);
  free_dvector(dvector(lo, hi), lo, hi);
  free_dmatrix(dmatrix(lo, hi, lo2, hi2), lo, hi, lo2, hi2);
  free_imatrix(imatrix(lo, hi, lo2, hi2), lo, hi, lo2, hi2);
  free_f3tensor(f3tensor(lo, hi, lo2, hi2, lo3, hi3), lo, hi, lo2, hi2, lo3, hi3);
  free_c3tensor(c3tensor(lo, hi, lo2, hi2, lo3, hi3), lo, hi, lo2, hi2, lo3, hi3);
  float **m = matrix(lo, hi, lo2, hi2);
  for (long i = lo; i <= hi; ++i)
    for (long j = lo2; j <= hi2; ++j) m[i][j] = in.awkward();
  const long newrl = in.in(-2, 2), newcl = in.in(-2, 2);
  float **view = submatrix(m, lo, hi, lo2, hi2, newrl, newcl);
  const float seen = view[newrl + (hi - lo)][newcl + (hi2 - lo2)];
  if (std::memcmp(&seen, &m[hi][lo2 + (hi2 - lo2)], sizeof seen) != 0)
    fault("submatrix", "the view shows another element");
  free_submatrix(view, newrl, newrl + (hi - lo), newcl, newcl + (hi2 - lo2));
  float **flat = convert_matrix(&m[lo][lo2], lo, hi, lo2, hi2);
  free_convert_matrix(flat, lo, hi, lo2, hi2);
  free_matrix(m, lo, hi, lo2, hi2);
}

void products(Input &in) {
  const int n = static_cast<int>(in.in(1, 6));
  const int p = static_cast<int>(in.in(0, 6));
  const int m = static_cast<int>(in.in(1, 6));
  Mat a(n, std::max(p, m), in, 0), b(std::max(p, 1), m, in, 0), z(n, std::max(n, m), in, 0);
  matrix_matrix_mult(a.m, b.m, z.m, n, p, m);
  transposematrix_matrix_mult(a.m, z.m, n, std::min(m, static_cast<int>(a.cols)));
  fast_matrix_matrix_mult(a.m, b.m, z.m, n, p, std::min(m, static_cast<int>(a.cols)), in.byte() % 2,
                          in.byte() % 2);
  std::vector<float> x(static_cast<std::size_t>(std::max(n, m)) + 1), y(x.size());
  for (float &v : x) v = in.awkward();
  matrix_vector_mult(a.m, x.data(), y.data(), n, std::min(m, static_cast<int>(a.cols)));
  (void)vector_vector_mult(x.data(), y.data(), static_cast<int>(x.size()) - 1);
  Mat t(std::max(p, m), n, in, 0);
  matrix_transpose(a.m, t.m, n, std::min(m, static_cast<int>(a.cols)));
  diagmatrix_matrix_mult(x.data(), z.m, n, std::min(m, static_cast<int>(z.cols)));
  Mat one(n + 1, m + 1, in, 0), other(n + 1, m + 1, in, 0);
  copy_matrix(one.m, other.m, n, m, static_cast<int>(in.in(-1, 4)));
}

// --- SVD and its uses -----------------------------------------------------------

void svd(Input &in) {
  const float pa = in.awkward(), pb = in.awkward();
  const float h = pythag(pa, pb);
  if (std::isfinite(pa) && std::isfinite(pb) && std::fabs(pa) < 1e38f && std::fabs(pb) < 1e38f &&
      !std::isfinite(h))
    fault("pythag", "finite sides of moderate size, an infinite hypotenuse");
  const int m = static_cast<int>(in.in(1, 6));
  const int n = static_cast<int>(in.in(1, 6));
  const bool finite = in.byte() % 4 != 0;
  Mat a(m, n, in, 1, finite), v(n, n, in);
  Vec w(n, in);
  // Entries up to 1e18 keep every square and sum of squares in range.
  const bool moderate = a.all_finite(1e18f);
  svdcmp(a.m, m, n, w.p, v.m);
  if (moderate && !(a.all_finite() && v.all_finite() && w.all_finite()))
    fault("svdcmp", "finite input of moderate size, a non-finite factor");
  Vec b(m, in), x(n, in);
  svbksb(a.m, w.p, v.m, m, n, b.p, x.p);
  Mat cvm(n, n, in);
  svdvar(v.m, n, w.p, cvm.m);
  const int k = static_cast<int>(in.in(1, 5));
  Mat square(k, k, in, 0), r(k, k, in, 0);
  getInverseMatrixUsingSVD(square.m, in.byte() % 2 ? square.m : r.m, k);
}

void svd_fit(Input &in) {
  const int ndata = static_cast<int>(in.in(1, 8));
  const int ma = static_cast<int>(in.in(1, 5));
  Vec x(ndata, in), y(ndata, in), sig(ndata, in), a(ma, in), w(ma, in);
  for (long i = 1; i <= ndata; ++i)
    if (sig.p[i] == 0.0f) sig.p[i] = 1.0f;  // documented: each non-zero
  Mat u(ndata, ma, in), v(ma, ma, in);
  float chisq = 0.0f;
  svdfit(x.p, y.p, sig.p, ndata, a.p, ma, u.m, v.m, w.p, &chisq, fpoly);
}

// --- linear systems, eigen, fits (fatal reports possible: in a child) ---------------

void linear_systems(Input &in) {
  const int n = static_cast<int>(in.in(1, 5));
  const int m = static_cast<int>(in.in(1, 3));
  Mat a(n, n, in), b(n, m, in);
  in_child("gaussj", [&] { gaussj(a.m, n, b.m, m); });
  const int ma = static_cast<int>(in.in(1, 5));
  Mat covar(ma, ma, in);
  std::vector<int> ia(static_cast<std::size_t>(ma) + 1);
  int mfit = 0;
  for (int j = 1; j <= ma; ++j) mfit += (ia[static_cast<std::size_t>(j)] = in.byte() % 2);
  covsrt(covar.m, ma, ia.data(), mfit);
}

void eigen(Input &in) {
  const int n = static_cast<int>(in.in(1, 6));
  Mat a(n, n, in), v(n, n, in);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j < i; ++j) a.m[i][j] = a.m[j][i];  // symmetric, as required
  Vec d(n, in);
  in_child("jacobi", [&] {
    int nrot = 0;
    jacobi(a.m, n, d.p, v.m, &nrot);
    eigsrt(d.p, v.m, n);
  });
  eigsrt(d.p, v.m, n);
}

void fits(Input &in) {
  const int ndata = static_cast<int>(in.in(1, 8));
  Vec x(ndata, in), y(ndata, in), sig(ndata, in);
  for (long i = 1; i <= ndata; ++i)
    if (sig.p[i] == 0.0f) sig.p[i] = 1.0f;
  const int mwt = in.byte() % 2;
  // A weighted fit of fewer than three points is documented to end the
  // process; the rest runs here.
  if (mwt == 0 || ndata >= 3) {
    float a, b, siga, sigb, chi2, q;
    fit(x.p, y.p, ndata, sig.p, mwt, &a, &b, &siga, &sigb, &chi2, &q);
    if (mwt != 0 && !std::isnan(q)) expect_probability("fit", q);
  }
  const int ma = 3 * static_cast<int>(in.in(1, 2));
  Vec a(ma, in);
  std::vector<int> ia(static_cast<std::size_t>(ma) + 1);
  for (int j = 1; j <= ma; ++j) ia[static_cast<std::size_t>(j)] = in.byte() % 4 != 0;
  const int steps = static_cast<int>(in.in(0, 4));
  in_child("mrqmin", [&] {
    Mat covar(ma, ma, in), alpha(ma, ma, in);
    float chisq = 0.0f, alamda = -1.0f;
    for (int s = 0; s <= steps; ++s)
      mrqmin(x.p, y.p, sig.p, ndata, a.p, ia.data(), ma, covar.m, alpha.m, &chisq, fgauss, &alamda);
    alamda = 0.0f;
    mrqmin(x.p, y.p, sig.p, ndata, a.p, ia.data(), ma, covar.m, alpha.m, &chisq, fgauss, &alamda);
    Vec beta(ma, in);
    mrqcof(x.p, y.p, sig.p, ndata, a.p, ia.data(), ma, alpha.m, beta.p, &chisq, fgauss);
  });
}

// --- random deviates -----------------------------------------------------------------

void random_deviates(Input &in) {
  long seed = static_cast<long>(in.in(-40000, 40000)) * (in.byte() % 2 ? 1 : 65537);
  for (int i = 0, n = static_cast<int>(in.in(1, 40)); i < n; ++i) {
    const float u = ran1(&seed);
    if (!(u > 0.0f && u < 1.0f)) fault("ran1", "a deviate outside (0, 1)");
    if (!std::isfinite(gasdev(&seed))) fault("gasdev", "a non-finite deviate");
  }
}

// --- special functions, probabilities --------------------------------------------------

void special_functions(Input &in) {
  const float a = in.awkward(), b = in.awkward(), x = in.awkward();
  (void)gammln(static_cast<double>(a));
  (void)erfcc(x);
  if (std::isfinite(x) && !std::isfinite(erfcc(x))) fault("erfcc", "finite x, non-finite value");
  const bool shapes = std::isfinite(a) && a > 0.0f && std::isfinite(b) && b > 0.0f;
  if (shapes && x >= 0.0f && x <= 1.0f) expect_probability("betai", betai(a, b, x));
  (void)betai(a, b, x);
  (void)betacf(static_cast<double>(a), static_cast<double>(b), static_cast<double>(x));
  // gammq's answer to a <= 0 or x < 0, and to a beyond its 100 steps (from
  // about a = 1000 on), is the fatal report, and so is the answer of gser and
  // gcf outside their halves of the plane, or to a NaN or an infinity: such
  // calls run in a child (the last ones only now and then), the others here.
  auto incomplete_gamma = [a, x] {
    const float q = gammq(a, x);
    if (a > 0.0f && x >= 0.0f && !std::isnan(a) && !std::isnan(x)) expect_probability("gammq", q);
  };
  const bool screened = a > 0.0f && a <= 100.0f && x >= 0.0f && std::isfinite(x);
  if (screened)
    incomplete_gamma();
  else
    in_child("gammq", incomplete_gamma);
  float p, gln;
  if (screened && double{x} < double{a} + 1.0) gser(&p, a, x, &gln);
  if (screened && double{x} >= double{a} + 1.0) gcf(&p, a, x, &gln);
  if (in.byte() % 8 == 0)
    in_child("gser", [&] {
      if (x >= 0.0f) gser(&p, a, x, &gln);
      gcf(&p, a, x, &gln);
    });
}

void probabilities(Input &in) {
  const float v = in.awkward();
  const unsigned long df =
      static_cast<unsigned long>(in.in(0, 1000)) * (in.byte() % 8 == 0 ? 1000003ul : 1ul);
  const unsigned long df2 = static_cast<unsigned long>(in.in(0, 1000));
  const float t = t_to_p(v, df), F = F_to_p(v, df, df2), r = r_to_p(v, df);
  if (df > 0 && !std::isnan(v)) expect_probability("t_to_p", t);
  if (df > 0 && df2 > 0 && !std::isnan(v)) expect_probability("F_to_p", F);
  if (df > 2 && v >= -1.0f && v <= 1.0f) expect_probability("r_to_p", r);
  (void)p_to_t(v, df);
  (void)p_to_F(v, df, df2);
  (void)p_to_r(v, df);
  const float z = p_to_z(v);
  if (v >= 0.0f && v <= 1.0f && !std::isfinite(z)) fault("p_to_z", "p in [0, 1], non-finite z");
}

// --- two-sample tests, correlation ------------------------------------------------------

void two_samples(Input &in) {
  const long n1 = in.in(1, 8), n2 = in.in(1, 8);
  Vec a(n1, in), b(n2, in);
  float mean, var, t, d, slot = 0.0f;
  avevar(a.p, static_cast<unsigned long>(n1), &mean, &var);
  tutest(a.p, static_cast<unsigned long>(n1), b.p, static_cast<unsigned long>(n2), &t, &slot);
  ttest(a.p, static_cast<unsigned long>(n1), b.p, static_cast<unsigned long>(n2), &t, &slot);
  std::vector<float> before(a.p + 1, a.p + 1 + n1);
  kstwo(a.p, static_cast<unsigned long>(n1), b.p, static_cast<unsigned long>(n2), &d, &slot);
  if (a.all_finite() && b.all_finite() && !(d >= 0.0f && d <= 1.0f))
    fault("kstwo", "finite samples, D outside [0, 1]");
  if (a.all_finite()) {
    std::vector<float> after(a.p + 1, a.p + 1 + n1);
    if (!std::is_sorted(after.begin(), after.end())) fault("kstwo", "a sample left unsorted");
    std::sort(before.begin(), before.end());
    if (before != after) fault("kstwo", "a sample is not a permutation of its input");
  }
  if (!std::isfinite(probks(in.finite()))) fault("probks", "finite lambda, non-finite value");
}

void correlation(Input &in) {
  const long n = in.in(1, 8);
  Vec x(n, in), y(n, in);
  const auto count = static_cast<unsigned long>(n);
  float r, prob, z, d, zd, probd, rs, probrs;
  pearsn(x.p, y.p, count, &r, &prob, &z);
  pearsn_prob(x.p, y.p, count, &r, &prob, &z);
  spear(x.p, y.p, count, &d, &zd, &probd, &rs, &probrs);
  float k = 0, sumx = 0, sumy = 0, sxx = 0, syy = 0, sxy = 0, a, b, ay;
  for (long i = 1; i <= n; ++i) {
    pearsn_inc(x.p[i], y.p[i], k, sumx, sumy, sxx, syy, sxy, &r);
    regr_inc(y.p[i], x.p[i], k, sumx, sumy, sxx, syy, sxy, &a, &b, &ay);
  }
}

// --- sorting, selection --------------------------------------------------------------------

void sorting(Input &in) {
  const long n = in.in(1, 40);
  Vec a(n, in), b(n, in), c(n, in);
  const auto count = static_cast<unsigned long>(n);
  sort(count, a.p);
  sort2(count, b.p, c.p);
  hpsort(count, c.p);
  if (a.all_finite() && !std::is_sorted(a.p + 1, a.p + 1 + n)) fault("sort", "finite, unsorted");
  const unsigned long k = static_cast<unsigned long>(in.in(1, n));
  Vec s(n, in);
  (void)select(k, count, s.p);
  std::vector<unsigned short> u(count + 1);
  for (auto &value : u) value = static_cast<unsigned short>(in.in(0, 65535));
  (void)select_ushort(k, count, u.data());
  float ties = 0.0f;
  Vec w(n, in);
  sort(count, w.p);
  crank(count, w.p, &ties);
}

// --- FFT ----------------------------------------------------------------------------------

void fft(Input &in) {
  const unsigned long nn = power_of_two(in, 5);
  Vec data(static_cast<long>(2 * nn), in);
  four1(data.p, nn, sign(in));
  const unsigned long n = power_of_two(in, 5) * 2;
  Vec real(static_cast<long>(n), in);
  realft(real.p, n, sign(in));

  const int ndim = static_cast<int>(in.in(1, 3));
  unsigned long lengths[4] = {0, 1, 1, 1};
  unsigned long total = 1;
  for (int i = 1; i <= ndim; ++i) total *= (lengths[i] = power_of_two(in, 3));
  Vec block(static_cast<long>(2 * total), in);
  fourn(block.p, lengths, ndim, sign(in));

  const unsigned long n1 = power_of_two(in, 2), n2 = power_of_two(in, 2);
  const unsigned long n3 = power_of_two(in, 2) * 2;
  float ***t =
      f3tensor(1, static_cast<long>(n1), 1, static_cast<long>(n2), 1, static_cast<long>(n3));
  for (unsigned long i = 1; i <= n1; ++i)
    for (unsigned long j = 1; j <= n2; ++j)
      for (unsigned long l = 1; l <= n3; ++l) t[i][j][l] = in.awkward();
  Mat speq(static_cast<long>(n1), static_cast<long>(2 * n2), in);
  rlft3(t, speq.m, n1, n2, n3, sign(in));
  free_f3tensor(t, 1, static_cast<long>(n1), 1, static_cast<long>(n2), 1, static_cast<long>(n3));
}

using Routine = void (*)(Input &);
constexpr Routine kRoutines[] = {
    arrays,          products,          svd,           svd_fit,     linear_systems, eigen,   fits,
    random_deviates, special_functions, probabilities, two_samples, correlation,    sorting, fft};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  Input in(data, size);
  constexpr std::size_t kCount = sizeof kRoutines / sizeof kRoutines[0];
  kRoutines[in.byte() % kCount](in);
  return 0;
}
