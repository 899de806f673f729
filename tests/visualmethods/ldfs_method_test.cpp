// Force-sum visual methods end to end: a block of hexahedra and a plate strip with known
// fields, cut by planes; sums against closed forms, cut area and centre against VTK's own
// cutter and integrator, the report against a golden text, the design broadcast and drawing.
#include "ForceSumFixtures.h"
#include "ForceSumReference.h"

#include "CustomSetting.h"
#include "FactoryPVS.h"
#include "afxfile.h"
#include "PVSLegendObjectUserDefMode.h"
#include "PVSMeshMngrBrdgBase.h"
#include "PVSRendererBase.h"
#include "UnitCtrl.h"

#include <gtest/gtest.h>
#include <vtkCellArray.h>
#include <vtkCellData.h>
#include <vtkCutter.h>
#include <vtkDoubleArray.h>
#include <vtkUnstructuredGridAlgorithm.h>
#include <vtkPlane.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>

using namespace kvpvs::test;

namespace {

const T_TEST_PLANE kPlaneX{{1.5, 0, 0}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, "Cut-X"};

std::array<double, 6> Iso(double p) { return {p, p, p, 0, 0, 0}; }

} // namespace

// A block 3 x 2 x 4 under uniform stress, cut at x = 1.5: force = area x S n, with no moment
// about the cut's centre.
TEST(ForceSumSolid, ConstantStressGivesAreaTimesTraction)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{3, 2, 4, 1.0, 1.0, 1.0});
    const std::array<double, 6> s{-30, -12, -50, 4, 2, -6};
    AddStressRows(m, [&](double, double, double) { return s; });
    LdfsDisplay d;
    FillRecord(d.rec, m, 0, {kPlaneX});
    d.rec.bIncludeText = 0;
    d.Build(m, 8);
    ASSERT_EQ(d.pVM->Process(), 1);
    ASSERT_EQ(d.pVM->m_aPlaneResult.GetSize(), 1);
    const double A = 2.0 * 4.0;
    // t = S n with n = X: (sxx, sxy, szx).
    // Within rounding of the largest force (400), moments of the largest force times the size.
    EXPECT_NEAR(d.pVM->m_aValue[0][0], A * s[0], 1e-12 * 400);
    EXPECT_NEAR(d.pVM->m_aValue[1][0], A * s[3], 1e-12 * 400);
    EXPECT_NEAR(d.pVM->m_aValue[2][0], A * s[5], 1e-12 * 400);
    for (int k = 3; k < 6; ++k)
        EXPECT_NEAR(d.pVM->m_aValue[k][0], 0.0, 1e-12 * 400 * 5.4);
    const T_LCLDIR_PLNE_D& pr = d.pVM->m_aPlaneResult[0];
    EXPECT_NEAR(pr.dCentre[0], 1.5, 1e-12);
    EXPECT_NEAR(pr.dCentre[1], 1.0, 1e-12);
    EXPECT_NEAR(pr.dCentre[2], 2.0, 1e-12);
    EXPECT_EQ(pr.strName, "Cut-X");
}

// sxx = a + b y + c z over the cut x = 1.5 of a Ly x Lz face: Fx = A sxx(centre),
// My = c Ly Lz^3 / 12 and Mz = -b Lz Ly^3 / 12 about the centre (the triangle rule is exact).
TEST(ForceSumSolid, LinearStressGivesExactMoments)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{3, 3, 2, 1.0, 1.0, 1.5});
    const double a = 100, b = -8, c = 5;
    AddStressRows(m, [&](double, double y, double z) { return std::array<double, 6>{a + b * y + c * z, 0, 0, 0, 0, 0}; });
    LdfsDisplay d;
    FillRecord(d.rec, m, 0, {kPlaneX});
    d.rec.bIncludeText = 0;
    d.Build(m, 8);
    d.pVM->Process();
    ASSERT_EQ(d.pVM->m_aValue[0].GetSize(), 1);
    const double Ly = 3.0, Lz = 3.0, A = Ly * Lz;
    const double F = A * (a + b * Ly / 2 + c * Lz / 2);
    EXPECT_NEAR(d.pVM->m_aValue[0][0], F, 1e-12 * F);
    EXPECT_NEAR(d.pVM->m_aValue[3][0], 0.0, 1e-12 * F * 5.0);
    EXPECT_NEAR(d.pVM->m_aValue[4][0], c * Ly * Lz * Lz * Lz / 12.0, 1e-12 * F * 5.0);
    EXPECT_NEAR(d.pVM->m_aValue[5][0], -b * Lz * Ly * Ly * Ly / 12.0, 1e-12 * F * 5.0);
}

