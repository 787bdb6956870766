#pragma once
// Storage of libCoastfit: vectors, matrices and tensors over arbitrary inclusive index ranges
// (offset pointers with one spare leading element), their release, and the error reporter.
// Nothing here is exported from the shared library.
#include <cstddef>
#include <cstdint>

namespace coastfit {

// Thrown by report_error. The library runs inside a desktop program that holds the user's open
// work, so a failed allocation ends the current call, never the process; ccoeff catches it.
struct AllocationFailure {};

// Writes the three error lines to standard error, then unwinds with AllocationFailure.
[[noreturn]] void report_error(const char* text);

// Raw storage for every block the allocators hand out. Kept in their own translation unit so a
// test can put a tracking or failing allocator in their place at link time.
void* obtain_block(std::size_t bytes) noexcept;
void release_block(void* block) noexcept;

// Vectors over nl..nh: one block of nh - nl + 2 elements, v[nl] is its element 1.
float* vector(long nl, long nh);
int32_t* ivector(long nl, long nh);
unsigned char* cvector(long nl, long nh);
uint32_t* lvector(long nl, long nh);
double* dvector(long nl, long nh);
void release_vector(float* v, long nl, long nh);
void release_ivector(int32_t* v, long nl, long nh);
void release_cvector(unsigned char* v, long nl, long nh);
void release_lvector(uint32_t* v, long nl, long nh);
void release_dvector(double* v, long nl, long nh);

// Matrices over rows nrl..nrh and columns ncl..nch: a row-pointer array and one contiguous
// row-major data block of nrow * ncol + 1 elements; m[nrl][ncl] is data element 1.
float** matrix(long nrl, long nrh, long ncl, long nch);
double** dblmatrix(long nrl, long nrh, long ncl, long nch);
int32_t** intmatrix(long nrl, long nrh, long ncl, long nch);
void release_matrix(float** m, long nrl, long nrh, long ncl, long nch);
void release_dblmatrix(double** m, long nrl, long nrh, long ncl, long nch);
void release_intmatrix(int32_t** m, long nrl, long nrh, long ncl, long nch);

// Views: only the row-pointer array is allocated; the elements belong to someone else.
// submatrix: new row newrl + (i - oldrl), column newcl addresses source element (i, oldcl).
float** submatrix(float** a, long oldrl, long oldrh, long oldcl, long oldch, long newrl, long newcl);
void release_submatrix(float** b, long nrl, long nrh, long ncl, long nch);
// convert_matrix: reads the caller's contiguous array as row-major nrow x ncol.
float** convert_matrix(float* a, long nrl, long nrh, long ncl, long nch);
void release_convert_matrix(float** b, long nrl, long nrh, long ncl, long nch);

// Three-index tensor: row pointers, column pointers and data; cell (i, j) holds its ndep
// elements contiguously, cells one after another with the column index fastest.
float*** f3tensor(long nrl, long nrh, long ncl, long nch, long ndl, long ndh);
void release_f3tensor(float*** t, long nrl, long nrh, long ncl, long nch, long ndl, long ndh);

}  // namespace coastfit
