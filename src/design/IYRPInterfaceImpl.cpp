#include "design/IYRPInterfaceImpl.h"

#include "design/CYRPC_DataBase.h"
#include "design/CYRPC_DataTool.h"
#include "design/CYRP_LinkDlg.h"
#include "design/DesignControlIds.h"

#include "DBDoc.h"
#include "MsgDll.h"
#include "MsgOut.h"
#include "ProductInfo.h"
#include "StrParser.h"
#include "io.h"
#include "tlhelp32.h"
#include "windows.h"

#include <algorithm>
#include <cstring>

// Registered by the module when it loads (frame/KVPvsModule.cpp).
extern const UINT DMSG_DESIGNCOMMAND_YRP;

DWORD IYRPInterfaceImpl::m_MainProcessID = 0;

namespace {

CString Text(const char* pszId) { return CMsgDll::pfuncLoadStr(pszId, 0); }

// The singleton when it exists; null otherwise (no object is made).
IYRPInterfaceImpl* Existing() { return dynamic_cast<IYRPInterfaceImpl*>(IYRPInterface::m_pInstance); }

// The message text with the title in place of its "%s": a table text with other conversions
// must not reach a printf-style format.
CString WithTitle(const char* pszId, const CString& strTitle)
{
    const std::string s = Text(pszId).str();
    std::string out;
    bool bDone = false;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 1 < s.size() && s[i + 1] == '%') {
            out += '%';
            ++i;
        } else if (!bDone && s[i] == '%' && i + 1 < s.size() && s[i + 1] == 's') {
            out += strTitle.str();
            bDone = true;
            ++i;
        } else
            out += s[i];
    }
    return CString(out);
}

CString MappingName(const char* pszFormat, DWORD nProcessID)
{
    CString s;
    s.Format(pszFormat, static_cast<int>(nProcessID));
    return s;
}

// Copies the text with its zero to the start of the mapping of that process; 0 when the
// mapping cannot be opened or mapped, or the text with its zero does not fit into the view
// (the program's mapping would be overrun).
int WriteMapping(const char* pszFormat, DWORD nProcessID, const CString& strText)
{
    HANDLE h = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, MappingName(pszFormat, nProcessID));
    if (!h)
        return 0;
    void* p = MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (!p) {
        CloseHandle(h);
        return 0;
    }
    MEMORY_BASIC_INFORMATION info{};
    const size_t n = static_cast<size_t>(strText.GetLength()) + 1;
    const bool bFits = VirtualQuery(p, &info, sizeof info) == sizeof info && info.RegionSize >= n;
    if (bFits)
        std::memcpy(p, strText.GetString(), n);
    UnmapViewOfFile(p);
    CloseHandle(h);
    return bFits ? 1 : 0;
}

// The text of the mapping of that process, up to its zero or the view's end.
int ReadMapping(const char* pszFormat, DWORD nProcessID, CString& strText)
{
    HANDLE h = OpenFileMappingA(FILE_MAP_READ, FALSE, MappingName(pszFormat, nProcessID));
    if (!h)
        return 0;
    const char* p = static_cast<const char*>(MapViewOfFile(h, FILE_MAP_READ, 0, 0, 0));
    if (!p) {
        CloseHandle(h);
        return 0;
    }
    MEMORY_BASIC_INFORMATION info{};
    const size_t nView = VirtualQuery(p, &info, sizeof info) == sizeof info ? info.RegionSize : 0;
    strText = CString(p, static_cast<int>(strnlen(p, nView)));
    UnmapViewOfFile(p);
    CloseHandle(h);
    return 1;
}

BOOL Post(HWND hWnd, WPARAM wParam, LPARAM lParam) { return PostMessageA(hWnd, DMSG_DESIGNCOMMAND_YRP, wParam, lParam); }

// The stored link passes the link test and its window is still a window.
bool LinkAlive(HWND& hWnd, DWORD& nProcessID)
{
    if (!IYRPInterfaceImpl::CheckLinkData())
        return false;
    const _YRP_LINK_D link = IYRPInterfaceImpl::GetLinkData();
    if (!CWnd::FromHandle(link.hWnd) || !IsWindow(link.hWnd))
        return false;
    hWnd = link.hWnd;
    nProcessID = link.nProcessID;
    return true;
}

