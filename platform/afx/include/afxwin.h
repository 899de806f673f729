// Stand-in for the framework's core: objects with run-time class names, and windows without a
// display. A window is a handle in the live-window registry with its parent or owner,
// visibility, enabled state, text, rectangle and child controls; messages reach it through
// message maps (static tables walked along the class chain). A dialog builds its controls from
// a resource description registered in code. Choice: there is no message queue; posting sends.
#pragma once
#include "afxstr.h"
#include "afxtempl.h"
#include "windows.h"

#include <memory>
#include <vector>

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

// ---- message maps -------------------------------------------------------------------------
class CCmdTarget;

enum AfxSig {
    AfxSig_end = 0,
    AfxSig_vv,  // void ()
    AfxSig_iv,  // int () : a command handler whose result is dropped
    AfxSig_vwl, // void (UINT, LPARAM) : system command
    AfxSig_vt,  // void (UINT_PTR) : timer
    AfxSig_vNMHDRpl, // void (NMHDR*, LRESULT*) : control notification
};

// The system's control notification (WM_NOTIFY): the header every notification record starts with.
#ifndef WM_NOTIFY
#define WM_NOTIFY 0x004E
#endif
struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

union AFX_PMSG_U {
    void (CCmdTarget::*vv)();
    int (CCmdTarget::*iv)();
    void (CCmdTarget::*vwl)(UINT, LPARAM);
    void (CCmdTarget::*vt)(UINT_PTR);
    void (CCmdTarget::*vNMHDRpl)(NMHDR*, LRESULT*);
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;   // notification code of WM_COMMAND
    UINT nID;     // first control id
    UINT nLastID; // last control id (ranges)
    int nSig;
    AFX_PMSG_U pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                          \
protected:                                                             \
    static const AFX_MSGMAP* GetThisMessageMap();                      \
    const AFX_MSGMAP* GetMessageMap() const override;                  \
public:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                     \
    {                                                                                   \
        using ThisClass [[maybe_unused]] = theClass;                                    \
        using TheBaseClass = baseClass;                                                 \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                               \
    {0, 0, 0, 0, AfxSig_end, {}}};                                                      \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap;                                                             \
    }

#define AFX_VV(fn) AFX_PMSG_U{.vv = static_cast<void (CCmdTarget::*)()>(&ThisClass::fn)}
#define ON_CONTROL(code, id, fn) {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), AfxSig_vv, AFX_VV(fn)},
#define ON_COMMAND(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_CLICKED_INT(id, fn)                                                        \
    {WM_COMMAND, BN_CLICKED, (UINT)(id), (UINT)(id), AfxSig_iv,                          \
     AFX_PMSG_U{.iv = static_cast<int (CCmdTarget::*)()>(&ThisClass::fn)}},
#define ON_EN_SETFOCUS(id, fn) ON_CONTROL(EN_SETFOCUS, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_CLBN_CHKCHANGE(id, fn) ON_CONTROL(CLBN_CHKCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
// WM_NOTIFY from control id with the given code; the handler's *pResult is the message's result.
#define ON_NOTIFY(code, id, fn)                                                          \
    {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), AfxSig_vNMHDRpl,                   \
     AFX_PMSG_U{.vNMHDRpl = static_cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(&ThisClass::fn)}},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, AfxSig_vv, AFX_VV(OnDestroy)},
#define ON_WM_SYSCOMMAND()                                                               \
    {WM_SYSCOMMAND, 0, 0, 0, AfxSig_vwl,                                                 \
     AFX_PMSG_U{.vwl = static_cast<void (CCmdTarget::*)(UINT, LPARAM)>(&ThisClass::OnSysCommand)}},
#define ON_WM_TIMER()                                                                    \
    {WM_TIMER, 0, 0, 0, AfxSig_vt, AFX_PMSG_U{.vt = static_cast<void (CCmdTarget::*)(UINT_PTR)>(&ThisClass::OnTimer)}},

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    // Finds the handler of a message along the class chain and calls it; FALSE when none.
    // pResult receives the result of a notification handler.
    BOOL DispatchMapped(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam, LPARAM lParam,
                        LRESULT* pResult = nullptr);
};

