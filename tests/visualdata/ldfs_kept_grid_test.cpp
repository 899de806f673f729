// The force-sum display's solid grid, whose cells are written straight into VTK's arrays,
// against a plain build of the same model through vtkUnstructuredGrid::InsertNextCell: element
// lists that mix solids with plates, lines, poly-lines, elements naming nodes the model lacks
// and misfit node lists, each left-out kind in the middle of the list and at its end, and
// again after a refresh in which other solids have lost their values.
#include "ForceSumFixtures.h"

#include <gtest/gtest.h>
#include <vtkDoubleArray.h>
#include <vtkIdList.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <map>
#include <random>
#include <set>
#include <vector>

using namespace kvpvs::test;

namespace {

constexpr unsigned int kMissingNode = 999999;

bool IsSolid(int nCellType) { return nCellType == 10 || nCellType == 12 || nCellType == 13; }

unsigned int AddElement(ForceSumModel& m, int nCellType, const std::vector<unsigned int>& aNodeK)
{
    T_ELEM_D e;
    e.nType = IsSolid(nCellType) ? 8 : 4;
    e.nCellType = nCellType;
    e.nPropK = m.nAttrK;
    for (unsigned int k : aNodeK)
        e.aNodeK.Add(k);
    return CClassElem(m.doc.GetModelDB()).Add(e);
}

// The grid as InsertNextCell builds it: points are the model's nodes (in node order) that a
// fitting solid with values touches, valued by the mean of those solids' node values; cells
// are the fitting elements, in element order, whose nodes are all points.
vtkSmartPointer<vtkUnstructuredGrid> PlainGrid(ForceSumModel& m, const std::set<unsigned int>& without)
{
    CClassNode clsNode(m.doc.GetModelDB());
    CClassElem clsElem(m.doc.GetModelDB());
    CArray<unsigned int, unsigned int> aNodeK, aElemK;
    clsNode.GetKeyList(aNodeK);
    clsElem.GetKeyList(aElemK);
    CClassPVal clsVal(m.doc.GetPostDB());
    T_PVAL_D val;
    clsVal.Get(static_cast<unsigned int>(m.nRowK[0]), val);
    std::map<unsigned int, std::pair<double, int>> sum; // node key: sum, count
    for (int i = 0; i < aElemK.GetSize(); ++i) {
        T_ELEM_D e;
        clsElem.Get(aElemK[i], e);
        if (!IsSolid(e.nCellType) || e.GetNumberOfNodes() != (e.nCellType == 12 ? 8 : e.nCellType == 13 ? 6 : 4) ||
            without.count(aElemK[i]))
            continue;
        int n = 0;
        const double* v = val.Find(aElemK[i], n);
        for (int j = 0; j < e.GetNumberOfNodes(); ++j) {
            T_NODE_D node;
            if (!clsNode.Get(e.aNodeK[j], node))
                continue;
            sum[e.aNodeK[j]].first += v[j + 1];
            sum[e.aNodeK[j]].second += 1;
        }
    }
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    vtkNew<vtkPoints> pts;
    vtkNew<vtkDoubleArray> values;
    std::map<unsigned int, vtkIdType> pointOf;
    for (int i = 0; i < aNodeK.GetSize(); ++i) {
        const auto it = sum.find(aNodeK[i]);
        if (it == sum.end())
            continue;
        T_NODE_D node;
        clsNode.Get(aNodeK[i], node);
        pointOf[aNodeK[i]] = pts->InsertNextPoint(node.dXyz);
        values->InsertNextValue(it->second.first / it->second.second);
    }
    grid->SetPoints(pts);
    grid->GetPointData()->SetScalars(values);
    for (int i = 0; i < aElemK.GetSize(); ++i) {
        T_ELEM_D e;
        clsElem.Get(aElemK[i], e);
        const int n = e.GetNumberOfNodes();
        const bool bFits = e.nCellType == 12 ? n == 8
                           : e.nCellType == 13 ? n == 6
                           : e.nCellType == 10 || e.nCellType == 9 ? n == 4
                           : e.nCellType == 5 ? n == 3
                           : e.nCellType == 3 ? n == 2
                                               : e.nCellType == 4 && n >= 2;
        if (!bFits || (IsSolid(e.nCellType) && without.count(aElemK[i])))
            continue;
        vtkNew<vtkIdList> ids;
        for (int j = 0; j < n && ids->GetNumberOfIds() == j; ++j)
            if (const auto it = pointOf.find(e.aNodeK[j]); it != pointOf.end())
                ids->InsertNextId(it->second);
        if (ids->GetNumberOfIds() == n)
            grid->InsertNextCell(e.nCellType, ids);
    }
    return grid;
}

void ExpectSameGrid(vtkUnstructuredGrid* kept, vtkUnstructuredGrid* plain, int nCase)
{
    SCOPED_TRACE(nCase);
    ASSERT_EQ(kept->GetNumberOfPoints(), plain->GetNumberOfPoints());
    for (vtkIdType p = 0; p < plain->GetNumberOfPoints(); ++p) {
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(kept->GetPoint(p)[k], plain->GetPoint(p)[k]) << "point " << p;
        EXPECT_DOUBLE_EQ(kept->GetPointData()->GetScalars()->GetComponent(p, 0),
                         plain->GetPointData()->GetScalars()->GetComponent(p, 0))
            << "point " << p;
    }
    ASSERT_EQ(kept->GetNumberOfCells(), plain->GetNumberOfCells());
    vtkNew<vtkIdList> a, b;
    for (vtkIdType c = 0; c < plain->GetNumberOfCells(); ++c) {
        EXPECT_EQ(kept->GetCellType(c), plain->GetCellType(c)) << "cell " << c;
        kept->GetCellPoints(c, a);
        plain->GetCellPoints(c, b);
        ASSERT_EQ(a->GetNumberOfIds(), b->GetNumberOfIds()) << "cell " << c;
        for (vtkIdType j = 0; j < b->GetNumberOfIds(); ++j)
            EXPECT_EQ(a->GetId(j), b->GetId(j)) << "cell " << c;
    }
}

} // namespace

