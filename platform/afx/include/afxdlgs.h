// Stand-in for the framework's common file dialog. The user's answer comes from the driver's
// script (AfxDriver::ScriptFileDialog): OK with a path, or cancel; an unscripted dialog is
// cancelled. Every dialog shown is journalled with its kind, default extension, flags and filter.
#pragma once
#include "afxwin.h"

#define OFN_READONLY 0x00000001u
#define OFN_OVERWRITEPROMPT 0x00000002u
#define OFN_HIDEREADONLY 0x00000004u
#define OFN_FILEMUSTEXIST 0x00001000u

class CFileDialog : public CDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    explicit CFileDialog(BOOL bOpenFileDialog, const char* pszDefExt = nullptr, const char* pszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* pszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);
    int DoModal() override;
    // The chosen path; with a default extension a name without one gets it (save dialogs).
    CString GetPathName() const { return m_strPath; }
    // The chosen file's name with its extension, without the folder.
    CString GetFileName() const;
    CString GetFileExt() const;

private:
    BOOL m_bOpen;
    CString m_strDefExt;
    CString m_strFilter;
    DWORD m_nFlags;
    CString m_strPath;
};

struct AFX_FILE_DIALOG_D {
    BOOL bOpen = FALSE;
    CString strDefExt;
    DWORD nFlags = 0;
    CString strFilter;
};
// File dialogs shown so far, oldest first (driver side).
int AfxStandInFileDialogCount();
const AFX_FILE_DIALOG_D* AfxStandInFileDialogAt(int i);
void AfxStandInClearFileDialogs();
