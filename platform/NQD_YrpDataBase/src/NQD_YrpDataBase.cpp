// The member-design program's data library "NQD_YrpDataBase.dll": the common design options and
// five keyed families of member records, in the library's own unit system, with the exchange
// file and the unit conversions. Its stores live in the loaded library, so every instance that
// loads it sees the same data, and the last FreeLibrary drops them. A record comes with its size
// and is copied by its own copy operations; a size other than the record's leaves the flag 0.
// Choices: DelAll_Data with a non-zero argument keeps the common options, with 0 they go too;
// Set_UnitIndex changes the unit system the stores are read in without converting them; a key
// of 0 is not stored; GetStart gives the position of the first record (1-based, 0 when none)
// and GetNext fills the record at a position and gives the next one.
#include "YrpArchive.h"

#include <map>

#define NQD_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using YrpArchive::Stores;

Stores& St()
{
    // Destroyed when the library is unloaded.
    static Stores s;
    return s;
}

void SetOk(int* ok, int v)
{
    if (ok)
        *ok = v;
}

std::string PosixPath(const CString& s)
{
    std::string p = s.str();
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return p;
}

template <class T>
void Add(std::map<UINT, T>& m, int key, void* rec, int size, int* ok)
{
    SetOk(ok, 0);
    if (!rec || size != static_cast<int>(sizeof(T)) || key <= 0)
        return;
    m.insert_or_assign(static_cast<UINT>(key), *static_cast<const T*>(rec));
    SetOk(ok, 1);
}

template <class T>
int Get(std::map<UINT, T>& m, int key, void* rec, int size, int* ok)
{
    SetOk(ok, 0);
    if (!rec || size != static_cast<int>(sizeof(T)))
        return 0;
    auto it = m.find(static_cast<UINT>(key));
    if (it == m.end())
        return 0;
    *static_cast<T*>(rec) = it->second;
    SetOk(ok, 1);
    return 1;
}

template <class T>
int Start(std::map<UINT, T>& m)
{
    return m.empty() ? 0 : 1;
}

template <class T>
int Next(std::map<UINT, T>& m, int pos, void* rec, int size, int* ok)
{
    SetOk(ok, 0);
    if (!rec || size != static_cast<int>(sizeof(T)) || pos < 1 || pos > static_cast<int>(m.size()))
        return 0;
    auto it = m.begin();
    std::advance(it, pos - 1);
    *static_cast<T*>(rec) = it->second;
    SetOk(ok, 1);
    return pos < static_cast<int>(m.size()) ? pos + 1 : 0;
}

template <class T>
void KeyList(std::map<UINT, T>& m, void* arr, int size, int* ok)
{
    SetOk(ok, 0);
    if (!arr || size != static_cast<int>(sizeof(CArray<UINT, UINT>)))
        return;
    auto* a = static_cast<CArray<UINT, UINT>*>(arr);
    a->RemoveAll();
    for (const auto& kv : m)
        a->Add(kv.first);
    SetOk(ok, 1);
}

template <class T>
int Convert(const T_YRP_UNIT_INDEX_PAIR* from, const T_YRP_UNIT_INDEX_PAIR* to, void* rec, int size, int nUnitSize,
            int* ok)
{
    SetOk(ok, 0);
    YrpUnits::Factors f;
    if (!from || !to || !rec || size != static_cast<int>(sizeof(T)) ||
        nUnitSize != static_cast<int>(sizeof(T_YRP_UNIT_INDEX_PAIR)) || !YrpUnits::Make(*from, *to, f))
        return 0;
    YrpUnits::Convert(*static_cast<T*>(rec), f);
    SetOk(ok, 1);
    return 1;
}

// Records the library keeps without knowing their units.
template <class T>
int ConvertOpaque(const T_YRP_UNIT_INDEX_PAIR* from, const T_YRP_UNIT_INDEX_PAIR* to, void* rec, int size,
                  int nUnitSize, int* ok)
{
    SetOk(ok, 0);
    YrpUnits::Factors f;
    if (!from || !to || !rec || size != static_cast<int>(sizeof(T)) ||
        nUnitSize != static_cast<int>(sizeof(T_YRP_UNIT_INDEX_PAIR)) || !YrpUnits::Make(*from, *to, f))
        return 0;
    SetOk(ok, 1);
    return 1;
}

