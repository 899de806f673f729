// Stand-ins for the post-processor's key combo boxes: CCobxPOsif lists the analysis cases
// (output sets) of the post database, CCobxPLsif the steps of the case chosen in its parent.
// Entries carry their record keys; a parent refreshes its children when its selection changes.
#pragma once
#include "DBDoc.h"

#include <vector>

class CCobxPsifBase : public CComboBox {
public:
    // The key of the selected entry; 0 when nothing is selected.
    unsigned int GetSelKey() const
    {
        const int i = GetCurSel();
        return i < 0 ? 0u : static_cast<unsigned int>(GetItemData(i));
    }
    BOOL SelectKey(unsigned int nKey)
    {
        for (int i = 0; i < GetCount(); ++i)
            if (GetItemData(i) == nKey) {
                SetCurSel(i);
                UpdateChild(0, 0);
                return TRUE;
            }
        return FALSE;
    }
    void SetChild(const std::vector<CCobxPsifBase*>& aChildren) { m_aChildren = aChildren; }
    void SetParentCombo(CCobxPsifBase* pParent) { m_pParentCombo = pParent; }
    // Refills every child from this combo's selection and selects the child's first entry.
    void UpdateChild(int, int)
    {
        for (CCobxPsifBase* c : m_aChildren) {
            c->Refill();
            if (c->GetCount() > 0) {
                c->SetCurSel(0);
                c->UpdateChild(0, 0);
            }
        }
    }
    virtual void Refill() {}
    CDBDoc* m_pDoc = nullptr;

protected:
    std::vector<CCobxPsifBase*> m_aChildren;
    CCobxPsifBase* m_pParentCombo = nullptr;
};

class CCobxPOsif : public CCobxPsifBase {
public:
    void FillList(const CArray<unsigned int, unsigned int>& aKeys)
    {
        ResetContent();
        CClassPOsif tbl(m_pDoc ? m_pDoc->GetPostDB() : nullptr);
        for (int i = 0; i < aKeys.GetSize(); ++i) {
            T_POSIF_D rec;
            tbl.Get(aKeys[i], rec);
            SetItemData(AddString(rec.strName), aKeys[i]);
        }
    }
};

class CCobxPLsif : public CCobxPsifBase {
public:
    void Refill() override
    {
        ResetContent();
        const unsigned int nCase = m_pParentCombo ? m_pParentCombo->GetSelKey() : 0;
        if (!m_pDoc || nCase == 0)
            return;
        CClassPLsif tbl(m_pDoc->GetPostDB());
        CArray<unsigned int, unsigned int> keys;
        tbl.GetKeyList(keys);
        for (int i = 0; i < keys.GetSize(); ++i) {
            T_PLSIF_D rec;
            if (tbl.Get(keys[i], rec) && rec.nOsifK == nCase)
                SetItemData(AddString(rec.strName), keys[i]);
        }
    }
};

// Result-row combo of the step chosen in its parent: a derived class lists the step's rows
// (ListResultTypes), leaving out the excluded item codes that the host fills in.
class CCobxPVtifResultTypeFilterBase : public CCobxPsifBase {
public:
    CCobxPVtifResultTypeFilterBase() { m_mapExcluded.InitHashTable(1009); }
    // Host side: an item code the combo does not offer.
    void ExcludeItem(unsigned int nItem) { m_mapExcluded[nItem] = 1; }
    BOOL IsExcluded(unsigned int nItem) const { return m_mapExcluded.PLookup(nItem) != nullptr; }
    void Refill() override
    {
        ResetContent();
        ListResultTypes(m_pParentCombo ? m_pParentCombo->GetSelKey() : 0u);
    }
    virtual void ListResultTypes(unsigned int nLSifK) = 0;

protected:
    CMap<unsigned int, unsigned int, int, int> m_mapExcluded;
};
