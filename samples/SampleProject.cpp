#include "SampleProject.h"
#include "SampleForceSumRows.h"

#include "SampleSchema.h"

#include "ClassAcas.h"
#include "THResultBuilder.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>

namespace kvpvs::sample {

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<double> Lines(double from, double to, int n)
{
    std::vector<double> a(static_cast<size_t>(n) + 1);
    for (int i = 0; i <= n; ++i)
        a[static_cast<size_t>(i)] = i == n ? to : from + (to - from) * i / n;
    return a;
}

unsigned int AddMatl(CClassGmat& t, const char* pszName, double E, double nu, double gamma, double k)
{
    T_GMAT_D m;
    m.dElast = E;
    m.dPoisson = nu;
    m.dWeight = gamma;
    m.dPermeability = k;
    m.strName = pszName;
    return t.Add(m);
}

unsigned int AddAttr(CClassAttr& t, const char* pszName, int nType, unsigned int nGproK, unsigned int nGmatK)
{
    T_ATTR_D a;
    a.nType = nType;
    a.nGproK = nGproK;
    a.nGmatK = nGmatK;
    a.strName = pszName;
    return t.Add(a);
}

T_GPRO_D BeamSection(const char* pszName, double A, double Iy, double Iz, double J)
{
    T_GPRO_D g;
    g.strName = pszName;
    g.dArea = A;
    g.dIx = J;
    g.dIy = Iy;
    g.dIz = Iz;
    g.dAy = g.dAz = A / 2.0;
    return g;
}

// The writer of result rows: one T_PVTIF_D and its T_PVAL_D per row.
class RowWriter {
public:
    RowWriter(CDBDoc& doc, SampleSummary& sum)
        : m_rows(doc.GetPostDB()), m_vals(doc.GetPostDB()), m_sum(sum), m_doc(doc)
    {
    }
    // The pile record of an element, as the product's post control answers it.
    void SetPile(unsigned int nElemK, const double* pRun, int nCount)
    {
        CTHResultBuilder::PostCtrl(m_doc)->SetPile(nElemK, std::vector<double>(pRun, pRun + nCount));
    }

    struct Row {
        const char* pszName;
        unsigned int nStepK, nEngrK, nItem;
        int nQty, nDisp, nCls;
        std::uint64_t nComp;
    };

    unsigned int Add(const Row& r, const T_PVAL_D* pVals, const std::vector<double>& aDgrmPos = {}, int nUnitType = 0)
    {
        T_PVTIF_D row;
        row.nUnitType = nUnitType;
        row.nItem = r.nItem;
        row.nStepK = r.nStepK;
        row.nEngrK = r.nEngrK;
        row.nQuantity = r.nQty;
        row.nDispType = r.nDisp;
        row.nResultClass = r.nCls;
        row.nCompCode = r.nComp;
        row.aComp.Add(static_cast<unsigned int>(r.nComp));
        for (double d : aDgrmPos)
            row.aDgrmPos.Add(d);
        row.strName = r.pszName;
        unsigned int nKey = m_rows.Add(row);
        if (pVals)
            m_vals.Set(nKey, *pVals);
        m_sum.aRowK.push_back(nKey);
        m_last[nKey] = pVals ? *pVals : T_PVAL_D();
        return nKey;
    }

    // A combination row made from the first entry, as the host writes it: item 709, display
    // type 7, components emptied, values only for member-force classes 4 and 5.
    unsigned int AddComb(unsigned int nFirstK, const char* pszName)
    {
        T_PVTIF_D first;
        m_rows.Get(nFirstK, first);
        T_PVTIF_D row(first);
        row.nItem = kItemComb;
        row.nStepK = m_sum.nDummyStepK;
        row.nDispType = kDispComb;
        row.strName = pszName;
        row.aComp.RemoveAll();
        unsigned int nKey = m_rows.Add(row);
        if (first.nResultClass == kClsTruss || first.nResultClass == kClsBeam)
            m_vals.Set(nKey, m_last[nFirstK]);
        m_sum.aRowK.push_back(nKey);
        return nKey;
    }

private:
    CClassPVtif m_rows;
    CClassPVal m_vals;
    SampleSummary& m_sum;
    CDBDoc& m_doc;
    std::map<unsigned int, T_PVAL_D> m_last;
};

struct Model {
    CDBDoc* pDoc = nullptr;
    SampleSummary* pSum = nullptr;
    std::map<unsigned int, T_NODE_D> nodes;
    std::map<unsigned int, T_ELEM_D> elems;