// Sub-records the library knows only by their size.
int ConvertSized(const T_YRP_UNIT_INDEX_PAIR* from, const T_YRP_UNIT_INDEX_PAIR* to, void* rec, int nSize,
                 int nExpected, int nUnitSize, int* ok)
{
    SetOk(ok, 0);
    YrpUnits::Factors f;
    if (!from || !to || !rec || nSize != nExpected || nUnitSize != static_cast<int>(sizeof(T_YRP_UNIT_INDEX_PAIR)) ||
        !YrpUnits::Make(*from, *to, f))
        return 0;
    SetOk(ok, 1);
    return 1;
}

using UnitRec = T_YRP_UNIT_INDEX_PAIR;

} // namespace

// ---- general ---------------------------------------------------------------------------------
NQD_EXPORT int Initialize()
{
    (void)St();
    return 1;
}
NQD_EXPORT int Get_Version() { return YrpArchive::kVersion; }
NQD_EXPORT void Get_CurrentUnitIndex(int* a, int* b, int*, int*)
{
    if (a)
        *a = St().current.nLength;
    if (b)
        *b = St().current.nForce;
}
NQD_EXPORT void Set_CurrentUnitIndex(int a, int b, int, int)
{
    if (a >= 0 && a <= 4 && b >= 0 && b <= 5)
        St().current = UnitRec(a, b);
}
NQD_EXPORT void Get_UnitIndex(int* a, int* b, int*, int*)
{
    if (a)
        *a = St().unit.nLength;
    if (b)
        *b = St().unit.nForce;
}
NQD_EXPORT void Set_UnitIndex(int a, int b, int, int)
{
    if (a >= 0 && a <= 4 && b >= 0 && b <= 5)
        St().unit = UnitRec(a, b);
}
NQD_EXPORT int WriteData(CString strPath)
{
    const std::string p = PosixPath(strPath);
    return !p.empty() && YrpArchive::Write(p, St()) ? 1 : 0;
}
NQD_EXPORT int ReadData(CString strPath, void* rec, int size, int* ok)
{
    SetOk(ok, 0);
    if (!rec || size != static_cast<int>(sizeof(T_YRP_DATA_D)))
        return 0;
    if (!YrpArchive::Read(PosixPath(strPath), *static_cast<T_YRP_DATA_D*>(rec)))
        return 0;
    SetOk(ok, 1);
    return 1;
}
NQD_EXPORT void DelAll_Data(int nKeepCommon)
{
    Stores& s = St();
    s.urco.clear(), s.urbe.clear(), s.urwa.clear(), s.ufdn.clear(), s.ustl.clear();
    if (!nKeepCommon) {
        s.ucop.Initialize();
        s.bUcop = false;
    }
}
NQD_EXPORT int ConvertUnit_Sect(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return Convert<T_YRP_SECT_D>(f, t, r, n, u, ok); }
NQD_EXPORT int ConvertUnit_RC_Matl(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return Convert<T_YRP_SIXVALUE_D>(f, t, r, n, u, ok); }
NQD_EXPORT int ConvertUnit_Lcom(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return Convert<T_YRP_UNITLCOM>(f, t, r, n, u, ok); }

// ---- common options --------------------------------------------------------------------------
NQD_EXPORT void Add_Ucop(void* rec, int size, int* ok)
{
    SetOk(ok, 0);
    if (!rec || size != static_cast<int>(sizeof(T_UCOP_D)))
        return;
    St().ucop = *static_cast<const T_UCOP_D*>(rec);
    St().bUcop = true;
    SetOk(ok, 1);
}
NQD_EXPORT int Del_Ucop()
{
    const int n = St().bUcop ? 1 : 0;
    St().ucop.Initialize();
    St().bUcop = false;
    return n;
}
NQD_EXPORT int Get_Ucop(void* rec, int size, int* ok)
{
    SetOk(ok, 0);
    if (!rec || size != static_cast<int>(sizeof(T_UCOP_D)) || !St().bUcop)
        return 0;
    *static_cast<T_UCOP_D*>(rec) = St().ucop;
    SetOk(ok, 1);
    return 1;
}
NQD_EXPORT int GetCount_Ucop() { return St().bUcop ? 1 : 0; }
NQD_EXPORT int GetStart_Ucop() { return St().bUcop ? 1 : 0; }
NQD_EXPORT int GetNext_Ucop(int pos, int, int, void* rec, int size, int* ok)
{
    if (pos != 1)
        return SetOk(ok, 0), 0;
    Get_Ucop(rec, size, ok);
    return 0;
}
NQD_EXPORT int Exist_Ucop() { return St().bUcop ? 1 : 0; }
NQD_EXPORT void GetKeyList_Ucop(void* arr, int size, int* ok)
{
    SetOk(ok, 0);
    if (!arr || size != static_cast<int>(sizeof(CArray<UINT, UINT>)))
        return;
    auto* a = static_cast<CArray<UINT, UINT>*>(arr);
    a->RemoveAll();
    if (St().bUcop)
        a->Add(1);
    SetOk(ok, 1);
}
NQD_EXPORT int ConvertUnit_Ucop(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return Convert<T_UCOP_D>(f, t, r, n, u, ok); }

