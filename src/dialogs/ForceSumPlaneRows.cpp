#include "dialogs/ForceSumPlaneRows.h"

#include "dialogs/DialogControlIds.h"

#include "DBDoc.h"
#include "MathFunc.h"

#include <cmath>

namespace kvpvs::dialogs {

namespace {
bool Normalise(double v[3]) { return CMathFunc::mathNormalize(v) != 0.0; }
} // namespace

bool DeriveForceSumPlane(const T_LDFS_D& row, T_PVIST_PLNE_D& plane, double dAxis[3][3])
{
    for (const double* p : {row.dP1, row.dP2, row.dP3})
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
            return false;
    double normal[3], first[3], second[3];
    if (row.nElemType == 0) {
        double u[3], w[3];
        for (int k = 0; k < 3; ++k) {
            u[k] = row.dP2[k] - row.dP1[k];
            w[k] = row.dP3[k] - row.dP1[k];
        }
        Normalise(u);
        Normalise(w);
        CMathFunc::mathCross(u, w, normal);
        // Coincident or collinear points leave no normal: refused like a plate plane.
        if (!Normalise(normal))
            return false;
        CMathFunc::mathCross(normal, u, second);
        for (int k = 0; k < 3; ++k)
            first[k] = u[k];
    } else {
        double a[3], b[3], c[3], a2[3];
        for (int k = 0; k < 3; ++k) {
            a[k] = row.dP2[k] - row.dP1[k];
            b[k] = row.dP3[k] - row.dP2[k];
        }
        if (!Normalise(a) || !Normalise(b))
            return false;
        CMathFunc::mathCross(b, a, c);
        if (!Normalise(c))
            return false;
        CMathFunc::mathCross(a, c, a2);
        if (!Normalise(a2))
            return false;
        for (int k = 0; k < 3; ++k) {
            normal[k] = a2[k];
            first[k] = a[k];
            second[k] = c[k];
        }
    }
    for (int k = 0; k < 3; ++k) {
        plane.dOrigin[k] = row.dP1[k];
        plane.dNormal[k] = normal[k];
        dAxis[0][k] = normal[k];
        dAxis[1][k] = first[k];
        dAxis[2][k] = second[k];
    }
    return true;
}

const char* SelectForceSumRows(CDBBase* pPostDB, const CArray<unsigned int, unsigned int>& keys, int nElemType,
                               unsigned int aKeys[12])
{
    for (int i = 0; i < 12; ++i)
        aKeys[i] = 0;
    if (keys.GetSize() == 0)
        return IDS_KV_PVS_NO_RESULT_EXIST_CURRENT_STEP;
    CClassPVtif rows(pPostDB);
    if (nElemType == 0) {
        static const unsigned int codes[12] = {141, 142, 143, 144, 145, 146, 310, 311, 312, 313, 314, 315};
        bool bSecond = false;
        for (int i = 0; i < keys.GetSize(); ++i) {
            T_PVTIF_D r;
            if (!rows.Get(keys[i], r))
                continue;
            for (int s = 0; s < 12; ++s)
                if (r.nItem == codes[s]) {
                    aKeys[s] = keys[i];
                    bSecond = bSecond || s >= 6;
                }
        }
        if (bSecond)
            for (int s = 0; s < 6; ++s)
                aKeys[s] = aKeys[s + 6];
    } else {
        static const unsigned int codes[] = {85, 86, 87, 91, 92, 93, 295, 296, 297, 301, 302, 303,
                                             1307, 1308, 1309, 1312, 1313, 1314, 1315, 1316, 1317, 1320, 1321, 1322};
        CArray<unsigned int, unsigned int> found;
        for (int i = 0; i < keys.GetSize(); ++i) {
            T_PVTIF_D r;
            if (!rows.Get(keys[i], r))
                continue;
            for (unsigned int c : codes)
                if (r.nItem == c) {
                    found.Add(keys[i]);
                    break;
                }
        }
        if (found.GetSize() < 6)
            return IDS_KV_PVS_No_RESULT_CDFS;
        // Forces xx, yy, xy and moments xx, yy, xy into tensor slots xx, yy, xy of each half
        // (order xx, yy, zz, xy, yz, zx): the in-plane shear belongs in slot 3, not 4.
        static const int slots[6] = {0, 1, 3, 6, 7, 9};
        for (int i = 0; i < 6; ++i)
            aKeys[slots[i]] = found[i];
    }
    for (int i = 0; i < 12; ++i)
        if (aKeys[i] != 0)
            return nullptr;
    return IDS_KV_PVS_No_RESULT_CDFS;
}

} // namespace kvpvs::dialogs
