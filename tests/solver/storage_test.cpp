// The library's raw storage is replaced here at link time, so the tests see every block the
// allocators obtain and release, and can make any one of them fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "solver/coastfit.h"
#include "solver/storage.h"

namespace {

struct Event {
    bool obtained;
    void* block;
    std::size_t bytes;
};

struct Tracker {
    std::vector<Event> events;
    int failAt = 0;  // 1-based number of the obtain that fails; 0 = none
    int obtains = 0;
    int live = 0;
    void reset(int fail = 0) {
        *this = Tracker{};
        failAt = fail;
    }
};
Tracker tracker;

}  // namespace

namespace coastfit {
void* obtain_block(std::size_t bytes) noexcept {
    ++tracker.obtains;
    if (tracker.obtains == tracker.failAt) return nullptr;
    void* p = std::malloc(bytes);
    tracker.events.push_back({true, p, bytes});
    ++tracker.live;
    return p;
}
void release_block(void* block) noexcept {
    tracker.events.push_back({false, block, 0});
    --tracker.live;
    std::free(block);
}
}  // namespace coastfit

namespace {

TEST(Storage, MatrixIsAPointerArrayAndOneRowMajorBlock) {
    tracker.reset();
    double** m = coastfit::dblmatrix(1, 3, 1, 2);
    ASSERT_EQ(tracker.events.size(), 2u);
    const Event rows = tracker.events[0], data = tracker.events[1];
    EXPECT_EQ(rows.bytes, 4 * sizeof(double*));
    EXPECT_EQ(data.bytes, 7 * sizeof(double));
    EXPECT_EQ(&m[1], static_cast<double**>(rows.block) + 1);
    EXPECT_EQ(&m[1][1], static_cast<double*>(data.block) + 1);  // the block's second double
    EXPECT_EQ(m[2], m[1] + 2);
    EXPECT_EQ(m[3], m[2] + 2);

    coastfit::release_dblmatrix(m, 1, 3, 1, 2);
    ASSERT_EQ(tracker.events.size(), 4u);
    EXPECT_FALSE(tracker.events[2].obtained);
    EXPECT_EQ(tracker.events[2].block, data.block);  // data first, then the pointer array
    EXPECT_EQ(tracker.events[3].block, rows.block);
    EXPECT_EQ(tracker.live, 0);
}

template <typename T>
void expectVectorLayout(T* (*make)(long, long), void (*release)(T*, long, long)) {
    tracker.reset();
    T* v = make(-2, 3);
    ASSERT_EQ(tracker.events.size(), 1u);
    EXPECT_EQ(tracker.events[0].bytes, 7 * sizeof(T));  // six indices and the spare element
    EXPECT_EQ(&v[-2], static_cast<T*>(tracker.events[0].block) + 1);
    release(v, -2, 3);
    EXPECT_EQ(tracker.events.back().block, tracker.events[0].block);
    EXPECT_EQ(tracker.live, 0);
}

TEST(Storage, VectorsKeepOneSpareLeadingElement) {
    expectVectorLayout(coastfit::vector, coastfit::release_vector);
    expectVectorLayout(coastfit::ivector, coastfit::release_ivector);
    expectVectorLayout(coastfit::cvector, coastfit::release_cvector);
    expectVectorLayout(coastfit::lvector, coastfit::release_lvector);
    expectVectorLayout(coastfit::dvector, coastfit::release_dvector);
}

TEST(Storage, TensorAndViewsReleaseWhatTheyObtained) {
    tracker.reset();
    float*** t = coastfit::f3tensor(1, 2, 1, 3, 1, 4);
    ASSERT_EQ(tracker.events.size(), 3u);
    EXPECT_EQ(tracker.events[0].bytes, 3 * sizeof(float**));
    EXPECT_EQ(tracker.events[1].bytes, 7 * sizeof(float*));
    EXPECT_EQ(tracker.events[2].bytes, 25 * sizeof(float));
    EXPECT_EQ(&t[1][1][1], static_cast<float*>(tracker.events[2].block) + 1);
    EXPECT_EQ(&t[2][3][4], static_cast<float*>(tracker.events[2].block) + 24);
    coastfit::release_f3tensor(t, 1, 2, 1, 3, 1, 4);
    ASSERT_EQ(tracker.events.size(), 6u);
    EXPECT_EQ(tracker.events[3].block, tracker.events[2].block);
    EXPECT_EQ(tracker.events[4].block, tracker.events[1].block);
    EXPECT_EQ(tracker.events[5].block, tracker.events[0].block);

    float flat[4] = {1, 2, 3, 4};
    tracker.reset();
    float** view = coastfit::convert_matrix(flat, 1, 2, 1, 2);
    float** sub = coastfit::submatrix(view, 1, 2, 1, 2, 1, 1);
    EXPECT_EQ(tracker.events.size(), 2u);  // pointer arrays only
    coastfit::release_submatrix(sub, 1, 2, 1, 2);
    coastfit::release_convert_matrix(view, 1, 2, 1, 2);
    EXPECT_EQ(tracker.live, 0);
    EXPECT_EQ(flat[3], 4.0f);
}

TEST(Storage, FailedBlockIsReportedAndNothingLeaks) {
    struct Case {
        int failAt;
        const char* message;
        void (*allocate)();
    };
    const Case cases[] = {
        {1, "allocation failure 1 in matrix()", [] { coastfit::dblmatrix(1, 2, 1, 2); }},
        {2, "allocation failure 2 in matrix()", [] { coastfit::intmatrix(1, 2, 1, 2); }},
        {1, "allocation failure in lvector()", [] { coastfit::lvector(1, 4); }},
        {1, "allocation failure in submatrix()", [] { coastfit::submatrix(nullptr, 1, 0, 1, 0, 1, 1); }},
        {2, "allocation failure 2 in f3tensor()", [] { coastfit::f3tensor(1, 2, 1, 2, 1, 2); }},
        {3, "allocation failure 3 in f3tensor()", [] { coastfit::f3tensor(1, 2, 1, 2, 1, 2); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        tracker.reset(c.failAt);
        testing::internal::CaptureStderr();
        EXPECT_THROW(c.allocate(), coastfit::AllocationFailure);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  std::string("Coastfit run-time error...\n") + c.message + "\n...now exiting to system...\n");
        EXPECT_EQ(tracker.live, 0);
    }
}

TEST(Storage, CcoeffSurvivesAFailureAtEveryAllocationWithZeroOutputs) {
    const int N = 40, m = 2;
    std::vector<double> v(m * (N + 1)), p(m * 6), results(4 * m + 1), residuals(m + 1), fitted(m * (N + 1));
    for (int i = 0; i < m; ++i) {
        for (int j = 1; j <= N; ++j) v[i * (N + 1) + j] = 30.0 - 0.2 * j - 0.001 * (i + 1) * j * j;
        double* q = &p[i * 6];
        q[1] = 1400, q[2] = 1500, q[3] = 1, q[4] = 20, q[5] = 2.2;
    }
    auto call = [&] {
        ccoeff(v.data(), N, m, p.data(), 0.1, 10, 0, results.data(), residuals.data(), fitted.data());
    };
    tracker.reset();
    call();
    const int blocks = tracker.obtains;
    ASSERT_GT(blocks, 0);
    ASSERT_NE(results[1], 0.0);
    EXPECT_EQ(tracker.live, 0);

    for (int fail = 1; fail <= blocks; ++fail) {
        SCOPED_TRACE(fail);
        tracker.reset(fail);
        std::fill(results.begin() + 1, results.end(), 9.0);
        std::fill(residuals.begin() + 1, residuals.end(), 9.0);
        for (int i = 0; i < m; ++i) std::fill(fitted.begin() + i * (N + 1) + 1, fitted.begin() + (i + 1) * (N + 1), 9.0);
        testing::internal::CaptureStderr();
        call();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.rfind("Coastfit run-time error...\nallocation failure", 0), 0u) << err;
        EXPECT_EQ(tracker.live, 0);
        for (size_t r = 1; r < results.size(); ++r) EXPECT_EQ(results[r], 0.0);
        for (size_t r = 1; r < residuals.size(); ++r) EXPECT_EQ(residuals[r], 0.0);
        for (int i = 0; i < m; ++i)
            for (int j = 1; j <= N; ++j) EXPECT_EQ(fitted[i * (N + 1) + j], 0.0);
    }
}

}  // namespace