// Posts a command to the linked program; 0 without a live link.
int Send(WPARAM wParam, LPARAM lParam)
{
    HWND h = nullptr;
    DWORD pid = 0;
    return LinkAlive(h, pid) ? Post(h, wParam, lParam) : 0;
}

void LinkMessage(const char* pszId, const CString& strTitle) { GMsgOut(WithTitle(pszId, strTitle), 0, nullptr); }

} // namespace

// ---- life ---------------------------------------------------------------------------------------
IYRPInterfaceImpl::IYRPInterfaceImpl() = default;

IYRPInterfaceImpl::~IYRPInterfaceImpl() = default;

IYRPInterfaceImpl* IYRPInterfaceImpl::Instance()
{
    if (IYRPInterfaceImpl* p = Existing())
        return p;
    if (IYRPInterface::m_pInstance)
        return nullptr; // another link object holds the host's place
    auto* p = new IYRPInterfaceImpl;
    p->m_link.Initialize();
    p->m_pDesignData = new CYRPC_DataBase;
    return p;
}

void IYRPInterfaceImpl::DestroyInstance()
{
    IYRPInterfaceImpl* p = Existing();
    if (!p)
        return;
    delete p->m_pDesignData;
    p->m_pDesignData = nullptr;
    delete p;
}

void IYRPInterfaceImpl::Start(DWORD nHostProcessID) { m_MainProcessID = nHostProcessID; }

void IYRPInterfaceImpl::End()
{
    UnConnected(0);
    DestroyInstance();
}

void IYRPInterfaceImpl::OnUpdate(CView*, LPARAM lHint, CObject* pHint)
{
    if (lHint == 3)
        UpdateBuffer(pHint);
}

_YRP_LINK_D IYRPInterfaceImpl::GetLinkData()
{
    IYRPInterfaceImpl* p = Existing();
    return p ? p->m_link : _YRP_LINK_D();
}

// ---- commands received --------------------------------------------------------------------------
int IYRPInterfaceImpl::DoCommand(UINT nCode, LONG lParam)
{
    const int nCmd = static_cast<int>(nCode);
    if (nCmd != YRP_CMD_CHECK_LINK && !CDBDoc::GetDocPoint()) {
        // No model to link to: the requesting program hears so.
        if (nCmd == YRP_CMD_CONNECT)
            CompletValueToYRP(101, lParam);
        return 0;
    }
    if (nCmd != YRP_CMD_CHECK_LINK && !Instance())
        return 0;
    switch (nCmd) {
    case YRP_CMD_CONNECT:
        GMsgOutClear();
        Link(lParam);
        return 0;
    case YRP_CMD_DISCONNECT:
        GMsgOutClear();
        DeLink();
        return 0;
    case YRP_CMD_CHECK_LINK:
        CheckLink(lParam);
        return 0;
    case YRP_CMD_SELECT_BY_STR:
        SelectByStr(lParam);
        return 0;
    case YRP_CMD_CODE_RCS:
        ChangedByYrpCode_RCS(lParam);
        return 0;
    case YRP_CMD_CODE_FND:
        ChangedByYrpCode_FND(lParam);
        return 0;
    case YRP_CMD_CODE_STL:
        ChangedByYrpCode_STL(lParam);
        return 0;
    default:
        break;
    }
    if (nCmd >= 100 && nCmd <= 399) {
        CString s = Text(IDS_KV_PVS_YRP_DO_NOT_SUPPORT_AT_PRESENT);
        MessageOutToYRP(1, s);
    }
    return 0;
}

int IYRPInterfaceImpl::Link(int nProcessID)
{
    IYRPInterfaceImpl* p = Instance();
    if (!p)
        return 0;
    if (p->m_link.nState != 0 && p->m_link.nProcessID != static_cast<DWORD>(nProcessID))
        UnConnected(0);
    p->m_link.nProcessID = static_cast<DWORD>(nProcessID);
    if (GetHWNDFromProcessID(p->m_link.nProcessID, p->m_link.hWnd, p->m_link.strTitle)) {
        p->m_link.nState = YRP_LINK_STATE_LINKED;
        LinkMessage(IDS_KV_PVS_YRP_LINK_SUCCESS, p->m_link.strTitle);
        return 1;
    }
    p->m_link.nState = YRP_LINK_STATE_NONE;
    return 0;
}

int IYRPInterfaceImpl::DeLink(int)
{
    IYRPInterfaceImpl* p = Existing();
    if (!p)
        return 1;
    if (CheckLinkData())
        LinkMessage(IDS_KV_PVS_YRP_DELINK_SUCCESS, p->m_link.strTitle);
    p->m_link.nState = YRP_LINK_STATE_NONE;
    return 1;
}

