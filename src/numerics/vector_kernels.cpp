// Vector kernels of the numerical library: copy, fill, sums, dot products and the index of the
// extreme element, over 1-based strided vectors, summed in element order.
#include "numerics/numerics.h"

namespace kvpvs::numerics {
namespace {

// 0-based offset of element 1 for a stride that may be negative (reference BLAS convention).
long long origin(int n, int inc) { return inc < 0 ? static_cast<long long>(1 - n) * inc : 0; }

}  // namespace

void VCOPY(const int& N, const double* X, const int& INCX, double* Y, const int& INCY)
{
    long long ix = origin(N, INCX), iy = origin(N, INCY);
    for (int k = 1; k <= N; ++k, ix += INCX, iy += INCY)
        Y[iy] = X[ix];
}

void VFILL(const int& N, const double& VALUE, double* X, const int& INCX)
{
    if (INCX < 1)
        return;
    long long ix = 0;
    for (int k = 1; k <= N; ++k, ix += INCX)
        X[ix] = VALUE;
}

void IFILL(const int& N, const int& VALUE, int* IX, const int& INCX)
{
    if (INCX < 1)
        return;
    long long ix = 0;
    for (int k = 1; k <= N; ++k, ix += INCX)
        IX[ix] = VALUE;
}

double VSUM(const int& N, const double* X, const int& INCX)
{
    double sum = 0.0;
    if (INCX < 1)
        return sum;
    long long ix = 0;
    for (int k = 1; k <= N; ++k, ix += INCX)
        sum += X[ix];
    return sum;
}

double VDOT(const int& N, const double* X, const int& INCX, const double* Y, const int& INCY)
{
    double sum = 0.0;
    long long ix = origin(N, INCX), iy = origin(N, INCY);
    for (int k = 1; k <= N; ++k, ix += INCX, iy += INCY)
        sum += X[ix] * Y[iy];
    return sum;
}

double VDOT3(const int& N, const double* X, const int& INCX, const double* Y, const int& INCY,
             const double* Z, const int& INCZ)
{
    double sum = 0.0;
    long long ix = origin(N, INCX), iy = origin(N, INCY), iz = origin(N, INCZ);
    for (int k = 1; k <= N; ++k, ix += INCX, iy += INCY, iz += INCZ)
        sum += X[ix] * Y[iy] * Z[iz];
    return sum;
}

int IXMAX(const int& N, const double* X, const int& INCX)
{
    if (N < 1 || INCX < 1)
        return 0;
    int best = 1;
    double value = X[0];
    long long ix = INCX;
    for (int k = 2; k <= N; ++k, ix += INCX)
        if (X[ix] > value) {  // strictly greater: the first extreme stays
            best = k;
            value = X[ix];
        }
    return best;
}

int IXMIN(const int& N, const double* X, const int& INCX)
{
    if (N < 1 || INCX < 1)
        return 0;
    int best = 1;
    double value = X[0];
    long long ix = INCX;
    for (int k = 2; k <= N; ++k, ix += INCX)
        if (X[ix] < value) {
            best = k;
            value = X[ix];
        }
    return best;
}

}  // namespace kvpvs::numerics
