#include "visualdata/CPVSColorTableEvent.h"
#include "visualdata/HostEntryGuard.h"

#include "PVSUtilFunc.h"
#include "PostVisualState.h"

#include <bit>
#include <cstdint>
#include <vector>

#include <vtkLookupTable.h>

IMPLEMENT_DYNAMIC(CPVSColorTableEvent, CPVSColorTableBase)

namespace {

constexpr int kStates = 4;
constexpr float kGrey = 0.7f;

// States are stored as exact small integers; anything else is "no state".
bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

}  // namespace

CPVSColorTableEvent::CPVSColorTableEvent(unsigned int nKey) : CPVSColorTableBase(nKey) { m_nNumColors = kStates; }

CPVSColorTableEvent::~CPVSColorTableEvent() = default;

// The host's entries catch what escapes: a table that fails stays as far as it was made.
void CPVSColorTableEvent::Generate(double, double, int, int nMode, int, int)
{
    kvpvs::visualdata::GuardedEntry(0, [&] {
        MakeLookupTable(nMode, kStates);
        m_pLookupTable->SetTableRange(0.0, 3.0);
        m_pLookupTable->Build();
        return 1;
    });
}

int CPVSColorTableEvent::MakeLookupTable(int nMode, int nColors)
{
    return kvpvs::visualdata::GuardedEntry(0, [&] { return FillLookupTable(nMode, nColors); });
}

int CPVSColorTableEvent::FillLookupTable(int nMode, int nColors)
{
    switch (nMode) {
    case 1:
        m_pLookupTable->SetNumberOfColors(nColors);
        m_pLookupTable->SetSaturationRange(1.0, 1.0);
        m_pLookupTable->SetValueRange(1.0, 1.0);
        m_pLookupTable->SetHueRange(0.6666666666666666, 0.0);
        m_pLookupTable->SetTableRange(0.0, 1.0);
        return 1;
    case 2:
        m_pLookupTable->SetNumberOfColors(nColors);
        m_pLookupTable->SetSaturationRange(0.0, 0.0);
        m_pLookupTable->SetValueRange(1.0, 0.35);
        m_pLookupTable->SetHueRange(0.0, 0.0);
        m_pLookupTable->SetTableRange(0.0, 1.0);
        return 1;
    case 5: {
        m_pLookupTable->SetNumberOfColors(nColors);
        const std::vector<unsigned int> aColors = CPostVisualState::Instance()->GetCurrentPA()->aUserColors;
        if (static_cast<int>(aColors.size()) != nColors)
            return 0;
        m_pLookupTable->SetNumberOfTableValues(nColors);
        for (int i = 0; i < nColors; ++i) {
            double r = 0.0, g = 0.0, b = 0.0;
            CPVSUtilFunc::GetRgbF(aColors[static_cast<size_t>(i)], r, g, b);
            m_pLookupTable->SetTableValue(i, r, g, b, 1.0);
        }
        return 1;
    }
    default:
        return 1;
    }
}

int CPVSColorTableEvent::GetColByVal(double dVal, float& r, float& g, float& b, int, int bCount)
{
    int nIndex = -1;
    if (dVal == 0.0)
        nIndex = 0;
    else if (SameBits(dVal, 1.0))
        nIndex = 1;
    else if (SameBits(dVal, 2.0))
        nIndex = 2;
    else if (SameBits(dVal, 3.0))
        nIndex = 3;
    if (nIndex < 0 || nIndex >= m_pLookupTable->GetNumberOfTableValues()) {
        r = g = b = kGrey;
        return 1;
    }
    double rgba[4] = {0.0, 0.0, 0.0, 0.0};
    m_pLookupTable->GetTableValue(nIndex, rgba);
    r = static_cast<float>(rgba[0]);
    g = static_cast<float>(rgba[1]);
    b = static_cast<float>(rgba[2]);
    if (bCount) {
        ++m_nTotalCount;
        if (nIndex < m_aCount.GetSize())
            ++m_aCount[nIndex];
    }
    return 1;
}

// Counts that cannot be kept give every share 0.
void CPVSColorTableEvent::BeginPercent()
{
    m_nTotalCount = 0;
    m_aCount.RemoveAll();
    kvpvs::visualdata::GuardedEntry(
        0,
        [&] {
            m_aCount.SetSize(m_nNumColors);
            for (int i = 0; i < m_aCount.GetSize(); ++i)
                m_aCount[i] = 0;
            return 1;
        },
        [&] { m_aCount.RemoveAll(); });
}

double CPVSColorTableEvent::GetPercentByIndex(int nIndex)
{
    if (m_aCount.GetSize() == 0 || nIndex < 0 || nIndex >= m_aCount.GetSize() || m_nTotalCount == 0)
        return 0.0;
    return static_cast<double>(m_aCount[nIndex]) / static_cast<double>(m_nTotalCount);
}
