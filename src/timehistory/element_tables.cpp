#include "timehistory/element_tables.h"

#include "timehistory/HistoryMessageIds.h"

namespace kvpvs::timehistory {

namespace {
// Per result kind 1 to 3, row a p + c + b of the library's vector, b for the family's lower
// node counts or its upper ones; a = 0: the family has no such kind.
struct RowRule {
    int a, bLo, bHi;
};

// a p + c + b in 64 bits: a stored position or component far out of range names row 0, which
// the library refuses, instead of a wrapped row that could hold another component. Row 1 for a
// node count neither lo nor hi or a result kind without a rule.
int RowOf(bool lo, bool hi, const RowRule (&rules)[3], int k, int p, int c)
{
    if ((!lo && !hi) || k < 1 || k > 3 || rules[k - 1].a == 0)
        return 1;
    const RowRule& r = rules[k - 1];
    const long long row = static_cast<long long>(r.a) * p + c + (lo ? r.bLo : r.bHi);
    return row >= 1 && row <= 0x7fffffff ? static_cast<int>(row) : 0;
}

bool PlaneLo(int n) { return n == 3 || n == 4; }
bool PlaneHi(int n) { return n == 6 || n == 8; }

// Forces, stresses and strains of plane-strain and solid elements: the component is not looked at.
int ForceStressStrainUnitType(int k)
{
    switch (k) {
    case 1: return 2;
    case 2: return 17;
    case 3: return 0;
    default: return 1;
    }
}
} // namespace

int PlstrnRow(int nNodes, int k, int p, int c)
{
    return RowOf(PlaneLo(nNodes), PlaneHi(nNodes), {{3, 1, 1}, {4, 13, 25}, {4, 33, 61}}, k, p, c);
}

int SolidRow(int nNodes, int k, int p, int c)
{
    const bool lo = nNodes == 4 || nNodes == 6 || nNodes == 8, hi = nNodes == 10 || nNodes == 15 || nNodes == 20;
    return RowOf(lo, hi, {{3, 1, 1}, {6, 25, 61}, {6, 79, 187}}, k, p, c);
}

int PlateRow(int nNodes, int k, int p, int c)
{
    return RowOf(PlaneLo(nNodes), PlaneHi(nNodes), {{6, 1, 1}, {14, 25, 49}, {14, 31, 55}}, k, p, c);
}

int PlstrsRow(int nNodes, int k, int p, int c)
{
    return RowOf(PlaneLo(nNodes), PlaneHi(nNodes), {{3, 1, 1}, {3, 13, 25}, {0, 0, 0}}, k, p, c);
}

int PlstrsUnitType(int k, int)
{
    switch (k) {
    case 1: return 2;
    case 2: return 17;
    default: return 1;
    }
}

int PlstrnUnitType(int k, int) { return ForceStressStrainUnitType(k); }
int SolidUnitType(int k, int) { return ForceStressStrainUnitType(k); }

int PlateUnitType(int k, int c)
{
    switch (k) {
    case 1: return c >= 0 && c <= 2 ? 2 : (c >= 3 && c <= 5 ? 12 : 1);
    case 2: return 17;
    case 3: return (c >= 0 && c <= 2) || c == 6 || c == 7 ? 14 : (c >= 3 && c <= 5 ? 13 : 1);
    default: return 1;
    }
}

// Header and rule lines of the report kinds, and the rules that close their step lines.
namespace {
constexpr const char* kRule2 = "------- -  -----------  -----------\n";
constexpr const char* kRule3 = "------- -  -----------  -----------  -----------\n";
constexpr const char* kRule4 = "------- -  -----------  -----------  -----------  ----------- \n";
constexpr const char* kRule6 =
    "------- -  -----------  -----------  -----------  -----------  -----------  -----------\n";
constexpr const char* kRule6Space =
    "------- -  -----------  -----------  -----------  -----------  -----------  ----------- \n";
constexpr const char* kRule8 =
    "------- -  -----------  -----------  -----------  -----------  -----------  -----------  -----------  "
    "-----------\n";
constexpr const char* kForces3Head = "  TIME         Fx           Fy            Fz    \n";
} // namespace

const ElementFamilyTable kPlaneStressFamily = {
    1,
    &PlstrsRow,
    &PlstrsUnitType,
    1,
    {"\n ** %s Plane Stress Element Time-history Output Data ** \n",
     IDS_QB_PVS__n_ELEM____5d_PLANE_STRESS__8s_History__Local___,
     IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plain_Stress___,
     "Plain Strs.",
     "%11d",
     2,
     {{IDS_QB_PVS_Force, 2, 4, false, "  TIME         Fx           Fy     \n", kRule2,
       "------- -  -----------  ----------- \n\n"},
      {IDS_QB_PVS_Stress, 3, 5, true, "  TIME        Sig-xx       Sig-yy      Sig-xy    \n",
       "------- -  -----------  -----------  ----------- \n", "------- -  -----------  -----------  -----------\n\n"},
      {}}}};

const ElementFamilyTable kPlaneStrainFamily = {
    2,
    &PlstrnRow,
    &PlstrnUnitType,
    1,
    {"\n ** %s Plane Strain Element Time-history Output Data ** \n",
     IDS_QB_PVS__n_ELEM____5d_PLANE_STRAIN__8s_History__Local___,
     IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plain_Strain___,
     "Plain Strn.",
     "%11d",
     2,
     {{IDS_QB_PVS_Force, 3, 4, false, kForces3Head, kRule3, "------- -  -----------  -----------  -----------\n\n"},
      {IDS_QB_PVS_Stress, 4, 5, true, "  TIME        Sig-xx       Sig-yy      Sig-zz        Sig-xy  \n", kRule4,
       "------- -  -----------  -----------  -----------  -----------\n\n"},
      {}}}};

const ElementFamilyTable kPlateFamily = {
    3,
    &PlateRow,
    &PlateUnitType,
    -1,
    {"\n ** %s Plate Element Time-history Output Data ** \n",
     IDS_QB_PVS__n_ELEM____5d_PLATE__8s_History__Local___,
     IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plate___,
     "Plate    ",
     "  %11d",
     3,
     {{IDS_QB_PVS_Force, 6, 4, false,
       "  TIME         Fx           Fy            Fz          Mx           My            Mz    \n", kRule6,
       "------- -  -----------  -----------  -----------  -----------  -----------  -----------\n\n"},
      {IDS_QB_PVS_Stress, 6, 5, true,
       "  TIME     Sig-xx(Top)  Sig-yy(Top)  Sig-xy(Top)  Sig-xx(Bot)  Sig-yy(Bot)  Sig-xy(Bot)\n", kRule6,
       "------- -  -----------  -----------  -----------  -----------  -----------  -----------\n\n"},
      {IDS_QB_PVS_Unit_Force, 8, 5, true,
       "  TIME         Fxx          Fyy          Fxy          Mxx          Myy          Mxy          Vxx          "
       "Vyy    \n",
       kRule8,
       "------- -  -----------  -----------  -----------  -----------  -----------  -----------  -----------  "
       "-----------\n\n"}}}};

const ElementFamilyTable kSolidFamily = {
    4,
    &SolidRow,
    &SolidUnitType,
    1,
    {"\n ** %s Solid Element Time-history Output Data ** \n",
     IDS_QB_PVS__n_ELEM____5d_SOLID__8s_History__Local___,
     IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Solid___,
     "Solid    ",
     "  %11d",
     2,
     {{IDS_QB_PVS_Force, 3, 8, false, kForces3Head, kRule3, "------- -  -----------  -----------  -----------\n\n"},
      {IDS_QB_PVS_Stress, 6, 9, true,
       "  TIME        Sig-xx       Sig-yy      Sig-zz       Sig-xy       Sig-yz       Sig-xz    \n", kRule6Space,
       "------- -  -----------  -----------  -----------  -----------  -----------  -----------\n\n"},
      {}}}};

} // namespace kvpvs::timehistory
