// Settlement profile grids probed in models whose node row is linear in x, y and z: linear
// tetrahedra and hexahedra (box or distorted) reproduce such a field exactly, so every probed
// value, table cell and incline must equal the closed form to the resolution of "%.10g".
// Lengths are shown in output units 2.5 times the model's: distances count f, inclines 1 / f.
#include "ProfileGridFixtures.h"

#include "FactoryPVS.h"
#include "PVSRendererBase.h"

#include <vtkDataArray.h>
#include <vtkPointData.h>
#include <vtkPolyData.h>
#include <vtkUnstructuredGrid.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

using namespace kvpvs::test;

namespace {

constexpr double kOut = 2.5; // output length units per model length unit

// 5 + 0.3 x - 0.2 y + 0.7 z with a linear displacement.
LinearField Field()
{
    LinearField f;
    f.a = 5.0;
    f.g = {0.3, -0.2, 0.7};
    f.u0 = {0.01, -0.02, -0.05};
    f.U = {V3{0.002, 0.001, 0.0}, V3{0.0, -0.003, 0.001}, V3{0.001, 0.0, 0.004}};
    return f;
}

void ExpectRelNear(double got, double want, const std::string& what)
{
    EXPECT_LE(std::fabs(got - want), 1e-9 * std::fabs(want) + 1e-12) << what << ": " << got << " vs " << want;
}

void AddLine(T_VD_PROFGRID_D& rec, int nDirection, int nIndex, int nDivision, double dPosition)
{
    T_SPFG_GRID_IDX_BASE line{nDirection, nIndex, nDivision, dPosition};
    rec.GridIdx.aIdx.Add(line);
}

double Parse(const CString& s) { return std::strtod(s.GetString(), nullptr); }

class ProfileGridProbe : public ::testing::TestWithParam<MeshKind> {
protected:
    void SetUp() override
    {
        m.Unit()->SetFactor(1, kOut);
        m.BuildBlock(GetParam(), 4, 4, 4, 1.0);
        f = Field();
        d.rec.Initialize();
        d.rec.nPVtifK = m.AddNodeRow(f);
        // A horizontal grid at z = 2.3 over (0.2, 0.3) to (3.7, 3.5), 5 x 4 cells.
        d.rec.nSpfgK = m.AddGrid("Grid", {0.2, 0.3, 2.3}, {3.7, 0.3, 2.3}, {0.2, 3.5, 2.3}, 5, 4);
        vs = *CPostVisualState::Instance()->GetCurrentPA();
    }
    void TearDown() override { *CPostVisualState::Instance()->GetCurrentPA() = vs; }
    ProfileGridModel m;
    ProfileGridDisplay d;
    LinearField f;
    T_PVIST_ALL_D vs;
};

TEST_P(ProfileGridProbe, GridValuesAndTablesFollowTheLinearField)
{
    AddLine(d.rec, 0, 2, 7, 0.0); // X line 3, 7 divisions
    AddLine(d.rec, 1, 1, 3, 0.0); // Y line 2, 3 divisions
    d.Build(m);
    ASSERT_EQ(d.pVM->Process(), 1);
    vtkPolyData* s = d.pVM->GetGridSurface();
    ASSERT_EQ(s->GetNumberOfPoints(), 30);
    EXPECT_EQ(s->GetNumberOfPolys(), 20);
    for (vtkIdType i = 0; i < s->GetNumberOfPoints(); ++i) {
        double p[3];
        s->GetPoint(i, p);
        ExpectRelNear(s->GetPointData()->GetScalars()->GetComponent(i, 0), f.Value(p), "grid point " + std::to_string(i));
    }

    // Grid table: row r is Y line ny - r, column c X line c.
    ASSERT_EQ(d.pVM->MakeProfGridTable(1, d.rec, 1), 1);
    IPostGeneralTableData* pStore = IPostGeneralTableData::Instance();
    const T_POST_GENR_TABL_D* t = pStore->GetTable(pStore->GetTableKey(pStore->GetCount() - 1));
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->nRows, 5);
    ASSERT_EQ(t->nCols, 7);
    for (int r = 0; r < 5; ++r)
        for (int c = 1; c <= 6; ++c) {
            const double p[3] = {0.2 + (c - 1) * 3.5 / 5, 0.3 + (4 - r) * 3.2 / 4, 2.3};
            ExpectRelNear(Parse(t->Cell(r, c)), f.Value(p), "cell " + std::to_string(r) + "," + std::to_string(c));
        }

    // Index-line tables: distance from the start in output units, value, incline per output unit.
    const int nBefore = pStore->GetCount();
    ASSERT_EQ(d.pVM->MakeProfGridTable(2, d.rec, 1), 1);
    ASSERT_EQ(pStore->GetCount(), nBefore + 2);
    struct Line { V3 S, E; int n; };
    const Line lines[2] = {{{0.2 + 2 * 0.7, 0.3, 2.3}, {0.2 + 2 * 0.7, 3.5, 2.3}, 7}, {{0.2, 1.1, 2.3}, {3.7, 1.1, 2.3}, 3}};
    for (int l = 0; l < 2; ++l) {
        const T_POST_GENR_TABL_D* x = pStore->GetTable(pStore->GetTableKey(nBefore + l));
        ASSERT_NE(x, nullptr);
        ASSERT_EQ(x->nRows, lines[l].n + 1);
        const double len = std::hypot(lines[l].E[0] - lines[l].S[0], lines[l].E[1] - lines[l].S[1]);
        const double slope = (f.g[0] * (lines[l].E[0] - lines[l].S[0]) + f.g[1] * (lines[l].E[1] - lines[l].S[1])) / len;
        for (int k = 0; k <= lines[l].n; ++k) {
            double p[3];
            for (int c = 0; c < 3; ++c)
                p[c] = lines[l].S[static_cast<size_t>(c)] +
                       k * (lines[l].E[static_cast<size_t>(c)] - lines[l].S[static_cast<size_t>(c)]) / lines[l].n;
            const std::string what = "line " + std::to_string(l) + " row " + std::to_string(k);
            ExpectRelNear(Parse(x->Cell(k, 0)), kOut * len * k / lines[l].n, what + " distance");
            ExpectRelNear(Parse(x->Cell(k, 1)), f.Value(p), what + " value");
            ExpectRelNear(Parse(x->Cell(k, 2)), k == 0 ? 0.0 : slope / kOut, what + " incline");
        }
    }
    const auto& shown = ICustomPostDB::Instance()->m_aShown.back();
    ASSERT_EQ(shown.aName.size(), 2u);
    EXPECT_STREQ(shown.aName[0].GetString(), "X Grid Index 3");
    EXPECT_STREQ(shown.aName[1].GetString(), "Y Grid Index 2");
    EXPECT_STREQ(shown.strTitle.GetString(), "Grid");
}

