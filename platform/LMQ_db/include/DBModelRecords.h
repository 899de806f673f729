// Stand-in records of the host's model database beside nodes and elements: materials,
// section properties, element attributes and construction stages, with the post
// database's store of result values. The module reads them through the keyed tables below;
// the sample project and the tests fill them. Every field is zero by default.
#pragma once
#include "DBTable.h"
#include "afxtempl.h"

#include <algorithm>

// A material: the first three doubles are the elastic modulus, Poisson's ratio and the
// weight density, in that order (the force-sum broadcast copies them as they stand).
struct T_GMAT_D {
    double dElast = 0.0;        // elastic modulus [kN/m2]
    double dPoisson = 0.0;      // Poisson's ratio
    double dWeight = 0.0;       // weight density [kN/m3]
    double dPermeability = 0.0; // hydraulic conductivity [m/s]; 0 for structural materials
    CString strName;
};

// A section property: the beam section values and, for plates, the thickness.
struct T_GPRO_D {
    int bShape = 0;             // 1 when given by shape dimensions, 0 when given by values
    double dArea = 0.0;
    double dIx = 0.0, dIy = 0.0, dIz = 0.0;
    double dAy = 0.0, dAz = 0.0;  // shear areas
    double dDim[6] = {0, 0, 0, 0, 0, 0};
    double dThickness = 0.0;    // plates
    CString strName;
};

// An element attribute: its type and the section and material it gives its elements.
struct T_ATTR_D {
    int nType = 0;              // attribute type; 102 and 151 are beams
    unsigned int nGproK = 0;    // section property (T_GPRO_D)
    unsigned int nGmatK = 0;    // material (T_GMAT_D)
    CString strName;
};

// A construction stage: the elements active in it.
struct T_STAGE_D {
    CString strName;
    CArray<unsigned int, unsigned int> aActiveElemK; // ascending

    T_STAGE_D() = default;
    T_STAGE_D(const T_STAGE_D& o) { *this = o; }
    T_STAGE_D& operator=(const T_STAGE_D& o)
    {
        strName = o.strName;
        aActiveElemK.Copy(o.aActiveElemK);
        return *this;
    }
};

// The values of one result row (post database, same key as the T_PVTIF_D row): for each
// entity, in ascending key order, a run of doubles; run i is aValue[aStart[i] .. aStart[i+1]).
struct T_PVAL_D {
    CArray<unsigned int, unsigned int> aEntK;
    CArray<int, int> aStart;
    CArray<double, double> aValue;

    T_PVAL_D() = default;
    T_PVAL_D(const T_PVAL_D& o) { *this = o; }
    T_PVAL_D& operator=(const T_PVAL_D& o)
    {
        aEntK.Copy(o.aEntK);
        aStart.Copy(o.aStart);
        aValue.Copy(o.aValue);
        return *this;
    }

    int GetEntityCount() const { return aEntK.GetSize(); }

    // Appends the run of one entity; keys must come in ascending order. FALSE otherwise.
    BOOL Append(unsigned int nEntK, const double* pVal, int nCount)
    {
        if (nCount < 0 || (aEntK.GetSize() > 0 && aEntK[aEntK.GetSize() - 1] >= nEntK))
            return FALSE;
        if (aStart.IsEmpty())
            aStart.Add(0);
        aEntK.Add(nEntK);
        for (int i = 0; i < nCount; ++i)
            aValue.Add(pVal[i]);
        aStart.Add(aValue.GetSize());
        return TRUE;
    }

    // The run of one entity: its first value and count; nullptr and 0 when absent.
    const double* Find(unsigned int nEntK, int& nCount) const
    {
        nCount = 0;
        const unsigned int* pBeg = aEntK.GetData();
        const unsigned int* pEnd = pBeg + aEntK.GetSize();
        const unsigned int* p = std::lower_bound(pBeg, pEnd, nEntK);
        if (p == pEnd || *p != nEntK)
            return nullptr;
        int i = static_cast<int>(p - pBeg);
        nCount = aStart[i + 1] - aStart[i];
        return aValue.GetData() + aStart[i];
    }
};

// Materials and sections read in the current unit system (DBValueUnits.h). The list filters
// (100 materials, 102 sections, 151 attributes) are the host's; choice: every record is listed.
class CClassGmat : public CDBTable<T_GMAT_D> {
public:
    using CDBTable::CDBTable;
    using CDBTable::GetKeyList;
    BOOL Get(unsigned int nKey, T_GMAT_D& rec) const;
    void GetKeyList(CArray<unsigned int, unsigned int>& aKeys, int nFilter) const;
};
class CClassGpro : public CDBTable<T_GPRO_D> {
public:
    using CDBTable::CDBTable;
    using CDBTable::GetKeyList;
    BOOL Get(unsigned int nKey, T_GPRO_D& rec) const;
    void GetKeyList(CArray<unsigned int, unsigned int>& aKeys, int nFilter) const;
};
class CClassAttr : public CDBTable<T_ATTR_D> {
public:
    using CDBTable::CDBTable;
    using CDBTable::GetKeyList;
    void GetKeyList(CArray<unsigned int, unsigned int>& aKeys, int nFilter) const;
};
class CClassStage : public CDBTable<T_STAGE_D> { using CDBTable::CDBTable; };
class CClassPVal : public CDBTable<T_PVAL_D> { using CDBTable::CDBTable; };
