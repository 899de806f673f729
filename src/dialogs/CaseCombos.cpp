#include "dialogs/CaseCombos.h"

#include "DBDoc.h"

namespace kvpvs::dialogs {

void ChainCaseCombos(CDBDoc* pDoc, CCobxPOsif& caseCombo, std::initializer_list<CCobxPsifBase*> chain)
{
    caseCombo.m_pDoc = pDoc;
    CCobxPsifBase* pParent = &caseCombo;
    for (CCobxPsifBase* p : chain) {
        p->m_pDoc = pDoc;
        pParent->SetChild({p});
        p->SetParentCombo(pParent);
        pParent = p;
    }
    CArray<unsigned int, unsigned int> cases;
    CClassPOsif(pDoc ? pDoc->GetPostDB() : nullptr).GetKeyList(cases);
    if (cases.GetSize() > 0) {
        caseCombo.FillList(cases);
        caseCombo.SelectKey(cases[0]);
    }
}

} // namespace kvpvs::dialogs
