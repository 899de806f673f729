#include "design/CYRPC_DataBaseManager.h"

#include "afxwin.h"

namespace {
using PFN_INT = int (*)();
using PFN_UNIT_GET = void (*)(int*, int*, int*, int*);
using PFN_UNIT_SET = void (*)(int, int, int, int);
using PFN_WRITE = int (*)(CString);
using PFN_READ = int (*)(CString, void*, int, int*);
using PFN_DELALL_DATA = void (*)(int);
using PFN_CONVERT = int (*)(T_YRP_UNIT_INDEX_PAIR*, T_YRP_UNIT_INDEX_PAIR*, void*, int, int, int*);
using PFN_ADD_UCOP = void (*)(void*, int, int*);
using PFN_GET_UCOP = int (*)(void*, int, int*);
using PFN_ADD = void (*)(int, void*, int, int*);
using PFN_GET = int (*)(int, void*, int, int*);
using PFN_KEY = int (*)(int);
using PFN_NEXT = int (*)(int, int, int, void*, int, int*);
using PFN_KEYLIST = void (*)(void*, int, int*);
} // namespace

CYRPC_DataBaseManager::CYRPC_DataBaseManager()
{
    if (m_hModule)
        return;
    m_hModule = LoadLibraryA(YRP_DATABASE_DLL_NAME);
    if (!m_hModule) {
        CString strText = CString("Can't Find ") + YRP_DATABASE_DLL_NAME;
        AfxMessageBox(strText);
    }
}

CYRPC_DataBaseManager::~CYRPC_DataBaseManager()
{
    if (m_hModule) {
        FreeLibrary(m_hModule);
        m_hModule = nullptr;
    }
}

int CYRPC_DataBaseManager::Convert(const char* pszName, void* pRec, int nSize, int fa, int fb, int ta, int tb)
{
    auto f = Proc<PFN_CONVERT>(pszName);
    if (!f || !pRec)
        return 0;
    T_YRP_UNIT_INDEX_PAIR from(fa, fb), to(ta, tb);
    int ok = 0;
    const int r = f(&from, &to, pRec, nSize, static_cast<int>(sizeof(T_YRP_UNIT_INDEX_PAIR)), &ok);
    return ok ? r : 0;
}

int CYRPC_DataBaseManager::Initialize()
{
    auto f = Proc<PFN_INT>("Initialize");
    return f ? f() : 0;
}

int CYRPC_DataBaseManager::Get_Version()
{
    auto f = Proc<PFN_INT>("Get_Version");
    return f ? f() : 0;
}

int CYRPC_DataBaseManager::Get_CurrentUnitIndex(int& a, int& b)
{
    auto f = Proc<PFN_UNIT_GET>("Get_CurrentUnitIndex");
    if (!f)
        return 0;
    int c = 1, d = 1;
    f(&a, &b, &c, &d);
    return 1;
}

void CYRPC_DataBaseManager::Set_CurrentUnitIndex(int a, int b, int, int)
{
    if (auto f = Proc<PFN_UNIT_SET>("Set_CurrentUnitIndex"))
        f(a, b, 1, 1);
}

int CYRPC_DataBaseManager::Get_UnitIndex(int& a, int& b)
{
    auto f = Proc<PFN_UNIT_GET>("Get_UnitIndex");
    if (!f)
        return 0;
    int c = 1, d = 1;
    f(&a, &b, &c, &d);
    return 1;
}

void CYRPC_DataBaseManager::Set_UnitIndex(int a, int b, int, int)
{
    if (auto f = Proc<PFN_UNIT_SET>("Set_UnitIndex"))
        f(a, b, 1, 1);
}

int CYRPC_DataBaseManager::WriteData(CString strPath)
{
    auto f = Proc<PFN_WRITE>("WriteData");
    return f ? f(strPath) : 0;
}

int CYRPC_DataBaseManager::ReadData(CString strPath, T_YRP_DATA_D& data)
{
    auto f = Proc<PFN_READ>("ReadData");
    if (!f)
        return 0;
    int ok = 0;
    const int r = f(strPath, &data, static_cast<int>(sizeof(T_YRP_DATA_D)), &ok);
    return ok ? r : 0;
}

void CYRPC_DataBaseManager::DelAll_Data(int n)
{
    if (auto f = Proc<PFN_DELALL_DATA>("DelAll_Data"))
        f(n);
}

int CYRPC_DataBaseManager::ConvertUnit_Sect(T_YRP_SECT_D* p, int fa, int fb, int, int, int ta, int tb, int, int)
{
    return Convert("ConvertUnit_Sect", p, static_cast<int>(sizeof(T_YRP_SECT_D)), fa, fb, ta, tb);
}