int IYRPInterfaceImpl::CheckLink(int nProcessID)
{
    HWND h = nullptr;
    CString strTitle;
    const DWORD pid = static_cast<DWORD>(nProcessID);
    if (!GetHWNDFromProcessID(pid, h, strTitle))
        return 0;
    if (!IsWindow(h))
        return 0;
    CString strVersion;
    strVersion.Format("%d", CStrParser::GetINumber(IProductInfo::Instance()->GetVersion()));
    const CString strMessage = CDBDoc::GetDocPoint() ? CString(YRP_LINK_SUCCESS_TEXT) : Text(IDS_KV_PVS_YRP_NON_KVR_DOC);
    if (!WriteMapping(YRP_MAP_PROGRAM_NAME, pid, YRP_PROGRAM_NAME_TEXT) || !WriteMapping(YRP_MAP_PROGRAM_VER, pid, strVersion) ||
        !WriteMapping(YRP_MAP_MESSAGE_OUT, pid, strMessage))
        return 0;
    return Post(h, YRP_CMD_CHECK_LINK, static_cast<LPARAM>(m_MainProcessID));
}

int IYRPInterfaceImpl::SelectByStr(int)
{
    IYRPInterfaceImpl* p = Existing();
    if (!p || !CheckLinkData())
        return 0;
    // The selection text is read; selecting by it is not offered.
    CString strText;
    return ReadMapping(YRP_MAP_SELECT_BY_STR, p->m_link.nProcessID, strText);
}

int IYRPInterfaceImpl::ChangedByYrpCode_RCS(int nCode)
{
    const CString strName = CYRPC_DataTool::GetDesignCodeName(nCode);
    IYRPInterfaceImpl* p = Existing();
    if (strName.IsEmpty() || !p || !p->m_pDesignData)
        return 0;
    CYRPDataCtrl* pCtrl = p->m_pDesignData->GetDataCtrl();
    T_UCOP_D ucop;
    pCtrl->GetUcop(ucop);
    ucop.strDesignCode = strName;
    return pCtrl->SetUcop(ucop);
}

int IYRPInterfaceImpl::ChangedByYrpCode_FND(int) { return 1; }
int IYRPInterfaceImpl::ChangedByYrpCode_STL(int) { return 1; }

// ---- discovery ------------------------------------------------------------------------------------
int IYRPInterfaceImpl::IsInstalled_YRP()
{
    CString strPath;
    return GetYRPInstalledPath(strPath, FALSE);
}

int IYRPInterfaceImpl::IsAccess_YRP()
{
    CString strPath;
    return GetYRPInstalledPath(strPath, FALSE) && _access(strPath, 0) == 0 ? 1 : 0;
}

int IYRPInterfaceImpl::GetYRPInstalledPath(CString& strPath, BOOL bShowMessage)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, YRP_REGISTRY_KEY, 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        if (bShowMessage)
            AfxMessageBox(Text(IDS_KV_PVS_YRP_NONINSTALL));
        return 0;
    }
    char szBuffer[256] = {};
    DWORD nType = 0, nSize = 250;
    RegQueryValueExA(hKey, YRP_REGISTRY_VALUE, nullptr, &nType, reinterpret_cast<BYTE*>(szBuffer), &nSize);
    strPath = szBuffer;
    RegCloseKey(hKey);
    return !strPath.IsEmpty() && nSize != 0 ? 1 : 0;
}

int IYRPInterfaceImpl::GetYRPProcessID(CArray<UINT, UINT>& aIds)
{
    aIds.RemoveAll();
    HANDLE h = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    CString strWanted = YRP_EXE_NAME;
    strWanted.MakeLower();
    PROCESSENTRY32 pe{};
    pe.dwSize = sizeof pe;
    for (BOOL b = Process32First(h, &pe); b; b = Process32Next(h, &pe)) {
        CString strName = pe.szExeFile;
        strName.MakeLower();
        if (strName == strWanted)
            aIds.Add(pe.th32ProcessID);
    }
    CloseHandle(h);
    return 1;
}

