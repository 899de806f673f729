// Polygons lying in a cutting plane, in two in-plane coordinates measured from a point of the
// polygons themselves (never from a far origin, where the rounding of absolute coordinates
// would exceed small areas): what is left of a convex polygon outside others, and a tree of
// boxes that finds the polygons a polygon may overlap. Used by the plane cut to count a face
// in the plane where nothing was cut over it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvpvs::planecut {

// A polygon as u, v pairs, counterclockwise.
using FlatPolygon = std::vector<double>;

// Twice the signed area (positive counterclockwise).
double TwiceSignedArea(const double* pUv, size_t n);

// Nothing but rounding: twice the area at most kRounding times dScale2 (the square of the size
// of the polygons compared), as for a degenerate triangle of the cut.
bool IsFlatDegenerate(const FlatPolygon& p, double dScale2);

// Whether every point of p lies in the convex clip (on its edges included).
bool InsideConvex(const FlatPolygon& p, const FlatPolygon& clip);

// The convex subject less the convex clip: the pieces of the subject outside the clip are
// appended to aOut (one per clip edge at most, disjoint, sharing the points where they meet).
// Returns false, appending nothing, when the two overlap in no more than rounding (dScale2 as
// for IsFlatDegenerate): the subject then stays whole.
bool SubtractConvex(const FlatPolygon& subject, const FlatPolygon& clip, double dScale2, std::vector<FlatPolygon>& aOut);

// The convex subject less the union of the convex clips (counterclockwise): the pieces left
// are appended to aOut. The subject is halved at a clip's edge until few clips overlap a piece,
// and a clip is tested only against pieces its box overlaps: the cost grows as n log n in the
// clips however they lie.
void SubtractAll(const FlatPolygon& subject, const std::vector<FlatPolygon>& aClip, double dScale2,
                 std::vector<FlatPolygon>& aOut);

// Boxes (u min, u max, v min, v max), split in halves along their wider spread down to a few
// per leaf: a query visits the boxes that overlap a box with positive width in both
// directions, at a cost of the tree's depth plus what it finds, however the boxes lie.
class FlatBoxTree {
public:
    void Build(const std::vector<double>& aBox);
    bool Empty() const { return m_aNode.empty(); }
    template <class F>
    void Query(const double b[4], F&& visit) const;

private:
    struct T_NODE {
        double b[4];
        std::uint32_t nFirst, nCount; // leaf: items m_aItem[nFirst ..]; inner: children nFirst, nFirst + 1
        bool bLeaf;
    };
    static bool Overlap(const double* a, const double* b)
    {
        return a[0] < b[1] && b[0] < a[1] && a[2] < b[3] && b[2] < a[3];
    }
    std::vector<T_NODE> m_aNode;
    std::vector<std::uint32_t> m_aItem;
    std::vector<double> m_aBox;
};

template <class F>
void FlatBoxTree::Query(const double b[4], F&& visit) const
{
    if (m_aNode.empty())
        return;
    // Halving by count keeps the depth under 64, the stack under two entries per level.
    std::uint32_t aStack[128];
    int nTop = 0;
    aStack[nTop++] = 0;
    while (nTop > 0) {
        const T_NODE& nd = m_aNode[aStack[--nTop]];
        if (!Overlap(nd.b, b))
            continue;
        if (!nd.bLeaf) {
            aStack[nTop++] = nd.nFirst;
            aStack[nTop++] = nd.nFirst + 1;
            continue;
        }
        for (std::uint32_t k = nd.nFirst; k < nd.nFirst + nd.nCount; ++k)
            if (Overlap(&m_aBox[4 * static_cast<size_t>(m_aItem[k])], b))
                visit(static_cast<size_t>(m_aItem[k]));
    }
}

} // namespace kvpvs::planecut
