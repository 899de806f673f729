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

private:
    PFN_LBUTTONDOWN m_pfnLButtonDown = nullptr;
    int m_nDrawingType = 1;
    std::vector<T_GRPH_D> m_aData;
    std::vector<T_GRPH_D> m_aAdded;
    int m_nSetData = 0, m_nSetAdded = 0;
    bool m_bMark = false;
    double m_dMarkX = 0.0;
    friend class GraphWndStandIn;
};
