#include "design/CYRP_LinkDlg.h"

#include "design/DesignControlIds.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CYRP_LinkDlg, CDlgMove)

namespace {
// The dialog's resource: a list box 250 pixels wide and the two buttons.
const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(IDD_YRP_LINK, AFX_DLGTEMPLATE_D{"Link YRP", 160, {
        {IDC_YRP_LINK_LIST, AFX_CTL_LIST, "", 0, 250, 120},
        {IDC_YRP_LINK_LINK, AFX_CTL_BUTTON, "Link", 0},
        {IDC_YRP_LINK_CANCEL, AFX_CTL_BUTTON, "Cancel", 0},
    }});
    return true;
}();
} // namespace

BEGIN_MESSAGE_MAP(CYRP_LinkDlg, CDlgMove)
    ON_BN_CLICKED(IDC_YRP_LINK_LINK, OnLink)
    ON_BN_CLICKED(IDC_YRP_LINK_CANCEL, OnCancelLink)
    ON_LBN_DBLCLK(IDC_YRP_LINK_LIST, OnLink)
END_MESSAGE_MAP()

CYRP_LinkDlg::CYRP_LinkDlg(CWnd* pParent) : CDlgMove(IDD, pParent) { (void)g_bTemplate; }

CYRP_LinkDlg::~CYRP_LinkDlg() = default;

void CYRP_LinkDlg::DoDataExchange(CDataExchange* pDX)
{
    CDlgMove::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_YRP_LINK_LIST, m_list);
}

BOOL CYRP_LinkDlg::OnInitDialog()
{
    CDlgMove::OnInitDialog();
    CArray<UINT, UINT> aIds;
    IYRPInterfaceImpl::GetYRPProcessID(aIds);
    m_aLink.RemoveAll();
    m_list.ResetContent();
    if (aIds.IsEmpty())
        return TRUE;

    m_aLink.SetSize(aIds.GetSize());
    RECT rc;
    m_list.GetWindowRect(&rc);
    const int nWidth = rc.right - rc.left;
    int nWidest = nWidth;
    CDC* pDC = m_list.GetDC();
    for (int i = 0; i < aIds.GetSize(); ++i) {
        _YRP_LINK_D rec;
        rec.nState = YRP_LINK_STATE_LINKED;
        rec.nProcessID = aIds[i];
        IYRPInterfaceImpl::GetHWNDFromProcessID(rec.nProcessID, rec.hWnd, rec.strTitle);
        m_aLink[i] = rec;
        m_list.InsertString(i, rec.strTitle);
        nWidest = std::max(nWidest, static_cast<int>(pDC->GetTextExtent(rec.strTitle).cx));
    }
    m_list.ReleaseDC(pDC);
    // Scrolling across only when some title is wider than the list.
    m_list.SetHorizontalExtent(nWidest > nWidth ? nWidest : std::max(nWidth - 5, 0));

    if (m_link.nState == YRP_LINK_STATE_LINKED)
        for (int i = 0; i < m_aLink.GetSize(); ++i)
            if (m_aLink[i].hWnd == m_link.hWnd) {
                m_list.SetCurSel(i);
                break;
            }
    return TRUE;
}

void CYRP_LinkDlg::OnLink()
{
    const int nSel = m_list.GetCurSel();
    if (nSel >= 0 && nSel < m_aLink.GetSize())
        m_link = m_aLink[nSel];
    EndDialog(IDOK);
}

void CYRP_LinkDlg::OnCancelLink()
{
    m_link.nState = YRP_LINK_STATE_NONE;
    EndDialog(IDOK);
}
