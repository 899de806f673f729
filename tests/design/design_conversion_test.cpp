// Conversion of the design text file into RC-beam and RC-wall records, through three unit
// systems: the document in m and kN, the file in its own units and the library in a third. The
// expected values are the file's numbers taken straight from the file's units into the
// library's with the units' definitions.
#include "design_test_support.h"
#include "yrp_test_support.h"

#include "design/CYRPC_DataTool.h"
#include "design/CYRPDataCtrl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>

using namespace kvpvs::test;

namespace {

constexpr int kN = 2, kKgf = 0, kLbf = 4, kMm = 0, kCm = 1, kM = 2, kIn = 3;

void ExpectRel(double actual, double expected, const char* what)
{
    EXPECT_NEAR(actual, expected, 1e-12 * std::max(1.0, std::fabs(expected))) << what;
}

// One plate or solid plane, written with the writer's formats.
struct PlaneFile {
    int nForce = kN, nLength = kMm;
    bool bPlate = true;
    std::vector<std::array<double, 3>> points;
    // plate: p1 p2 thickness E nu gamma; solid: p1 p2 p3 E nu gamma
    std::vector<std::array<double, 6>> cells;
    std::array<double, 3> section{0, 0, 0}; // area, h, b
    std::vector<std::pair<std::string, std::array<double, 6>>> sums;
    std::string strName = "Wall A";

    bool Write(const std::string& strPath) const
    {
        FILE* f = std::fopen(strPath.c_str(), "w");
        if (!f)
            return false;
        std::fprintf(f, "*Solid/Plate Element Design Result\n*UNIT ; Unit System\n;Force, Length\n");
        std::fprintf(f, "%6s,%7s\n", ForceName(nForce), LengthName(nLength));
        std::fprintf(f, bPlate ? "*PLATEFORCESUM, count, %d\n" : "*SOLIDFORCESUM, count, %d\n", 1);
        std::fprintf(f, ";    Name,      ORG X,      ORG Y,      ORG Z,    DIR X,    DIR Y,    DIR Z \n");
        std::fprintf(f, "%9s, %10.3f, %10.3f, %10.3f, %8.3f, %8.3f, %8.3f\n", strName.c_str(), 0.0, 0.0, 0.0, 1.0, 0.0, 0.0);
        std::fprintf(f, "*POINT\n;      ID,             X,             Y,             Z\n");
        for (size_t i = 0; i < points.size(); ++i)
            std::fprintf(f, "%9d,%14.3f,%14.3f,%14.3f\n", static_cast<int>(i + 1), points[i][0], points[i][1], points[i][2]);
        std::fprintf(f, "*CELL\n;      ID, ...\n");
        for (size_t i = 0; i < cells.size(); ++i) {
            const auto& c = cells[i];
            if (bPlate)
                std::fprintf(f, "%9d, %9d, %9d, %8.3f, %15.3f, %13.3f, %14.3f\n", static_cast<int>(i + 1),
                             static_cast<int>(c[0]), static_cast<int>(c[1]), c[2], c[3], c[4], c[5]);
            else
                std::fprintf(f, "%9d, %9d, %9d, %9d, %15.3f, %13.3f, %14.3f\n", static_cast<int>(i + 1),
                             static_cast<int>(c[0]), static_cast<int>(c[1]), static_cast<int>(c[2]), c[3], c[4], c[5]);
        }
        if (!bPlate) {
            std::fprintf(f, "*Boundary Edge Point\n;Point ID\n");
            for (size_t i = 0; i < points.size(); ++i)
                std::fprintf(f, "%9d\n", static_cast<int>(i + 1));
            std::fprintf(f, "*SECTION; section\n;%20s,%20s,%20s\n", "AREA", "h", "b");
            std::fprintf(f, " %20.3f,%20.3f,%20.3f\n", section[0], section[1], section[2]);
        }
        std::fprintf(f, "*FORCESUM\n;      Load Case Name,  FX, FY, FZ, MX, MY, MZ\n");
        for (const auto& [name, s] : sums)
            std::fprintf(f, "%21s, %14.3f, %14.3f, %14.3f, %14.3f, %14.3f, %14.3f\n", name.c_str(), s[0], s[1], s[2], s[3],
                         s[4], s[5]);
        std::fprintf(f, "*FILEPATH ; File Path\n/projects/model.kvr\n*ENDDATA\n");
        return std::fclose(f) == 0;
    }
};

class ConversionTest : public ::testing::Test {
protected:
    void SetUp() override { tool.SetOwner(&ctrl); }
    // Library units (length, force).
    void LibraryUnits(int l, int f)
    {
        ctrl.GetLibrary()->Set_UnitIndex(l, f);
        nLibL = l;
        nLibF = f;
    }
    std::string File() const { return doc.dir.file("KvrDesign.txt"); }
    // A value of the given dimensions in the library's units.
    double Lib(double v, int nf, int nl, int f, int l) const { return Convert(v, nf, nl, f, l, nLibF, nLibL); }