namespace {

struct ObliquePlane {
    const char* name;
    double origin[3];
    double normal[3];
};

void PrintTo(const ObliquePlane& p, std::ostream* os)
{
    *os << "origin (" << p.origin[0] << ' ' << p.origin[1] << ' ' << p.origin[2] << "), normal (" << p.normal[0] << ' '
        << p.normal[1] << ' ' << p.normal[2] << ')';
}

class CutAgainstVtk : public ::testing::TestWithParam<ObliquePlane> {};

// The same grid for VTK, from the model records.
vtkSmartPointer<vtkUnstructuredGrid> VtkGridOf(ForceSumModel& m)
{
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    auto pts = vtkSmartPointer<vtkPoints>::New();
    pts->SetDataTypeToDouble();
    CArray<unsigned int, unsigned int> nodeK;
    CClassNode cn(m.doc.GetModelDB());
    cn.GetKeyList(nodeK);
    std::map<unsigned int, vtkIdType> id;
    for (int i = 0; i < nodeK.GetSize(); ++i) {
        T_NODE_D n;
        cn.Get(nodeK[i], n);
        id[nodeK[i]] = pts->InsertNextPoint(n.dXyz);
    }
    grid->SetPoints(pts);
    CClassElem ce(m.doc.GetModelDB());
    for (unsigned int k : m.aElemK) {
        T_ELEM_D e;
        ce.Get(k, e);
        vtkIdType ids[8];
        for (int j = 0; j < 8; ++j)
            ids[j] = id[e.aNodeK[j]];
        grid->InsertNextCell(VTK_HEXAHEDRON, 8, ids);
    }
    return grid;
}

} // namespace

// Under an isotropic unit stress the normal force is the cut area: compare area and centre
// with VTK's cutter and integrator on the same grid and plane.
TEST_P(CutAgainstVtk, AreaAndCentreAgree)
{
    const ObliquePlane& p = GetParam();
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{5, 4, 3, 1.0, 1.25, 1.0});
    AddStressRows(m, [](double, double, double) { return Iso(1.0); });
    double n[3] = {p.normal[0], p.normal[1], p.normal[2]};
    const double l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (double& v : n)
        v /= l;
    T_TEST_PLANE tp{{p.origin[0], p.origin[1], p.origin[2]}, {{n[0], n[1], n[2]}, {0, 0, 0}, {0, 0, 0}}, "Oblique"};
    // Y perpendicular to n: n x Z (normalised); Z = X x Y.
    double y[3] = {n[1], -n[0], 0};
    if (std::fabs(n[2]) > 0.99)
        y[1] = 1.0;
    const double ly = std::sqrt(y[0] * y[0] + y[1] * y[1]);
    for (int k = 0; k < 3; ++k)
        tp.dAxis[1][k] = y[k] / ly;
    tp.dAxis[2][0] = n[1] * tp.dAxis[1][2] - n[2] * tp.dAxis[1][1];
    tp.dAxis[2][1] = n[2] * tp.dAxis[1][0] - n[0] * tp.dAxis[1][2];
    tp.dAxis[2][2] = n[0] * tp.dAxis[1][1] - n[1] * tp.dAxis[1][0];
    LdfsDisplay d;
    FillRecord(d.rec, m, 0, {tp});
    d.rec.bIncludeText = 0;
    d.Build(m, 8);
    d.pVM->Process();
    ASSERT_EQ(d.pVM->m_aValue[0].GetSize(), 1);

    auto grid = VtkGridOf(m);
    auto plane = vtkSmartPointer<vtkPlane>::New();
    plane->SetOrigin(p.origin[0], p.origin[1], p.origin[2]);
    plane->SetNormal(n);
    auto cutter = vtkSmartPointer<vtkCutter>::New();
    cutter->SetCutFunction(plane);
    cutter->SetInputData(grid);
    cutter->SetOutputPointsPrecision(vtkAlgorithm::DOUBLE_PRECISION);
    cutter->Update();
    // Integrate the coordinates too, for the centre.
    vtkPolyData* cut = cutter->GetOutput();
    auto xyz = vtkSmartPointer<vtkDoubleArray>::New();
    xyz->SetName("xyz");
    xyz->SetNumberOfComponents(3);
    for (vtkIdType i = 0; i < cut->GetNumberOfPoints(); ++i)
        xyz->InsertNextTuple(cut->GetPoint(i));
    cut->GetPointData()->AddArray(xyz);
    vtkSmartPointer<vtkUnstructuredGridAlgorithm> integ;
    integ.TakeReference(NewVtkIntegrateAttributes());
    ASSERT_NE(integ, nullptr);
    integ->SetInputData(cut);
    integ->Update();
    vtkUnstructuredGrid* out = integ->GetOutput();
    const double area = out->GetCellData()->GetArray("Area")->GetComponent(0, 0);
    // No fan triangle is lost, however thin: the exact polygon's area and centre to rounding.
    // VTK's own cut and integration lose up to a few 1e-9 of these planes' areas: compared at 1e-8.
    const auto exact = MomentsOf(ClipBoxByPlane({0, 0, 0}, {5, 5, 3}, {p.origin[0], p.origin[1], p.origin[2]},
                                                {n[0], n[1], n[2]}));
    EXPECT_NEAR(d.pVM->m_aValue[0][0], exact.dArea, 1e-12 * exact.dArea);
    EXPECT_NEAR(d.pVM->m_aValue[0][0], area, 1e-8 * area);
    const T_LCLDIR_PLNE_D& pr = d.pVM->m_aPlaneResult[0];
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(pr.dCentre[k], exact.Centre()[static_cast<size_t>(k)], 1e-12 * 7.7);
        EXPECT_NEAR(pr.dCentre[k], out->GetPointData()->GetArray("xyz")->GetComponent(0, k) / area, 1e-8 * 7.7);
    }
    // Isotropic stress: no shear on any plane, no moment about the centre.
    EXPECT_NEAR(d.pVM->m_aValue[1][0], 0.0, 1e-12 * area);
    EXPECT_NEAR(d.pVM->m_aValue[2][0], 0.0, 1e-12 * area);
}

