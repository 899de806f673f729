// The progress display of the history plots while they read their values: the reading text,
// as many steps as items but 1 to 10, one step each time the item index passes the mark, which
// then grows by the stride (items / steps). Closed when the object goes.
#pragma once
#include "timehistory/HistoryMessageIds.h"

#include "MsgDll.h"
#include "PostGeneralTable.h"

#include <algorithm>

class CHistPlotProgress {
public:
    explicit CHistPlotProgress(int nItems)
        : m_pDB(ICustomPostDB::Instance()), m_nSteps(std::clamp(nItems, 1, 10)), m_nStride(nItems / m_nSteps)
    {
        if (m_pDB)
            m_pDB->BeginProgress(CMsgDll::pfuncLoadStr ? CMsgDll::pfuncLoadStr(IDS_PVS_Reading_Result_Data, 0)
                                                       : CString(IDS_PVS_Reading_Result_Data),
                                 m_nSteps);
    }
    ~CHistPlotProgress() { End(); }
    // Closes the display (once).
    void End()
    {
        if (m_pDB)
            m_pDB->EndProgress();
        m_pDB = nullptr;
    }
    CHistPlotProgress(const CHistPlotProgress&) = delete;
    CHistPlotProgress& operator=(const CHistPlotProgress&) = delete;

    // Item i (from 0) is reached.
    void At(int i)
    {
        if (i > m_nMark) {
            if (m_pDB)
                m_pDB->StepProgress();
            m_nMark += m_nStride;
        }
    }

private:
    ICustomPostDB* m_pDB;
    int m_nSteps;
    int m_nStride;
    int m_nMark = 0;
};
