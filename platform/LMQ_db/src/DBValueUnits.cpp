#include "DBValueUnits.h"

#include "DBModelRecords.h"

namespace {
CDBValueUnits::PFN_OUT g_pfnOut = nullptr;
}

double CDBValueUnits::Out(int nUnitType, double dValue)
{
    return nUnitType != DB_UNIT_NONE && g_pfnOut ? g_pfnOut(nUnitType, dValue) : dValue;
}

bool CDBValueUnits::Converts(int nUnitType) { return nUnitType != DB_UNIT_NONE && g_pfnOut; }

void CDBValueUnits::Install(PFN_OUT pfnOut) { g_pfnOut = pfnOut; }

BOOL CClassGmat::Get(unsigned int nKey, T_GMAT_D& rec) const
{
    if (!CDBTable::Get(nKey, rec))
        return FALSE;
    rec.dElast = CDBValueUnits::Out(DB_UNIT_STRESS, rec.dElast);
    rec.dWeight = CDBValueUnits::Out(DB_UNIT_WEIGHT_DENSITY, rec.dWeight);
    return TRUE;
}

BOOL CClassGpro::Get(unsigned int nKey, T_GPRO_D& rec) const
{
    if (!CDBTable::Get(nKey, rec))
        return FALSE;
    rec.dArea = CDBValueUnits::Out(DB_UNIT_AREA, rec.dArea);
    rec.dIx = CDBValueUnits::Out(DB_UNIT_INERTIA, rec.dIx);
    rec.dIy = CDBValueUnits::Out(DB_UNIT_INERTIA, rec.dIy);
    rec.dIz = CDBValueUnits::Out(DB_UNIT_INERTIA, rec.dIz);
    rec.dAy = CDBValueUnits::Out(DB_UNIT_AREA, rec.dAy);
    rec.dAz = CDBValueUnits::Out(DB_UNIT_AREA, rec.dAz);
    for (double& d : rec.dDim)
        d = CDBValueUnits::Out(DB_UNIT_LENGTH, d);
    rec.dThickness = CDBValueUnits::Out(DB_UNIT_LENGTH, rec.dThickness);
    return TRUE;
}

void CClassGmat::GetKeyList(CArray<unsigned int, unsigned int>& aKeys, int) const { CDBTable::GetKeyList(aKeys); }
void CClassGpro::GetKeyList(CArray<unsigned int, unsigned int>& aKeys, int) const { CDBTable::GetKeyList(aKeys); }
void CClassAttr::GetKeyList(CArray<unsigned int, unsigned int>& aKeys, int) const { CDBTable::GetKeyList(aKeys); }
