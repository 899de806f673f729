// The design program's data library "NQD_YrpDataBase.dll" as the module drives it: loaded at
// construction, freed at destruction, one thin method per export, looked up by name at each
// call. Without the library (or the export) a method returns 0 or does nothing; a method whose
// export reports through a flag returns 0 unless the export set it. Only the design-data
// control (CYRPDataCtrl) uses it.
#pragma once
#include "design/YRPRecords.h"

#include "windows.h"

inline constexpr char YRP_DATABASE_DLL_NAME[] = "NQD_YrpDataBase.dll";

// The wrappers of one keyed family X with record T: the leading arguments of the export,
// without size and flag; converters take the record and two unit indexes of four ints each
// (length and force first; the other two are not passed on).
#define KVPVS_YRP_FAMILY_METHODS(X, T)                                                                             \
    int Add_##X(int nKey, T& rec);                                                                                 \
    int Del_##X(int nKey);                                                                                         \
    int DelAll_##X();                                                                                              \
    int Get_##X(int nKey, T& rec);                                                                                 \
    int GetCount_##X();                                                                                            \
    int GetStart_##X();                                                                                            \
    int GetNext_##X(int n1, int n2, int n3, T& rec);                                                               \
    int Exist_##X(int nKey);                                                                                       \
    int GetKeyList_##X(CArray<UINT, UINT>& aKeys);                                                                 \
    int ConvertUnit_##X(T* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);

class CYRPC_DataBaseManager {
public:
    CYRPC_DataBaseManager();
    virtual ~CYRPC_DataBaseManager();
    CYRPC_DataBaseManager(const CYRPC_DataBaseManager&) = delete;
    CYRPC_DataBaseManager& operator=(const CYRPC_DataBaseManager&) = delete;

    BOOL IsLoaded() const { return m_hModule != nullptr; }

    int Initialize();
    int Get_Version();
    // The pair (length index, force index); 0 without the library.
    int Get_CurrentUnitIndex(int& a, int& b);
    void Set_CurrentUnitIndex(int a, int b, int c = 1, int d = 1);
    int Get_UnitIndex(int& a, int& b);
    void Set_UnitIndex(int a, int b, int c = 1, int d = 1);
    int WriteData(CString strPath);
    int ReadData(CString strPath, T_YRP_DATA_D& data);
    void DelAll_Data(int n);
    int ConvertUnit_Sect(T_YRP_SECT_D* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);
    int ConvertUnit_RC_Matl(T_YRP_SIXVALUE_D* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);
    int ConvertUnit_Lcom(T_YRP_UNITLCOM* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);

    int Add_Ucop(T_UCOP_D& rec);
    int Del_Ucop();
    int Get_Ucop(T_UCOP_D& rec);
    int GetCount_Ucop();
    int GetStart_Ucop();
    int GetNext_Ucop(int n1, int n2, int n3, T_UCOP_D& rec);
    int Exist_Ucop();
    int GetKeyList_Ucop(CArray<UINT, UINT>& aKeys);
    int ConvertUnit_Ucop(T_UCOP_D* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);

    KVPVS_YRP_FAMILY_METHODS(Urco, T_URCO_D)
    KVPVS_YRP_FAMILY_METHODS(Urbe, T_URBE_D)
    KVPVS_YRP_FAMILY_METHODS(Urwa, T_URWA_D)
    KVPVS_YRP_FAMILY_METHODS(Ufdn, T_UFDN_D)
    KVPVS_YRP_FAMILY_METHODS(Ustl, T_USTL_D)

    // Sub-records, by pointer and the byte size the library expects.
    int ConvertUnit_UrcoLoad(void* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);
    int ConvertUnit_UrbeRbar(T_URBE_RBAR_D* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);
    int ConvertUnit_UrbeLoad(T_URBE_LOAD_D* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);
    int ConvertUnit_UrwaRbar(T_URWA_RBAR_D* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);
    int ConvertUnit_UrwaLoad(T_URWA_LOAD_D* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);
    int ConvertUnit_UfdnSect(void* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);
    int ConvertUnit_UfdnPileProp(void* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);
    int ConvertUnit_UfdnGeoLayer(void* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);
    int ConvertUnit_UfdnLoad(void* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);
    int ConvertUnit_UfdnRbar(void* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);
    int ConvertUnit_UstlLoad(void* pRec, int fa, int fb, int fc, int fd, int ta, int tb, int tc, int td);

private:
    // The export of that name as a function of type F; null without the library or the export.
    template <class F>
    F Proc(const char* pszName) const
    {
        // Through the generic function type, as the export's own type is known only here.
        return m_hModule ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(m_hModule, pszName)))
                         : nullptr;
    }
    int Convert(const char* pszName, void* pRec, int nSize, int fa, int fb, int ta, int tb);

    HMODULE m_hModule = nullptr;
};

#undef KVPVS_YRP_FAMILY_METHODS
