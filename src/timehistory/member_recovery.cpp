#include "timehistory/member_recovery.h"

namespace kvpvs::timehistory {

bool OpenRecoveryArray(const CArray<double, double>& a, int nSize, int nDofs, int nCols, RecoveryArray& r)
{
    if (a.GetSize() != nSize)
        return false;
    int n = static_cast<int>(a[nSize - 3]);
    int m = static_cast<int>(a[nSize - 2]);
    if (n != nDofs || m != nCols)
        return false;
    r.a = a.GetData();
    r.n = n;
    r.m = m;
    return true;
}

void ModalCoefficients(const RecoveryArray& r, int nModes, int nCols, const std::vector<double>& phi,
                       std::vector<double>& R)
{
    R.clear();
    if (phi.empty())
        return;
    R.assign(static_cast<size_t>(nModes > 0 ? nModes : 0) * static_cast<size_t>(nCols), 0.0);
    for (int k = 0; k < nModes; ++k)
        for (int c = 0; c < nCols; ++c) {
            double s = 0.0;
            for (int d = 0; d < r.n; ++d)
                s += r.Coef(c, d) * phi[static_cast<size_t>(d) * static_cast<size_t>(nModes) + static_cast<size_t>(k)];
            R[static_cast<size_t>(k) * static_cast<size_t>(nCols) + static_cast<size_t>(c)] = s;
        }
}

} // namespace kvpvs::timehistory
