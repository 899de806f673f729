#include "demo_support.h"
#include "demo_steps.h"

#include "ColourButton.h"
#include "DBModelRecords.h"
#include "SampleDynamics.h"
#include "SampleSchema.h"
#include "ThisInfo.h"
#include "afx_standin.h"

#include "dialogs/DialogControlIds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
double g_dShift[3] = {0, 0, 0};
}

void SetSampleShift(const double d[3])
{
    for (int k = 0; k < 3; ++k)
        g_dShift[k] = d[k];
}

const double* SampleShift() { return g_dShift; }

unsigned int EnsureForceSumStepRecords(CDBDoc& doc)
{
    CClassPVtif clsRow(doc.GetPostDB());
    CClassPLsif clsStep(doc.GetPostDB());
    CClassPOsif clsSet(doc.GetPostDB());
    CClassStage clsStage(doc.GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    clsRow.GetKeyList(keys);
    unsigned int nLastStep = 0;
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PVTIF_D r;
        if (!clsRow.Get(keys[i], r) || r.nItem != kvpvs::sample::kItemLdfsSolidFirst)
            continue;
        nLastStep = std::max(nLastStep, r.nStepK);
        if (clsStep.Exist(r.nStepK))
            continue;
        T_POSIF_D set;
        if (!clsSet.Get(kvpvs::sample::kOsetStages, set)) {
            set.strName = "Construction Stages";
            clsSet.Set(kvpvs::sample::kOsetStages, set);
        }
        T_PLSIF_D step;
        step.nOsifK = kvpvs::sample::kOsetStages;
        T_STAGE_D stage;
        step.strName = clsStage.Get(r.nStepK, stage) ? stage.strName : CString("Step");
        clsStep.Set(r.nStepK, step);
    }
    return nLastStep;
}

CWnd* FindOwnedWindow(CWnd* pOwner, const char* pszClass)
{
    if (!pOwner)
        return nullptr;
    HWND aWnd[64];
    const int n = Win32RelatedWindows(pOwner->m_hWnd, FALSE, aWnd, 64);
    for (int i = std::min(n, 64) - 1; i >= 0; --i) {
        CWnd* p = CWnd::FromHandle(aWnd[i]);
        if (p && std::strcmp(p->GetRuntimeClass()->m_lpszClassName, pszClass) == 0)
            return p;
    }
    return nullptr;
}

bool EnsureSampleDynamics(CDBDoc& doc)
{
    using namespace kvpvs::sample;
    if (CClassThis(doc.GetModelDB()).Exist(kThisQuakeModal))
        return true;
    DynamicsSummary dyn;
    std::string strError;
    if (BuildSampleDynamics(doc, DynamicsOptions(), dyn, &strError))
        return true;
    std::fprintf(stderr, "kvpvs-host: the dynamic cases could not be built: %s\n", strError.c_str());
    return false;
}

bool SelectByText(CWnd* pDlg, UINT nID, const char* pszText)
{
    auto* pCombo = pDlg ? dynamic_cast<CComboBox*>(pDlg->GetDlgItem(nID)) : nullptr;
    for (int i = 0; pCombo && i < pCombo->GetCount(); ++i) {
        CString s;
        pCombo->GetLBText(i, s);
        if (s == pszText)
            return AfxDriver::Select(pDlg, nID, i) != FALSE;
    }
    return false;
}

void PickColour(CWnd* pDlg, UINT nID, COLORREF c)
{
    if (auto* p = dynamic_cast<CColourButton*>(pDlg->GetDlgItem(nID)))
        p->SetColour(c);
}

bool StepNames(CDBDoc& doc, unsigned int nStepK, CString& strSet, CString& strStep)
{
    T_PLSIF_D step;
    T_POSIF_D set;
    if (!CClassPLsif(doc.GetPostDB()).Get(nStepK, step) || !CClassPOsif(doc.GetPostDB()).Get(step.nOsifK, set))
        return false;
    strSet = set.strName;
    strStep = step.strName;
    return true;
}

CWnd* OpenFlowPathDialog(CView& view, const CString& strSet, const CString& strStep)
{
    if (OpenModuleDialog("CDlgFlowPathWKVR") != 1)
        return nullptr;
    CWnd* pDlg = FindOwnedWindow(&view, "CDlgFlowPathWKVR");
    if (pDlg && SelectByText(pDlg, IDC_FP_RESULTSET, strSet) && SelectByText(pDlg, IDC_FP_STEP, strStep))
        return pDlg;
    if (pDlg)
        pDlg->DestroyWindow();
    return nullptr;
}

bool PlotFlowPathFrom(CWnd* pDlg, const double p[3])
{
    char szPoint[96];
    std::snprintf(szPoint, sizeof szPoint, "%.17g, %.17g, %.17g", p[0], p[1], p[2]);
    return AfxDriver::SetText(pDlg, IDC_FP_POSITION, szPoint) && AfxDriver::Click(pDlg, IDC_FP_PLOT);
}

int CompareModalDirect(const std::vector<T_THRD_D>& ticked, bool bMoving)
{
    ModuleEngine engine;
    if (!engine.IsLive())
        return 0;
    int ok = 1;
    for (const T_THRD_D& f : ticked) {
        if (f.nAcasK != kvpvs::sample::kAcasQuakeModal)
            continue;
        T_THRD_D direct = f;
        direct.nAcasK = kvpvs::sample::kAcasQuakeDirect;
        const std::vector<double> a = engine.Run(f);
        const std::vector<double> b = engine.Run(direct);
        double peak = 0.0, diff = 0.0;
        for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
            peak = std::fmax(peak, std::fabs(a[i]));
            diff = std::fmax(diff, std::fabs(a[i] - b[i]));
        }
        const bool same = !a.empty() && a.size() == b.size() && (!bMoving || peak > 0.0) && diff <= 1e-12 * peak;
        std::printf("  %s: %zu steps, peak |value| %.4e, modal - direct at most %.2e (%s)\n", f.strName.GetString(),
                    a.size(), peak, diff, same ? "agree to 1e-12 relative" : "DIFFER");
        ok = ok && same;
    }
    return ok;
}
