// Legend of the event states: four coloured bands with the state names and, on request,
// each state's share of the coloured points.
#pragma once
#include "core/KVPvsExport.h"

#include "PVSLegendObjectBase.h"

class KV_PVS_API CPVSLegendObjectEvent : public CPVSLegendObjectBase {
public:
    explicit CPVSLegendObjectEvent(XGL_ToolSet* pToolSet);
    CPVSLegendObjectEvent(const CPVSLegendObjectEvent& other);
    CPVSLegendObjectEvent& operator=(const CPVSLegendObjectEvent& other) = default;
    ~CPVSLegendObjectEvent() override;

    void Draw() override;
    void DrawBandConourLegend() override;

private:
    void DrawStateBands();
};