int CYRPC_DataBaseManager::ConvertUnit_RC_Matl(T_YRP_SIXVALUE_D* p, int fa, int fb, int, int, int ta, int tb, int, int)
{
    return Convert("ConvertUnit_RC_Matl", p, static_cast<int>(sizeof(T_YRP_SIXVALUE_D)), fa, fb, ta, tb);
}

int CYRPC_DataBaseManager::ConvertUnit_Lcom(T_YRP_UNITLCOM* p, int fa, int fb, int, int, int ta, int tb, int, int)
{
    return Convert("ConvertUnit_Lcom", p, static_cast<int>(sizeof(T_YRP_UNITLCOM)), fa, fb, ta, tb);
}

int CYRPC_DataBaseManager::Add_Ucop(T_UCOP_D& rec)
{
    auto f = Proc<PFN_ADD_UCOP>("Add_Ucop");
    if (!f)
        return 0;
    int ok = 0;
    f(&rec, static_cast<int>(sizeof(T_UCOP_D)), &ok);
    return ok ? 1 : 0;
}

int CYRPC_DataBaseManager::Del_Ucop()
{
    auto f = Proc<PFN_INT>("Del_Ucop");
    return f ? f() : 0;
}

int CYRPC_DataBaseManager::Get_Ucop(T_UCOP_D& rec)
{
    auto f = Proc<PFN_GET_UCOP>("Get_Ucop");
    if (!f)
        return 0;
    int ok = 0;
    const int r = f(&rec, static_cast<int>(sizeof(T_UCOP_D)), &ok);
    return ok ? r : 0;
}

int CYRPC_DataBaseManager::GetCount_Ucop()
{
    auto f = Proc<PFN_INT>("GetCount_Ucop");
    return f ? f() : 0;
}

int CYRPC_DataBaseManager::GetStart_Ucop()
{
    auto f = Proc<PFN_INT>("GetStart_Ucop");
    return f ? f() : 0;
}

int CYRPC_DataBaseManager::GetNext_Ucop(int n1, int n2, int n3, T_UCOP_D& rec)
{
    auto f = Proc<PFN_NEXT>("GetNext_Ucop");
    if (!f)
        return 0;
    int ok = 0;
    const int r = f(n1, n2, n3, &rec, static_cast<int>(sizeof(T_UCOP_D)), &ok);
    return ok ? r : 0;
}

int CYRPC_DataBaseManager::Exist_Ucop()
{
    auto f = Proc<PFN_INT>("Exist_Ucop");
    return f ? f() : 0;
}

int CYRPC_DataBaseManager::GetKeyList_Ucop(CArray<UINT, UINT>& aKeys)
{
    auto f = Proc<PFN_KEYLIST>("GetKeyList_Ucop");
    if (!f)
        return 0;
    CArray<UINT, UINT> a;
    int ok = 0;
    f(&a, static_cast<int>(sizeof(CArray<UINT, UINT>)), &ok);
    if (!ok)
        return 0;
    aKeys.Copy(a);
    return 1;
}

int CYRPC_DataBaseManager::ConvertUnit_Ucop(T_UCOP_D* p, int fa, int fb, int, int, int ta, int tb, int, int)
{
    return Convert("ConvertUnit_Ucop", p, static_cast<int>(sizeof(T_UCOP_D)), fa, fb, ta, tb);
}

