#include "planecut/flat_clip.h"

#include "planecut/cut_predicates.h"

#include <algorithm>
#include <cmath>

namespace kvpvs::planecut {

double TwiceSignedArea(const double* pUv, size_t n)
{
    double a = 0.0;
    for (size_t i = 0, j = n - 1; i < n; j = i++)
        a += pUv[2 * j] * pUv[2 * i + 1] - pUv[2 * i] * pUv[2 * j + 1];
    return a;
}

bool IsFlatDegenerate(const FlatPolygon& p, double dScale2)
{
    const double a = p.size() >= 6 ? TwiceSignedArea(p.data(), p.size() / 2) : 0.0;
    return !(a > kRounding * dScale2);
}

namespace {

// Which side of the line a -> b the point p is on: positive on the left.
double Side(const double* a, const double* b, const double* p)
{
    return (b[0] - a[0]) * (p[1] - a[1]) - (b[1] - a[1]) * (p[0] - a[0]);
}

} // namespace

bool InsideConvex(const FlatPolygon& p, const FlatPolygon& clip)
{
    const size_t nClip = clip.size() / 2;
    for (size_t e = 0; e < nClip; ++e)
        for (size_t i = 0; i < p.size() / 2; ++i)
            if (Side(&clip[2 * e], &clip[2 * ((e + 1) % nClip)], &p[2 * i]) < 0.0)
                return false;
    return nClip >= 3;
}

bool SubtractConvex(const FlatPolygon& subject, const FlatPolygon& clip, double dScale2, std::vector<FlatPolygon>& aOut)
{
    // The subject is split by each clip edge's line in turn: the part on its right is outside
    // the clip, a piece of the result; the part on its left goes on. A crossing point is formed
    // once and given to both parts, so the pieces meet exactly.
    const size_t nOut0 = aOut.size();
    FlatPolygon in = subject, left;
    const size_t nClip = clip.size() / 2;
    for (size_t e = 0; e < nClip && in.size() >= 6; ++e) {
        const double* a = &clip[2 * e];
        const double* b = &clip[2 * ((e + 1) % nClip)];
        const size_t n = in.size() / 2;
        left.clear();
        FlatPolygon right;
        bool bRight = false;
        for (size_t i = 0; i < n; ++i) {
            const double* p = &in[2 * i];
            const double* q = &in[2 * ((i + 1) % n)];
            const double sp = Side(a, b, p), sq = Side(a, b, q);
            bRight = bRight || sp < 0.0;
            if (sp >= 0.0)
                left.insert(left.end(), p, p + 2);
            if (sp <= 0.0)
                right.insert(right.end(), p, p + 2);
            if ((sp > 0.0 && sq < 0.0) || (sp < 0.0 && sq > 0.0)) {
                const double t = sp / (sp - sq);
                const double x[2] = {p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1])};
                left.insert(left.end(), x, x + 2);
                right.insert(right.end(), x, x + 2);
            }
        }
        if (bRight && !IsFlatDegenerate(right, dScale2))
            aOut.push_back(std::move(right));
        in.swap(left);
    }
    if (IsFlatDegenerate(in, dScale2)) {
        aOut.resize(nOut0);
        return false;
    }
    return true;
}

namespace {

// The part of the convex p with u[k] <= m (bLow) or >= m; a crossing is formed alike for both.
FlatPolygon Half(const FlatPolygon& p, int k, double m, bool bLow)
{
    FlatPolygon out;
    const size_t n = p.size() / 2;
    for (size_t i = 0; i < n; ++i) {
        const double* a = &p[2 * i];
        const double* b = &p[2 * ((i + 1) % n)];
        const double da = bLow ? a[k] - m : m - a[k], db = bLow ? b[k] - m : m - b[k];
        if (da <= 0.0)
            out.insert(out.end(), a, a + 2);
        if ((da < 0.0 && db > 0.0) || (da > 0.0 && db < 0.0)) {
            const double t = (m - a[k]) / (b[k] - a[k]);
            double x[2] = {a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1])};
            x[k] = m;
            out.insert(out.end(), x, x + 2);
        }
    }
    return out;
}

void BoxOf(const double* p, size_t n, double b[4])
{
    b[0] = b[2] = HUGE_VAL;
    b[1] = b[3] = -HUGE_VAL;
    for (size_t i = 0; i < n; ++i)
        for (int k = 0; k < 2; ++k) {
            b[2 * k] = std::min(b[2 * k], p[2 * i + static_cast<size_t>(k)]);
            b[2 * k + 1] = std::max(b[2 * k + 1], p[2 * i + static_cast<size_t>(k)]);
        }
}

bool BoxesOverlap(const double* a, const double* b)
{
    return a[0] < b[1] && b[0] < a[1] && a[2] < b[3] && b[2] < a[3];
}

struct CSubtract {
    const std::vector<FlatPolygon>& aClip;
    std::vector<double> aBox;
    double dScale2;
    std::vector<FlatPolygon>& aOut;

