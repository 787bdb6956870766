#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

#include "solver/coastfit.h"
#include "solver/curve.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Params {
    double mass = 1400, dynMass = 1500, pressure = 1.0, temperature = 20, area = 2.2;
};

// The caller's side of one ccoeff call, laid out as the interface prescribes.
struct Fit {
    int32_t N, m;
    std::vector<double> velocities, parameters, results, residuals, fitted;

    Fit(int32_t samples, int32_t runs, double spare = kNaN)
        : N(samples), m(runs), velocities(static_cast<size_t>(runs) * (samples + 1), spare),
          parameters(static_cast<size_t>(runs) * 6, spare), results(4 * static_cast<size_t>(runs) + 1, spare),
          residuals(static_cast<size_t>(runs) + 1, spare), fitted(static_cast<size_t>(runs) * (samples + 1), spare) {}

    double& v(int i, int j) { return velocities[static_cast<size_t>((i - 1) * (N + 1) + j)]; }
    double& u(int i, int j) { return fitted[static_cast<size_t>((i - 1) * (N + 1) + j)]; }
    double F0(int i) const { return results[4 * i - 3]; }
    double k(int i) const { return results[4 * i - 2]; }
    double fr(int i) const { return results[4 * i - 1]; }
    double cd(int i) const { return results[4 * i]; }

    void setRun(int i, const std::function<double(int)>& sample, const Params& p = {}) {
        for (int j = 1; j <= N; ++j) v(i, j) = sample(j);
        double* q = &parameters[static_cast<size_t>((i - 1) * 6)];
        q[1] = p.mass, q[2] = p.dynMass, q[3] = p.pressure, q[4] = p.temperature, q[5] = p.area;
    }
    void run(double dt, double lambda = 0, int32_t mode = 0) {
        ccoeff(velocities.data(), N, m, parameters.data(), dt, lambda, mode, results.data(), residuals.data(),
               fitted.data());
    }
};

// Exact coast-down from v0 under F0 + k·v² (F0, k > 0), at time t.
double coastDown(double F0, double k, double M, double v0, double t) {
    return std::sqrt(F0 / k) * std::tan(std::atan(std::sqrt(k / F0) * v0) - std::sqrt(F0 * k) * t / M);
}

// A small deterministic disturbance in [-amp, amp].
double noise(int j, int run, double amp) { return amp * std::sin(12.9898 * j + 78.233 * run); }

struct Truth {
    double F0, k, M, v0, dt;
    int N;
};

TEST(Fit, RecoversCoefficientsOfAnExactCoastDown) {
    const Truth cases[] = {
        {150, 0.40, 1500, 30, 0.1, 1000},
        {300, 0.55, 2200, 40, 0.05, 1500},
        {90, 0.30, 1100, 25, 0.2, 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.F0);
        Params p;
        p.dynMass = c.M;
        Fit f(c.N, 1);
        f.setRun(1, [&](int j) { return coastDown(c.F0, c.k, c.M, c.v0, (j - 1) * c.dt); }, p);
        f.run(c.dt);
        EXPECT_NEAR(f.F0(1), c.F0, 1e-4 * c.F0);
        EXPECT_NEAR(f.k(1), c.k, 1e-4 * c.k);
        EXPECT_DOUBLE_EQ(f.fr(1), f.F0(1) / (p.mass * 9.81));
        EXPECT_DOUBLE_EQ(f.cd(1), 2 * f.k(1) * 287.1 * (273.15 + p.temperature) / (p.pressure * 1e5 * p.area));
        // The curve starts at the first sample at time 0 and follows the run.
        EXPECT_NEAR(f.u(1, 1), c.v0, 1e-12 * c.v0);
        for (int j = 1; j <= c.N; j += 37) EXPECT_NEAR(f.u(1, j), f.v(1, j), 1e-3);
        EXPECT_LT(f.residuals[1], 1e-7);
    }
}

