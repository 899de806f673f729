// Stand-in for the host's legend object: it holds the drawing tool set; the file and unit
// block under the legend is recorded on the tool set as one call.
#pragma once
#include "XGL_ToolSet.h"
#include "afxstr.h"

class CPVSLegendObjectBase {
public:
    explicit CPVSLegendObjectBase(XGL_ToolSet* pToolSet) : m_pToolSet(pToolSet) {}
    CPVSLegendObjectBase(const CPVSLegendObjectBase& other) = default;
    CPVSLegendObjectBase& operator=(const CPVSLegendObjectBase& other) = default;
    virtual ~CPVSLegendObjectBase() = default;

    virtual void Draw()
    {
        DrawBandConourLegend();
        DrawFileUnitSet();
    }
    virtual void DrawBandConourLegend() {}
    virtual void DrawFileUnitSet()
    {
        if (m_pToolSet)
            m_pToolSet->m_aCalls.emplace_back("DrawFileUnitSet");
    }
    virtual int GetWidthFittingStr(const CString& str) { return str.GetLength() * 7; }
    virtual CString GetResultOLVTitle() { return CString(); }
    virtual CString GetValueString(double dVal)
    {
        CString s;
        s.Format("%g", dVal);
        return s;
    }

protected:
    XGL_ToolSet* m_pToolSet = nullptr;
};
