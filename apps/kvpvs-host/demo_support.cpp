#include "demo_support.h"

#include "DBModelRecords.h"
#include "SampleSchema.h"

#include <algorithm>

unsigned int EnsureForceSumStepRecords(CDBDoc& doc)
{
    CClassPVtif clsRow(doc.GetPostDB());
    CClassPLsif clsStep(doc.GetPostDB());
    CClassPOsif clsSet(doc.GetPostDB());
    CClassStage clsStage(doc.GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    clsRow.GetKeyList(keys);
    unsigned int nLastStep = 0;
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PVTIF_D r;
        if (!clsRow.Get(keys[i], r) || r.nItem != kvpvs::sample::kItemLdfsSolidFirst)
            continue;
        nLastStep = std::max(nLastStep, r.nStepK);
        if (clsStep.Exist(r.nStepK))
            continue;
        T_POSIF_D set;
        if (!clsSet.Get(kvpvs::sample::kOsetStages, set)) {
            set.strName = "Construction Stages";
            clsSet.Set(kvpvs::sample::kOsetStages, set);
        }
        T_PLSIF_D step;
        step.nOsifK = kvpvs::sample::kOsetStages;
        T_STAGE_D stage;
        step.strName = clsStage.Get(r.nStepK, stage) ? stage.strName : CString("Step");
        clsStep.Set(r.nStepK, step);
    }
    return nLastStep;
}