TEST(Fit, SingleRunIsThePlainTwoParameterLeastSquaresFit) {
    const int N = 300;
    const double dt = 0.1, M = 1500;
    Fit f(N, 1);
    f.setRun(1, [&](int j) { return coastDown(180, 0.45, M, 32, (j - 1) * dt) + noise(j, 1, 0.02); });
    f.run(dt);
    // Regress y = −M·a on (1, v²) over the interior samples.
    double n = 0, sx = 0, sxx = 0, sy = 0, sxy = 0;
    for (int j = 2; j <= N - 1; ++j) {
        const double x = f.v(1, j) * f.v(1, j), y = -M * (f.v(1, j + 1) - f.v(1, j - 1)) / (2 * dt);
        n += 1, sx += x, sxx += x * x, sy += y, sxy += x * y;
    }
    const double det = n * sxx - sx * sx;
    EXPECT_NEAR(f.F0(1), (sy * sxx - sx * sxy) / det, 1e-8 * std::fabs(f.F0(1)));
    EXPECT_NEAR(f.k(1), (n * sxy - sx * sy) / det, 1e-8 * std::fabs(f.k(1)));
    double sum = 0;
    for (int j = 1; j <= N; ++j) sum += (f.v(1, j) - f.u(1, j)) * (f.v(1, j) - f.u(1, j));
    EXPECT_DOUBLE_EQ(f.residuals[1], sum / N);
}

// Two runs of one vehicle with different coefficients.
Fit twoRuns() {
    const int N = 600;
    const double dt = 0.1;
    Fit f(N, 2);
    f.setRun(1, [&](int j) { return coastDown(150, 0.40, 1500, 30, (j - 1) * dt) + noise(j, 1, 0.01); });
    f.setRun(2, [&](int j) { return coastDown(210, 0.48, 1500, 33, (j - 1) * dt) + noise(j, 2, 0.01); });
    return f;
}

TEST(Fit, CouplingWeightTiesTheChosenCoefficient) {
    Fit free = twoRuns();
    free.run(0.1, 0, 0);
    ASSERT_GT(std::fabs(free.F0(1) - free.F0(2)), 30);
    ASSERT_GT(std::fabs(free.k(1) - free.k(2)), 0.05);

    Fit tiedF0 = twoRuns();
    tiedF0.run(0.1, 1e15, 0);
    EXPECT_NEAR(tiedF0.F0(1), tiedF0.F0(2), 1e-6 * tiedF0.F0(1));
    EXPECT_GT(std::fabs(tiedF0.k(1) - tiedF0.k(2)), 0.05);

    Fit tiedK = twoRuns();
    tiedK.run(0.1, 1e15, 1);
    EXPECT_NEAR(tiedK.k(1), tiedK.k(2), 1e-6 * tiedK.k(1));
    EXPECT_GT(std::fabs(tiedK.F0(1) - tiedK.F0(2)), 30);

    // Uncoupled, each run gets exactly its own single-run fit.
    for (int i = 1; i <= 2; ++i) {
        Fit one(free.N, 1);
        one.setRun(1, [&](int j) { return free.v(i, j); });
        one.run(0.1);
        EXPECT_EQ(one.F0(1), free.F0(i));
        EXPECT_EQ(one.k(1), free.k(i));
        EXPECT_EQ(one.residuals[1], free.residuals[i]);
    }
}

