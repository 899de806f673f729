// Member-force recovery shared by the truss and beam functions and the history-plot value
// source: the host's recovery array (equation numbers, column coefficients per degree of
// freedom, n and m at its end), mode shapes per degree of freedom and per-mode coefficients.
#pragma once
#include "afxtempl.h"

#include <vector>

namespace kvpvs::timehistory {

// Truss: 12 degrees of freedom, 4 columns; beam: 12 and 26. Size n + n * m + 3.
constexpr int TRUSS_DOFS = 12, TRUSS_COLS = 4, TRUSS_ARRAY = 63;
constexpr int BEAM_DOFS = 12, BEAM_COLS = 26, BEAM_ARRAY = 327;

struct RecoveryArray {
    const double* a = nullptr;
    int n = 0, m = 0;
    int Equation(int d) const { return static_cast<int>(a[d]); }
    double Coef(int c, int d) const { return a[n + c + d * m]; }
};

// The array when it has the size and stores the (n, m) of its element kind; false otherwise,
// so that no index runs past it.
bool OpenRecoveryArray(const CArray<double, double>& a, int nSize, int nDofs, int nCols, RecoveryArray& r);

// Mode shapes of the n degrees of freedom, one value per mode each (restrained: zeros).
// False when a shape cannot be read or has not exactly nModes values.
template <class ReadShape>
bool ReadModeShapes(const RecoveryArray& r, int nModes, ReadShape readShape, std::vector<double>& phi)
{
    phi.assign(static_cast<size_t>(r.n) * static_cast<size_t>(nModes > 0 ? nModes : 0), 0.0);
    CArray<double, double> shape;
    for (int d = 0; d < r.n; ++d) {
        int e = r.Equation(d);
        if (e < 1)
            continue;
        if (!readShape(e, shape) || shape.GetSize() != nModes)
            return false;
        for (int k = 0; k < nModes; ++k)
            phi[static_cast<size_t>(d) * static_cast<size_t>(nModes) + static_cast<size_t>(k)] = shape[k];
    }
    return true;
}

// The modes [m0, m1) that a member series sums: all of them when bAllModes or the mode number
// is 0, else the chosen one; a mode number outside 1..nModes chooses none (a series of zeros).
inline void ChosenModes(bool bAllModes, int nModeNumber, int nModes, int& m0, int& m1)
{
    m0 = 0;
    m1 = nModes;
    if (!bAllModes && nModeNumber != 0) {
        const bool in = nModeNumber >= 1 && nModeNumber <= nModes;
        m0 = in ? nModeNumber - 1 : 0;
        m1 = in ? nModeNumber : 0;
    }
}

// R[k * nCols + c] = sum over d of coefficient(c, d) * phi_d[k], for c < nCols.
void ModalCoefficients(const RecoveryArray& r, int nModes, int nCols, const std::vector<double>& phi,
                       std::vector<double>& R);

} // namespace kvpvs::timehistory
