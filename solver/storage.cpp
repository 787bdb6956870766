// Allocators of the 1-based (any-based) array family and the error reporter.
#include "solver/storage.h"

#include <cstdint>
#include <cstdio>
#include <limits>

namespace coastfit {

[[noreturn]] void report_error(const char* text) {
    std::fputs("Coastfit run-time error...\n", stderr);
    std::fputs(text, stderr);
    std::fputs("\n...now exiting to system...\n", stderr);
    std::fflush(stderr);
    throw AllocationFailure{};
}

namespace {

// Number of indices in lo..hi; false when the range is reversed by more than one (a negative
// count) or does not fit.
bool index_count(long lo, long hi, std::size_t& count) {
    long diff = 0;
    if (__builtin_sub_overflow(hi, lo, &diff) || diff < -1) return false;
    count = static_cast<std::size_t>(diff) + 1;  // diff == -1 gives an empty range
    return true;
}

// The first row (or cell) pointer is always stored, so the release functions find the blocks
// even for an empty range.
std::size_t at_least_one(std::size_t n) { return n == 0 ? 1 : n; }

bool multiply(std::size_t a, std::size_t b, std::size_t& out) { return !__builtin_mul_overflow(a, b, &out); }

// One block of `elements` + 1 elements of T (the spare leading element); reports `message`
// when the size cannot be represented or the storage cannot be obtained.
template <typename T>
T* block_of(std::size_t elements, bool size_ok, const char* message) {
    std::size_t bytes = 0;
    if (!size_ok || elements == std::numeric_limits<std::size_t>::max() || !multiply(elements + 1, sizeof(T), bytes) ||
        bytes > static_cast<std::size_t>(std::numeric_limits<std::ptrdiff_t>::max()))
        report_error(message);
    void* p = obtain_block(bytes);
    if (p == nullptr) report_error(message);
    return static_cast<T*>(p);
}

template <typename T>
T* make_vector(long nl, long nh, const char* message) {
    std::size_t n = 0;
    bool ok = index_count(nl, nh, n);
    T* v = block_of<T>(n, ok, message);
    return v + 1 - nl;
}

template <typename T>
void free_vector(T* v, long nl) {
    release_block(v + nl - 1);
}

template <typename T>
T** make_matrix(long nrl, long nrh, long ncl, long nch) {
    std::size_t nrow = 0, ncol = 0, cells = 0;
    bool rows_ok = index_count(nrl, nrh, nrow);
    T** m = block_of<T*>(at_least_one(nrow), rows_ok, "allocation failure 1 in matrix()") + 1 - nrl;
    bool data_ok = index_count(ncl, nch, ncol) && multiply(nrow, ncol, cells);
    T* data = nullptr;
    try {
        data = block_of<T>(cells, data_ok, "allocation failure 2 in matrix()");
    } catch (...) {
        release_block(m + nrl - 1);
        throw;
    }
    m[nrl] = data + 1 - ncl;
    for (long i = nrl + 1; i <= nrh; ++i) m[i] = m[i - 1] + ncol;
    return m;
}

template <typename T>
void free_matrix(T** m, long nrl, long ncl) {
    release_block(m[nrl] + ncl - 1);
    release_block(m + nrl - 1);
}

}  // namespace

float* vector(long nl, long nh) { return make_vector<float>(nl, nh, "allocation failure in vector()"); }
int32_t* ivector(long nl, long nh) { return make_vector<int32_t>(nl, nh, "allocation failure in ivector()"); }
unsigned char* cvector(long nl, long nh) {
    return make_vector<unsigned char>(nl, nh, "allocation failure in cvector()");
}
uint32_t* lvector(long nl, long nh) { return make_vector<uint32_t>(nl, nh, "allocation failure in lvector()"); }
double* dvector(long nl, long nh) { return make_vector<double>(nl, nh, "allocation failure in dvector()"); }

void release_vector(float* v, long nl, long) { free_vector(v, nl); }
void release_ivector(int32_t* v, long nl, long) { free_vector(v, nl); }
void release_cvector(unsigned char* v, long nl, long) { free_vector(v, nl); }
void release_lvector(uint32_t* v, long nl, long) { free_vector(v, nl); }
void release_dvector(double* v, long nl, long) { free_vector(v, nl); }

float** matrix(long nrl, long nrh, long ncl, long nch) { return make_matrix<float>(nrl, nrh, ncl, nch); }
double** dblmatrix(long nrl, long nrh, long ncl, long nch) { return make_matrix<double>(nrl, nrh, ncl, nch); }
int32_t** intmatrix(long nrl, long nrh, long ncl, long nch) { return make_matrix<int32_t>(nrl, nrh, ncl, nch); }

void release_matrix(float** m, long nrl, long, long ncl, long) { free_matrix(m, nrl, ncl); }
void release_dblmatrix(double** m, long nrl, long, long ncl, long) { free_matrix(m, nrl, ncl); }
void release_intmatrix(int32_t** m, long nrl, long, long ncl, long) { free_matrix(m, nrl, ncl); }

float** submatrix(float** a, long oldrl, long oldrh, long oldcl, long, long newrl, long newcl) {
    std::size_t nrow = 0;
    bool ok = index_count(oldrl, oldrh, nrow);
    float** m = block_of<float*>(nrow, ok, "allocation failure in submatrix()") + 1 - newrl;
    const long shift = oldcl - newcl;
    for (long i = oldrl, j = newrl; i <= oldrh; ++i, ++j) m[j] = a[i] + shift;
    return m;
}

void release_submatrix(float** b, long nrl, long, long, long) { release_block(b + nrl - 1); }

float** convert_matrix(float* a, long nrl, long nrh, long ncl, long nch) {
    std::size_t nrow = 0, ncol = 0;
    bool ok = index_count(nrl, nrh, nrow) && index_count(ncl, nch, ncol);
    float** m = block_of<float*>(at_least_one(nrow), ok, "allocation failure in convert_matrix()") + 1 - nrl;
    m[nrl] = a - ncl;
    for (long i = 1, j = nrl + 1; i < static_cast<long>(nrow); ++i, ++j) m[j] = m[j - 1] + ncol;
    return m;
}

void release_convert_matrix(float** b, long nrl, long, long, long) { release_block(b + nrl - 1); }

float*** f3tensor(long nrl, long nrh, long ncl, long nch, long ndl, long ndh) {
    std::size_t nrow = 0, ncol = 0, ndep = 0, cells = 0, elements = 0;
    bool rows_ok = index_count(nrl, nrh, nrow);
    float*** t = block_of<float**>(at_least_one(nrow), rows_ok, "allocation failure 1 in f3tensor()") + 1 - nrl;
    float** cols = nullptr;
    float* data = nullptr;
    try {
        // Sized for the first row's pointers even when the row range is empty.
        std::size_t slots = 0;
        bool cols_ok = index_count(ncl, nch, ncol) && multiply(nrow, ncol, cells) &&
                       multiply(at_least_one(nrow), at_least_one(ncol), slots);
        cols = block_of<float*>(slots, cols_ok, "allocation failure 2 in f3tensor()");
        bool data_ok = index_count(ndl, ndh, ndep) && multiply(cells, ndep, elements);
        data = block_of<float>(elements, data_ok, "allocation failure 3 in f3tensor()");
    } catch (...) {
        if (cols != nullptr) release_block(cols);
        release_block(t + nrl - 1);
        throw;
    }
    t[nrl] = cols + 1 - ncl;
    t[nrl][ncl] = data + 1 - ndl;
    for (long j = ncl + 1; j <= nch; ++j) t[nrl][j] = t[nrl][j - 1] + ndep;
    for (long i = nrl + 1; i <= nrh; ++i) {
        t[i] = t[i - 1] + ncol;
        t[i][ncl] = t[i - 1][ncl] + ncol * ndep;
        for (long j = ncl + 1; j <= nch; ++j) t[i][j] = t[i][j - 1] + ndep;
    }
    return t;
}

void release_f3tensor(float*** t, long nrl, long, long ncl, long, long ndl, long) {
    release_block(t[nrl][ncl] + ndl - 1);
    release_block(t[nrl] + ncl - 1);
    release_block(t + nrl - 1);
}

}  // namespace coastfit
