#include "core/ForceSumRecords.h"

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

void T_PLATE_CELL_D::initialize() { *this = T_PLATE_CELL_D(); }

void T_SOLID_CELL_D::initialize() { *this = T_SOLID_CELL_D(); }

void T_FORCESUM_D::initialize() { *this = T_FORCESUM_D(); }
