// Seepage situations for the dialog tests: a block of hexahedra (the force-sum builder) with
// nodal seepage rows on its step (class 38): velocity (code 7, seven doubles per node: |v|,
// vx, vy, vz and the node's x, y, z) and flow quantity (code 3, the value first), each from a
// field over the node's key and coordinates; a post view, the bridge and the post control.
#pragma once
#include "ForceSumFixtures.h"

#include "DBModelRecords.h"
#include "PVSMeshMngrBrdg.h"
#include "THResultBuilder.h"
#include "ZORViewBase.h"

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace kvpvs::test {

constexpr int kClassNodeSeepage = 38;

// Values of one node of a row; an empty vector leaves the node without a run.
using NodeRowField = std::function<std::vector<double>(unsigned int nNodeK, const double xyz[3])>;

inline unsigned int AddNodeRow(ForceSumModel& m, const char* pszName, int nClass, unsigned int nCode, const NodeRowField& f,
                               unsigned int nStepK = 0)
{
    CDBBase* pPost = m.doc.GetPostDB();
    T_PENGR_D ent;
    ent.nKind = 1;
    ent.strName = "Node";
    const unsigned int nEngrK = CClassPEngr(pPost).Add(ent);
    T_PVTIF_D row;
    row.strName = pszName;
    row.nItem = nCode;
    row.nStepK = nStepK ? nStepK : m.nStepK;
    row.nEngrK = nEngrK;
    row.nQuantity = static_cast<int>(nCode);
    row.nResultClass = nClass;
    row.nCompCode = nCode;
    row.aComp.Add(nCode);
    const unsigned int nRowK = CClassPVtif(pPost).Add(row);
    CClassNode nodes(m.doc.GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    nodes.GetKeyList(keys);
    T_PVAL_D val;
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_NODE_D n;
        nodes.Get(keys[i], n);
        const std::vector<double> v = f(keys[i], n.dXyz);
        if (!v.empty())
            val.Append(keys[i], v.data(), static_cast<int>(v.size()));
    }
    CClassPVal(pPost).Set(nRowK, val);
    return nRowK;
}

// A uniform velocity (vx, vy, vz) at every node.
inline unsigned int AddVelocityRow(ForceSumModel& m, double vx, double vy, double vz, unsigned int nStepK = 0)
{
    return AddNodeRow(
        m, "Flow velocity", kClassNodeSeepage, 7,
        [=](unsigned int, const double x[3]) {
            return std::vector<double>{std::sqrt(vx * vx + vy * vy + vz * vz), vx, vy, vz, x[0], x[1], x[2]};
        },
        nStepK);
}

// The post view, the bridge and the document of a seepage dialog test; the bridge records
// its requests (no display host unless a test installs one).
struct SeepageScene {
    ForceSumModel m;
    CZORViewBase view;
    std::unique_ptr<CPVSMeshMngrBrdg> bridge = std::make_unique<CPVSMeshMngrBrdg>();

    explicit SeepageScene(const HexBlockGrid& grid = HexBlockGrid{})
    {
        BuildHexBlock(m, grid);
        // The product's post control, as the host's document holds it.
        CTHResultBuilder::PostCtrl(m.doc);
        view.CreateWindowCore(nullptr);
        bridge->SetWnd(&view);
        m.doc.SetActiveView(&view);
    }
    ~SeepageScene() { view.DestroyWindow(); }
    SeepageScene(const SeepageScene&) = delete;
    SeepageScene& operator=(const SeepageScene&) = delete;
};

} // namespace kvpvs::test