// The coupled normal equations of Fit f, built from the same double samples but summed and solved
// in 113-bit arithmetic; F0, k, fr and cd per run as the results vector lays them out.
std::vector<double> exactResults(Fit& f, double dt, double lambda, int32_t mode) {
    using Quad = __float128;
    const int m = f.m, n = 2 * m;
    std::vector<std::vector<Quad>> a(static_cast<size_t>(n), std::vector<Quad>(static_cast<size_t>(n) + 1, 0));
    auto at = [&](int r, int s) -> Quad& { return a[static_cast<size_t>(r)][static_cast<size_t>(s)]; };
    for (int i = 1; i <= m; ++i) {
        Quad s2 = 0, s4 = 0, sa = 0, s2a = 0;
        for (int j = 2; j < f.N; ++j) {
            const Quad x2 = Quad(f.v(i, j)) * f.v(i, j);
            const Quad acc = (Quad(f.v(i, j + 1)) - f.v(i, j - 1)) / (2 * Quad(dt));
            s2 += x2, s4 += x2 * x2, sa += acc, s2a += x2 * acc;
        }
        const int r = 2 * (i - 1);
        const Quad M = f.parameters[static_cast<size_t>((i - 1) * 6 + 2)];
        at(r, r) = f.N - 2, at(r, r + 1) = at(r + 1, r) = s2, at(r + 1, r + 1) = s4;
        at(r, n) = -M * sa, at(r + 1, n) = -M * s2a;
    }
    if (mode == 0 || mode == 1)
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < m; ++j) at(2 * i + mode, 2 * j + mode) += i == j ? (m - 1) * Quad(lambda) : -Quad(lambda);
    auto magnitude = [&](int r, int s) { return at(r, s) < 0 ? -at(r, s) : at(r, s); };
    for (int col = 0; col < n; ++col) {  // elimination with partial pivoting
        int pivot = col;
        for (int r = col + 1; r < n; ++r)
            if (magnitude(r, col) > magnitude(pivot, col)) pivot = r;
        std::swap(a[static_cast<size_t>(col)], a[static_cast<size_t>(pivot)]);
        for (int r = col + 1; r < n; ++r) {
            const Quad q = at(r, col) / at(col, col);
            for (int s = col; s <= n; ++s) at(r, s) -= q * at(col, s);
        }
    }
    std::vector<Quad> x(static_cast<size_t>(n));
    for (int r = n - 1; r >= 0; --r) {
        Quad s = at(r, n);
        for (int c = r + 1; c < n; ++c) s -= at(r, c) * x[static_cast<size_t>(c)];
        x[static_cast<size_t>(r)] = s / at(r, r);
    }
    std::vector<double> results(f.results.size());
    for (int i = 1; i <= m; ++i) {
        const double* p = &f.parameters[static_cast<size_t>((i - 1) * 6)];
        const Quad F0 = x[static_cast<size_t>(2 * i - 2)], k = x[static_cast<size_t>(2 * i - 1)];
        results[static_cast<size_t>(4 * i - 3)] = static_cast<double>(F0);
        results[static_cast<size_t>(4 * i - 2)] = static_cast<double>(k);
        results[static_cast<size_t>(4 * i - 1)] = static_cast<double>(F0 / (Quad(p[1]) * 9.81));
        results[static_cast<size_t>(4 * i)] =
            static_cast<double>(2 * k * 287.1 * (273.15 + Quad(p[4])) / (Quad(p[3]) * 100000.0 * p[5]));
    }
    return results;
}

// Runs sampled at 1 s and rounded to multiples of 0.036 m/s, as a measured file gives them; each
// run has its own coefficients, masses and air, so neither tied coefficient starts out common.
Fit quantisedRuns(int runs) {
    const int N = 200;
    Fit f(N, runs);
    for (int i = 1; i <= runs; ++i) {
        const double F0 = 140 + 9 * (i % 5), k = 0.35 + 0.012 * (i % 4), v0 = 34 + i % 3;
        Params p;
        p.mass = 1380 + 11 * i, p.dynMass = 1900 + 13 * i, p.pressure = 0.97 + 0.011 * (i % 5);
        p.temperature = 4 + 3 * (i % 7), p.area = 2.18 + 0.02 * (i % 3);
        f.setRun(i, [&](int j) { return std::round(coastDown(F0, k, p.dynMass, v0, j - 1) / 0.036) * 0.036; }, p);
        EXPECT_GT(f.v(i, N), 1.0) << "run " << i << " must not reach standstill";
    }
    return f;
}

