#include "SampleMesh.h"

#include "SampleSchema.h"

#include <cmath>

namespace kvpvs::sample {

int SampleGrid::IndexOf(const std::vector<double>& a, double v)
{
    for (size_t i = 0; i < a.size(); ++i)
        if (std::fabs(a[i] - v) < 1e-9)
            return static_cast<int>(i);
    return -1;
}

BOOL BuildGridNodes(CDBDoc& doc, const SampleGrid& grid)
{
    CClassNode nodes(doc.GetModelDB());
    for (int k = 0; k < grid.Nz(); ++k)
        for (int j = 0; j < grid.Ny(); ++j)
            for (int i = 0; i < grid.Nx(); ++i) {
                unsigned int nKey = grid.NodeK(i, j, k);
                if (nodes.Exist(nKey))
                    return FALSE;
                T_NODE_D node;
                node.dXyz[0] = grid.xs[static_cast<size_t>(i)];
                node.dXyz[1] = grid.ys[static_cast<size_t>(j)];
                node.dXyz[2] = grid.zs[static_cast<size_t>(k)];
                nodes.Set(nKey, node);
            }
    return TRUE;
}

namespace {

// The document's shift, kept in its model database beside the model.
struct T_SAMPLE_SHIFT_D {
    double d[3] = {0, 0, 0};
};

} // namespace

void MoveNodes(CDBDoc& doc, const double d[3])
{
    if (d[0] == 0.0 && d[1] == 0.0 && d[2] == 0.0)
        return;
    for (auto& [nKey, node] : doc.GetModelDB()->Table<T_NODE_D>()) {
        (void)nKey;
        for (int k = 0; k < 3; ++k)
            node.dXyz[k] += d[k];
    }
    T_SAMPLE_SHIFT_D& shift = doc.GetModelDB()->Table<T_SAMPLE_SHIFT_D>()[1];
    for (int k = 0; k < 3; ++k)
        shift.d[k] += d[k];
}

void SampleShiftOf(CDBDoc& doc, double d[3])
{
    const T_SAMPLE_SHIFT_D* p = doc.GetModelDB()->Table<T_SAMPLE_SHIFT_D>().Seek(1);
    for (int k = 0; k < 3; ++k)
        d[k] = p ? p->d[k] : 0.0;
}

namespace {

unsigned int AddElem(CClassElem& elems, unsigned int nKey, int nType, int nCellType, unsigned int nAttrK,
                     unsigned int nMatlK, std::initializer_list<unsigned int> aNodeK)
{
    T_ELEM_D elem;
    elem.nType = nType;
    elem.nCellType = nCellType;
    elem.nPropK = nAttrK;
    elem.nMatlK = nMatlK;
    for (unsigned int n : aNodeK)
        elem.aNodeK.Add(n);
    elems.Set(nKey, elem);
    return nKey;
}

} // namespace

KeyRange BuildHexBlock(CDBDoc& doc, const SampleGrid& grid, int i0, int i1, int j0, int j1, int k0, int k1,
                       unsigned int nFirstElemK, unsigned int nAttrK, unsigned int nMatlK)
{
    CClassElem elems(doc.GetModelDB());
    unsigned int nKey = nFirstElemK;
    for (int k = k0; k < k1; ++k)
        for (int j = j0; j < j1; ++j)
            for (int i = i0; i < i1; ++i)
                AddElem(elems, nKey++, kElemSolid, 12, nAttrK, nMatlK,
                        {grid.NodeK(i, j, k), grid.NodeK(i + 1, j, k), grid.NodeK(i + 1, j + 1, k),
                         grid.NodeK(i, j + 1, k), grid.NodeK(i, j, k + 1), grid.NodeK(i + 1, j, k + 1),
                         grid.NodeK(i + 1, j + 1, k + 1), grid.NodeK(i, j + 1, k + 1)});
    return {nFirstElemK, nKey - 1};
}

KeyRange BuildPlateStripX(CDBDoc& doc, const SampleGrid& grid, int i, int j0, int j1, int k0, int k1,
                          unsigned int nFirstElemK, unsigned int nAttrK, unsigned int nMatlK)
{
    CClassElem elems(doc.GetModelDB());
    unsigned int nKey = nFirstElemK;
    for (int k = k0; k < k1; ++k)
        for (int j = j0; j < j1; ++j)
            AddElem(elems, nKey++, kElemPlate, 9, nAttrK, nMatlK,
                    {grid.NodeK(i, j, k), grid.NodeK(i, j + 1, k), grid.NodeK(i, j + 1, k + 1),
                     grid.NodeK(i, j, k + 1)});
    return {nFirstElemK, nKey - 1};
}

KeyRange BuildLine(CDBDoc& doc, const std::vector<unsigned int>& aNodeK, int nElemType, unsigned int nFirstElemK,
                   unsigned int nAttrK, unsigned int nMatlK)
{
    CClassElem elems(doc.GetModelDB());
    unsigned int nKey = nFirstElemK;
    for (size_t n = 0; n + 1 < aNodeK.size(); ++n)
        AddElem(elems, nKey++, nElemType, 3, nAttrK, nMatlK, {aNodeK[n], aNodeK[n + 1]});
    return {nFirstElemK, nKey - 1};
}

double HexVolume(const double xyz[8][3])
{
    // The six tetrahedra (0, 6, a, b) over the faces not touching the diagonal 0-6.
    static const int kTet[6][2] = {{1, 2}, {2, 3}, {3, 7}, {7, 4}, {4, 5}, {5, 1}};
    double dVol = 0.0;
    for (const auto& t : kTet) {
        double a[3], b[3], c[3];
        for (int d = 0; d < 3; ++d) {
            a[d] = xyz[t[0]][d] - xyz[0][d];
            b[d] = xyz[t[1]][d] - xyz[0][d];
            c[d] = xyz[6][d] - xyz[0][d];
        }
        // (a × b) · c / 6
        double dCross[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
        dVol += (dCross[0] * c[0] + dCross[1] * c[1] + dCross[2] * c[2]) / 6.0;
    }
    return dVol;
}

} // namespace kvpvs::sample