    void Load()
    {
        nodes = pDoc->GetModelDB()->Table<T_NODE_D>();
        elems = pDoc->GetModelDB()->Table<T_ELEM_D>();
    }
    void Centre(const T_ELEM_D& e, double c[3]) const
    {
        c[0] = c[1] = c[2] = 0.0;
        for (int n = 0; n < e.aNodeK.GetSize(); ++n)
            for (int d = 0; d < 3; ++d)
                c[d] += nodes.at(e.aNodeK[n]).dXyz[d] / e.aNodeK.GetSize();
    }
};

// Values of an element row: centre value, then one per node (and the principal direction).
T_PVAL_D ElementRow(const Model& m, const std::vector<unsigned int>& aElemK,
                    const std::function<double(const double*)>& f,
                    const std::function<void(const double*, double*)>& dir = nullptr)
{
    T_PVAL_D vals;
    std::vector<double> run;
    for (unsigned int k : aElemK) {
        const T_ELEM_D& e = m.elems.at(k);
        double c[3];
        m.Centre(e, c);
        run.assign(1, f(c));
        for (int n = 0; n < e.aNodeK.GetSize(); ++n)
            run.push_back(f(m.nodes.at(e.aNodeK[n]).dXyz));
        if (dir) {
            double d[3];
            dir(c, d);
            run.insert(run.end(), d, d + 3);
        }
        vals.Append(k, run.data(), static_cast<int>(run.size()));
    }
    return vals;
}

// Node rows: one run per node of the model.
T_PVAL_D NodeRow(const Model& m, const std::function<std::vector<double>(unsigned int, const double*)>& f)
{
    T_PVAL_D vals;
    for (const auto& [k, node] : m.nodes) {
        std::vector<double> run = f(k, node.dXyz);
        if (!run.empty())
            vals.Append(k, run.data(), static_cast<int>(run.size()));
    }
    return vals;
}

// Grid: x 0..40 (2.0 m), y 0..8 (2.0 m), z -24..0 (1.5 m); k rises with z.
void BuildGrid(CDBDoc& doc, int r, SampleSummary& sum)
{
    SampleGrid& g = sum.grid;
    g.xs = Lines(0.0, 40.0, 20 * r);
    g.ys = Lines(0.0, 8.0, 4 * r);
    g.zs = Lines(-24.0, 0.0, 16 * r);
    g.nFirstNodeK = 1;
    BuildGridNodes(doc, g);
    sum.nodes = g.Nodes();
    sum.dPlanArea = 40.0 * 8.0;
}

int IAt(const SampleGrid& g, double x) { return SampleGrid::IndexOf(g.xs, x); }
int JAt(const SampleGrid& g, double y) { return SampleGrid::IndexOf(g.ys, y); }
int KAt(const SampleGrid& g, double z) { return SampleGrid::IndexOf(g.zs, z); }

// Keys of the materials and attributes the elements refer to.
struct Properties {
    unsigned int mFill = 0, mClay = 0, mSand = 0, mConc = 0, mSteel = 0;
    unsigned int aFill = 0, aClay = 0, aSand = 0, aWall = 0, aStrut = 0, aPipe = 0, aPile = 0;
};

// Materials, sections, attributes.
Properties AddProperties(CDBDoc& doc)
{
    Properties k;
    CClassGmat matl(doc.GetModelDB());
    CClassGpro gpro(doc.GetModelDB());
    CClassAttr attr(doc.GetModelDB());
    k.mFill = AddMatl(matl, "Fill", 1.0e4, 0.30, 18.0, 1.0e-5);
    k.mClay = AddMatl(matl, "Clay", 2.5e4, 0.35, 19.0, 1.0e-8);
    k.mSand = AddMatl(matl, "Sand", 8.0e4, 0.30, 20.0, 1.0e-4);
    k.mConc = AddMatl(matl, "Concrete C30", 3.0e7, 0.20, 25.0, 0.0);
    k.mSteel = AddMatl(matl, "Steel S355", 2.1e8, 0.30, 78.5, 0.0);

    T_GPRO_D wallSec;
    wallSec.strName = "Wall t=0.8";
    wallSec.dThickness = 0.8;
    unsigned int pWall = gpro.Add(wallSec);
    T_GPRO_D hSec = BeamSection("H400x400", 0.0218, 6.66e-4, 2.24e-4, 3.8e-6);
    hSec.bShape = 1;
    const double hDim[6] = {0.4, 0.4, 0.013, 0.021, 0, 0};
    std::copy(hDim, hDim + 6, hSec.dDim);
    unsigned int pStrut = gpro.Add(hSec);
    T_GPRO_D pipe = BeamSection("Pipe 609x12", 0.0225, 9.86e-4, 9.86e-4, 1.97e-3);
    unsigned int pPipe = gpro.Add(pipe);
    const double D = 0.8; // pile diameter; A = πD²/4, I = πD⁴/64
    unsigned int pPile = gpro.Add(BeamSection("Pile D0.8", kPi * D * D / 4.0, kPi * std::pow(D, 4) / 64.0,
                                              kPi * std::pow(D, 4) / 64.0, kPi * std::pow(D, 4) / 32.0));

    k.aFill = AddAttr(attr, "Fill", kAttrSolid, 0, k.mFill);
    k.aClay = AddAttr(attr, "Clay", kAttrSolid, 0, k.mClay);
    k.aSand = AddAttr(attr, "Sand", kAttrSolid, 0, k.mSand);
    k.aWall = AddAttr(attr, "Diaphragm wall", kAttrPlate, pWall, k.mConc);
    k.aStrut = AddAttr(attr, "Strut H400", kAttrBeam, pStrut, k.mSteel);
    k.aPipe = AddAttr(attr, "Strut pipe", kAttrTruss, pPipe, k.mSteel);
    k.aPile = AddAttr(attr, "Bored pile", kAttrPile, pPile, k.mConc);
    return k;
}

// Soil layers from the top: fill 0..-3, clay -3..-12, sand -12..-24.
void BuildSoilLayers(CDBDoc& doc, const Properties& k, SampleSummary& sum)
{
    const SampleGrid& g = sum.grid;
    struct LayerDef { const char* psz; double top, bot; unsigned int a, m; };
    const LayerDef defs[3] = {{"Fill", 0.0, -3.0, k.aFill, k.mFill}, {"Clay", -3.0, -12.0, k.aClay, k.mClay},
                              {"Sand", -12.0, -24.0, k.aSand, k.mSand}};
    unsigned int nNext = 1;
    for (const LayerDef& d : defs) {
        SoilLayer layer;
        layer.strName = d.psz;
        layer.dTop = d.top;
        layer.dBottom = d.bot;
        layer.nGmatK = d.m;
        layer.elems =
            BuildHexBlock(doc, g, 0, g.Nx() - 1, 0, g.Ny() - 1, KAt(g, d.bot), KAt(g, d.top), nNext, d.a, d.m);
        nNext = layer.elems.nLast + 1;
        sum.layers.push_back(layer);
    }
    sum.soil = {sum.layers.front().elems.nFirst, sum.layers.back().elems.nLast};
}

// Diaphragm wall x = 10 from the surface to -15.
void BuildWall(CDBDoc& doc, const Properties& k, SampleSummary& sum)
{
    const SampleGrid& g = sum.grid;
    const int iWall = IAt(g, sum.dWallX);
    sum.wall =
        BuildPlateStripX(doc, g, iWall, 0, g.Ny() - 1, KAt(g, sum.dWallBottom), KAt(g, 0.0), 20001, k.aWall, k.mConc);
}

// Struts from the wall to the centre line at y = 2 and y = 6: beams at -1.5, trusses at -4.5.
void BuildStruts(CDBDoc& doc, const Properties& k, SampleSummary& sum)
{
    const SampleGrid& g = sum.grid;
    const int iWall = IAt(g, sum.dWallX);
    auto strutNodes = [&](double y, double z) {
        std::vector<unsigned int> a;
        for (int i = iWall; i >= 0; --i)
            a.push_back(g.NodeK(i, JAt(g, y), KAt(g, z)));
        return a;
    };
    KeyRange b1 = BuildLine(doc, strutNodes(2.0, -1.5), kElemBeam, 30001, k.aStrut, k.mSteel);
    KeyRange b2 = BuildLine(doc, strutNodes(6.0, -1.5), kElemBeam, b1.nLast + 1, k.aStrut, k.mSteel);
    sum.beamStruts = {b1.nFirst, b2.nLast};
    KeyRange t1 = BuildLine(doc, strutNodes(2.0, -4.5), kElemTruss, 31001, k.aPipe, k.mSteel);
    KeyRange t2 = BuildLine(doc, strutNodes(6.0, -4.5), kElemTruss, t1.nLast + 1, k.aPipe, k.mSteel);
    sum.trussStruts = {t1.nFirst, t2.nLast};
}

// Pile under the pit at (4, 4) from the final floor -9 to -18, top to tip.
void BuildPile(CDBDoc& doc, const Properties& k, SampleSummary& sum)
{
    const SampleGrid& g = sum.grid;
    std::vector<unsigned int> pileNodes;
    for (int kz = KAt(g, -9.0); kz >= KAt(g, -18.0); --kz)
        pileNodes.push_back(g.NodeK(IAt(g, 4.0), JAt(g, 4.0), kz));
    sum.piles = BuildLine(doc, pileNodes, kElemPile, 40001, k.aPile, k.mConc);
    sum.nPileTipNodeK = pileNodes.back();
}

// Depth of the pit [m] at each construction stage.
const double kStageDepths[4] = {0.0, 3.0, 6.0, 9.0};

// Construction stages; returns the elements active at each stage, in key order.
std::vector<std::vector<unsigned int>> BuildStages(CDBDoc& doc, const Model& m, SampleSummary& sum)
{
    const char* stageNames[4] = {"Initial stress", "Wall and pile, excavation to -3.0",
                                 "Strut level 1, excavation to -6.0", "Strut level 2, excavation to -9.0"};
    auto isActive = [&](unsigned int k, int s) {
        const T_ELEM_D& e = m.elems.at(k);
        if (e.nType == kElemSolid) {
            double c[3];
            m.Centre(e, c);
            return !(c[0] < sum.dWallX && c[2] > -kStageDepths[s]);
        }
        if (e.nType == kElemPlate || e.nType == kElemPile)
            return s >= 1;
        if (e.nType == kElemBeam)
            return s >= 2;
        return s >= 3;
    };
    std::vector<std::vector<unsigned int>> active(4);
    CClassStage stages(doc.GetModelDB());
    for (int s = 0; s < 4; ++s) {
        T_STAGE_D st;
        st.strName = stageNames[s];
        for (const auto& [k, e] : m.elems)
            if (isActive(k, s)) {
                st.aActiveElemK.Add(k);
                active[static_cast<size_t>(s)].push_back(k);
            }
        sum.aStageK.push_back(stages.Add(st));
    }
    T_STAGE_D dummy;
    dummy.strName = "Dummy Step";
    sum.nDummyStepK = stages.Add(dummy);
    return active;
}

// Keys of the result entities the rows belong to.
struct Entities {
    unsigned int eNode = 0, eSolid = 0, ePlate = 0, eBeam = 0, eTruss = 0, ePile = 0, eStage = 0;
};

// Post database: output sets and entities.
Entities AddPostEntities(CDBDoc& doc)
{
    CClassPOsif osif(doc.GetPostDB());
    T_POSIF_D os;
    os.strName = "Construction Stages";
    osif.Set(kOsetStages, os);
    os.strName = "Combinations";
    osif.Set(kOsetComb, os);
    CClassPEngr engr(doc.GetPostDB());
    auto addEngr = [&](int nKind, const char* psz) {
        T_PENGR_D e;
        e.nKind = nKind;
        e.strName = psz;
        return engr.Add(e);
    };
    Entities ent;
    ent.eNode = addEngr(kEntNode, "Nodes");
    ent.eSolid = addEngr(kEntElem, "Solid elements");
    ent.ePlate = addEngr(kEntElem, "Plate elements");
    ent.eBeam = addEngr(kEntElem, "Beam elements");
    ent.eTruss = addEngr(kEntElem, "Truss elements");
    ent.ePile = addEngr(kEntElem, "Pile elements");
    ent.eStage = addEngr(kEntGlobal, "Stage totals");
    return ent;
}

// What the result sections share: the model as built, the elements active at each stage, the
// result entities, the row writer and the refinement.
struct Results {
    const Model& m;
    const std::vector<std::vector<unsigned int>>& active;
    const Entities& ent;
    RowWriter& w;
    SampleSummary& sum;
    int r;

