#include "ForceSumFixtures.h"

#include <vtkCellData.h>
#include <vtkCellType.h>
#include <vtkCutter.h>
#include <vtkDataArray.h>
#include <vtkPlane.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>
#include <vtkUnstructuredGridAlgorithm.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <dlfcn.h>
#include <fstream>
#include <sstream>
#include <unordered_map>

namespace kvpvs::test {

ForceSumModel::ForceSumModel()
{
    strFolder = dir.path() + "/";
    doc.SetPathName((strFolder + "model.kvp").c_str());
    CZORDocBase::SetCurDoc(&doc);
    CDBBase* pPost = doc.GetPostDB();
    T_POSIF_D set;
    set.strName = "Construction Stages";
    CClassPOsif(pPost).Set(1, set);
    T_PLSIF_D step;
    step.nOsifK = 1;
    step.strName = "Stage 3: Excavation";
    CClassPLsif(pPost).Set(1, step);
    nStepK = 1;
}

ForceSumModel::~ForceSumModel()
{
    if (CZORDocBase::GetCurDoc() == &doc)
        CZORDocBase::SetCurDoc(nullptr);
}

namespace {

unsigned int AddAttr(ForceSumModel& m, int nType, double dThickness)
{
    CDBBase* pDB = m.doc.GetModelDB();
    T_GMAT_D mat;
    mat.dElast = 3.0e7;
    mat.dPoisson = 0.2;
    mat.dWeight = 24.0;
    mat.strName = "Concrete";
    const unsigned int nMat = CClassGmat(pDB).Add(mat);
    T_GPRO_D pro;
    pro.dThickness = dThickness;
    const unsigned int nPro = CClassGpro(pDB).Add(pro);
    T_ATTR_D attr;
    attr.nType = nType;
    attr.nGproK = nPro;
    attr.nGmatK = nMat;
    return CClassAttr(pDB).Add(attr);
}

} // namespace

void BuildHexBlock(ForceSumModel& m, const HexBlockGrid& s)
{
    CDBBase* pDB = m.doc.GetModelDB();
    m.nAttrK = AddAttr(m, 301, 0.0);
    CClassNode clsNode(pDB);
    std::vector<unsigned int> aNode;
    for (int k = 0; k <= s.nz; ++k)
        for (int j = 0; j <= s.ny; ++j)
            for (int i = 0; i <= s.nx; ++i) {
                T_NODE_D n;
                n.dXyz[0] = s.x0 + i * s.dx;
                n.dXyz[1] = s.y0 + j * s.dy;
                n.dXyz[2] = s.z0 + k * s.dz;
                if (s.bSheared) {
                    const double x = n.dXyz[0], y = n.dXyz[1], z = n.dXyz[2];
                    n.dXyz[0] = x + z;
                    n.dXyz[1] = y - x + z;
                    n.dXyz[2] = z - y;
                }
                aNode.push_back(clsNode.Add(n));
            }
    auto id = [&](int i, int j, int k) {
        return aNode[static_cast<size_t>((k * (s.ny + 1) + j) * (s.nx + 1) + i)];
    };
    CClassElem clsElem(pDB);
    // Five tetrahedra per box, of alternate kind in neighbouring boxes so that both split a face
    // on one diagonal.
    static const int kTetA[5][4] = {{0, 1, 3, 4}, {1, 2, 3, 6}, {1, 4, 5, 6}, {3, 4, 6, 7}, {1, 3, 4, 6}};
    static const int kTetB[5][4] = {{0, 1, 2, 5}, {0, 2, 3, 7}, {0, 4, 5, 7}, {2, 5, 6, 7}, {0, 2, 7, 5}};
    static const int kTetEdges[6][2] = {{0, 1}, {1, 2}, {2, 0}, {0, 3}, {1, 3}, {2, 3}};
    std::unordered_map<std::uint64_t, unsigned int> edgeNode;
    auto midway = [&](unsigned int a, unsigned int b) {
        const std::uint64_t key = static_cast<std::uint64_t>(std::min(a, b)) << 32 | std::max(a, b);
        auto it = edgeNode.find(key);
        if (it != edgeNode.end())
            return it->second;
        T_NODE_D na, nb, n;
        clsNode.Get(a, na);
        clsNode.Get(b, nb);
        for (int k = 0; k < 3; ++k)
            n.dXyz[k] = (na.dXyz[k] + nb.dXyz[k]) / 2;
        return edgeNode.emplace(key, clsNode.Add(n)).first->second;
    };
    auto add = [&](int nCellType, const unsigned int* pIds, int n) {
        T_ELEM_D e;
        e.nType = 8;
        e.nCellType = nCellType;
        e.nPropK = m.nAttrK;
        e.nMatlK = 1;
        for (int j = 0; j < n; ++j)
            e.aNodeK.Add(pIds[j]);
        for (int j = 0; nCellType == VTK_QUADRATIC_TETRA && j < 6; ++j)
            e.aNodeK.Add(midway(pIds[kTetEdges[j][0]], pIds[kTetEdges[j][1]]));
        m.aElemK.push_back(clsElem.Add(e));
    };
    for (int k = 0; k < s.nz; ++k)
        for (int j = 0; j < s.ny; ++j)
            for (int i = 0; i < s.nx; ++i) {
                const unsigned int ids[8] = {id(i, j, k),         id(i + 1, j, k),     id(i + 1, j + 1, k),
                                             id(i, j + 1, k),     id(i, j, k + 1),     id(i + 1, j, k + 1),
                                             id(i + 1, j + 1, k + 1), id(i, j + 1, k + 1)};
                if (!s.bTetrahedra) {
                    add(VTK_HEXAHEDRON, ids, 8);
                    continue;
                }
                for (const auto& t : (i + j + k) % 2 ? kTetB : kTetA) {
                    const unsigned int tet[4] = {ids[t[0]], ids[t[1]], ids[t[2]], ids[t[3]]};
                    add(s.bQuadratic ? VTK_QUADRATIC_TETRA : VTK_TETRA, tet, 4);
                }
            }
}

void BuildPlateStrip(ForceSumModel& m, int nx, int nz, double dx, double dz, double x0, double y0, double z0,
                     double dThickness)
{
    CDBBase* pDB = m.doc.GetModelDB();
    m.nAttrK = AddAttr(m, 201, dThickness);
    CClassNode clsNode(pDB);
    std::vector<unsigned int> aNode;
    for (int k = 0; k <= nz; ++k)
        for (int i = 0; i <= nx; ++i) {
            T_NODE_D n;
            n.dXyz[0] = x0 + i * dx;
            n.dXyz[1] = y0;
            n.dXyz[2] = z0 + k * dz;
            aNode.push_back(clsNode.Add(n));
        }
    auto id = [&](int i, int k) { return aNode[static_cast<size_t>(k * (nx + 1) + i)]; };
    CClassElem clsElem(pDB);
    for (int k = 0; k < nz; ++k)
        for (int i = 0; i < nx; ++i) {
            T_ELEM_D e;
            e.nType = 4;
            e.nCellType = 9;
            e.nPropK = m.nAttrK;
            const unsigned int ids[4] = {id(i, k), id(i + 1, k), id(i + 1, k + 1), id(i, k + 1)};
            for (unsigned int n : ids)
                e.aNodeK.Add(n);
            m.aElemK.push_back(clsElem.Add(e));
        }
}

namespace {

template <size_t N, class F>
void AddRows(ForceSumModel& m, int nClass, unsigned int nItem0, const F& field, int nComp)
{
    CDBBase* pModel = m.doc.GetModelDB();
    CDBBase* pPost = m.doc.GetPostDB();
    CClassNode clsNode(pModel);
    CClassElem clsElem(pModel);
    for (int c = 0; c < nComp; ++c) {
        T_PVTIF_D row;
        row.nItem = nItem0 + static_cast<unsigned int>(c);
        row.nStepK = m.nStepK;
        row.nQuantity = 5;
        row.nResultClass = nClass;
        row.nCompCode = static_cast<unsigned int>(c);
        const unsigned int nRowK = CClassPVtif(pPost).Add(row);
        m.nRowK[c] = static_cast<int>(nRowK);
        T_PVAL_D val;
        CArray<unsigned int, unsigned int> aElemK;
        clsElem.GetKeyList(aElemK);
        for (int e = 0; e < aElemK.GetSize(); ++e) {
            T_ELEM_D elem;
            clsElem.Get(aElemK[e], elem);
            std::vector<double> v(1, 0.0);
            double cx = 0, cy = 0, cz = 0;
            for (int j = 0; j < elem.GetNumberOfNodes(); ++j) {
                T_NODE_D n;
                clsNode.Get(elem.aNodeK[j], n);
                v.push_back(field(n.dXyz[0], n.dXyz[1], n.dXyz[2])[static_cast<size_t>(c)]);
                cx += n.dXyz[0];
                cy += n.dXyz[1];
                cz += n.dXyz[2];
            }
            const double nn = elem.GetNumberOfNodes();
            v[0] = field(cx / nn, cy / nn, cz / nn)[static_cast<size_t>(c)];
            val.Append(aElemK[e], v.data(), static_cast<int>(v.size()));
        }
        CClassPVal(pPost).Set(nRowK, val);
    }
}

} // namespace

void AddStressRows(ForceSumModel& m, const StressField& f) { AddRows<6>(m, 8, 141, f, 6); }

void AddPlateRows(ForceSumModel& m, const PlateField& f) { AddRows<12>(m, 23, 85, f, 12); }

void SetElementValues(ForceSumModel& m, int c, unsigned int nElemK, std::vector<double> v)
{
    CClassPVal cls(m.doc.GetPostDB());
    T_PVAL_D val;
    cls.Get(static_cast<unsigned int>(m.nRowK[c]), val);
    T_PVAL_D out;
    for (int i = 0; i < val.GetEntityCount(); ++i) {
        int n = 0;
        const double* p = val.Find(val.aEntK[i], n);
        if (val.aEntK[i] == nElemK)
            out.Append(nElemK, v.data(), static_cast<int>(v.size()));
        else
            out.Append(val.aEntK[i], p, n);
    }
    cls.Set(static_cast<unsigned int>(m.nRowK[c]), out);
}

unsigned int AddNodeVelocityRow(ForceSumModel& m, const VelocityField& f)
{
    CDBBase* pPost = m.doc.GetPostDB();
    T_PENGR_D engr;
    engr.nKind = 1;
    engr.strName = "Node";
    const unsigned int nEngrK = CClassPEngr(pPost).Add(engr);
    T_PVTIF_D row;
    row.nItem = 7;
    row.nStepK = m.nStepK;
    row.nEngrK = nEngrK;
    row.nQuantity = 7;
    row.nResultClass = 38;
    row.nCompCode = 7;
    row.aComp.Add(7);
    row.strName = "Flow velocity";
    const unsigned int nRowK = CClassPVtif(pPost).Add(row);
    CClassNode clsNode(m.doc.GetModelDB());
    CArray<unsigned int, unsigned int> aNodeK;
    clsNode.GetKeyList(aNodeK);
    T_PVAL_D val;
    for (int i = 0; i < aNodeK.GetSize(); ++i) {
        T_NODE_D n;
        clsNode.Get(aNodeK[i], n);
        const std::array<double, 3> v = f(n.dXyz[0], n.dXyz[1], n.dXyz[2]);
        const double run[7] = {std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), v[0], v[1], v[2], -v[0], -v[1], -v[2]};
        val.Append(aNodeK[i], run, 7);
    }
    CClassPVal(pPost).Set(nRowK, val);
    return nRowK;
}

