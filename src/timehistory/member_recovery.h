// Member-force recovery shared by the truss and beam functions and the history-plot value
// source: the host's recovery array (equation numbers, column coefficients per degree of
// freedom, n and m at its end), mode shapes per degree of freedom, per-mode coefficients, and
// the end forces of one step by modal superposition or from the integrated displacements.
#pragma once
#include "timehistory/history_loop.h"

#include "afxtempl.h"

#include <vector>

namespace kvpvs::timehistory {

// Truss: 12 degrees of freedom, 4 columns; beam: 12 and 26. Size n + n * m + 3.
constexpr int TRUSS_DOFS = 12, TRUSS_COLS = 4, TRUSS_ARRAY = 63;
constexpr int BEAM_DOFS = 12, BEAM_COLS = 26, BEAM_ARRAY = 327;
// Degrees of freedom of a member: its two nodes' six each.
constexpr int MEMBER_DOFS = 12;
static_assert(TRUSS_DOFS == MEMBER_DOFS && BEAM_DOFS == MEMBER_DOFS);

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
// False when a shape cannot be read or has not exactly nModes values. The mode count is the
// host's claim: phi is sized only after a stored shape has confirmed it, and stays empty when
// no degree of freedom is numbered (every shape is then zero and nothing needs the count).
template <class ReadShape>
bool ReadModeShapes(const RecoveryArray& r, int nModes, ReadShape readShape, std::vector<double>& phi)
{
    phi.clear();
    CArray<double, double> shape;
    for (int d = 0; d < r.n; ++d) {
        int e = r.Equation(d);
        if (e < 1)
            continue;
        if (!readShape(e, shape) || shape.GetSize() != nModes)
            return false;
        if (phi.empty())
            phi.assign(static_cast<size_t>(r.n) * static_cast<size_t>(nModes), 0.0);
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

// R[k * nCols + c] = sum over d of coefficient(c, d) * phi_d[k], for c < nCols; empty for
// empty shapes (no numbered degree of freedom, or no mode).
void ModalCoefficients(const RecoveryArray& r, int nModes, int nCols, const std::vector<double>& phi,
                       std::vector<double>& R);

// The truss record (force I, force J, stress I, stress J) from the column sums F of ends I and
// J: the force at I is the negated column-0 sum, at J the column-1 sum; each stress is the
// force times its end's stress factor, entries n + 2 and n + 3 of the array.
inline void MakeTrussRecord(const RecoveryArray& r, const double F[2], double rec[4])
{
    const double f2 = r.a[r.n + 2], f3 = r.a[r.n + 3];
    rec[0] = -F[0];
    rec[1] = F[1];
    rec[2] = -F[0] * f2;
    rec[3] = F[1] * f3;
}

// The first nForces end forces of one member, step by step, read through a host reader
// (the post control or the analysis result). Open takes the recovery array for direct
// integration; OpenModal also reads the mode shapes and makes the per-mode coefficients
// once, for the modes [m0, m1) of nModes.
template <class Reader>
class MemberForces {
public:
    MemberForces(const Reader& reader, int nForces) : m_reader(reader), m_nForces(nForces) {}

    bool Open(const CArray<double, double>& a, int nSize, int nDofs, int nCols)
    {
        m_bModal = false;
        return nDofs <= MEMBER_DOFS && m_nForces <= nCols && OpenRecoveryArray(a, nSize, nDofs, nCols, m_r);
    }
    bool OpenModal(const CArray<double, double>& a, int nSize, int nDofs, int nCols, int nModes, int m0, int m1)
    {
        if (!Open(a, nSize, nDofs, nCols))
            return false;
        m_bModal = true;
        m_m0 = m0;
        m_m1 = m1;
        std::vector<double> phi;
        if (!ReadModeShapes(
                m_r, nModes, [&](int e, CArray<double, double>& s) { return m_reader.GetEquationMode(e, s); }, phi))
            return false;
        ModalCoefficients(m_r, nModes, m_nForces, phi, m_R);
        return true;
    }

    const RecoveryArray& Array() const { return m_r; }

    // f[c], c < nForces, at step s (from 0). Modal: the sum over the modes of q_k R[k][c], in
    // mode order. Direct: one reading per numbered degree of freedom, then the sum over them
    // of coefficient(c, d) u_d; restrained (0) and unnumbered (< 0) ones add nothing.
    void At(int s, double* f) const
    {
        for (int c = 0; c < m_nForces; ++c)
            f[c] = 0.0;
        if (m_bModal) {
            // No coefficients: no numbered degree of freedom (or no mode), so every force is 0
            // and the claimed modes need not be visited.
            if (m_R.empty())
                return;
            const size_t nRow = static_cast<size_t>(m_nForces);
            ForEachMode(m_reader, s, m_m0, m_m1, [&](int k, const _MDSP_BN& q) {
                for (int c = 0; c < m_nForces; ++c)
                    f[c] += q.dDisp * m_R[static_cast<size_t>(k) * nRow + static_cast<size_t>(c)];
            });
            return;
        }
        double u[MEMBER_DOFS];
        for (int d = 0; d < m_r.n; ++d) {
            _MDSP_BN x;
            if (m_r.Equation(d) >= 1)
                m_reader.GetEquationDisp(s + 1, m_r.Equation(d), x);
            u[d] = x.dDisp;
        }
        for (int c = 0; c < m_nForces; ++c)
            for (int d = 0; d < m_r.n; ++d)
                if (m_r.Equation(d) >= 1)
                    f[c] += m_r.Coef(c, d) * u[d];
    }

private:
    const Reader& m_reader;
    int m_nForces = 0;
    bool m_bModal = false;
    int m_m0 = 0, m_m1 = 0;
    RecoveryArray m_r;
    std::vector<double> m_R;
};

} // namespace kvpvs::timehistory
