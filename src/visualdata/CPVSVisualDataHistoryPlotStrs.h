// Element stress history plot (visual-data type 7): one plane-strain, solid or plate component
// of a time-history case at one step, recovered element by element from the solver's result
// files, shown as element values or as node values combined by the averaging mode.
#pragma once
#include "core/KVPvsExport.h"
#include "visualdata/PVSUserDefRecords.h"

#include "PVSVisualDataBase.h"

#include <memory>

namespace kvpvs::recovery {
class CentreRowsKeep;
}

class KV_PVS_API CPVSVisualDataHistoryPlotStrs : public CPVSVisualDataElem {
    DECLARE_DYNAMIC(CPVSVisualDataHistoryPlotStrs)
public:
    CPVSVisualDataHistoryPlotStrs(int nType, T_VD_PARAM_D& param);
    ~CPVSVisualDataHistoryPlotStrs() override;
    CPVSVisualDataHistoryPlotStrs(const CPVSVisualDataHistoryPlotStrs&) = delete;
    CPVSVisualDataHistoryPlotStrs& operator=(const CPVSVisualDataHistoryPlotStrs&) = delete;

    int GetVisualMethodType(T_PVIST_ALL_D* pVS) override;
    int MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector) override;
    int GetPostOutput4Probe(int nKind, unsigned int nKey, CArray<CString, CString&>& aText, int nOption) override;

    // One contribution v to a node's combined value under an averaging mode: the start value
    // before the first contribution, and the combination after it (mode 1 sums; the count
    // divides later). Modes outside 1 to 5 average as mode 1.
    static double AverageStart(int nMode);
    static double AverageCombine(int nMode, double dStored, double dValue);

    double GetElemCenterVal(unsigned int nElemK) const;
    const T_VD_HISTPLOT_TVCKVR_D& GetUserDefData() const { return *m_pUserDefData; }
    // An animation through the steps makes this display again at each step (SetTimeStep, then
    // MakeVData, the range statics reset before each frame as before each display): the
    // element rows its first frame formed serve the later ones.
    void SetTimeStep(int nStep) { m_pUserDefData->m_nTimeStep = nStep; }

protected:
    int ReadVData(T_PVIST_ALL_D* pVS);
    // The failure path of MakeVData: no values kept (a part of them would be drawn as the
    // result); gives 0.
    int DropValues();
    int ProbeLines(int nKind, unsigned int nKey, CArray<CString, CString&>& aText);
    void AverageOverflowedNodes(const CArray<unsigned int, unsigned int>& aElemK, const CArray<int, int>& aCount,
                                const CArray<unsigned int, unsigned int>& aNodeK,
                                CMap<int, int, double, double>& mNodeVal,
                                const CMap<int, int, double, double>& mNodeCnt);

    T_VD_HISTPLOT_TVCKVR_D* m_pUserDefData = nullptr;
    int m_bAveraged = 0; // the averaging switch of the last build, for the node probe
    std::unique_ptr<kvpvs::recovery::CentreRowsKeep> m_pCentreRows; // kept for the display's frames
};
