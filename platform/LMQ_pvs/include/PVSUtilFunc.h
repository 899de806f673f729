// Stand-in for the host's drawing helpers. GetRgbF: red, green, blue in [0, 1] from
// 0x00BBGGRR. GetVectorDirectionPoint: the point at start + unit(direction) x length x scale;
// choice: a zero direction gives the start point. GetCurUnitStr4Legend: the current unit
// system's name of a unit type; choice: empty for a type without name (type 0).
#pragma once
#include "3DPoint.h"
#include "afxstr.h"

#include <cmath>

class CPVSUtilFunc {
public:
    static void GetCurUnitStr4Legend(int nUnitType, CString& strUnit);
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