    // The elements of one type active at stage s, in key order.
    std::vector<unsigned int> OfType(int s, int nType) const
    {
        std::vector<unsigned int> a;
        for (unsigned int k : active[static_cast<size_t>(s)])
            if (m.elems.at(k).nType == nType)
                a.push_back(k);
        return a;
    }
};

// The first rows of the host's combinations.
struct CombinationSources {
    unsigned int nDZ = 0, nStress = 0, nMy = 0, nQ = 0;
};

double Permeability(const double* p) { return p[2] > -3.0 ? 1.0e-5 : (p[2] > -12.0 ? 1.0e-8 : 1.0e-4); }

double DisplacementAt(const SampleFields& f, const double* p, int d)
{
    double u[3];
    f.Displacement(p, u);
    return u[d];
}

// Displacements: value then the item's vector.
void AddDisplacementRows(Results& x, int s, const SampleFields& f, CombinationSources& src)
{
    const unsigned int step = x.sum.aStageK[static_cast<size_t>(s)];
    struct DispItem { unsigned int item; int qty; const char* psz; int axes; };
    const DispItem items[4] = {{kItemDX, kQtyTranslation, "DX", 1},
                               {kItemDY, kQtyTranslation, "DY", 2},
                               {kItemDZ, kQtyTranslation, "DZ", 4},
                               {kItemDXYZ, kQtyScalar, "DXYZ", 7}};
    for (const DispItem& it : items) {
        T_PVAL_D v = NodeRow(x.m, [&](unsigned int, const double* p) {
            double u[3];
            f.Displacement(p, u);
            std::vector<double> run(4, 0.0);
            for (int d = 0; d < 3; ++d)
                if (it.axes & (1 << d))
                    run[static_cast<size_t>(d) + 1] = u[d];
            run[0] = it.axes == 7 ? std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2])
                                  : run[it.axes == 1 ? 1 : (it.axes == 2 ? 2 : 3)];
            return run;
        });
        unsigned int k = x.w.Add({it.psz, step, x.ent.eNode, it.item, it.qty, kDispPlain, kClsDisp, it.item}, &v);
        if (it.item == kItemDZ && s == 3)
            src.nDZ = k;
    }
}

