// Stand-in for the framework's text file (CStdioFile) and the run-time library's text-mode
// streams. Text mode is what the Windows run-time does: every "\n" written becomes "\r\n",
// and "\r\n" read becomes "\n"; binary mode passes bytes unchanged. Choice: AfxTextFOpen takes
// the run-time's fopen modes ("wt", "at", "rt", "wb", ...), a mode without 'b' being text.
#pragma once
#include "afxstr.h"

#include <cstdio>

// Opens a stream with the run-time's mode letters; text mode translates line ends as above.
// Only a regular file opens (for writing also a path where nothing is yet): a named pipe, a
// device or a folder gives null at once, without waiting for a pipe's other end.
FILE* AfxTextFOpen(const char* pszPath, const char* pszMode);

class CStdioFile {
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };

    CStdioFile() = default;
    ~CStdioFile() { Close(); }
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    BOOL Open(const char* pszFileName, UINT nOpenFlags);
    void Close();
    void WriteString(const char* psz);
    // One line without its line feed; FALSE at the end of the file.
    BOOL ReadString(CString& rString);
    void SeekToEnd();
    FILE* m_pStream = nullptr;
};
