// The curve-fitting dialog: fits a least-squares polynomial to the settlement profile along a
// grid line (the numerical library's curvefit), lists its coefficients and its derivative's,
// draws the points and the fitted curve in the host's graph window, and reads the fitted value
// and slope at a typed or clicked position. Data far from x = 0 is fitted about a reference x0
// near its centre. Its opener sets the title, appends the points and runs it modally.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/CCurveFitPolynomial.h"
#include "dialogs/DialogControlIds.h"

#include "DlgMove.h"
#include "ExtListCtrl.h"
#include "GraphWnd.h"
#include "TextUnit.h"
#include "afxcmn.h"

class KV_PVS_API CDlgCurveFitting : public CDlgMove {
    DECLARE_DYNAMIC(CDlgCurveFitting)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_CURVEFITTING };
    explicit CDlgCurveFitting(CWnd* pParent = nullptr);
    ~CDlgCurveFitting() override;

    // Appends one point of the profile; x and y values stay pairs.
    void AddPoint(double x, double y)
    {
        m_aX.Add(x);
        m_aY.Add(y);
    }

    // The dialog while it exists, for the graph's click function.
    static CDlgCurveFitting* m_pMySelf;

protected:
    // Every message handler and the framework's own handling, guarded at one point.
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnDeltaposDegree(NMHDR* pNMHDR, LRESULT* pResult);
    void OnApply();

    static void OnGraphLButtonDown(double x, CGraphWnd* pGraph);
    void DrawPoints();
    void Fit();
    void Evaluate(double x);

    CTextUnit m_stcPositionUnit;
    CSpinButtonCtrl m_spinDegree;
    CExtListCtrl m_lstCoef;
    CTextUnit m_stcValueUnit;

public:
    // Set by the opener before the run.
    CString m_strTitle;

protected:
    CString m_strValue;
    CString m_strSlope;
    CString m_strPosition;
    CString m_strDegree = "3";
    CGraphWnd m_graph;
    CArray<double, double> m_aX;
    CArray<double, double> m_aY;
    // The polynomials are in powers of x - m_dX0 (0 for data near the origin).
    double m_dX0 = 0.0;
    CCurveFitPolynomial m_polyFit;
    CCurveFitPolynomial m_polyDerivative;
};
