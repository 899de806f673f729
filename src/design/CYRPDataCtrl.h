// The design-data control: stores and reads design records in the design program's data
// library, converting them between the current document's units and the library's at the
// boundary, hands out keys and writes the exchange file. It owns the loaded library for its
// whole life; the exchange file is written through a second load of it. Every operation takes
// the current document at its use; without one it fails (0) and changes nothing.
#pragma once
#include "design/CYRPC_DataBaseManager.h"

class CDBDoc;

class CYRPDataCtrl {
public:
    CYRPDataCtrl();
    virtual ~CYRPDataCtrl();
    CYRPDataCtrl(const CYRPDataCtrl&) = delete;
    CYRPDataCtrl& operator=(const CYRPDataCtrl&) = delete;

    void DelAllData(int n);
    // Reads the common options into r in the document's units; the first read of a library
    // without them stores the defaults ("KSCE-USD05", 0.003, 200000.0) at once. The library's
    // result: 0 when none was stored.
    int GetUcop(T_UCOP_D& r);
    int SetUcop(const T_UCOP_D& r);

    // The family's keys, ascending.
    void GetUrbeKeyList(CArray<UINT, UINT>& aKeys);
    void GetUrwaKeyList(CArray<UINT, UINT>& aKeys);
    int ExistUrbeKey(UINT nKey);
    int ExistUrwaKey(UINT nKey);
    // The smallest key from 1 upward that is not in use.
    UINT GetUrbeNewKey();
    UINT GetUrwaNewKey();
    // Stores each record (converted to the library's units) under its key; a key of 0 takes
    // the smallest free key at the moment of its own store. 0 for arrays of different lengths.
    int AddUrbeList(const CArray<UINT, UINT>& aKeys, const CArray<T_URBE_D, T_URBE_D&>& aRecs);
    int AddUrwaList(const CArray<UINT, UINT>& aKeys, const CArray<T_URWA_D, T_URWA_D&>& aRecs);
    // The same for records the caller is done with: they are converted where they lie, not copied
    // first, and are left in the library's units.
    int AddUrbeList(const CArray<UINT, UINT>& aKeys, CArray<T_URBE_D, T_URBE_D&>&& aRecs);
    int AddUrwaList(const CArray<UINT, UINT>& aKeys, CArray<T_URWA_D, T_URWA_D&>&& aRecs);

    // Unit conversions between two unit indexes of four ints (length, force, two not used).
    int ConvertUcopUnit(T_UCOP_D& r, const int aFrom[4], const int aTo[4]);
    int ConvertUrbeUnit(T_URBE_D& r, const int aFrom[4], const int aTo[4]);
    int ConvertUrwaUnit(T_URWA_D& r, const int aFrom[4], const int aTo[4]);

    // The exchange file: per-model 0 the program folder's "Temp\YRP.yrb" (the folder made when
    // missing), else the model file's folder and name with ".tyb"; 0 (path untouched) without
    // a document or, per model, without a saved model.
    int GetMediateFilePath(CString& strPath, int bPerModel);
    int WriteMediateFile(int bPerModel);

    // Operations the module's paths do not use.
    int GetUrbe(UINT nKey, T_URBE_D& r);
    int GetUrwa(UINT nKey, T_URWA_D& r);
    int SetUrbe(UINT nKey, const T_URBE_D& r);
    int SetUrwa(UINT nKey, const T_URWA_D& r);
    int DelUrbe(UINT nKey);
    int DelUrwa(UINT nKey);
    // The key of the first member of that name; 0 when none.
    UINT FindUrbeKeyByName(const char* pszName);
    UINT FindUrwaKeyByName(const char* pszName);
    int ConvertSectUnit(T_YRP_SECT_D& r, const int aFrom[4], const int aTo[4]);
    int ConvertLcomUnit(T_YRP_UNITLCOM& r, const int aFrom[4], const int aTo[4]);
    void GetUrcoKeyList(CArray<UINT, UINT>& aKeys);
    int GetUrco(UINT nKey, T_URCO_D& r);
    int SetUrco(UINT nKey, const T_URCO_D& r);
    int DelUrco(UINT nKey);
    int ReadData(const char* pszPath, T_YRP_DATA_D& data);

    CYRPC_DataBaseManager* GetLibrary() { return m_pLibrary; }

private:
    // The document's and the library's unit indexes; false without a document or a library.
    bool Units(int aHost[4], int aLibrary[4]);
    // pOwned: aRecs itself, for records to be converted where they lie.
    int AddUrbeList(const CArray<UINT, UINT>& aKeys, const CArray<T_URBE_D, T_URBE_D&>& aRecs,
                    CArray<T_URBE_D, T_URBE_D&>* pOwned);
    int AddUrwaList(const CArray<UINT, UINT>& aKeys, const CArray<T_URWA_D, T_URWA_D&>& aRecs,
                    CArray<T_URWA_D, T_URWA_D&>* pOwned);

    CYRPC_DataBaseManager* m_pLibrary;
};