// Solid stresses: tensor components, principal values, von Mises.
void AddSolidStressRows(Results& x, int s, const SampleFields& f, CombinationSources& src)
{
    const unsigned int step = x.sum.aStageK[static_cast<size_t>(s)];
    const std::vector<unsigned int> solids = x.OfType(s, kElemSolid);
    struct StressComp { unsigned int comp; const char* psz; };
    const StressComp comps[6] = {{0, "SXX"}, {2, "SZZ"}, {5, "SZX"}, {6, "S1"}, {8, "S3"}, {9, "Von Mises"}};
    for (const StressComp& c : comps) {
        auto value = [&](const double* p) {
            double sg[6];
            f.Stress(p, sg);
            if (c.comp < 6)
                return sg[c.comp];
            double val[3], dir[3][3];
            PrincipalValues(sg, val, dir);
            if (c.comp < 9)
                return val[c.comp - 6];
            // σvm = sqrt(((σ1-σ2)² + (σ2-σ3)² + (σ3-σ1)²) / 2)
            return std::sqrt(0.5 * ((val[0] - val[1]) * (val[0] - val[1]) + (val[1] - val[2]) * (val[1] - val[2]) +
                                    (val[2] - val[0]) * (val[2] - val[0])));
        };
        std::function<void(const double*, double*)> dir;
        if (c.comp >= 6 && c.comp <= 8)
            dir = [&](const double* p, double* d) {
                double sg[6], val[3], v[3][3];
                f.Stress(p, sg);
                PrincipalValues(sg, val, v);
                for (int n = 0; n < 3; ++n)
                    d[n] = v[n][c.comp - 6];
            };
        T_PVAL_D v = ElementRow(x.m, solids, value, dir);
        unsigned int k =
            x.w.Add({c.psz, step, x.ent.eSolid, c.comp + 1, kQtyStress, kDispPlain, kClsSolidStress, c.comp}, &v);
        if (c.comp == 2 && s == 3)
            src.nStress = k;
    }
}