INSTANTIATE_TEST_SUITE_P(Meshes, ProfileGridProbe,
                         ::testing::Values(MeshKind::Tetra, MeshKind::Box, MeshKind::Distorted),
                         [](const ::testing::TestParamInfo<MeshKind>& i) { return std::string(MeshKindName(i.param)); });

// A plain model: a 4 x 4 x 4 box of unit hexahedra, lengths shown as model units.
class ProfileGridBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        m.BuildBlock(MeshKind::Box, 4, 4, 4, 1.0);
        vs = *CPostVisualState::Instance()->GetCurrentPA();
        symb = *CPostVisualState::Instance()->GetCurrentPS();
        d.rec.Initialize();
    }
    void TearDown() override
    {
        *CPostVisualState::Instance()->GetCurrentPA() = vs;
        *CPostVisualState::Instance()->GetCurrentPS() = symb;
    }
    ProfileGridModel m;
    ProfileGridDisplay d;
    T_PVIST_ALL_D vs;
    T_PVIST_SYMB_D symb;
};

TEST_F(ProfileGridBox, TwoByThreeDivisionsGiveFourByFourTableWithY4OnTop)
{
    LinearField f;
    f.a = 1.0;
    f.g = {1.0, 10.0, 0.0};
    d.rec.nPVtifK = m.AddNodeRow(f);
    d.rec.nSpfgK = m.AddGrid("Two by three", {0.5, 0.5, 1.5}, {2.5, 0.5, 1.5}, {0.5, 3.5, 1.5}, 2, 3);
    d.Build(m);
    ASSERT_EQ(d.pVM->MakeProfGridTable(1, d.rec, 0), 1);
    IPostGeneralTableData* pStore = IPostGeneralTableData::Instance();
    const T_POST_GENR_TABL_D* t = pStore->GetTable(pStore->GetTableKey(pStore->GetCount() - 1));
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->nRows, 4);
    ASSERT_EQ(t->nCols, 4);
    const char* titles[4] = {"", "X1", "X2", "X3"};
    for (int c = 0; c < 4; ++c) {
        EXPECT_STREQ(t->aColTitle[c].GetString(), titles[c]);
        EXPECT_EQ(t->aColKind[c], c == 0 ? 3 : 2);
    }
    for (int r = 0; r < 4; ++r) {
        EXPECT_STREQ(t->Cell(r, 0).GetString(), ("Y" + std::to_string(4 - r)).c_str());
        // Y line 4 - r lies at y = 0.5 + (3 - r); X line c at x = 0.5 + (c - 1).
        for (int c = 1; c <= 3; ++c)
            EXPECT_DOUBLE_EQ(Parse(t->Cell(r, c)), 1.0 + (0.5 + (c - 1)) + 10.0 * (0.5 + (3 - r)));
    }
    // The grid table is opened whatever the show switch says.
    EXPECT_STREQ(ICustomPostDB::Instance()->m_aShown.back().strTitle.GetString(), "Two by three");
}

TEST_F(ProfileGridBox, LineLeavingTheModelListsOnlyItsInsidePointsFromTheFirstOfThem)
{
    LinearField f;
    f.a = 2.0;
    f.g = {0.5, 0.0, 0.0};
    d.rec.nPVtifK = m.AddNodeRow(f);
    // X runs from -1.5 to 6.5 in 8 steps: points at 0.5, 1.5, 2.5, 3.5 are inside the model.
    d.rec.nSpfgK = m.AddGrid("Wide", {-1.5, 1.5, 2.0}, {6.5, 1.5, 2.0}, {-1.5, 2.5, 2.0}, 8, 1);
    AddLine(d.rec, 1, 0, 8, 0.0);
    d.Build(m);
    ASSERT_EQ(d.pVM->MakeProfGridTable(2, d.rec, 0), 1);
    IPostGeneralTableData* pStore = IPostGeneralTableData::Instance();
    ASSERT_EQ(pStore->GetCount(), 1);
    EXPECT_TRUE(ICustomPostDB::Instance()->m_aShown.empty()) << "show 0 stores the tables without opening them";
    const T_POST_GENR_TABL_D* t = pStore->GetTable(pStore->GetTableKey(0));
    ASSERT_EQ(t->nRows, 4);
    for (int r = 0; r < 4; ++r) {
        EXPECT_DOUBLE_EQ(Parse(t->Cell(r, 0)), r);
        EXPECT_DOUBLE_EQ(Parse(t->Cell(r, 1)), 2.0 + 0.5 * (0.5 + r));
        EXPECT_DOUBLE_EQ(Parse(t->Cell(r, 2)), r == 0 ? 0.0 : 0.5);
    }
    // In the display the outside points keep their own place with value 0.
    ASSERT_EQ(d.pVM->Process(), 1);
    vtkPolyData* s = d.pVM->GetGridSurface();
    double p[3];
    s->GetPoint(0, p);
    EXPECT_DOUBLE_EQ(p[0], -1.5);
    EXPECT_EQ(s->GetPointData()->GetScalars()->GetComponent(0, 0), 0.0);
}