int IYRPInterfaceImpl::GetHWNDFromProcessID(DWORD nProcessID, HWND& hWnd, CString& strTitle)
{
    for (HWND h = GetWindow(GetDesktopWindow(), GW_CHILD); IsWindow(h); h = GetWindow(h, GW_HWNDNEXT)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (nProcessID != 0 && pid != nProcessID)
            continue;
        char sz[257] = {};
        GetWindowTextA(h, sz, 256);
        strTitle = sz;
        if (strTitle.Find(YRP_WINDOW_TITLE_PART) >= 0) {
            hWnd = h;
            return 1;
        }
    }
    hWnd = nullptr;
    return 0;
}

int IYRPInterfaceImpl::CheckLinkData()
{
    IYRPInterfaceImpl* p = Existing();
    if (!p)
        return 0;
    const _YRP_LINK_D link = p->m_link;
    HWND h = nullptr;
    CString strTitle;
    if (link.nState != 0 && IsWindow(link.hWnd) && GetHWNDFromProcessID(link.nProcessID, h, strTitle))
        return 1;
    p->m_link.nState = YRP_LINK_STATE_NONE;
    return 0;
}

int IYRPInterfaceImpl::YRPConnect(BOOL bNewInstance)
{
    IYRPInterfaceImpl* p = Instance();
    if (!p)
        return 0;
    if (!IsInstalled_YRP()) {
        p->m_link.nState = YRP_LINK_STATE_NONE;
        AfxMessageBox(Text(IDS_KV_PVS_YRP_NONINSTALL));
        return 0;
    }
    if (!IsAccess_YRP()) {
        p->m_link.nState = YRP_LINK_STATE_NONE;
        AfxMessageBox(Text(IDS_KV_PVS_YRP_NONACCESS));
        return 0;
    }
    GMsgOutClear();
    if (CheckLinkData()) {
        CreateDocument(1);
        const int r = ConnectToYRP(0);
        if (r != 1)
            p->m_link.nState = YRP_LINK_STATE_NONE;
        return r;
    }
    CArray<UINT, UINT> aIds;
    GetYRPProcessID(aIds);
    int n = aIds.GetSize();
    bool bStarted = false;
    if (n == 0 || bNewInstance) {
        CString strPath;
        if (!GetYRPInstalledPath(strPath, FALSE))
            return 0;
        WinExec(strPath + "\\" + YRP_EXE_NAME, SW_SHOW);
        bStarted = true;
        if (!bNewInstance) {
            GetYRPProcessID(aIds);
            n = aIds.GetSize();
        } else {
            CArray<UINT, UINT> aAfter;
            GetYRPProcessID(aAfter);
            for (UINT id : aAfter)
                if (std::find(aIds.begin(), aIds.end(), id) == aIds.end()) {
                    aIds.RemoveAll();
                    aIds.Add(id);
                    n = 1;
                    break;
                }
        }
    }
    if (n == 0) {
        p->m_link.nState = YRP_LINK_STATE_NONE;
        return 0;
    }
    _YRP_LINK_D candidate;
    if (n == 1) {
        candidate.nState = YRP_LINK_STATE_LINKED;
        candidate.nProcessID = aIds[0];
        GetHWNDFromProcessID(candidate.nProcessID, candidate.hWnd, candidate.strTitle);
    } else {
        CYRP_LinkDlg dlg(nullptr);
        dlg.m_link = p->m_link;
        dlg.DoModal();
        candidate = dlg.m_link;
    }
    p->m_link = candidate;
    CreateDocument(1);
    const int r = ConnectToYRP(1);
    if (bStarted)
        UndoRedoListClearAllToYRP();
    if (r != 1)
        p->m_link.nState = YRP_LINK_STATE_NONE;
    return r;
}

// ---- commands sent ------------------------------------------------------------------------------
int IYRPInterfaceImpl::ConnectToYRP(BOOL bShowMessage)
{
    HWND h = nullptr;
    DWORD pid = 0;
    if (!LinkAlive(h, pid) || !WriteMapping(YRP_MAP_PROGRAM_NAME, pid, YRP_PROGRAM_NAME_TEXT))
        return 0;
    const BOOL r = Post(h, YRP_CMD_CONNECT, static_cast<LPARAM>(m_MainProcessID));
    IYRPInterfaceImpl* p = Existing();
    if (r == 1 && p) {
        p->m_link.nState = YRP_LINK_STATE_LINKED;
        if (bShowMessage)
            LinkMessage(IDS_KV_PVS_YRP_LINK_SUCCESS, p->m_link.strTitle);
    }
    return r;
}

