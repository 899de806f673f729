#include "frame/IKVPvsDialog.h"

#include "design/CDlgBeamElementDesign.h"
#include "design/CDlgPlateSolidDesign.h"
#include "dialogs/CDlgFlowDiscWKVR.h"
#include "dialogs/CDlgFlowPathWKVR.h"
#include "dialogs/CDlgFlowQuantityTKVR.h"
#include "dialogs/CDlgHistoryGrphTKVR.h"
#include "dialogs/CDlgLclDirForSum.h"
#include "dialogs/CDlgProfileGridPlot.h"
#include "dialogs/CDlgResultCompComb.h"
#include "dialogs/CDlgSaveResultPic.h"
#include "dialogs/CDlgSlopeFOSResult.h"
#include "dialogs/DialogEntryGuard.h"

#include "dialogs/CDlgHistoryData.h"
#include "dialogs/CDlgHistoryPlot.h"
#include "dialogs/CDlgHistoryPlotTKVR.h"
#include "dialogs/CDlgProfileGridDef.h"

#include "DBDoc.h"
#include "PostVisualState.h"

#include <cstdint>
#include <cstring>

namespace {

using kvpvs::dialogs::RunGuarded;

constexpr unsigned int kCombOutputSet = 999999;
constexpr LPARAM kCombHint = 39;

struct Context {
    CZORDocBase* pDoc;
    CWnd* pParent;
    void* pArgument;
};

// The low 16 bits of the 32-bit word the argument points at; 0 without an argument.
unsigned short LowWord(const void* pArgument)
{
    if (!pArgument)
        return 0;
    std::uint32_t n = 0;
    std::memcpy(&n, pArgument, sizeof n);
    return static_cast<unsigned short>(n & 0xFFFFu);
}

// Creates a dialog the launcher owns until its window stands; one whose window cannot be made
// is deleted, and a failure half-way takes it away again.
template <class TDlg>
void CreateAndShow(TDlg* pDlg, CWnd* pParent)
{
    try {
        if (!pDlg->Create(pParent)) {
            delete pDlg;
            return;
        }
    } catch (...) {
        kvpvs::dialogs::DiscardUnfinished(pDlg);
        throw;
    }
    if (IsWindow(pDlg->m_hWnd))
        pDlg->ShowWindow(SW_SHOW);
}

struct LauncherRow {
    const char* pszName;
    void (*pfnOpen)(const Context&);
};

const LauncherRow kModeless[] = {
    {"CDlgHistoryData", [](const Context& c) { CDlgHistoryData::CreateOrActivate(c.pParent); }},
    {"CDlgHistoryPlot", [](const Context& c) { CDlgHistoryPlot::CreateOrActivate(c.pParent); }},
    {"CDlgHistoryGrphTKVR", [](const Context& c) { CDlgHistoryGrphTKVR::CreateOrActivate(c.pParent); }},
    {"CDlgFlowQuantityTKVR",
     [](const Context& c) {
         if (c.pDoc)
             CreateAndShow(new CDlgFlowQuantityTKVR(nullptr), c.pParent);
     }},
    {"CDlgHistoryPlotTKVR", [](const Context& c) { CDlgHistoryPlotTKVR::CreateOrActivate(c.pParent); }},
    {"CDlgFlowDiscWKVR", [](const Context& c) { CDlgFlowDiscWKVR::CreateOrActivate(c.pParent); }},
    {"CDlgProfileGridDef",
     [](const Context& c) {
         if (c.pDoc)
             CreateAndShow(new CDlgProfileGridDef(c.pParent, c.pDoc, LowWord(c.pArgument), 0), c.pParent);
     }},
    {"CDlgProfileGridPlot", [](const Context& c) { CDlgProfileGridPlot::CreateOrActivate(c.pParent); }},
    {"CDlgFlowPathWKVR",
     [](const Context& c) {
         if (c.pDoc)
             CreateAndShow(new CDlgFlowPathWKVR(c.pParent, c.pDoc, LowWord(c.pArgument), false), c.pParent);
     }},
    {"CDlgSaveResultPic", [](const Context& c) { CDlgSaveResultPic::CreateOrActivate(c.pParent); }},
    {"CDlgSlopeFOSResult", [](const Context& c) { CDlgSlopeFOSResult::CreateOrActivate(c.pParent); }},
    {"CDlgBeamElementDesign",
     [](const Context& c) {
         if (c.pDoc)
             CreateAndShow(new CDlgBeamElementDesign(c.pDoc, c.pParent), c.pParent);
     }},
    {"CDlgLclDirForSum", [](const Context& c) { CDlgLclDirForSum::CreateOrActivate(c.pParent); }},
    {"CDlgPlateSolidDesign", [](const Context& c) { CDlgPlateSolidDesign::CreateOrActivate(c.pParent); }},
};

} // namespace

IKVPvsDialog::~IKVPvsDialog() = default;

int IKVPvsDialog::DoModeless(const char* pszName, void* pArgument, void*)
{
    if (!pszName)
        return -1;
    for (const LauncherRow& row : kModeless) {
        if (std::strcmp(pszName, row.pszName) != 0)
            continue;
        RunGuarded([&] {
            CZORDocBase* pDoc = CZORDocBase::GetCurDoc();
            row.pfnOpen(Context{pDoc, pDoc ? pDoc->GetActiveView() : nullptr, pArgument});
        });
        return 1;
    }
    return -1;
}

int IKVPvsDialog::DoModal(const char* pszName, void*)
{
    if (!pszName || std::strcmp(pszName, "CDlgResultCompComb") != 0)
        return -1;
    if (!CDBDoc::GetDocPoint())
        return IDCANCEL;
    int nResult = IDCANCEL;
    RunGuarded([&] {
        CDlgResultCompComb dlg(nullptr);
        nResult = dlg.DoModal();
    });
    RunGuarded([&] {
        CDBDoc* pDoc = CDBDoc::GetDocPoint();
        if (!pDoc)
            return;
        CArray<unsigned int, unsigned int> aKeys;
        CPostVisualState::Instance()->GetCompCombKeyList(aKeys);
        if (aKeys.GetSize() == 0)
            CClassPOsif(pDoc->GetPostDB()).Delete(kCombOutputSet);
        pDoc->UpdateAllViews(nullptr, kCombHint, nullptr);
    });
    return nResult;
}
