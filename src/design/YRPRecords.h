// The design records handed to the member-design program's data library: the common design
// options, RC-beam and RC-wall members with their sections, rebar and load blocks, the unit
// load combinations, the library's unit-index record and the records of the families the module
// does not fill. They cross the library's boundary as a pointer with their sizeof, and the
// library copies them with their own copy operations; blocks without texts or arrays keep the
// library's byte sizes. The library and the design program compile this header and its source.
#pragma once
#include "afxtempl.h"

#include <cstdint>

// The library's unit index: six ints {1, 1, length index, force index, 0, 0}; a fresh one
// stands for millimetres and newtons.
struct T_YRP_UNIT_INDEX_PAIR {
    int nHeader[2] = {1, 1};
    int nLength = 0;
    int nForce = 2;
    int nSpare[2] = {0, 0};
    T_YRP_UNIT_INDEX_PAIR() = default;
    T_YRP_UNIT_INDEX_PAIR(int a, int b) : nLength(a), nForce(b) {}
};
static_assert(sizeof(T_YRP_UNIT_INDEX_PAIR) == 24);

// A block of six doubles; assignment copies the six values, as the force sum's does. The
// conversion fills it with material values: modulus, two strengths, Poisson's ratio and two
// values of the common options' material block.
struct T_YRP_SIXVALUE_D {
    double dValue[6] = {0, 0, 0, 0, 0, 0};
    void Initialize() { *this = T_YRP_SIXVALUE_D(); }
};
static_assert(sizeof(T_YRP_SIXVALUE_D) == 48);

// A unit load combination: two type numbers, name, description and the six force components
// Fx, Fy, Fz, Mx, My, Mz.
struct T_YRP_UNITLCOM {
    int nType = 0;
    int nSubType = 0;
    CString strName;
    CString strDesc;
    double dForce[6] = {0, 0, 0, 0, 0, 0};
    void Initialize() { *this = T_YRP_UNITLCOM(); }
};

// A unit load combination of an RC wall: three type numbers, name and description, the forces
// twice (the second set factored for design) and further design numbers.
struct T_URWA_UNITLCOM {
    int nType[3] = {0, 0, 0};
    CString strName;
    CString strDesc;
    double dForce[6] = {0, 0, 0, 0, 0, 0};
    double dDesignForce[6] = {0, 0, 0, 0, 0, 0};
    double dValue120 = 0;
    uint32_t nWord[3] = {0, 0, 0};
    double dFactor = 1.0;
    double dValue152[5] = {0, 0, 0, 0, 0};
    double dValue192[11] = {};
    int nValue280 = 0;
    double dValue288[7] = {};
    double dValue344[2] = {0, 0};
    double dValue360[2] = {0, 0};
    void Initialize() { *this = T_URWA_UNITLCOM(); }
};

// A material block of the common options: three flags, two strain-like values, a flag, two
// modulus-like values (stresses), three further numbers and a ratio.
struct T_YRP_MATL_BLOCK_D {
    int nFlag0 = 1;
    int nFlag4 = 0;
    int nFlag8 = 1;
    double dValue16 = 0;
    double dValue24 = 0;
    int nFlag32 = 1;
    double dValue40 = 0;
    double dValue48 = 0;
    int nFlag56 = 1;
    int nValue60 = 50;
    int nValue64 = 24;
    double dRatio72 = 0.01;
    void Initialize() { *this = T_YRP_MATL_BLOCK_D(); }
};
static_assert(sizeof(T_YRP_MATL_BLOCK_D) == 80);

// The 184-byte block of the common options: three texts, a material block, seven ints, six
// doubles and an int.
struct T_YRP_UCOP_EXTRA_D {
    CString strText[3];
    T_YRP_MATL_BLOCK_D matl;
    int nValue[7] = {};
    double dValue[6] = {0, 0, 0, 0, 0, 0};
    int nValue176 = 0;
    void Initialize() { *this = T_YRP_UCOP_EXTRA_D(); }
};

// The common design options, one per data library: the design code and the material blocks.
struct T_UCOP_D {
    CString strDesignCode;
    CString strText4;
    T_YRP_MATL_BLOCK_D matl[3];
    T_YRP_UCOP_EXTRA_D extra;
    CString strText432;
    int nValue436[5] = {0, 0, 0, 0, 0};
    void Initialize() { *this = T_UCOP_D(); }
};

// Section geometry: a vertex, an outline of vertices, a line, a line design and a line shape.
struct T_YRP_GSEC_VERTEX {
    double x = 0;
    double y = 0;
};
static_assert(sizeof(T_YRP_GSEC_VERTEX) == 16);

