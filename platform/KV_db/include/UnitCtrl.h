// Stand-ins for the document's unit control, initial settings and text-editor service.
// The stand-in document has no members for them: CDocCtrl reaches the ones that belong to a
// document (they live in its model database, made on first use).
// Unit types are the host's codes: 1 length, 2 force, 12 moment, 13 moment per length, 14 force
// per length, 17 stress, 21 acceleration, 22 velocity, 5/32/49 rotation and its rates, 0 a
// quantity without unit.
// Choices: a unit type without a factor converts by 1; unit type 0 never converts and has no
// name; the names are those of a metre-kilonewton system until the host sets others.
#pragma once
#include "DBDoc.h"
#include "afxtempl.h"

#include <map>

class CUnitCtrl {
public:
    double ConvertUnitDataOut(int nUnitType, double dValue) const;
    double ConvertUnitLengthOut(double dValue) const { return ConvertUnitDataOut(1, dValue); }
    // From output units back to the model's: the inverse of ConvertUnitDataOut.
    double ConvertUnitDataIn(int nUnitType, double dValue) const;
    double ConvertUnitLengthIn(double dValue) const { return ConvertUnitDataIn(1, dValue); }
    // Model units per output unit of a unit type (1 / the factor of ConvertUnitDataOut).
    double GetConvertFactorCurrent(int nUnitType) const { return ConvertUnitDataIn(nUnitType, 1.0); }
    // Unit name of a unit type in the current unit system; FALSE (name untouched) for a type
    // without a name.
    BOOL GetUnitSystem(int nUnitType, CString& strName) const;
    // The current unit system's length (type 1) and force (type 2) unit names.
    BOOL GetUnitSystemLength(CString& strName) const { return GetUnitSystem(1, strName); }
    BOOL GetUnitSystemForce(CString& strName) const { return GetUnitSystem(2, strName); }

    void SetFactor(int nUnitType, double dFactor) { m_factor[nUnitType] = dFactor; }
    void SetUnitName(int nUnitType, const char* psz) { m_name[nUnitType] = psz; }

    // The unit index: length unit ("mm" 0, "cm" 1, "m" 2, "in" 3, "ft" 4), force unit ("kgf" 0,
    // "tonf" 1, "N" 2, "kN" 3, "lbf" 4, "kips" 5) and two entries of the host's. Choice: the
    // model's own units (m, kN) by default; another index scales what ConvertUnitDataOut and
    // the database reads give by the ratio of its units to the model's, for the unit types of
    // DBValueUnits.h (length 1, force 2, area 3, second moment 4, moment 12, force per length
    // 13, stress 17, weight density 18; velocity 22 and acceleration 21 as lengths); other types are not scaled.
    void GetUnitIndexCurrent(int aIndex[4]) const;
    void SetUnitIndexCurrent(const int aIndex[4], int bNotify);
    // Names of the current force and length units, spelled as the design text file spells them.
    CString GetUnitSystemForce() const;
    CString GetUnitSystemLength() const;
    // A model value in the current index's units (the index ratio alone, without SetFactor).
    double ConvertUnitIndexOut(int nUnitType, double dValue) const;
    // A value given in the unit system (force index, length index) in the current unit system.
    double ConvValueTgtUnit2CurUnit(int nForce, int nLength, int nUnitType, double dValue) const;
    // A value given in the unit system (nSrcForce, nSrcLength) in the unit system (nTgtForce,
    // nTgtLength). Choice: the target system comes first.
    static double ConvertSrcUnitData2TgtUnit(int nTgtForce, int nTgtLength, int nSrcForce, int nSrcLength,
                                             int nUnitType, double dValue);

private:
    int m_nUnitIndex[4] = {2, 3, 0, 0};
    std::map<int, double> m_factor;
    std::map<int, CString> m_name = {{1, "m"},         {2, "kN"},      {12, "kN*m"},     {13, "kN*m/m"},
                                     {14, "kN/m"},     {17, "kN/m^2"}, {21, "m/sec^2"}, {22, "m/sec"},
                                     {5, "rad"},        {32, "rad/sec"}, {49, "rad/sec^2"}};
};

// The user's preferences; dZeroTolerance rounds small result values to zero.
struct T_PREFERENCE {
    double dZeroTolerance = 0.0;
};

class CInitCtrl {
public:
    void GetPreference(T_PREFERENCE& pref) const { pref = m_pref; }
    void SetPreference(const T_PREFERENCE& pref) { m_pref = pref; }

private:
    T_PREFERENCE m_pref;
};

class CDocCtrl {
public:
    static CUnitCtrl* GetUnitCtrl(CDBDoc* pDoc);
    // The unit control of the document whose model database this is.
    static CUnitCtrl* GetUnitCtrlOfDB(CDBBase* pModelDB);
    static CInitCtrl* GetInitCtrl(CDBDoc* pDoc);
    // The main (model) database of the document.
    static CDBBase* GetDBMain(CDBDoc* pDoc) { return pDoc ? pDoc->GetModelDB() : nullptr; }
};

// The host's text-editor service. Choice: the stand-in records the last request.
class CDBLib {
public:
    static void RunTextEditor(const char* pszPath, const char* pszTitle, int nMode);
    // Starts a program with a parameter text (split at blanks) and does not wait for it.
    // Choice: FALSE when it cannot be started; the last request is recorded either way.
    static BOOL RunProgram(const char* pszProgram, const char* pszParameters);
    static CString GetLastProgram();
    static CString GetLastProgramParameters();
    static CString GetLastEditorPath();
    static CString GetLastEditorTitle();
};
