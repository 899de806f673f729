// What the sample's shaking offers the history-plot dialogs: the shaking cases as time-history
// analysis cases, their elements listed by element-type code, three stored result graphs of
// the post database and a damped-sine forcing function.
#include "SampleDynamics.h"

#include "ClassAcas.h"
#include "ClassPGrph.h"
#include "ClassThfc.h"
#include "Comp2ResultType.h"
#include "DBModelRecords.h"
#include "SampleSchema.h"
#include "THResultBuilder.h"

#include <cmath>

namespace kvpvs::sample {

namespace {

// Element-type codes the history plots list elements by.
constexpr int kCodeTruss = 1, kCodeBeam = 2, kCodePlate = 5, kCodeSolid = 15;

unsigned int StoreGraph(CDBDoc& doc, const char* pszName, int nType, unsigned int c1, unsigned int c2,
                        const std::vector<double>& a1, const std::vector<double>& a2)
{
    T_PGRPH_D g;
    g.strName = pszName;
    g.nType = nType;
    g.nComID[0] = c1;
    g.nComID[1] = c2;
    const unsigned int k = CClassPGrph(doc.GetPostDB()).Add(g);
    T_PGRPH_DATA_D d;
    for (double v : a1)
        d.aFirst.Add(v);
    for (double v : a2)
        d.aSecond.Add(v);
    CClassPGrphData(doc.GetPostDB()).Set(k, d);
    return k;
}

} // namespace

void StoreSampleHistoryPlotData(CDBDoc& doc, const DynamicsOptions& opt, const std::vector<double>& aNodeDX)
{
    // The shaking cases are time-history analysis cases (type word 4).
    CClassAcas acas(doc.GetModelDB());
    const struct {
        unsigned int nAcasK;
        const char* pszName;
    } cases[] = {{kAcasQuakeModal, "Quake (modal)"}, {kAcasQuakeDirect, "Quake (direct)"}};
    CPostCtrlGeoTech* pPost = CTHResultBuilder::PostCtrl(doc);
    CClassElem elems(doc.GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    elems.GetKeyList(keys);
    for (const auto& c : cases) {
        T_ACAS_D rec;
        acas.Get(c.nAcasK, rec);
        rec.nType = 4;
        rec.strName = c.pszName;
        acas.Set(c.nAcasK, rec);
        CPostCtrlAnlTypeBase* pCtrl = nullptr;
        if (!pPost->GetPostCtrlSub(c.nAcasK, &pCtrl) || !pCtrl)
            continue;
        for (int i = 0; i < keys.GetSize(); ++i) {
            const int nType = elems.GetElemType(keys[i]);
            const int nCode = nType == kElemTruss   ? kCodeTruss
                              : nType == kElemBeam  ? kCodeBeam
                              : nType == kElemPlate ? kCodePlate
                              : nType == kElemSolid ? kCodeSolid
                                                    : 0;
            if (nCode)
                pCtrl->GetSeqIdInfo()->SetElemTypeCode(keys[i], nCode);
        }
    }

    // Stored graphs: the strut node's x displacement (type 1), the ground acceleration as input
    // wave (type 6), and the ground's velocity against its displacement (type 2, a loop).
    std::vector<double> t, gd, gv, ga;
    for (int s = 0; s < opt.nSteps; ++s) {
        t.push_back(opt.dDt * (s + 1));
        double d, v, a;
        QuakeGroundMotion(t.back(), d, v, a);
        gd.push_back(d);
        gv.push_back(v);
        ga.push_back(a);
    }
    constexpr unsigned int kComGroundDX = 9001, kComGroundVX = 9002;
    CWKVRComp2ResultType::SetComName(kComGroundDX, "Ground DX");
    CWKVRComp2ResultType::SetComName(kComGroundVX, "Ground VX");
    StoreGraph(doc, "DX wall strut node", 1, kItemDX, 0, t, aNodeDX);
    StoreGraph(doc, "Ground acceleration X", 6, 0, 0, t, ga);
    StoreGraph(doc, "Ground VX against DX", 2, kComGroundDX, kComGroundVX, gd, gv);

    // A damped sine as the user would define it: A, B, f [Hz], c [1/s], phase [deg].
    T_THFC_D f;
    f.strName = "Damped sine 1.3 Hz";
    f.nType = 1;
    const double p[5] = {1.0, 0.0, 1.3, 0.4, 0.0};
    for (int i = 0; i < 5; ++i)
        f.dParam[i] = p[i];
    CClassThfc(doc.GetModelDB()).Add(f);
}

} // namespace kvpvs::sample
