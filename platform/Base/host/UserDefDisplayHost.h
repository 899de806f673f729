// Stand-in for the host's answer to a display request through the mesh-manager bridge: it
// copies the settings record through the factory instance, builds the visual data of the
// requested type and the visual method that data asks for, processes it and renders it. The
// display lives until the next request, which takes its drawing off the picture, as the host's
// view shows one display at a time. Header-only, so that it builds the display with the factory
// of whichever module is loaded.
#pragma once
#include "DBDoc.h"
#include "FactoryPVS.h"
#include "PVSMeshMngrBrdg.h"
#include "PVSRendererBase.h"

#include <memory>

namespace kvpvs::host {

// Products of the factory are freed through their virtual destructors.
template <class T>
struct FactoryDelete {
    void operator()(T* p) const { delete p; }
};
template <class T>
using FactoryOwned = std::unique_ptr<T, FactoryDelete<T>>;

class CUserDefDisplayHost {
public:
    // Renders every display into pRenderer (may be null: built and processed only).
    explicit CUserDefDisplayHost(CPVSRendererBase* pRenderer) : m_pRenderer(pRenderer) {}
    CUserDefDisplayHost(const CUserDefDisplayHost&) = delete;
    CUserDefDisplayHost& operator=(const CUserDefDisplayHost&) = delete;
    ~CUserDefDisplayHost() { Drop(); }

    // The bridge sends its requests here until Uninstall; the host must outlive that.
    void Install(CPVSMeshMngrBrdg& bridge)
    {
        bridge.m_fnDisplayHandler = [this](const T_PVS_DISPLAY_REQUEST_D& r) { return Show(r); };
    }
    static void Uninstall(CPVSMeshMngrBrdg& bridge) { bridge.m_fnDisplayHandler = nullptr; }
    // The document's display operation sends its requests here as well, until UninstallDoc.
    void InstallDoc(CDBDoc& doc)
    {
        doc.m_fnDisplayHandler = [this](const T_DOC_DISPLAY_REQUEST_D& r) {
            T_PVS_DISPLAY_REQUEST_D q;
            q.nVDType = r.nVDType;
            q.pUserData = r.pUserData;
            q.nArg1 = r.nArg1;
            q.nArg2 = r.nArg2;
            q.nArg3 = r.nArg3;
            return Show(q);
        };
    }
    static void UninstallDoc(CDBDoc& doc) { doc.m_fnDisplayHandler = nullptr; }

    // Builds the display of one request on the current document, replacing the one before;
    // 1 shown, 0 when the factory or the display refused (nothing is kept then).
    int Show(const T_PVS_DISPLAY_REQUEST_D& r)
    {
        Replace();
        ++m_nRequests;
        // The value range and sums of the last display are not this one's.
        CPVSVisualDataBase::ResetVDataStatics();
        IFactoryPVS* pFactory = IFactoryPVS::Instance();
        CDBDoc* pDoc = CDBDoc::GetDocPoint();
        if (!pFactory || !pDoc || !r.pUserData)
            return Fail();
        // The request's record is the dialog's own and changes with its next Show: the
        // display keeps a copy, as the host does.
        m_pRecord.reset(pFactory->CreateAndCopyUserDefModeData(static_cast<int>(r.nVDType), r.pUserData));
        if (!m_pRecord)
            return Fail();
        T_VD_PARAM_D vp;
        vp.pDoc = pDoc;
        vp.pUserDefData = m_pRecord.get();
        m_pVD.reset(pFactory->CreateVisualDataByType(r.nVDType, &vp));
        return Build(pFactory, pDoc, r.nVDType);
    }

    // Builds the display of a result row (the result tree's choice) on the current document,
    // replacing the one before; nDispCompCode is the component the tree shows. 1 shown, 0 not.
    int ShowRow(unsigned int nPVtifK, unsigned int nDispCompCode = 0)
    {
        Replace();
        ++m_nRequests;
        CPVSVisualDataBase::ResetVDataStatics();
        IFactoryPVS* pFactory = IFactoryPVS::Instance();
        CDBDoc* pDoc = CDBDoc::GetDocPoint();
        if (!pFactory || !pDoc)
            return Fail();
        T_VD_PARAM_D vp;
        vp.pDoc = pDoc;
        vp.nPVtifK = nPVtifK;
        m_pVD.reset(pFactory->CreateVisualData(&vp));
        if (m_pVD)
            m_pVD->SetDispCompCode(nDispCompCode);
        return Build(pFactory, pDoc, 0);
    }

    CPVSVisualMethodBase* GetMethod() const { return m_pVM.get(); }
    CPVSVisualDataBase* GetData() const { return m_pVD.get(); }
    T_VD_USERDEF_DATA* GetRecord() const { return m_pRecord.get(); }
    int GetRequestCount() const { return m_nRequests; }
    int GetShownCount() const { return m_nShown; }
    // The visual state the displays are built with (the host's current one is not touched).
    T_PVIST_ALL_D& VisualState() { return m_vs; }
    T_PVIST_ANIM_D& AnimationState() { return m_as; }

private:
    // Data made: its values, its method and model data, processed and rendered.
    int Build(IFactoryPVS* pFactory, CDBDoc* pDoc, unsigned int nVDType)
    {
        if (!m_pVD || !m_pVD->MakeVData(&m_vs, &m_as, 0))
            return Fail();
        T_VM_PARAM_D mp;
        mp.pDoc = pDoc;
        mp.pVData = m_pVD.get();
        mp.pVS = &m_vs;
        mp.pAS = &m_as;
        mp.nVMType = m_pVD->GetVisualMethodType(&m_vs);
        mp.pUserDefData = m_pRecord.get();
        m_pVM.reset(pFactory->CreateVisualMethod(&mp));
        if (!m_pVM)
            return Fail();
        T_MD_PARAM_D md;
        md.bFlag = 1;
        md.nType = nVDType;
        // The method owns its model data; anything but the finite-element kind is not kept.
        FactoryOwned<CPVSModelDataBase> pMD(pFactory->CreateModelData(&md));
        if (auto* pFEM = dynamic_cast<CPVSModelDataFEM*>(pMD.get())) {
            pMD.release();
            m_pVM->SetMDTCtrl(pFEM);
        }
        if (!m_pVM->Process())
            return Fail();
        if (m_pRenderer) {
            m_nPiece = m_pRenderer->BeginPiece();
            const int bDrawn = m_pVM->Render(m_pRenderer);
            m_pRenderer->EndPiece();
            if (!bDrawn) {
                Replace();
                return 0;
            }
        }
        ++m_nShown;
        return 1;
    }

    int Fail()
    {
        Drop();
        return 0;
    }
    // The display before goes, and what it drew with it.
    void Replace()
    {
        if (m_pRenderer && m_nPiece != 0)
            m_pRenderer->ErasePiece(m_nPiece);
        m_nPiece = 0;
        Drop();
    }
    // The method refers to the data and the record: freed in reverse order of building.
    void Drop()
    {
        m_pVM.reset();
        m_pVD.reset();
        m_pRecord.reset();
    }

    CPVSRendererBase* m_pRenderer;
    int m_nPiece = 0; // the picture piece of the display shown
    FactoryOwned<T_VD_USERDEF_DATA> m_pRecord;
    FactoryOwned<CPVSVisualDataBase> m_pVD;
    FactoryOwned<CPVSVisualMethodBase> m_pVM;
    T_PVIST_ALL_D m_vs;
    T_PVIST_ANIM_D m_as;
    int m_nRequests = 0;
    int m_nShown = 0;
};

} // namespace kvpvs::host
