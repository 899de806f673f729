// The link to the member-design program, a separate process: finds its install folder in the
// registry, its processes and main windows, starts it when needed, and exchanges numbered
// commands with it through the registered message "DMSG_DESIGNCOMMAND_YRP" (wParam the command,
// lParam its argument) and texts through the named mappings the program creates. The host calls
// the exported static operations: Instance, Start, End, DoCommand (with every received command)
// and the hand-off operations. The link, its design data and its control take the current
// document at each use; an operation that needs one fails without it.
#pragma once
#include "core/KVPvsExport.h"

#include "DBUpdateConnector.h"
#include "YRPInterface.h"
#include "afxtempl.h"

class CYRPC_DataBase;

// The link record: state (21 linked, 0 not), the design program's process id, its main window
// and that window's title, a mode value and a text that the module carries without reading.
struct KV_PVS_API _YRP_LINK_D {
    int nState = 0;
    DWORD nProcessID = 0;
    HWND hWnd = nullptr;
    CString strTitle;
    int nMode = 2;
    CString strText;
    void Initialize() { *this = _YRP_LINK_D(); }
};

// Beam kinds of the RC-beam hand-off that is not offered.
enum RCBEAM_TYPE : int { RCBEAM_TYPE_DEFAULT = 0 };

class KV_PVS_API IYRPInterfaceImpl : public IYRPInterface, public CDBUpdateConnector {
public:
    static IYRPInterfaceImpl* Instance();
    static void DestroyInstance();
    static void Start(DWORD nHostProcessID);
    void End() override;
    // Handles a received command; always 0.
    static int DoCommand(UINT nCode, LONG lParam);

    static int IsInstalled_YRP();
    static int IsAccess_YRP();
    static int GetYRPInstalledPath(CString& strPath, BOOL bShowMessage);
    static int GetYRPProcessID(CArray<UINT, UINT>& aIds);
    static int GetHWNDFromProcessID(DWORD nProcessID, HWND& hWnd, CString& strTitle);
    static int YRPConnect(BOOL bNewInstance);
    static int CheckLinkData();

    // Handlers of received commands.
    static int Link(int nProcessID);
    static int DeLink(int nArg = 0);
    static int CheckLink(int nProcessID);
    static int SelectByStr(int nArg);
    static int ChangedByYrpCode_RCS(int nCode);
    static int ChangedByYrpCode_FND(int nCode);
    static int ChangedByYrpCode_STL(int nCode);

    // Commands to the linked design program.
    static int ConnectToYRP(BOOL bShowMessage);
    static int UnConnected(BOOL bArg);
    static int CreateDocument(int nArg);
    static int UpdateSelectByStr(int nType, CString& strText);
    static int MessageOutToYRP(int nKind, CString& strText);
    static int MessageWinClearToYRP();
    static int ProgressOutToYRP(int nKind, CString strTitle, CString strMessage, int nPercent);
    static int ProgressCreateToYRP(CString strTitle, CString strMessage);
    static int ProgressUpdateToYRP(CString strMessage, int nPercent);
    static int ProgressDeleteToYRP();
    static void CompletValueToYRP(int nValue, int nProcessID);
    static int UndoRedoListClearAllToYRP();
    static int ChangeMainFrameViewTypeToYRP(int nViewType);
    static int ChangedToYrpCode_RCS(int nCode);
    static int ChangedToYrpCode_FND(int nCode);
    static int ChangedToYrpCode_STL(int nCode);
    static int ImportData_To_YRP(int nDesignKind);
    static int LoadData_To_YRP(int nDesignKind);
    static int ActivateFormView_To_YRP(int nDesignKind);
    static int ImportAllData_To_YRP(int nArg);

    // Hand-off.
    static int Create_UrbeData_Lining(CString strPath);
    static int Create_UrwaData_Lining(CString strPath);
    static int Create_UrbeData(int nArg, RCBEAM_TYPE nType);
    static int Create_UrcoData(int nArg);
    static int Create_UrwaData(int nArg);
    static int Make_YrpMediateFile(int bPerModel, BOOL bLinkRequired);

    // The stored link (a cleared record without the singleton).
    static _YRP_LINK_D GetLinkData();
    CYRPC_DataBase* GetDesignData() { return m_pDesignData; }

    static DWORD m_MainProcessID;

    void UpdateYRPSelectByStr(int) override {}
    void UpdateBuffer(CObject*) override {}
    // Hint 3 goes to UpdateBuffer; others are ignored.
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

protected:
    IYRPInterfaceImpl();
    ~IYRPInterfaceImpl() override;

private:
    _YRP_LINK_D m_link;
    CYRPC_DataBase* m_pDesignData = nullptr;
};

// The hand-off of the design text file "KvrDesign.txt" in the program folder to the design
// program for a design kind (101 RC beam, 103 RC wall): convert and store the records, connect,
// write the exchange file, import it and show it; then disconnect. A failure shows its message
// and disconnects when connected. 1 done, 0 failed.
KV_PVS_API int YRPHandOffDesignData(int nDesignKind);
