#include "PostVisualState.h"

CPostVisualState* CPostVisualState::Instance()
{
    static CPostVisualState state;
    return &state;
}
