#include "afxdlgs.h"

#include "afx_standin.h"

#include <deque>
#include <string>
#include <utility>

namespace {

std::deque<std::pair<int, std::string>>& Script()
{
    static std::deque<std::pair<int, std::string>> script;
    return script;
}

std::deque<AFX_FILE_DIALOG_D>& Journal()
{
    static std::deque<AFX_FILE_DIALOG_D> journal;
    return journal;
}

int LastSeparator(const CString& s)
{
    const int a = s.ReverseFind('/');
    const int b = s.ReverseFind('\\');
    return a > b ? a : b;
}

} // namespace

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* pszDefExt, const char* pszFileName, DWORD dwFlags,
                         const char* pszFilter, CWnd* pParentWnd)
    : CDialog(0, pParentWnd), m_bOpen(bOpenFileDialog), m_strDefExt(pszDefExt ? pszDefExt : ""),
      m_strFilter(pszFilter ? pszFilter : ""), m_nFlags(dwFlags), m_strPath(pszFileName ? pszFileName : "")
{
}

int CFileDialog::DoModal()
{
    Journal().push_back(AFX_FILE_DIALOG_D{m_bOpen, m_strDefExt, m_nFlags, m_strFilter});
    if (Script().empty())
        return IDCANCEL;
    auto [nResult, strPath] = Script().front();
    Script().pop_front();
    if (nResult != IDOK)
        return nResult;
    m_strPath = strPath.c_str();
    if (!m_bOpen && !m_strDefExt.IsEmpty() && m_strPath.ReverseFind('.') <= LastSeparator(m_strPath))
        m_strPath += CString(".") + m_strDefExt;
    return IDOK;
}

CString CFileDialog::GetFileName() const { return m_strPath.Mid(LastSeparator(m_strPath) + 1); }

CString CFileDialog::GetFileExt() const
{
    const CString strName = GetFileName();
    const int n = strName.ReverseFind('.');
    return n < 0 ? CString() : strName.Mid(n + 1);
}

int AfxStandInFileDialogCount() { return static_cast<int>(Journal().size()); }

const AFX_FILE_DIALOG_D* AfxStandInFileDialogAt(int i)
{
    return i >= 0 && i < AfxStandInFileDialogCount() ? &Journal()[static_cast<size_t>(i)] : nullptr;
}

void AfxStandInClearFileDialogs()
{
    Journal().clear();
    Script().clear();
}

namespace AfxDriver {
void ScriptFileDialog(int nResult, const char* pszPath) { Script().emplace_back(nResult, pszPath ? pszPath : ""); }
} // namespace AfxDriver
