#include "PVSRendererBase.h"
#include "DisplayConnection.h"

#include <vtkActor.h>
#include <vtkBMPWriter.h>
#include <vtkJPEGWriter.h>
#include <vtkActorCollection.h>
#include <vtkBillboardTextActor3D.h>
#include <vtkCamera.h>
#include <vtkCellArray.h>
#include <vtkDataSet.h>
#include <vtkDataSetMapper.h>
#include <vtkIdList.h>
#include <vtkLookupTable.h>
#include <vtkMapper.h>
#include <vtkPointData.h>
#include <vtkDataArray.h>
#include <vtkPNGWriter.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkProp.h>
#include <vtkProp3D.h>
#include <vtkPropCollection.h>
#include <vtkProperty.h>
#include <vtkRenderWindow.h>
#include <vtkRenderer.h>
#include <vtkTextProperty.h>
#include <vtkWindowToImageFilter.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {
T_RENDER_CALL_D MakeCall(int nKind, vtkDataSet* pData, const Quantity_Color& c)
{
    T_RENDER_CALL_D call;
    call.nKind = nKind;
    if (pData) {
        call.pData.TakeReference(pData->NewInstance());
        call.pData->DeepCopy(pData);
    }
    call.rgb[0] = c.Red();
    call.rgb[1] = c.Green();
    call.rgb[2] = c.Blue();
    return call;
}
} // namespace

void CPVSRendererRecorder::DrawDataSet(vtkDataSet* pData, const Quantity_Color& color, int nArg)
{
    T_RENDER_CALL_D c = MakeCall(T_RENDER_CALL_D::kDataSet1, pData, color);
    c.nArg[0] = nArg;
    m_aCalls.push_back(c);
}

void CPVSRendererRecorder::DrawDataSet(vtkDataSet* pData, const Quantity_Color& color, int nMode, int nArg1,
                                       int nArg2)
{
    T_RENDER_CALL_D c = MakeCall(T_RENDER_CALL_D::kDataSet3, pData, color);
    c.nArg[0] = nMode;
    c.nArg[1] = nArg1;
    c.nArg[2] = nArg2;
    m_aCalls.push_back(c);
}

void CPVSRendererRecorder::DrawLines(vtkDataSet* pData, const Quantity_Color& color, int bByValue, int nWidth,
                                     int nArg)
{
    T_RENDER_CALL_D c = MakeCall(T_RENDER_CALL_D::kLines, pData, color);
    c.nArg[0] = bByValue;
    c.nArg[1] = nWidth;
    c.nArg[2] = nArg;
    m_aCalls.push_back(c);
}

void CPVSRendererRecorder::DrawScalarSurface(vtkDataSet* pData, int nArg1, int nArg2)
{
    T_RENDER_CALL_D c = MakeCall(T_RENDER_CALL_D::kScalarSurface, pData, Quantity_Color(0, 0, 0, Quantity_TOC_RGB));
    c.nArg[0] = nArg1;
    c.nArg[1] = nArg2;
    m_aCalls.push_back(c);
}

void CPVSRendererRecorder::DrawTableDataSet(vtkDataSet* pData, vtkLookupTable* pTable, int nArg, int nPointSize)
{
    T_RENDER_CALL_D c = MakeCall(T_RENDER_CALL_D::kTableDataSet, pData, Quantity_Color(0, 0, 0, Quantity_TOC_RGB));
    c.nArg[0] = nArg;
    c.nArg[1] = nPointSize;
    vtkDataArray* pScalars = pData && pData->GetPointData() ? pData->GetPointData()->GetScalars() : nullptr;
    if (pTable) {
        const double* r = pTable->GetTableRange();
        c.dRange[0] = r[0];
        c.dRange[1] = r[1];
        for (vtkIdType i = 0; pScalars && i < pScalars->GetNumberOfTuples(); ++i) {
            double rgb[3];
            pTable->GetColor(pScalars->GetComponent(i, 0), rgb);
            c.aPointRgb.insert(c.aPointRgb.end(), rgb, rgb + 3);
        }
    }
    m_aCalls.push_back(c);
}

