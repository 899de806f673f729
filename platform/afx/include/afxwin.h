// Stand-in for the framework's core: objects with run-time class names, and a window core
// without a display: a window is a handle in the live-window registry, Create registers it,
// DestroyWindow runs OnDestroy, retires the handle and then calls PostNcDestroy.
#pragma once
#include "afxstr.h"
#include "afxtempl.h"
#include "windows.h"

struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    BOOL IsDerivedFrom(const CRuntimeClass* pBase) const;
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }
    static const CRuntimeClass classCObject;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)
#define DECLARE_DYNAMIC(class_name)                                    \
public:                                                                \
    static const CRuntimeClass class##class_name;                      \
    const CRuntimeClass* GetRuntimeClass() const override;
#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                          \
    const CRuntimeClass class_name::class##class_name = {#class_name, RUNTIME_CLASS(base_class_name)}; \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
};

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    static CWnd* FromHandle(HWND hWnd);

    // Registers a handle for this object; fails when it already has a live one.
    BOOL CreateWindowCore(CWnd* pParent);
    virtual BOOL DestroyWindow();
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const { return m_bVisible; }
    CWnd* GetParent() const { return m_pParent; }
    void SetWindowText(const char* psz) { m_strText = psz; }
    void GetWindowText(CString& r) const { r = m_strText; }

protected:
    virtual void OnDestroy() {}
    virtual void PostNcDestroy() {}

private:
    static void DestroyThunk(void* p);
    CWnd* m_pParent = nullptr;
    BOOL m_bVisible = FALSE;
    CString m_strText;
};

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
};

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParent = nullptr) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParent) {}
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParent = nullptr);
    virtual BOOL OnInitDialog() { return TRUE; }
    UINT GetTemplateID() const { return m_nIDTemplate; }

protected:
    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;
};

// Extension-module support.
struct AFX_EXTENSION_MODULE {
    BOOL bInitialized = FALSE;
    HMODULE hModule = nullptr;
    HMODULE hResource = nullptr;
};

class CDynLinkLibrary : public CCmdTarget {
    DECLARE_DYNAMIC(CDynLinkLibrary)
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state);
    ~CDynLinkLibrary() override;
    HMODULE m_hModule;
    HMODULE m_hResource;
};

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

#define AFX_EXT_CLASS __attribute__((visibility("default")))
#define AFX_MANAGE_STATE(p)
