#include "SlopeResults.h"

#include "UnitCtrl.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kvdb {

T_POINT3D PlanePoint(int nPlane, double a, double b)
{
    T_POINT3D p;
    if (nPlane == 1) {
        p.y = a;
        p.z = b;
    } else if (nPlane == 2) {
        p.x = a;
        p.z = b;
    } else {
        p.x = a;
        p.y = b;
    }
    return p;
}

double GridParam(int k, int n)
{
    if (k >= n - 1)
        return 1.0;
    const double dStep = 1.0 / (n - 1);
    return k * dStep;
}

} // namespace kvdb

namespace {

constexpr int kArcSteps = 16;
constexpr double kPi = 3.14159265358979323846;

CDBBase* CurrentModelDB()
{
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    return pDoc ? pDoc->GetModelDB() : nullptr;
}

// Circles of a grid with corners turned into model units by f.
void MakeCircles(const T_LEGR_D& g, double f, CArray<T_CIRC2D, const T_CIRC2D&>& aCirc)
{
    aCirc.RemoveAll();
    const double p0[2] = {g.p[0].x * f, g.p[0].y * f};
    const double p1[2] = {g.p[1].x * f, g.p[1].y * f};
    const double p2[2] = {g.p[2].x * f, g.p[2].y * f};
    for (int k2 = 0; k2 < g.nN2; ++k2)
        for (int k1 = 0; k1 < g.nN1; ++k1) {
            const double t1 = kvdb::GridParam(k1, g.nN1);
            const double t2 = kvdb::GridParam(k2, g.nN2);
            for (int j = 0; j < g.aRadius.GetSize(); ++j) {
                T_CIRC2D c;
                c.a = p0[0] + t1 * (p1[0] - p0[0]) + t2 * (p2[0] - p1[0]);
                c.b = p0[1] + t1 * (p1[1] - p0[1]) + t2 * (p2[1] - p1[1]);
                c.r = g.aRadius[j];
                aCirc.Add(c);
            }
        }
}

double LengthFactor(CDBBase* pDB)
{
    CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrlOfDB(pDB);
    return pUnit ? pUnit->GetConvertFactorCurrent(1) : 1.0;
}

// Crossings of a circle with a ground line, as (x, y) pairs.
std::vector<std::pair<double, double>> Crossings(const T_CIRC2D& c, const T_SLOPE_GROUND_D& g)
{
    std::vector<std::pair<double, double>> a;
    for (int i = 0; i + 1 < g.aVertex.GetSize(); ++i) {
        const double x0 = g.aVertex[i].x - c.a, y0 = g.aVertex[i].y - c.b;
        const double dx = g.aVertex[i + 1].x - g.aVertex[i].x, dy = g.aVertex[i + 1].y - g.aVertex[i].y;
        // |p0 + t d|^2 = r^2
        const double qa = dx * dx + dy * dy, qb = 2.0 * (x0 * dx + y0 * dy), qc = x0 * x0 + y0 * y0 - c.r * c.r;
        const double disc = qb * qb - 4.0 * qa * qc;
        if (qa <= 0.0 || disc < 0.0)
            continue;
        const double s = std::sqrt(disc);
        for (double t : {(-qb - s) / (2.0 * qa), (-qb + s) / (2.0 * qa)})
            if (t >= 0.0 && t <= 1.0)
                a.emplace_back(c.a + x0 + t * dx, c.b + y0 + t * dy);
    }
    return a;
}

} // namespace

BOOL CClassLegr::GetCircData(unsigned int nKey, T_CIRC2D_CASE& circ) const
{
    T_LEGR_D g;
    if (!Get(nKey, g))
        return FALSE;
    MakeCircles(g, LengthFactor(m_pDB), circ.aCirc);
    return TRUE;
}

BOOL CDBUtil::GetBndrListByAcas(CDBBase* pDB, unsigned int nAcasK, CArray<unsigned int, unsigned int>& aBndrK)
{
    aBndrK.RemoveAll();
    T_SLOPE_ACAS_D rec;
    if (!CClassSlopeAcas(pDB).Get(nAcasK, rec))
        return FALSE;
    aBndrK.Copy(rec.aBndrK);
    return TRUE;
}