// Final stage, node rows: rotations, the stage's settlement, the table and the base reactions.
void AddFinalNodeRows(Results& x, const SampleFields& f)
{
    const Model& m = x.m;
    const unsigned int step = x.sum.aStageK[3];
    const unsigned int eNode = x.ent.eNode;
    std::map<unsigned int, bool> structNode; // nodes of plates, beams and piles carry rotations
    for (unsigned int k : x.active[3]) {
        const T_ELEM_D& e = m.elems.at(k);
        if (e.nType != kElemSolid && e.nType != kElemTruss)
            for (int n = 0; n < e.aNodeK.GetSize(); ++n)
                structNode[e.aNodeK[n]] = true;
    }
    {
        // RY = ∂ux/∂z by central differences (h = 1 mm) on structural nodes.
        T_PVAL_D v = NodeRow(m, [&](unsigned int k, const double* p) {
            if (!structNode.count(k))
                return std::vector<double>();
            double pu[3] = {p[0], p[1], p[2] + 1e-3}, pd[3] = {p[0], p[1], p[2] - 1e-3};
            double ry = (DisplacementAt(f, pu, 0) - DisplacementAt(f, pd, 0)) / 2e-3;
            return std::vector<double>{ry, 0.0, ry, 0.0};
        });
        x.w.Add({"RY", step, eNode, kItemRY, kQtyTranslation, kDispPlain, kClsDisp, kItemRY}, &v);
    }
    {
        SampleFields prev;
        prev.dExcavation = kStageDepths[2];
        T_PVAL_D v = NodeRow(m, [&](unsigned int, const double* p) {
            double u1[3], u0[3];
            f.Displacement(p, u1);
            prev.Displacement(p, u0);
            return std::vector<double>{u1[2] - u0[2]};
        });
        x.w.Add({"DZ of the stage", step, eNode, kItemDZStage, kQtyTranslation, kDispPlain, kClsDisp, kItemDZStage},
                &v);
    }
    x.w.Add({"Displacement table", step, eNode, kItemDispTable, kQtyTable, kDispPlain, kClsDisp, kItemDispTable},
            nullptr);
    {
        // Base reactions: the weight of each base node's soil column.
        const double dA = (2.0 / x.r) * (2.0 / x.r);
        T_PVAL_D v = NodeRow(m, [&](unsigned int, const double* p) {
            if (p[2] > -24.0 + 1e-9)
                return std::vector<double>();
            double sg[6];
            f.Stress(p, sg);
            return std::vector<double>{-sg[2] * dA};
        });
        x.w.Add({"Reaction FZ", step, eNode, kItemRFZ, kQtyScalar, kDispPlain, kClsReact, kItemRFZ}, &v);
    }
}

// Final stage, solid rows: strains, yield flags and the element table.
void AddFinalSolidRows(Results& x, const SampleFields& f, const std::vector<unsigned int>& solids)
{
    const Model& m = x.m;
    const unsigned int step = x.sum.aStageK[3];
    const unsigned int eSolid = x.ent.eSolid;
    {
        // Strains from the stress by isotropic elasticity of the point's layer.
        auto strain = [&](const double* p, double e[6]) {
            double sg[6];
            f.Stress(p, sg);
            const double E = p[2] > -3.0 ? 1.0e4 : (p[2] > -12.0 ? 2.5e4 : 8.0e4);
            const double nu = p[2] > -3.0 ? 0.30 : (p[2] > -12.0 ? 0.35 : 0.30);
            for (int a = 0; a < 3; ++a)
                e[a] = (sg[a] - nu * (sg[(a + 1) % 3] + sg[(a + 2) % 3])) / E;
            for (int a = 3; a < 6; ++a)
                e[a] = sg[a] * (1.0 + nu) / E; // tensor shear strain = τ / 2G
        };
        T_PVAL_D v0 = ElementRow(m, solids, [&](const double* p) {
            double e[6];
            strain(p, e);
            return e[0];
        });
        x.w.Add({"EXX", step, eSolid, 1, kQtyStrainOrVel, kDispPlain, kClsSolidStrain, 0}, &v0);
        auto principal = [&](const double* p, double val[3], double dir[3][3]) {
            double e[6];
            strain(p, e);
            PrincipalValues(e, val, dir);
        };
        T_PVAL_D v6 = ElementRow(
            m, solids,
            [&](const double* p) {
                double val[3], dir[3][3];
                principal(p, val, dir);
                return val[0];
            },
            [&](const double* p, double* d) {
                double val[3], dir[3][3];
                principal(p, val, dir);
                for (int n = 0; n < 3; ++n)
                    d[n] = dir[n][0];
            });
        x.w.Add({"E1", step, eSolid, 7, kQtyStrainOrVel, kDispPlain, kClsSolidStrain, 6}, &v6);
    }
    {
        // Yield flags: 1 where the mobilised shear exceeds 30 % of the vertical stress.
        T_PVAL_D v = ElementRow(m, solids, [&](const double* p) {
            double sg[6];
            f.Stress(p, sg);
            return std::fabs(sg[5]) > 0.3 * std::fabs(sg[2]) ? 1.0 : 0.0;
        });
        x.w.Add({"Yield state", step, eSolid, kCompYield + 1, kQtyState, kDispPlain, kClsSolidStress, kCompYield}, &v);
    }
    x.w.Add({"Element result table", step, eSolid, 31, kQtyTable, kDispPlain, kClsSolidStress, 30}, nullptr);
}