// Grids and index lines stored beyond the limits (before them, or by another program) show
// nothing and give no table; at the limits they show.
TEST_F(ProfileGridBox, StoredGridOrLineBeyondTheLimitsShowsNothing)
{
    LinearField f;
    f.a = 1.0;
    d.rec.nPVtifK = m.AddNodeRow(f);
    const struct {
        int nDivX, nDivY;
        bool bShown;
    } grids[] = {{10000, 1, true}, {10001, 1, false}, {1001, 1000, false}, {INT_MAX, 2, false}};
    for (const auto& g : grids) {
        d.rec.nSpfgK = m.AddGrid("G", {0.5, 0.5, 2.0}, {3.5, 0.5, 2.0}, {0.5, 3.5, 2.0}, g.nDivX, g.nDivY);
        d.Build(m);
        ASSERT_EQ(d.pVM->Process(), 1);
        EXPECT_EQ(d.pVM->GetGridSurface()->GetNumberOfPoints() > 0, g.bShown) << g.nDivX << " x " << g.nDivY;
        EXPECT_EQ(d.pVM->MakeProfGridTable(1, d.rec, 0), g.bShown ? 1 : 0) << g.nDivX << " x " << g.nDivY;
    }
    // The host's table multiplies the counts in 64 bits: (INT_MAX + 1) x 3 nodes are refused.
    CArray<T_NODE_D, T_NODE_D&> aNode;
    CArray<T_ELEM_D, T_ELEM_D&> aElem;
    EXPECT_FALSE(CClassSpfg(m.doc.GetModelDB()).GetGeomData(d.rec.nSpfgK, aNode, aElem));

    d.rec.nSpfgK = m.AddGrid("Line", {0.5, 1.0, 2.0}, {3.5, 1.0, 2.0}, {0.5, 3.0, 2.0}, 3, 2);
    d.rec.bArea = 1;
    AddLine(d.rec, 1, 1, 100001, 0.0);
    AddLine(d.rec, 1, 1, 100000, 0.0);
    d.Build(m);
    ASSERT_EQ(d.pVM->Process(), 1);
    EXPECT_EQ(d.pVM->GetLabelTexts().GetSize(), 1);
    EXPECT_EQ(d.pVM->GetProfileCurves()->GetNumberOfPoints(), 4 * 100000);
    const int nBefore = IPostGeneralTableData::Instance()->GetCount();
    ASSERT_EQ(d.pVM->MakeProfGridTable(2, d.rec, 0), 1);
    ASSERT_EQ(IPostGeneralTableData::Instance()->GetCount(), nBefore + 1);
    IPostGeneralTableData* pStore = IPostGeneralTableData::Instance();
    EXPECT_EQ(pStore->GetTable(pStore->GetTableKey(nBefore))->nRows, 100001);
}

// Index lines along grid lines whose far nodes lie outside the model (value 0 there): a block
// x 0..10 under a grid x 0..11 in 5 cells, line y = 2.5 in 55 segments; and an L, a 10 x 6
// block without its corner x > 6, y > 4, under a grid x 0..10 in 4 cells, line y = 5.5 in 40
// segments, whose nodes at x = 7.5 and 10 lie in the notch. Each point in the model, beside
// such a node or not, carries the linear field itself; the points beyond carry nothing.
struct AbsentNodeCase {
    const char* name;
    int nx, ny;            // the block, in unit cells from the origin
    int iNotch, jNotch;    // cells from (iNotch, jNotch) on are removed; nx: none
    double dGridX, dLineY; // the grid from x = 0 to dGridX, its Y index line 1 at dLineY
    int nDivX, nDivision, nInside;
};

std::ostream& operator<<(std::ostream& os, const AbsentNodeCase& c) { return os << c.name; }

class ProfileGridAbsentNodes : public ::testing::TestWithParam<AbsentNodeCase> {
protected:
    void SetUp() override
    {
        vs = *CPostVisualState::Instance()->GetCurrentPA();
        d.rec.Initialize();
    }
    void TearDown() override { *CPostVisualState::Instance()->GetCurrentPA() = vs; }
    ProfileGridModel m;
    ProfileGridDisplay d;
    T_PVIST_ALL_D vs;
};

TEST_P(ProfileGridAbsentNodes, LinePointsInTheModelCarryItsValueBesideANodeWithout)
{
    const AbsentNodeCase& c = GetParam();
    m.BuildBlock(MeshKind::Box, c.nx, c.ny, 2, 1.0);
    for (int j = c.jNotch; j < c.ny; ++j)
        for (int i = c.iNotch; i < c.nx; ++i)
            for (int k = 0; k < 2; ++k)
                CClassElem(m.doc.GetModelDB()).Delete(static_cast<unsigned int>(1 + i + c.nx * (j + c.ny * k)));
    LinearField f;
    f.a = 0.01;
    f.g = {0.002, 0.001, 0.0};
    d.rec.nPVtifK = m.AddNodeRow(f);
    const double y0 = 2.0 * c.dLineY - c.ny; // the grid's other Y line lies as far below
    d.rec.nSpfgK = m.AddGrid("G", {0.0, y0, 1.0}, {c.dGridX, y0, 1.0}, {0.0, c.dLineY, 1.0}, c.nDivX, 1);
    d.rec.bArea = 1;
    AddLine(d.rec, 1, 1, c.nDivision, 0.0);
    d.Build(m);
    const double step = c.dGridX / c.nDivision;
    auto F = [&](double x) { return f.a + f.g[0] * x + f.g[1] * c.dLineY; };

    ASSERT_EQ(d.pVM->MakeProfGridTable(2, d.rec, 0), 1);
    IPostGeneralTableData* pStore = IPostGeneralTableData::Instance();
    const T_POST_GENR_TABL_D* t = pStore->GetTable(pStore->GetTableKey(pStore->GetCount() - 1));
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->nRows, c.nInside);
    for (int r = 0; r < c.nInside; ++r)
        ExpectRelNear(Parse(t->Cell(r, 1)), F(r * step), "row " + std::to_string(r));

    // The diagram's line points carry the same; the area is the field's integral over the model.
    CPostVisualState::Instance()->GetCurrentPA()->vals.nDecimal = 6;
    CPostVisualState::Instance()->GetCurrentPA()->vals.bExponential = 0;
    ASSERT_EQ(d.pVM->Process(), 1);
    vtkPolyData* pCurves = d.pVM->GetProfileCurves();
    ASSERT_EQ(pCurves->GetNumberOfPoints(), 4 * (c.nInside - 1));
    for (vtkIdType i = 0; i < pCurves->GetNumberOfPoints(); i += 4)
        for (vtkIdType e = i; e < i + 2; ++e)
            ExpectRelNear(pCurves->GetPointData()->GetScalars()->GetComponent(e, 0), F(pCurves->GetPoint(e)[0]),
                          "diagram point " + std::to_string(e));
    const double L = (c.nInside - 1) * step;
    char text[64];
    std::snprintf(text, sizeof text, "Area : %.6f", (f.a + f.g[1] * c.dLineY) * L + 0.5 * f.g[0] * L * L);
    ASSERT_EQ(d.pVM->GetLabelTexts().GetSize(), 1);
    EXPECT_STREQ(d.pVM->GetLabelTexts()[0].GetString(), text);
}

