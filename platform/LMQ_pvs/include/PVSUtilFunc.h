// Stand-in for the host's drawing helpers. GetRgbF: red, green, blue in [0, 1] from
// 0x00BBGGRR. GetVectorDirectionPoint: the point at start + unit(direction) x length x scale;
// choice: a zero direction gives the start point. GetCurUnitStr4Legend: the current unit
// system's name of a unit type; choice: empty for a type without name (type 0).
// BiSearchInSortData: the index of the value of an ascending array nearest to dValue, the
// lower on a tie; -1 for an empty array.
#pragma once
#include "3DPoint.h"
#include "afxstr.h"
#include "afxtempl.h"

#include <cmath>

class CPVSUtilFunc {
public:
    static void GetCurUnitStr4Legend(int nUnitType, CString& strUnit);
    // Index of the value nearest dValue in ascending data (ties to the lower index); -1 for
    // no data.
    static int BiSearchInSortData(const double* pData, int nCount, double dValue)
    {
        if (!pData || nCount <= 0)
            return -1;
        int lo = 0, hi = nCount - 1;
        if (!(dValue > pData[lo]))
            return lo;
        if (!(dValue < pData[hi]))
            return hi;
        while (hi - lo > 1) { // pData[lo] < dValue < pData[hi]
            const int mid = lo + (hi - lo) / 2;
            if (pData[mid] < dValue)
                lo = mid;
            else
                hi = mid;
        }
        return dValue - pData[lo] <= pData[hi] - dValue ? lo : hi;
    }
    static int BiSearchInSortData(const CArray<double, double>& aData, double dValue)
    {
        return BiSearchInSortData(aData.GetData(), static_cast<int>(aData.GetSize()), dValue);
    }
    static void GetRgbF(unsigned int nColor, double& r, double& g, double& b)
    {
        r = static_cast<double>(nColor & 0xFFu) / 255.0;
        g = static_cast<double>((nColor >> 8) & 0xFFu) / 255.0;
        b = static_cast<double>((nColor >> 16) & 0xFFu) / 255.0;
    }
    // The point dT of the way from a to b, given as (dT, 1 - dT): a x dS + b x dT.
    static void GetInnerLinePoint(double dT, double dS, const C3DPoint& a, const C3DPoint& b, C3DPoint& out)
    {
        for (int k = 0; k < 3; ++k)
            out[k] = a[k] * dS + b[k] * dT;
    }
    static void GetVectorDirectionPoint(const double dDir[3], double dLength, double dScale, const C3DPoint& start,
                                        C3DPoint& end)
    {
        const double l = std::sqrt(dDir[0] * dDir[0] + dDir[1] * dDir[1] + dDir[2] * dDir[2]);
        end = start;
        if (l < 1e-30)
            return;
        for (int k = 0; k < 3; ++k)
            end[k] = start[k] + dDir[k] / l * dLength * dScale;
    }
};
