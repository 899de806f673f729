#include "design/CYRPDataCtrl.h"

#include "DBDoc.h"
#include "FileCtrl.h"
#include "QSort.h"
#include "UnitCtrl.h"

#include <algorithm>
#include <optional>
#include <set>

namespace {

// The unit index of the document: length index first, force index second.
bool HostUnits(int a[4])
{
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    const CUnitCtrl* pUnit = pDoc ? CDocCtrl::GetUnitCtrl(pDoc) : nullptr;
    if (!pUnit)
        return false;
    pUnit->GetUnitIndexCurrent(a);
    return true;
}

void FillUcopDefaults(T_UCOP_D& r)
{
    r.strDesignCode = "KSCE-USD05";
    for (int i = 0; i < 2; ++i) {
        r.matl[i].dValue16 = 0.003;
        r.matl[i].dValue24 = 0.003;
        r.matl[i].dValue40 = 200000.0;
        r.matl[i].dValue48 = 200000.0;
    }
}

// Stores a list with keys given or, for 0, the smallest free key at that moment. The keys in
// use are read once and kept here as records are stored: the smallest free key never moves
// down while keys are only added, so one cursor finds every new key (the same keys as a search
// from 1 upward at each store). Records of pOwned are converted where they lie, others in a copy.
template <class T, class ADD, class CONVERT>
int AddList(CYRPC_DataBaseManager& lib, const CArray<UINT, UINT>& aInUse, const CArray<UINT, UINT>& aKeys,
            const CArray<T, T&>& aRecs, CArray<T, T&>* pOwned, const int aHost[4], const int aLib[4], ADD add,
            CONVERT convert)
{
    std::set<UINT> used(aInUse.begin(), aInUse.end());
    UINT nCursor = 1;
    std::optional<T> copy;
    for (int i = 0; i < aKeys.GetSize(); ++i) {
        UINT nKey = aKeys[i];
        if (nKey == 0) {
            while (used.count(nCursor))
                ++nCursor;
            nKey = nCursor;
        }
        T& rec = pOwned ? (*pOwned)[i] : copy.emplace(aRecs[i]);
        (lib.*convert)(&rec, aHost[0], aHost[1], aHost[2], aHost[3], aLib[0], aLib[1], aLib[2], aLib[3]);
        (lib.*add)(static_cast<int>(nKey), rec);
        used.insert(nKey);
    }
    return 1;
}

UINT SmallestFree(const CArray<UINT, UINT>& aSorted)
{
    UINT n = 1;
    for (UINT k : aSorted) {
        if (k > n)
            break;
        if (k == n)
            ++n;
    }
    return n;
}

} // namespace

CYRPDataCtrl::CYRPDataCtrl() : m_pLibrary(new CYRPC_DataBaseManager)
{
    m_pLibrary->Initialize();
}

CYRPDataCtrl::~CYRPDataCtrl() { delete m_pLibrary; }

bool CYRPDataCtrl::Units(int aHost[4], int aLibrary[4])
{
    if (!HostUnits(aHost) || !m_pLibrary->IsLoaded())
        return false;
    aLibrary[2] = aLibrary[3] = 0;
    return m_pLibrary->Get_UnitIndex(aLibrary[0], aLibrary[1]) != 0;
}

void CYRPDataCtrl::DelAllData(int n) { m_pLibrary->DelAll_Data(n); }

int CYRPDataCtrl::GetUcop(T_UCOP_D& r)
{
    int aHost[4], aLib[4];
    if (!Units(aHost, aLib))
        return 0;
    r.Initialize();
    const int nResult = m_pLibrary->Get_Ucop(r);
    if (!nResult || r.strDesignCode.IsEmpty()) {
        FillUcopDefaults(r);
        m_pLibrary->Add_Ucop(r);
    }
    m_pLibrary->ConvertUnit_Ucop(&r, aLib[0], aLib[1], aLib[2], aLib[3], aHost[0], aHost[1], aHost[2], aHost[3]);
    return nResult;
}

int CYRPDataCtrl::SetUcop(const T_UCOP_D& r)
{
    int aHost[4], aLib[4];
    if (!Units(aHost, aLib))
        return 0;
    T_UCOP_D copy(r);
    m_pLibrary->ConvertUnit_Ucop(&copy, aHost[0], aHost[1], aHost[2], aHost[3], aLib[0], aLib[1], aLib[2], aLib[3]);
    m_pLibrary->Add_Ucop(copy);
    return 1;
}

void CYRPDataCtrl::GetUrbeKeyList(CArray<UINT, UINT>& aKeys)
{
    aKeys.RemoveAll();
    m_pLibrary->GetKeyList_Urbe(aKeys);
    if (!aKeys.IsEmpty())
        CQSort::QSortUInt(aKeys);
}

