// Stand-in for the product database's time-history tables: the time-history analysis cases
// (their step times and solution method) and the stored time-history functions, which change
// through transactions that commit as every table of the database does (DBTransaction.h).
// Choice: a case's record names its analysis case, so the case key finds its history key.
#pragma once
#include "DBTable.h"
#include "DBTransaction.h"
#include "afxtempl.h"

// One time-history analysis case.
struct T_THIS_D {
    unsigned int nAcasK = 0;              // the analysis case it belongs to
    int nMethod = 0;                      // 0 ask the solver's ids, 1 or 23 direct, other modal
    CArray<double, double> aTimeStep;     // step times, in order
    CString strName;

    T_THIS_D() = default;
    T_THIS_D(const T_THIS_D& o) { *this = o; }
    T_THIS_D& operator=(const T_THIS_D& o)
    {
        nAcasK = o.nAcasK; nMethod = o.nMethod; aTimeStep.Copy(o.aTimeStep); strName = o.strName;
        return *this;
    }
};

// A stored time-history function. Stored form: code, result kind and displacement type count
// from 0; the engine's run form counts them from 1.
struct T_THRD_D {
    CString strName;
    unsigned int nEntityK = 0;   // node or element
    int nCode = 0;               // calculation-function code
    int nResultKind = 0;
    int nPosition = 0;
    int nComponent = 0;
    int nUnused7 = 0;
    int nModeNumber = 0;         // 0 all modes, k mode k alone
    int nSubPosition = 0;        // beam: combined-stress flag
    int nDispType = 0;
    unsigned int nSecondNodeK = 0;
    unsigned int nAcasK = 0;
    int nStressOption = 0;
};

class CClassThis : public CDBTable<T_THIS_D> {
public:
    using CDBTable::CDBTable;
    // The step times of a case; FALSE (and an empty array) when the case is unknown.
    BOOL GetTimeStep(unsigned int nThisK, CArray<double, double>& aSteps) const;
};

class CClassThrd : public CDBTransTable<T_THRD_D, 0x5401, 0x5402> {
public:
    // MFS: what the function computes changed (its element, result, case), MFD: its other data.
    enum { UR_THRD_ADD = 0x5401, UR_THRD_DEL = 0x5402, UR_THRD_MFS = 0x5403, UR_THRD_MFD = 0x5404 };
    using CDBTransTable::CDBTransTable;
};

class CThisInfo {
public:
    // The time-history case of an analysis case, in the current document; 0 when none.
    static unsigned int GetThisKByAcasK(unsigned int nAcasK);
};
