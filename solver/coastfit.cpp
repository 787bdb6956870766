// ccoeff: the coupled least-squares fit of coast-down runs.
//
// All runs share one linear system in the unknowns (F0_1, k_1, ..., F0_m, k_m). Each run adds the
// normal equations of F0 + k·v² = −M·dv/dt over its interior samples (central differences);
// the coupling weight adds λ·Σ(c_i − c_j)² over all pairs for the tied coefficient c.
//
// Coupled, the system is solved for the mean c̄ of the tied coefficients and the offsets
// d_i = c_i − c̄ in place of the c_i, an exact change of variables. The coupling term is then a
// form in the offsets alone: λ never meets the runs' own sums in one sum, and as λ grows the
// offsets go to 0 while c̄ stays fixed by the runs' sums, so every λ keeps their digits. With λ
// added into the runs' diagonal instead, 1E+12 already rounded away the sixth digit of F0.
#include "solver/coastfit.h"

#include <cstdint>

#include "solver/curve.h"
#include "solver/linalg.h"
#include "solver/storage.h"

namespace coastfit {
namespace {

// A working block over 1..rows x 1..cols, released on every way out of the call.
class Block {
public:
    Block(long rows, long cols) : rows_(rows), cols_(cols), m_(dblmatrix(1, rows, 1, cols)) {
        for (long i = 1; i <= rows_; ++i)
            for (long j = 1; j <= cols_; ++j) m_[i][j] = 0.0;
    }
    ~Block() { release_dblmatrix(m_, 1, rows_, 1, cols_); }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    double** get() const { return m_; }
    double* operator[](long i) const { return m_[i]; }

private:
    long rows_, cols_;
    double** m_;
};

struct Call {
    const double* velocities;
    long N;
    long m;
    const double* parameters;
    double dt;
    double lambda;
    int32_t mode;
    double* results;
    double* residuals;
    double* fitted;

