// Stand-in for the host renderer through which visual methods draw: data sets in one colour,
// and labels. The base draws nothing. CPVSRendererRecorder records every call in order with a
// deep copy of its data set (for tests); CPVSRendererVTK draws the calls with VTK into an
// offscreen window and saves a PNG (for the demo host). Choice of the VTK renderer: the
// trailing ints are not interpreted, except that two-point polygons are drawn as lines, line
// drawing shows the edges of faces only and uses its line width; value colours run blue to red over the range; a
// point list is drawn as separate segments of consecutive pairs, an arc as one line.
#pragma once
#include "afxtempl.h"

#include <Quantity_Color.hxx>
#include <gp_Pnt.hxx>
#include <vtkSmartPointer.h>

#include <map>
#include <string>
#include <vector>

class vtkDataSet;
class vtkLookupTable;
class vtkProp;
class vtkRenderer;
class vtkRenderWindow;

class CPVSRendererBase {
public:
    virtual ~CPVSRendererBase() = default;
    // A data set in one colour; nArg is the host's drawing option.
    virtual void DrawDataSet(vtkDataSet* pData, const Quantity_Color& color, int nArg) { (void)pData, (void)color, (void)nArg; }
    // A data set in one colour with a display mode and two options.
    virtual void DrawDataSet(vtkDataSet* pData, const Quantity_Color& color, int nMode, int nArg1, int nArg2)
    {
        (void)pData, (void)color, (void)nMode, (void)nArg1, (void)nArg2;
    }
    // The lines of a data set nWidth wide: in one colour, or coloured by its active point
    // scalars over their range when bByValue is set; nArg is the host's drawing option.
    virtual void DrawLines(vtkDataSet* pData, const Quantity_Color& color, int bByValue, int nWidth, int nArg)
    {
        (void)pData, (void)color, (void)bByValue, (void)nWidth, (void)nArg;
    }
    // A surface coloured by its active point scalars over their range, with two options.
    virtual void DrawScalarSurface(vtkDataSet* pData, int nArg1, int nArg2) { (void)pData, (void)nArg1, (void)nArg2; }
    // A data set coloured by its active point scalars through a display's colour table (the
    // table's own range); bit 1 of nArg also draws the cell edges, bit 2 draws it translucent
    // (the VTK renderer: opacity 0.3). The vertices of a data set
    // without other cells are drawn as round points nPointSize pixels wide.
    virtual void DrawTableDataSet(vtkDataSet* pData, vtkLookupTable* pTable, int nArg, int nPointSize)
    {
        (void)pData, (void)pTable, (void)nArg, (void)nPointSize;
    }
    // Texts at positions, with an option, a size and a colour.
    virtual void DrawLabels(CArray<gp_Pnt, gp_Pnt&>& aPos, CArray<CString, CString&>& aText, int nOption,
                            double dSize, const Quantity_Color& color)
    {
        (void)aPos, (void)aText, (void)nOption, (void)dSize, (void)color;
    }
    // A marker at each of nCount points.
    virtual void DrawPointMarkers(const double (*pPoint)[3], int nCount) { (void)pPoint, (void)nCount; }
    // An arc through nCount points about a centre, nWidth wide.
    virtual void DrawArc(const double (*pPoint)[3], const double* pCentre, int nCount, int nWidth,
                         const Quantity_Color& color)
    {
        (void)pPoint, (void)pCentre, (void)nCount, (void)nWidth, (void)color;
    }
    // Lines through a list of nCount points, nWidth wide.
    virtual void DrawPointList(const double (*pPoint)[3], int nCount, int nWidth, const Quantity_Color& color)
    {
        (void)pPoint, (void)nCount, (void)nWidth, (void)color;
    }
    // Pieces of the picture: what is drawn between BeginPiece and EndPiece is taken off the
    // picture again by ErasePiece with the number BeginPiece gave (the view drops a replaced
    // display so). The base keeps no picture: piece 0, nothing to take off.
    virtual int BeginPiece() { return 0; }
    virtual void EndPiece() {}
    virtual void ErasePiece(int nPiece) { (void)nPiece; }
};

struct T_RENDER_CALL_D {
    enum Kind { kDataSet1 = 1, kDataSet3 = 3, kLabels = 4, kLines = 5, kScalarSurface = 6,
                kPointMarkers = 7, kArc = 8, kPointList = 9, kTableDataSet = 10 };
    int nKind = 0;
    vtkSmartPointer<vtkDataSet> pData; // deep copy; null for labels or a null data set
    double rgb[3] = {0, 0, 0};
    int nArg[3] = {0, 0, 0};
    std::vector<gp_Pnt> aPos;              // label positions; the points of markers, arcs and lists
    gp_Pnt centre;                         // of an arc
    std::vector<std::string> aText;
    double dSize = 0;
    // Colour-table drawing: the table's range and each point's colour through it (r, g, b).
    double dRange[2] = {0, 0};
    std::vector<double> aPointRgb;
};