// ---- keyed families --------------------------------------------------------------------------
#define NQD_FAMILY(X, T, STORE, CONVERT)                                                                             \
    NQD_EXPORT void Add_##X(int key, void* rec, int size, int* ok) { Add(St().STORE, key, rec, size, ok); }          \
    NQD_EXPORT int Del_##X(int key) { return St().STORE.erase(static_cast<UINT>(key)) ? 1 : 0; }                    \
    NQD_EXPORT int DelAll_##X()                                                                                      \
    {                                                                                                                \
        const int n = static_cast<int>(St().STORE.size());                                                           \
        St().STORE.clear();                                                                                          \
        return n;                                                                                                    \
    }                                                                                                                \
    NQD_EXPORT int Get_##X(int key, void* rec, int size, int* ok) { return Get(St().STORE, key, rec, size, ok); }    \
    NQD_EXPORT int GetCount_##X() { return static_cast<int>(St().STORE.size()); }                                    \
    NQD_EXPORT int GetStart_##X() { return Start(St().STORE); }                                                      \
    NQD_EXPORT int GetNext_##X(int pos, int, int, void* rec, int size, int* ok)                                     \
    {                                                                                                                \
        return Next(St().STORE, pos, rec, size, ok);                                                                 \
    }                                                                                                                \
    NQD_EXPORT int Exist_##X(int key) { return St().STORE.count(static_cast<UINT>(key)) ? 1 : 0; }                  \
    NQD_EXPORT void GetKeyList_##X(void* arr, int size, int* ok) { KeyList(St().STORE, arr, size, ok); }             \
    NQD_EXPORT int ConvertUnit_##X(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok)                           \
    {                                                                                                                \
        return CONVERT<T>(f, t, r, n, u, ok);                                                                        \
    }

NQD_FAMILY(Urco, T_URCO_D, urco, ConvertOpaque)
NQD_FAMILY(Urbe, T_URBE_D, urbe, Convert)
NQD_FAMILY(Urwa, T_URWA_D, urwa, Convert)
NQD_FAMILY(Ufdn, T_UFDN_D, ufdn, ConvertOpaque)
NQD_FAMILY(Ustl, T_USTL_D, ustl, ConvertOpaque)

// ---- sub-records -----------------------------------------------------------------------------
NQD_EXPORT int ConvertUnit_UrcoLoad(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return ConvertSized(f, t, r, n, 208, u, ok); }
NQD_EXPORT int ConvertUnit_UrbeRbar(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return Convert<T_URBE_RBAR_D>(f, t, r, n, u, ok); }
NQD_EXPORT int ConvertUnit_UrbeLoad(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return Convert<T_URBE_LOAD_D>(f, t, r, n, u, ok); }
NQD_EXPORT int ConvertUnit_UrwaRbar(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return Convert<T_URWA_RBAR_D>(f, t, r, n, u, ok); }
NQD_EXPORT int ConvertUnit_UrwaLoad(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return Convert<T_URWA_LOAD_D>(f, t, r, n, u, ok); }
NQD_EXPORT int ConvertUnit_UfdnSect(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return ConvertSized(f, t, r, n, 160, u, ok); }
NQD_EXPORT int ConvertUnit_UfdnPileProp(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return ConvertSized(f, t, r, n, 512, u, ok); }
NQD_EXPORT int ConvertUnit_UfdnGeoLayer(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return ConvertSized(f, t, r, n, 72, u, ok); }
NQD_EXPORT int ConvertUnit_UfdnLoad(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return ConvertSized(f, t, r, n, 48, u, ok); }
NQD_EXPORT int ConvertUnit_UfdnRbar(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return ConvertSized(f, t, r, n, 1536, u, ok); }
NQD_EXPORT int ConvertUnit_UstlLoad(UnitRec* f, UnitRec* t, void* r, int n, int u, int* ok) { return ConvertSized(f, t, r, n, 20, u, ok); }
