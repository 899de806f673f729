// Stand-in for the host's colour table of contour displays: a lookup table with its colour
// count, and per-rank counts of coloured values from which a legend reads shares.
#pragma once
#include "afxtempl.h"
#include "afxwin.h"

class vtkLookupTable;

class CPVSColorTableBase : public CObject {
    DECLARE_DYNAMIC(CPVSColorTableBase)
public:
    explicit CPVSColorTableBase(unsigned int nKey = 0);
    ~CPVSColorTableBase() override;
    CPVSColorTableBase(const CPVSColorTableBase&) = delete;
    CPVSColorTableBase& operator=(const CPVSColorTableBase&) = delete;
    unsigned int GetKey() const { return m_nKey; }

    // A continuous table over [dMin, dMax]; nMode picks the colour scheme.
    virtual void Generate(double dMin, double dMax, int nRank, int nMode, int nOpt1, int nOpt2);
    virtual int GetColByVal(double dVal, float& r, float& g, float& b, int nUnused, int bCount);
    virtual void BeginPercent();
    virtual double GetPercentByIndex(int nIndex);
    virtual double GetRankVal(int nIndex);
    virtual vtkLookupTable* GetTable() { return m_pLookupTable; }
    virtual int MakeLookupTable(int nMode, int nColors);

protected:
    int m_nNumColors = 12;
    vtkLookupTable* m_pLookupTable = nullptr;
    int m_nTotalCount = 0;
    CArray<int, int> m_aCount;

private:
    unsigned int m_nKey;
};