INSTANTIATE_TEST_SUITE_P(Models, ProfileGridAbsentNodes,
                         ::testing::Values(AbsentNodeCase{"Block", 10, 5, 10, 5, 11.0, 2.5, 5, 55, 51},
                                           AbsentNodeCase{"LShape", 10, 6, 6, 4, 10.0, 5.5, 4, 40, 25}),
                         [](const ::testing::TestParamInfo<AbsentNodeCase>& i) { return std::string(i.param.name); });

// The L's notch beside an interior grid line: a 10 x 5 block without x > 6, y > 4 under a grid
// x 0..11, y 0.5..4.5 in 5 x 2 cells, line y = 2.5 (55 segments), with f = x^2 at the nodes,
// which the model interpolates linearly between them and the grid between its own nodes, so
// the two differ. The line runs on the edge of cells whose far nodes lie in the notch, where
// their share is 0 up to rounding: its points keep the grid's value, as they do with the grid
// an ulp either side; only beyond x = 8.8, beside the node at x = 11, the model's value counts.
TEST_F(ProfileGridBox, LineOnACellEdgeBesideTheNotchKeepsTheGridsValueAnUlpEitherSide)
{
    ProfileGridModel lm;
    lm.BuildBlock(MeshKind::Box, 10, 5, 2, 1.0);
    for (int i = 6; i < 10; ++i)
        for (int k = 0; k < 2; ++k) // the cells of row j = 4
            CClassElem(lm.doc.GetModelDB()).Delete(static_cast<unsigned int>(1 + i + 10 * (4 + 5 * k)));
    LinearField f;
    f.qxx = 1.0;
    auto model = [](double x) {
        const double i = std::min(std::floor(x), 9.0);
        return i * i + (x - i) * (2.0 * i + 1.0);
    };
    auto grid = [&](double x) {
        const double X = 2.2 * std::min(std::floor(x / 2.2), 4.0);
        return model(X) + (x - X) / 2.2 * (model(X + 2.2) - model(X));
    };
    ProfileGridDisplay ld;
    ld.rec.Initialize();
    ld.rec.nPVtifK = lm.AddNodeRow(f);
    AddLine(ld.rec, 1, 1, 55, 0.0);
    // The grid's rows run up or down: the probe tries the notch's cells first or last.
    for (const double h : {2.0, -2.0})
        for (const double yLine : {std::nextafter(2.5, 0.0), 2.5, std::nextafter(2.5, 5.0)}) {
            const double y0 = yLine - h;
            ld.rec.nSpfgK = lm.AddGrid("G", {0.0, y0, 1.0}, {11.0, y0, 1.0}, {0.0, y0 + 2.0 * h, 1.0}, 5, 2);
            ld.Build(lm);
            ASSERT_EQ(ld.pVM->MakeProfGridTable(2, ld.rec, 0), 1);
            IPostGeneralTableData* pStore = IPostGeneralTableData::Instance();
            const T_POST_GENR_TABL_D* t = pStore->GetTable(pStore->GetTableKey(pStore->GetCount() - 1));
            ASSERT_NE(t, nullptr);
            ASSERT_EQ(t->nRows, 51);
            for (int r = 0; r < 51; ++r) {
                const double x = r * 0.2;
                ExpectRelNear(Parse(t->Cell(r, 1)), x > 8.8 + 1e-9 ? model(x) : grid(x),
                              "rows " + std::to_string(h) + ", line y = " + std::to_string(yLine) + ", row " +
                                  std::to_string(r));
            }
        }
}

struct AreaCase {
    const char* name;
    double a, g;   // value a + g x along the line from x = 0.5 to x = 3.5
    int nDiv;
    const char* text;
};

class ProfileGridArea : public ProfileGridBox, public ::testing::WithParamInterface<AreaCase> {};

TEST_P(ProfileGridArea, AreaLabelIsTheIntegralOfTheAbsoluteProfile)
{
    const AreaCase& c = GetParam();
    LinearField f;
    f.a = c.a - 0.5 * c.g; // the value at x = 0.5 is c.a
    f.g = {c.g, 0.0, 0.0};
    d.rec.nPVtifK = m.AddNodeRow(f);
    d.rec.nSpfgK = m.AddGrid("Line", {0.5, 1.0, 2.0}, {3.5, 1.0, 2.0}, {0.5, 3.0, 2.0}, 3, 2);
    d.rec.bArea = 1;
    AddLine(d.rec, 1, 0, 0, 0.0); // no divisions: no line number
    AddLine(d.rec, 1, 1, c.nDiv, 0.0);
    CPostVisualState::Instance()->GetCurrentPA()->vals.nDecimal = 3;
    CPostVisualState::Instance()->GetCurrentPA()->vals.bExponential = 0;
    d.Build(m);
    ASSERT_EQ(d.pVM->Process(), 1);
    ASSERT_EQ(d.pVM->GetLabelTexts().GetSize(), 1);
    EXPECT_STREQ(d.pVM->GetLabelTexts()[0].GetString(), c.text);
    EXPECT_EQ(d.pVM->GetProfileCurves()->GetNumberOfPoints(), 4 * c.nDiv);
    EXPECT_EQ(d.pVM->GetProfileCurves()->GetNumberOfPolys(), 4 * c.nDiv);

    CPVSRendererRecorder rec;
    ASSERT_EQ(d.pVM->Render(&rec), 1);
    ASSERT_EQ(rec.m_aCalls.back().nKind, T_RENDER_CALL_D::kLabels);
    EXPECT_EQ(rec.m_aCalls.back().aText[0], c.text);
}