void CYRPDataCtrl::GetUrwaKeyList(CArray<UINT, UINT>& aKeys)
{
    aKeys.RemoveAll();
    m_pLibrary->GetKeyList_Urwa(aKeys);
    if (!aKeys.IsEmpty())
        CQSort::QSortUInt(aKeys);
}

int CYRPDataCtrl::ExistUrbeKey(UINT nKey)
{
    CArray<UINT, UINT> a;
    GetUrbeKeyList(a);
    return std::binary_search(a.begin(), a.end(), nKey) ? 1 : 0;
}

int CYRPDataCtrl::ExistUrwaKey(UINT nKey)
{
    CArray<UINT, UINT> a;
    GetUrwaKeyList(a);
    return std::binary_search(a.begin(), a.end(), nKey) ? 1 : 0;
}

// One read of the sorted keys gives the first key from 1 upward that is not among them.
UINT CYRPDataCtrl::GetUrbeNewKey()
{
    CArray<UINT, UINT> a;
    GetUrbeKeyList(a);
    return SmallestFree(a);
}

UINT CYRPDataCtrl::GetUrwaNewKey()
{
    CArray<UINT, UINT> a;
    GetUrwaKeyList(a);
    return SmallestFree(a);
}

int CYRPDataCtrl::AddUrbeList(const CArray<UINT, UINT>& aKeys, const CArray<T_URBE_D, T_URBE_D&>& aRecs)
{
    return AddUrbeList(aKeys, aRecs, nullptr);
}

int CYRPDataCtrl::AddUrbeList(const CArray<UINT, UINT>& aKeys, CArray<T_URBE_D, T_URBE_D&>&& aRecs)
{
    return AddUrbeList(aKeys, aRecs, &aRecs);
}

int CYRPDataCtrl::AddUrbeList(const CArray<UINT, UINT>& aKeys, const CArray<T_URBE_D, T_URBE_D&>& aRecs,
                              CArray<T_URBE_D, T_URBE_D&>* pOwned)
{
    int aHost[4], aLib[4];
    if (aKeys.GetSize() != aRecs.GetSize() || !Units(aHost, aLib))
        return 0;
    CArray<UINT, UINT> aInUse;
    GetUrbeKeyList(aInUse);
    return AddList(*m_pLibrary, aInUse, aKeys, aRecs, pOwned, aHost, aLib, &CYRPC_DataBaseManager::Add_Urbe,
                   &CYRPC_DataBaseManager::ConvertUnit_Urbe);
}

int CYRPDataCtrl::AddUrwaList(const CArray<UINT, UINT>& aKeys, const CArray<T_URWA_D, T_URWA_D&>& aRecs)
{
    return AddUrwaList(aKeys, aRecs, nullptr);
}

int CYRPDataCtrl::AddUrwaList(const CArray<UINT, UINT>& aKeys, CArray<T_URWA_D, T_URWA_D&>&& aRecs)
{
    return AddUrwaList(aKeys, aRecs, &aRecs);
}

int CYRPDataCtrl::AddUrwaList(const CArray<UINT, UINT>& aKeys, const CArray<T_URWA_D, T_URWA_D&>& aRecs,
                              CArray<T_URWA_D, T_URWA_D&>* pOwned)
{
    int aHost[4], aLib[4];
    if (aKeys.GetSize() != aRecs.GetSize() || !Units(aHost, aLib))
        return 0;
    CArray<UINT, UINT> aInUse;
    GetUrwaKeyList(aInUse);
    return AddList(*m_pLibrary, aInUse, aKeys, aRecs, pOwned, aHost, aLib, &CYRPC_DataBaseManager::Add_Urwa,
                   &CYRPC_DataBaseManager::ConvertUnit_Urwa);
}

int CYRPDataCtrl::ConvertUcopUnit(T_UCOP_D& r, const int f[4], const int t[4])
{
    return m_pLibrary->ConvertUnit_Ucop(&r, f[0], f[1], f[2], f[3], t[0], t[1], t[2], t[3]);
}

int CYRPDataCtrl::ConvertUrbeUnit(T_URBE_D& r, const int f[4], const int t[4])
{
    return m_pLibrary->ConvertUnit_Urbe(&r, f[0], f[1], f[2], f[3], t[0], t[1], t[2], t[3]);
}

int CYRPDataCtrl::ConvertUrwaUnit(T_URWA_D& r, const int f[4], const int t[4])
{
    return m_pLibrary->ConvertUnit_Urwa(&r, f[0], f[1], f[2], f[3], t[0], t[1], t[2], t[3]);
}

int CYRPDataCtrl::ConvertSectUnit(T_YRP_SECT_D& r, const int f[4], const int t[4])
{
    return m_pLibrary->ConvertUnit_Sect(&r, f[0], f[1], f[2], f[3], t[0], t[1], t[2], t[3]);
}

int CYRPDataCtrl::ConvertLcomUnit(T_YRP_UNITLCOM& r, const int f[4], const int t[4])
{
    return m_pLibrary->ConvertUnit_Lcom(&r, f[0], f[1], f[2], f[3], t[0], t[1], t[2], t[3]);
}