int IYRPInterfaceImpl::UnConnected(BOOL bArg)
{
    IYRPInterfaceImpl* p = Existing();
    if (!p || p->m_link.nState == YRP_LINK_STATE_NONE)
        return 1;
    if (!IsWindow(p->m_link.hWnd))
        return 0;
    Post(p->m_link.hWnd, YRP_CMD_DISCONNECT, bArg ? 1 : 0);
    if (CheckLinkData())
        LinkMessage(IDS_KV_PVS_YRP_DELINK_SUCCESS, p->m_link.strTitle);
    p->m_link.nState = YRP_LINK_STATE_NONE;
    return 1;
}

int IYRPInterfaceImpl::CreateDocument(int nArg) { return Send(YRP_CMD_CREATE_DOCUMENT, nArg); }

int IYRPInterfaceImpl::UpdateSelectByStr(int nType, CString& strText)
{
    HWND h = nullptr;
    DWORD pid = 0;
    if (!LinkAlive(h, pid) || !WriteMapping(YRP_MAP_SELECT_BY_STR, pid, strText))
        return 0;
    return Post(h, YRP_CMD_SELECT_BY_STR, nType);
}

int IYRPInterfaceImpl::MessageOutToYRP(int nKind, CString& strText)
{
    HWND h = nullptr;
    DWORD pid = 0;
    if (!LinkAlive(h, pid) || !WriteMapping(YRP_MAP_MESSAGE_OUT, pid, strText))
        return 0;
    const BOOL r = Post(h, YRP_CMD_MESSAGE_OUT, nKind);
    Sleep(50);
    return r;
}

int IYRPInterfaceImpl::MessageWinClearToYRP()
{
    CString s;
    return MessageOutToYRP(2, s);
}

int IYRPInterfaceImpl::ProgressOutToYRP(int nKind, CString strTitle, CString strMessage, int nPercent)
{
    HWND h = nullptr;
    DWORD pid = 0;
    CString strPercent;
    strPercent.Format("%d", nPercent);
    if (!LinkAlive(h, pid) || !WriteMapping(YRP_MAP_PROGRESS_TITLE, pid, strTitle) ||
        !WriteMapping(YRP_MAP_PROGRESS_MESSAGE, pid, strMessage) || !WriteMapping(YRP_MAP_PROGRESS_PERCENT, pid, strPercent))
        return 0;
    const BOOL r = Post(h, YRP_CMD_PROGRESS, nKind);
    Sleep(50);
    return r;
}

int IYRPInterfaceImpl::ProgressCreateToYRP(CString strTitle, CString strMessage)
{
    return ProgressOutToYRP(1, strTitle, strMessage, 0);
}

int IYRPInterfaceImpl::ProgressUpdateToYRP(CString strMessage, int nPercent)
{
    return ProgressOutToYRP(2, "", strMessage, nPercent);
}

int IYRPInterfaceImpl::ProgressDeleteToYRP() { return ProgressOutToYRP(3, "", "", 100); }

void IYRPInterfaceImpl::CompletValueToYRP(int nValue, int nProcessID)
{
    HWND h = nullptr;
    CString strTitle;
    if (GetHWNDFromProcessID(static_cast<DWORD>(nProcessID), h, strTitle) && IsWindow(h))
        Post(h, YRP_CMD_COMPLETE_VALUE, nValue);
}

int IYRPInterfaceImpl::UndoRedoListClearAllToYRP() { return Send(YRP_CMD_UNDO_REDO_CLEAR, 0); }
int IYRPInterfaceImpl::ChangeMainFrameViewTypeToYRP(int nViewType) { return Send(YRP_CMD_VIEW_TYPE, nViewType); }
int IYRPInterfaceImpl::ChangedToYrpCode_RCS(int nCode) { return Send(11, nCode); }
int IYRPInterfaceImpl::ChangedToYrpCode_FND(int nCode) { return Send(21, nCode); }
int IYRPInterfaceImpl::ChangedToYrpCode_STL(int nCode) { return Send(31, nCode); }
int IYRPInterfaceImpl::ImportData_To_YRP(int nDesignKind) { return Send(static_cast<WPARAM>(nDesignKind), 1) == 1 ? 1 : 0; }
int IYRPInterfaceImpl::LoadData_To_YRP(int nDesignKind) { return Send(static_cast<WPARAM>(nDesignKind), 2) == 1 ? 1 : 0; }
int IYRPInterfaceImpl::ActivateFormView_To_YRP(int nDesignKind) { return Send(static_cast<WPARAM>(nDesignKind), 0) == 1 ? 1 : 0; }
int IYRPInterfaceImpl::ImportAllData_To_YRP(int nArg) { return Send(YRP_CMD_IMPORT_ALL, nArg) == 1 ? 1 : 0; }