// ---- windows -------------------------------------------------------------------------------
class CDataExchange;
class CDC;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object of a window of this process; for a window of another process a temporary
    // object that carries only its handle (kept for the life of the process).
    static CWnd* FromHandle(HWND hWnd);
    // A device context for measuring texts in the window; ReleaseDC gives it back.
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);

    // Registers a handle for this object; fails when it already has a live one. A child is a
    // control of its parent; otherwise the parent is the window's owner.
    BOOL CreateWindowCore(CWnd* pParent, BOOL bChild = FALSE, UINT nID = 0);
    // Owned windows first, then WM_DESTROY, then the child controls, the timers, the handle,
    // and last PostNcDestroy (which may delete the object).
    virtual BOOL DestroyWindow();
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const { return m_hWnd && m_bVisible; }
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const { return m_bEnabled; }
    CWnd* GetParent() const;
    CWnd* GetOwner() const { return GetParent(); }
    void SetWindowText(const char* psz) { m_strText = psz ? psz : ""; }
    void GetWindowText(CString& r) const { r = m_strText; }
    int GetWindowTextLength() const { return m_strText.GetLength(); }
    void GetWindowRect(RECT* pRect) const { *pRect = m_rect; }
    void GetClientRect(RECT* pRect) const { *pRect = RECT{0, 0, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top}; }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    UINT GetDlgCtrlID() const { return m_nID; }
    CWnd* GetDlgItem(UINT nID) const;
    CWnd* SetFocus();
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    BOOL IsChildOrSelf(HWND hWnd) const;

    LRESULT SendMessage(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0);
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, void* pfn);
    BOOL KillTimer(UINT_PTR nIDEvent);

    // Keyboard messages pass here, from the target window up through its parents, before
    // they are dispatched; TRUE consumes the message.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    int MessageBox(const char* pszText, const char* pszCaption = nullptr, UINT nType = MB_OK);

    // Child controls built from a resource description; the window owns them.
    void AdoptControl(std::unique_ptr<CWnd> pControl) { m_aOwnedControls.push_back(std::move(pControl)); }
    // A member control takes over the live control of the same id (state and handle).
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    virtual void CopyControlState(const CWnd& from);
    DWORD m_nStyle = 0;

protected:
    virtual LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam);
    virtual void DoDataExchange(CDataExchange*) {}
    virtual void OnDestroy() {}
    virtual void PostNcDestroy() {}
    virtual void OnSysCommand(UINT nID, LPARAM lParam);
    virtual void OnTimer(UINT_PTR) {}
    // Called when the focus arrives; controls tell their parent.
    virtual void OnFocusArrived() {}

private:
    static void DestroyThunk(void* p);
    static LRESULT ProcThunk(void* p, UINT nMsg, WPARAM wParam, LPARAM lParam);
    HWND m_hWndParent = nullptr;
    CWnd* m_pParent = nullptr;
    BOOL m_bVisible = FALSE;
    BOOL m_bEnabled = TRUE;
    BOOL m_bDestroying = FALSE;
    UINT m_nID = 0;
    CString m_strText;
    RECT m_rect;
    std::vector<std::unique_ptr<CWnd>> m_aOwnedControls;
    friend class CDialog;
};

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
};

// The application's main window; choice: it records every command it receives.
class CFrameWnd : public CWnd {
    DECLARE_DYNAMIC(CFrameWnd)
public:
    struct T_COMMAND_D {
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<T_COMMAND_D> m_aCommands;

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
};

// The hourglass while an object lives; choice: counts how often it was shown.
class CWaitCursor {
public:
    CWaitCursor() { ++m_nShown; }
    static inline int m_nShown = 0;
};

CWnd* AfxGetMainWnd();
int AfxMessageBox(const char* pszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// ---- controls ------------------------------------------------------------------------------
class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
};

class CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    void SetSel(int nStart, int nEnd) { m_nSelStart = nStart; m_nSelEnd = nEnd; }
    void GetSel(int& nStart, int& nEnd) const { nStart = m_nSelStart; nEnd = m_nSelEnd; }
    void SetReadOnly(BOOL b = TRUE) { m_bReadOnly = b; }
    BOOL m_bReadOnly = FALSE;

protected:
    void OnFocusArrived() override;

private:
    int m_nSelStart = 0, m_nSelEnd = 0;
};

