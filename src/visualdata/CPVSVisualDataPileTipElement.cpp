#include "visualdata/CPVSVisualDataPileTipElement.h"
#include "visualdata/HostEntryGuard.h"

#include "FactoryPVS.h"
#include "GlobalFunc.h"
#include "PVSMeshMngrBrdgBase.h"
#include "PVSModelData.h"
#include "PostCtrlGeoTech.h"

#include <algorithm>
#include <cstdint>

#include <gp_Pnt.hxx>
#include <vtkDataSet.h>
#include <vtkDoubleArray.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPointSet.h>
#include <vtkPoints.h>
#include <vtkSmartPointer.h>

IMPLEMENT_DYNAMIC(CPVSVisualDataPileTipElement, CPVSVisualDataPointElement)

namespace {

constexpr int kPileElemType = 60;
constexpr unsigned int kInactiveHashSize = 1000003;

unsigned int ElemKeyOrId(unsigned int nElemK)
{
    IQueryPVS* pQuery = IQueryPVS::Instance();
    return pQuery ? pQuery->GetElemKeyOrId(nElemK, nullptr) : nElemK;
}

}  // namespace

CPVSVisualDataPileTipElement::CPVSVisualDataPileTipElement(T_VD_PARAM_D& param) : CPVSVisualDataPointElement(param) {}

CPVSVisualDataPileTipElement::~CPVSVisualDataPileTipElement() = default;

// The entries of the host's give their failure values for whatever escapes them, with no tip
// values or symbols kept.
int CPVSVisualDataPileTipElement::MakeVData(T_PVIST_ALL_D*, T_PVIST_ANIM_D*, int)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return ReadVData(); },
        [&] {
            m_mVData.RemoveAll();
            m_mTipVal.RemoveAll();
            m_mPile.RemoveAll();
        });
}

int CPVSVisualDataPileTipElement::ReadVData()
{
    CArray<unsigned int, unsigned int> aActive;
    if (!GetActiveElemK(aActive))
        return 0;
    CArray<unsigned int, unsigned int> aPileK;
    for (int i = 0; i < aActive.GetSize(); ++i)
        if (m_clsElem.GetElemType(aActive[i]) == kPileElemType)
            aPileK.Add(ElemKeyOrId(aActive[i]));
    if (aPileK.GetSize() == 0)
        return 0;

    const int nCount = aPileK.GetSize();
    InitVDataHashTable(nCount);
    CPostCtrlBase* pCtrl = GetPostCtrl();
    if (!pCtrl)
        return 0;
    pCtrl->BeginQueryRow(GetPVtifK());
    const kvpvs::visualdata::CScopeEnd endRow([&] { pCtrl->EndQueryRow(); });
    m_mTipVal.InitHashTable(GF_GetHashSizeByCount(nCount));
    m_mPile.InitHashTable(GF_GetHashSizeByCount(nCount));

    T_PVTIF_D row;
    CDBDoc* pDoc = GetDoc() ? GetDoc() : CDBDoc::GetDocPoint();
    if (!pDoc || !CClassPVtif(pDoc->GetPostDB()).Get(GetPVtifK(), row))
        return 0;
    // Only the product's control holds pile results; with another every pile has none.
    const auto* pGeo = dynamic_cast<const CPostCtrlGeoTech*>(pCtrl);
    const std::uint64_t nComp = row.nCompCode;
    for (int i = 0; i < nCount; ++i) {
        const unsigned int nElemK = aPileK[i];
        T_PPILE_D pile;
        // A component outside the record gives this pile no value; it stays a pile.
        if (pGeo && pGeo->GetPile(nElemK, &pile, 0, 0, 0) && !pile.aValue.empty() &&
            nComp < pile.aValue.size() - 1) {
            const int nTip = static_cast<int>(pile.aValue[0]);
            double dVal = pile.aValue[static_cast<size_t>(1 + nComp)];
            if (nTip > 0) {
                SetMinMaxVal(nElemK, dVal, 1);
                m_mTipVal.SetAt(static_cast<unsigned int>(nTip), dVal);
            }
        }
        m_mPile.SetAt(nElemK, nElemK);
    }
    return 1;
}

int CPVSVisualDataPileTipElement::GetScalar(unsigned int nNodeNo, double& dVal, int)
{
    double d = 0.0;
    if (!m_mTipVal.Lookup(nNodeNo, d))
        return 0;
    dVal = d;
    return 1;
}

