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

BOOL CClassElem::calcFrameLocalVector(unsigned int nElemK, double dAxis[3][3], int) const
{
    T_ELEM_D e;
    if (!Get(nElemK, e) || e.GetNumberOfNodes() < 2)
        return FALSE;
    CClassNode clsNode(m_pDB);
    T_NODE_D a, b;
    if (!clsNode.Get(e.aNodeK[0], a) || !clsNode.Get(e.aNodeK[1], b))
        return FALSE;
    double x[3] = {b.dXyz[0] - a.dXyz[0], b.dXyz[1] - a.dXyz[1], b.dXyz[2] - a.dXyz[2]};
    const double l = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    if (l < 1e-30)
        return FALSE;
    for (double& c : x)
        c /= l;
    const bool bVertical = std::sqrt(x[0] * x[0] + x[1] * x[1]) <= 1e-9;
    const double ref[3] = {bVertical ? 1.0 : 0.0, 0.0, bVertical ? 0.0 : 1.0};
    double y[3] = {ref[1] * x[2] - ref[2] * x[1], ref[2] * x[0] - ref[0] * x[2], ref[0] * x[1] - ref[1] * x[0]};
    const double ly = std::sqrt(y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
    for (double& c : y)
        c /= ly;
    double z[3] = {x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2], x[0] * y[1] - x[1] * y[0]};
    const double t = e.dAngle * 3.14159265358979323846 / 180.0, c = std::cos(t), s = std::sin(t);
    for (int k = 0; k < 3; ++k) {
        dAxis[0][k] = x[k];
        dAxis[1][k] = y[k] * c + z[k] * s;
        dAxis[2][k] = z[k] * c - y[k] * s;
    }
    return TRUE;
}
