#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "solver/linalg.h"
#include "solver/storage.h"

namespace {

using coastfit::dblmatrix;
using coastfit::release_dblmatrix;

// A 1-based n x c double matrix filled from row-major values.
struct Mat {
    long rows, cols;
    double** m;
    Mat(long r, long c, std::vector<double> values = {}) : rows(r), cols(c), m(dblmatrix(1, r, 1, c)) {
        for (long i = 1; i <= r; ++i)
            for (long j = 1; j <= c; ++j)
                m[i][j] = values.empty() ? 0.0 : values[static_cast<size_t>((i - 1) * c + (j - 1))];
    }
    ~Mat() { release_dblmatrix(m, 1, rows, 1, cols); }
    std::vector<double> values() const {
        std::vector<double> out;
        for (long i = 1; i <= rows; ++i)
            for (long j = 1; j <= cols; ++j) out.push_back(m[i][j]);
        return out;
    }
};

struct InverseCase {
    const char* name;
    long n;
    std::vector<double> input;
    int expected;
    std::vector<double> after;  // the inverse, or the partly transformed matrix on a singular return
};

TEST(GaussJordan, InvertsOrReportsSingular) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<InverseCase> cases = {
        {"identity", 2, {1, 0, 0, 1}, 1, {1, 0, 0, 1}},
        // Row swap plus column unscrambling: its own inverse.
        {"swap", 2, {0, 1, 1, 0}, 1, {0, 1, 1, 0}},
        {"equal magnitudes", 2, {2, 2, 2, -2}, 1, {0.25, 0.25, 0.25, -0.25}},
        {"permuted 3x3", 3, {0, 0, 2, 4, 0, 0, 0, 8, 0}, 1, {0, 0.25, 0, 0, 0, 0.125, 0.5, 0, 0}},
        // First pivot at (2, 2), then an exact 0 at (1, 1).
        {"singular", 2, {1, 2, 1, 2}, 0, {0, -1, 0.5, 0.5}},
        {"zero", 2, {0, 0, 0, 0}, 0, {0, 0, 0, 0}},
        // No entry is a number: no pivot candidate at all.
        {"all NaN", 2, {nan, nan, nan, nan}, 0, {nan, nan, nan, nan}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Mat a(c.n, c.n, c.input);
        EXPECT_EQ(coastfit::gauss_jordan(a.m, c.n, nullptr, 0), c.expected);
        const auto got = a.values();
        for (size_t i = 0; i < got.size(); ++i) {
            if (std::isnan(c.after[i]))
                EXPECT_TRUE(std::isnan(got[i])) << i;
            else
                EXPECT_EQ(got[i], c.after[i]) << i;
        }
    }
}

TEST(GaussJordan, AmongEqualMagnitudesTheLastMetIsThePivot) {
    // |3| at (1,1) and (2,2): the scan takes (2,2) first, then (1,1). The two orders round
    // differently, so the bits show which one ran. Expected: that elimination done by hand.
    const double a = 3, b = 2, c = 2, d = 3;
    const double p = 1.0 / d;                     // pass 1, pivot (2,2)
    const double r1 = a - (c * p) * b, r2 = 0.0 - p * b;
    const double q = 1.0 / r1;                    // pass 2, pivot (1,1)
    const double e12 = r2 * q, e21 = 0.0 - q * (c * p), e22 = p - e12 * (c * p);
    Mat m(2, 2, {a, b, c, d});
    ASSERT_EQ(coastfit::gauss_jordan(m.m, 2, nullptr, 0), 1);
    EXPECT_EQ(m.values(), (std::vector<double>{q, e12, e21, e22}));
    // Taking (1,1) first would give 0.5999999999999999 at (1,1).
    EXPECT_EQ(m.m[1][1], 0.6);
}

TEST(GaussJordan, SolvesRightHandSidesAndInvertsLargerSystems) {
    // A well-conditioned 6x6: A·A⁻¹ = I and A·x = b.
    const long n = 6;
    Mat a(n, n), orig(n, n), b(n, 2), x0(n, 2);
    for (long i = 1; i <= n; ++i) {
        for (long j = 1; j <= n; ++j) orig.m[i][j] = a.m[i][j] = (i == j ? 10.0 : 0.0) + 1.0 / (i + j);
        b.m[i][1] = i;
        b.m[i][2] = -2.0 * i * i;
        x0.m[i][1] = b.m[i][1];
        x0.m[i][2] = b.m[i][2];
    }
    ASSERT_EQ(coastfit::gauss_jordan(a.m, n, b.m, 2), 1);
    Mat prod(n, n), check(n, 2);
    coastfit::matrix_product(orig.m, n, n, a.m, n, n, prod.m);
    coastfit::matrix_product(orig.m, n, n, b.m, n, 2, check.m);
    for (long i = 1; i <= n; ++i) {
        for (long j = 1; j <= n; ++j) EXPECT_NEAR(prod.m[i][j], i == j ? 1.0 : 0.0, 1e-14);
        EXPECT_NEAR(check.m[i][1], x0.m[i][1], 1e-12);
        EXPECT_NEAR(check.m[i][2], x0.m[i][2], 1e-12);
    }
}

TEST(MatrixProduct, MultipliesOrLeavesResultOnDimensionError) {
    Mat a(2, 3, {1, 2, 3, 4, 5, 6}), b(3, 2, {7, 8, 9, 10, 11, 12});
    Mat c(2, 2, {-1, -1, -1, -1});
    coastfit::matrix_product(a.m, 2, 3, b.m, 3, 2, c.m);
    EXPECT_EQ(c.values(), (std::vector<double>{58, 64, 139, 154}));

    Mat d(2, 2, {-1, -2, -3, -4});
    testing::internal::CaptureStdout();
    coastfit::matrix_product(a.m, 2, 3, b.m, 2, 2, d.m);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Matrix dimension ERROR");
    EXPECT_EQ(d.values(), (std::vector<double>{-1, -2, -3, -4}));
}

TEST(Allocators, OffsetPointersCoverTheirIndexRanges) {
    // Any lower bound: every index of the range is writable and reads back (ASan watches bounds).
    double* v = coastfit::dvector(-3, 4);
    for (long i = -3; i <= 4; ++i) v[i] = i;
    EXPECT_EQ(v[-3] + v[4], 1.0);
    coastfit::release_dvector(v, -3, 4);

    int32_t** im = coastfit::intmatrix(0, 2, 5, 7);
    for (long i = 0; i <= 2; ++i)
        for (long j = 5; j <= 7; ++j) im[i][j] = static_cast<int32_t>(10 * i + j);
    EXPECT_EQ(&im[1][5], &im[0][5] + 3);  // rows lie one after another in one block
    EXPECT_EQ(im[2][7], 27);
    coastfit::release_intmatrix(im, 0, 2, 5, 7);

    float*** t = coastfit::f3tensor(1, 2, 0, 2, -1, 1);
    for (long i = 1; i <= 2; ++i)
        for (long j = 0; j <= 2; ++j)
            for (long k = -1; k <= 1; ++k) t[i][j][k] = static_cast<float>(100 * i + 10 * j + k);
    EXPECT_EQ(&t[2][0][-1], &t[1][2][1] + 1);  // cells one after another, column fastest
    EXPECT_EQ(t[2][1][1], 211.0f);
    coastfit::release_f3tensor(t, 1, 2, 0, 2, -1, 1);
}

TEST(Allocators, ViewsAddressTheOwnersStorage) {
    float** src = coastfit::matrix(1, 4, 1, 5);
    for (long i = 1; i <= 4; ++i)
        for (long j = 1; j <= 5; ++j) src[i][j] = static_cast<float>(10 * i + j);
    float** sub = coastfit::submatrix(src, 2, 3, 3, 5, 0, 0);
    EXPECT_EQ(sub[0][0], 23.0f);
    EXPECT_EQ(sub[1][2], 35.0f);
    sub[1][1] = -1.0f;
    EXPECT_EQ(src[3][4], -1.0f);
    coastfit::release_submatrix(sub, 0, 1, 0, 2);
    coastfit::release_matrix(src, 1, 4, 1, 5);

    float flat[6] = {1, 2, 3, 4, 5, 6};
    float** view = coastfit::convert_matrix(flat, 1, 2, 1, 3);  // row-major 2 x 3
    EXPECT_EQ(view[1][1], 1.0f);
    EXPECT_EQ(view[2][1], 4.0f);
    EXPECT_EQ(view[2][3], 6.0f);
    coastfit::release_convert_matrix(view, 1, 2, 1, 3);
}

TEST(Allocators, ImpossibleSizesReportAndUnwind) {
    const long big = std::numeric_limits<long>::max();
    struct Case {
        const char* message;
        void (*allocate)();
    };
    const Case cases[] = {
        {"allocation failure in dvector()", [] { coastfit::dvector(1, big - 1); }},
        {"allocation failure in cvector()", [] { coastfit::cvector(-big, big); }},
        {"allocation failure 2 in matrix()", [] { coastfit::dblmatrix(1, 2, 1, big / 2); }},
        {"allocation failure 3 in f3tensor()", [] { coastfit::f3tensor(1, 2, 1, 2, 1, big / 4); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        testing::internal::CaptureStderr();
        EXPECT_THROW(c.allocate(), coastfit::AllocationFailure);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  std::string("Coastfit run-time error...\n") + c.message + "\n...now exiting to system...\n");
    }
}

}  // namespace