struct T_YRP_GSEC_POLYGON {
    CArray<T_YRP_GSEC_VERTEX, T_YRP_GSEC_VERTEX&> aVertex;
    T_YRP_GSEC_POLYGON() = default;
    T_YRP_GSEC_POLYGON(const T_YRP_GSEC_POLYGON& src) { aVertex.Copy(src.aVertex); }
    T_YRP_GSEC_POLYGON& operator=(const T_YRP_GSEC_POLYGON& src)
    {
        aVertex.Copy(src.aVertex);
        return *this;
    }
    void Initialize() { aVertex.RemoveAll(); }
};

struct T_YRP_GSEC_LINE {
    double dValue[5] = {0, 0, 0, 0, 0};
};
static_assert(sizeof(T_YRP_GSEC_LINE) == 40);

struct T_YRP_GSEC_LDGN {
    CString strName;
    double dValue[7] = {};
    CArray<T_YRP_GSEC_LINE, T_YRP_GSEC_LINE&> aLine;
    T_YRP_GSEC_LDGN() = default;
    T_YRP_GSEC_LDGN(const T_YRP_GSEC_LDGN& src) { *this = src; }
    T_YRP_GSEC_LDGN& operator=(const T_YRP_GSEC_LDGN& src);
};

struct T_YRP_GSEC_LSHAP {
    CString strName;
    CArray<T_YRP_GSEC_LDGN, T_YRP_GSEC_LDGN&> aLdgn;
    T_YRP_GSEC_LSHAP() = default;
    T_YRP_GSEC_LSHAP(const T_YRP_GSEC_LSHAP& src) { *this = src; }
    T_YRP_GSEC_LSHAP& operator=(const T_YRP_GSEC_LSHAP& src);
};

// A section: name; eight dimensions (b and h of a rectangle first); seven section properties
// (area, the two ratios of second moment to area, the two second moments, the centroid
// distances h/2 and b/2); the outlines; two doubles; seven properties that assignment fills from
// the source's seven properties (not from its own last seven).
struct T_YRP_SECT_D {
    CString strName;
    double dDim[8] = {};
    double dProp[7] = {};
    T_YRP_GSEC_POLYGON outer;
    CArray<T_YRP_GSEC_POLYGON, T_YRP_GSEC_POLYGON&> aInner;
    double dValue168[2] = {0, 0};
    double dProp184[7] = {};

    T_YRP_SECT_D() = default;
    T_YRP_SECT_D(const T_YRP_SECT_D& src) { *this = src; }
    T_YRP_SECT_D& operator=(const T_YRP_SECT_D& src);
    void Initialize();
    // Sets the rectangle b x h and its derived properties: area b h, second moments b^3 h / 12
    // and h^3 b / 12, their ratios to the area (0 when the area is 0), centroid distances h/2, b/2.
    void SetRectangle(double b, double h);
};

// The block that RC beams, walls and columns share: a text, twenty-four small numbers, an int,
// 512 bytes of the design program's and three ints.
struct T_YRP_MEMB_COMMON_D {
    CString strText;
    short nSmall[24] = {};
    int nValue52 = 0;
    unsigned char data[512] = {};
    int nValue568[3] = {0, 0, 0};
    void Initialize() { *this = T_YRP_MEMB_COMMON_D(); }
};

// Rebar of an RC beam: a type, two cover lengths, two groups of three arrays of five bar
// numbers, four arrays of five bar texts, two further lengths and texts.
struct T_URBE_RBAR_D {
    int nType = 1;
    double dCover[2] = {0, 0};
    double dBar[2][3][5] = {};
    CString strBar[4][5];
    double dValue344[2] = {0, 0};
    CString strText360;
    int nValue364 = 0;
    double dLength[2] = {0, 0};
    double dValue384[2] = {0, 0};
    CString strText400;
    int nValue404 = 0;
    void Initialize() { *this = T_URBE_RBAR_D(); }
};

// Loads of an RC beam: a type, the load combinations (end I and end J of each load case), the
// service combinations, three groups of three texts and their numbers.
struct T_URBE_LOAD_D {
    int nType = 1;
    CArray<T_YRP_UNITLCOM, T_YRP_UNITLCOM&> aLcom;
    CArray<T_YRP_UNITLCOM, T_YRP_UNITLCOM&> aServLcom;
    CString strText44[3];
    int nValue56[6] = {};
    CString strText80[3];
    int nValue92[7] = {};
    int nFlag120 = 1;
    CString strText124[3];
    int nValue136[6] = {};

    T_URBE_LOAD_D() = default;
    T_URBE_LOAD_D(const T_URBE_LOAD_D& src) { *this = src; }
    T_URBE_LOAD_D& operator=(const T_URBE_LOAD_D& src);
    void Initialize();
};

