// Stand-in for the host's product information: the product's version text. Choice: "8.5.0"
// until the host sets another.
#pragma once
#include "afxstr.h"

class IProductInfo {
public:
    static IProductInfo* Instance();
    virtual ~IProductInfo() = default;
    virtual CString GetVersion() const { return m_strVersion; }
    // Host side.
    void SetVersion(const char* psz) { m_strVersion = psz ? psz : ""; }

private:
    CString m_strVersion = "8.5.0";
};