// Wall forces per length from its deflection line: M = EI u'' with EI = E t³/12, Q = dM/dz.
void AddWallForceRows(Results& x, const SampleFields& f)
{
    const Model& m = x.m;
    const unsigned int step = x.sum.aStageK[3];
    const unsigned int ePlate = x.ent.ePlate;
    const double EI = 3.0e7 * std::pow(0.8, 3) / 12.0;
    const double h = 0.05;
    auto M = [&](const double* p) {
        double pu[3] = {p[0], p[1], p[2] + h}, pd[3] = {p[0], p[1], p[2] - h};
        return EI * (DisplacementAt(f, pu, 0) - 2.0 * DisplacementAt(f, p, 0) + DisplacementAt(f, pd, 0)) / (h * h);
    };
    const std::vector<unsigned int> plates = x.OfType(3, kElemPlate);
    T_PVAL_D vN = ElementRow(m, plates, [&](const double* p) { return -25.0 * 0.8 * (-p[2]); });
    x.w.Add({"NYY", step, ePlate, 2, kQtyPlateForce, kDispPlain, kClsPlateForce, 1}, &vN);
    T_PVAL_D vM = ElementRow(m, plates, M);
    x.w.Add({"MYY", step, ePlate, 5, kQtyPlateMoment, kDispPlain, kClsPlateForce, 4}, &vM);
    T_PVAL_D vQ = ElementRow(m, plates, [&](const double* p) {
        double pu[3] = {p[0], p[1], p[2] + h}, pd[3] = {p[0], p[1], p[2] - h};
        return (M(pu) - M(pd)) / (2.0 * h);
    });
    x.w.Add({"QYZ", step, ePlate, 8, kQtyPlateForce, kDispPlain, kClsPlateForce, 7}, &vQ);
}

// Values of member rows at the given positions along each element, end I to end J.
T_PVAL_D MemberRow(const Model& m, const std::vector<unsigned int>& aElemK, const std::vector<double>& aPos,
                   const std::function<double(const T_ELEM_D&, const double*)>& fn)
{
    T_PVAL_D v;
    for (unsigned int k : aElemK) {
        const T_ELEM_D& e = m.elems.at(k);
        const double* a = m.nodes.at(e.aNodeK[0]).dXyz;
        const double* b = m.nodes.at(e.aNodeK[1]).dXyz;
        std::vector<double> run;
        for (double t : aPos) {
            double p[3] = {a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1]), a[2] + t * (b[2] - a[2])};
            run.push_back(fn(e, p));
        }
        v.Append(k, run.data(), static_cast<int>(run.size()));
    }
    return v;
}

// Member forces along beams (struts and pile) and trusses, end I to end J: items 51 to 56 on
// every stage with struts (forces in kN, moments in kNm), the truss force at the last stage.
void AddMemberForceRows(Results& x, CombinationSources& src)
{
    const std::vector<double> pos5 = {0.0, 0.25, 0.5, 0.75, 1.0};
    for (int s = 2; s <= 3; ++s) {
        const unsigned int step = x.sum.aStageK[static_cast<size_t>(s)];
        std::vector<unsigned int> beams = x.OfType(s, kElemBeam);
        const std::vector<unsigned int> piles = x.OfType(s, kElemPile);
        beams.insert(beams.end(), piles.begin(), piles.end());
        // Strut axial force -150 kN with one strut level, -300 kN with two; pile axial force from
        // 800 kN at the head to 250 kN at the tip.
        const double dStrutN = s == 2 ? -150.0 : -300.0;
        auto axial = [&](const T_ELEM_D& e, const double* p) {
            if (e.nType == kElemPile)
                return -(800.0 - 550.0 * (-9.0 - p[2]) / 9.0);
            return dStrutN;
        };
        // Self weight on the 10 m strut span: M = w L² s (1 - s) / 2 and V = dM/dx = w L (1 - 2 s) / 2
        // with s = x / L.
        const double wq = 78.5 * 0.0218, L = 10.0;
        auto my = [&](const T_ELEM_D& e, const double* p) {
            if (e.nType == kElemPile)
                return 0.0;
            const double sx = p[0] / L;
            return wq * L * L * sx * (1.0 - sx) / 2.0;
        };
        auto fz = [&](const T_ELEM_D& e, const double* p) {
            if (e.nType == kElemPile)
                return 0.0;
            return wq * L * (1.0 - 2.0 * p[0] / L) / 2.0;
        };
        auto zero = [](const T_ELEM_D&, const double*) { return 0.0; };
        struct Item {
            const char* psz;
            std::function<double(const T_ELEM_D&, const double*)> fn;
            int nUnit;
        };
        const Item items[6] = {{"Fx", axial, kUnitForce}, {"Fy", zero, kUnitForce}, {"Fz", fz, kUnitForce},
                               {"Mx", zero, kUnitMoment}, {"My", my, kUnitMoment}, {"Mz", zero, kUnitMoment}};
        for (unsigned int c = 0; c < 6; ++c) {
            T_PVAL_D v = MemberRow(x.m, beams, pos5, items[c].fn);
            const unsigned int k = x.w.Add({items[c].psz, step, x.ent.eBeam, kItemBeamFx + c, kQtyMemberForce,
                                            kDispDiagram, kClsBeam, kItemBeamFx + c},
                                           &v, pos5, items[c].nUnit);
            if (s == 3 && c == 4)
                src.nMy = k;
        }
    }
    const unsigned int step = x.sum.aStageK[3];
    const std::vector<double> pos2 = {0.0, 1.0};
    T_PVAL_D vN = MemberRow(x.m, x.OfType(3, kElemTruss), pos2, [](const T_ELEM_D&, const double*) { return -420.0; });
    x.w.Add({"N", step, x.ent.eTruss, kItemTrussN, kQtyMemberForce, kDispDiagram, kClsTruss, kItemTrussN}, &vN, pos2);
}

