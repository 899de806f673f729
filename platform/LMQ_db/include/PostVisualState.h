// Stand-in for the host's current visual and animation states.
#pragma once
#include "afxtempl.h"

#include <map>
#include <vector>

struct T_PVIST_VALS_D {
    int bShow = 0;
    int nDecimal = 0;
    int bExponential = 0;
    // The value labels' number format; choice: "%.<n>f" or "%.<n>e" with the decimals clamped
    // to 0..15.
    void GetFormatString(CString& strFormat) const
    {
        const int n = nDecimal < 0 ? 0 : (nDecimal > 15 ? 15 : nDecimal);
        strFormat.Format(bExponential ? "%%.%de" : "%%.%df", n);
    }
};

// Contour settings; choice: the band count is kept as set (12 unless set). With the range
// flag set the contours span the user's range (maximum, minimum), else the values' own range.
struct T_PVIST_CONT_D {
    int nBandNum = 12;
    int bUserRange = 0;
    double dRangeMax = 0.0;
    double dRangeMin = 0.0;
    int GetBandNum() const { return nBandNum; }
};

struct T_PVIST_ALL_D {
    int bAverage = 1;      // node-averaged contours (visual method 1) or element values (2)
    T_PVIST_CONT_D cont;
    unsigned int nUndeformColor = 0x00808080; // undeformed shape drawn under a deformed one
    int nUndeformWidth = 1;
    int nAverageMode = 1;  // 1 average, 2 max, 3 min, 4 largest |.|, 5 smallest |.|
    int nScalarOption = 0;
    double dDeformScale = 1.0;
    int bRealDeform = 0;
    int nFontSize = 12;
    T_PVIST_VALS_D vals;
    unsigned int nColor = 0x00C0C0C0;      // colour of the model drawing, 0x00BBGGRR
    int nDispMode = 1;                     // display mode of the model drawing (2 surface, 3 feature edges)
    unsigned int nLabelColor = 0x00000000; // colour of labels
    int nLineWidth = 1;                    // width of the model outline
    int nShapeMode = 0;                    // 3: the undeformed shape is drawn under the result
    // Legend: switch, size in pixels, placement ratios in the client area, top offset.
    int bLegend = 1;
    int nLegendWidth = 180;
    int nLegendHeight = 300;
    double dLegendRatioX = 0.0;
    double dLegendRatioY = 0.0;
    int nLegendTop = 0;
    unsigned int nLegendTextColor = 0x00000000;    // 0x00BBGGRR
    unsigned int nLegendPercentColor = 0x00000000; // 0x00BBGGRR
    unsigned int nLegendBkColor = 0x00FFFFFF;      // 0x00BBGGRR
    int nLegendBkMode = 1;                         // 2 translucent, 3 opaque, other none
    int bLegendPercent = 0;
    // Colour list of the user's own colour table, 0x00BBGGRR each.
    std::vector<unsigned int> aUserColors;
};

// Miscellaneous display settings ("etc."): the colour, width and feature angle of cut, section
// and feature-edge drawings.
struct T_PVIST_PETC_D {
    unsigned int nColor = 0x000000FF;      // 0x00BBGGRR
    int nWidth = 1;
    double dFeatureAngle = 30.0;           // degrees
    double dSymbolScale = 1.0;             // scale of point symbols
    int nInactiveDisp = 1;                 // display of inactive elements: 2-6 styles 1-5, other none
};

struct T_PVIST_SYMB_D {
    double dDgrmScale = 1.0;
    double dVectorScale = 1.0;             // scale of vector pictures
    int bDgrmReverse = 0;
    int nInactiveDisp = 2;
    int bDgrmColorByValue = 0;             // 1: diagrams coloured by their values
    unsigned int nDgrmColor = 0x00FF0000;  // 0x00BBGGRR
    int nDgrmWidth = 1;
    int nSymbolOption = 0;                 // passed to the point symbols' value reads
};

struct T_PVIST_ANIM_D {
    int bAnimate = 0;
    double dPhase = 0.0;
};

// A result-component combination: its name, expression, and the result rows it combines with
// the symbol index (0 = "A") each row takes in the expression, in the same order.
struct T_PCOMP_COMB_D {
    CString strName;
    CString strExpression;
    CArray<unsigned int, unsigned int> aPVtifK;
    CArray<int, int> aSymbol;

    T_PCOMP_COMB_D() = default;
    T_PCOMP_COMB_D(const T_PCOMP_COMB_D& other) { *this = other; }
    T_PCOMP_COMB_D& operator=(const T_PCOMP_COMB_D& other)
    {
        if (this != &other) {
            strName = other.strName;
            strExpression = other.strExpression;
            aPVtifK.Copy(other.aPVtifK);
            aSymbol.Copy(other.aSymbol);
        }
        return *this;
    }
    void Initialize()
    {
        strName = "";
        strExpression = "";
        aPVtifK.RemoveAll();
        aSymbol.RemoveAll();
    }
};

class CPostVisualState {
public:
    static CPostVisualState* Instance();
    T_PVIST_ALL_D* GetCurrentPA() { return &m_all; }
    T_PVIST_ANIM_D* GetCurrentPAnim() { return &m_anim; }
    T_PVIST_SYMB_D* GetCurrentPS() { return &m_symb; }
    T_PVIST_PETC_D* GetCurrentPE() { return &m_etc; }
    void GetCompCombKeyList(CArray<unsigned int, unsigned int>& aKeys) const { aKeys.Copy(m_aCompComb); }
    CArray<unsigned int, unsigned int>& CompCombKeys() { return m_aCompComb; }
    // Stores the combination under the key (replacing one stored there); the key list keeps
    // the order of first addition. FALSE for key 0.
    BOOL AddCompComb(unsigned int nKey, const T_PCOMP_COMB_D& comb);
    // FALSE when no combination is stored under the key.
    BOOL DelCompComb(unsigned int nKey);
    BOOL GetCompCombD(unsigned int nKey, T_PCOMP_COMB_D& comb) const;

private:
    T_PVIST_ALL_D m_all;
    T_PVIST_ANIM_D m_anim;
    T_PVIST_SYMB_D m_symb;
    T_PVIST_PETC_D m_etc;
    CArray<unsigned int, unsigned int> m_aCompComb;
    std::map<unsigned int, T_PCOMP_COMB_D> m_compComb;
};