INSTANTIATE_TEST_SUITE_P(Planes, CutAgainstVtk,
                         ::testing::Values(ObliquePlane{"NormalInTheXyPlane", {2.3, 2.1, 1.4}, {1, 0.25, 0}},
                                           ObliquePlane{"NormalOblique", {2.6, 2.4, 1.6}, {1, 0.3, 0.2}},
                                           ObliquePlane{"NormalAlongZ", {2.2, 2.5, 1.3}, {0, 0, 1}}),
                         [](const ::testing::TestParamInfo<ObliquePlane>& i) { return std::string(i.param.name); });

// A plate strip of width W in the plane y = 0 under a constant membrane force N along its
// length, cut across: F = N W.
TEST(ForceSumPlate, ConstantMembraneForceGivesNTimesWidth)
{
    ForceSumModel m;
    BuildPlateStrip(m, 4, 3, 1.0, 0.5, 0.0, 0.0, 0.0, 0.4);
    const double N = 120.0;
    AddPlateRows(m, [&](double, double, double) { return std::array<double, 12>{N, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; });
    LdfsDisplay d;
    FillRecord(d.rec, m, 1, {{{2.5, 0, 0}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, "Wall"}});
    d.rec.bIncludeText = 0;
    d.Build(m, 8);
    d.pVM->Process();
    ASSERT_EQ(d.pVM->m_aValue[0].GetSize(), 1);
    EXPECT_NEAR(d.pVM->m_aValue[0][0], N * 1.5, 1e-12 * N * 1.5);
    EXPECT_EQ(d.pVM->m_aValue[1][0], 0.0) << "plate sums below 1e-15 are stored as 0";
    EXPECT_EQ(d.pVM->m_aValue[2][0], 0.0);
    for (int k = 3; k < 6; ++k)
        EXPECT_NEAR(d.pVM->m_aValue[k][0], 0.0, 1e-12 * N * 1.5 * 4.0);
    EXPECT_NEAR(d.pVM->m_aPlaneResult[0].dCentre[2], 0.75, 1e-12);
}

TEST(ForceSumPlate, ZeroThicknessGivesNoResultNotNaN)
{
    ForceSumModel m;
    BuildPlateStrip(m, 2, 2, 1.0, 1.0, 0.0, 0.0, 0.0, 0.0);
    AddPlateRows(m, [](double, double, double) { return std::array<double, 12>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; });
    LdfsdDisplay d;
    FillRecord(d.rec, m, 1, {{{0.5, 0, 0}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, "Wall"}});
    d.rec.bIncludeText = 0;
    d.Build(m, 12);
    d.pVM->Process();
    EXPECT_EQ(d.pVM->m_aPlaneResult.GetSize(), 0);
    EXPECT_EQ(d.pVM->m_aValue[0].GetSize(), 0);
}

namespace {

std::string Golden(const char* set, const char* step, const std::vector<std::array<double, 6>>& sums,
                   const std::vector<std::array<double, 3>>& centresOut, const char* name, bool header)
{
    std::string s;
    char buf[512];
    if (header) {
        s += "-------------------------------------------------------\r\n";
        s += " LOCAL DIRECTION FORCE SUM RESULT  \r\n";
        s += "-------------------------------------------------------\r\n";
        s += "                                          unit: kN, m\r\n";
    }
    std::snprintf(buf, sizeof buf, "** Analysis Set  : %s\r\r\n", set);
    s += buf;
    std::snprintf(buf, sizeof buf, "** Analysis Step : %s\r\r\n", step);
    s += buf;
    for (size_t i = 0; i < sums.size(); ++i) {
        s += " \r\r\n";
        std::snprintf(buf, sizeof buf, " * Plane Name : %s\r\r\n", name);
        s += buf;
        std::snprintf(buf, sizeof buf, " * Center Position : X=%.8g Y=%.8g Z=%.8g\r\r\n", centresOut[i][0],
                      centresOut[i][1], centresOut[i][2]);
        s += buf;
        s += " * X Direction : 1,0,0\r\r\n * Y Direction : 0,1,0\r\r\n * Z Direction : 0,0,1\r\r\n";
        s += " * Result \r\r\n";
        std::snprintf(buf, sizeof buf, "   Fx: %14.4e   Mx: %14.4e\r\r\n", sums[i][0], sums[i][3]);
        s += buf;
        std::snprintf(buf, sizeof buf, "   Fy: %14.4e   My: %14.4e\r\r\n", sums[i][1], sums[i][4]);
        s += buf;
        std::snprintf(buf, sizeof buf, "   Fz: %14.4e   Mz: %14.4e\r\r\n", sums[i][2], sums[i][5]);
        s += buf;
        s += "\r\n";
    }
    return s;
}

} // namespace

// The report's bytes: text mode turns every "\n" into "\r\n"; the centre is printed in output
// lengths (here millimetres), the sums as computed, the directions as unit vectors.
TEST(ForceSumReport, BytesMatchTheLayoutAndOverwrite)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{3, 2, 2});
    AddStressRows(m, [](double, double, double) { return Iso(-10.0); });
    CDocCtrl::GetUnitCtrl(&m.doc)->SetFactor(1, 1000.0);
    const std::string path = m.strFolder + "LdfsFile.txt";
    { std::FILE* f = std::fopen(path.c_str(), "wb"); std::fputs("old contents that must go\n", f); std::fclose(f); }
    LdfsDisplay d;
    T_TEST_PLANE p2 = kPlaneX;
    p2.dOrigin[0] = 0.5;
    // Axis rows of any length are reported as their unit directions.
    for (auto& row : p2.dAxis)
        for (double& v : row)
            v *= 1e-310;
    FillRecord(d.rec, m, 0, {kPlaneX, p2});
    d.Build(m, 8);
    d.pVM->Process();
    CPVSRendererRecorder rec;
    ASSERT_EQ(d.pVM->Render(&rec), 1);
    ASSERT_EQ(d.pVM->m_aValue[0].GetSize(), 2);
    std::vector<std::array<double, 6>> sums;
    std::vector<std::array<double, 3>> centres;
    for (int i = 0; i < 2; ++i) {
        sums.push_back({d.pVM->m_aValue[0][i], d.pVM->m_aValue[1][i], d.pVM->m_aValue[2][i], d.pVM->m_aValue[3][i],
                        d.pVM->m_aValue[4][i], d.pVM->m_aValue[5][i]});
        centres.push_back({d.pVM->m_aPlaneResult[i].dCentre[0] * 1000, d.pVM->m_aPlaneResult[i].dCentre[1] * 1000,
                           d.pVM->m_aPlaneResult[i].dCentre[2] * 1000});
    }
    // Positions in millimetres: force = area(mm2) x stress.
    EXPECT_NEAR(sums[0][0], -10.0 * 2.0e6 * 2.0, 1e-3);
    EXPECT_EQ(ReadBytes(path), Golden("Construction Stages", "Stage 3: Excavation", sums, centres, "Cut-X", true));
    EXPECT_EQ(CDBLib::GetLastEditorPath(), CString(path.c_str()));
    EXPECT_EQ(CDBLib::GetLastEditorTitle(), CString("Local Direction Force Sum"));
}