void CPVSRendererRecorder::DrawLabels(CArray<gp_Pnt, gp_Pnt&>& aPos, CArray<CString, CString&>& aText,
                                      int nOption, double dSize, const Quantity_Color& color)
{
    T_RENDER_CALL_D c = MakeCall(T_RENDER_CALL_D::kLabels, nullptr, color);
    c.nArg[0] = nOption;
    c.dSize = dSize;
    for (int i = 0; i < aPos.GetSize(); ++i)
        c.aPos.push_back(aPos[i]);
    for (int i = 0; i < aText.GetSize(); ++i)
        c.aText.emplace_back(aText[i].GetString());
    m_aCalls.push_back(c);
}

namespace {
void AddPoints(T_RENDER_CALL_D& c, const double (*pPoint)[3], int nCount)
{
    for (int i = 0; pPoint && i < nCount; ++i)
        c.aPos.emplace_back(pPoint[i][0], pPoint[i][1], pPoint[i][2]);
}
} // namespace

void CPVSRendererRecorder::DrawPointMarkers(const double (*pPoint)[3], int nCount)
{
    T_RENDER_CALL_D c = MakeCall(T_RENDER_CALL_D::kPointMarkers, nullptr, Quantity_Color(0, 0, 0, Quantity_TOC_RGB));
    c.nArg[0] = nCount;
    AddPoints(c, pPoint, nCount);
    m_aCalls.push_back(c);
}

void CPVSRendererRecorder::DrawArc(const double (*pPoint)[3], const double* pCentre, int nCount, int nWidth,
                                   const Quantity_Color& color)
{
    T_RENDER_CALL_D c = MakeCall(T_RENDER_CALL_D::kArc, nullptr, color);
    c.nArg[0] = nCount;
    c.nArg[1] = nWidth;
    AddPoints(c, pPoint, nCount);
    if (pCentre)
        c.centre.SetCoord(pCentre[0], pCentre[1], pCentre[2]);
    m_aCalls.push_back(c);
}

void CPVSRendererRecorder::DrawPointList(const double (*pPoint)[3], int nCount, int nWidth,
                                         const Quantity_Color& color)
{
    T_RENDER_CALL_D c = MakeCall(T_RENDER_CALL_D::kPointList, nullptr, color);
    c.nArg[0] = nCount;
    c.nArg[1] = nWidth;
    AddPoints(c, pPoint, nCount);
    m_aCalls.push_back(c);
}

CPVSRendererVTK::CPVSRendererVTK(int nWidth, int nHeight)
    : m_pRenderer(vtkSmartPointer<vtkRenderer>::New()), m_pWindow(vtkSmartPointer<vtkRenderWindow>::New())
{
    m_pRenderer->SetBackground(1.0, 1.0, 1.0);
    m_pWindow->SetOffScreenRendering(1);
    m_pWindow->SetSize(nWidth, nHeight);
    m_pWindow->AddRenderer(m_pRenderer);
    // Lines drawn on a face (a slip surface on the model's section) stay visible.
    vtkMapper::SetResolveCoincidentTopologyToPolygonOffset();
}

CPVSRendererVTK::~CPVSRendererVTK() = default;

