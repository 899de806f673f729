#include "design/YRPRecords.h"

#include <cmath>

namespace {

template <size_t N>
bool Finite(const double (&a)[N])
{
    for (double d : a)
        if (!std::isfinite(d))
            return false;
    return true;
}

template <size_t N, size_t M, size_t K>
bool Finite(const double (&a)[N][M][K])
{
    for (const auto& plane : a)
        for (const auto& row : plane)
            if (!Finite(row))
                return false;
    return true;
}

bool Finite(const T_YRP_GSEC_POLYGON& p)
{
    for (const T_YRP_GSEC_VERTEX& v : p.aVertex)
        if (!std::isfinite(v.x) || !std::isfinite(v.y))
            return false;
    return true;
}

bool Finite(const T_YRP_SECT_D& s)
{
    if (!Finite(s.dDim) || !Finite(s.dProp) || !Finite(s.dValue168) || !Finite(s.dProp184) || !Finite(s.outer))
        return false;
    for (const T_YRP_GSEC_POLYGON& p : s.aInner)
        if (!Finite(p))
            return false;
    return true;
}

bool Finite(const CArray<T_YRP_UNITLCOM, T_YRP_UNITLCOM&>& a)
{
    for (const T_YRP_UNITLCOM& c : a)
        if (!Finite(c.dForce))
            return false;
    return true;
}

bool Finite(const T_URWA_UNITLCOM& c)
{
    return Finite(c.dForce) && Finite(c.dDesignForce) && std::isfinite(c.dValue120) && std::isfinite(c.dFactor) &&
           Finite(c.dValue152) && Finite(c.dValue192) && Finite(c.dValue288) && Finite(c.dValue344) &&
           Finite(c.dValue360);
}

} // namespace

bool AllFinite(const T_URBE_D& r)
{
    const T_URBE_RBAR_D& b = r.rbar;
    return Finite(r.matl.dValue) && Finite(r.sect) && Finite(b.dCover) && Finite(b.dBar) && Finite(b.dValue344) &&
           Finite(b.dLength) && Finite(b.dValue384) && Finite(r.load.aLcom) && Finite(r.load.aServLcom);
}

bool AllFinite(const T_URWA_D& r)
{
    if (!Finite(r.matl.dValue) || !Finite(r.sect) || !Finite(r.rbar.dBar) || !Finite(r.rbar.dCover) ||
        !Finite(r.load.dValue32) || !Finite(r.load.aServLcom) || !std::isfinite(r.tail.dValue8) ||
        !std::isfinite(r.tail.dValue32))
        return false;
    for (const T_URWA_UNITLCOM& c : r.load.aLcom)
        if (!Finite(c))
            return false;
    return true;
}

T_YRP_GSEC_LDGN& T_YRP_GSEC_LDGN::operator=(const T_YRP_GSEC_LDGN& src)
{
    if (this == &src)
        return *this;
    strName = src.strName;
    for (int i = 0; i < 7; ++i)
        dValue[i] = src.dValue[i];
    aLine.Copy(src.aLine);
    return *this;
}

T_YRP_GSEC_LSHAP& T_YRP_GSEC_LSHAP::operator=(const T_YRP_GSEC_LSHAP& src)
{
    if (this == &src)
        return *this;
    strName = src.strName;
    aLdgn.Copy(src.aLdgn);
    return *this;
}

T_YRP_SECT_D& T_YRP_SECT_D::operator=(const T_YRP_SECT_D& src)
{
    if (this == &src)
        return *this;
    strName = src.strName;
    for (int i = 0; i < 8; ++i)
        dDim[i] = src.dDim[i];
    for (int i = 0; i < 7; ++i)
        dProp[i] = src.dProp[i];
    outer = src.outer;
    aInner.Copy(src.aInner);
    dValue168[0] = src.dValue168[0];
    dValue168[1] = src.dValue168[1];
    // The design program's own assignment takes the last seven from the properties at +72.
    for (int i = 0; i < 7; ++i)
        dProp184[i] = src.dProp[i];
    return *this;
}

void T_YRP_SECT_D::Initialize()
{
    strName.Empty();
    for (double& d : dDim)
        d = 0;
    for (double& d : dProp)
        d = 0;
    outer.Initialize();
    aInner.RemoveAll();
    dValue168[0] = dValue168[1] = 0;
    for (double& d : dProp184)
        d = 0;
}

void T_YRP_SECT_D::SetRectangle(double b, double h)
{
    dDim[0] = b;
    dDim[1] = h;
    const double dArea = b * h;
    const double dI1 = b * b * b * h / 12.0;
    const double dI2 = h * h * h * b / 12.0;
    dProp[0] = dArea;
    dProp[1] = dArea == 0.0 ? 0.0 : dI1 / dArea;
    dProp[2] = dArea == 0.0 ? 0.0 : dI2 / dArea;
    dProp[3] = dI1;
    dProp[4] = dI2;
    dProp[5] = h / 2.0;
    dProp[6] = b / 2.0;
}

T_URBE_LOAD_D& T_URBE_LOAD_D::operator=(const T_URBE_LOAD_D& src)
{
    if (this == &src)
        return *this;
    nType = src.nType;
    aLcom.Copy(src.aLcom);
    aServLcom.Copy(src.aServLcom);
    for (int i = 0; i < 3; ++i) {
        strText44[i] = src.strText44[i];
        strText80[i] = src.strText80[i];
        strText124[i] = src.strText124[i];
    }
    for (int i = 0; i < 6; ++i) {
        nValue56[i] = src.nValue56[i];
        nValue136[i] = src.nValue136[i];
    }
    for (int i = 0; i < 7; ++i)
        nValue92[i] = src.nValue92[i];
    nFlag120 = src.nFlag120;
    return *this;
}

void T_URBE_LOAD_D::Initialize() { *this = T_URBE_LOAD_D(); }

void T_URBE_D::Initialize() { *this = T_URBE_D(); }

T_URWA_LOAD_D& T_URWA_LOAD_D::operator=(const T_URWA_LOAD_D& src)
{
    if (this == &src)
        return *this;
    for (int i = 0; i < 7; ++i)
        nWord[i] = src.nWord[i];
    for (int i = 0; i < 6; ++i) {
        dValue32[i] = src.dValue32[i];
        nWord80[i] = src.nWord80[i];
    }
    aLcom.Copy(src.aLcom);
    aServLcom.Copy(src.aServLcom);
    return *this;
}

void T_URWA_LOAD_D::Initialize() { *this = T_URWA_LOAD_D(); }

void T_URWA_D::Initialize() { *this = T_URWA_D(); }

T_YRP_DATA_D& T_YRP_DATA_D::operator=(const T_YRP_DATA_D& src)
{
    if (this == &src)
        return *this;
    for (int i = 0; i < 10; ++i)
        nHeader[i] = src.nHeader[i];
    ucop = src.ucop;
    aUrcoK.Copy(src.aUrcoK);
    aUrco.Copy(src.aUrco);
    aUrbeK.Copy(src.aUrbeK);
    aUrbe.Copy(src.aUrbe);
    aUrwaK.Copy(src.aUrwaK);
    aUrwa.Copy(src.aUrwa);
    aUfdnK.Copy(src.aUfdnK);
    aUfdn.Copy(src.aUfdn);
    aUstlK.Copy(src.aUstlK);
    aUstl.Copy(src.aUstl);
    return *this;
}

void T_YRP_DATA_D::Initialize() { *this = T_YRP_DATA_D(); }
