// Stand-ins for the document's unit control, initial settings and text-editor service.
// The stand-in document has no members for them: CDocCtrl reaches the ones that belong to a
// document (they live in its model database, made on first use).
// Choice: a unit type without a factor converts by 1; unit type 0 never converts.
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
    // Unit name of a unit system code (1 force, 2 length); FALSE for another code.
    BOOL GetUnitSystem(int nCode, CString& strName) const;

    void SetFactor(int nUnitType, double dFactor) { m_factor[nUnitType] = dFactor; }
    void SetUnitName(int nCode, const char* psz) { m_name[nCode] = psz; }

private:
    std::map<int, double> m_factor;
    std::map<int, CString> m_name = {{1, "kN"}, {2, "m"}};
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
    static CInitCtrl* GetInitCtrl(CDBDoc* pDoc);
    // The main (model) database of the document.
    static CDBBase* GetDBMain(CDBDoc* pDoc) { return pDoc ? pDoc->GetModelDB() : nullptr; }
};

// The host's text-editor service. Choice: the stand-in records the last request.
class CDBLib {
public:
    static void RunTextEditor(const char* pszPath, const char* pszTitle, int nMode);
    static CString GetLastEditorPath();
    static CString GetLastEditorTitle();
};