void SetEntityValues(ForceSumModel& m, unsigned int nRowK, unsigned int nEntK, std::vector<double> v)
{
    CClassPVal cls(m.doc.GetPostDB());
    T_PVAL_D val;
    cls.Get(nRowK, val);
    T_PVAL_D out;
    bool bDone = false;
    for (int i = 0; i < val.GetEntityCount(); ++i) {
        int n = 0;
        const double* p = val.Find(val.aEntK[i], n);
        if (!bDone && val.aEntK[i] >= nEntK) {
            bDone = true;
            if (!v.empty())
                out.Append(nEntK, v.data(), static_cast<int>(v.size()));
            if (val.aEntK[i] == nEntK)
                continue;
        }
        out.Append(val.aEntK[i], p, n);
    }
    if (!bDone && !v.empty())
        out.Append(nEntK, v.data(), static_cast<int>(v.size()));
    cls.Set(nRowK, out);
}

vtkUnstructuredGridAlgorithm* NewVtkIntegrateAttributes()
{
    static void* pLib = dlopen("libvtkFiltersParallel-9.1.so.1", RTLD_NOW | RTLD_GLOBAL);
    if (!pLib)
        return nullptr;
    using PFN = vtkUnstructuredGridAlgorithm* (*)();
    auto pfn = reinterpret_cast<PFN>(dlsym(pLib, "_ZN22vtkIntegrateAttributes3NewEv"));
    return pfn ? pfn() : nullptr;
}

double VtkCutAndIntegrate(vtkUnstructuredGrid* pGrid, const T_VD_LCLDIRSUM_HOB_D& rec, double& dArea)
{
    dArea = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (int p = 0; p < rec.aPlane.GetSize(); ++p) {
        auto plane = vtkSmartPointer<vtkPlane>::New();
        plane->SetOrigin(const_cast<double*>(rec.aPlane[p].dOrigin));
        plane->SetNormal(const_cast<double*>(rec.aPlane[p].dNormal));
        auto cutter = vtkSmartPointer<vtkCutter>::New();
        cutter->SetCutFunction(plane);
        cutter->SetInputData(pGrid);
        vtkSmartPointer<vtkUnstructuredGridAlgorithm> integ;
        integ.TakeReference(NewVtkIntegrateAttributes());
        if (!integ)
            return -1;
        integ->SetInputConnection(cutter->GetOutputPort());
        integ->Update();
        if (vtkDataArray* pArea = integ->GetOutput()->GetCellData()->GetArray("Area"))
            dArea += pArea->GetComponent(0, 0);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

std::string ReadBytes(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

} // namespace kvpvs::test