// The design report appends its set, step and plane blocks without a second header; with the
// editor switch off no editor is asked for.
TEST(ForceSumReport, DesignVariantAppendsWithoutHeader)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{3, 2, 2});
    AddStressRows(m, [](double, double, double) { return Iso(2.0); });
    const std::string path = m.strFolder + "LdfsFile.txt";
    for (int run = 0; run < 2; ++run) {
        LdfsdDisplay d;
        FillRecord(d.rec, m, 0, {kPlaneX});
        d.rec.bIncludeText = 1;
        d.rec.bAppend = run;
        d.rec.bEditor = 0;
        d.Build(m, 12);
        d.pVM->Process();
        CDBLib::RunTextEditor("sentinel", "none", 0);
        CPVSRendererRecorder rec;
        d.pVM->Render(&rec);
        EXPECT_EQ(CDBLib::GetLastEditorPath(), CString("sentinel"));
    }
    const std::string bytes = ReadBytes(path);
    size_t nHeader = 0, nSet = 0;
    for (size_t p = 0; (p = bytes.find("LOCAL DIRECTION FORCE SUM RESULT", p)) != std::string::npos; ++p)
        ++nHeader;
    for (size_t p = 0; (p = bytes.find("** Analysis Set", p)) != std::string::npos; ++p)
        ++nSet;
    EXPECT_EQ(nHeader, 1u);
    EXPECT_EQ(nSet, 2u);
}