TEST(Fit, EveryOfferedLambdaKeepsEveryShownDigit) {
    struct Case {
        const char* name;
        Fit fit;
        double dt;
    };
    const Case cases[] = {
        {"4 quantised runs", quantisedRuns(4), 1.0},
        {"30 quantised runs", quantisedRuns(30), 1.0},
        {"2 runs at 0.1 s", twoRuns(), 0.1},
    };
    std::vector<double> lambdas{0};  // the window's list: 0, 1, 10, ... 1E+15
    for (double lambda = 1; lambda <= 1e15; lambda *= 10) lambdas.push_back(lambda);
    const char* quantity[] = {"cd", "F0", "k", "fr"};
    for (const auto& c : cases) {
        for (int32_t mode : {0, 1}) {
            for (double lambda : lambdas) {
                Fit f = c.fit;
                f.run(c.dt, lambda, mode);
                const std::vector<double> exact = exactResults(f, c.dt, lambda, mode);
                double worst = 0;
                size_t at = 1;
                for (size_t r = 1; r < exact.size(); ++r) {
                    const double error = std::fabs(f.results[r] - exact[r]) / std::fabs(exact[r]);
                    if (!(error <= worst)) worst = error, at = r;
                }
                EXPECT_LE(worst, 5e-8) << c.name << ", mode " << mode << ", lambda " << lambda << ": run "
                                       << (at + 3) / 4 << " " << quantity[at % 4] << " " << f.results[at]
                                       << " against " << exact[at];
            }
        }
    }
}

TEST(Fit, ModesOtherThanZeroOrOneTieNothing) {
    Fit reference = twoRuns();
    reference.run(0.1, 0, 0);
    for (int32_t mode : {2, -1, 7}) {
        SCOPED_TRACE(mode);
        Fit f = twoRuns();
        f.run(0.1, 1e6, mode);
        for (size_t r = 1; r < f.results.size(); ++r) EXPECT_EQ(f.results[r], reference.results[r]) << r;
        EXPECT_EQ(f.residuals[1], reference.residuals[1]);
        EXPECT_EQ(f.residuals[2], reference.residuals[2]);
        EXPECT_EQ(f.u(2, 500), reference.u(2, 500));
    }
}

void expectAllOutputsZero(Fit& f) {
    for (int i = 1; i <= f.m; ++i) {
        for (int r = 4 * i - 3; r <= 4 * i; ++r) EXPECT_EQ(f.results[r], 0.0) << r;
        EXPECT_EQ(f.residuals[i], 0.0) << i;
        for (int j = 1; j <= f.N; ++j) EXPECT_EQ(f.u(i, j), 0.0) << i << "," << j;
    }
}

