// Stand-in for the host's embedded graph window: a window laid over a frame control of a dialog
// that draws data points, an added curve and a position mark, and reports a left-button click
// as the x value under the cursor. Choices: nothing is drawn; the window keeps what it was
// given, which the host side reads (and clicks) through GraphWnd_standin.h.
#pragma once
#include "afxtempl.h"
#include "afxwin.h"

#include <vector>

// One point of a graph.
struct T_GRPH_D {
    double dX = 0.0;
    double dY = 0.0;
};

class CGraphWnd : public CWnd {
    DECLARE_DYNAMIC(CGraphWnd)
public:
    using PFN_LBUTTONDOWN = void (*)(double x, CGraphWnd* pGraph);

    // Creates the graph window in the frame control's place, a child of the frame's parent.
    // FALSE without a live frame or when the graph window exists.
    BOOL Init(CWnd* pFrame);
    void SetLButtonDownFunc(PFN_LBUTTONDOWN pfn) { m_pfnLButtonDown = pfn; }
    // 1 lines, 2 data points as symbols with the added data as a line.
    void SetDrawingGraphType(int nType) { m_nDrawingType = nType; }
    void SetData(const CArray<T_GRPH_D, T_GRPH_D&>& aPoint);
    void SetAddedData(const CArray<T_GRPH_D, T_GRPH_D&>& aPoint);
    // Moves the position mark to x as given, not to the nearest data point.
    void SetPosByXValueNoSnap(double x);
    // Moves the position mark to the data point whose x lies nearest to x (the lower on a tie);
    // to x itself when there are no data points.
    void SetPosByXValue(double x);

    // Index of the data point whose x lies nearest to x (the first of equals); -1 without data.
    int GetPosByXValue(double x) const;
    void SetDrawPosMark(int bDraw) { m_bDrawPosMark = bDraw; }
    // The simulation marker follows an animation between StartSimulation and EndSimulation.
    void StartSimulation();
    void EndSimulation();
    // Moves the simulation marker to x, or to data point nIndex (an index outside the data
    // leaves it where it is).
    void Simulation(double x);
    void SimulationByIndex(int nIndex);
    // Lays the window out again over the frame control's place.
    void CallOnSize(CWnd* pFrame);

private:
    PFN_LBUTTONDOWN m_pfnLButtonDown = nullptr;
    int m_nDrawingType = 1;
    std::vector<T_GRPH_D> m_aData;
    std::vector<T_GRPH_D> m_aAdded;
    int m_nSetData = 0, m_nSetAdded = 0;
    bool m_bMark = false;
    double m_dMarkX = 0.0;
    int m_bDrawPosMark = 1;
    bool m_bSimulating = false;
    int m_nSimStarts = 0, m_nSimEnds = 0, m_nLayouts = 0;
    double m_dSimX = 0.0;
    friend class GraphWndStandIn;
};