int CPVSVisualDataPileTipElement::MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D*, T_PVIST_ANIM_D*,
                                                CAnimationEngine*, CPVSModelDataBase* pMD, CArray<int, int>* pA1,
                                                CArray<int, int>* pA2, vtkDataSet* pD1, vtkDataSet*,
                                                CArray<unsigned int, unsigned int>& aKey,
                                                CArray<gp_Pnt, gp_Pnt&>& aPnt, CArray<double, double&>& aVal,
                                                float* pSize)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return BuildSymbols(pDataSet, pMD, pA1, pA2, pD1, aKey, aPnt, aVal, pSize); },
        [&] {
            aKey.RemoveAll();
            aPnt.RemoveAll();
            aVal.RemoveAll();
            if (pDataSet)
                pDataSet->Initialize();
        });
}

int CPVSVisualDataPileTipElement::BuildSymbols(vtkDataSet* pDataSet, CPVSModelDataBase* pMD, CArray<int, int>* pA1,
                                               CArray<int, int>* pA2, vtkDataSet* pD1,
                                               CArray<unsigned int, unsigned int>& aKey, CArray<gp_Pnt, gp_Pnt&>& aPnt,
                                               CArray<double, double&>& aVal, float* pSize)
{
    aKey.RemoveAll();
    auto* pFem = dynamic_cast<CPVSModelDataFEM*>(pMD);
    if (!pDataSet || !pFem)
        return 0;
    auto pPoints = vtkSmartPointer<vtkPoints>::Take(vtkPoints::New(VTK_DOUBLE));
    vtkNew<vtkDoubleArray> pScalars;
    if (pA1)
        pA1->RemoveAll();
    if (pA2)
        pA2->RemoveAll();

    T_PVIST_PETC_D* pEtc = CPostVisualState::Instance()->GetCurrentPE();
    double b[6] = {0, 0, 0, 0, 0, 0};
    if (CPVSMeshMngrBrdgBase::m_pMySelf)
        CPVSMeshMngrBrdgBase::m_pMySelf->GetBounds(b);
    const double e = std::max({b[1] - b[0], b[3] - b[2], b[5] - b[4]});
    if (pSize)
        *pSize = static_cast<float>(e * 0.0333333 * pEtc->dSymbolScale);

    CMap<unsigned int, unsigned int, unsigned int, unsigned int> mInactive;
    mInactive.InitHashTable(kInactiveHashSize);
    aPnt.RemoveAll();
    aVal.RemoveAll();

    CPostCtrlBase* pCtrl = GetPostCtrl();
    const int nOption = CPostVisualState::Instance()->GetCurrentPS()->nSymbolOption;
    for (int i = 0; i < pFem->GetNodeNum(); ++i) {
        const unsigned int nNodeK = pFem->GetNodeK(i);
        const int nNo = pCtrl ? pCtrl->GetSeqIdInfo()->GetSeqIdNode(nNodeK) : static_cast<int>(nNodeK);
        T_NODE_D node;
        if (!pFem->GetNodeD(nNodeK, node))
            continue;
        double dVal = 0.0;
        if (GetScalar(static_cast<unsigned int>(nNo), dVal, nOption)) {
            gp_Pnt p(node.dXyz[0], node.dXyz[1], node.dXyz[2]);
            aPnt.Add(p);
            aVal.Add(dVal);
        }
    }
    for (int i = 0; i < pFem->GetElemNum(); ++i) {
        const unsigned int nElemK = pFem->GetElemK(i);
        unsigned int nSame = 0;
        if (!pFem->FindElemD(nElemK) || !m_mPile.Lookup(nElemK, nSame))
            mInactive.SetAt(nElemK, nElemK);
        else
            aKey.Add(nElemK);
    }

    if (auto* pPointSet = vtkPointSet::SafeDownCast(pDataSet))
        pPointSet->SetPoints(pPoints);
    pDataSet->GetPointData()->SetScalars(pScalars);

    if (mInactive.GetCount() > 0 && pD1) {
        const int nDisp = pEtc->nInactiveDisp;
        if (nDisp >= 2 && nDisp <= 6)
            MakeInactiveElemDataSet(nDisp - 1, mInactive, pFem, pD1);
    }
    return 1;
}