void CPVSRendererVTK::AddDataSet(vtkDataSet* pData, const Quantity_Color& color)
{
    if (!pData || pData->GetNumberOfCells() == 0)
        return;
    vtkSmartPointer<vtkDataSet> pDraw = pData;
    // Axis segments come as two-point polygons, which VTK would not draw: make them lines.
    if (auto* pPoly = vtkPolyData::SafeDownCast(pData); pPoly && pPoly->GetNumberOfPolys() > 0) {
        auto pLines = vtkSmartPointer<vtkCellArray>::New();
        auto pPolys = vtkSmartPointer<vtkCellArray>::New();
        auto pIds = vtkSmartPointer<vtkIdList>::New();
        vtkCellArray* pIn = pPoly->GetPolys();
        for (pIn->InitTraversal(); pIn->GetNextCell(pIds);)
            (pIds->GetNumberOfIds() == 2 ? pLines : pPolys)->InsertNextCell(pIds);
        if (pLines->GetNumberOfCells() > 0) {
            auto pCopy = vtkSmartPointer<vtkPolyData>::New();
            pCopy->SetPoints(pPoly->GetPoints());
            pCopy->SetLines(pLines);
            pCopy->SetPolys(pPolys);
            pDraw = pCopy;
        }
    }
    auto pMapper = vtkSmartPointer<vtkDataSetMapper>::New();
    pMapper->SetInputData(pDraw);
    pMapper->ScalarVisibilityOff();
    auto pActor = vtkSmartPointer<vtkActor>::New();
    pActor->SetMapper(pMapper);
    pActor->GetProperty()->SetColor(color.Red(), color.Green(), color.Blue());
    pActor->GetProperty()->SetLineWidth(2.0);
    m_pRenderer->AddActor(pActor);
}

void CPVSRendererVTK::DrawDataSet(vtkDataSet* pData, const Quantity_Color& color, int)
{
    AddDataSet(pData, color);
}

void CPVSRendererVTK::DrawDataSet(vtkDataSet* pData, const Quantity_Color& color, int nMode, int, int)
{
    AddDataSet(pData, color);
    // A mesh drawn in mode 1 is an outline: show it as wire frame behind the cuts.
    if (nMode == 1 && m_pRenderer->GetActors()->GetLastActor())
        m_pRenderer->GetActors()->GetLastActor()->GetProperty()->SetRepresentationToWireframe();
}

void CPVSRendererVTK::AddScalarDataSet(vtkDataSet* pData, const Quantity_Color& color, bool bByValue, double dWidth)
{
    if (!pData || pData->GetNumberOfCells() == 0)
        return;
    auto pMapper = vtkSmartPointer<vtkDataSetMapper>::New();
    pMapper->SetInputData(pData);
    vtkDataArray* pScalars = pData->GetPointData() ? pData->GetPointData()->GetScalars() : nullptr;
    if (bByValue && pScalars) {
        double r[2];
        pScalars->GetRange(r);
        pMapper->ScalarVisibilityOn();
        pMapper->SetScalarModeToUsePointData();
        pMapper->SetScalarRange(r[0], r[1] > r[0] ? r[1] : r[0] + 1.0);
        auto pLut = vtkSmartPointer<vtkLookupTable>::New();
        pLut->SetHueRange(0.667, 0.0);
        pLut->Build();
        pMapper->SetLookupTable(pLut);
    } else {
        pMapper->ScalarVisibilityOff();
    }
    auto pActor = vtkSmartPointer<vtkActor>::New();
    pActor->SetMapper(pMapper);
    pActor->GetProperty()->SetColor(color.Red(), color.Green(), color.Blue());
    pActor->GetProperty()->SetLineWidth(static_cast<float>(dWidth));
    m_pRenderer->AddActor(pActor);
}

void CPVSRendererVTK::DrawLines(vtkDataSet* pData, const Quantity_Color& color, int bByValue, int nWidth, int)
{
    const int nBefore = m_pRenderer->GetActors()->GetNumberOfItems();
    AddScalarDataSet(pData, color, bByValue != 0, nWidth > 0 ? nWidth : 1);
    // Faces asked for as lines show their edges only: filled, they would hide what lies on them.
    if (m_pRenderer->GetActors()->GetNumberOfItems() > nBefore)
        m_pRenderer->GetActors()->GetLastActor()->GetProperty()->SetRepresentationToWireframe();
}

void CPVSRendererVTK::DrawScalarSurface(vtkDataSet* pData, int, int)
{
    AddScalarDataSet(pData, Quantity_Color(1, 1, 1, Quantity_TOC_RGB), true, 1.0);
}

