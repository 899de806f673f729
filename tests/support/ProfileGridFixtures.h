// Builders of settlement-profile situations: a block of tetrahedra, box hexahedra or distorted
// hexahedra carrying a node result row sampled from a field linear in x, y and z (value, then
// the displacement vector), profile grids stored as the definition dialog stores them (corners
// in output length units), and the display pair made as the host makes it. Header-only: the
// programs that use it link the module.
#pragma once
#include "visualdata/CPVSVisualDataProfGrid.h"
#include "visualmethods/CPVSVisualMethodGlbProfGrid.h"

#include "ClassSpfg.h"
#include "DBDoc.h"
#include "DBModelRecords.h"
#include "PVSMeshMngrBrdg.h"
#include "PostGeneralTable.h"
#include "UnitCtrl.h"

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace kvpvs::test {

using V3 = std::array<double, 3>;

// f(p) = a + g . q and u(p) = u0 + U q with q = p - o: what linear elements reproduce exactly;
// with qxx, f gains qxx qx^2, which they only interpolate between their nodes. A model far from
// the origin takes o near it, so the field keeps its digits.
struct LinearField {
    double a = 0.0;
    V3 g = {0, 0, 0};
    double qxx = 0.0;
    V3 u0 = {0, 0, 0};
    std::array<V3, 3> U = {V3{0, 0, 0}, V3{0, 0, 0}, V3{0, 0, 0}};
    V3 o = {0, 0, 0};
    double Value(const double* p) const
    {
        const double q[3] = {p[0] - o[0], p[1] - o[1], p[2] - o[2]};
        return a + g[0] * q[0] + g[1] * q[1] + g[2] * q[2] + qxx * q[0] * q[0];
    }
    V3 Disp(const double* p) const
    {
        V3 u = u0;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                u[static_cast<size_t>(r)] +=
                    U[static_cast<size_t>(r)][static_cast<size_t>(c)] * (p[c] - o[static_cast<size_t>(c)]);
        return u;
    }
};

enum class MeshKind { Tetra, Box, Distorted };

inline const char* MeshKindName(MeshKind k)
{
    return k == MeshKind::Tetra ? "Tetrahedra" : (k == MeshKind::Box ? "BoxHexahedra" : "DistortedHexahedra");
}

// A document (made current) with a mesh bridge whose bounding box is the block's.
struct ProfileGridModel {
    CDBDoc doc;
    std::unique_ptr<CPVSMeshMngrBrdg> pBridge = std::make_unique<CPVSMeshMngrBrdg>();
    unsigned int nStepK = 1;
    double dBounds[6] = {0, 1, 0, 1, 0, 1};

    ProfileGridModel()
    {
        CZORDocBase::SetCurDoc(&doc);
        T_POSIF_D set;
        set.strName = "Construction Stages";
        CClassPOsif(doc.GetPostDB()).Set(1, set);
        T_PLSIF_D step;
        step.nOsifK = 1;
        step.strName = "Stage 4: Excavation";
        CClassPLsif(doc.GetPostDB()).Set(nStepK, step);
        CPVSVisualDataBase::ResetVDataStatics();
        IPostGeneralTableData::Instance()->ClearTables();
        ICustomPostDB::Instance()->m_aShown.clear();
    }
    ~ProfileGridModel()
    {
        if (CZORDocBase::GetCurDoc() == &doc)
            CZORDocBase::SetCurDoc(nullptr);
    }
    ProfileGridModel(const ProfileGridModel&) = delete;
    ProfileGridModel& operator=(const ProfileGridModel&) = delete;

    CUnitCtrl* Unit() { return CDocCtrl::GetUnitCtrl(&doc); }

    // nx x ny x nz cells of size h from the origin o. Tetrahedra: six per cube around its
    // diagonal 0-6; distorted: interior nodes moved by up to 0.2 h, so no face is planar.
    void BuildBlock(MeshKind kind, int nx, int ny, int nz, double h, const V3& o = {0, 0, 0})
    {
        CClassNode nodes(doc.GetModelDB());
        CClassElem elems(doc.GetModelDB());
        auto key = [&](int i, int j, int k) { return static_cast<unsigned int>(1 + i + (nx + 1) * (j + (ny + 1) * k)); };
        for (int k = 0; k <= nz; ++k)
            for (int j = 0; j <= ny; ++j)
                for (int i = 0; i <= nx; ++i) {
                    T_NODE_D n;
                    n.dXyz[0] = o[0] + i * h;
                    n.dXyz[1] = o[1] + j * h;
                    n.dXyz[2] = o[2] + k * h;
                    const bool bInterior = i > 0 && i < nx && j > 0 && j < ny && k > 0 && k < nz;
                    if (kind == MeshKind::Distorted && bInterior) {
                        // A fixed pseudo-random shift per node: reproducible and far from planar.
                        const double s = std::sin(12.9898 * i + 78.233 * j + 37.719 * k);
                        n.dXyz[0] += 0.2 * h * s;
                        n.dXyz[1] += 0.15 * h * std::cos(3.1 * i + 1.7 * k);
                        n.dXyz[2] -= 0.18 * h * std::sin(2.3 * j + 0.9 * i);
                    }
                    nodes.Set(key(i, j, k), n);
                }
        unsigned int nElemK = 1;
        static const int kTet[6][4] = {{0, 1, 2, 6}, {0, 2, 3, 6}, {0, 3, 7, 6}, {0, 7, 4, 6}, {0, 4, 5, 6}, {0, 5, 1, 6}};
        for (int k = 0; k < nz; ++k)
            for (int j = 0; j < ny; ++j)
                for (int i = 0; i < nx; ++i) {
                    const unsigned int c[8] = {key(i, j, k),         key(i + 1, j, k),         key(i + 1, j + 1, k),
                                               key(i, j + 1, k),     key(i, j, k + 1),         key(i + 1, j, k + 1),
                                               key(i + 1, j + 1, k + 1), key(i, j + 1, k + 1)};
                    if (kind == MeshKind::Tetra) {
                        for (const auto& t : kTet) {
                            T_ELEM_D e;
                            e.nType = 8;
                            e.nCellType = 10;
                            for (int v : t)
                                e.aNodeK.Add(c[v]);
                            elems.Set(nElemK++, e);
                        }
                    } else {
                        T_ELEM_D e;
                        e.nType = 8;
                        e.nCellType = 12;
                        for (unsigned int n : c)
                            e.aNodeK.Add(n);
                        elems.Set(nElemK++, e);
                    }
                }
        const double b[6] = {o[0], o[0] + nx * h, o[1], o[1] + ny * h, o[2], o[2] + nz * h};
        for (int i = 0; i < 6; ++i)
            dBounds[i] = b[i];
        pBridge->SetBounds(dBounds);
    }

    // A node row of the field: value, then the displacement vector. nItem is its item code.
    unsigned int AddNodeRow(const LinearField& f, unsigned int nItem = 3, const char* pszName = "DZ")
    {
        T_PENGR_D ent;
        ent.nKind = 1;
        ent.strName = "Node";
        CClassPEngr(doc.GetPostDB()).Set(1, ent);
        T_PVTIF_D row;
        row.nItem = nItem;
        row.nStepK = nStepK;
        row.nEngrK = 1;
        row.nQuantity = 1;
        row.nResultClass = 1;
        row.strName = pszName;
        const unsigned int nRowK = CClassPVtif(doc.GetPostDB()).Add(row);
        T_PVAL_D v;
        CClassNode nodes(doc.GetModelDB());
        CArray<unsigned int, unsigned int> keys;
        nodes.GetKeyList(keys);
        for (int i = 0; i < keys.GetSize(); ++i) {
            T_NODE_D n;
            nodes.Get(keys[i], n);
            const V3 u = f.Disp(n.dXyz);
            const double run[4] = {f.Value(n.dXyz), u[0], u[1], u[2]};
            v.Append(keys[i], run, 4);
        }
        CClassPVal(doc.GetPostDB()).Set(nRowK, v);
        return nRowK;
    }

    // A profile grid over the rectangle LL, LR, UL (model units), stored in output units.
    unsigned int AddGrid(const char* pszName, const V3& LL, const V3& LR, const V3& UL, int nDivX, int nDivY)
    {
        T_SPFG_D g;
        g.strName = pszName;
        for (int k = 0; k < 3; ++k) {
            const size_t s = static_cast<size_t>(k);
            g.dLL[k] = Unit()->ConvertUnitLengthOut(LL[s]);
            g.dLR[k] = Unit()->ConvertUnitLengthOut(LR[s]);
            g.dUL[k] = Unit()->ConvertUnitLengthOut(UL[s]);
            g.dUR[k] = Unit()->ConvertUnitLengthOut(LR[s] + UL[s] - LL[s]);
        }
        g.nDivX = nDivX;
        g.nDivY = nDivY;
        return CClassSpfg(doc.GetModelDB()).Add(g);
    }
};

// The display pair as the host builds it: visual data with MakeVData run, its method with the
// model data of the document.
struct ProfileGridDisplay {
    T_VD_PROFGRID_D rec;
    std::unique_ptr<CPVSVisualDataProfGrid> pVD;
    std::unique_ptr<CPVSVisualMethodGlbProfGrid> pVM;

    void Build(ProfileGridModel& m)
    {
        CPostVisualState* pState = CPostVisualState::Instance();
        T_VD_PARAM_D vp;
        vp.pDoc = &m.doc;
        vp.pUserDefData = &rec;
        pVD = std::make_unique<CPVSVisualDataProfGrid>(5, vp);
        pVD->MakeVData(pState->GetCurrentPA(), pState->GetCurrentPAnim(), 0);
        T_VM_PARAM_D mp;
        mp.pDoc = &m.doc;
        mp.pVData = pVD.get();
        mp.pVS = pState->GetCurrentPA();
        mp.pAS = pState->GetCurrentPAnim();
        mp.nVMType = pVD->GetVisualMethodType(mp.pVS);
        mp.pUserDefData = pVD->GetRecord();
        pVM = std::make_unique<CPVSVisualMethodGlbProfGrid>(mp);
        T_MD_PARAM_D md;
        md.bFlag = 1;
        md.nType = 5;
        pVM->SetMDTCtrl(new CPVSModelDataFEM(md, &m.doc));
    }
};

} // namespace kvpvs::test