TEST(Fit, SingularSystemsGiveExactlyZeroOutputs) {
    struct Case {
        const char* name;
        int N, m;
        int32_t mode;
        double lambda;
        std::function<double(int run, int j)> sample;
    };
    const Case cases[] = {
        {"one sample", 1, 1, 0, 0, [](int, int) { return 20.0; }},
        {"two samples", 2, 2, 0, 0, [](int, int j) { return 30.0 - j; }},
        {"two samples, coupled", 2, 3, 1, 1e6, [](int, int j) { return 30.0 - j; }},
        {"constant speed", 6, 1, 0, 0, [](int, int) { return 2.0; }},
        // One uncoupled constant run makes the whole system singular.
        {"constant run beside a good one", 50, 2, 2, 0,
         [](int run, int j) { return run == 1 ? coastDown(150, 0.4, 1500, 30, j * 0.1) : 2.0; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fit f(c.N, c.m, 7.5);
        for (int i = 1; i <= c.m; ++i) f.setRun(i, [&](int j) { return c.sample(i, j); });
        f.run(0.1, c.lambda, c.mode);
        expectAllOutputsZero(f);
    }
}

TEST(Fit, LeadingSpareElementsAreNeitherReadNorWritten) {
    const double sentinel = -123.25;
    Fit withNaN = twoRuns();  // every spare element is NaN, so reading one would show
    withNaN.run(0.1, 1e3, 1);
    Fit plain = twoRuns();
    for (int i = 1; i <= 2; ++i) {
        plain.v(i, 0) = 0.0;
        plain.parameters[static_cast<size_t>((i - 1) * 6)] = 0.0;
        plain.u(i, 0) = sentinel;
    }
    plain.results[0] = plain.residuals[0] = sentinel;
    plain.run(0.1, 1e3, 1);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(plain.u(i, 0), sentinel);
        EXPECT_TRUE(std::isnan(withNaN.u(i, 0)));
        EXPECT_TRUE(std::isnan(withNaN.v(i, 0)));
    }
    EXPECT_EQ(plain.results[0], sentinel);
    EXPECT_EQ(plain.residuals[0], sentinel);
    for (size_t r = 1; r < plain.results.size(); ++r) EXPECT_EQ(withNaN.results[r], plain.results[r]) << r;
    EXPECT_EQ(withNaN.residuals[2], plain.residuals[2]);
}

TEST(Fit, EachResidualComparesItsOwnRun) {
    const int N = 400;
    const double dt = 0.1;
    auto a = [&](int j) { return coastDown(150, 0.40, 1500, 30, (j - 1) * dt) + noise(j, 1, 0.05); };
    auto b = [&](int j) { return coastDown(260, 0.52, 1500, 35, (j - 1) * dt) + noise(j, 2, 0.2); };
    Fit f(N, 3);
    f.setRun(1, a);
    f.setRun(2, b);
    f.setRun(3, a);
    f.run(dt, 0, 0);
    for (int i = 1; i <= 3; ++i) {
        double sum = 0;
        for (int j = 1; j <= N; ++j) sum += (f.v(i, j) - f.u(i, j)) * (f.v(i, j) - f.u(i, j));
        EXPECT_DOUBLE_EQ(f.residuals[i], sum / N) << i;
    }
    EXPECT_EQ(f.residuals[1], f.residuals[3]);
    EXPECT_GT(f.residuals[2], 4 * f.residuals[1]);
}

TEST(Fit, NegativeOrZeroAerodynamicTermWritesAZeroCurve) {
    // Deceleration that grows as the speed falls: k < 0.
    const int N = 100;
    const double dt = 0.1;
    Fit f(N, 1);
    f.setRun(1, [&](int j) {
        const double t = (j - 1) * dt;
        return 30 - 0.5 * t - 0.01 * t * t;
    });
    f.run(dt);
    ASSERT_LT(f.k(1), 0);
    double sum = 0;
    for (int j = 1; j <= N; ++j) {
        EXPECT_EQ(f.u(1, j), 0.0);
        sum += f.v(1, j) * f.v(1, j);
    }
    EXPECT_DOUBLE_EQ(f.residuals[1], sum / N);
}

TEST(Fit, NegativeRollingForceFollowsTheExactCurveToTheLimitSpeed) {
    // M·dv/dt = −(F0 + k·v²) with F0 < 0 tends to vs = sqrt(−F0/k) from above (coth) or below (tanh).
    const double F0 = -100, k = 0.4, M = 1500, dt = 0.1, vs = std::sqrt(-F0 / k);
    const int N = 800;
    for (double v0 : {30.0, 5.0}) {
        SCOPED_TRACE(v0);
        const double w = v0 / vs;
        auto exact = [&](int j) {
            const double T = std::tanh(vs * k * (j - 1) * dt / M);
            return vs * (w + T) / (1 + w * T);
        };
        Fit f(N, 1);
        f.setRun(1, exact);
        f.run(dt);
        EXPECT_NEAR(f.F0(1), F0, 1e-3 * -F0);
        EXPECT_NEAR(f.k(1), k, 1e-3 * k);
        for (int j = 1; j <= N; ++j) ASSERT_NEAR(f.u(1, j), f.v(1, j), 1e-3) << j;  // every sample written
        EXPECT_LT(f.residuals[1], 1e-7);
    }
}

TEST(Fit, CurveStopsAtStandstill) {
    const double F0 = 400, k = 0.5, M = 1200, v0 = 12, dt = 0.1;
    const int N = 600;
    Fit f(N, 1);
    f.setRun(1, [&](int j) { return std::max(0.0, coastDown(F0, k, M, v0, (j - 1) * dt)); });
    ASSERT_EQ(f.v(1, N), 0.0);  // the run ends standing
    f.run(dt);
    ASSERT_GT(f.F0(1), 0);
    ASSERT_GT(f.k(1), 0);
    for (int j = 1; j <= N; ++j) {
        ASSERT_TRUE(std::isfinite(f.u(1, j))) << j;
        ASSERT_GE(f.u(1, j), 0.0) << j;
        if (j > 1) {
            ASSERT_LE(f.u(1, j), f.u(1, j - 1)) << j;
        }
    }
    EXPECT_EQ(f.u(1, N), 0.0);
}

TEST(Fit, BadArgumentsWriteNothing) {
    struct Case {
        const char* name;
        int32_t N, m;
        int nullArg;  // 0 none, else the pointer argument set to null (1, 4, 8, 9, 10)
    };
    const Case cases[] = {{"N = 0", 0, 1, 0}, {"N < 0", -5, 1, 0}, {"m = 0", 10, 0, 0},  {"m < 0", 10, -2, 0},
                          {"velocities", 10, 1, 1}, {"parameters", 10, 1, 4}, {"results", 10, 1, 8},
                          {"residuals", 10, 1, 9},  {"fitted", 10, 1, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fit f(10, 1, 5.0);
        f.setRun(1, [](int j) { return 30.0 - 0.1 * j; });
        const auto results = f.results, residuals = f.residuals, fitted = f.fitted;
        ccoeff(c.nullArg == 1 ? nullptr : f.velocities.data(), c.N, c.m,
               c.nullArg == 4 ? nullptr : f.parameters.data(), 0.1, 0, 0,
               c.nullArg == 8 ? nullptr : f.results.data(), c.nullArg == 9 ? nullptr : f.residuals.data(),
               c.nullArg == 10 ? nullptr : f.fitted.data());
        EXPECT_EQ(f.results, results);
        EXPECT_EQ(f.residuals, residuals);
        EXPECT_EQ(f.fitted, fitted);
    }
}

TEST(FittedCurve, EveryFormStaysFiniteAndNonNegative) {
    using Form = coastfit::FittedCurve::Form;
    const double M = 1000;
    struct Case {
        const char* name;
        double F0, k, v1, t;
        Form form;
        double expected;
    };
    const double vs = 10;  // F0 = −40, k = 0.4
    const double T = std::tanh(vs * 0.4 * 50 / M);
    const Case cases[] = {
        {"tan at start", 100, 0.4, 20, 0, Form::Tan, 20},
        {"tan after standstill", 100, 0.4, 20, 1e4, Form::Tan, 0},
        {"tan from standing", 100, 0.4, 0, 5, Form::Tan, 0},
        {"tan from a negative start", 100, 0.4, -3, 0, Form::Tan, 0},
        {"reciprocal", 0, 0.4, 20, 50, Form::Reciprocal, 20 / (1 + 0.4 * 20 * 50 / M)},
        {"reciprocal from a negative start", 0, 0.4, -20, 50, Form::Reciprocal, 0},
        {"coth from above", -40, 0.4, 30, 50, Form::Hyperbolic, vs * (3 + T) / (1 + 3 * T)},
        {"tanh from below", -40, 0.4, 5, 50, Form::Hyperbolic, vs * (0.5 + T) / (1 + 0.5 * T)},
        {"tanh from standing", -40, 0.4, 0, 50, Form::Hyperbolic, vs * T},
        {"at the limit speed", -40, 0.4, 10, 1e6, Form::Hyperbolic, 10},
        {"k = 0", 100, 0, 20, 5, Form::Zero, 0},
        {"k < 0", 100, -0.1, 20, 5, Form::Zero, 0},
        {"k NaN", 100, kNaN, 20, 5, Form::Zero, 0},
        {"F0 NaN", kNaN, 0.4, 20, 5, Form::Zero, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const coastfit::FittedCurve curve(c.F0, c.k, M, c.v1);
        EXPECT_EQ(curve.form(), c.form);
        EXPECT_NEAR(curve.at(c.t), c.expected, 1e-12 * std::max(1.0, c.expected));
    }
    // The coth form decays monotonically to the limit speed and never crosses it.
    const coastfit::FittedCurve above(-40, 0.4, M, 30);
    double last = above.at(0);
    for (double t = 1; t < 2000; t *= 1.5) {
        const double now = above.at(t);
        EXPECT_LE(now, last);
        EXPECT_GE(now, vs);
        last = now;
    }
}

}  // namespace
