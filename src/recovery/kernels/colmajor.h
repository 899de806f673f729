#pragma once
// Column-major, 1-based array access for the element library.
// ColMajorView is a non-owning window on doubles with a leading dimension: A(i, j) is
// data[(i-1) + (j-1)*ld], A(k) the k-th stored value (vector use). A sub-block keeps the
// parent's leading dimension, so a routine handed K.block(4, 4, 3, 3) writes into K.
// FixedMatrix<R, C> owns R x C doubles on the stack (zeroed) and converts to a view.
// Bounds are checked by assert only: the kernels' callers fix every shape.

#include <array>
#include <cassert>
#include <cstddef>

namespace kvpvs::recovery {

template <class T>
class ColMajorView {
public:
    ColMajorView() = default;
    ColMajorView(T* data, int ld, int rows, int cols) : data_(data), ld_(ld), rows_(rows), cols_(cols)
    {
        assert(ld >= rows && rows >= 0 && cols >= 0);
    }
    // A vector of n values.
    ColMajorView(T* data, int n) : ColMajorView(data, n, n, 1) {}
    // A read-only view of a writable one.
    template <class U>
    ColMajorView(const ColMajorView<U>& other)  // NOLINT(google-explicit-constructor)
        : data_(other.data()), ld_(other.ld()), rows_(other.rows()), cols_(other.cols())
    {
    }

    T& operator()(int i, int j) const
    {
        assert(i >= 1 && i <= rows_ && j >= 1 && j <= cols_);
        return data_[(i - 1) + static_cast<long>(j - 1) * ld_];
    }
    // k-th stored value, column after column with the leading dimension's stride.
    T& operator()(int k) const
    {
        assert(k >= 1 && (k - 1) % ld_ < rows_ && (k - 1) / ld_ < cols_);
        return data_[k - 1];
    }

    // Rows i..i+nr-1, columns j..j+nc-1, with this view's leading dimension.
    ColMajorView block(int i, int j, int nr, int nc) const
    {
        assert(i >= 1 && j >= 1 && i - 1 + nr <= rows_ && j - 1 + nc <= cols_);
        return ColMajorView(data_ + (i - 1) + static_cast<long>(j - 1) * ld_, ld_, nr, nc);
    }

    T* data() const { return data_; }
    int ld() const { return ld_; }
    int rows() const { return rows_; }
    int cols() const { return cols_; }

private:
    T* data_ = nullptr;
    int ld_ = 1;
    int rows_ = 0;
    int cols_ = 0;
};

using MatView = ColMajorView<double>;
using ConstMatView = ColMajorView<const double>;

template <int R, int C>
struct FixedMatrix {
    std::array<double, static_cast<std::size_t>(R * C)> a{};

    double& operator()(int i, int j)
    {
        assert(i >= 1 && i <= R && j >= 1 && j <= C);
        return a[static_cast<std::size_t>((i - 1) + (j - 1) * R)];
    }
    double operator()(int i, int j) const
    {
        assert(i >= 1 && i <= R && j >= 1 && j <= C);
        return a[static_cast<std::size_t>((i - 1) + (j - 1) * R)];
    }
    double& operator()(int k)
    {
        assert(k >= 1 && k <= R * C);
        return a[static_cast<std::size_t>(k - 1)];
    }
    double operator()(int k) const
    {
        assert(k >= 1 && k <= R * C);
        return a[static_cast<std::size_t>(k - 1)];
    }

    void fill(double v) { a.fill(v); }
    MatView view() { return MatView(a.data(), R, R, C); }
    ConstMatView view() const { return ConstMatView(a.data(), R, R, C); }
    operator MatView() { return view(); }             // NOLINT(google-explicit-constructor)
    operator ConstMatView() const { return view(); }  // NOLINT(google-explicit-constructor)
};

template <int N>
using FixedVector = FixedMatrix<N, 1>;
using Mat33 = FixedMatrix<3, 3>;

}  // namespace kvpvs::recovery
