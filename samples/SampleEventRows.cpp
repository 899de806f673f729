#include "SampleEventRows.h"

#include "SampleMesh.h"
#include "SampleSchema.h"

#include <functional>

namespace kvpvs::sample {

namespace {

constexpr int kClsEvent = 30;      // crack states of line elements and their diagram forces
constexpr unsigned kEventFamily1 = 80001, kEventFamily2 = 80101;
constexpr unsigned kForce3008 = 3008, kForce5001 = 5001;

} // namespace

double StrutEventState(double x)
{
    if (x < 2.5)
        return 0.0;
    if (x < 5.0)
        return 1.0;
    if (x < 7.5)
        return 2.0;
    return 3.0;
}

BOOL AddEventRows(CDBDoc& doc, SampleSummary& summary, EventRows& rows)
{
    rows = EventRows();
    if (summary.beamStruts.Count() == 0 || summary.aStageK.empty())
        return FALSE;
    CDBBase* pModel = doc.GetModelDB();
    CClassElem clsElem(pModel);
    CClassNode clsNode(pModel);
    struct Strut {
        unsigned int nK;
        double x[2];
    };
    std::vector<Strut> struts;
    double shift[3];
    SampleShiftOf(doc, shift);
    for (unsigned int k = summary.beamStruts.nFirst; k <= summary.beamStruts.nLast; ++k) {
        T_ELEM_D e;
        T_NODE_D a, b;
        if (!clsElem.Get(k, e) || e.aNodeK.GetSize() != 2 || !clsNode.Get(e.aNodeK[0], a) ||
            !clsNode.Get(e.aNodeK[1], b))
            continue;
        // Along the strut in the sample's own x: the states are the same wherever the model stands.
        struts.push_back({k, {a.dXyz[0] - shift[0], b.dXyz[0] - shift[0]}});
        rows.aElemK.push_back(k);
    }
    if (struts.empty())
        return FALSE;

    CClassPEngr engr(doc.GetPostDB());
    T_PENGR_D ent;
    ent.nKind = kEntElem;
    ent.strName = "Strut lining";
    rows.nEntityK = engr.Add(ent);
    ent.strName = "Strut lining (other)";
    const unsigned int nOtherK = engr.Add(ent);

    const unsigned int step = summary.aStageK.back();
    CClassPVtif clsRow(doc.GetPostDB());
    CClassPVal clsVal(doc.GetPostDB());
    auto add = [&](const char* pszName, unsigned int nEngrK, unsigned int nCode, int nUnit,
                   const std::function<double(double)>& fn) {
        T_PVTIF_D row;
        row.nStepK = step;
        row.nEngrK = nEngrK;
        row.nItem = nCode;
        row.nQuantity = kQtyMemberForce;
        row.nDispType = kDispDiagram;
        row.nResultClass = kClsEvent;
        row.nCompCode = nCode;
        row.aComp.Add(nCode);
        row.aDgrmPos.Add(0.0);
        row.aDgrmPos.Add(1.0);
        row.strName = pszName;
        row.nUnitType = nUnit;
        const unsigned int k = clsRow.Add(row);
        T_PVAL_D v;
        for (const Strut& s : struts) {
            const double run[2] = {fn(s.x[0]), fn(s.x[1])};
            v.Append(s.nK, run, 2);
        }
        clsVal.Set(k, v);
        summary.aRowK.push_back(k);
        return k;
    };
    // Self weight on the 10 m span: M = w L² s (1 - s) / 2 with s = x / L.
    const double wq = 78.5 * 0.0218, L = 10.0;
    auto moment = [=](double x) { return wq * L * L * (x / L) * (1.0 - x / L) / 2.0; };
    rows.nOther3008K = add("My (other lining)", nOtherK, kForce3008, kUnitMoment, [&](double x) { return 2.0 * moment(x); });
    rows.nForce3008K = add("My (lining)", rows.nEntityK, kForce3008, kUnitMoment, moment);
    rows.nForce5001K = add("N (lining)", rows.nEntityK, kForce5001, kUnitForce, [](double) { return -300.0; });
    rows.nEvent1K = add("Crack state", rows.nEntityK, kEventFamily1, 0, StrutEventState);
    rows.nEvent2K = add("Crack state (ends)", rows.nEntityK, kEventFamily2, 0, StrutEventState);
    return TRUE;
}

} // namespace kvpvs::sample