TEST(ForceSumReport, TextModeReadsBackAsWritten)
{
    ForceSumModel m;
    const std::string path = m.strFolder + "t.txt";
    std::FILE* f = AfxTextFOpen(path.c_str(), "wt");
    std::fputs("a\nb\r\n", f);
    std::fclose(f);
    EXPECT_EQ(ReadBytes(path), "a\r\nb\r\r\n");
    f = AfxTextFOpen(path.c_str(), "rt");
    char buf[32] = {};
    const size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    EXPECT_EQ(std::string(buf, n), "a\nb\r\n");
}

namespace {

struct Received {
    int nIndex;
    int nPriority;
    T_LCLDIR_PLNE_KVR_D plane;
    int nPoints, nPlate, nSolid;
    bool bDense;
    double sum[6];
};

std::vector<Received> g_received;

class Listener : public CDataUpdateConnector {
public:
    explicit Listener(int nPriority) { SetPriority(nPriority); Disconnect(); Connect(); }
    void OnUpdateData(int index, T_LCLDIR_PLNE_KVR_D& plane, CPointInfoMap& pts, CPlateCellInfoMap& plate,
                      CSolidCellInfoMap& solid, T_FORCESUM_D& sum) override
    {
        bool bDense = true;
        T_POINT_D p;
        T_PLATE_CELL_D pc;
        T_SOLID_CELL_D sc;
        for (int k = 0; k < pts.GetCount(); ++k)
            bDense = bDense && pts.Lookup(k, p);
        for (int k = 0; k < plate.GetCount(); ++k)
            bDense = bDense && plate.Lookup(k, pc) && pc.nPoint1Id < pts.GetCount() && pc.nPoint2Id < pts.GetCount();
        for (int k = 0; k < solid.GetCount(); ++k)
            bDense = bDense && solid.Lookup(k, sc) && sc.nPoint3Id < pts.GetCount();
        g_received.push_back({index, GetPriority(), plane, pts.GetCount(), plate.GetCount(), solid.GetCount(), bDense,
                              {sum.FX, sum.FY, sum.FZ, sum.MX, sum.MY, sum.MZ}});
    }
};

} // namespace