void CPVSRendererVTK::DrawTableDataSet(vtkDataSet* pData, vtkLookupTable* pTable, int nArg, int nPointSize)
{
    if (!pData || !pTable || pData->GetNumberOfPoints() == 0)
        return;
    // The table may change or go with its display before the picture is taken.
    auto pLut = vtkSmartPointer<vtkLookupTable>::New();
    pLut->DeepCopy(pTable);
    vtkSmartPointer<vtkDataSet> pDraw = pData;
    if (pData->GetNumberOfCells() == 0) {
        auto pPoly = vtkSmartPointer<vtkPolyData>::New();
        auto pVerts = vtkSmartPointer<vtkCellArray>::New();
        auto pPoints = vtkSmartPointer<vtkPoints>::New();
        pPoints->SetDataTypeToDouble();
        for (vtkIdType i = 0; i < pData->GetNumberOfPoints(); ++i) {
            pPoints->InsertNextPoint(pData->GetPoint(i));
            pVerts->InsertNextCell(1, &i);
        }
        pPoly->SetPoints(pPoints);
        pPoly->SetVerts(pVerts);
        pPoly->GetPointData()->SetScalars(pData->GetPointData()->GetScalars());
        pDraw = pPoly;
    }
    auto pMapper = vtkSmartPointer<vtkDataSetMapper>::New();
    pMapper->SetInputData(pDraw);
    pMapper->SetLookupTable(pLut);
    pMapper->UseLookupTableScalarRangeOn();
    pMapper->SetScalarModeToUsePointData();
    pMapper->ScalarVisibilityOn();
    auto pActor = vtkSmartPointer<vtkActor>::New();
    pActor->SetMapper(pMapper);
    pActor->GetProperty()->SetPointSize(static_cast<float>(nPointSize > 0 ? nPointSize : 1));
    pActor->GetProperty()->SetRenderPointsAsSpheres(true);
    if (nArg & 1) {
        pActor->GetProperty()->EdgeVisibilityOn();
        pActor->GetProperty()->SetEdgeColor(0.25, 0.25, 0.25);
    }
    if (nArg & 2)
        pActor->GetProperty()->SetOpacity(0.3);
    m_pRenderer->AddActor(pActor);
}

void CPVSRendererVTK::AddLines(const double (*pPoint)[3], int nCount, bool bPairs, int nWidth,
                               const Quantity_Color& color)
{
    if (!pPoint || nCount < 1)
        return;
    auto pPoints = vtkSmartPointer<vtkPoints>::New();
    pPoints->SetDataTypeToDouble();
    for (int i = 0; i < nCount; ++i)
        pPoints->InsertNextPoint(pPoint[i]);
    auto pCells = vtkSmartPointer<vtkCellArray>::New();
    if (bPairs) {
        for (int i = 0; i + 1 < nCount; i += 2) {
            const vtkIdType ids[2] = {i, i + 1};
            pCells->InsertNextCell(2, ids);
        }
    } else {
        pCells->InsertNextCell(nCount);
        for (int i = 0; i < nCount; ++i)
            pCells->InsertCellPoint(i);
    }
    auto pPoly = vtkSmartPointer<vtkPolyData>::New();
    pPoly->SetPoints(pPoints);
    pPoly->SetLines(pCells);
    AddScalarDataSet(pPoly, color, false, nWidth > 0 ? nWidth : 1);
}

void CPVSRendererVTK::DrawPointMarkers(const double (*pPoint)[3], int nCount)
{
    if (!pPoint || nCount < 1)
        return;
    auto pPoints = vtkSmartPointer<vtkPoints>::New();
    pPoints->SetDataTypeToDouble();
    auto pVerts = vtkSmartPointer<vtkCellArray>::New();
    for (int i = 0; i < nCount; ++i) {
        const vtkIdType id = pPoints->InsertNextPoint(pPoint[i]);
        pVerts->InsertNextCell(1, &id);
    }
    auto pPoly = vtkSmartPointer<vtkPolyData>::New();
    pPoly->SetPoints(pPoints);
    pPoly->SetVerts(pVerts);
    auto pMapper = vtkSmartPointer<vtkDataSetMapper>::New();
    pMapper->SetInputData(pPoly);
    pMapper->ScalarVisibilityOff();
    auto pActor = vtkSmartPointer<vtkActor>::New();
    pActor->SetMapper(pMapper);
    pActor->GetProperty()->SetColor(0.0, 0.0, 0.0);
    pActor->GetProperty()->SetPointSize(5.0f);
    m_pRenderer->AddActor(pActor);
}

