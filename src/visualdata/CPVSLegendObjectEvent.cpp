#include "visualdata/CPVSLegendObjectEvent.h"
#include "visualdata/HostEntryGuard.h"

#include "PVSColorTable.h"
#include "PVSUtilFunc.h"
#include "PostVisualState.h"
#include "ZORDocBase.h"

#include <algorithm>
#include <cstdio>

#include <vtkLookupTable.h>

namespace {

constexpr int kBands = 4;
const char* const kStateNames[kBands] = {"Elastic", "Crack", "Yielding", "Crushing"};

}  // namespace

CPVSLegendObjectEvent::CPVSLegendObjectEvent(XGL_ToolSet* pToolSet) : CPVSLegendObjectBase(pToolSet) {}

CPVSLegendObjectEvent::CPVSLegendObjectEvent(const CPVSLegendObjectEvent& other) : CPVSLegendObjectBase(other) {}

CPVSLegendObjectEvent::~CPVSLegendObjectEvent() = default;

// The host's entries catch what escapes: a legend that fails is drawn as far as it got.
void CPVSLegendObjectEvent::Draw()
{
    kvpvs::visualdata::GuardedEntry(0, [&] {
        if (CPostVisualState::Instance()->GetCurrentPA()->bLegend)
            DrawBandConourLegend();
        CPVSLegendObjectBase::DrawFileUnitSet();
        return 1;
    });
}

void CPVSLegendObjectEvent::DrawBandConourLegend()
{
    kvpvs::visualdata::GuardedEntry(0, [&] {
        DrawStateBands();
        return 1;
    });
}

void CPVSLegendObjectEvent::DrawStateBands()
{
    XGL_ToolSet* pTool = m_pToolSet;
    if (!pTool)
        return;
    for (int nSize : {15, 13, 11, 5}) {
        pTool->BeginText("Times-Roman", nSize);
        pTool->EndText();
    }

    CZORDocBase* pDoc = CZORDocBase::GetCurDoc();
    CPVSColorTableBase* pTable = pDoc ? pDoc->GetCurPostColorTable() : nullptr;
    vtkLookupTable* pLut = pTable ? pTable->GetTable() : nullptr;
    if (!pLut)
        return;
    T_PVIST_ALL_D* pVS = CPostVisualState::Instance()->GetCurrentPA();

    // Empty without an active view: the platform's RECT has no initial value.
    RECT rc{};
    if (CView* pView = pDoc->GetActiveView())
        pView->GetClientRect(&rc);
    const int nClientW = rc.right - rc.left;
    const int nClientH = rc.bottom - rc.top;
    const int W = pVS->nLegendWidth;
    const int T = pVS->nLegendTop;
    const int x0 = static_cast<int>(W + (nClientW - W) * pVS->dLegendRatioX);
    const int y0 = static_cast<int>((nClientH - T) * pVS->dLegendRatioY + T + 11.0);

    pTool->Begin2D_pxl();
    pTool->Begin2D_Local_FromRT(x0, y0);
    int aViewport[4] = {0, 0, 0, 0};
    pTool->GetViewport(aViewport);
    const int aVirtual[4] = {0, 0, aViewport[2], aViewport[3]};
    pTool->SetVirtualViewport(aVirtual);

    double tr = 0.0, tg = 0.0, tb = 0.0, pr = 0.0, pg = 0.0, pb = 0.0, br = 0.0, bg = 0.0, bb = 0.0;
    CPVSUtilFunc::GetRgbF(pVS->nLegendTextColor, tr, tg, tb);
    CPVSUtilFunc::GetRgbF(pVS->nLegendPercentColor, pr, pg, pb);
    CPVSUtilFunc::GetRgbF(pVS->nLegendBkColor, br, bg, bb);
    const int nBkMode = pVS->nLegendBkMode;
    const int bPercent = pVS->bLegendPercent;

    // The bands need (count - 1) x 10 + 8 pixels, but the legend is never made lower than 200.
    const int nMinHeight = std::max((kBands - 1) * 10 + 8, 200);
    if (pVS->nLegendHeight < nMinHeight)
        pVS->nLegendHeight = nMinHeight;
    const int H = pVS->nLegendHeight;
    const int L = W - 129;

    pTool->BeginText("Times-Roman", 12);
    if (nBkMode == 2) {
        pTool->SetBlend();
        pTool->SetColor4(br, bg, bb, 0.3);
        pTool->DrawRectFill(-6, -12, W + 1, H - 5);
        pTool->ResetBlend();
    } else if (nBkMode == 3) {
        pTool->SetColor3(br, bg, bb);
        pTool->DrawRectFill(-6, -12, W + 1, H - 5);
    }

    const int nEntries = static_cast<int>(pLut->GetNumberOfTableValues());
    for (int i = kBands - 1; i >= 0; --i) {
        const int y1 = (kBands - 1 - i) * 20;
        const int y2 = y1 + 20;
        double rgba[4] = {0.7, 0.7, 0.7, 1.0};
        if (i < nEntries)
            pLut->GetTableValue(i, rgba);
        pTool->SetColor3(rgba[0], rgba[1], rgba[2]);
        pTool->DrawRectFill(1, y1, L + 21, y2);
        pTool->SetColor3(0.0, 0.0, 0.0);
        pTool->DrawRect(1, y1, L + 21, y2);
        pTool->SetColor3(0.6, 0.6, 0.6);
        pTool->DrawLine(L + 21, y1, L + 59, y1);
        const int yText = static_cast<int>((y1 + y2) / 2.0 + 3.0);
        char buf[64];
        if (bPercent) {
            pTool->SetColor3(pr, pg, pb);
            std::snprintf(buf, sizeof(buf), " %3.1f%%", pTable->GetPercentByIndex(i) * 100.0);
            pTool->TextToWindow(L + 23, yText, buf);
        }
        pTool->SetColor3(tr, tg, tb);
        std::snprintf(buf, sizeof(buf), "%s", kStateNames[i]);
        pTool->TextToWindow(L + 76, yText, buf);
    }
    pTool->SetColor3(0.6, 0.6, 0.6);
    pTool->DrawLine(L + 21, 80, L + 59, 80);
    pTool->EndText();
    pTool->End2D_Local();
    pTool->End2D_pxl();
}