// Each plane with a result reaches the listeners, highest priority first, before the next plane
// is cut; every map is keyed 0..count-1; a plane that misses the model is not broadcast.
TEST(ForceSumBroadcast, PlanesReachListenersInPriorityOrderWithDenseKeys)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{3, 2, 2});
    AddStressRows(m, [](double, double, double) { return Iso(-5.0); });
    CDocCtrl::GetUnitCtrl(&m.doc)->SetFactor(1, 1000.0);
    g_received.clear();
    Listener low(1), high(9);
    LdfsdDisplay d;
    T_TEST_PLANE miss = kPlaneX;
    miss.dOrigin[0] = 50.0;
    T_TEST_PLANE p2 = kPlaneX;
    p2.dOrigin[0] = 2.5;
    FillRecord(d.rec, m, 0, {kPlaneX, miss, p2});
    d.Build(m, 12);
    d.pVM->Process();
    ASSERT_EQ(g_received.size(), 4u);
    EXPECT_EQ(g_received[0].nPriority, 9);
    EXPECT_EQ(g_received[1].nPriority, 1);
    EXPECT_EQ(g_received[0].nIndex, 0);
    EXPECT_EQ(g_received[2].nIndex, 2);
    for (const Received& r : g_received) {
        EXPECT_TRUE(r.bDense);
        EXPECT_GT(r.nSolid, 0);
        EXPECT_EQ(r.nPlate, 0);
        // Centre in output lengths, Y direction given.
        EXPECT_NEAR(r.plane.dCentre[1], 1000.0, 1e-9);
        EXPECT_EQ(r.plane.dYDir[1], 1.0);
        EXPECT_NEAR(r.sum[0], -5.0 * 2.0e6 * 2.0, 1e-3);
    }
    EXPECT_NEAR(g_received[2].plane.dCentre[0], 2500.0, 1e-9);
    EXPECT_EQ(d.pVM->m_aPlaneResult.GetSize(), 2);
}

TEST(ForceSumBroadcast, PlateSegmentsWithoutMaterialAreNotSent)
{
    ForceSumModel m;
    BuildPlateStrip(m, 2, 2, 1.0, 1.0, 0.0, 0.0, 0.0, 0.3);
    AddPlateRows(m, [](double, double, double) { return std::array<double, 12>{10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; });
    g_received.clear();
    Listener l(0);
    // The lower row of plates loses its material.
    T_ATTR_D attr;
    CClassAttr cls(m.doc.GetModelDB());
    cls.Get(m.nAttrK, attr);
    attr.nGmatK = 999;
    const unsigned int nBare = cls.Add(attr);
    CClassElem ce(m.doc.GetModelDB());
    for (int i = 0; i < 2; ++i) {
        T_ELEM_D e;
        ce.Get(m.aElemK[static_cast<size_t>(i)], e);
        e.nPropK = nBare;
        ce.Set(m.aElemK[static_cast<size_t>(i)], e);
    }
    LdfsdDisplay d;
    FillRecord(d.rec, m, 1, {{{0.5, 0, 0}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, "Wall"}});
    d.rec.bIncludeText = 0;
    d.Build(m, 12);
    d.pVM->Process();
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].nPlate, 1);
    EXPECT_EQ(g_received[0].nPoints, 2);
    EXPECT_TRUE(g_received[0].bDense);
    EXPECT_NEAR(g_received[0].sum[0], 10.0, 1e-9);
    // The bare segment still counts for the centre: the whole cut height 0..2.
    EXPECT_NEAR(d.pVM->m_aPlaneResult[0].dCentre[2], 1.0, 1e-12);
}

