#include "dialogs/DialogEntryGuard.h"

namespace kvpvs::dialogs {

namespace {

void Fill(CCheckListBox& list, const ListEntries& entries)
{
    list.ResetContent();
    for (const T_LIST_ENTRY_D& e : entries) {
        const int n = list.AddString(e.strText);
        list.SetItemData(n, e.nData);
        list.SetCheck(n, e.nCheck);
    }
}

void Fill(CComboBox& combo, const ListEntries& entries, int nSel)
{
    combo.ResetContent();
    for (const T_LIST_ENTRY_D& e : entries)
        combo.SetItemData(combo.AddString(e.strText), e.nData);
    combo.SetCurSel(nSel);
}

// Gives a box its old entries back; one that cannot have them is left empty rather than half.
template <class TBox, class... Sel>
void Restore(TBox& box, const ListEntries& old, Sel... nSel) noexcept
{
    if (!RunGuarded([&] { Fill(box, old, nSel...); }))
        box.ResetContent();
}

} // namespace

ListEntries ReadEntries(const CCheckListBox& list)
{
    ListEntries entries(static_cast<size_t>(list.GetCount()));
    for (int i = 0; i < list.GetCount(); ++i) {
        T_LIST_ENTRY_D& e = entries[static_cast<size_t>(i)];
        list.GetText(i, e.strText);
        e.nData = list.GetItemData(i);
        e.nCheck = list.GetCheck(i);
    }
    return entries;
}

ListEntries ReadEntries(const CComboBox& combo)
{
    ListEntries entries(static_cast<size_t>(combo.GetCount()));
    for (int i = 0; i < combo.GetCount(); ++i) {
        T_LIST_ENTRY_D& e = entries[static_cast<size_t>(i)];
        combo.GetLBText(i, e.strText);
        e.nData = combo.GetItemData(i);
    }
    return entries;
}

void ReplaceEntries(CCheckListBox& list, const ListEntries& entries)
{
    const ListEntries old = ReadEntries(list);
    try {
        Fill(list, entries);
    } catch (...) {
        Restore(list, old);
        throw;
    }
}

void ReplaceEntries(CCheckListBox& list, const ListEntries& entries, CCheckListBox& list2, const ListEntries& entries2,
                    CComboBox& combo, const ListEntries& comboEntries)
{
    const ListEntries old = ReadEntries(list);
    const ListEntries old2 = ReadEntries(list2);
    const ListEntries oldCombo = ReadEntries(combo);
    const int nOldSel = combo.GetCurSel();
    try {
        Fill(list, entries);
        Fill(list2, entries2);
        Fill(combo, comboEntries, 0);
    } catch (...) {
        Restore(list, old);
        Restore(list2, old2);
        Restore(combo, oldCombo, nOldSel);
        throw;
    }
}

} // namespace kvpvs::dialogs
