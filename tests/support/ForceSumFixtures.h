// Builders of force-sum test situations: a structured block of linear hexahedra and a strip of
// plate elements, with their attribute, section and material records, a result step and the
// component rows whose values come from a stress or plate-force field ("element value, then
// one per node"). Also the helpers that build the visual data and method of a display.
#pragma once
#include "TempDir.h"

#include "core/ForceSumRecords.h"
#include "visualdata/CPVSVisualDataLDFS.h"
#include "visualdata/CPVSVisualDataLDFSD.h"
#include "visualmethods/CPVSVisualMethodLDFS.h"
#include "visualmethods/CPVSVisualMethodLDFSD.h"

#include "DBDoc.h"
#include "DBModelRecords.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class vtkUnstructuredGrid;
class vtkUnstructuredGridAlgorithm;

namespace kvpvs::test {

using StressField = std::function<std::array<double, 6>(double x, double y, double z)>;
using PlateField = std::function<std::array<double, 12>(double x, double y, double z)>;

// A structured block of nx x ny x nz hexahedra of size dx x dy x dz from (x0, y0, z0); with
// bTetrahedra each box is five tetrahedra instead (faces split alike from both sides), 10-node
// ones with bQuadratic (a node midway on each edge). Sheared, each node is then moved by
// (x, y, z) -> (x + z, y - x + z, z - y), so that unit cells' node layers lie on x + y + z = 3k,
// each cell's face there of area |(1, -1, 0) x (0, 1, -1)| = sqrt 3.
struct HexBlockGrid {
    int nx = 2, ny = 2, nz = 2;
    double dx = 1.0, dy = 1.0, dz = 1.0;
    double x0 = 0.0, y0 = 0.0, z0 = 0.0;
    bool bSheared = false, bTetrahedra = false, bQuadratic = false;
};

// A document with the model and post records of one force-sum situation.
struct ForceSumModel {
    kvpvs::testing::TempDir dir{"kvpvs_ldfs"}; // outlives the document
    CDBDoc doc;
    std::string strFolder; // dir with a trailing '/'
    std::vector<unsigned int> aElemK;
    unsigned int nStepK = 0;
    unsigned int nAttrK = 0;
    int nRowK[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

    ForceSumModel();
    ~ForceSumModel();
    ForceSumModel(const ForceSumModel&) = delete;
    ForceSumModel& operator=(const ForceSumModel&) = delete;
};

// Hexahedra (cell type 12, element kind 8) on a structured grid, or tetrahedra (cell type 10 or
// 24); the grid's nodes keyed in x-fastest order, edge nodes after them.
void BuildHexBlock(ForceSumModel& m, const HexBlockGrid& grid);
// Quadrilateral plates (cell type 9, kind 4) in the plane y = y0 from (x0, z0), nx by nz cells,
// thickness t; their local axes are x = +X, y = +Z, z = -Y.
void BuildPlateStrip(ForceSumModel& m, int nx, int nz, double dx, double dz, double x0, double y0, double z0,
                     double dThickness);
// Six solid stress rows (components xx, yy, zz, xy, yz, zx) from a field over node coordinates.
void AddStressRows(ForceSumModel& m, const StressField& f);
// Twelve plate rows: forces 0-5 and moments 6-11 in the element axes, from a field.
void AddPlateRows(ForceSumModel& m, const PlateField& f);

// Replaces one element's values ("element value, then one per node") in component row c.
void SetElementValues(ForceSumModel& m, int c, unsigned int nElemK, std::vector<double> v);

// Seepage: a nodal velocity row (result class 38, component code 7, sub-type 7, node entity)
// over the model's nodes, seven doubles per node: |v|, vx, vy, vz and the gradient -v (unit
// permeability). Returns the row key.
using VelocityField = std::function<std::array<double, 3>(double x, double y, double z)>;
unsigned int AddNodeVelocityRow(ForceSumModel& m, const VelocityField& f);
// Replaces (or adds, or with an empty run removes) one entity's run of a row.
void SetEntityValues(ForceSumModel& m, unsigned int nRowK, unsigned int nEntK, std::vector<double> v);

// A settings record with the rows of the model, one plane per (origin, axis rows, name).
struct T_TEST_PLANE {
    double dOrigin[3];
    double dAxis[3][3];
    const char* pszName;
};
template <class RECORD>
void FillRecord(RECORD& rec, const ForceSumModel& m, int nCutKind, const std::vector<T_TEST_PLANE>& planes)
{
    rec.Initialize();
    rec.nCutKind = nCutKind;
    rec.nCompCount = nCutKind == 1 ? 12 : 6;
    for (int c = 0; c < 12; ++c)
        rec.nCompPVtifK[c] = c < rec.nCompCount ? m.nRowK[c] : 0;
    for (const auto& p : planes) {
        T_PVIST_PLNE_D pl;
        typename std::remove_reference_t<decltype(rec.aAxis[0])> ax;
        for (int k = 0; k < 3; ++k) {
            pl.dOrigin[k] = p.dOrigin[k];
            pl.dNormal[k] = p.dAxis[0][k];
            for (int r = 0; r < 3; ++r)
                ax.dAxis[r][k] = p.dAxis[r][k];
        }
        ax.strName = p.pszName;
        rec.aPlane.Add(pl);
        rec.aAxis.Add(ax);
    }
}

// The display as the host builds it: visual data (MakeVData run), then its method with the
// model data; Process is left to the caller.
template <class VDATA, class VMETHOD, class RECORD>
struct Display {
    RECORD rec;
    T_PVIST_ALL_D vs;
    T_PVIST_ANIM_D as;
    std::unique_ptr<VDATA> pVD;
    std::unique_ptr<VMETHOD> pVM;

    void Build(ForceSumModel& m, unsigned int nType)
    {
        T_VD_PARAM_D vp;
        vp.pDoc = &m.doc;
        vp.pUserDefData = &rec;
        pVD = std::make_unique<VDATA>(nType, vp);
        pVD->MakeVData(&vs, &as, 0);
        T_VM_PARAM_D mp;
        mp.pDoc = &m.doc;
        mp.pVData = pVD.get();
        mp.pVS = &vs;
        mp.pAS = &as;
        mp.nVMType = pVD->GetVisualMethodType(&vs);
        mp.pUserDefData = pVD->m_pLdfsData;
        pVM = std::make_unique<VMETHOD>(mp);
        T_MD_PARAM_D md;
        md.bFlag = 1;
        md.nType = nType;
        pVM->SetMDTCtrl(new CPVSModelDataFEM(md, &m.doc));
    }
};
using LdfsDisplay = Display<CPVSVisualDataLDFS, CPVSVisualMethodLDFS, T_VD_LCLDIRSUM_HOB_D>;
using LdfsdDisplay = Display<CPVSVisualDataLDFSD, CPVSVisualMethodLDFSD, T_VD_LCLDIRSUM_KVR_D>;

// VTK's own attribute integrator (in a VTK module the build does not link): loaded at run time;
// null when it cannot be.
::vtkUnstructuredGridAlgorithm* NewVtkIntegrateAttributes();

// The peer's section of every plane of rec, one plane at a time through VTK's cutter and that
// integrator: the summed area in dArea; the seconds it took, or -1 without the integrator.
double VtkCutAndIntegrate(::vtkUnstructuredGrid* pGrid, const T_VD_LCLDIRSUM_HOB_D& rec, double& dArea);

// Whole contents of a file, bytes as stored.
std::string ReadBytes(const std::string& strPath);

} // namespace kvpvs::test