// Drawing: cuts, mesh, three axis groups along the unit rows (given at any length) and the
// labels, one legend line per plane; no bridge, no axes; a record without planes gives the wire
// mesh alone.
TEST(ForceSumRender, CallsLegendAndAxes)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{3, 2, 2});
    AddStressRows(m, [](double, double, double) { return Iso(1.0); });
    LdfsDisplay d;
    T_TEST_PLANE tiny = kPlaneX;
    for (auto& row : tiny.dAxis)
        for (double& v : row)
            v *= 1e-310;
    FillRecord(d.rec, m, 0, {tiny});
    d.rec.bIncludeText = 0;
    d.Build(m, 8);
    d.pVM->Process();
    {
        CPVSMeshMngrBrdgBase bridge;
        const double bb[6] = {0, 3, 0, 2, 0, 2};
        bridge.SetBounds(bb);
        CPVSRendererRecorder rec;
        ASSERT_EQ(d.pVM->Render(&rec), 1);
        ASSERT_EQ(rec.m_aCalls.size(), 6u);
        EXPECT_EQ(rec.m_aCalls[0].nArg[0], 2);
        EXPECT_GT(rec.m_aCalls[0].pData->GetNumberOfCells(), 0);
        const double L = std::sqrt(9.0 + 4.0 + 4.0) / 10.0;
        const double rgb[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        for (int a = 0; a < 3; ++a) {
            const T_RENDER_CALL_D& c = rec.m_aCalls[static_cast<size_t>(2 + a)];
            EXPECT_EQ(c.rgb[0], rgb[a][0]);
            EXPECT_EQ(c.rgb[2], rgb[a][2]);
            ASSERT_EQ(c.pData->GetNumberOfCells(), 1);
            double p0[3], p1[3];
            c.pData->GetPoint(0, p0);
            c.pData->GetPoint(1, p1);
            EXPECT_NEAR(p1[a] - p0[a], L, 1e-12);
        }
        ASSERT_EQ(rec.m_aCalls[5].aText.size(), 1u);
        EXPECT_EQ(rec.m_aCalls[5].aText[0], "Cut-X");
        ASSERT_EQ(CPVSLegendObjectUserDefMode::m_arLegendDesc.GetSize(), 1);
        char buf[256];
        std::snprintf(buf, sizeof buf, "Cut-X(Fx:%.2e, Fy:%.2e, Fz:%.2e, Mx:%.2e, My:%.2e, Mz:%.2e)",
                      d.pVM->m_aValue[0][0], d.pVM->m_aValue[1][0], d.pVM->m_aValue[2][0], d.pVM->m_aValue[3][0],
                      d.pVM->m_aValue[4][0], d.pVM->m_aValue[5][0]);
        EXPECT_EQ(CPVSLegendObjectUserDefMode::m_arLegendDesc[0], CString(buf));
    }
    CPVSRendererRecorder rec;
    d.pVM->Render(&rec);
    for (size_t a = 2; a < 5; ++a)
        EXPECT_EQ(rec.m_aCalls[a].pData->GetNumberOfCells(), 0) << "no bridge, no axes";
    d.pVM->m_aValue[0].Add(1.0);
    EXPECT_EQ(d.pVM->Render(&rec), 0);

    LdfsDisplay mesh;
    FillRecord(mesh.rec, m, 0, {});
    mesh.rec.nCompCount = 0;
    mesh.Build(m, 8);
    mesh.pVM->Process();
    EXPECT_GT(mesh.pVM->GetDataSetPre()->GetNumberOfCells(), 0);
    EXPECT_EQ(mesh.pVM->GetDataSetPst()->GetNumberOfCells(), 0);
    EXPECT_EQ(CPVSLegendObjectUserDefMode::m_arLegendDesc.GetSize(), 0);
}

TEST(ForceSumFactory, TypesEightAndTwelveMakeTheForceSumClasses)
{
    ForceSumModel m;
    T_VD_LCLDIRSUM_HOB_D hob;
    hob.Initialize();
    T_VD_PARAM_D vp;
    vp.pDoc = &m.doc;
    vp.pUserDefData = &hob;
    std::unique_ptr<CPVSVisualDataBase> a(IFactoryPVS::Instance()->CreateVisualDataByType(8, &vp));
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->GetRuntimeClass()->m_lpszClassName, "CPVSVisualDataLDFS");
    T_VM_PARAM_D mp;
    mp.pVData = a.get();
    mp.nVMType = a->GetVisualMethodType(nullptr);
    std::unique_ptr<CPVSVisualMethodBase> am(IFactoryPVS::Instance()->CreateVisualMethod(&mp));
    ASSERT_NE(am, nullptr);
    EXPECT_STREQ(am->GetRuntimeClass()->m_lpszClassName, "CPVSVisualMethodLDFS");
    T_VD_LCLDIRSUM_KVR_D kvr;
    kvr.Initialize();
    vp.pUserDefData = &kvr;
    std::unique_ptr<CPVSVisualDataBase> b(IFactoryPVS::Instance()->CreateVisualDataByType(12, &vp));
    ASSERT_NE(b, nullptr);
    EXPECT_STREQ(b->GetRuntimeClass()->m_lpszClassName, "CPVSVisualDataLDFSD");
    mp.pVData = b.get();
    mp.nVMType = b->GetVisualMethodType(nullptr);
    std::unique_ptr<CPVSVisualMethodBase> bm(IFactoryPVS::Instance()->CreateVisualMethod(&mp));
    ASSERT_NE(bm, nullptr);
    EXPECT_STREQ(bm->GetRuntimeClass()->m_lpszClassName, "CPVSVisualMethodLDFSD");
}