// 2 and -1 over 3: 0.5 x 2 x 2 + 0.5 x 1 x 1; one sign: the trapezoid of |values|.
INSTANTIATE_TEST_SUITE_P(Profiles, ProfileGridArea,
                         ::testing::Values(AreaCase{"SignChangeSplitsAtTheZero", 2.0, -1.0, 1, "Area : 2.500"},
                                           AreaCase{"SignChangeOverThreeSegments", 2.0, -1.0, 3, "Area : 2.500"},
                                           AreaCase{"OneSignIsTheTrapezoid", 2.0, 1.0, 1, "Area : 10.500"},
                                           AreaCase{"NegativeValuesCountByMagnitude", -2.0, -1.0, 3, "Area : 10.500"}),
                         [](const ::testing::TestParamInfo<AreaCase>& i) { return std::string(i.param.name); });

struct DeformCase {
    const char* name;
    int nMode;
    double a; // value offset; 0 with no gradient: all values 0
};

class ProfileGridDeform : public ProfileGridBox, public ::testing::WithParamInterface<DeformCase> {};

TEST_P(ProfileGridDeform, DrawnPointsMoveByScaleTimesDisplacement)
{
    const DeformCase& c = GetParam();
    LinearField f;
    f.a = c.a;
    f.u0 = {0.02, -0.01, -0.04};
    d.rec.nPVtifK = m.AddNodeRow(f);
    d.rec.nSpfgK = m.AddGrid("G", {0.5, 0.5, 2.0}, {3.5, 0.5, 2.0}, {0.5, 3.5, 2.0}, 3, 3);
    CPostVisualState::Instance()->GetCurrentPA()->nShapeMode = c.nMode;
    CPostVisualState::Instance()->GetCurrentPA()->dDeformScale = 1.5;
    d.Build(m);
    ASSERT_EQ(d.pVM->Process(), 1);
    // size = 4 (the box); m = |a|, or 1 when every value is 0.
    const double m0 = std::fabs(c.a) < 1e-15 ? 1.0 : std::fabs(c.a);
    const double shift = c.nMode == 2 || c.nMode == 3 ? 4.0 / (m0 * 20.0) * 1.5 : 0.0;
    vtkPolyData* s = d.pVM->GetGridSurface();
    ASSERT_EQ(s->GetNumberOfPoints(), 16);
    for (vtkIdType i = 0; i < 16; ++i) {
        double p[3];
        s->GetPoint(i, p);
        const double own[3] = {0.5 + (i % 4), 0.5 + static_cast<double>(i / 4), 2.0};
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(p[k], own[k] + shift * f.u0[static_cast<size_t>(k)], 1e-12) << "point " << i << " axis " << k;
    }
    EXPECT_EQ(d.pVM->GetUndeformedGrid()->GetNumberOfPoints(), c.nMode == 3 ? 16 : 0);
    EXPECT_EQ(d.pVM->GetConnectingLines()->GetNumberOfLines(), c.nMode == 3 ? 16 : 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, ProfileGridDeform,
                         ::testing::Values(DeformCase{"Mode0StaysInPlace", 0, 2.0},
                                           DeformCase{"Mode2Deformed", 2, 2.0},
                                           DeformCase{"Mode3DeformedOverUndeformed", 3, -0.8},
                                           DeformCase{"AllValuesZeroScaleBySizeOver20", 2, 0.0}),
                         [](const ::testing::TestParamInfo<DeformCase>& i) { return std::string(i.param.name); });

TEST_F(ProfileGridBox, BandsOnlyWhenAskedAndNoDisplayWithoutModelOrBridge)
{
    LinearField f;
    f.a = 1.0;
    f.g = {0.0, 0.0, 1.0};
    d.rec.nPVtifK = m.AddNodeRow(f);
    d.rec.nSpfgK = m.AddGrid("Vertical", {0.5, 2.0, 0.5}, {3.5, 2.0, 0.5}, {0.5, 2.0, 3.5}, 3, 3);
    d.rec.bBandContour = 1;
    d.Build(m);
    ASSERT_EQ(d.pVM->Process(), 1);
    EXPECT_GT(d.pVM->GetDataSetPst()->GetNumberOfCells(), 9) << "the values 1.5 to 4.5 cross bands";

    d.rec.bBandContour = 0;
    d.Build(m);
    ASSERT_EQ(d.pVM->Process(), 1);
    EXPECT_EQ(d.pVM->GetDataSetPst()->GetNumberOfCells(), 0);

    d.rec.nSpfgK = 999; // an unreadable grid: shown, but empty
    d.Build(m);
    EXPECT_EQ(d.pVM->Process(), 1);
    EXPECT_EQ(d.pVM->GetGridSurface()->GetNumberOfPoints(), 0);

    m.pBridge.reset();
    d.Build(m);
    EXPECT_EQ(d.pVM->Process(), 0) << "no bridge, no model size";
}

TEST_F(ProfileGridBox, NodeWithoutValueDropsItsElementsAndVectorSwitchRaisesDisplacementMaximum)
{
    LinearField f;
    f.a = 1.0;
    d.rec.nPVtifK = m.AddNodeRow(f);
    // Remove node 1's run: the corner element loses its cell.
    T_PVAL_D v;
    CClassPVal(m.doc.GetPostDB()).Get(d.rec.nPVtifK, v);
    T_PVAL_D w;
    for (int i = 0; i < v.GetEntityCount(); ++i) {
        int n = 0;
        const double* p = v.Find(v.aEntK[i], n);
        if (v.aEntK[i] != 1)
            w.Append(v.aEntK[i], p, n);
    }
    CClassPVal(m.doc.GetPostDB()).Set(d.rec.nPVtifK, w);
    d.Build(m);
    vtkUnstructuredGrid* g = vtkUnstructuredGrid::New();
    T_PVIST_ALL_D vsx;
    T_PVIST_ANIM_D as;
    ASSERT_EQ(d.pVD->MakeVGeomData(g, &vsx, &as, nullptr, d.pVM->GetMDTCtrl(), nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(g->GetNumberOfPoints(), 124);
    EXPECT_EQ(g->GetNumberOfCells(), 63);
    g->Delete();

    // Components (3, 4, 0, ...) with the vector switch: the shared maximum rises to 5, never falls.
    CPVSVisualDataBase::m_dVDataDispMax = 0.0;
    T_PVAL_D one;
    const double run[3] = {3.0, 4.0, 0.0};
    one.Append(2, run, 3);
    CClassPVal(m.doc.GetPostDB()).Set(d.rec.nPVtifK, one);
    ASSERT_EQ(d.pVD->MakeVData(&vsx, &as, 1), 1);
    EXPECT_DOUBLE_EQ(CPVSVisualDataBase::m_dVDataDispMax, 5.0);
    CPVSVisualDataBase::m_dVDataDispMax = 7.0;
    ASSERT_EQ(d.pVD->MakeVData(&vsx, &as, 1), 1);
    EXPECT_DOUBLE_EQ(CPVSVisualDataBase::m_dVDataDispMax, 7.0);
}

// Ground surfaces typed to the centimetre: a 4 x 4 x 1 block of unit hexahedra from x, y = 1 to 5
// whose top face lies at 100.00, 100.01, ... 100.59, and on it a grid of 3 x 3 cells from
// (1, 1.5) to (4.5, 4.5), its left side, X line 1, on the block's face x = 1. Stored in the output
// unit as the definition dialog stores it and read back by the display, the grid often lies one
// rounding above the top face: every node and every point of X line 1 and Y line 2 still carries
// the field. So does a grid stored one rounding above the face, and one whose left side lies one
// rounding beyond x = 1. A grid 2 mm above the face, beyond the probe's tolerance of a thousandth
// of a cell's diagonal (1.7 mm), stays out.
struct UnitCase {
    const char* name;
    int nLength;    // length unit index: "mm" 0, "m" 2, "in" 3, "ft" 4
    double dFactor; // output units per unit besides the unit's own
};

class ProfileGridFlatTop : public ::testing::TestWithParam<UnitCase> {};

TEST_P(ProfileGridFlatTop, NodesAndLinePointsARoundingOffTheBlockCarryTheField)
{
    const UnitCase& u = GetParam();
    const LinearField f = Field();
    // The grid at elevation z, its left side at x0, over the block whose top face is T: in,
    // every value is the field's; out, every value is 0 and the lines give no table.
    auto show = [&](double T, double z, double x0, bool bIn) {
        char at[128];
        std::snprintf(at, sizeof at, "%s, top %.17g, grid at z %.17g from x %.17g", u.name, T, z, x0);
        ProfileGridModel m;
        const int idx[4] = {u.nLength, 3, 0, 0};
        m.Unit()->SetUnitIndexCurrent(idx, 0);
        m.Unit()->SetFactor(1, u.dFactor);
        m.BuildBlock(MeshKind::Box, 4, 4, 1, 1.0, {1.0, 1.0, T - 1.0});
        ASSERT_EQ(m.dBounds[5], T) << at;
        ProfileGridDisplay d;
        d.rec.Initialize();
        d.rec.nPVtifK = m.AddNodeRow(f);
        d.rec.nSpfgK = m.AddGrid("Ground", {x0, 1.5, z}, {4.5, 1.5, z}, {x0, 4.5, z}, 3, 3);
        AddLine(d.rec, 0, 0, 6, 0.0); // x = x0, y from 1.5 to 4.5 in steps of 0.5
        AddLine(d.rec, 1, 1, 7, 0.0); // y = 2.5, x from x0 to 4.5 in steps of 0.5
        d.Build(m);
        ASSERT_EQ(d.pVM->Process(), 1) << at;
        vtkPolyData* s = d.pVM->GetGridSurface();
        ASSERT_EQ(s->GetNumberOfPoints(), 16) << at;
        for (vtkIdType i = 0; i < 16; ++i) {
            double p[3];
            s->GetPoint(i, p);
            ExpectRelNear(s->GetPointData()->GetScalars()->GetComponent(i, 0), bIn ? f.Value(p) : 0.0,
                          std::string(at) + ", node " + std::to_string(i));
        }
        ASSERT_EQ(d.pVM->MakeProfGridTable(2, d.rec, 0), 1) << at;
        IPostGeneralTableData* pStore = IPostGeneralTableData::Instance();
        ASSERT_EQ(pStore->GetCount(), bIn ? 2 : 0) << at;
        for (int l = 0; l < pStore->GetCount(); ++l) {
            const T_POST_GENR_TABL_D* t = pStore->GetTable(pStore->GetTableKey(l));
            ASSERT_EQ(t->nRows, 7 + l) << at;
            for (int k = 0; k < t->nRows; ++k) {
                const double p[3] = {l == 0 ? 1.0 : 1.0 + 0.5 * k, l == 0 ? 1.5 + 0.5 * k : 2.5, T};
                ExpectRelNear(Parse(t->Cell(k, 1)), f.Value(p),
                              std::string(at) + ", line " + std::to_string(l) + " point " + std::to_string(k));
            }
        }
    };
    for (int k = 0; k < 60; ++k) {
        char typed[16];
        std::snprintf(typed, sizeof typed, "100.%02d", k);
        const double T = std::strtod(typed, nullptr);
        show(T, T, 1.0, true);
    }
    show(100.12, std::nextafter(100.12, 200.0), 1.0, true);
    show(100.0, 100.0, std::nextafter(1.0, 0.0), true);
    show(100.12, 100.12 + 0.002, 1.0, false);
}

INSTANTIATE_TEST_SUITE_P(Units, ProfileGridFlatTop,
                         ::testing::Values(UnitCase{"m", 2, 1.0}, UnitCase{"ft", 4, 1.0}, UnitCase{"in", 3, 1.0},
                                           UnitCase{"mm", 0, 1.0}, UnitCase{"Factor2point5", 2, 2.5}),
                         [](const ::testing::TestParamInfo<UnitCase>& i) { return std::string(i.param.name); });

// Small cells far from the origin: a 4 x 4 x 4 block of cubes of size h with its corner at o,
// its node field (x - o_x) / h + 0.25, under a horizontal grid from 0.5 h to 3.5 h beyond the
// corner in 8 x 8 cells at z = 2.25 h, with its Y line 3 (y = 1.25 h) in 8 segments. Node 22, at
// (2, 1.25, 2.25) h from the corner, lies on a face two cells share. Every node and line point
// carries 0.75 + 0.375 i (i its column) to two roundings of the offset (a coordinate there is
// only known to half a step of the doubles at o), and keeps its own place; offsets reach 1e12
// cell sizes. A block moved along y or z alone has the axes turned with it (x to y to z to x):
// its field varies along the axis it was moved on, and the grid stands upright.
struct FarCase {
    const char* name;
    double h;
    V3 o;
    int a = 0; // the axis the field varies along and the grid's X lines step on
};

std::ostream& operator<<(std::ostream& os, const FarCase& c) { return os << c.name; }

class ProfileGridFar : public ::testing::TestWithParam<FarCase> {};

TEST_P(ProfileGridFar, EveryNodeInsideTheBlockKeepsItsValue)
{
    const FarCase& c = GetParam();
    const double h = c.h;
    const V3& o = c.o;
    double dFar = 4.0 * h;
    for (double v : o)
        dFar = std::max(dFar, std::fabs(v) + 4.0 * h);
    const double tol = 2.0 * (std::nextafter(dFar, HUGE_VAL) - dFar) / h + 1e-14;
    auto want = [](int i) { return 0.75 + 0.375 * i; };

    ProfileGridModel m;
    m.BuildBlock(MeshKind::Box, 4, 4, 4, h, o);
    LinearField f;
    f.a = 0.25;
    f.g[static_cast<size_t>(c.a)] = 1.0 / h;
    f.o = o;
    ProfileGridDisplay d;
    d.rec.Initialize();
    d.rec.nPVtifK = m.AddNodeRow(f);
    auto at = [&](double x, double y) {
        V3 p;
        const double q[3] = {x, y, 2.25};
        for (int k = 0; k < 3; ++k)
            p[static_cast<size_t>((c.a + k) % 3)] = o[static_cast<size_t>((c.a + k) % 3)] + q[k] * h;
        return p;
    };
    d.rec.nSpfgK = m.AddGrid("Far", at(0.5, 0.5), at(3.5, 0.5), at(0.5, 3.5), 8, 8);
    AddLine(d.rec, 1, 2, 8, 0.0);
    d.Build(m);
    ASSERT_EQ(d.pVM->Process(), 1);
    CArray<T_NODE_D, T_NODE_D&> aNode;
    CArray<T_ELEM_D, T_ELEM_D&> aElem;
    ASSERT_TRUE(CClassSpfg(m.doc.GetModelDB()).GetGeomData(d.rec.nSpfgK, aNode, aElem));
    vtkPolyData* s = d.pVM->GetGridSurface();
    ASSERT_EQ(s->GetNumberOfPoints(), 81);
    for (vtkIdType n = 0; n < 81; ++n) {
        double p[3];
        s->GetPoint(n, p);
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(p[k], aNode[static_cast<int>(n)].dXyz[k]) << "node " << n << " keeps its place";
        EXPECT_NEAR(s->GetPointData()->GetScalars()->GetComponent(n, 0), want(static_cast<int>(n % 9)), tol)
            << "node " << n;
    }
    // The diagram of the line: 8 segments, four points each, the first two on the line.
    vtkPolyData* pCurves = d.pVM->GetProfileCurves();
    ASSERT_EQ(pCurves->GetNumberOfPoints(), 32);
    for (vtkIdType e = 0; e < 32; e += 4)
        EXPECT_NEAR(pCurves->GetPointData()->GetScalars()->GetComponent(e, 0), want(static_cast<int>(e / 4)), tol)
            << "diagram point " << e;

    ASSERT_EQ(d.pVM->MakeProfGridTable(1, d.rec, 0), 1);
    ASSERT_EQ(d.pVM->MakeProfGridTable(2, d.rec, 0), 1);
    IPostGeneralTableData* pStore = IPostGeneralTableData::Instance();
    ASSERT_EQ(pStore->GetCount(), 2);
    const T_POST_GENR_TABL_D* t = pStore->GetTable(pStore->GetTableKey(0));
    const T_POST_GENR_TABL_D* x = pStore->GetTable(pStore->GetTableKey(1));
    ASSERT_EQ(x->nRows, 9);
    for (int i = 0; i < 9; ++i) {
        for (int r = 0; r < 9; ++r)
            EXPECT_NEAR(Parse(t->Cell(r, i + 1)), want(i), tol) << "grid table row " << r << " column " << i + 1;
        EXPECT_NEAR(Parse(x->Cell(i, 1)), want(i), tol) << "line table row " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Offsets, ProfileGridFar,
                         ::testing::Values(FarCase{"Origin", 1e-3, {0, 0, 0}}, FarCase{"At1e7", 1e-3, {1e7, 1e7, 1e7}},
                                           FarCase{"At1e7AlongX", 1e-3, {1e7, 0, 0}},
                                           FarCase{"TenthMmAt1e8AlongY", 1e-4, {0, 1e8, 0}, 1},
                                           FarCase{"TenthMmAt1e8AlongZ", 1e-4, {0, 0, 1e8}, 2},
                                           FarCase{"At2To23", 1e-3, {8388608.0, 8388608.0, 8388608.0}},
                                           FarCase{"TenthMmAt1e12Cells", 1e-4, {1e8, -1e8, 1e8}},
                                           FarCase{"MmAt1e12Cells", 1e-3, {-1e9, 1e9, 0}},
                                           FarCase{"DecimetreAt1e12Cells", 0.1, {1e11, 1e11, -1e11}},
                                           FarCase{"CentimetreAt3e11Cells", 1e-2, {3.3e9, 3.3e9, 3.3e9}}),
                         [](const ::testing::TestParamInfo<FarCase>& i) { return std::string(i.param.name); });

// A node that no cell uses, left by an import or a mesher: a 4 x 4 x 4 block of 1 mm cubes with
// its corner at o carrying 2 + 0.7 qx - 0.4 qy + 0.9 qz (q = (p - o) / 4 mm), under a grid from
// o + (0.5, 0.5, 2.25) mm, 3 mm wide each way in 8 x 8 cells, with its X line 5 (x = o_x + 2 mm,
// on the faces cells share) in 24 segments. Grid node 37, at o + (0.875, 2, 2.25) mm on a face two
// cells share, carries 2.459375. With one more node at u carrying the field, far off (it widens
// the model's box) or inside the block beside node 37 (the cell search tries the nearest point's
// cells first), the drawn grid and diagram are the block's alone to a rounding (the filter's
// threads take a point on a shared face from either cell), and both tables to their tenth digit.
struct UnusedNodeCase {
    const char* name;
    V3 o, u;
};

std::ostream& operator<<(std::ostream& os, const UnusedNodeCase& c) { return os << c.name; }

class ProfileGridUnusedNode : public ::testing::TestWithParam<UnusedNodeCase> {};

TEST_P(ProfileGridUnusedNode, ChangesNothing)
{
    const UnusedNodeCase& c = GetParam();
    const double h = 1e-3;
    LinearField f;
    f.a = 2.0;
    f.g = {0.7 / (4 * h), -0.4 / (4 * h), 0.9 / (4 * h)};
    f.o = c.o;
    // Every number drawn (point, then value) and tabled (row count, then cells), in order.
    struct Shown {
        std::vector<double> aDrawn, aTabled;
    };
    auto show = [&](bool bUnused) {
        Shown out;
        ProfileGridModel m;
        m.BuildBlock(MeshKind::Box, 4, 4, 4, h, c.o);
        if (bUnused) {
            T_NODE_D n;
            std::copy(c.u.begin(), c.u.end(), n.dXyz);
            CClassNode(m.doc.GetModelDB()).Set(126, n);
        }
        ProfileGridDisplay d;
        d.rec.Initialize();
        d.rec.nPVtifK = m.AddNodeRow(f);
        auto at = [&](double x, double y) { return V3{c.o[0] + x * h, c.o[1] + y * h, c.o[2] + 2.25 * h}; };
        d.rec.nSpfgK = m.AddGrid("Unused", at(0.5, 0.5), at(3.5, 0.5), at(0.5, 3.5), 8, 8);
        AddLine(d.rec, 0, 4, 24, 0.0);
        d.Build(m);
        EXPECT_EQ(d.pVM->Process(), 1);
        for (vtkPolyData* p : {d.pVM->GetGridSurface(), d.pVM->GetProfileCurves()})
            for (vtkIdType i = 0; i < p->GetNumberOfPoints(); ++i) {
                out.aDrawn.insert(out.aDrawn.end(), p->GetPoint(i), p->GetPoint(i) + 3);
                out.aDrawn.push_back(p->GetPointData()->GetScalars()->GetComponent(i, 0));
            }
        EXPECT_EQ(d.pVM->MakeProfGridTable(1, d.rec, 0), 1);
        EXPECT_EQ(d.pVM->MakeProfGridTable(2, d.rec, 0), 1);
        IPostGeneralTableData* pStore = IPostGeneralTableData::Instance();
        for (int t = 0; t < pStore->GetCount(); ++t) {
            const T_POST_GENR_TABL_D* x = pStore->GetTable(pStore->GetTableKey(t));
            out.aTabled.push_back(x->nRows);
            for (int i = 0; i < x->aCell.GetSize(); ++i)
                out.aTabled.push_back(Parse(x->aCell[i]));
        }
        return out;
    };
    const Shown alone = show(false);
    // The block alone: 81 grid nodes and 24 diagram segments of four points; the 9 x 10 grid
    // table and the line's 25 rows. Node 37 carries the field where it lies, which is 2.459375
    // to the rounding of its place.
    ASSERT_EQ(alone.aDrawn.size(), (81u + 24u * 4) * 4);
    ASSERT_EQ(alone.aTabled.size(), 1u + 9 * 10 + 1 + 25 * 3);
    EXPECT_NEAR(alone.aDrawn[37 * 4 + 3], f.Value(&alone.aDrawn[37 * 4]), 1e-12);
    EXPECT_NEAR(alone.aDrawn[37 * 4 + 3], 2.459375, 1e-6);
    const Shown with = show(true);
    auto expectSame = [](const std::vector<double>& a, const std::vector<double>& b, double rel, const char* what) {
        ASSERT_EQ(a.size(), b.size()) << what;
        for (size_t i = 0; i < a.size(); ++i)
            ASSERT_NEAR(a[i], b[i], rel * std::max(1.0, std::fabs(b[i]))) << what << " number " << i;
    };
    expectSame(with.aDrawn, alone.aDrawn, 1e-13, "drawn");
    expectSame(with.aTabled, alone.aTabled, 1e-9, "tabled");
}

INSTANTIATE_TEST_SUITE_P(
    Placements, ProfileGridUnusedNode,
    ::testing::Values(
        UnusedNodeCase{"ProjectedAtOrigin", {512345.678, 6543210.987, 100}, {0, 0, 0}},
        UnusedNodeCase{"ProjectedAtXZero", {512345.678, 6543210.987, 100}, {0, 6543210.989, 100.002}},
        UnusedNodeCase{"AlongXAtOrigin", {1e7, 0, 0}, {0, 0, 0}},
        UnusedNodeCase{"ProjectedBesideNode37", {512345.678, 6543210.987, 100}, {512345.6789, 6543210.989, 100.00225}}),
    [](const ::testing::TestParamInfo<UnusedNodeCase>& i) { return std::string(i.param.name); });

TEST(ProfileGridFactory, TypeFiveAndMethodTenAreTheProfileGrid)
{
    ProfileGridModel m;
    T_VD_PROFGRID_D rec;
    rec.Initialize();
    T_VD_PARAM_D vp{&m.doc, 0, 0, &rec, 0};
    std::unique_ptr<CPVSVisualDataBase> vd(IFactoryPVS::Instance()->CreateVisualDataByType(5, &vp));
    ASSERT_TRUE(vd);
    EXPECT_STREQ(vd->GetRuntimeClass()->m_lpszClassName, "CPVSVisualDataProfGrid");
    EXPECT_EQ(vd->GetVisualMethodType(nullptr), 10);
    T_VM_PARAM_D mp;
    mp.pDoc = &m.doc;
    mp.pVData = vd.get();
    mp.nVMType = 10;
    std::unique_ptr<CPVSVisualMethodBase> vm(IFactoryPVS::Instance()->CreateVisualMethod(&mp));
    ASSERT_TRUE(vm);
    EXPECT_STREQ(vm->GetRuntimeClass()->m_lpszClassName, "CPVSVisualMethodGlbProfGrid");
}

} // namespace