int CYRPDataCtrl::GetMediateFilePath(CString& strPath, int bPerModel)
{
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    if (!pDoc)
        return 0;
    if (!bPerModel) {
        const CString strProgram = pDoc->GetProgramPath();
        const CString strFolder = strProgram + "Temp\\";
        if (GetFileAttributesA(strFolder) == INVALID_FILE_ATTRIBUTES)
            CreateDirectoryA(strFolder, nullptr);
        strPath = strProgram + "Temp\\YRP.yrb";
        return 1;
    }
    const CString strModel = pDoc->GetPathName();
    if (strModel.IsEmpty())
        return 0;
    CFileCtrl file;
    file.SetFilePathNameExt(strModel);
    strPath = file.GetFilePath() + file.GetFileName() + ".tyb";
    return 1;
}

int CYRPDataCtrl::WriteMediateFile(int bPerModel)
{
    CString strPath;
    GetMediateFilePath(strPath, bPerModel);
    // A second load of the library, for this write only.
    CYRPC_DataBaseManager writer;
    return writer.WriteData(strPath);
}

int CYRPDataCtrl::GetUrbe(UINT nKey, T_URBE_D& r)
{
    int aHost[4], aLib[4];
    if (!Units(aHost, aLib) || !m_pLibrary->Get_Urbe(static_cast<int>(nKey), r))
        return 0;
    return m_pLibrary->ConvertUnit_Urbe(&r, aLib[0], aLib[1], aLib[2], aLib[3], aHost[0], aHost[1], aHost[2], aHost[3]);
}

int CYRPDataCtrl::GetUrwa(UINT nKey, T_URWA_D& r)
{
    int aHost[4], aLib[4];
    if (!Units(aHost, aLib) || !m_pLibrary->Get_Urwa(static_cast<int>(nKey), r))
        return 0;
    return m_pLibrary->ConvertUnit_Urwa(&r, aLib[0], aLib[1], aLib[2], aLib[3], aHost[0], aHost[1], aHost[2], aHost[3]);
}

int CYRPDataCtrl::SetUrbe(UINT nKey, const T_URBE_D& r)
{
    CArray<UINT, UINT> k;
    k.Add(nKey);
    CArray<T_URBE_D, T_URBE_D&> a;
    a.Add(const_cast<T_URBE_D&>(r));
    return nKey ? AddUrbeList(k, a) : 0;
}

int CYRPDataCtrl::SetUrwa(UINT nKey, const T_URWA_D& r)
{
    CArray<UINT, UINT> k;
    k.Add(nKey);
    CArray<T_URWA_D, T_URWA_D&> a;
    a.Add(const_cast<T_URWA_D&>(r));
    return nKey ? AddUrwaList(k, a) : 0;
}

int CYRPDataCtrl::DelUrbe(UINT nKey) { return m_pLibrary->Del_Urbe(static_cast<int>(nKey)); }
int CYRPDataCtrl::DelUrwa(UINT nKey) { return m_pLibrary->Del_Urwa(static_cast<int>(nKey)); }

UINT CYRPDataCtrl::FindUrbeKeyByName(const char* pszName)
{
    CArray<UINT, UINT> a;
    GetUrbeKeyList(a);
    for (UINT k : a) {
        T_URBE_D r;
        if (m_pLibrary->Get_Urbe(static_cast<int>(k), r) && r.strName == pszName)
            return k;
    }
    return 0;
}

UINT CYRPDataCtrl::FindUrwaKeyByName(const char* pszName)
{
    CArray<UINT, UINT> a;
    GetUrwaKeyList(a);
    for (UINT k : a) {
        T_URWA_D r;
        if (m_pLibrary->Get_Urwa(static_cast<int>(k), r) && r.strName == pszName)
            return k;
    }
    return 0;
}

void CYRPDataCtrl::GetUrcoKeyList(CArray<UINT, UINT>& aKeys)
{
    aKeys.RemoveAll();
    m_pLibrary->GetKeyList_Urco(aKeys);
    if (!aKeys.IsEmpty())
        CQSort::QSortUInt(aKeys);
}

int CYRPDataCtrl::GetUrco(UINT nKey, T_URCO_D& r) { return m_pLibrary->Get_Urco(static_cast<int>(nKey), r); }

int CYRPDataCtrl::SetUrco(UINT nKey, const T_URCO_D& r)
{
    T_URCO_D copy(r);
    return nKey ? m_pLibrary->Add_Urco(static_cast<int>(nKey), copy) : 0;
}

int CYRPDataCtrl::DelUrco(UINT nKey) { return m_pLibrary->Del_Urco(static_cast<int>(nKey)); }

int CYRPDataCtrl::ReadData(const char* pszPath, T_YRP_DATA_D& data) { return m_pLibrary->ReadData(pszPath, data); }