class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    int GetCheck() const { return m_nCheck; }
    void SetCheck(int nCheck) { m_nCheck = nCheck; }
    // The image shown on the button; the previous one is returned.
    HBITMAP SetBitmap(HBITMAP hBitmap)
    {
        HBITMAP hOld = m_hBitmap;
        m_hBitmap = hBitmap;
        return hOld;
    }
    HBITMAP GetBitmap() const { return m_hBitmap; }
    void CopyControlState(const CWnd& from) override;

private:
    int m_nCheck = 0;
    HBITMAP m_hBitmap = nullptr;
};

// A bitmap loaded from the module's resources; choice: its handle is the resource number.
class CBitmap : public CObject {
public:
    // FALSE for resource 0 and for a resource the driver made missing (AfxStandInMissingBitmap).
    BOOL LoadBitmap(UINT nIDResource);
    operator HBITMAP() const { return m_hBitmap; }

private:
    HBITMAP m_hBitmap = nullptr;
};

class CListBox : public CWnd {
    DECLARE_DYNAMIC(CListBox)
public:
    int AddString(const char* psz);
    // Inserts before row nIndex (-1: at the end); -1 (LB_ERR) for an index past the end.
    int InsertString(int nIndex, const char* psz);
    // The width in pixels the list can be scrolled across.
    void SetHorizontalExtent(int cxExtent) { m_nHorizontalExtent = cxExtent; }
    int GetHorizontalExtent() const { return m_nHorizontalExtent; }
    int GetCount() const { return static_cast<int>(m_aItems.size()); }
    void ResetContent();
    int GetText(int i, CString& r) const;
    DWORD_PTR GetItemData(int i) const;
    int SetItemData(int i, DWORD_PTR d);
    int GetCurSel() const { return m_nCurSel; }
    int SetCurSel(int i);

protected:
    struct Item {
        CString strText;
        DWORD_PTR nData = 0;
        int nCheck = 0;
    };
    std::vector<Item> m_aItems;
    int m_nCurSel = -1;
    int m_nHorizontalExtent = 0;
};

class CCheckListBox : public CListBox {
    DECLARE_DYNAMIC(CCheckListBox)
public:
    int GetCheck(int i) const;
    void SetCheck(int i, int nCheck);
};

class CComboBox : public CWnd {
    DECLARE_DYNAMIC(CComboBox)
public:
    int AddString(const char* psz);
    int GetCount() const { return static_cast<int>(m_aItems.size()); }
    void ResetContent();
    void GetLBText(int i, CString& r) const;
    DWORD_PTR GetItemData(int i) const;
    int SetItemData(int i, DWORD_PTR d);
    int GetCurSel() const { return m_nCurSel; }
    int SetCurSel(int i);

private:
    struct Item {
        CString strText;
        DWORD_PTR nData = 0;
    };
    std::vector<Item> m_aItems;
    int m_nCurSel = -1;
};

// ---- dialogs and their resource descriptions -----------------------------------------------
enum AfxControlKind { AFX_CTL_EDIT, AFX_CTL_STATIC, AFX_CTL_BUTTON, AFX_CTL_CHECK, AFX_CTL_RADIO,
                      AFX_CTL_COMBO, AFX_CTL_LIST, AFX_CTL_CHECKLIST, AFX_CTL_CUSTOM,
                      AFX_CTL_SPIN, AFX_CTL_LISTCTRL }; // the last two: afxcmn.h's controls
