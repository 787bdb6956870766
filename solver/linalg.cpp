// Gauss-Jordan inversion with full pivoting and the plain matrix product.
#include <cmath>
#include <cstdio>
#include <utility>

#include "solver/linalg.h"
#include "solver/storage.h"

namespace coastfit {

namespace {

// Owns one lvector over 1..n for the elimination, released on every way out.
class IndexVector {
public:
    explicit IndexVector(long n) : n_(n), v_(lvector(1, n)) {}
    ~IndexVector() { release_lvector(v_, 1, n_); }
    IndexVector(const IndexVector&) = delete;
    IndexVector& operator=(const IndexVector&) = delete;
    uint32_t& operator[](long i) { return v_[i]; }

private:
    long n_;
    uint32_t* v_;
};

}  // namespace

int32_t gauss_jordan(double** a, long n, double** b, long m) {
    IndexVector indxc(n);  // pivot column of each pass
    IndexVector indxr(n);  // pivot row of each pass
    IndexVector ipiv(n);   // use count per column
    for (long j = 1; j <= n; ++j) ipiv[j] = 0;

    for (long i = 1; i <= n; ++i) {
        double big = 0.0;
        long irow = 0, icol = 0;
        for (long j = 1; j <= n; ++j) {
            if (ipiv[j] == 1) continue;
            for (long k = 1; k <= n; ++k) {
                if (ipiv[k] == 0) {
                    // >= : among equal magnitudes the last one met wins; NaN never qualifies.
                    if (std::fabs(a[j][k]) >= big) {
                        big = std::fabs(a[j][k]);
                        irow = j;
                        icol = k;
                    }
                } else if (ipiv[k] > 1) {
                    return 0;
                }
            }
        }
        if (icol == 0) return 0;  // every remaining entry is not a number
        ++ipiv[icol];
        if (irow != icol) {
            for (long l = 1; l <= n; ++l) std::swap(a[irow][l], a[icol][l]);
            for (long l = 1; l <= m; ++l) std::swap(b[irow][l], b[icol][l]);
        }
        indxr[i] = static_cast<uint32_t>(irow);
        indxc[i] = static_cast<uint32_t>(icol);
        if (!(a[icol][icol] != 0.0)) return 0;  // an exact zero or a NaN pivot
        const double pivinv = 1.0 / a[icol][icol];
        a[icol][icol] = 1.0;
        for (long l = 1; l <= n; ++l) a[icol][l] *= pivinv;
        for (long l = 1; l <= m; ++l) b[icol][l] *= pivinv;
        for (long r = 1; r <= n; ++r) {
            if (r == icol) continue;
            const double d = a[r][icol];
            a[r][icol] = 0.0;
            for (long l = 1; l <= n; ++l) a[r][l] -= a[icol][l] * d;
            for (long l = 1; l <= m; ++l) b[r][l] -= b[icol][l] * d;
        }
    }
    for (long l = n; l >= 1; --l) {
        if (indxr[l] != indxc[l]) {
            for (long k = 1; k <= n; ++k) std::swap(a[k][indxr[l]], a[k][indxc[l]]);
        }
    }
    return 1;
}

void matrix_product(double** a, long arows, long acols, double** b, long brows, long bcols, double** c) {
    if (acols != brows) {
        std::fputs("Matrix dimension ERROR", stdout);
        return;
    }
    for (long i = 1; i <= arows; ++i)
        for (long k = 1; k <= bcols; ++k) c[i][k] = 0.0;
    for (long i = 1; i <= arows; ++i)
        for (long k = 1; k <= bcols; ++k)
            for (long j = 1; j <= acols; ++j) c[i][k] = a[i][j] * b[j][k] + c[i][k];
}

}  // namespace coastfit
