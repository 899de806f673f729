#include "frame/ForceSumRecords.h"

namespace {
template <class P>
void CopyPlane(P& dst, const P& src)
{
    for (int i = 0; i < 3; ++i) {
        dst.dCentre[i] = src.dCentre[i];
        dst.dXDir[i] = src.dXDir[i];
        dst.dYDir[i] = src.dYDir[i];
    }
    dst.strName = src.strName;
}
} // namespace

T_LCLDIR_PLNE_D::T_LCLDIR_PLNE_D() = default;
T_LCLDIR_PLNE_D::T_LCLDIR_PLNE_D(const T_LCLDIR_PLNE_D& src) { CopyPlane(*this, src); }
T_LCLDIR_PLNE_D::~T_LCLDIR_PLNE_D() = default;
T_LCLDIR_PLNE_D& T_LCLDIR_PLNE_D::operator=(const T_LCLDIR_PLNE_D& src)
{
    CopyPlane(*this, src);
    return *this;
}

T_LCLDIR_PLNE_KVR_D::T_LCLDIR_PLNE_KVR_D() = default;
T_LCLDIR_PLNE_KVR_D::T_LCLDIR_PLNE_KVR_D(const T_LCLDIR_PLNE_KVR_D& src) { CopyPlane(*this, src); }
T_LCLDIR_PLNE_KVR_D::~T_LCLDIR_PLNE_KVR_D() = default;
T_LCLDIR_PLNE_KVR_D& T_LCLDIR_PLNE_KVR_D::operator=(const T_LCLDIR_PLNE_KVR_D& src)
{
    CopyPlane(*this, src);
    return *this;
}
void T_LCLDIR_PLNE_KVR_D::initialize()
{
    *this = T_LCLDIR_PLNE_KVR_D();
}

void T_POINT_D::initialize() { *this = T_POINT_D(); }
T_POINT_D& T_POINT_D::operator=(const T_POINT_D& src)
{
    X = src.X;
    Y = src.Y;
    Z = src.Z;
    return *this;
}

void T_PLATE_CELL_D::initialize() { *this = T_PLATE_CELL_D(); }
T_PLATE_CELL_D& T_PLATE_CELL_D::operator=(const T_PLATE_CELL_D& src)
{
    nPoint1Id = src.nPoint1Id;
    nPoint2Id = src.nPoint2Id;
    dThickness = src.dThickness;
    dElasticModulus = src.dElasticModulus;
    dPoissonRatio = src.dPoissonRatio;
    dWeightDensity = src.dWeightDensity;
    return *this;
}

void T_SOLID_CELL_D::initialize() { *this = T_SOLID_CELL_D(); }
T_SOLID_CELL_D& T_SOLID_CELL_D::operator=(const T_SOLID_CELL_D& src)
{
    nPoint1Id = src.nPoint1Id;
    nPoint2Id = src.nPoint2Id;
    nPoint3Id = src.nPoint3Id;
    dElasticModulus = src.dElasticModulus;
    dPoissonRatio = src.dPoissonRatio;
    dWeightDensity = src.dWeightDensity;
    return *this;
}

void T_FORCESUM_D::initialize() { *this = T_FORCESUM_D(); }
T_FORCESUM_D& T_FORCESUM_D::operator=(const T_FORCESUM_D& src)
{
    FX = src.FX;
    FY = src.FY;
    FZ = src.FZ;
    MX = src.MX;
    MY = src.MY;
    MZ = src.MZ;
    return *this;
}