    LibraryFolder folder;
    CurrentDocument doc{kM, 3};
    CYRPDataCtrl ctrl;
    CYRPC_DataTool tool;
    int nLibL = kMm, nLibF = kN;
};

BeamFile Beams()
{
    BeamFile b;
    b.nForce = kKgf;
    b.nLength = kCm;
    b.sects = {{1, "R30x60", 1800, 30, 60}};
    b.matls = {{1, "C30", 250000, 0.2, 0.0024}, {2, "Soft", 0, 0.15, 0.0018}};
    b.attrs = {{1, 1, 1}, {2, 1, 2}, {3, 9, 1}};
    b.elems = {{30, 1}, {10, 2}, {20, 1}, {40, 3}};
    b.cases = {{101, "Stage 1", {{10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {30, -1, -2, -3, -4, -5, -6, 0, 0, 0, 0, 0, 0}}},
               {102, "Stage 2", {{30, 100, 0, 0, 0, 0, 250, 0, 0, 0, 0, 0, -250}}}};
    return b;
}

} // namespace

TEST(DesignCodes, NumbersHaveTheirNamesAndOthersNone)
{
    EXPECT_EQ(CYRPC_DataTool::GetDesignCodeName(117), "KSCE-USD05");
    EXPECT_EQ(CYRPC_DataTool::GetDesignCodeName(118), "KSCE-RAIL-USD04");
    EXPECT_EQ(CYRPC_DataTool::GetDesignCodeName(121), "KCI-USD07");
    EXPECT_EQ(CYRPC_DataTool::GetDesignCodeName(101), "ACI318-89");
    EXPECT_EQ(CYRPC_DataTool::GetDesignCodeName(156), "TWN-BRG-LSD90");
    EXPECT_EQ(CYRPC_DataTool::GetDesignCodeName(205), "TWN-SRC92");
    for (int n : {100, 204, 0, -1, 122, 150, 201, 206})
        EXPECT_TRUE(CYRPC_DataTool::GetDesignCodeName(n).IsEmpty()) << n;
}

TEST_F(ConversionTest, BeamElementsBecomeBeamRecordsInTheLibrarysUnits)
{
    LibraryUnits(kIn, kLbf);
    ASSERT_TRUE(Beams().Write(File()));
    ASSERT_EQ(tool.MakeUrbeData(File().c_str()), 1);

    // 20 has no load case, 40 no section: skipped; the others in ascending order.
    CArray<UINT, UINT> keys;
    ctrl.GetUrbeKeyList(keys);
    ASSERT_EQ(keys.GetSize(), 2);
    T_URBE_D e10, e30;
    ASSERT_EQ(ctrl.GetLibrary()->Get_Urbe(1, e10), 1);
    ASSERT_EQ(ctrl.GetLibrary()->Get_Urbe(2, e30), 1);
    EXPECT_EQ(e10.strName, "Elem_10");
    EXPECT_EQ(e30.strName, "Elem_30");

    // Material: the file's modulus only when positive, else 27 N/mm^2; Poisson's ratio always.
    ExpectRel(e30.matl.dValue[0], Lib(250000, 1, -2, kKgf, kCm), "E of C30");
    ExpectRel(e10.matl.dValue[0], Lib(27, 1, -2, kN, kMm), "default E");
    EXPECT_NEAR(e10.matl.dValue[3], 0.15, 1e-15);
    EXPECT_NEAR(e30.matl.dValue[3], 0.2, 1e-15);
    ExpectRel(e30.matl.dValue[1], Lib(300, 1, -2, kN, kMm), "strength");
    ExpectRel(e30.matl.dValue[2], Lib(300, 1, -2, kN, kMm), "strength");
    // The default code KSCE-USD05 takes the first material block, whose defaults were stored as
    // the library's own numbers.
    ExpectRel(e30.matl.dValue[4], 200000, "+624");
    ExpectRel(e30.matl.dValue[5], 200000, "+632");

    // Section from Dim1 and Dim2 (30 x 60 cm); the file's Area is not used.
    const double b = Lib(30, 0, 1, kN, kCm), h = Lib(60, 0, 1, kN, kCm);
    EXPECT_EQ(e30.sect.strName, "SB");
    ExpectRel(e30.sect.dDim[0], b, "b");
    ExpectRel(e30.sect.dDim[1], h, "h");
    ExpectRel(e30.sect.dDim[2], Lib(1000, 0, 1, kN, kMm), "default dimension");
    ExpectRel(e30.sect.dProp[0], b * h, "area");
    ExpectRel(e30.sect.dProp[3], b * b * b * h / 12, "b^3 h / 12");
    ExpectRel(e30.sect.dProp[4], h * h * h * b / 12, "h^3 b / 12");
    ExpectRel(e30.sect.dProp[1], b * b / 12, "ratio");
    ExpectRel(e30.sect.dProp[5], h / 2, "h/2");
    ExpectRel(e30.sect.dProp[6], b / 2, "b/2");
    ExpectRel(e30.rbar.dCover[0], Lib(50, 0, 1, kN, kMm), "rebar +8");
    ExpectRel(e30.rbar.dLength[1], Lib(100, 0, 1, kN, kMm), "rebar +376");

    // Loads: the service combination, then end I and end J of each case in file order.
    ASSERT_EQ(e30.load.aServLcom.GetSize(), 1);
    EXPECT_EQ(e30.load.aServLcom[0].strName, "ServLcom00");
    EXPECT_EQ(e30.load.aServLcom[0].nType, 0);
    EXPECT_EQ(e30.load.aServLcom[0].nSubType, 2);
    ASSERT_EQ(e30.load.aLcom.GetSize(), 4);
    const char* names[4] = {"Stage 1(I)", "Stage 1(J)", "Stage 2(I)", "Stage 2(J)"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(e30.load.aLcom[i].strName, names[i]);
        EXPECT_EQ(e30.load.aLcom[i].nType, 1);
        EXPECT_EQ(e30.load.aLcom[i].nSubType, 1);
    }
    ExpectRel(e30.load.aLcom[0].dForce[1], Lib(-2, 1, 0, kKgf, kCm), "Fy");
    ExpectRel(e30.load.aLcom[0].dForce[4], Lib(-5, 1, 1, kKgf, kCm), "My");
    ExpectRel(e30.load.aLcom[3].dForce[5], Lib(-250, 1, 1, kKgf, kCm), "Mz at J");
    ASSERT_EQ(e10.load.aLcom.GetSize(), 2);
    ExpectRel(e10.load.aLcom[1].dForce[0], Lib(7, 1, 0, kKgf, kCm), "Fx at J");
}

TEST_F(ConversionTest, DesignCodeChoosesTheMaterialBlock)
{
    T_UCOP_D u;
    ctrl.GetUcop(u);
    u.strDesignCode = "KCI-USD07";
    u.matl[2].dValue40 = 1.5e7; // kN/m^2
    u.matl[2].dValue48 = 2.5e7;
    ctrl.SetUcop(u);
    ASSERT_TRUE(Beams().Write(File()));
    ASSERT_EQ(tool.MakeUrbeData(File().c_str()), 1);
    T_URBE_D r;
    ASSERT_EQ(ctrl.GetLibrary()->Get_Urbe(1, r), 1);
    ExpectRel(r.matl.dValue[4], 15000, "third block, N/mm^2");
    ExpectRel(r.matl.dValue[5], 25000, "third block, N/mm^2");

    u.strDesignCode = "ACI318-05";
    ctrl.SetUcop(u);
    ctrl.DelAllData(1);
    ASSERT_EQ(tool.MakeUrbeData(File().c_str()), 1);
    ASSERT_EQ(ctrl.GetLibrary()->Get_Urbe(1, r), 1);
    EXPECT_EQ(r.matl.dValue[4], 0.0);
    EXPECT_EQ(r.matl.dValue[5], 0.0);
}

class PlateExample : public ConversionTest, public ::testing::WithParamInterface<int> {};

// Segments of lengths 2 and 6 with thicknesses 0.3 and 0.5: Dim1 = 0.45, Dim2 = 8; as wall
// records the forces scale by w / 8 with w one metre in the file's length unit.
TEST_P(PlateExample, PlateSegmentsAverageByLengthAndWallsScaleByTheStripWidth)
{
    const int nLength = GetParam();
    LibraryUnits(kCm, 3);
    PlaneFile p;
    p.nLength = nLength;
    p.points = {{0, 0, 0}, {2, 0, 0}, {8, 0, 0}};
    p.cells = {{1, 2, 0.3, 30000, 0.2, 24}, {2, 3, 0.5, 20000, 0.3, 25}};
    p.sums = {{"Stage 1", {8, 16, 24, 4, 8, 12}}};
    ASSERT_TRUE(p.Write(File()));

    ASSERT_EQ(tool.MakeUrwaData(File().c_str()), 1);
    T_URWA_D w;
    ASSERT_EQ(ctrl.GetLibrary()->Get_Urwa(1, w), 1);
    EXPECT_EQ(w.strName, "Wall A");
    const double strip = nLength == kMm ? 1000.0 : 1.0; // one metre in the file's unit
    ExpectRel(w.sect.dDim[0], Lib(0.45, 0, 1, kN, nLength), "b = Dim1");
    ExpectRel(w.sect.dDim[1], Lib(strip, 0, 1, kN, nLength), "h = w");
    // weights L t: 0.6 and 3.0
    ExpectRel(w.matl.dValue[0], Lib((0.6 * 30000 + 3.0 * 20000) / 3.6, 1, -2, kN, nLength), "E");
    EXPECT_NEAR(w.matl.dValue[3], (0.6 * 0.2 + 3.0 * 0.3) / 3.6, 1e-14);
    ASSERT_EQ(w.load.aLcom.GetSize(), 1);
    const T_URWA_UNITLCOM& l = w.load.aLcom[0];
    EXPECT_EQ(l.strName, "Stage 1");
    EXPECT_EQ((std::vector<int>{l.nType[0], l.nType[1], l.nType[2]}), (std::vector<int>{1, 2, 1}));
    const double factor = strip / 8;
    ExpectRel(l.dForce[1], Lib(16 * factor, 1, 0, kN, nLength), "FY");
    ExpectRel(l.dDesignForce[1], Lib(16 * factor, 1, 0, kN, nLength), "FY again");
    ExpectRel(l.dForce[5], Lib(12 * factor, 1, 1, kN, nLength), "MZ");
    ASSERT_EQ(w.load.aServLcom.GetSize(), 1);
    EXPECT_EQ(w.load.aServLcom[0].strName, "ServLcom00");

    // As a beam record: Dim2 is the total length, forces unscaled.
    ASSERT_EQ(tool.MakeUrbeData(File().c_str()), 1);
    T_URBE_D b;
    ASSERT_EQ(ctrl.GetLibrary()->Get_Urbe(1, b), 1);
    ExpectRel(b.sect.dDim[1], Lib(8, 0, 1, kN, nLength), "h = total length");
    ExpectRel(b.load.aLcom[0].dForce[1], Lib(16, 1, 0, kN, nLength), "FY");
}

INSTANTIATE_TEST_SUITE_P(FileLengthUnit, PlateExample, ::testing::Values(kMm, kM),
                         [](const ::testing::TestParamInfo<int>& i) { return i.param == kMm ? "Millimetres" : "Metres"; });

TEST_F(ConversionTest, SolidPlaneTakesItsSectionBlockAndAreaWeightedMaterial)
{
    PlaneFile p;
    p.bPlate = false;
    p.nForce = kKgf;
    p.nLength = kCm;
    p.points = {{0, 0, 0}, {2, 0, 0}, {2, 3, 0}, {0, 3, 0}};
    p.cells = {{1, 2, 4, 10000, 0.2, 20}, {2, 3, 4, 30000, 0.4, 20}};
    p.section = {6, 3, 2}; // area, h, b
    p.sums = {{"Step 4", {1, 2, 3, 4, 5, 6}}, {"Step 5", {6, 5, 4, 3, 2, 1}}};
    ASSERT_TRUE(p.Write(File()));
    ASSERT_EQ(tool.MakeUrbeData(File().c_str()), 1);
    T_URBE_D r;
    ASSERT_EQ(ctrl.GetLibrary()->Get_Urbe(1, r), 1);
    ExpectRel(r.sect.dDim[0], Lib(2, 0, 1, kKgf, kCm), "b from the SECTION block");
    ExpectRel(r.sect.dDim[1], Lib(3, 0, 1, kKgf, kCm), "h from the SECTION block");
    // two triangles of area 3 each
    ExpectRel(r.matl.dValue[0], Lib(20000, 1, -2, kKgf, kCm), "E");
    EXPECT_NEAR(r.matl.dValue[3], 0.3, 1e-14);
    ASSERT_EQ(r.load.aLcom.GetSize(), 2);
    EXPECT_EQ(r.load.aLcom[1].strName, "Step 5");
    ExpectRel(r.load.aLcom[1].dForce[0], Lib(6, 1, 0, kKgf, kCm), "FX");
}

TEST_F(ConversionTest, NothingIsStoredFromAnUnreadableFileOrWithoutAnOwner)
{
    EXPECT_EQ(tool.MakeUrbeData(doc.dir.file("missing.txt").c_str()), 0);
    BeamFile b = Beams();
    b.elems.clear();
    ASSERT_TRUE(b.Write(File()));
    EXPECT_EQ(tool.MakeUrbeData(File().c_str()), 0);
    ASSERT_TRUE(Beams().Write(File()));
    CYRPC_DataTool orphan;
    EXPECT_EQ(orphan.MakeUrbeData(File().c_str()), 0);
    EXPECT_EQ(tool.MakeUrcoData(File().c_str()), 0);
    EXPECT_EQ(tool.MakeUstlData(File().c_str()), 0);
    EXPECT_EQ(ctrl.GetLibrary()->GetCount_Urbe(), 0);
    CZORDocBase::SetCurDoc(nullptr);
    EXPECT_EQ(tool.MakeUrbeData(File().c_str()), 0);
    EXPECT_EQ(ctrl.GetLibrary()->GetCount_Urbe(), 0);
}

namespace {

// A file whose numbers are all finite but whose conversion overflows. The writers' fixed-point
// formats cannot hold such numbers within a field, so a placeholder written with them is
// replaced by its exponent form.
struct Overflow {
    const char* pszName;
    bool bWall;
    std::function<bool(const std::string&)> write;
};
void PrintTo(const Overflow& o, std::ostream* os) { *os << o.pszName; }

bool Patch(const std::string& strPath, const std::string& strFrom, const std::string& strTo)
{
    std::string s = FileBytes(strPath);
    size_t nHits = 0;
    for (size_t at = s.find(strFrom); at != std::string::npos; at = s.find(strFrom, at + strTo.size()), ++nHits)
        s.replace(at, strFrom.size(), strTo);
    WriteBytes(strPath, s);
    return nHits > 0;
}

const Overflow kOverflows[] = {
    // 1e306 tonf is finite in kN, not in the library's newtons
    {"BeamForcesInTonf", false,
     [](const std::string& f) {
         BeamFile b = Beams();
         b.nForce = 1;
         b.cases = {{101, "Stage 1", {{10, 4096.5, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 4096.5}}}};
         return b.Write(f) && Patch(f, "4096.500", "1e306");
     }},
    // b h and the second moments overflow in the file's own units
    {"BeamSection", false,
     [](const std::string& f) {
         BeamFile b = Beams();
         b.sects = {{1, "Huge", 1, 2048.25, 2048.25}};
         return b.Write(f) && Patch(f, "2048.250", "1e200");
     }},
    // a cut 1e200 long and 1e200 thick weighs more than a double holds
    {"WallPlateCut", true,
     [](const std::string& f) {
         PlaneFile p;
         p.points = {{0, 0, 0}, {1024.75, 0, 0}};
         p.cells = {{1, 2, 1024.75, 30000, 0.2, 24}};
         p.sums = {{"Stage 1", {8, 16, 24, 4, 8, 12}}};
         return p.Write(f) && Patch(f, "1024.750", "1e200");
     }},
};

class ConversionOverflow : public ConversionTest, public ::testing::WithParamInterface<Overflow> {};

} // namespace

TEST_P(ConversionOverflow, FailsAndStoresNothing)
{
    ASSERT_TRUE(GetParam().write(File()));
    CYRPC_DataTool reader;
    ASSERT_EQ(reader.ReadDesignFile(File().c_str()), 1) << "the file itself is sound";
    const bool bWall = GetParam().bWall;
    EXPECT_EQ(bWall ? tool.MakeUrwaData(File().c_str()) : tool.MakeUrbeData(File().c_str()), 0);
    EXPECT_EQ(ctrl.GetLibrary()->GetCount_Urbe(), 0);
    EXPECT_EQ(ctrl.GetLibrary()->GetCount_Urwa(), 0);
}

INSTANTIATE_TEST_SUITE_P(FiniteFile, ConversionOverflow, ::testing::ValuesIn(kOverflows),
                         [](const ::testing::TestParamInfo<Overflow>& i) { return std::string(i.param.pszName); });
