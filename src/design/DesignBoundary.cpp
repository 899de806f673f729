#include "design/DesignBoundary.h"

#include "MathFunc.h"

#include <cmath>
#include <utility>
#include <vector>

namespace kvpvs::design {

void CollectSingleEdges(const CSolidCellInfoMap& mCell, CEdgeMap& mEdge)
{
    CEdgeMap mUse;
    auto count = [&](int a, int b) {
        CEdgeKey k(a < b ? a : b, a < b ? b : a);
        int n = 0;
        if (mUse.Lookup(k, n))
            mUse[k] = 1;
        else
            mUse[k] = 0;
    };
    for (int i = 0; i < mCell.GetCount(); ++i) {
        T_SOLID_CELL_D c;
        if (!mCell.Lookup(i, c))
            continue;
        count(c.nPoint1Id, c.nPoint2Id);
        count(c.nPoint1Id, c.nPoint3Id);
        count(c.nPoint2Id, c.nPoint3Id);
    }
    for (POSITION pos = mUse.GetStartPosition(); pos;) {
        CEdgeKey k;
        int n = 0;
        mUse.GetNextAssoc(pos, k, n);
        if (n == 0)
            mEdge[k] = 0;
    }
}

bool BuildLoops(const CEdgeMap& mEdge, CArray<int, int>& aPoint, CArray<int, int>& aLoopEnd)
{
    aPoint.RemoveAll();
    aLoopEnd.RemoveAll();
    std::vector<std::pair<int, int>> edges;
    for (POSITION pos = mEdge.GetStartPosition(); pos;) {
        CEdgeKey k;
        int n = 0;
        mEdge.GetNextAssoc(pos, k, n);
        edges.emplace_back(k.nKey1, k.nKey2);
    }
    while (!edges.empty()) {
        const auto [a, b] = edges.back();
        edges.pop_back();
        aPoint.Add(a);
        aPoint.Add(b);
        int nEnd = b;
        while (nEnd != a) {
            size_t i = 0;
            while (i < edges.size() && edges[i].first != nEnd && edges[i].second != nEnd)
                ++i;
            // No edge goes on from here: the boundary is open, and searching on would not end.
            if (i == edges.size())
                return false;
            nEnd = edges[i].first == nEnd ? edges[i].second : edges[i].first;
            aPoint.Add(nEnd);
            edges.erase(edges.begin() + static_cast<std::ptrdiff_t>(i));
        }
        aLoopEnd.Add(aPoint.GetSize());
    }
    return true;
}

bool RectangleCorners(const CArray<int, int>& aLoop, const CPointInfoMap& mPoint, double dCorner[4][3])
{
    const int n = aLoop.GetSize();
    if (n < 3)
        return false;
    auto point = [&](int i, double p[3]) {
        T_POINT_D q;
        if (!mPoint.Lookup(aLoop[i], q))
            return false;
        p[0] = q.X;
        p[1] = q.Y;
        p[2] = q.Z;
        return true;
    };
    int nCorner = 0;
    for (int k = 0; k <= n - 2; ++k) {
        double a[3], b[3], c[3];
        // The loop repeats its first point: the turn at its end looks on to p1.
        if (!point(k, a) || !point(k + 1, b) || !point(k == n - 2 ? 1 : k + 2, c))
            return false;
        const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const double v[3] = {c[0] - b[0], c[1] - b[1], c[2] - b[2]};
        const double dAngle = CMathFunc::mathCrossAngle(u, v);
        if (dAngle < 1e-06)
            continue;
        if (!(std::fabs(dAngle - 90.0) < 1e-06) || nCorner == 4)
            return false;
        for (int d = 0; d < 3; ++d)
            dCorner[nCorner][d] = b[d];
        ++nCorner;
    }
    return nCorner == 4;
}

} // namespace kvpvs::design
