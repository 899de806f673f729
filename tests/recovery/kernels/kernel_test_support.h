#pragma once
// Helpers of the element-library tests: a message sink that keeps what it is given, a
// Jacobi eigenvalue iteration for symmetric matrices, and Cramer inverses of small
// matrices, all independent of the routines under test.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "recovery/kernels/element_library.h"

namespace kvpvs::recovery::test {

class CapturedOutput final : public MessageSink {
public:
    CapturedOutput() : previous_(set_message_output(this)) {}
    ~CapturedOutput() override { set_message_output(previous_); }
    void write(std::string_view text) override
    {
        text_.append(text);
        ++writes_;
    }
    const std::string& text() const { return text_; }
    int writes() const { return writes_; }

private:
    MessageSink* previous_;
    std::string text_;
    int writes_ = 0;
};

// Eigenvalues of the symmetric n x n matrix a (row-major), cyclic Jacobi rotations.
inline std::vector<double> symmetric_eigenvalues(std::vector<double> a, int n)
{
    auto at = [&a, n](int i, int j) -> double& { return a[static_cast<size_t>(i * n + j)]; };
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0.0;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) off += at(i, j) * at(i, j);
        if (off < 1e-30) break;
        for (int p = 0; p < n; ++p) {
            for (int q = p + 1; q < n; ++q) {
                if (std::fabs(at(p, q)) < 1e-300) continue;
                const double theta = (at(q, q) - at(p, p)) / (2.0 * at(p, q));
                const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0), s = t * c;
                for (int k = 0; k < n; ++k) {
                    const double akp = at(k, p), akq = at(k, q);
                    at(k, p) = c * akp - s * akq;
                    at(k, q) = s * akp + c * akq;
                }
                for (int k = 0; k < n; ++k) {
                    const double apk = at(p, k), aqk = at(q, k);
                    at(p, k) = c * apk - s * aqk;
                    at(q, k) = s * apk + c * aqk;
                }
            }
        }
    }
    std::vector<double> ev(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) ev[static_cast<size_t>(i)] = at(i, i);
    std::sort(ev.begin(), ev.end());
    return ev;
}

// Inverse of a 3x3 matrix by cofactors (c-array, row-major).
inline void inverse3(const double m[3][3], double r[3][3])
{
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const int i1 = (j + 1) % 3, i2 = (j + 2) % 3, j1 = (i + 1) % 3, j2 = (i + 2) % 3;
            r[i][j] = (m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1]) / det;
        }
    }
}

// Orthotropic 3x3 normal compliance with E1, E2, E3, nu12, nu13, nu23 (symmetric form).
inline void orthotropic_compliance3(double E1, double E2, double E3, double nu12, double nu13,
                                    double nu23, double s[3][3])
{
    s[0][0] = 1.0 / E1;
    s[1][1] = 1.0 / E2;
    s[2][2] = 1.0 / E3;
    s[0][1] = s[1][0] = -nu12 / E1;
    s[0][2] = s[2][0] = -nu13 / E1;
    s[1][2] = s[2][1] = -nu23 / E2;
}

}  // namespace kvpvs::recovery::test
