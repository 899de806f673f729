// Stand-ins for the document's work-plane grid and its 3-D viewer. The grid is drawn on the
// current work plane, rectangular (two lists of line positions) or circular (radii and
// angles); the viewer's privileged plane is the plane on which the user picks. Choices:
// nothing is drawn; both record what they are asked, and the host's Open CASCADE viewer
// (which needs a graphic driver) is replaced by a recorder of its privileged plane.
#pragma once
#include "afxtempl.h"

#include <gp_Ax3.hxx>

class CGrid {
public:
    // Forgets the grid's data and hides it.
    void Reset()
    {
        ++m_nResets;
        m_nType = 0;
        m_dOrigin[0] = m_dOrigin[1] = 0.0;
        m_aList1.RemoveAll();
        m_aList2.RemoveAll();
        m_bShown = 0;
    }
    // 0 rectangular, 1 circular.
    void SetGridType(int nType) { m_nType = nType; }
    // Origin in the plane, then the two lists (rectangular: x and y data, circular: radii and angles).
    void SetRectGridData(double dX, double dY, const CArray<double, double>& a1, const CArray<double, double>& a2)
    {
        SetData(dX, dY, a1, a2);
        m_nDataKind = 0;
    }
    void SetCircularGridData(double dX, double dY, const CArray<double, double>& a1, const CArray<double, double>& a2)
    {
        SetData(dX, dY, a1, a2);
        m_nDataKind = 1;
    }
    void ShowGrid(int bShow, int bRedraw)
    {
        m_bShown = bShow;
        m_nShowArg2 = bRedraw;
        ++m_nShows;
    }

    int m_nType = 0;
    int m_nDataKind = -1; // which data setter ran last (-1 none)
    double m_dOrigin[2] = {0, 0};
    CArray<double, double> m_aList1;
    CArray<double, double> m_aList2;
    int m_bShown = 0;
    int m_nShowArg2 = 0;
    int m_nShows = 0;
    int m_nResets = 0;

private:
    void SetData(double dX, double dY, const CArray<double, double>& a1, const CArray<double, double>& a2)
    {
        m_dOrigin[0] = dX;
        m_dOrigin[1] = dY;
        m_aList1.Copy(a1);
        m_aList2.Copy(a2);
    }
};

class CZORViewer {
public:
    void SetPrivilegedPlane(const gp_Ax3& plane)
    {
        m_privilegedPlane = plane;
        ++m_nPlaneSets;
    }
    const gp_Ax3& PrivilegedPlane() const { return m_privilegedPlane; }
    int m_nPlaneSets = 0;

private:
    gp_Ax3 m_privilegedPlane;
};
