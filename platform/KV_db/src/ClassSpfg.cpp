#include "ClassSpfg.h"
#include "UnitCtrl.h"

#include <climits>
#include <cmath>

namespace {
void GridPoint(const T_SPFG_D& g, int i, int j, double p[3])
{
    const double s = static_cast<double>(i) / g.nDivX;
    const double t = static_cast<double>(j) / g.nDivY;
    for (int k = 0; k < 3; ++k)
        p[k] = g.dLL[k] + s * (g.dLR[k] - g.dLL[k]) + t * (g.dUL[k] - g.dLL[k]);
}

double Distance(const double a[3], const double b[3])
{
    const double dx = b[0] - a[0], dy = b[1] - a[1], dz = b[2] - a[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

BOOL IndexNames(const CDBTable<T_SPFG_D>& t, unsigned int nKey, bool bX, CArray<CString, CString&>& aName)
{
    aName.RemoveAll();
    T_SPFG_D g;
    if (!t.Get(nKey, g))
        return FALSE;
    // Counted in 64 bits: a stored count may be INT_MAX.
    const long long n = static_cast<long long>(bX ? g.nDivX : g.nDivY) + 1;
    if (n < 1 || n > INT_MAX)
        return FALSE;
    for (long long i = 1; i <= n; ++i) {
        CString s;
        s.Format(bX ? "X%lld" : "Y%lld", i);
        aName.Add(s);
    }
    return TRUE;
}
} // namespace

BOOL CClassSpfg::GetGeomData(unsigned int nKey, CArray<T_NODE_D, T_NODE_D&>& aNode,
                             CArray<T_ELEM_D, T_ELEM_D&>& aElem) const
{
    aNode.RemoveAll();
    aElem.RemoveAll();
    T_SPFG_D g;
    if (!Get(nKey, g) || g.nDivX < 1 || g.nDivY < 1)
        return FALSE;
    // Counts multiplied in 64 bits: a list longer than an array can hold is refused.
    const long long nx = static_cast<long long>(g.nDivX) + 1, ny = static_cast<long long>(g.nDivY) + 1;
    if (nx * ny > INT_MAX)
        return FALSE;
    const CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrlOfDB(m_pDB);
    aNode.SetSize(static_cast<int>(nx * ny));
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            double p[3];
            GridPoint(g, i, j, p);
            for (int k = 0; k < 3; ++k)
                aNode[static_cast<int>(j * nx + i)].dXyz[k] = pUnit ? pUnit->ConvertUnitLengthIn(p[k]) : p[k];
        }
    for (int j = 0; j < g.nDivY; ++j)
        for (int i = 0; i < g.nDivX; ++i) {
            T_ELEM_D e;
            e.nCellType = 9;
            const unsigned int n0 = static_cast<unsigned int>(j * nx + i);
            e.aNodeK.Add(n0);
            e.aNodeK.Add(n0 + 1);
            e.aNodeK.Add(n0 + 1 + static_cast<unsigned int>(nx));
            e.aNodeK.Add(n0 + static_cast<unsigned int>(nx));
            aElem.Add(e);
        }
    return TRUE;
}

BOOL CClassSpfg::GetCoorByGridIdx(unsigned int nKey, int nXIdx, int nYIdx, double dPoint[3],
                                  double dPlanePoint[2]) const
{
    T_SPFG_D g;
    if (!Get(nKey, g) || g.nDivX < 1 || g.nDivY < 1 || nXIdx < 0 || nXIdx > g.nDivX || nYIdx < 0 || nYIdx > g.nDivY)
        return FALSE;
    GridPoint(g, nXIdx, nYIdx, dPoint);
    dPlanePoint[0] = Distance(g.dLL, g.dLR) * nXIdx / g.nDivX;
    dPlanePoint[1] = Distance(g.dLL, g.dUL) * nYIdx / g.nDivY;
    return TRUE;
}

BOOL CClassSpfg::GetPlaneNormal(unsigned int nKey, double dNormal[3]) const
{
    T_SPFG_D g;
    if (!Get(nKey, g))
        return FALSE;
    double a[3], b[3];
    for (int k = 0; k < 3; ++k) {
        a[k] = g.dLR[k] - g.dLL[k];
        b[k] = g.dUL[k] - g.dLL[k];
    }
    const double n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    const double l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(l > 0.0))
        return FALSE;
    for (int k = 0; k < 3; ++k)
        dNormal[k] = n[k] / l;
    return TRUE;
}

BOOL CClassSpfg::GetXIndexName(unsigned int nKey, CArray<CString, CString&>& aName) const
{
    return IndexNames(*this, nKey, true, aName);
}

BOOL CClassSpfg::GetYIndexName(unsigned int nKey, CArray<CString, CString&>& aName) const
{
    return IndexNames(*this, nKey, false, aName);
}
