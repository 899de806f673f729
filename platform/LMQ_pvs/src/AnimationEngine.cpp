#include "AnimationEngine.h"

std::function<void(CView*, int)> CAnimationEngineOnlyRecord::m_fnFrameHook;