    // Column i (1-based) of a velocity-shaped array; element j is sample j.
    long column(long i) const { return (i - 1) * (N + 1); }
};

// The outcome of a singular system (and of a failed allocation): every output 0.
void write_zeros(const Call& c) {
    for (long i = 1; i <= c.m; ++i) {
        for (long r = 4 * i - 3; r <= 4 * i; ++r) c.results[r] = 0.0;
    }
    for (long i = 1; i <= c.m; ++i) {
        double* f = c.fitted + c.column(i);
        for (long j = 1; j <= c.N; ++j) f[j] = 0.0;
        c.residuals[i] = 0.0;
    }
}

// Writes the fitted curve of one run and returns the mean squared residual.
double fit_curve(const FittedCurve& curve, const double* v, double* f, long N, double dt) {
    double sum = 0.0;
    for (long j = 1; j <= N; ++j) {
        // Sample j lies (j − 1) intervals after the first one, where the curve starts.
        const double u = curve.at(static_cast<double>(j - 1) * dt);
        f[j] = u;
        const double d = v[j] - u;
        sum += d * d;
    }
    return sum / static_cast<double>(N);
}

void solve(const Call& c) {
    const long m = c.m, N = c.N, n = 2 * m;
    Block params(5, m);
    for (long i = 1; i <= m; ++i)
        for (long r = 1; r <= 5; ++r) params[r][i] = c.parameters[(i - 1) * 6 + r];

    Block normal(n, n), coupling(n, n), system(n, n), rhs(n, 2), solution(n, 2);

    // Normal equations and right-hand side, in one pass over the interior samples of each run.
    // The samples are read in place; the sums accumulate in sample order.
    const double twodt = 2.0 * c.dt;
    for (long i = 1; i <= m; ++i) {
        const double* v = c.velocities + c.column(i);
        double s2 = 0.0, s4 = 0.0, sa = 0.0, s2a = 0.0;
        for (long j = 2; j <= N - 1; ++j) {
            const double x = v[j];
            const double x2 = x * x;
            const double a = (v[j + 1] - v[j - 1]) / twodt;
            s2 += x2;
            s4 += x2 * x * x;
            sa += a;
            s2a += x2 * a;
        }
        normal[2 * i - 1][2 * i - 1] = static_cast<double>(N - 2);
        normal[2 * i - 1][2 * i] = s2;
        normal[2 * i][2 * i] = s4;
        normal[2 * i][2 * i - 1] = s2;
        const double M = params[2][i];
        rhs[2 * i - 1][1] = -M * sa;
        rhs[2 * i][1] = -M * s2a;
    }

    // Row of the tied coefficient of run i: 2i − 1 (F0) or 2i (k).
    const long off = c.mode == 0 ? 1 : 0;
    auto tied = [off](long i) { return 2 * i - off; };
    // λ = 0 couples nothing: the plain unknowns, as for one run or any other mode.
    const bool coupled = m > 1 && (c.mode == 0 || c.mode == 1) && c.lambda != 0.0;
    Block basis(n, n), y(n, 2);  // coupled: the unknowns are y, with (F0_1, k_1, ...) = basis·y
    if (coupled) {
        // Run 1's tied slot of y holds c̄, run i's (i ≥ 2) holds d_i, and c_1 = c̄ − Σ d_i; the
        // untied slots stay. The basis holds only 0 and ±1: the products below just add and subtract
        // the runs' entries, and the coupling keeps no share in c̄, as a rounded basis would.
        for (long r = 1; r <= n; ++r) basis[r][r] = 1.0;
        for (long i = 2; i <= m; ++i) {
            basis[tied(i)][tied(1)] = 1.0;
            basis[tied(1)][tied(i)] = -1.0;
        }
        Block transposed(n, n), product(n, n);
        for (long r = 1; r <= n; ++r)
            for (long s = 1; s <= n; ++s) transposed[r][s] = basis[s][r];
        matrix_product(normal.get(), n, n, basis.get(), n, n, product.get());
        matrix_product(transposed.get(), n, n, product.get(), n, n, normal.get());
        matrix_product(transposed.get(), n, n, rhs.get(), n, 2, y.get());
        for (long r = 1; r <= n; ++r) rhs[r][1] = y[r][1];
        // λ·Σ_{i<j}(c_i − c_j)² = λ·m·Σ(c_i − c̄)² = λ·m·(Σ d_i² + (Σ d_i)²): free of c̄, it
        // differentiates to 2mλ on the offsets' diagonal and mλ off it.
        const double mlambda = static_cast<double>(m) * c.lambda;
        for (long i = 2; i <= m; ++i)
            for (long j = 2; j <= m; ++j) coupling[tied(i)][tied(j)] = i == j ? 2.0 * mlambda : mlambda;
    }

    for (long r = 1; r <= n; ++r)
        for (long s = 1; s <= n; ++s) system[r][s] = normal[r][s] + coupling[r][s];

    if (gauss_jordan(system.get(), n, nullptr, 0) == 0) {
        write_zeros(c);
        return;
    }
    if (coupled) {
        matrix_product(system.get(), n, n, rhs.get(), n, 2, y.get());
        matrix_product(basis.get(), n, n, y.get(), n, 2, solution.get());
    } else {
        matrix_product(system.get(), n, n, rhs.get(), n, 2, solution.get());
    }

    for (long i = 1; i <= m; ++i) {
        const double F0 = solution[2 * i - 1][1];
        const double k = solution[2 * i][1];
        const double mass = params[1][i], M = params[2][i], p = params[3][i], T = params[4][i],
                     A = params[5][i];
        c.results[4 * i - 3] = F0;
        c.results[4 * i - 2] = k;
        c.results[4 * i - 1] = F0 / (mass * 9.81);
        // cd = 2k/(ρ·A) with ρ = p/(287.1·T): 287.1 J/(kg·K), °C to K, bar to Pa.
        c.results[4 * i] = ((k + k) * 287.1 * (273.15 + T)) / (p * 100000.0 * A);

        const double* v = c.velocities + c.column(i);
        const FittedCurve curve(F0, k, M, v[1]);
        c.residuals[i] = fit_curve(curve, v, c.fitted + c.column(i), N, c.dt);
    }
}

}  // namespace
}  // namespace coastfit

extern "C" void ccoeff(const double* velocities, int32_t N, int32_t m, const double* parameters, double dt,
                       double lambda, int32_t mode, double* results, double* residuals, double* fitted) {
    if (N < 1 || m < 1 || velocities == nullptr || parameters == nullptr || results == nullptr ||
        residuals == nullptr || fitted == nullptr)
        return;
    const coastfit::Call call{velocities, N, m, parameters, dt, lambda, mode, results, residuals, fitted};
    try {
        coastfit::solve(call);
    } catch (...) {
        // Only a failed allocation throws; report_error has written its lines already.
        coastfit::write_zeros(call);
    }
}
