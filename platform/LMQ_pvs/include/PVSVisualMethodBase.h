// Stand-in for the host's visual-method base and its generic visual methods. The generic
// methods only record how they were made; the module's methods derive from the base.
// Choices: InitializeDataSet makes (or empties) the pre-step, post-step and inactive data sets
// as poly data; the base owns them and the append filter and releases them at destruction.
#pragma once
#include "PVSParams.h"

class vtkDataSet;
class vtkPolyData;
class CAnimationEngine;
class CPVSRendererBase;
class CPVSModelDataFEM;
class CPVSVisualDataBase;
class vtkAppendPolyData;
class vtkBandedPolyDataContourFilter;
class CPVSColorTableBase;

class I_PVSVisualMethod : public CObject {
    DECLARE_DYNAMIC(I_PVSVisualMethod)
public:
    explicit I_PVSVisualMethod(T_VM_PARAM_D& param) : m_param(param) {}
    T_PVIST_ALL_D* GetVS() { return m_param.pVS; }
    T_PVIST_ANIM_D* GetAS() { return m_param.pAS; }
    vtkDataSet* GetDataSetPre() { return m_pDataSetPre; }
    vtkDataSet* GetDataSetPst() { return m_pDataSetPst; }
    vtkDataSet* GetDataSetInactive() { return m_pDataSetInactive; }
    const T_VM_PARAM_D& GetParam() const { return m_param; }

protected:
    T_VM_PARAM_D m_param;
    vtkDataSet* m_pDataSetPre = nullptr;
    vtkDataSet* m_pDataSetPst = nullptr;
    vtkDataSet* m_pDataSetInactive = nullptr;
};

class CPVSVisualMethodBase : public I_PVSVisualMethod {
    DECLARE_DYNAMIC(CPVSVisualMethodBase)
public:
    explicit CPVSVisualMethodBase(T_VM_PARAM_D& param);
    ~CPVSVisualMethodBase() override;
    // The host's static creator: asks the factory instance (IFactoryPVS::Instance()) and gives
    // the method the model data of the parameters' document.
    static CPVSVisualMethodBase* CreateVisualMethod(T_VM_PARAM_D& param);

    virtual int Process();
    virtual int Render0(CPVSRendererBase* pRenderer);
    virtual int Render(CPVSRendererBase* pRenderer);
    virtual int Render2(CPVSRendererBase* pRenderer);
    virtual vtkDataSet* GetHighLightDataSetPst() { return nullptr; }
    virtual void InitializeDataSet();
    virtual int GenerateContour() { return 1; }
    // Sets the band values of a banded contour: nBands + 1 values evenly from dMin to dMax.
    int GenerateContour(vtkBandedPolyDataContourFilter* pFilter, int nBands, double dMin, double dMax);
    virtual int RenderUndeformedShape(CPVSRendererBase* pRenderer) { return 1; }
    virtual int MakeLineProbe() { return 1; }
    virtual int MakeLineProbeSubclass() { return 1; }
    virtual int MakeHighLightLine() { return 1; }
    virtual CDBDoc* GetDBDoc() { return m_param.pDoc; }
    virtual CPVSModelDataFEM* GetMDTCtrl() { return m_pMDTCtrl; }
    virtual CPVSVisualDataBase* GetVDTCtrl() { return m_param.pVData; }
    virtual void* GetVMExt() { return nullptr; }
    virtual CAnimationEngine* GetAnimEng() { return nullptr; }
    virtual int RenderBandContour(CPVSRendererBase* pRenderer) { return 1; }
    virtual void DeleteVslMethodExt() {}
    virtual void DeleteMdlDataCtrl();

    void SetMDTCtrl(CPVSModelDataFEM* pMD) { m_pMDTCtrl = pMD; }

protected:
    CPVSModelDataFEM* m_pMDTCtrl = nullptr;
    vtkAppendPolyData* m_pAppendFilter = nullptr; // collects the pieces of a display
};

// The host's generic method for the method codes it builds itself (0-5 and 7). Codes 1
// (node contour), 2 (element contour) and 4 draw: Process has the visual data fill an
// unstructured grid (MakeVGeomData with the method's model data, kept as the post-step data
// set) and makes the display's colour table over the value range (the class-wide range when
// set, else the grid's scalars; a flat range is widened by 1); Render draws the grid through that table, cell edges on (translucent,
// without edges, when the visual state draws the model as feature edges, display mode 3), and the visual data's
// value labels when the visual state shows them. The other codes only record.
class CPVSVisualMethodDefault : public CPVSVisualMethodBase {
    DECLARE_DYNAMIC(CPVSVisualMethodDefault)
public:
    explicit CPVSVisualMethodDefault(T_VM_PARAM_D& param);
    ~CPVSVisualMethodDefault() override;
    CPVSVisualMethodDefault(const CPVSVisualMethodDefault&) = delete;
    CPVSVisualMethodDefault& operator=(const CPVSVisualMethodDefault&) = delete;
    int Process() override;
    int Render(CPVSRendererBase* pRenderer) override;
    CPVSColorTableBase* GetColorTable() { return m_pColorTable; }

private:
    CPVSColorTableBase* m_pColorTable = nullptr;
};

class CPVSVisualMethodColorMap : public CPVSVisualMethodBase {
    DECLARE_DYNAMIC(CPVSVisualMethodColorMap)
public:
    using CPVSVisualMethodBase::CPVSVisualMethodBase;
};

// Code 14: one point symbol per point that the point-element visual data lists, coloured by
// its value through the display's colour table (made as the default method makes it); the
// symbols are the vertices of the post-step data set, its point scalars their values; the
// data set the visual data fills itself, and its inactive elements, are kept beside them.
class CPVSVisualMethodPointElement : public CPVSVisualMethodBase {
    DECLARE_DYNAMIC(CPVSVisualMethodPointElement)
public:
    explicit CPVSVisualMethodPointElement(T_VM_PARAM_D& param);
    ~CPVSVisualMethodPointElement() override;
    CPVSVisualMethodPointElement(const CPVSVisualMethodPointElement&) = delete;
    CPVSVisualMethodPointElement& operator=(const CPVSVisualMethodPointElement&) = delete;
    int Process() override;
    int Render(CPVSRendererBase* pRenderer) override;
    CPVSColorTableBase* GetColorTable() { return m_pColorTable; }
    float GetSymbolSize() const { return m_fSymbolSize; }
    const CArray<unsigned int, unsigned int>& GetSymbolKeys() const { return m_aKey; }

private:
    CPVSColorTableBase* m_pColorTable = nullptr;
    float m_fSymbolSize = 0.0f;
    CArray<unsigned int, unsigned int> m_aKey;
};