BOOL CDBUtil::GetKeyListByAcas(CDBBase* pDB, unsigned int nAcasK, CArray<unsigned int, unsigned int>& aKey1,
                               CArray<unsigned int, unsigned int>& aKey2)
{
    aKey1.RemoveAll();
    aKey2.RemoveAll();
    T_SLOPE_ACAS_D rec;
    if (!CClassSlopeAcas(pDB).Get(nAcasK, rec))
        return FALSE;
    aKey1.Copy(rec.aKey1);
    aKey2.Copy(rec.aKey2);
    return TRUE;
}

CLegrMaker::CLegrMaker(unsigned int nLegrK, const CArray<unsigned int, unsigned int>& aKey2) : m_nLegrK(nLegrK)
{
    m_aKey2.Copy(aKey2);
}

BOOL CLegrMaker::Perform(CArray<T_POINT3D, T_POINT3D&>& aPoint, CArray<T_ARC_WIRE, T_ARC_WIRE&>& aWire)
{
    aPoint.RemoveAll();
    aWire.RemoveAll();
    CDBBase* pDB = CurrentModelDB();
    T_LEGR_D g;
    T_SLOPE_GROUND_D ground;
    if (!pDB || !CClassLegr(pDB).Get(m_nLegrK, g) || m_aKey2.GetSize() == 0 ||
        !CClassSlopeGround(pDB).Get(m_aKey2[0], ground))
        return FALSE;
    m_nGrid = std::max(g.nN1, 0) * std::max(g.nN2, 0);
    m_nRadius = static_cast<int>(g.aRadius.GetSize());
    CArray<T_CIRC2D, const T_CIRC2D&> aCirc;
    MakeCircles(g, LengthFactor(pDB), aCirc);
    for (int i = 0; i < aCirc.GetSize(); ++i) {
        const T_CIRC2D& c = aCirc[i];
        T_ARC_WIRE wire;
        auto a = Crossings(c, ground);
        if (a.size() >= 2) {
            const auto [l, r] = std::minmax_element(a.begin(), a.end());
            const double th0 = std::atan2(l->second - c.b, l->first - c.a);
            double sweep = std::atan2(r->second - c.b, r->first - c.a) - th0;
            if (sweep <= 0.0)
                sweep += 2.0 * kPi;
            const int nFirst = static_cast<int>(aPoint.GetSize()) + 1;
            for (int k = 0; k <= kArcSteps; ++k) {
                // The ends are the crossings themselves, not points recomputed on the circle.
                double pa = l->first, pb = l->second;
                if (k == kArcSteps) {
                    pa = r->first;
                    pb = r->second;
                } else if (k > 0) {
                    const double th = th0 + sweep * k / kArcSteps;
                    pa = c.a + c.r * std::cos(th);
                    pb = c.b + c.r * std::sin(th);
                }
                T_POINT3D p = kvdb::PlanePoint(g.nPlane, pa, pb);
                aPoint.Add(p);
            }
            for (int k = 0; k < kArcSteps; ++k)
                wire.aPair.Add(T_WIRE_PAIR{nFirst + k, nFirst + k + 1});
        }
        aWire.Add(wire);
    }
    return TRUE;
}

CLeplMaker::CLeplMaker(const CArray<unsigned int, unsigned int>& aLeplK, const CArray<unsigned int, unsigned int>& aKey2)
{
    m_aLeplK.Copy(aLeplK);
    m_aKey2.Copy(aKey2);
}

BOOL CLeplMaker::Perform(CArray<T_POINT3D, T_POINT3D&>& aPoint, CArray<T_SEG_WIRE, T_SEG_WIRE&>& aWire)
{
    aPoint.RemoveAll();
    aWire.RemoveAll();
    CDBBase* pDB = CurrentModelDB();
    if (!pDB)
        return FALSE;
    CClassLepl cls(pDB);
    for (int i = 0; i < m_aLeplK.GetSize(); ++i) {
        T_LEPL_D rec;
        if (!cls.Get(m_aLeplK[i], rec))
            return FALSE;
        T_SEG_WIRE wire;
        const int nFirst = static_cast<int>(aPoint.GetSize()) + 1;
        for (int k = 0; k < rec.aVertex.GetSize(); ++k) {
            T_POINT3D p = kvdb::PlanePoint(rec.nPlane, rec.aVertex[k].x, rec.aVertex[k].y);
            aPoint.Add(p);
        }
        for (int k = 0; k + 1 < rec.aVertex.GetSize(); ++k)
            wire.aPair.Add(T_WIRE_PAIR{nFirst + k, nFirst + k + 1});
        aWire.Add(wire);
    }
    return TRUE;
}
