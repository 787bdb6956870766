#pragma once
// The one export of libCoastfit.so: the coupled least-squares fit of coast-down runs.
#include <cstdint>

#ifdef __cplusplus
extern "C" {
#endif

// velocities: m columns of N + 1 doubles (column-major image of (0..N, 1..m)); element 0 of each
//             column is neither read nor written.
// parameters: m columns of 6 doubles; rows 1..5 = vehicle mass kg, dynamic mass kg,
//             air pressure bar, air temperature degC, frontal area m2.
// mode:       0 ties the rolling forces F0, 1 the aerodynamic terms k, any other value nothing.
// results:    4m + 1 doubles; run i: 4i-3 F0 (N), 4i-2 k, 4i-1 fr, 4i cd.
// residuals:  m + 1 doubles; element i = mean squared residual of run i.
// fitted:     same layout as velocities.
//
// Sample j lies (j - 1)·dt after the first sample, where each fitted curve starts. A singular
// system (N <= 2, a constant-speed run nothing couples, ...) or a failed allocation writes 0 to
// every output; N < 1, m < 1 or a null pointer writes nothing. The call keeps no state, never
// throws and never ends the process. On Linux the library exports ccoeff alone (no decorated
// stdcall alias).
typedef void (*CcoeffFunction)(const double* velocities, int32_t N, int32_t m, const double* parameters,
                               double dt, double lambda, int32_t mode, double* results,
                               double* residuals, double* fitted);

__attribute__((visibility("default"))) void ccoeff(const double* velocities, int32_t N, int32_t m,
                                                   const double* parameters, double dt, double lambda,
                                                   int32_t mode, double* results, double* residuals,
                                                   double* fitted);

#ifdef __cplusplus
}
#endif
