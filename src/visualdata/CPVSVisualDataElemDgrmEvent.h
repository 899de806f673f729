// Line-event element diagram: the crack state (elastic, crack, yielding, crushing) of line
// elements drawn as a band along each two-node element, its height from the force component of
// the same step that belongs to the event code (the companion diagram), its colour from the
// state at the element's ends through the event colour table. Made by the edition factory for
// line-event rows; the host's element-diagram method (type 4) draws it.
#pragma once
#include "core/KVPvsExport.h"

#include "visualdata/CPVSVisualDataDgrmBand.h"

class KV_PVS_API CPVSVisualDataElemDgrmEvent : public CPVSVisualDataDgrmBand {
    DECLARE_DYNAMIC(CPVSVisualDataElemDgrmEvent)
public:
    explicit CPVSVisualDataElemDgrmEvent(T_VD_PARAM_D& param);
    ~CPVSVisualDataElemDgrmEvent() override;
    CPVSVisualDataElemDgrmEvent(const CPVSVisualDataElemDgrmEvent&) = delete;
    CPVSVisualDataElemDgrmEvent& operator=(const CPVSVisualDataElemDgrmEvent&) = delete;

    int MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector) override;
    using CPVSVisualDataDgrmBand::MakeVGeomData;
    int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                      CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, CArray<int, int>* pA3,
                      CArray<int, int>* pA4) override;
    // The polygons of one element: its diagram band in up to 16 steps, every vertex carrying
    // the event state of its segment. 1 on success.
    virtual int MakeDgrmPolygonEvent(T_PVTIF_D& row, T_VSUL_DATA_D& dgrm, T_VSUL_DATA_D& events, double* pDir,
                                     T_NODE_D& n1, T_NODE_D& n2, CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly);

    // Companion and code family as construction left them.
    CPVSVisualDataElemDgrm* GetCompanion() const { return m_pCompanionDgrm; }
    int GetDgrmKind() const { return m_nDgrmKind; }

private:
    // The force component code and family of an event code; 0 and nothing written for a code
    // outside the table.
    static int GetForceCompID(unsigned int nEventCode, unsigned int& nForceComp, int& nKind);

protected:
    int BuildGeom(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                  CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, vtkDataSet* pInactive,
                  vtkDataSet* pD2, CArray<unsigned int, unsigned int>& aElemK) override;
    int ReadVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector);
    CPVSVisualDataElemDgrm* m_pCompanionDgrm = nullptr;
    int m_nDgrmKind = 1;
};
