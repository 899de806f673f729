#include "SampleProfiles.h"

#include "SampleSchema.h"

namespace kvpvs::sample {

std::vector<unsigned int> SurfaceNodesBehindWall(const SampleSummary& sum, double y)
{
    std::vector<unsigned int> keys;
    const SampleGrid& g = sum.grid;
    const int i0 = SampleGrid::IndexOf(g.xs, sum.dWallX);
    const int j = SampleGrid::IndexOf(g.ys, y);
    const int k = SampleGrid::IndexOf(g.zs, 0.0);
    if (i0 < 0 || j < 0 || k < 0)
        return keys;
    for (int i = i0; i < g.Nx(); ++i)
        keys.push_back(g.NodeK(i, j, k));
    return keys;
}

std::vector<unsigned int> NodesOnVertical(const SampleSummary& sum, double x, double y)
{
    std::vector<unsigned int> keys;
    const SampleGrid& g = sum.grid;
    const int i = SampleGrid::IndexOf(g.xs, x);
    const int j = SampleGrid::IndexOf(g.ys, y);
    if (i < 0 || j < 0)
        return keys;
    for (int k = g.Nz() - 1; k >= 0; --k)
        keys.push_back(g.NodeK(i, j, k));
    return keys;
}

unsigned int FindNodeRow(CDBDoc& doc, unsigned int nStepK, unsigned int nItem)
{
    CClassPVtif rows(doc.GetPostDB());
    CArray<unsigned int, unsigned int> keys;
    rows.GetKeyList(keys);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PVTIF_D r;
        if (rows.Get(keys[i], r) && r.nStepK == nStepK && r.nItem == nItem && r.nResultClass == kClsDisp)
            return keys[i];
    }
    return 0;
}

BOOL ReadProfile(CDBDoc& doc, unsigned int nRowK, const std::vector<unsigned int>& aNodeK,
                 std::vector<ProfilePoint>& pts)
{
    pts.clear();
    T_PVAL_D vals;
    if (!CClassPVal(doc.GetPostDB()).Get(nRowK, vals))
        return FALSE;
    CClassNode nodes(doc.GetModelDB());
    for (unsigned int k : aNodeK) {
        T_NODE_D n;
        int nCount = 0;
        const double* pRun = vals.Find(k, nCount);
        if (!nodes.Get(k, n) || !pRun || nCount < 1) {
            pts.clear();
            return FALSE;
        }
        pts.push_back({k, n.dXyz[0], pRun[0]});
    }
    return TRUE;
}

} // namespace kvpvs::sample
