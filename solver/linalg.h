#pragma once
// Linear algebra of libCoastfit over the 1-based matrices of solver/storage.h. Not exported.
#include <cstdint>

namespace coastfit {

// Inverts the n x n matrix a (indices 1..n) in place with full pivoting and solves the m
// right-hand sides in b (1..n x 1..m; may be null when m == 0). Returns 1 on success, 0 when the
// matrix is singular (a and b are then partly transformed).
int32_t gauss_jordan(double** a, long n, double** b, long m);

// c (1..arows x 1..bcols) = a x b. With acols != brows it prints "Matrix dimension ERROR" on
// standard output and leaves c untouched.
void matrix_product(double** a, long arows, long acols, double** b, long brows, long bcols,
                    double** c);

}  // namespace coastfit