// Analysis cases of the model with their post controls: the construction stages (type 5),
// whose steps are the stages (kind 25), and a linear case (type 15) with one step of kind 1.
void AddAnalysisCases(CDBDoc& doc, const SampleSummary& sum)
{
    CClassPLsif steps(doc.GetPostDB());
    CClassStage stages(doc.GetModelDB());
    for (unsigned int k : sum.aStageK) {
        T_STAGE_D st;
        stages.Get(k, st);
        T_PLSIF_D step;
        step.nOsifK = kOsetStages;
        step.strName = st.strName;
        step.nStepKind = kStepKindStage;
        steps.Set(k, step);
    }
    CClassPOsif osif(doc.GetPostDB());
    T_POSIF_D os;
    os.strName = "Self weight (linear)";
    osif.Set(kOsetLinear, os);
    T_PLSIF_D lin;
    lin.nOsifK = kOsetLinear;
    lin.strName = "Self weight";
    lin.nStepKind = kStepKindLinear;
    steps.Set(kStepLinear, lin);

    CClassAcas acas(doc.GetModelDB());
    const struct { unsigned int nKey; int nType; const char* psz; unsigned int nOsif; } cases[2] = {
        {kAcasStages, kAcasTypeStages, "Construction Stages", kOsetStages},
        {kAcasLinear, kAcasTypeLinear, "Self weight (linear)", kOsetLinear}};
    for (const auto& c : cases) {
        T_ACAS_D rec;
        rec.nType = c.nType;
        rec.strName = c.psz;
        rec.nPOsifK = c.nOsif;
        acas.Set(c.nKey, rec);
        auto pCtrl = std::make_shared<CPostCtrlAnlTypeStatic>(c.nType);
        pCtrl->SetResultSetKey(c.nOsif);
        CTHResultBuilder::PostCtrl(doc)->SetStaticCase(c.nKey, pCtrl);
    }
}

// Seepage velocity and hydraulic gradient at a point.
void Velocity(const SampleFields& f, const double* p, double v[3], double i[3])
{
    double gh[3];
    f.Head(p, gh);
    const double k = Permeability(p);
    for (int d = 0; d < 3; ++d) {
        i[d] = -gh[d];
        v[d] = -k * gh[d]; // Darcy: v = -k ∇h
    }
}

// Seepage around the wall tip.
void AddSeepageRows(Results& x, const SampleFields& f, const std::vector<unsigned int>& solids,
                    CombinationSources& src)
{
    const Model& m = x.m;
    const unsigned int step = x.sum.aStageK[3];
    const unsigned int eNode = x.ent.eNode;
    {
        T_PVAL_D vH = NodeRow(m, [&](unsigned int, const double* p) {
            double gh[3];
            return std::vector<double>{f.Head(p, gh)};
        });
        x.w.Add({"Total head", step, eNode, 1, kQtyScalar, kDispPlain, kClsNodeSeep, kQtyScalar}, &vH);
        T_PVAL_D vP = NodeRow(m, [&](unsigned int, const double* p) {
            double gh[3];
            return std::vector<double>{std::max(9.81 * (f.Head(p, gh) - p[2]), 0.0)}; // p = γw (h - z)
        });
        x.w.Add({"Pore pressure", step, eNode, 2, kQtyScalar, kDispPlain, kClsNodeSeep, kQtyScalar}, &vP);
        const double dA = (2.0 / x.r) * (1.5 / x.r); // tributary section of a node
        T_PVAL_D vQ = NodeRow(m, [&](unsigned int, const double* p) {
            double v[3], i[3];
            Velocity(f, p, v, i);
            return std::vector<double>{std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]) * dA, v[0] * dA, v[1] * dA,
                                       v[2] * dA};
        });
        src.nQ = x.w.Add({"Discharge", step, eNode, 3, kQtyFlux, kDispPlain, kClsNodeSeep, kQtyFlux}, &vQ);
        T_PVAL_D vV = NodeRow(m, [&](unsigned int, const double* p) {
            double v[3], i[3];
            Velocity(f, p, v, i);
            // Above the water table (z > -2 m) the soil is dry: no seepage.
            if (p[2] > -2.0)
                for (int d = 0; d < 3; ++d)
                    v[d] = i[d] = 0.0;
            return std::vector<double>{std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), v[0], v[1], v[2],
                                       i[0], i[1], i[2]};
        });
        x.w.Add({"Flow velocity", step, eNode, 7, kQtyStrainOrVel, kDispPlain, kClsNodeSeep, kQtyStrainOrVel}, &vV);
    }
    {
        struct SeepComp { unsigned int comp; const char* psz; };
        const SeepComp comps[4] = {{0, "Velocity"}, {1, "VX"}, {3, "VZ"}, {10, "Hydraulic gradient"}};
        for (const SeepComp& c : comps) {
            T_PVAL_D v;
            for (unsigned int k : solids) {
                double p[3], vel[3], i[3];
                m.Centre(m.elems.at(k), p);
                Velocity(f, p, vel, i);
                double value = c.comp == 0    ? std::sqrt(vel[0] * vel[0] + vel[1] * vel[1] + vel[2] * vel[2])
                               : c.comp == 10 ? std::sqrt(i[0] * i[0] + i[1] * i[1] + i[2] * i[2])
                                              : vel[c.comp - 1];
                const double run[7] = {value, vel[0], vel[1], vel[2], p[0], p[1], p[2]};
                v.Append(k, run, 7);
            }
            x.w.Add({c.psz, step, x.ent.eSolid, c.comp + 1, kQtySeepVector, kDispPlain, kClsElemSeep, c.comp}, &v);
        }
    }
}

