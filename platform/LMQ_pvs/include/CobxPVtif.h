// Stand-in for the post-processor's result-row combo box: lists the result rows (T_PVTIF_D,
// by name, entry data the row key) of the step chosen in its parent step combo, in key order.
#pragma once
#include "CobxPsif.h"

class CCobxPVtif : public CCobxPsifBase {
public:
    void Refill() override
    {
        ResetContent();
        const unsigned int nStep = m_pParentCombo ? m_pParentCombo->GetSelKey() : 0;
        if (!m_pDoc || nStep == 0)
            return;
        CClassPVtif tbl(m_pDoc->GetPostDB());
        CArray<unsigned int, unsigned int> keys;
        tbl.GetKeyListByLSifK(nStep, 0, keys);
        for (int i = 0; i < keys.GetSize(); ++i) {
            T_PVTIF_D rec;
            if (tbl.Get(keys[i], rec))
                SetItemData(AddString(rec.strName), keys[i]);
        }
    }
    // Keeps the selected row when it is still listed, else selects the first.
    void RefreshSel()
    {
        const unsigned int nKey = GetSelKey();
        Refill();
        if (!SelectKey(nKey) && GetCount() > 0)
            SetCurSel(0);
    }
};