// A 2x2x2 block with free nodes beside it. The first eight cases put one left-out kind (a plate
// on two free nodes, a line to a free node, a poly-line leaving the block, a hexahedron naming a
// node the model lacks) after the block, at the list's end or before one more hexahedron; the
// rest draw random lists. The sanitizer build sees a write past the cell array at once.
TEST(ForceSumKeptGrid, MatchesAPlainBuildCellForCellAndPointForPoint)
{
    std::mt19937 rng(20261208);
    for (int nCase = 0; nCase < 40; ++nCase) {
        ForceSumModel m;
        BuildHexBlock(m, HexBlockGrid{2, 2, 2});
        CArray<unsigned int, unsigned int> aBlockNode;
        CClassNode(m.doc.GetModelDB()).GetKeyList(aBlockNode);
        std::vector<unsigned int> aNode(aBlockNode.GetData(), aBlockNode.GetData() + aBlockNode.GetSize());
        std::vector<unsigned int> aFree;
        for (int i = 0; i < 4; ++i) {
            T_NODE_D n;
            n.dXyz[0] = 5.0 + i;
            n.dXyz[1] = -1.0;
            n.dXyz[2] = 0.5 * i;
            aFree.push_back(CClassNode(m.doc.GetModelDB()).Add(n));
        }
        T_ELEM_D hex;
        CClassElem(m.doc.GetModelDB()).Get(m.aElemK[0], hex);
        const std::vector<unsigned int> aHex(hex.aNodeK.GetData(), hex.aNodeK.GetData() + 8);
        auto pick = [&](const std::vector<unsigned int>& from) { return from[rng() % from.size()]; };
        const auto leftOut = [&](int nKind) {
            switch (nKind) {
            case 0: AddElement(m, 9, {aHex[0], aHex[1], aFree[0], aFree[1]}); break;
            case 1: AddElement(m, 3, {aHex[6], aFree[2]}); break;
            case 2: AddElement(m, 4, {aHex[0], aHex[6], aFree[3]}); break;
            default: AddElement(m, 12, {aHex[0], aHex[1], aHex[2], aHex[3], aHex[4], aHex[5], aHex[6], kMissingNode});
            }
        };
        if (nCase < 8) {
            leftOut(nCase % 4);
            if (nCase >= 4)
                AddElement(m, 12, aHex);
        } else {
            for (int i = 0, n = 4 + static_cast<int>(rng() % 12); i < n; ++i) {
                switch (rng() % 8) {
                case 0: AddElement(m, 12, aHex); break;
                case 1: AddElement(m, 13, {aHex[0], aHex[1], aHex[2], aHex[4], aHex[5], aHex[6]}); break;
                case 2: AddElement(m, 10, {pick(aNode), pick(aNode), pick(aNode), pick(aNode)}); break;
                case 3: AddElement(m, 5, {pick(aNode), pick(aNode), pick(aNode)}); break;
                case 4: AddElement(m, 12, {aHex[0], aHex[1], aHex[2], aHex[3]}); break; // misfit
                default: leftOut(static_cast<int>(rng() % 4));
                }
            }
        }
        AddStressRows(m, [](double x, double y, double z) { return std::array<double, 6>{x, y, z, 0, 0, 0}; });
        CArray<unsigned int, unsigned int> aElemK;
        CClassElem(m.doc.GetModelDB()).GetKeyList(aElemK);
        // Values that differ from element to element, so that a point's mean names its solids.
        for (int i = 0; i < aElemK.GetSize(); ++i) {
            T_ELEM_D e;
            CClassElem(m.doc.GetModelDB()).Get(aElemK[i], e);
            std::vector<double> v(static_cast<size_t>(e.GetNumberOfNodes()) + 1);
            for (size_t j = 0; j < v.size(); ++j)
                v[j] = 100.0 * i + static_cast<double>(j);
            SetElementValues(m, 0, aElemK[i], v);
        }

        LdfsDisplay d;
        FillRecord(d.rec, m, 0, {{{1.0, 1.0, 1.0}, {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, "Z"}});
        d.Build(m, 8);
        std::set<unsigned int> without;
        for (int nRefresh = 0; nRefresh < 2; ++nRefresh) {
            auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
            ASSERT_EQ(d.pVD->MakeVGeomDataByPlane(d.rec.aAxis[0], d.rec.aPlane[0], grid, &d.vs, &d.as, nullptr,
                                                  d.pVM->GetMDTCtrl(), 0),
                      1);
            ExpectSameGrid(grid, PlainGrid(m, without), nCase);
            // A block hexahedron and a random element lose their values: the refresh rebuilds.
            for (unsigned int k : {m.aElemK[rng() % m.aElemK.size()], aElemK[static_cast<int>(rng() % aElemK.GetSize())]}) {
                without.insert(k);
                for (int c = 0; c < 6; ++c)
                    SetEntityValues(m, static_cast<unsigned int>(m.nRowK[c]), k, {});
            }
            d.pVD->MakeVData(&d.vs, &d.as, 0);
        }
    }
}
