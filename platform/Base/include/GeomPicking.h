// Stand-ins for the host's picking services of a document's view. Each document has one of
// each (kept with its model database). Choices: nothing is drawn or picked on screen; the
// services record what they are asked, and a test or host "picks" through PositionTool::Pick.
#pragma once
#include "ZORDocBase.h"
#include "afxtempl.h"

#include <AIS_InteractiveObject.hxx>
#include <Quantity_NameOfColor.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Pnt.hxx>

#include <map>
#include <memory>
#include <vector>

class CGeomDialog;

// The host's highlight of picked mesh elements, shown as a temporary object of a dialog.
// Choice: it records the element keys it highlights.
class AIS_MeshSelect {
public:
    void SetElemSelection(const CArray<unsigned int, unsigned int>& aElemK) { m_aElemK.Copy(aElemK); }
    const CArray<unsigned int, unsigned int>& GetElemSelection() const { return m_aElemK; }

private:
    CArray<unsigned int, unsigned int> m_aElemK;
};

// The view's interactive context: shows temporary shapes under integer ids until they are
// removed or replaced, and the temporary objects of dialogs (element highlights and
// interactive objects, with their display mode) until they are removed.
class CAISContext {
public:
    struct T_TEMP_OBJECT_D {
        std::shared_ptr<AIS_MeshSelect> pObject;
        int nMode = 0;
    };
    void AddTempObject(const std::shared_ptr<AIS_MeshSelect>& p, int nMode) { m_aObjects.push_back({p, nMode}); }
    void RemoveAllTempObjects()
    {
        m_aObjects.clear();
        m_aIObjects.clear();
    }
    const std::vector<T_TEMP_OBJECT_D>& GetTempObjects() const { return m_aObjects; }

    struct T_TEMP_IOBJECT_D {
        Handle(AIS_InteractiveObject) pObject;
        int nMode = 0;
    };
    void AddTempIObject(const Handle(AIS_InteractiveObject)& p, int nMode) { m_aIObjects.push_back({p, nMode}); }
    const std::vector<T_TEMP_IOBJECT_D>& GetTempIObjects() const { return m_aIObjects; }

    struct T_TEMP_SHAPE_D {
        TopoDS_Shape shape;
        Quantity_NameOfColor colour = Quantity_NOC_BLACK;
        double dWidth = 1.0;
        int nFlag = 0;
    };
    static CAISContext* Of(CZORDocBase* pDoc);
    void SetTempShape(int nID, const TopoDS_Shape& shape, Quantity_NameOfColor colour, double dWidth, int nFlag);
    void RemoveTempShape(int nID) { m_shapes.erase(nID); }
    const T_TEMP_SHAPE_D* GetTempShape(int nID) const;
    int GetTempShapeCount() const { return static_cast<int>(m_shapes.size()); }
    void UpdateCurrentViewer() { ++m_nViewerUpdates; }
    int m_nViewerUpdates = 0;

private:
    std::map<int, T_TEMP_SHAPE_D> m_shapes;
    std::vector<T_TEMP_OBJECT_D> m_aObjects;
    std::vector<T_TEMP_IOBJECT_D> m_aIObjects;
};

// The document's selector with its position mode and object snaps.
class CGeomSelector {
public:
    static CGeomSelector* Of(CZORDocBase* pDoc);
    void ResetSelection() { ++m_nResets; }
    void AllowMultiSelect(int b) { m_bMultiSelect = b; }
    void SetPositionMode(int b) { m_bPositionMode = b; }
    void SetOsnap(int nType, int bOn) { m_osnap[nType] = bOn; }
    int GetOsnap(int nType) const;
    int m_nResets = 0;
    int m_bMultiSelect = 1;
    int m_bPositionMode = 0;

private:
    std::map<int, int> m_osnap;
};

// The snap marker of the object snapper.
class CAISObjectSnapper {
public:
    static void ResetSnapWidget() { ++m_nResets; }
    static inline int m_nResets = 0;
};

// The position tool: while on, a picked position goes to its dialog's SetLatestPoint.
class PositionTool {
public:
    PositionTool(CView* pView, CGeomDialog* pDlg, int nMapperMethod) : m_pView(pView), m_pDlg(pDlg), m_nMethod(nMapperMethod) {}
    CView* GetView() const { return m_pView; }
    void SetStatus(int nOn) { m_nStatus = nOn; }
    int GetStatus() const { return m_nStatus; }
    // The user picks a position in the view; FALSE while the tool is off.
    BOOL Pick(const gp_Pnt& p);
    int GetMapperMethod() const { return m_nMethod; }

private:
    CView* m_pView;
    CGeomDialog* m_pDlg;
    int m_nMethod;
    int m_nStatus = 0;
};

// Shape helpers of the host's geometry library.
class CGeomUtil2 {
public:
    static TopoDS_Shape MakeCompound(const std::vector<TopoDS_Shape>& aShapes, int nOption);
};