// ---- hand-off -----------------------------------------------------------------------------------
namespace {
int CreateLining(CString strPath, bool bWall)
{
    IYRPInterfaceImpl* p = Existing();
    if (!p || !p->GetDesignData())
        return 0;
    CYRPDataCtrl* pCtrl = p->GetDesignData()->GetDataCtrl();
    pCtrl->DelAllData(1);
    CYRPC_DataTool tool;
    tool.SetOwner(pCtrl);
    if (!(bWall ? tool.MakeUrwaData(strPath) : tool.MakeUrbeData(strPath)))
        return 0;
    CString strText = Text(IDS_KV_PVS_YRP_COMP_YRPDATA);
    GMsgOut(strText, 0, nullptr);
    IYRPInterfaceImpl::MessageOutToYRP(3, strText);
    return 1;
}
} // namespace

int IYRPInterfaceImpl::Create_UrbeData_Lining(CString strPath) { return CreateLining(strPath, false); }
int IYRPInterfaceImpl::Create_UrwaData_Lining(CString strPath) { return CreateLining(strPath, true); }
int IYRPInterfaceImpl::Create_UrbeData(int, RCBEAM_TYPE) { return 0; }
int IYRPInterfaceImpl::Create_UrcoData(int) { return 0; }
int IYRPInterfaceImpl::Create_UrwaData(int) { return 0; }

int IYRPInterfaceImpl::Make_YrpMediateFile(int bPerModel, BOOL bLinkRequired)
{
    IYRPInterfaceImpl* p = Existing();
    if (!p || !p->m_pDesignData)
        return 0;
    CYRPDataCtrl* pCtrl = p->m_pDesignData->GetDataCtrl();
    CString strPath;
    // No path, nothing written: neither the program's mapping nor a file without a name.
    if (!pCtrl->GetMediateFilePath(strPath, bPerModel))
        return 0;
    const int bLinked = CheckLinkData();
    if (bLinkRequired && !bLinked)
        return 0;
    if (bLinked && !WriteMapping(YRP_MAP_FILE_NAME, p->m_link.nProcessID, strPath))
        return 0;
    return pCtrl->WriteMediateFile(bPerModel);
}

int YRPHandOffDesignData(int nDesignKind)
{
    if (nDesignKind != YRP_DESIGN_RC_BEAM && nDesignKind != YRP_DESIGN_RC_WALL)
        return 0;
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    bool bConnected = false;
    const char* pszFailure = IDS_KV_PVS_YRP_FAIL_YRPDATA;
    auto fail = [&]() {
        AfxMessageBox(Text(pszFailure));
        if (bConnected)
            IYRPInterfaceImpl::UnConnected(0);
        return 0;
    };
    if (!pDoc || !IYRPInterfaceImpl::Instance())
        return fail();
    const CString strPath = pDoc->GetProgramPath() + KVR_DESIGN_FILE_NAME;
    if (_access(strPath, 0) != 0)
        return fail();
    const int bMade = nDesignKind == YRP_DESIGN_RC_BEAM ? IYRPInterfaceImpl::Create_UrbeData_Lining(strPath)
                                                        : IYRPInterfaceImpl::Create_UrwaData_Lining(strPath);
    if (!bMade)
        return fail();
    if (!IYRPInterfaceImpl::YRPConnect(FALSE)) {
        pszFailure = IDS_KV_PVS_YRP_DO_NOT_SUPPORT_AT_PRESENT;
        return fail();
    }
    bConnected = true;
    if (!IYRPInterfaceImpl::Make_YrpMediateFile(0, TRUE) || !IYRPInterfaceImpl::ImportData_To_YRP(nDesignKind))
        return fail();
    IYRPInterfaceImpl::ActivateFormView_To_YRP(nDesignKind);
    IYRPInterfaceImpl::MessageWinClearToYRP();
    IYRPInterfaceImpl::ChangeMainFrameViewTypeToYRP(3);
    IYRPInterfaceImpl::UnConnected(0);
    return 1;
}
