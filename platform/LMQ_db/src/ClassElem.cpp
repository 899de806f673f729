#include "DBDoc.h"

#include <cmath>

int CClassElem::GetElemType(unsigned int nElemK) const
{
    T_ELEM_D e;
    return Get(nElemK, e) ? e.nType : 0;
}

BOOL CClassElem::calcElemLocalVector(unsigned int nElemK, double dAxis[3][3], int) const
{
    T_ELEM_D e;
    if (!Get(nElemK, e) || e.GetNumberOfNodes() < 3)
        return FALSE;
    CClassNode clsNode(m_pDB);
    double p[4][3] = {};
    const int nCorner = e.nCellType == 5 || e.nCellType == 22 || e.GetNumberOfNodes() == 3 ? 3 : 4;
    if (e.GetNumberOfNodes() < nCorner)
        return FALSE;
    for (int i = 0; i < nCorner; ++i) {
        T_NODE_D n;
        if (!clsNode.Get(e.aNodeK[i], n))
            return FALSE;
        for (int k = 0; k < 3; ++k)
            p[i][k] = n.dXyz[k];
    }
    auto cross = [](const double a[3], const double b[3], double c[3]) {
        c[0] = a[1] * b[2] - a[2] * b[1];
        c[1] = a[2] * b[0] - a[0] * b[2];
        c[2] = a[0] * b[1] - a[1] * b[0];
    };
    auto unit = [](double v[3]) {
        const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (l < 1e-30)
            return false;
        for (int k = 0; k < 3; ++k)
            v[k] /= l;
        return true;
    };
    double x[3], z[3], y[3], d1[3], d2[3];
    for (int k = 0; k < 3; ++k) {
        x[k] = p[1][k] - p[0][k];
        if (nCorner == 4) {
            d1[k] = p[2][k] - p[0][k];
            d2[k] = p[3][k] - p[1][k];
        } else {
            d1[k] = p[1][k] - p[0][k];
            d2[k] = p[2][k] - p[0][k];
        }
    }
    cross(d1, d2, z);
    if (!unit(x) || !unit(z))
        return FALSE;
    cross(z, x, y);
    if (!unit(y))
        return FALSE;
    // Re-orthogonalise x for a warped quadrilateral: x = y x z.
    cross(y, z, x);
    for (int k = 0; k < 3; ++k) {
        dAxis[0][k] = x[k];
        dAxis[1][k] = y[k];
        dAxis[2][k] = z[k];
    }
    return TRUE;
}

void CClassNode::GetConnectedElemKeyList(unsigned int nNodeK, CArray<unsigned int, unsigned int>& aElemK) const
{
    aElemK.RemoveAll();
    if (!m_pDB)
        return;
    for (const auto& [k, e] : m_pDB->Table<T_ELEM_D>())
        for (int i = 0; i < e.aNodeK.GetSize(); ++i)
            if (e.aNodeK[i] == nNodeK) {
                aElemK.Add(k);
                break;
            }
}
