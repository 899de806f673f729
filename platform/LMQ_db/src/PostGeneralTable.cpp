#include "PostGeneralTable.h"

T_POST_GENR_TABL_D& T_POST_GENR_TABL_D::operator=(const T_POST_GENR_TABL_D& o)
{
    nRows = o.nRows;
    nCols = o.nCols;
    aCell.Copy(o.aCell);
    aColTitle.Copy(o.aColTitle);
    aColKind.Copy(o.aColKind);
    aColUnit.Copy(o.aColUnit);
    return *this;
}

void T_POST_GENR_TABL_D::Allocate(int nRowCount, int nColCount)
{
    nRows = nRowCount > 0 ? nRowCount : 0;
    nCols = nColCount > 0 ? nColCount : 0;
    aCell.RemoveAll();
    aCell.SetSize(nRows * nCols);
    aColTitle.RemoveAll();
    aColTitle.SetSize(nCols);
    aColKind.RemoveAll();
    aColUnit.RemoveAll();
    for (int c = 0; c < nCols; ++c) {
        aColKind.Add(0);
        aColUnit.Add(0);
    }
}

IPostGeneralTableData* IPostGeneralTableData::Instance()
{
    static IPostGeneralTableData s;
    return &s;
}

unsigned int IPostGeneralTableData::AddTable(const T_POST_GENR_TABL_D& table)
{
    const unsigned int nKey = m_tables.empty() ? 1u : m_tables.rbegin()->first + 1u;
    m_tables[nKey] = table;
    m_aOrder.push_back(nKey);
    return nKey;
}

BOOL IPostGeneralTableData::RequestRows(int, int nIndex)
{
    m_nLoaded = GetTableKey(nIndex);
    return m_nLoaded != 0;
}

void IPostGeneralTableData::GetRowKeys(CArray<unsigned int, unsigned int>& aKey) const
{
    aKey.RemoveAll();
    if (const T_POST_GENR_TABL_D* t = GetTable(m_nLoaded))
        for (int r = 0; r < t->nRows; ++r)
            aKey.Add(static_cast<unsigned int>(r + 1));
}

BOOL IPostGeneralTableData::GetRowTexts(unsigned int nRowKey, CArray<CString, CString&>& aText) const
{
    aText.RemoveAll();
    const T_POST_GENR_TABL_D* t = GetTable(m_nLoaded);
    if (!t || nRowKey < 1 || nRowKey > static_cast<unsigned int>(t->nRows))
        return FALSE;
    for (int c = 0; c < t->nCols; ++c) {
        CString s = t->Cell(static_cast<int>(nRowKey) - 1, c);
        aText.Add(s);
    }
    return TRUE;
}

const T_POST_GENR_TABL_D* IPostGeneralTableData::GetTable(unsigned int nKey) const
{
    auto it = m_tables.find(nKey);
    return it == m_tables.end() ? nullptr : &it->second;
}

unsigned int IPostGeneralTableData::GetTableKey(int nIndex) const
{
    return nIndex >= 0 && nIndex < static_cast<int>(m_aOrder.size()) ? m_aOrder[static_cast<size_t>(nIndex)] : 0u;
}

void IPostGeneralTableData::ClearTables()
{
    m_tables.clear();
    m_aOrder.clear();
    m_nLoaded = 0;
}

ICustomPostDB* ICustomPostDB::Instance()
{
    static ICustomPostDB s;
    return &s;
}

void ICustomPostDB::ShowTable(unsigned int nKey, const CString& strTitle, int, int)
{
    m_aShown.push_back({{nKey}, {strTitle}, strTitle});
}

void ICustomPostDB::ShowTables(const CArray<unsigned int, unsigned int>& aKey, const CArray<CString, CString&>& aName,
                               const CString& strTitle, int)
{
    T_TABLE_VIEW_D v;
    for (int i = 0; i < aKey.GetSize(); ++i)
        v.aKey.push_back(aKey[i]);
    for (int i = 0; i < aName.GetSize(); ++i)
        v.aName.push_back(aName[i]);
    v.strTitle = strTitle;
    m_aShown.push_back(v);
}

void ICustomPostDB::BeginProgress(const CString& strText, int nSteps)
{
    T_PROGRESS_D p;
    p.strText = strText;
    p.nSteps = nSteps;
    m_aProgress.push_back(p);
}

void ICustomPostDB::StepProgress()
{
    if (!m_aProgress.empty() && !m_aProgress.back().bEnded)
        ++m_aProgress.back().nAdvanced;
}

void ICustomPostDB::EndProgress()
{
    if (!m_aProgress.empty())
        m_aProgress.back().bEnded = true;
}
