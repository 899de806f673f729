#include "design/DesignCases.h"

namespace kvpvs::design {

CPostCtrlAnlTypeBase* CaseControl(CDBDoc* pDoc, unsigned int nAcasK)
{
    auto* pPost = dynamic_cast<CPostCtrlGeoTech*>(pDoc ? CPDataBaseNeutral::GetPostCtrl(pDoc->GetPostDB()) : nullptr);
    CPostCtrlAnlTypeBase* pCtrl = nullptr;
    if (!pPost || !pPost->GetPostCtrlSub(nAcasK, &pCtrl))
        return nullptr;
    return pCtrl;
}

void CaseSteps(CDBDoc* pDoc, const CPostCtrlAnlTypeBase* pCtrl, CArray<unsigned int, unsigned int>& aStepK)
{
    aStepK.RemoveAll();
    if (pDoc && pCtrl)
        CClassPLsif(pDoc->GetPostDB()).GetKeyListByPOsifK(pCtrl->GetResultSetKey(), aStepK, nullptr);
}

void FillStageCaseCombo(CDBDoc* pDoc, CComboBox& combo)
{
    combo.ResetContent();
    if (!pDoc)
        return;
    CClassAcas cls(pDoc->GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    cls.GetKeyList(keys);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_ACAS_D rec;
        if (!cls.Get(keys[i], rec) || rec.nType != 5)
            continue;
        const CPostCtrlAnlTypeBase* pCtrl = CaseControl(pDoc, keys[i]);
        if (!pCtrl || !pCtrl->IsResultReady())
            continue;
        const int n = combo.AddString(rec.strName);
        combo.SetItemData(n, keys[i]);
    }
    if (combo.GetCount() > 0)
        combo.SetCurSel(0);
}

void AddLinearCases(CDBDoc* pDoc, CCheckListBox& list)
{
    if (!pDoc)
        return;
    CClassAcas cls(pDoc->GetModelDB());
    for (int nType : {15, 1}) {
        CArray<unsigned int, unsigned int> keys;
        cls.GetKeyList(keys, nType);
        for (int i = 0; i < keys.GetSize(); ++i) {
            T_ACAS_D rec;
            if (!cls.Get(keys[i], rec))
                continue;
            const CPostCtrlAnlTypeBase* pCtrl = CaseControl(pDoc, keys[i]);
            if (!pCtrl || !pCtrl->IsResultReady())
                continue;
            const int n = list.AddString(rec.strName);
            list.SetItemData(n, keys[i]);
        }
    }
}

void AddStageSteps(CDBDoc* pDoc, const CComboBox& combo, CCheckListBox& list)
{
    const int nSel = combo.GetCurSel();
    if (!pDoc || nSel < 0)
        return;
    const auto nAcasK = static_cast<unsigned int>(combo.GetItemData(nSel));
    T_ACAS_D rec;
    if (!CClassAcas(pDoc->GetModelDB()).Get(nAcasK, rec))
        return;
    const CPostCtrlAnlTypeBase* pCtrl = CaseControl(pDoc, nAcasK);
    if (!pCtrl)
        return;
    CArray<unsigned int, unsigned int> steps;
    CaseSteps(pDoc, pCtrl, steps);
    CClassPLsif clsStep(pDoc->GetPostDB());
    for (int i = 0; i < steps.GetSize(); ++i) {
        T_PLSIF_D step;
        if (!clsStep.Get(steps[i], step) || step.nStepKind != 25)
            continue;
        const int n = list.AddString(step.strName);
        list.SetItemData(n, steps[i]);
    }
}

} // namespace kvpvs::design
