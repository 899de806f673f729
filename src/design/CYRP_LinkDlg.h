// The link dialog: lists the main-window titles of the running design programs and hands the
// chosen one back as a link record. The link (IYRPInterfaceImpl::YRPConnect) runs it modally
// when more than one design program runs; the caller fills m_link before DoModal and reads it
// afterwards, whichever way the dialog ended (Cancel clears its state, and also ends with OK).
#pragma once
#include "core/KVPvsExport.h"

#include "design/IYRPInterfaceImpl.h"

#include "DlgMove.h"

class KV_PVS_API CYRP_LinkDlg : public CDlgMove {
    DECLARE_DYNAMIC(CYRP_LinkDlg)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = 14034 };
    explicit CYRP_LinkDlg(CWnd* pParent = nullptr);
    ~CYRP_LinkDlg() override;

    CListBox m_list;
    _YRP_LINK_D m_link;
    CArray<_YRP_LINK_D, _YRP_LINK_D&> m_aLink;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnLink();
    void OnCancelLink();
};
