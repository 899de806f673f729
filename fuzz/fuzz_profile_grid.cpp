// Fuzz entry of a stored profile grid, as a damaged file or another program could leave it: the
// bytes become the grid's two division counts and three corners and up to four index lines,
// shown over a 4 x 4 x 4 box of hexahedra and turned into both tables. Nothing may throw or
// stop; a grid beyond the limits shows nothing and gives no table; one within them shows all
// its points; no index line gives more rows than its points or more labels than lines.
// Layout: two 4-byte counts, nine 8-byte corner coordinates (lower-left, lower-right,
// upper-left), then per line a direction byte, a 4-byte index and a 4-byte division count.
#include "fuzz_bytes.h"

#include "ProfileGridFixtures.h"

#include <vtkPolyData.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace kvpvs::test;

namespace {

using fuzz::CByteReader;
using fuzz::Require;

// The box and its settlement row, made once: the inputs only change the grid.
struct T_FUZZ_MODEL {
    ProfileGridModel m;
    unsigned int nRowK = 0;
    T_FUZZ_MODEL()
    {
        m.BuildBlock(MeshKind::Box, 4, 4, 4, 1.0);
        LinearField f;
        f.a = -0.01;
        f.g = {-0.002, 0.001, 0.0};
        f.u0 = {0.0, 0.0, -0.01};
        nRowK = m.AddNodeRow(f);
    }
};

T_FUZZ_MODEL& Model()
{
    static T_FUZZ_MODEL* pModel = new T_FUZZ_MODEL;
    return *pModel;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ProfileGridModel& m = Model().m;
    CZORDocBase::SetCurDoc(&m.doc);
    CByteReader in{data, size};
    T_SPFG_D g;
    g.strName = "fuzz";
    g.nDivX = in.Next<int32_t>();
    g.nDivY = in.Next<int32_t>();
    for (double* c : {g.dLL, g.dLR, g.dUL})
        for (int k = 0; k < 3; ++k)
            c[k] = in.Next<double>();
    for (int k = 0; k < 3; ++k)
        g.dUR[k] = g.dLR[k] + g.dUL[k] - g.dLL[k];
    CClassSpfg spfg(m.doc.GetModelDB());
    const unsigned int nGridK = spfg.Add(g);

    ProfileGridDisplay d;
    d.rec.Initialize();
    d.rec.nPVtifK = Model().nRowK;
    d.rec.nSpfgK = nGridK;
    d.rec.bBandContour = 1;
    d.rec.bArea = 1;
    int nLinePoints = 0;
    for (int l = 0; l < 4 && in.n >= 9; ++l) {
        T_SPFG_GRID_IDX_BASE line;
        line.nDirection = in.Next<uint8_t>() & 1;
        line.nGridIndex = in.Next<int32_t>();
        line.nDivision = in.Next<int32_t>();
        d.rec.GridIdx.aIdx.Add(line);
        if (kvpvs::profgrid::LineFits(line.nDivision))
            nLinePoints += line.nDivision + 1;
    }
    d.Build(m);
    const bool bFits = kvpvs::profgrid::GridFits(g.nDivX, g.nDivY);
    Require(d.pVM->Process() == 1);
    const vtkIdType nPoints = d.pVM->GetGridSurface()->GetNumberOfPoints();
    Require(bFits ? nPoints == static_cast<vtkIdType>(g.nDivX + 1) * (g.nDivY + 1) : nPoints == 0);
    Require(d.pVM->GetLabelTexts().GetSize() <= d.rec.GridIdx.aIdx.GetSize());

    IPostGeneralTableData* pStore = IPostGeneralTableData::Instance();
    pStore->ClearTables();
    Require(d.pVM->MakeProfGridTable(1, d.rec, 0) == (bFits ? 1 : 0));
    const int nGridTables = pStore->GetCount();
    Require(nGridTables == (bFits ? 1 : 0));
    Require(d.pVM->MakeProfGridTable(2, d.rec, 0) == (bFits ? 1 : 0));
    int nRows = 0;
    for (int t = nGridTables; t < pStore->GetCount(); ++t)
        nRows += pStore->GetTable(pStore->GetTableKey(t))->nRows;
    Require(pStore->GetCount() - nGridTables <= d.rec.GridIdx.aIdx.GetSize() && nRows <= nLinePoints);
    pStore->ClearTables();
    ICustomPostDB::Instance()->m_aShown.clear();

    d.pVM.reset();
    d.pVD.reset();
    spfg.Delete(nGridK);
    CZORDocBase::SetCurDoc(nullptr);
    return 0;
}