// The node table of the solid grid takes a plain table for dense node keys and a hash map for
// sparse ones: the same block with its node keys spread a thousandfold gives bit-identical sums
// and centres, for a stress linear in the coordinates and an oblique plane.
TEST(ForceSumSolid, SparseNodeKeysGiveTheSameSumsAsDenseOnes)
{
    const T_TEST_PLANE oblique{{1.4, 1.1, 1.9}, {{0.8, 0.6, 0}, {-0.6, 0.8, 0}, {0, 0, 1}}, "Oblique"};
    auto field = [](double x, double y, double z) {
        return std::array<double, 6>{-30 + 2 * x, -12 + y, -50 + 3 * z, 4 + x, 2 - z, -6 + y};
    };
    auto run = [&](unsigned int nSpread, double dOut[9]) {
        ForceSumModel m;
        BuildHexBlock(m, HexBlockGrid{3, 2, 4, 1.0, 1.0, 1.0});
        if (nSpread > 1) {
            CDBBase* pDB = m.doc.GetModelDB();
            auto& nodes = pDB->Table<T_NODE_D>();
            const auto old = nodes;
            nodes.clear();
            for (const auto& [k, n] : old)
                nodes[k * nSpread] = n;
            for (auto& [k, e] : pDB->Table<T_ELEM_D>())
                for (int j = 0; j < e.aNodeK.GetSize(); ++j)
                    e.aNodeK[j] *= nSpread;
        }
        AddStressRows(m, field);
        LdfsDisplay d;
        FillRecord(d.rec, m, 0, {oblique});
        d.rec.bIncludeText = 0;
        d.Build(m, 8);
        ASSERT_EQ(d.pVM->Process(), 1);
        ASSERT_EQ(d.pVM->m_aPlaneResult.GetSize(), 1);
        for (int k = 0; k < 6; ++k)
            dOut[k] = d.pVM->m_aValue[k][0];
        for (int k = 0; k < 3; ++k)
            dOut[6 + k] = d.pVM->m_aPlaneResult[0].dCentre[k];
    };
    double dense[9], sparse[9];
    run(1, dense);
    run(1000, sparse);
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(dense[k], sparse[k]) << "value " << k;
    // Not a vacuous comparison: the cut carries a force.
    EXPECT_GT(std::fabs(dense[0]), 1.0);
}

// A display steps through results: each refresh (MakeVData, Process) reuses the grid, its index
// and surface, yet must show new values, an element leaving the active set and moved nodes.
// Block 3 x 2 x 4 cut at x = 1.5 through eight elements: Fx = area x sxx.
TEST(ForceSumRefresh, ShowsNewValuesActiveSetAndMesh)
{
    ForceSumModel m;
    BuildHexBlock(m, HexBlockGrid{3, 2, 4, 1.0, 1.0, 1.0});
    AddStressRows(m, [](double, double, double) { return Iso(-30); });
    LdfsDisplay d;
    FillRecord(d.rec, m, 0, {kPlaneX});
    d.rec.bIncludeText = 0;
    d.Build(m, 8);
    auto refresh = [&] {
        EXPECT_EQ(d.pVD->MakeVData(&d.vs, &d.as, 0), 1);
        EXPECT_EQ(d.pVM->Process(), 1);
        EXPECT_EQ(d.pVM->m_aValue[0].GetSize(), 1);
        return d.pVM->m_aValue[0].GetSize() == 1 ? d.pVM->m_aValue[0][0] : 0.0;
    };
    EXPECT_NEAR(refresh(), 8 * -30.0, 1e-12 * 480);
    const std::vector<double> v(9, -60.0);
    for (unsigned int k : m.aElemK)
        SetElementValues(m, 0, k, v);
    EXPECT_NEAR(refresh(), 8 * -60.0, 1e-12 * 480) << "new values";
    vtkDataArray* pSurfaceValues = d.pVM->GetDataSetPre()->GetPointData()->GetScalars();
    ASSERT_NE(pSurfaceValues, nullptr);
    EXPECT_EQ(pSurfaceValues->GetRange(0)[0], -60.0) << "the surface's values too";

    auto& elems = m.doc.GetModelDB()->Table<T_ELEM_D>();
    const unsigned int nCutK = m.aElemK[1]; // i = 1, j = 0, k = 0: on the plane's way
    const T_ELEM_D cut = elems[nCutK];
    elems.erase(nCutK);
    EXPECT_NEAR(refresh(), 7 * -60.0, 1e-12 * 480) << "an element left the active set";
    elems[nCutK] = cut;
    EXPECT_NEAR(refresh(), 8 * -60.0, 1e-12 * 480) << "and came back";

    // Nodes moved, the same keys and elements: twice as deep in y, twice the area.
    for (auto& [k, node] : m.doc.GetModelDB()->Table<T_NODE_D>())
        node.dXyz[1] *= 2.0;
    d.pVM->GetMDTCtrl()->Attach(&m.doc);
    EXPECT_NEAR(refresh(), 16 * -60.0, 1e-12 * 960) << "moved nodes";
    EXPECT_NEAR(d.pVM->m_aPlaneResult[0].dCentre[1], 2.0, 1e-12);
}
