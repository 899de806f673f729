#include "SampleSlab.h"

#include "SampleDynamics.h"
#include "SampleSchema.h"
#include "ThisInfo.h"

#include <map>
#include <utility>

namespace kvpvs::sample {

namespace {

constexpr unsigned int kFirstSlabK = 50001;
// VTK's quadratic quadrilateral: four corners, then the mid-side nodes.
constexpr int kCellQuadraticQuad = 23;

BOOL Fail(std::string* pError, const char* psz)
{
    if (pError)
        *pError = psz;
    return FALSE;
}

} // namespace

BOOL BuildSampleSlab(CDBDoc& doc, const SampleSummary& sum, SlabSummary& slab, std::string* pError)
{
    const SampleGrid& g = sum.grid;
    SlabSummary out;
    const int kFloor = SampleGrid::IndexOf(g.zs, out.dZ);
    const int iWall = SampleGrid::IndexOf(g.xs, sum.dWallX);
    if (kFloor < 0 || iWall < 1 || g.Ny() < 2)
        return Fail(pError, "the grid has no pit floor or wall line");
    CClassElem elems(doc.GetModelDB());
    T_ELEM_D wall;
    if (sum.wall.Count() == 0 || !elems.Get(sum.wall.nFirst, wall) || !CClassGmat(doc.GetModelDB()).Exist(wall.nMatlK))
        return Fail(pError, "the wall has no material");
    const int nx = iWall, ny = g.Ny() - 1;
    const unsigned int nPlates = static_cast<unsigned int>(nx * ny);
    for (unsigned int k = kFirstSlabK; k < kFirstSlabK + nPlates; ++k)
        if (elems.Exist(k))
            return Fail(pError, "the slab's element keys are taken");

    CClassNode nodes(doc.GetModelDB());
    CArray<unsigned int, unsigned int> nodeKeys;
    nodes.GetKeyList(nodeKeys);
    unsigned int nNextNodeK = 1;
    for (int i = 0; i < nodeKeys.GetSize(); ++i)
        nNextNodeK = nodeKeys[i] >= nNextNodeK ? nodeKeys[i] + 1 : nNextNodeK;

    // Concrete of the wall, a section of the slab's thickness.
    out.nMatlK = wall.nMatlK;
    T_GPRO_D sec;
    sec.strName = "Base slab t=0.6";
    sec.dThickness = out.dThickness;
    out.nGproK = CClassGpro(doc.GetModelDB()).Add(sec);
    T_ATTR_D attr;
    attr.nType = kAttrPlate;
    attr.nGproK = out.nGproK;
    attr.nGmatK = out.nMatlK;
    attr.strName = "Base slab";
    out.nAttrK = CClassAttr(doc.GetModelDB()).Add(attr);

    // One mid-side node per side, made when the first plate meets it: a side is named by its two
    // corners' keys, the smaller first.
    std::map<std::pair<unsigned int, unsigned int>, unsigned int> midside;
    out.midsideNodes.nFirst = nNextNodeK;
    auto midsideOf = [&](unsigned int a, unsigned int b) {
        const std::pair<unsigned int, unsigned int> side = a < b ? std::make_pair(a, b) : std::make_pair(b, a);
        const auto it = midside.find(side);
        if (it != midside.end())
            return it->second;
        T_NODE_D na, nb, n;
        nodes.Get(a, na);
        nodes.Get(b, nb);
        for (int d = 0; d < 3; ++d)
            n.dXyz[d] = 0.5 * (na.dXyz[d] + nb.dXyz[d]);
        nodes.Set(nNextNodeK, n);
        midside[side] = nNextNodeK;
        return nNextNodeK++;
    };

    unsigned int nKey = kFirstSlabK;
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const unsigned int c[4] = {g.NodeK(i, j, kFloor), g.NodeK(i + 1, j, kFloor), g.NodeK(i + 1, j + 1, kFloor),
                                       g.NodeK(i, j + 1, kFloor)};
            T_ELEM_D e;
            e.nType = kElemPlate;
            e.nCellType = kCellQuadraticQuad;
            e.nPropK = out.nAttrK;
            e.nMatlK = out.nMatlK;
            for (unsigned int k : c)
                e.aNodeK.Add(k);
            for (int s = 0; s < 4; ++s)
                e.aNodeK.Add(midsideOf(c[s], c[(s + 1) % 4]));
            if (i == nx - 1 && out.nWallK == 0)
                out.nWallK = nKey;
            elems.Set(nKey++, e);
        }
    out.elems = {kFirstSlabK, nKey - 1};
    out.midsideNodes.nLast = nNextNodeK - 1;
    slab = out;
    return TRUE;
}

std::vector<unsigned int> StoreSampleSlabFunctions(CDBDoc& doc, const SlabSummary& slab)
{
    CClassThrd thrd(doc.GetModelDB());
    std::vector<unsigned int> keys;
    const struct {
        unsigned int nAcasK;
        const char* pszForm;
    } cases[] = {{kAcasQuakeModal, "modal"}, {kAcasQuakeDirect, "direct"}};
    for (const auto& c : cases) {
        T_THRD_D moment;
        moment.strName.Format("Mxx base slab beside the wall centre (%s)", c.pszForm);
        moment.nCode = 4;        // plate
        moment.nResultKind = 2;  // forces per unit length
        moment.nPosition = 0;    // the centre
        moment.nComponent = 3;   // Mxx
        moment.nEntityK = slab.nWallK;
        moment.nAcasK = c.nAcasK;
        keys.push_back(thrd.Add(moment));
    }
    return keys;
}

} // namespace kvpvs::sample
