// Discrete colours of the event states of element points (elastic, crack, yielding,
// crushing) with per-state counts, from which the event legend reads each state's share.
#pragma once
#include "PVSColorTable.h"

class CPVSColorTableEvent : public CPVSColorTableBase {
    DECLARE_DYNAMIC(CPVSColorTableEvent)
public:
    explicit CPVSColorTableEvent(unsigned int nKey = 0);
    ~CPVSColorTableEvent() override;

    void Generate(double dMin, double dMax, int nRank, int nMode, int nOpt1, int nOpt2) override;
    int GetColByVal(double dVal, float& r, float& g, float& b, int nUnused, int bCount) override;
    void BeginPercent() override;
    double GetPercentByIndex(int nIndex) override;
    int MakeLookupTable(int nMode, int nColors) override;

private:
    int FillLookupTable(int nMode, int nColors);
};
