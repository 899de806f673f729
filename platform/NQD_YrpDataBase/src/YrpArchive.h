// Inside the design-data library: the exchange file (every store written field by field, texts
// with their lengths and numbers exactly, after a versioned header) and the unit conversion of
// the records' lengths, forces, moments and stresses.
#pragma once
#include "design/YRPRecords.h"

#include <map>
#include <string>

namespace YrpArchive {
constexpr int kVersion = 1;

// The library's stores: the common options when set, five keyed families and the unit system
// they are kept in, and the one callers read them in.
struct Stores {
    T_UCOP_D ucop;
    bool bUcop = false;
    std::map<UINT, T_URCO_D> urco;
    std::map<UINT, T_URBE_D> urbe;
    std::map<UINT, T_URWA_D> urwa;
    std::map<UINT, T_UFDN_D> ufdn;
    std::map<UINT, T_USTL_D> ustl;
    T_YRP_UNIT_INDEX_PAIR unit;
    T_YRP_UNIT_INDEX_PAIR current;
};

// Writes the stores as they are, each family's keys ascending.
bool Write(const std::string& strPath, const Stores& s);
// False for a missing, foreign, newer or damaged file; data is then left cleared.
bool Read(const std::string& strPath, T_YRP_DATA_D& data);
} // namespace YrpArchive

namespace YrpUnits {
// Factors from one unit index to another: lengths and forces given in "from" times these are
// in "to". False for an index outside the numbering.
struct Factors {
    double dLength = 1.0;
    double dForce = 1.0;
    double Stress() const { return dForce / (dLength * dLength); }
    double Moment() const { return dForce * dLength; }
};
bool Make(const T_YRP_UNIT_INDEX_PAIR& from, const T_YRP_UNIT_INDEX_PAIR& to, Factors& f);
void Convert(T_UCOP_D& r, const Factors& f);
void Convert(T_URBE_D& r, const Factors& f);
void Convert(T_URWA_D& r, const Factors& f);
void Convert(T_YRP_SECT_D& r, const Factors& f);
void Convert(T_YRP_SIXVALUE_D& r, const Factors& f);
void Convert(T_YRP_UNITLCOM& r, const Factors& f);
void Convert(T_URWA_UNITLCOM& r, const Factors& f);
void Convert(T_URBE_RBAR_D& r, const Factors& f);
void Convert(T_URBE_LOAD_D& r, const Factors& f);
void Convert(T_URWA_RBAR_D& r, const Factors& f);
void Convert(T_URWA_LOAD_D& r, const Factors& f);
} // namespace YrpUnits