    void Run(const FlatPolygon& p, std::vector<std::uint32_t> aIdx, int nDepth)
    {
        double b[4];
        BoxOf(p.data(), p.size() / 2, b);
        std::erase_if(aIdx, [&](std::uint32_t k) { return !BoxesOverlap(b, &aBox[4 * k]); });
        if (aIdx.empty()) {
            aOut.push_back(p);
            return;
        }
        for (std::uint32_t k : aIdx) {
            const double* c = &aBox[4 * k];
            if (c[0] <= b[0] && b[1] <= c[1] && c[2] <= b[2] && b[3] <= c[3] && InsideConvex(p, aClip[k]))
                return;
        }
        for (int nTry = 0; aIdx.size() > 8 && nDepth < 48 && nTry < 2; ++nTry) {
            // Halved at the median of the clips' low edges along the wider side, then the other.
            const int d = (b[1] - b[0] >= b[3] - b[2]) == (nTry == 0) ? 0 : 1;
            std::vector<double> aLow;
            for (std::uint32_t k : aIdx)
                aLow.push_back(aBox[4 * k + 2 * static_cast<size_t>(d)]);
            std::nth_element(aLow.begin(), aLow.begin() + static_cast<std::ptrdiff_t>(aLow.size() / 2), aLow.end());
            const double m = aLow[aLow.size() / 2];
            if (!(m > b[2 * d] && m < b[2 * d + 1]))
                continue;
            std::vector<std::uint32_t> aLo, aHi;
            for (std::uint32_t k : aIdx) {
                if (aBox[4 * k + 2 * static_cast<size_t>(d)] < m)
                    aLo.push_back(k);
                if (aBox[4 * k + 2 * static_cast<size_t>(d) + 1] > m)
                    aHi.push_back(k);
            }
            if (aLo.size() == aIdx.size() && aHi.size() == aIdx.size())
                continue;
            const FlatPolygon lo = Half(p, d, m, true), hi = Half(p, d, m, false);
            if (lo.size() >= 6)
                Run(lo, std::move(aLo), nDepth + 1);
            if (hi.size() >= 6)
                Run(hi, std::move(aHi), nDepth + 1);
            return;
        }
        std::vector<FlatPolygon> aPieces{p}, aNext;
        for (std::uint32_t k : aIdx) {
            aNext.clear();
            for (FlatPolygon& q : aPieces) {
                double qb[4];
                BoxOf(q.data(), q.size() / 2, qb);
                if (!BoxesOverlap(qb, &aBox[4 * k]) || !SubtractConvex(q, aClip[k], dScale2, aNext))
                    aNext.push_back(std::move(q));
            }
            aPieces.swap(aNext);
        }
        for (FlatPolygon& q : aPieces)
            aOut.push_back(std::move(q));
    }
};

} // namespace

void SubtractAll(const FlatPolygon& subject, const std::vector<FlatPolygon>& aClip, double dScale2,
                 std::vector<FlatPolygon>& aOut)
{
    CSubtract s{aClip, std::vector<double>(4 * aClip.size()), dScale2, aOut};
    std::vector<std::uint32_t> aIdx;
    for (size_t k = 0; k < aClip.size(); ++k) {
        BoxOf(aClip[k].data(), aClip[k].size() / 2, &s.aBox[4 * k]);
        if (aClip[k].size() >= 6)
            aIdx.push_back(static_cast<std::uint32_t>(k));
    }
    s.Run(subject, std::move(aIdx), 0);
}

void FlatBoxTree::Build(const std::vector<double>& aBox)
{
    m_aBox = aBox;
    const size_t nItem = aBox.size() / 4;
    m_aNode.clear();
    m_aItem.resize(nItem);
    for (size_t i = 0; i < nItem; ++i)
        m_aItem[i] = static_cast<std::uint32_t>(i);
    if (nItem == 0)
        return;
    constexpr std::uint32_t kLeafItems = 4;
    auto centre = [&](std::uint32_t i, int k) { return m_aBox[4 * i + 2 * k] + m_aBox[4 * i + 2 * k + 1]; };
    // Nodes made breadth-first from a work list of item ranges; children of a node are adjacent.
    struct T_RANGE {
        std::uint32_t nNode, nFirst, nCount;
    };
    std::vector<T_RANGE> aWork{{0, 0, static_cast<std::uint32_t>(nItem)}};
    m_aNode.push_back({});
    while (!aWork.empty()) {
        const T_RANGE r = aWork.back();
        aWork.pop_back();
        double b[4] = {HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL}, c[4] = {HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL};
        for (std::uint32_t k = r.nFirst; k < r.nFirst + r.nCount; ++k) {
            const double* ib = &m_aBox[4 * static_cast<size_t>(m_aItem[k])];
            for (int d = 0; d < 2; ++d) {
                b[2 * d] = std::min(b[2 * d], ib[2 * d]);
                b[2 * d + 1] = std::max(b[2 * d + 1], ib[2 * d + 1]);
                c[2 * d] = std::min(c[2 * d], centre(m_aItem[k], d));
                c[2 * d + 1] = std::max(c[2 * d + 1], centre(m_aItem[k], d));
            }
        }
        T_NODE& nd = m_aNode[r.nNode];
        std::copy(b, b + 4, nd.b);
        if (r.nCount <= kLeafItems) {
            nd.bLeaf = true;
            nd.nFirst = r.nFirst;
            nd.nCount = r.nCount;
            continue;
        }
        // Halves by count along the wider spread of the centres: depth log n whatever the layout.
        const int d = c[1] - c[0] >= c[3] - c[2] ? 0 : 1;
        const std::uint32_t nHalf = r.nCount / 2;
        auto first = m_aItem.begin() + r.nFirst;
        std::nth_element(first, first + nHalf, first + r.nCount,
                         [&](std::uint32_t x, std::uint32_t y) { return centre(x, d) < centre(y, d); });
        nd.bLeaf = false;
        nd.nFirst = static_cast<std::uint32_t>(m_aNode.size());
        nd.nCount = 0;
        const std::uint32_t nChild = nd.nFirst;
        m_aNode.push_back({});
        m_aNode.push_back({});
        aWork.push_back({nChild, r.nFirst, nHalf});
        aWork.push_back({nChild + 1, r.nFirst + nHalf, r.nCount - nHalf});
    }
}

} // namespace kvpvs::planecut
