#include "GeomDialog.h"
#include "InputEditCtrl.h"
#include "UnitCtrl.h"

#include <BRep_Builder.hxx>
#include <TopoDS_Compound.hxx>

#include <cstdio>
#include <memory>

IMPLEMENT_DYNAMIC(CGeomDialog, CDialog)
IMPLEMENT_DYNAMIC(CInputEditCtrl, CEdit)

namespace {
struct T_PICKING_SLOT_D {
    std::shared_ptr<CAISContext> pContext = std::make_shared<CAISContext>();
    std::shared_ptr<CGeomSelector> pSelector = std::make_shared<CGeomSelector>();
};

T_PICKING_SLOT_D* Slot(CZORDocBase* pDoc)
{
    auto* p = dynamic_cast<CDBDoc*>(pDoc);
    return p ? &p->GetModelDB()->Table<T_PICKING_SLOT_D>()[1] : nullptr;
}

const CUnitCtrl* Units()
{
    return CDocCtrl::GetUnitCtrl(CDBDoc::GetDocPoint());
}
} // namespace

CAISContext* CAISContext::Of(CZORDocBase* pDoc)
{
    T_PICKING_SLOT_D* s = Slot(pDoc);
    return s ? s->pContext.get() : nullptr;
}

void CAISContext::SetTempShape(int nID, const TopoDS_Shape& shape, Quantity_NameOfColor colour, double dWidth, int nFlag)
{
    m_shapes[nID] = T_TEMP_SHAPE_D{shape, colour, dWidth, nFlag};
}

const CAISContext::T_TEMP_SHAPE_D* CAISContext::GetTempShape(int nID) const
{
    auto it = m_shapes.find(nID);
    return it == m_shapes.end() ? nullptr : &it->second;
}

CGeomSelector* CGeomSelector::Of(CZORDocBase* pDoc)
{
    T_PICKING_SLOT_D* s = Slot(pDoc);
    return s ? s->pSelector.get() : nullptr;
}

int CGeomSelector::GetOsnap(int nType) const
{
    auto it = m_osnap.find(nType);
    return it == m_osnap.end() ? 0 : it->second;
}

BOOL PositionTool::Pick(const gp_Pnt& p)
{
    if (!m_nStatus || !m_pDlg)
        return FALSE;
    gp_Pnt q = p;
    m_pDlg->SetLatestPoint(q);
    return TRUE;
}

TopoDS_Shape CGeomUtil2::MakeCompound(const std::vector<TopoDS_Shape>& aShapes, int)
{
    BRep_Builder builder;
    TopoDS_Compound c;
    builder.MakeCompound(c);
    for (const TopoDS_Shape& s : aShapes)
        if (!s.IsNull())
            builder.Add(c, s);
    return c;
}

void CInputEditCtrl::SetPoint(double x, double y, double z)
{
    const CUnitCtrl* u = Units();
    const double v[3] = {x, y, z};
    double o[3];
    for (int i = 0; i < 3; ++i)
        o[i] = u ? u->ConvertUnitDataOut(m_nUnitType, v[i]) : v[i];
    CString s;
    s.Format("%.10g, %.10g, %.10g", o[0], o[1], o[2]);
    SetWindowText(s);
}

BOOL CInputEditCtrl::GetPoint(double p[3]) const
{
    p[0] = p[1] = p[2] = 0.0;
    CString s;
    GetWindowText(s);
    double v[3];
    char rest[2];
    if (std::sscanf(s, " %lf , %lf , %lf %1s", &v[0], &v[1], &v[2], rest) != 3)
        return FALSE;
    const CUnitCtrl* u = Units();
    for (int i = 0; i < 3; ++i)
        p[i] = u ? u->ConvertUnitDataIn(m_nUnitType, v[i]) : v[i];
    return TRUE;
}
