// Visual method of the slope factor-of-safety display (type 17): draws the model's surface and
// outline with, from the settings record of CPVSVisualDataFOS, either the critical slip circle
// as a 21-point arc with the grid of trial centres (from the slope's circle-grid record, placed
// by plane kind as the centres are) and a factor-of-safety label at each trial centre, or one polyline
// slip surface with its factor. Everything lies in one coordinate plane of the model.
#pragma once
#include "core/KVPvsExport.h"
#include "visualdata/CPVSVisualDataFOS.h"

#include "PVSVisualMethodBase.h"

#include <gp_Pnt.hxx>

class KV_PVS_API CPVSVisualMethodFOS : public CPVSVisualMethodBase {
    DECLARE_DYNAMIC(CPVSVisualMethodFOS)
public:
    static constexpr int kArcPoints = 21;

    explicit CPVSVisualMethodFOS(T_VM_PARAM_D& param);
    ~CPVSVisualMethodFOS() override;

    int Process() override;
    int Render0(CPVSRendererBase* pRenderer) override;
    int Render(CPVSRendererBase* pRenderer) override;

    int m_nPlotKind = 0;
    int m_nMarkerCount = 0;
    double m_dArc[kArcPoints][3];
    double m_dCentre[3] = {0, 0, 0};
    double (*m_pMarker)[3] = nullptr;
    CArray<gp_Pnt, gp_Pnt&> m_aLabelPos;
    CArray<CString, CString&> m_aLabelText;
    CArray<gp_Pnt, gp_Pnt&> m_aCriticalPos;
    CArray<CString, CString&> m_aCriticalText;
    unsigned int m_nColor = 0;
    int m_nGridSegCount = 0;
    double (*m_pGridSeg)[3] = nullptr;
    int m_nPolylineCount = 0;
    double (*m_pPolyline)[3] = nullptr;

private:
    int Build();
    int Draw(CPVSRendererBase* pRenderer);
    T_VD_FOS_TVCKVR_D* GetRecord();
    int ProcessCircle(const T_VD_FOS_TVCKVR_D& rec);
    int ProcessPolyline(const T_VD_FOS_TVCKVR_D& rec);
    void ReleaseArrays();
};