#define WS_GROUP 0x00020000u
#define WS_DISABLED 0x08000000u
#define WS_HIDDEN 0x00000001u // stand-in bit: created invisible
#define ES_READONLY 0x0800u
#define AFX_STYLE_RADIO 0x10000000u // stand-in bit: the button is a radio button
#define AFX_STYLE_CHECK 0x20000000u // stand-in bit: the button is a check box
#define BS_PUSHLIKE 0x00001000u   // a check box drawn as a push button
#define BS_BITMAP 0x00000080u     // a button that shows its bitmap

struct AFX_DLGITEM_D {
    UINT nID;
    int nKind;
    const char* pszText;
    DWORD nStyle;
    int nWidth = 0; // pixels; 0: the control has no size
    int nHeight = 0;
};

struct AFX_DLGTEMPLATE_D {
    const char* pszCaption;
    int nWidth; // dialog units
    std::vector<AFX_DLGITEM_D> aItems;
};

// Registers the description of a dialog resource (the stand-in's resource script); the texts are
// copied, so that they outlive the library that gave them.
void AfxRegisterDialogTemplate(UINT nIDTemplate, AFX_DLGTEMPLATE_D tmpl);
const AFX_DLGTEMPLATE_D* AfxFindDialogTemplate(UINT nIDTemplate);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
    DECLARE_MESSAGE_MAP()
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParent = nullptr) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParent) {}
    // Builds the window and its controls from the registered description (a template that is
    // not registered gives a window without controls), then runs OnInitDialog.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParent = nullptr);
    virtual BOOL OnInitDialog();
    // The modal run: creates the dialog (OnInitDialog runs), then plays the user's actions
    // scripted through AfxDriver::ScriptModal until one ends the dialog; when the script runs
    // out first, the user closes it with the title bar's close box (and if the dialog refuses,
    // it ends as Cancel). Destroys the window and returns the EndDialog result; -1 when the
    // dialog cannot be created or its window goes without EndDialog.
    virtual int DoModal();
    BOOL IsModalRunning() const { return m_bModal; }
    UINT GetTemplateID() const { return m_nIDTemplate; }
    // Ends a modal run with nResult; a modeless dialog is only hidden.
    void EndDialog(int nResult);
    int GetEndResult() const { return m_nResult; }
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void CheckRadioButton(UINT nFirst, UINT nLast, UINT nCheck);

protected:
    virtual void OnOK();
    virtual void OnCancel();
    void OnOKThunk() { OnOK(); }
    void OnCancelThunk() { OnCancel(); }
    LRESULT DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;
    int m_nResult = 0;

private:
    BOOL m_bModal = FALSE;
    BOOL m_bModalEnded = FALSE;
};

// ---- dialog data exchange ------------------------------------------------------------------
struct CUserException {};

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    CWnd* PrepareCtrl(UINT nID);
    // Ends the exchange: the control of the failing field gets the focus.
    [[noreturn]] void Fail();

private:
    UINT m_nLastID = 0;
};

void DDX_Text(CDataExchange* pDX, UINT nID, CString& value);
void DDX_Text(CDataExchange* pDX, UINT nID, int& value);
void DDX_Text(CDataExchange* pDX, UINT nID, double& value);
void DDX_Check(CDataExchange* pDX, UINT nID, int& value);
// value is the index of the checked button in the group that starts at nID, -1 for none.
void DDX_Radio(CDataExchange* pDX, UINT nID, int& value);
void DDX_Control(CDataExchange* pDX, UINT nID, CWnd& rControl);

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

// ---- device contexts -----------------------------------------------------------------------
struct CSize {
    LONG cx = 0;
    LONG cy = 0;
};

// A device context for measuring texts. Choice: a fixed-pitch font, every character
// kCharWidth pixels wide and kCharHeight high.
class CDC {
public:
    static constexpr LONG kCharWidth = 7;
    static constexpr LONG kCharHeight = 13;
    CSize GetTextExtent(const char* psz, int nCount) const;
    CSize GetTextExtent(const CString& str) const { return GetTextExtent(str.GetString(), str.GetLength()); }
};

#define AFX_EXT_CLASS __attribute__((visibility("default")))
#define AFX_MANAGE_STATE(p)
