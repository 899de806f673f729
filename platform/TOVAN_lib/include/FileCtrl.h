// Stand-in for the host's file-name helper: holds a path and gives its parts. Choice: both
// '/' and '\\' separate folders; the folder keeps its trailing separator.
#pragma once
#include "afxstr.h"

class CFileCtrl {
public:
    CFileCtrl() = default;
    void SetFilePathNameExt(const char* pszPath) { m_strPath = pszPath ? pszPath : ""; }
    CString GetFilePathNameExt() const { return m_strPath; }
    // The folder of the path, ending in its separator; empty when the path has none.
    CString GetFilePath() const
    {
        int a = m_strPath.ReverseFind('/');
        int b = m_strPath.ReverseFind('\\');
        int i = a > b ? a : b;
        return i < 0 ? CString() : m_strPath.Left(i + 1);
    }

    // The path without the extension of its file name (the last '.' after the last separator).
    CString GetFilePathName() const
    {
        int a = m_strPath.ReverseFind('/');
        int b = m_strPath.ReverseFind('\\');
        int nDot = m_strPath.ReverseFind('.');
        return nDot > (a > b ? a : b) ? m_strPath.Left(nDot) : m_strPath;
    }

    // The file's name without folder and without extension.
    CString GetFileName() const
    {
        int a = m_strPath.ReverseFind('/');
        int b = m_strPath.ReverseFind('\\');
        int nStart = (a > b ? a : b) + 1;
        int nDot = m_strPath.ReverseFind('.');
        return nDot >= nStart ? m_strPath.Mid(nStart, nDot - nStart) : m_strPath.Mid(nStart);
    }

private:
    CString m_strPath;
};
