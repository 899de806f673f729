// Stand-in for how the host's database reads give values in the document's current unit
// system: records hold model units, and a read converts a value by its unit type. The product
// library (KV_db) installs the conversion of its unit control; without one, values pass
// unchanged. Choice: the unit types are the stand-in's numbering below.
#pragma once

enum : int {
    DB_UNIT_NONE = 0,
    DB_UNIT_LENGTH = 1,
    DB_UNIT_FORCE = 2,
    DB_UNIT_AREA = 3,
    DB_UNIT_INERTIA = 4,          // second moment of area
    DB_UNIT_MOMENT = 12,
    DB_UNIT_FORCE_PER_LENGTH = 13,
    DB_UNIT_STRESS = 17,          // also elastic moduli
    DB_UNIT_WEIGHT_DENSITY = 18,
};

class CDBValueUnits {
public:
    using PFN_OUT = double (*)(int nUnitType, double dValue);
    // A value of the given unit type as a read gives it; type 0 never converts.
    static double Out(int nUnitType, double dValue);
    // Whether Out changes values of this type now.
    static bool Converts(int nUnitType);
    static void Install(PFN_OUT pfnOut);
};
