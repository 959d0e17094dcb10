// SPDX-License-Identifier: MIT
// Documented message texts, byte for byte, shared by the code and its tests.
// One section per family that has fixed texts; our own messages (with values)
// are formatted at the call site and read "routine: what is wrong (values)".
#ifndef TISSUESTEWARD_DETAIL_MESSAGES_H
#define TISSUESTEWARD_DETAIL_MESSAGES_H

namespace ts::msg {

// --- fatal report ------------------------------------------------------------
inline constexpr char kReportHead[] = "Numerical Toolkit run-time error...\n";
inline constexpr char kReportTail[] = "...now exiting to system...\n";

// --- arrays ------------------------------------------------------------------
inline constexpr char kVectorAlloc[] = "allocation failure in vector()";
inline constexpr char kIvectorAlloc[] = "allocation failure in ivector()";
inline constexpr char kCvectorAlloc[] = "allocation failure in cvector()";
inline constexpr char kLvectorAlloc[] = "allocation failure in lvector()";
inline constexpr char kDvectorAlloc[] = "allocation failure in dvector()";
inline constexpr char kMatrixAlloc1[] = "allocation failure 1 in matrix()";
inline constexpr char kMatrixAlloc2[] = "allocation failure 2 in matrix()";
inline constexpr char kSubmatrixAlloc[] = "allocation failure in submatrix()";
inline constexpr char kConvertMatrixAlloc[] = "allocation failure in convert_matrix()";
inline constexpr char kF3tensorAlloc1[] = "allocation failure 1 in f3tensor()";
inline constexpr char kF3tensorAlloc2[] = "allocation failure 2 in f3tensor()";
inline constexpr char kF3tensorAlloc3[] = "allocation failure 3 in f3tensor()";
inline constexpr char kC3tensorAlloc1[] = "allocation failure 1 in c3tensor()";
inline constexpr char kC3tensorAlloc2[] = "allocation failure 2 in c3tensor()";
inline constexpr char kC3tensorAlloc3[] = "allocation failure 3 in c3tensor()";

// --- linsolve (gaussj, covsrt) -----------------------------------------------
inline constexpr char kGaussjSingular1[] = "gaussj: Singular Matrix-1";
inline constexpr char kGaussjSingular2[] = "gaussj: Singular Matrix-2";
// Ours: the flag count must match mfit (values: mfit, flags set, ma).
inline constexpr char kCovsrtFlagCount[] = "covsrt: mfit=%d but %d of %d flags are set";

// --- eigen -------------------------------------------------------------------
inline constexpr char kJacobiTooManyIterations[] = "Too many iterations in routine jacobi";

// --- nlfit (mrqmin) ----------------------------------------------------------
// Ours: a step (alamda > 0) or finish (alamda == 0) with no fit started.
inline constexpr char kMrqminNotStarted[] =
    "mrqmin: called with alamda >= 0 before a start call (alamda < 0)";

// --- gamma_beta_erf ----------------------------------------------------------
inline constexpr char kGserNegativeX[] = "x less than 0 in routine gser";
inline constexpr char kGserNoConvergence[] = "a too large, ITMAX too small in routine gser";
inline constexpr char kGcfNoConvergence[] = "a too large, ITMAX too small in gcf";
inline constexpr char kGammqInvalidArguments[] = "Invalid arguments in routine gammq";

// --- sort --------------------------------------------------------------------
inline constexpr char kSortStack[] = "NSTACK too small in sort.";
inline constexpr char kSort2Stack[] = "NSTACK too small in sort2.";

}  // namespace ts::msg

#endif
