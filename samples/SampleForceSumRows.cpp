#include "SampleForceSumRows.h"

#include "SampleSchema.h"

#include "DBDoc.h"
#include "DBModelRecords.h"

#include <cmath>
#include <map>
#include <set>
#include <vector>

namespace kvpvs::sample {

void WallForces(double dExcavation, const double p[3], double v[6])
{
    SampleFields f;
    f.dExcavation = dExcavation;
    auto ux = [&](double z) {
        const double q[3] = {p[0], p[1], z};
        double u[3];
        f.Displacement(q, u);
        return u[0];
    };
    // MYY = EI u'' (EI = E t^3 / 12 of the 0.8 m wall), as the sample's MYY row; h = 0.05 m.
    const double EI = 3.0e7 * std::pow(0.8, 3) / 12.0;
    const double h = 0.05;
    const double dMyy = EI * (ux(p[2] + h) - 2.0 * ux(p[2]) + ux(p[2] - h)) / (h * h);
    const double dDepth = -p[2];
    v[0] = -0.25 * 25.0 * 0.8 * dDepth;      // NXX: a quarter of the vertical force, across the wall
    v[1] = -25.0 * 0.8 * dDepth;             // NYY: the wall's own weight above the point
    v[2] = 0.5 * (p[1] - 10.0);              // NXY: a small shear flow, zero at mid-width
    v[3] = 0.2 * dMyy;                       // MXX = nu MYY, nu = 0.2
    v[4] = dMyy;
    v[5] = 0.05 * (p[1] - 10.0) * dDepth;    // MXY: a small twist
}

BOOL AddForceSumRows(CDBDoc& doc, SampleSummary& sum)
{
    CDBBase* pModel = doc.GetModelDB();
    CDBBase* pPost = doc.GetPostDB();
    const auto& nodes = pModel->Table<T_NODE_D>();
    const auto& elems = pModel->Table<T_ELEM_D>();
    CClassPVtif clsRow(pPost);
    CClassPVal clsVal(pPost);
    CClassStage clsStage(pModel);

    // The steps and entities of the sample's own solid stress and plate rows.
    CArray<unsigned int, unsigned int> keys;
    clsRow.GetKeyList(keys);
    std::set<unsigned int> steps;
    unsigned int eSolid = 0, ePlate = 0;
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PVTIF_D r;
        if (!clsRow.Get(keys[i], r) || r.nDispType != kDispPlain)
            continue;
        if (r.nResultClass == kClsSolidStress && r.nQuantity == kQtyStress) {
            steps.insert(r.nStepK);
            eSolid = r.nEngrK;
        }
        if (r.nResultClass == kClsPlateForce)
            ePlate = r.nEngrK;
    }
    if (steps.empty() || eSolid == 0 || sum.aStageK.empty())
        return FALSE;
    if (ePlate == 0) {
        T_PENGR_D e;
        e.nKind = kEntElem;
        e.strName = "Plate elements";
        ePlate = CClassPEngr(pPost).Add(e);
    }

    auto centre = [&](const T_ELEM_D& e, double c[3]) {
        c[0] = c[1] = c[2] = 0.0;
        for (int n = 0; n < e.aNodeK.GetSize(); ++n)
            for (int d = 0; d < 3; ++d)
                c[d] += nodes.at(e.aNodeK[n]).dXyz[d] / e.aNodeK.GetSize();
    };
    // "element value, then one per node": the field at the centre, then at each node in order.
    auto elementRow = [&](const std::vector<unsigned int>& aElemK, auto&& value) {
        T_PVAL_D vals;
        std::vector<double> run;
        for (unsigned int k : aElemK) {
            const T_ELEM_D& e = elems.at(k);
            double c[3];
            centre(e, c);
            run.assign(1, value(c));
            for (int n = 0; n < e.aNodeK.GetSize(); ++n)
                run.push_back(value(nodes.at(e.aNodeK[n]).dXyz));
            vals.Append(k, run.data(), static_cast<int>(run.size()));
        }
        return vals;
    };
    auto addRow = [&](const char* pszName, unsigned int nStepK, unsigned int nEngrK, unsigned int nItem, int nQty,
                      int nCls, unsigned int nComp, const T_PVAL_D& vals) {
        T_PVTIF_D row;
        row.nItem = nItem;
        row.nStepK = nStepK;
        row.nEngrK = nEngrK;
        row.nQuantity = nQty;
        row.nDispType = kDispPlain;
        row.nResultClass = nCls;
        row.nCompCode = nComp;
        row.aComp.Add(nComp);
        row.strName = pszName;
        // Reads give the values in the current unit system: stresses kN/m2, plate forces kN/m,
        // plate moments kNm/m (a force).
        row.nUnitType = nQty == kQtyStress ? kUnitStress : (nQty == kQtyPlateForce ? kUnitForcePerLength : kUnitForce);
        const unsigned int nKey = clsRow.Add(row);
        clsVal.Set(nKey, vals);
        sum.aRowK.push_back(nKey);
    };

    const char* solidNames[6] = {"SXX (force sum)", "SYY (force sum)", "SZZ (force sum)",
                                 "SXY (force sum)", "SYZ (force sum)", "SZX (force sum)"};
    const char* plateNames[6] = {"NXX", "NYY", "NXY", "MXX", "MYY", "MXY"};
    for (unsigned int nStepK : steps) {
        T_STAGE_D stage;
        if (!clsStage.Get(nStepK, stage))
            continue;
        std::vector<unsigned int> solids, plates;
        double dExcavation = 0.0;
        std::set<unsigned int> active;
        for (int i = 0; i < stage.aActiveElemK.GetSize(); ++i)
            active.insert(stage.aActiveElemK[i]);
        for (const auto& [k, e] : elems) {
            if (active.count(k)) {
                if (e.nType == kElemSolid)
                    solids.push_back(k);
                else if (e.nType == kElemPlate)
                    plates.push_back(k);
            } else if (e.nType == kElemSolid) {
                // The pit's depth: the lowest node of the removed soil.
                for (int n = 0; n < e.aNodeK.GetSize(); ++n)
                    dExcavation = std::max(dExcavation, -nodes.at(e.aNodeK[n]).dXyz[2]);
            }
        }
        SampleFields f;
        f.dExcavation = dExcavation;
        for (unsigned int c = 0; c < 6; ++c) {
            const T_PVAL_D v = elementRow(solids, [&](const double* p) {
                double s[6];
                f.Stress(p, s);
                return s[c];
            });
            addRow(solidNames[c], nStepK, eSolid, kItemLdfsSolidFirst + c, kQtyStress, kClsSolidStress, c, v);
        }
        if (plates.empty())
            continue;
        for (unsigned int c = 0; c < 6; ++c) {
            const T_PVAL_D v = elementRow(plates, [&](const double* p) {
                double w[6];
                WallForces(dExcavation, p, w);
                return w[c];
            });
            const unsigned int nItem = c < 3 ? kItemLdfsPlateN + c : kItemLdfsPlateM + (c - 3);
            addRow(plateNames[c], nStepK, ePlate, nItem, c < 3 ? kQtyPlateForce : kQtyPlateMoment, kClsPlateForce, c,
                   v);
        }
    }
    return TRUE;
}

} // namespace kvpvs::sample
