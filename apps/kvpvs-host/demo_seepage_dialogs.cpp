// Demo step: the flow-quantity dialog driven as a user drives it. The host opens the dialog as
// its launcher would, the user picks the construction stage that holds the seepage results,
// types the nodes of the vertical section through the soil behind the wall (x nearest 15.3 m)
// and presses Calculate; the total discharge over those nodes is read from the dialog.
#include "demo_steps.h"
#include "demo_support.h"

#include "DBDoc.h"
#include "DBModelRecords.h"
#include "NodeListText.h"
#include "QSort.h"
#include "SampleSchema.h"
#include "afx_standin.h"

#include "dialogs/CDlgFlowQuantityTKVR.h"
#include "dialogs/DialogControlIds.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Node numbers of the section x = the node column nearest x0, sorted.
void SectionNodes(CDBDoc& doc, double x0, CArray<unsigned int, unsigned int>& out)
{
    CClassNode cls(doc.GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    out.RemoveAll();
    cls.GetKeyList(keys);
    double best = 1e300;
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_NODE_D n;
        if (cls.Get(keys[i], n) && std::fabs(n.dXyz[0] - x0) < best)
            best = std::fabs(n.dXyz[0] - x0);
    }
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_NODE_D n;
        if (cls.Get(keys[i], n) && std::fabs(std::fabs(n.dXyz[0] - x0) - best) < 1e-9)
            out.Add(cls.GetNodeNoByKey(keys[i]));
    }
    CQSort::QSortUInt(out);
}

} // namespace

int RunSeepageDialogsDemo(CDBDoc& doc, const char* /*outDir*/)
{
    const unsigned int nStep = EnsureForceSumStepRecords(doc);
    T_PLSIF_D step;
    T_POSIF_D set;
    if (!nStep || !CClassPLsif(doc.GetPostDB()).Get(nStep, step) || !CClassPOsif(doc.GetPostDB()).Get(step.nOsifK, set)) {
        std::fprintf(stderr, "kvpvs-host: the sample has no stage with seepage results\n");
        return 0;
    }
    // The launcher creates it under the active view (a new one on every call); it frees itself
    // on close.
    CView* pViewBefore = doc.GetActiveView();
    CView view;
    view.CreateWindowCore(nullptr);
    doc.SetActiveView(&view);
    CDlgFlowQuantityTKVR* pDlg = nullptr;
    if (OpenModuleDialog("CDlgFlowQuantityTKVR") == 1) {
        HWND aWnd[16];
        const int n = Win32RelatedWindows(view.m_hWnd, FALSE, aWnd, 16);
        for (int i = 0; i < std::min(n, 16) && !pDlg; ++i) {
            CWnd* p = CWnd::FromHandle(aWnd[i]);
            if (p && std::strcmp(p->GetRuntimeClass()->m_lpszClassName, "CDlgFlowQuantityTKVR") == 0)
                pDlg = static_cast<CDlgFlowQuantityTKVR*>(p);
        }
    }
    doc.SetActiveView(pViewBefore);
    if (!pDlg) {
        std::fprintf(stderr, "kvpvs-host: the module's launcher does not open the flow-quantity dialog\n");
        return 0;
    }
    const HWND hDlg = pDlg->m_hWnd;
    const int nBoxes = Win32MessageBoxCount();
    int ok = SelectByText(pDlg, IDC_FQ_RESULTSET, set.strName) && SelectByText(pDlg, IDC_FQ_STEP, step.strName);
    CArray<unsigned int, unsigned int> nodes;
    SectionNodes(doc, 15.3 + SampleShift()[0], nodes);
    const CString strList = CNumericOptimizer::Optimize(nodes);
    ok = ok && nodes.GetSize() > 0 && AfxDriver::SetText(pDlg, IDC_FQ_NODES, strList);
    ok = ok && AfxDriver::Click(pDlg, IDC_FQ_CALCULATE);
    const CString strTotal = AfxDriver::GetText(pDlg, IDC_FQ_TOTAL);
    for (int i = nBoxes; i < Win32MessageBoxCount(); ++i)
        std::printf("  message: %s\n", Win32MessageBoxAt(i)->pszText);
    ok = ok && !strTotal.IsEmpty();
    if (ok)
        std::printf("  flow quantity over the %d nodes of the section x = 15.3 m in \"%s\": %s\n", nodes.GetSize(),
                    static_cast<const char*>(step.strName), static_cast<const char*>(strTotal));
    if (IsWindow(hDlg))
        DestroyWindow(hDlg);
    return ok ? 1 : 0;
}
