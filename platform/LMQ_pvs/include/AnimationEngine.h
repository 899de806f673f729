// Stand-in for the host's animation engines. CAnimationEngineOnlyRecord records a view while
// it calls a frame procedure once per frame. Choice: StartRecording calls the procedure the
// given number of times, in order, and after each call the host's frame hook (when set), which
// stands for recording the view (the demo host writes a picture there); it returns the number
// of frames recorded.
#pragma once
#include "PostVisualState.h"
#include "afxwin.h"

#include <functional>

class CAnimationEngine {
public:
    virtual ~CAnimationEngine() = default;
};

class CAnimationEngineOnlyRecord : public CAnimationEngine {
public:
    using PFN_FRAME = int (*)();
    CAnimationEngineOnlyRecord(CView* pView, PFN_FRAME pfnFrame, int nFrames, T_PVIST_ANIM_D* pAS)
        : m_pView(pView), m_pfnFrame(pfnFrame), m_nFrames(nFrames), m_pAS(pAS)
    {
    }
    int StartRecording()
    {
        int nDone = 0;
        for (int i = 0; i < m_nFrames; ++i) {
            if (m_pfnFrame)
                m_pfnFrame();
            if (m_fnFrameHook)
                m_fnFrameHook(m_pView, i);
            ++nDone;
        }
        return nDone;
    }
    CView* GetView() const { return m_pView; }
    T_PVIST_ANIM_D* GetAnimState() const { return m_pAS; }
    int GetFrameCount() const { return m_nFrames; }

    // Host side: what recording a frame does (view, frame index from 0). Defined in the
    // library, so that a module's engine and its host share the one hook.
    static std::function<void(CView*, int)> m_fnFrameHook;

private:
    CView* m_pView;
    PFN_FRAME m_pfnFrame;
    int m_nFrames;
    T_PVIST_ANIM_D* m_pAS;
};