// Pile tip: tip node, tip resistance 250 kN, tip settlement; the row shows the resistance.
void AddPileTipRow(Results& x, const SampleFields& f)
{
    const unsigned int step = x.sum.aStageK[3];
    T_PVAL_D v;
    const double* tip = x.m.nodes.at(x.sum.nPileTipNodeK).dXyz;
    for (unsigned int k : x.OfType(3, kElemPile)) {
        const double run[3] = {static_cast<double>(x.sum.nPileTipNodeK), 250.0, DisplacementAt(f, tip, 2)};
        v.Append(k, run, 3);
        x.w.SetPile(k, run, 3);
    }
    x.w.Add({"Pile tip force", step, x.ent.ePile, 2, kQtyPileTip, kDispPlain, kClsPile, 0}, &v);
}

// Pumped discharge of the half model: the discharge through the pit floor.
void AddPumpedDischargeRow(Results& x, const SampleFields& f)
{
    const unsigned int step = x.sum.aStageK[3];
    T_PVAL_D v;
    double q = 0.0;
    for (const auto& [k, node] : x.m.nodes)
        if (node.dXyz[0] < x.sum.dWallX && std::fabs(node.dXyz[2] + 9.0) < 1e-9) {
            double vel[3], i[3];
            Velocity(f, node.dXyz, vel, i);
            q += vel[2] * (2.0 / x.r) * (2.0 / x.r);
        }
    v.Append(step, &q, 1);
    x.w.Add({"Pumped discharge", step, x.ent.eStage, 1, kQtyScalar, kDispPlain, kClsGlobal, 1}, &v);
}

// Combinations (host-made rows of output set 999999).
void AddCombinationRows(RowWriter& w, const CombinationSources& src)
{
    w.AddComb(src.nDZ, "DZ x 1.35(DZ)");
    w.AddComb(src.nQ, "Q x 1.2(Discharge)");
    w.AddComb(src.nStress, "SZZ x 1.35(SZZ)");
    w.AddComb(src.nMy, "My x 1.35(My)");
}

} // namespace

BOOL BuildSampleProject(CDBDoc& doc, const SampleOptions& opt, SampleSummary& sum, std::string* pError)
{
    auto fail = [&](const char* psz) {
        if (pError)
            *pError = psz;
        return FALSE;
    };
    if (opt.nRefine < 1 || opt.nRefine > 2)
        return fail("refinement must be 1 or 2");
    if (CClassNode(doc.GetModelDB()).GetCount() != 0 || CClassPVtif(doc.GetPostDB()).GetCount() != 0)
        return fail("the document already holds a model");

    sum = SampleSummary();
    const int r = opt.nRefine;
    BuildGrid(doc, r, sum);
    const Properties props = AddProperties(doc);
    BuildSoilLayers(doc, props, sum);
    BuildWall(doc, props, sum);
    BuildStruts(doc, props, sum);
    BuildPile(doc, props, sum);

    Model m;
    m.pDoc = &doc;
    m.pSum = &sum;
    m.Load();
    const std::vector<std::vector<unsigned int>> active = BuildStages(doc, m, sum);
    const Entities ent = AddPostEntities(doc);

    RowWriter w(doc, sum);
    Results x{m, active, ent, w, sum, r};
    CombinationSources src;
    for (int s = opt.bResultsEveryStage ? 0 : 3; s < 4; ++s) {
        SampleFields f;
        f.dExcavation = kStageDepths[s];
        AddDisplacementRows(x, s, f, src);
        AddSolidStressRows(x, s, f, src);
    }

    // Final stage: the remaining branches.
    SampleFields f;
    f.dExcavation = kStageDepths[3];
    AddFinalNodeRows(x, f);
    const std::vector<unsigned int> solids = x.OfType(3, kElemSolid);
    AddFinalSolidRows(x, f, solids);
    AddWallForceRows(x, f);
    AddMemberForceRows(x, src);
    AddSeepageRows(x, f, solids, src);
    AddPileTipRow(x, f);
    AddPumpedDischargeRow(x, f);
    AddCombinationRows(w, src);

    AddForceSumRows(doc, sum);
    AddAnalysisCases(doc, sum);
    std::sort(sum.aRowK.begin(), sum.aRowK.end());
    // Built about its own origin, so that every result is the same wherever the model stands;
    // the document keeps the shift (SampleShiftOf).
    MoveNodes(doc, opt.dShift);
    return TRUE;
}

} // namespace kvpvs::sample