// An RC-beam member.
struct T_URBE_D {
    int nKey = 0;
    CString strName;
    int nValue8 = 0;
    T_YRP_MEMB_COMMON_D common;
    T_YRP_SIXVALUE_D matl;
    T_YRP_SECT_D sect;
    T_URBE_RBAR_D rbar;
    T_URBE_LOAD_D load;
    int nValue1448[8] = {1, 0, 1, 0, 0, 0, 0, 0};
    int nValue1480 = 0;
    int nValue1484 = 0;
    void Initialize();
};

// Rebar of an RC wall: a type, two groups of three arrays of five bar numbers, four arrays of
// five bar texts, four ints, a text and two cover lengths.
struct T_URWA_RBAR_D {
    int nType = 1;
    double dBar[2][3][5] = {};
    CString strBar[4][5];
    int nValue328[4] = {0, 0, 0, 0};
    CString strText344;
    double dCover[2] = {0, 0};
    void Initialize() { *this = T_URWA_RBAR_D(); }
};

// Loads of an RC wall: seven words, a block of six doubles and six words, the wall's load
// combinations and the service combinations.
struct T_URWA_LOAD_D {
    uint32_t nWord[7] = {};
    double dValue32[6] = {};
    uint32_t nWord80[6] = {};
    CArray<T_URWA_UNITLCOM, T_URWA_UNITLCOM&> aLcom;
    CArray<T_YRP_UNITLCOM, T_YRP_UNITLCOM&> aServLcom;

    T_URWA_LOAD_D() = default;
    T_URWA_LOAD_D(const T_URWA_LOAD_D& src) { *this = src; }
    T_URWA_LOAD_D& operator=(const T_URWA_LOAD_D& src);
    void Initialize();
};

// The last block of an RC wall, cleared to {0, 0.08, 1, 0, 1, 0.5, 1}.
struct T_URWA_TAIL_D {
    int nValue0 = 0;
    double dValue8 = 0.08;
    int nValue16 = 1;
    int nValue20 = 0;
    int nValue24 = 1;
    double dValue32 = 0.5;
    int nValue40 = 1;
};
static_assert(sizeof(T_URWA_TAIL_D) == 48);

// An RC-wall member.
struct T_URWA_D {
    CString strName;
    int nValue4 = 0;
    T_YRP_MEMB_COMMON_D common;
    int nValue588 = 3;
    T_YRP_SIXVALUE_D matl;
    T_YRP_SECT_D sect;
    T_URWA_RBAR_D rbar;
    T_URWA_LOAD_D load;
    T_URWA_TAIL_D tail;
    void Initialize();
};

// Whether every number of the member is finite (the library must never hold NaN or infinity).
bool AllFinite(const T_URBE_D& r);
bool AllFinite(const T_URWA_D& r);

// Records of the families the module binds but does not fill: kept whole, their blocks as the
// design program's bytes.
struct T_URCO_D {
    CString strName;
    int nValue4 = 0;
    T_YRP_MEMB_COMMON_D common;
    int nValue588 = 0;
    unsigned char block592[288] = {};
    unsigned char block880[288] = {};
    unsigned char load1168[208] = {};
    unsigned char tail[16] = {};
    void Initialize() { *this = T_URCO_D(); }
};

struct T_UFDN_D {
    CString strName;
    unsigned char block8[216] = {};
    unsigned char block224[512] = {};
    unsigned char block736[72] = {};
    unsigned char block808[48] = {};
    unsigned char block856[1536] = {};
    unsigned char block2392[64] = {};
    unsigned char block2456[24] = {};
    void Initialize() { *this = T_UFDN_D(); }
};

struct T_USTL_D {
    CString strName;
    T_YRP_MEMB_COMMON_D common;
    unsigned char block592[120] = {};
    unsigned char block712[392] = {};
    unsigned char block1104[136] = {};
    void Initialize() { *this = T_USTL_D(); }
};

// Everything a data library holds, as its read-back of an exchange file gives it: a header
// (format version, length and force index of the file), the common options and, per keyed
// family, the keys and the records in the same order.
struct T_YRP_DATA_D {
    int nHeader[10] = {};
    T_UCOP_D ucop;
    CArray<UINT, UINT> aUrcoK;
    CArray<T_URCO_D, T_URCO_D&> aUrco;
    CArray<UINT, UINT> aUrbeK;
    CArray<T_URBE_D, T_URBE_D&> aUrbe;
    CArray<UINT, UINT> aUrwaK;
    CArray<T_URWA_D, T_URWA_D&> aUrwa;
    CArray<UINT, UINT> aUfdnK;
    CArray<T_UFDN_D, T_UFDN_D&> aUfdn;
    CArray<UINT, UINT> aUstlK;
    CArray<T_USTL_D, T_USTL_D&> aUstl;

    T_YRP_DATA_D() = default;
    T_YRP_DATA_D(const T_YRP_DATA_D& src) { *this = src; }
    T_YRP_DATA_D& operator=(const T_YRP_DATA_D& src);
    void Initialize();
};
