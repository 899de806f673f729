// The host's picture of a graph window for the demo: points as symbols, curves as lines and a
// position mark on ruled axes, drawn with VTK into an offscreen window and saved as a PNG
// (under Xvfb, like CPVSRendererVTK). The host feeds it what a graph window was given.
#pragma once
#include "GraphWnd.h"

#include <string>
#include <vector>

class CGraphPictureVTK {
public:
    CGraphPictureVTK(int nWidth, int nHeight) : m_nWidth(nWidth), m_nHeight(nHeight) {}
    void SetTitles(const char* pszTitle, const char* pszX, const char* pszY);
    void AddPoints(const std::vector<T_GRPH_D>& aPoint) { m_aPoints.push_back(aPoint); }
    void AddCurve(const std::vector<T_GRPH_D>& aPoint) { m_aCurves.push_back(aPoint); }
    void AddMark(double x) { m_aMarks.push_back(x); }
    // Scales the axes to everything finite that was added and writes the PNG; FALSE when
    // there is nothing to draw or the file cannot be written.
    BOOL SavePNG(const char* pszPath) const;

private:
    int m_nWidth, m_nHeight;
    std::string m_strTitle, m_strX, m_strY;
    std::vector<std::vector<T_GRPH_D>> m_aPoints, m_aCurves;
    std::vector<double> m_aMarks;
};