#define KVPVS_YRP_FAMILY_DEFINITIONS(X, T)                                                                         \
    int CYRPC_DataBaseManager::Add_##X(int nKey, T& rec)                                                           \
    {                                                                                                              \
        auto f = Proc<PFN_ADD>("Add_" #X);                                                                         \
        if (!f)                                                                                                    \
            return 0;                                                                                              \
        int ok = 0;                                                                                                \
        f(nKey, &rec, static_cast<int>(sizeof(T)), &ok);                                                           \
        return ok ? 1 : 0;                                                                                         \
    }                                                                                                              \
    int CYRPC_DataBaseManager::Del_##X(int nKey)                                                                   \
    {                                                                                                              \
        auto f = Proc<PFN_KEY>("Del_" #X);                                                                         \
        return f ? f(nKey) : 0;                                                                                    \
    }                                                                                                              \
    int CYRPC_DataBaseManager::DelAll_##X()                                                                        \
    {                                                                                                              \
        auto f = Proc<PFN_INT>("DelAll_" #X);                                                                      \
        return f ? f() : 0;                                                                                        \
    }                                                                                                              \
    int CYRPC_DataBaseManager::Get_##X(int nKey, T& rec)                                                           \
    {                                                                                                              \
        auto f = Proc<PFN_GET>("Get_" #X);                                                                         \
        if (!f)                                                                                                    \
            return 0;                                                                                              \
        int ok = 0;                                                                                                \
        const int r = f(nKey, &rec, static_cast<int>(sizeof(T)), &ok);                                             \
        return ok ? r : 0;                                                                                         \
    }                                                                                                              \
    int CYRPC_DataBaseManager::GetCount_##X()                                                                      \
    {                                                                                                              \
        auto f = Proc<PFN_INT>("GetCount_" #X);                                                                    \
        return f ? f() : 0;                                                                                        \
    }                                                                                                              \
    int CYRPC_DataBaseManager::GetStart_##X()                                                                      \
    {                                                                                                              \
        auto f = Proc<PFN_INT>("GetStart_" #X);                                                                    \
        return f ? f() : 0;                                                                                        \
    }                                                                                                              \
    int CYRPC_DataBaseManager::GetNext_##X(int n1, int n2, int n3, T& rec)                                         \
    {                                                                                                              \
        auto f = Proc<PFN_NEXT>("GetNext_" #X);                                                                    \
        if (!f)                                                                                                    \
            return 0;                                                                                              \
        int ok = 0;                                                                                                \
        const int r = f(n1, n2, n3, &rec, static_cast<int>(sizeof(T)), &ok);                                       \
        return ok ? r : 0;                                                                                         \
    }                                                                                                              \
    int CYRPC_DataBaseManager::Exist_##X(int nKey)                                                                 \
    {                                                                                                              \
        auto f = Proc<PFN_KEY>("Exist_" #X);                                                                       \
        return f ? f(nKey) : 0;                                                                                    \
    }                                                                                                              \
    int CYRPC_DataBaseManager::GetKeyList_##X(CArray<UINT, UINT>& aKeys)                                           \
    {                                                                                                              \
        auto f = Proc<PFN_KEYLIST>("GetKeyList_" #X);                                                              \
        if (!f)                                                                                                    \
            return 0;                                                                                              \
        CArray<UINT, UINT> a;                                                                                      \
        int ok = 0;                                                                                                \
        f(&a, static_cast<int>(sizeof(CArray<UINT, UINT>)), &ok);                                                  \
        if (!ok)                                                                                                   \
            return 0;                                                                                              \
        aKeys.Copy(a);                                                                                             \
        return 1;                                                                                                  \
    }                                                                                                              \
    int CYRPC_DataBaseManager::ConvertUnit_##X(T* p, int fa, int fb, int, int, int ta, int tb, int, int)           \
    {                                                                                                              \
        return Convert("ConvertUnit_" #X, p, static_cast<int>(sizeof(T)), fa, fb, ta, tb);                         \
    }

KVPVS_YRP_FAMILY_DEFINITIONS(Urco, T_URCO_D)
KVPVS_YRP_FAMILY_DEFINITIONS(Urbe, T_URBE_D)
KVPVS_YRP_FAMILY_DEFINITIONS(Urwa, T_URWA_D)
KVPVS_YRP_FAMILY_DEFINITIONS(Ufdn, T_UFDN_D)
KVPVS_YRP_FAMILY_DEFINITIONS(Ustl, T_USTL_D)

#define KVPVS_YRP_SUBRECORD(NAME, TYPE, SIZE)                                                                      \
    int CYRPC_DataBaseManager::ConvertUnit_##NAME(TYPE* p, int fa, int fb, int, int, int ta, int tb, int, int)     \
    {                                                                                                              \
        return Convert("ConvertUnit_" #NAME, p, SIZE, fa, fb, ta, tb);                                             \
    }

KVPVS_YRP_SUBRECORD(UrcoLoad, void, 208)
KVPVS_YRP_SUBRECORD(UrbeRbar, T_URBE_RBAR_D, static_cast<int>(sizeof(T_URBE_RBAR_D)))
KVPVS_YRP_SUBRECORD(UrbeLoad, T_URBE_LOAD_D, static_cast<int>(sizeof(T_URBE_LOAD_D)))
KVPVS_YRP_SUBRECORD(UrwaRbar, T_URWA_RBAR_D, static_cast<int>(sizeof(T_URWA_RBAR_D)))
KVPVS_YRP_SUBRECORD(UrwaLoad, T_URWA_LOAD_D, static_cast<int>(sizeof(T_URWA_LOAD_D)))
KVPVS_YRP_SUBRECORD(UfdnSect, void, 160)
KVPVS_YRP_SUBRECORD(UfdnPileProp, void, 512)
KVPVS_YRP_SUBRECORD(UfdnGeoLayer, void, 72)
KVPVS_YRP_SUBRECORD(UfdnLoad, void, 48)
KVPVS_YRP_SUBRECORD(UfdnRbar, void, 1536)
KVPVS_YRP_SUBRECORD(UstlLoad, void, 20)