class CPVSRendererRecorder : public CPVSRendererBase {
public:
    void DrawDataSet(vtkDataSet* pData, const Quantity_Color& color, int nArg) override;
    void DrawDataSet(vtkDataSet* pData, const Quantity_Color& color, int nMode, int nArg1, int nArg2) override;
    void DrawLines(vtkDataSet* pData, const Quantity_Color& color, int bByValue, int nWidth, int nArg) override;
    void DrawScalarSurface(vtkDataSet* pData, int nArg1, int nArg2) override;
    void DrawTableDataSet(vtkDataSet* pData, vtkLookupTable* pTable, int nArg, int nPointSize) override;
    void DrawLabels(CArray<gp_Pnt, gp_Pnt&>& aPos, CArray<CString, CString&>& aText, int nOption, double dSize,
                    const Quantity_Color& color) override;
    void DrawPointMarkers(const double (*pPoint)[3], int nCount) override;
    void DrawArc(const double (*pPoint)[3], const double* pCentre, int nCount, int nWidth,
                 const Quantity_Color& color) override;
    void DrawPointList(const double (*pPoint)[3], int nCount, int nWidth, const Quantity_Color& color) override;
    std::vector<T_RENDER_CALL_D> m_aCalls;
};

class CPVSRendererVTK : public CPVSRendererBase {
public:
    CPVSRendererVTK(int nWidth, int nHeight);
    ~CPVSRendererVTK() override;
    void DrawDataSet(vtkDataSet* pData, const Quantity_Color& color, int nArg) override;
    void DrawDataSet(vtkDataSet* pData, const Quantity_Color& color, int nMode, int nArg1, int nArg2) override;
    void DrawLines(vtkDataSet* pData, const Quantity_Color& color, int bByValue, int nWidth, int nArg) override;
    void DrawScalarSurface(vtkDataSet* pData, int nArg1, int nArg2) override;
    void DrawTableDataSet(vtkDataSet* pData, vtkLookupTable* pTable, int nArg, int nPointSize) override;
    void DrawLabels(CArray<gp_Pnt, gp_Pnt&>& aPos, CArray<CString, CString&>& aText, int nOption, double dSize,
                    const Quantity_Color& color) override;
    void DrawPointMarkers(const double (*pPoint)[3], int nCount) override;
    void DrawArc(const double (*pPoint)[3], const double* pCentre, int nCount, int nWidth,
                 const Quantity_Color& color) override;
    void DrawPointList(const double (*pPoint)[3], int nCount, int nWidth, const Quantity_Color& color) override;
    // Renders what was drawn, camera fitted, and writes a PNG; FALSE when it cannot.
    BOOL SavePNG(const char* pszPath);
    // The same in an image format: 0 PNG, 1 JPEG, 2 BMP (FALSE for any other). Choice: "\" in
    // the path separates folders as "/" does, and missing folders are created.
    BOOL SaveImage(const char* pszPath, int nFormat);
    // Fixed cameras for the named views (model z up): 0 Iso (from +x +y +z), 1 Iso1 (from
    // -x +y +z), 2 Front (from -y), 3 Rear (from +y), 4 Top (from +z, y up), 5 Bottom (from -z,
    // y up), 6 Left (from -x), 7 Right (from +x). FALSE (the camera unchanged) for another number.
    BOOL SetNamedView(int nView);
    int BeginPiece() override;
    void EndPiece() override;
    void ErasePiece(int nPiece) override;
    // Forgets what was drawn (the next picture starts empty).
    void Clear();
    // Looks along dDir with dUp upwards in the following pictures (choice: by default the
    // camera turns 30 degrees about the view-up axis and 25 degrees up from looking down Z).
    void SetViewDirection(const double dDir[3], const double dUp[3]);

private:
    void AddDataSet(vtkDataSet* pData, const Quantity_Color& color);
    // SaveImage's rendering and writing, the props already about the shapes' centre.
    BOOL SaveCentred(const std::string& strPath, int nFormat);
    bool m_bViewSet = false;
    double m_dViewDir[3] = {0, 0, -1};
    double m_dViewUp[3] = {0, 1, 0};
    void AddLines(const double (*pPoint)[3], int nCount, bool bPairs, int nWidth, const Quantity_Color& color);
    void AddScalarDataSet(vtkDataSet* pData, const Quantity_Color& color, bool bByValue, double dWidth);
    // The drawings of each piece, by number; the one being drawn starts at the prop count.
    std::map<int, std::vector<vtkSmartPointer<vtkProp>>> m_mPieces;
    int m_nLastPiece = 0;
    int m_nPieceStart = 0;
    // Released in reverse order: the window, which holds the renderer, goes first.
    vtkSmartPointer<vtkRenderer> m_pRenderer;
    vtkSmartPointer<vtkRenderWindow> m_pWindow;
};
