#include "PVSColorTable.h"

#include <vtkLookupTable.h>

IMPLEMENT_DYNAMIC(CPVSColorTableBase, CObject)

CPVSColorTableBase::CPVSColorTableBase(unsigned int nKey) : m_pLookupTable(vtkLookupTable::New()), m_nKey(nKey) {}

CPVSColorTableBase::~CPVSColorTableBase()
{
    if (m_pLookupTable)
        m_pLookupTable->Delete();
    m_pLookupTable = nullptr;
}

void CPVSColorTableBase::Generate(double dMin, double dMax, int, int nMode, int, int)
{
    MakeLookupTable(nMode, m_nNumColors);
    m_pLookupTable->SetTableRange(dMin, dMax);
    m_pLookupTable->Build();
}

int CPVSColorTableBase::MakeLookupTable(int, int nColors)
{
    m_pLookupTable->SetNumberOfColors(nColors);
    m_pLookupTable->SetHueRange(0.6666666666666666, 0.0);
    return 1;
}

int CPVSColorTableBase::GetColByVal(double dVal, float& r, float& g, float& b, int, int bCount)
{
    double rgb[3] = {0.0, 0.0, 0.0};
    m_pLookupTable->GetColor(dVal, rgb);
    r = static_cast<float>(rgb[0]);
    g = static_cast<float>(rgb[1]);
    b = static_cast<float>(rgb[2]);
    if (bCount)
        ++m_nTotalCount;
    return 1;
}

void CPVSColorTableBase::BeginPercent()
{
    m_nTotalCount = 0;
    m_aCount.RemoveAll();
}

double CPVSColorTableBase::GetPercentByIndex(int) { return 0.0; }

double CPVSColorTableBase::GetRankVal(int nIndex)
{
    const double* r = m_pLookupTable->GetTableRange();
    if (m_nNumColors <= 0)
        return r[0];
    return r[0] + (r[1] - r[0]) * static_cast<double>(nIndex) / static_cast<double>(m_nNumColors);
}
