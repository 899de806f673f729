// The host side of the graph-window stand-in: what a graph window was given, and the user's
// click on it. Tests and the demo host read graphs through this; module code never does.
#pragma once
#include "GraphWnd.h"

#include <vector>

class GraphWndStandIn {
public:
    // The graph windows that are children of pParent, in creation order.
    static std::vector<CGraphWnd*> FindIn(CWnd* pParent);
    static const std::vector<T_GRPH_D>& Data(const CGraphWnd& g) { return g.m_aData; }
    static const std::vector<T_GRPH_D>& AddedData(const CGraphWnd& g) { return g.m_aAdded; }
    static int SetDataCount(const CGraphWnd& g) { return g.m_nSetData; }
    static int SetAddedDataCount(const CGraphWnd& g) { return g.m_nSetAdded; }
    static int DrawingType(const CGraphWnd& g) { return g.m_nDrawingType; }
    static bool HasMark(const CGraphWnd& g) { return g.m_bMark; }
    static double MarkX(const CGraphWnd& g) { return g.m_dMarkX; }
    static int DrawPosMark(const CGraphWnd& g) { return g.m_bDrawPosMark; }
    static bool IsSimulating(const CGraphWnd& g) { return g.m_bSimulating; }
    static int SimulationStarts(const CGraphWnd& g) { return g.m_nSimStarts; }
    static int SimulationEnds(const CGraphWnd& g) { return g.m_nSimEnds; }
    // Where the simulation marker stands (x).
    static double SimulationX(const CGraphWnd& g) { return g.m_dSimX; }
    static int LayoutCount(const CGraphWnd& g) { return g.m_nLayouts; }
    static CGraphWnd::PFN_LBUTTONDOWN LButtonDownFunc(const CGraphWnd& g) { return g.m_pfnLButtonDown; }
    // The user clicks the graph where its x axis reads x: the mark moves there and the
    // registered function is called with x. FALSE (nothing happens) for a graph window that
    // is not live and visible.
    static BOOL Click(CGraphWnd* pGraph, double x);
};