void CPVSRendererVTK::DrawArc(const double (*pPoint)[3], const double*, int nCount, int nWidth,
                              const Quantity_Color& color)
{
    AddLines(pPoint, nCount, false, nWidth, color);
}

void CPVSRendererVTK::DrawPointList(const double (*pPoint)[3], int nCount, int nWidth, const Quantity_Color& color)
{
    AddLines(pPoint, nCount, true, nWidth, color);
}

void CPVSRendererVTK::SetViewDirection(const double dDir[3], const double dUp[3])
{
    for (int k = 0; k < 3; ++k) {
        m_dViewDir[k] = dDir[k];
        m_dViewUp[k] = dUp[k];
    }
    m_bViewSet = true;
}

int CPVSRendererVTK::BeginPiece()
{
    m_nPieceStart = m_pRenderer->GetViewProps()->GetNumberOfItems();
    m_mPieces[++m_nLastPiece].clear();
    return m_nLastPiece;
}

void CPVSRendererVTK::EndPiece()
{
    auto it = m_mPieces.find(m_nLastPiece);
    if (it == m_mPieces.end())
        return;
    vtkPropCollection* pProps = m_pRenderer->GetViewProps();
    for (int i = m_nPieceStart; i < pProps->GetNumberOfItems(); ++i)
        it->second.emplace_back(vtkProp::SafeDownCast(pProps->GetItemAsObject(i)));
}

void CPVSRendererVTK::ErasePiece(int nPiece)
{
    auto it = m_mPieces.find(nPiece);
    if (it == m_mPieces.end())
        return;
    // Only what is still on the picture: a cleared picture lost it already.
    for (const vtkSmartPointer<vtkProp>& p : it->second)
        if (p && m_pRenderer->HasViewProp(p))
            m_pRenderer->RemoveViewProp(p);
    m_mPieces.erase(it);
}

void CPVSRendererVTK::Clear()
{
    m_pRenderer->RemoveAllViewProps();
    m_mPieces.clear();
}

void CPVSRendererVTK::DrawLabels(CArray<gp_Pnt, gp_Pnt&>& aPos, CArray<CString, CString&>& aText, int,
                                 double dSize, const Quantity_Color& color)
{
    for (int i = 0; i < aPos.GetSize() && i < aText.GetSize(); ++i) {
        auto pText = vtkSmartPointer<vtkBillboardTextActor3D>::New();
        pText->SetInput(aText[i].GetString());
        pText->SetPosition(aPos[i].X(), aPos[i].Y(), aPos[i].Z());
        pText->GetTextProperty()->SetFontSize(static_cast<int>(dSize * 25.0 + 0.5));
        pText->GetTextProperty()->SetColor(color.Red(), color.Green(), color.Blue());
        m_pRenderer->AddActor(pText);
    }
}

BOOL CPVSRendererVTK::SavePNG(const char* pszPath) { return SaveImage(pszPath, 0); }

BOOL CPVSRendererVTK::SetNamedView(int nView)
{
    // Direction of looking (towards the model) and the up vector of each named view.
    static const double kDir[8][3] = {{-1, -1, -1}, {1, -1, -1}, {0, 1, 0}, {0, -1, 0},
                                      {0, 0, -1},   {0, 0, 1},   {1, 0, 0}, {-1, 0, 0}};
    static const double kUp[8][3] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1},
                                     {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 1}};
    if (nView < 0 || nView >= 8)
        return FALSE;
    SetViewDirection(kDir[nView], kUp[nView]);
    return TRUE;
}

BOOL CPVSRendererVTK::SaveImage(const char* pszPath, int nFormat)
{
    if (!pszPath || nFormat < 0 || nFormat > 2)
        return FALSE;
    std::string strPath = pszPath;
    for (char& c : strPath)
        if (c == '\\')
            c = '/';
    const std::filesystem::path folder = std::filesystem::path(strPath).parent_path();
    std::error_code ec;
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    if (ec)
        return FALSE;
    // Drawn about the centre of the shapes shown: far from the origin (projected coordinates,
    // 5e6 m and beyond) the labels' single-precision corners and the frame fitted to them would
    // misplace the labels and lose the rest. Each prop's place is put back after the picture.
    std::vector<std::pair<vtkProp3D*, std::array<double, 3>>> aPlace;
    double dBox[6] = {HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL};
    vtkPropCollection* pProps = m_pRenderer->GetViewProps();
    pProps->InitTraversal();
    for (vtkProp* p = pProps->GetNextProp(); p; p = pProps->GetNextProp()) {
        auto* p3 = vtkProp3D::SafeDownCast(p);
        if (!p3)
            continue;
        aPlace.push_back({p3, {p3->GetPosition()[0], p3->GetPosition()[1], p3->GetPosition()[2]}});
        const double* b = vtkActor::SafeDownCast(p3) && p3->GetVisibility() ? p3->GetBounds() : nullptr;
        for (int k = 0; b && k < 3 && b[2 * k] <= b[2 * k + 1]; ++k) {
            dBox[2 * k] = std::min(dBox[2 * k], b[2 * k]);
            dBox[2 * k + 1] = std::max(dBox[2 * k + 1], b[2 * k + 1]);
        }
    }
    double c[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k)
        c[k] = dBox[2 * k] <= dBox[2 * k + 1] ? 0.5 * (dBox[2 * k] + dBox[2 * k + 1]) : 0.0;
    for (auto& [p3, at] : aPlace)
        p3->SetPosition(at[0] - c[0], at[1] - c[1], at[2] - c[2]);
    const BOOL bSaved = SaveCentred(strPath, nFormat);
    for (auto& [p3, at] : aPlace)
        p3->SetPosition(at.data());
    return bSaved;
}

BOOL CPVSRendererVTK::SaveCentred(const std::string& strPath, int nFormat)
{
    std::error_code ec;
    // Every picture places the camera afresh: turning the one the last picture left would give
    // each further picture of the same renderer another view.
    m_pRenderer->ResetCamera();
    vtkCamera* pCamera = m_pRenderer->GetActiveCamera();
    double f[3];
    pCamera->GetFocalPoint(f);
    if (m_bViewSet) {
        pCamera->SetPosition(f[0] - m_dViewDir[0], f[1] - m_dViewDir[1], f[2] - m_dViewDir[2]);
        pCamera->SetViewUp(m_dViewUp);
    } else {
        pCamera->SetPosition(f[0], f[1], f[2] + 1.0);
        pCamera->SetViewUp(0.0, 1.0, 0.0);
        pCamera->Azimuth(30.0);
        pCamera->Elevation(25.0);
        pCamera->OrthogonalizeViewUp();
    }
    m_pRenderer->ResetCamera();
    if (!lmq::AttachDisplay(m_pWindow))
        return FALSE;
    m_pWindow->Render();
    auto pGrab = vtkSmartPointer<vtkWindowToImageFilter>::New();
    pGrab->SetInput(m_pWindow);
    pGrab->Update();
    vtkSmartPointer<vtkImageWriter> pWriter;
    if (nFormat == 0)
        pWriter = vtkSmartPointer<vtkPNGWriter>::New();
    else if (nFormat == 1)
        pWriter = vtkSmartPointer<vtkJPEGWriter>::New();
    else
        pWriter = vtkSmartPointer<vtkBMPWriter>::New();
    pWriter->SetFileName(strPath.c_str());
    pWriter->SetInputConnection(pGrab->GetOutputPort());
    pWriter->Write();
    return pWriter->GetErrorCode() == 0 && std::filesystem::exists(strPath, ec);
}
