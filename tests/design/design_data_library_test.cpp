// Design records and the design program's data library as the module drives it: what a cleared
// record holds, that copies own their texts and arrays, the library's stores shared by its loads
// and dropped with the last, its exchange file, and a library missing or missing exports.
#include "yrp_test_support.h"

#include "HexDouble.h"
#include "design/CYRPC_DataBaseManager.h"
#include "design/YRPRecords.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>

using namespace kvpvs::test;

namespace {

T_URBE_D BeamWithLoads(const char* pszName, int nCases)
{
    T_URBE_D r;
    r.strName = pszName;
    r.sect.strName = "SB";
    r.sect.SetRectangle(300, 600);
    for (int i = 0; i < nCases; ++i) {
        T_YRP_UNITLCOM c;
        c.nType = 1;
        c.nSubType = 1;
        c.strName.Format("LC%d(I)", i);
        c.dForce[0] = 10.0 * (i + 1);
        c.dForce[5] = -2.5 * (i + 1);
        r.load.aLcom.Add(c);
    }
    return r;
}

} // namespace

TEST(DesignRecords, ClearedRecordsHoldTheDesignProgramsDefaults)
{
    const T_YRP_UNIT_INDEX_PAIR u;
    EXPECT_EQ((std::vector<int>{u.nHeader[0], u.nHeader[1], u.nLength, u.nForce, u.nSpare[0], u.nSpare[1]}),
              (std::vector<int>{1, 1, 0, 2, 0, 0}));
    T_URBE_D b = BeamWithLoads("x", 2);
    b.Initialize();
    EXPECT_TRUE(b.strName.IsEmpty());
    EXPECT_EQ(b.rbar.nType, 1);
    EXPECT_EQ(b.load.nType, 1);
    EXPECT_EQ(b.load.nFlag120, 1);
    EXPECT_EQ(b.load.aLcom.GetSize(), 0);
    EXPECT_EQ((std::vector<int>(b.nValue1448, b.nValue1448 + 8)), (std::vector<int>{1, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(b.sect.dProp[0], 0.0);
    T_URWA_D w;
    w.nValue588 = 7;
    w.Initialize();
    EXPECT_EQ(w.nValue588, 3);
    EXPECT_EQ(w.rbar.nType, 1);
    EXPECT_EQ(w.tail.nValue0, 0);
    EXPECT_EQ(w.tail.dValue8, 0.08);
    EXPECT_EQ(w.tail.nValue16, 1);
    EXPECT_EQ(w.tail.nValue20, 0);
    EXPECT_EQ(w.tail.nValue24, 1);
    EXPECT_EQ(w.tail.dValue32, 0.5);
    EXPECT_EQ(w.tail.nValue40, 1);
    T_UCOP_D c;
    c.matl[1].nValue60 = 3;
    c.Initialize();
    for (const T_YRP_MATL_BLOCK_D& m : {c.matl[0], c.matl[1], c.matl[2], c.extra.matl}) {
        EXPECT_EQ((std::vector<int>{m.nFlag0, m.nFlag4, m.nFlag8, m.nFlag32, m.nFlag56, m.nValue60, m.nValue64}),
                  (std::vector<int>{1, 0, 1, 1, 1, 50, 24}));
        EXPECT_EQ(m.dRatio72, 0.01);
        EXPECT_EQ(m.dValue40, 0.0);
    }
    EXPECT_EQ(T_URWA_UNITLCOM().dFactor, 1.0);
}

TEST(DesignRecords, CopiesOwnTheirTextsAndArrays)
{
    T_URBE_D a = BeamWithLoads("Elem_1", 3);
    T_YRP_GSEC_POLYGON hole;
    T_YRP_GSEC_VERTEX v{1, 2};
    hole.aVertex.Add(v);
    a.sect.aInner.Add(hole);
    T_URBE_D b(a);
    b.strName = "changed";
    b.load.aLcom[1].strName = "other";
    b.load.aLcom[1].dForce[0] = 99;
    b.load.aLcom.RemoveAt(2);
    b.sect.aInner[0].aVertex[0].x = 7;
    EXPECT_EQ(a.strName, "Elem_1");
    ASSERT_EQ(a.load.aLcom.GetSize(), 3);
    EXPECT_EQ(a.load.aLcom[1].strName, "LC1(I)");
    EXPECT_EQ(a.load.aLcom[1].dForce[0], 20.0);
    EXPECT_EQ(a.sect.aInner[0].aVertex[0].x, 1.0);
    T_URBE_D c;
    c = a;
    EXPECT_EQ(c.load.aLcom.GetSize(), 3);
    EXPECT_EQ(c.load.aLcom[2].dForce[5], -7.5);
}

TEST(DesignRecords, SectionAssignmentTakesItsLastSevenFromTheProperties)
{
    // As the design program's assignment does: not a copy of the source's own last seven.
    T_YRP_SECT_D s;
    s.SetRectangle(2, 3);
    s.dProp184[0] = 42;
    T_YRP_SECT_D t;
    t = s;
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(t.dProp184[i], s.dProp[i]) << i;
    // b = 2, h = 3: area 6, b^3 h / 12 = 2, h^3 b / 12 = 4.5, ratios 1/3 and 3/4, h/2, b/2
    EXPECT_EQ((std::vector<double>(s.dProp, s.dProp + 7)), (std::vector<double>{6, 2.0 / 6, 4.5 / 6, 2, 4.5, 1.5, 1}));
}

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override { Win32ClearMessageBoxJournal(); }
    LibraryFolder folder;
    kvpvs::testing::TempDir dir{"kvpvs_yrplib"};
};

TEST_F(LibraryTest, StoresAreSharedByEveryLoadAndDroppedWithTheLast)
{
    const int nLoadsBefore = Win32LoadedLibraryCount();
    {
        CYRPC_DataBaseManager first;
        ASSERT_TRUE(first.IsLoaded());
        T_URBE_D r = BeamWithLoads("Elem_7", 2);
        EXPECT_EQ(first.Add_Urbe(7, r), 1);
        {
            CYRPC_DataBaseManager second;
            EXPECT_EQ(Win32LoadedLibraryCount(), nLoadsBefore + 2);
            T_URBE_D back;
            EXPECT_EQ(second.Get_Urbe(7, back), 1);
            EXPECT_EQ(back.strName, "Elem_7");
            EXPECT_EQ(back.load.aLcom.GetSize(), 2);
        }
        EXPECT_EQ(first.Exist_Urbe(7), 1);
        EXPECT_EQ(first.GetCount_Urbe(), 1);
    }
    EXPECT_EQ(Win32LoadedLibraryCount(), nLoadsBefore);
    CYRPC_DataBaseManager again;
    EXPECT_EQ(again.Exist_Urbe(7), 0);
    EXPECT_EQ(again.GetCount_Urbe(), 0);
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

TEST_F(LibraryTest, KeyListFillsTheCallersArrayAndUnitsStartInMillimetresAndNewtons)
{
    CYRPC_DataBaseManager lib;
    T_URWA_D w;
    for (int k : {5, 2, 9})
        ASSERT_EQ(lib.Add_Urwa(k, w), 1);
    EXPECT_EQ(lib.Add_Urwa(0, w), 0);
    CArray<UINT, UINT> keys;
    keys.Add(77);
    ASSERT_EQ(lib.GetKeyList_Urwa(keys), 1);
    std::vector<UINT> v(keys.begin(), keys.end());
    std::sort(v.begin(), v.end());
    EXPECT_EQ(v, (std::vector<UINT>{2, 5, 9}));
    int a = -1, b = -1;
    ASSERT_EQ(lib.Get_UnitIndex(a, b), 1);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 2);
    lib.Set_UnitIndex(3, 4);
    lib.Get_UnitIndex(a, b);
    EXPECT_EQ(a, 3);
    EXPECT_EQ(b, 4);
}

TEST_F(LibraryTest, ARecordOfAnotherSizeLeavesTheFlagClear)
{
    CYRPC_DataBaseManager lib;
    void* h = dlopen((std::string(KVPVS_YRP_FOLDER) + "NQD_YrpDataBase.dll").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(h, nullptr);
    using PFN_ADD = void (*)(int, void*, int, int*);
    auto add = reinterpret_cast<PFN_ADD>(dlsym(h, "Add_Urbe"));
    ASSERT_NE(add, nullptr);
    T_URBE_D r;
    int ok = 5;
    add(3, &r, static_cast<int>(sizeof(T_URBE_D)) - 8, &ok);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(lib.Exist_Urbe(3), 0);
    add(3, &r, static_cast<int>(sizeof(T_URBE_D)), &ok);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(lib.Exist_Urbe(3), 1);
    dlclose(h);
}

TEST_F(LibraryTest, ExchangeFileReadsBackEveryStoredRecord)
{
    const std::string path = dir.file("Temp\\YRP.yrb");
    std::filesystem::create_directories(dir.file("Temp"));
    CYRPC_DataBaseManager lib;
    T_UCOP_D ucop;
    ucop.strDesignCode = "KCI-USD07";
    ucop.matl[2].dValue40 = 123.25;
    ASSERT_EQ(lib.Add_Ucop(ucop), 1);
    T_URBE_D b = BeamWithLoads("Elem, with comma\nand line", 2);
    b.common.data[511] = 0xAB;
    b.sect.dProp[4] = 1.0 / 3.0;
    ASSERT_EQ(lib.Add_Urbe(4, b), 1);
    T_URWA_D w;
    w.strName = "Plane 1";
    T_URWA_UNITLCOM l;
    l.strName = "Stage 2";
    l.dDesignForce[3] = -1e-300;
    w.load.aLcom.Add(l);
    ASSERT_EQ(lib.Add_Urwa(2, w), 1);
    lib.Set_UnitIndex(2, 3);
    ASSERT_EQ(lib.WriteData(path.c_str()), 1);
    // The path as the module passes it, with a backslash: the file lies in the Temp folder.
    ASSERT_TRUE(std::filesystem::exists(dir.file("Temp/YRP.yrb")));

    T_YRP_DATA_D d;
    ASSERT_EQ(lib.ReadData(path.c_str(), d), 1);
    EXPECT_EQ(d.nHeader[1], 2);
    EXPECT_EQ(d.nHeader[2], 3);
    EXPECT_EQ(d.ucop.strDesignCode, "KCI-USD07");
    EXPECT_EQ(d.ucop.matl[2].dValue40, 123.25);
    ASSERT_EQ(d.aUrbeK.GetSize(), 1);
    EXPECT_EQ(d.aUrbeK[0], 4u);
    EXPECT_EQ(d.aUrbe[0].strName, "Elem, with comma\nand line");
    EXPECT_EQ(d.aUrbe[0].common.data[511], 0xAB);
    EXPECT_EQ(d.aUrbe[0].sect.dProp[4], 1.0 / 3.0);
    EXPECT_EQ(d.aUrbe[0].load.aLcom[1].dForce[5], -5.0);
    ASSERT_EQ(d.aUrwa.GetSize(), 1);
    EXPECT_EQ(d.aUrwa[0].load.aLcom[0].strName, "Stage 2");
    EXPECT_EQ(d.aUrwa[0].load.aLcom[0].dDesignForce[3], -1e-300);
    EXPECT_EQ(d.aUrco.GetSize(), 0);
}

// The exchange file's doubles are written byte for byte as the C library's "%a" writes them.
TEST(ExchangeFile, DoublesAreWrittenAsPrintfWritesThemInHexadecimal)
{
    int nWrong = 0;
    std::string strFirst;
    auto check = [&](uint64_t u) {
        const double d = std::bit_cast<double>(u);
        char want[64], got[YrpArchive::kHexDoubleMax];
        std::snprintf(want, sizeof want, "%a", d);
        const std::string s(got, static_cast<size_t>(YrpArchive::WriteHexDouble(d, got)));
        if (s != want && nWrong++ == 0)
            strFirst = s + " for " + want;
    };
    // Every exponent (zeros, subnormals, infinities and NaNs among them), both signs, with
    // fractions trimmed to each length from none to all thirteen digits.
    for (uint64_t e = 0; e <= 0x7ff; ++e)
        for (uint64_t sign : {uint64_t{0}, uint64_t{1} << 63})
            for (int k = 0; k <= 13; ++k) {
                const uint64_t m = k == 13 ? 0 : uint64_t{1} << (4 * k);
                check(sign | e << 52 | m);
                check(sign | e << 52 | (m ? (uint64_t{1} << 52) - m : 0xfffffffffffff));
            }
    std::mt19937_64 rng(20240531);
    for (int i = 0; i < 250000; ++i) {
        const uint64_t u = rng();
        check(u);
        check(u & 0x800fffffffffffffull); // a subnormal
    }
    EXPECT_EQ(nWrong, 0) << strFirst;
}

TEST_F(LibraryTest, DamagedExchangeFileReadsAsNothing)
{
    CYRPC_DataBaseManager lib;
    T_URBE_D b = BeamWithLoads("Elem_1", 4);
    lib.Add_Urbe(1, b);
    const std::string path = dir.file("YRP.yrb");
    ASSERT_EQ(lib.WriteData(path.c_str()), 1);
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    T_YRP_DATA_D d;
    for (size_t cut : {bytes.size() / 2, bytes.size() - 5, size_t{3}}) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes.substr(0, cut);
        EXPECT_EQ(lib.ReadData(path.c_str(), d), 0) << cut;
        EXPECT_EQ(d.aUrbe.GetSize(), 0);
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "NQD_YRPDATA 99\n";
    EXPECT_EQ(lib.ReadData(path.c_str(), d), 0);
    EXPECT_EQ(lib.ReadData(dir.file("none.yrb").c_str(), d), 0);
    EXPECT_EQ(lib.WriteData(""), 0);
}

TEST_F(LibraryTest, MissingLibraryIsReportedOnceAndEveryCallGivesNothing)
{
    LibraryFolder empty(dir.path().c_str());
    CYRPC_DataBaseManager lib;
    EXPECT_FALSE(lib.IsLoaded());
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, "Can't Find NQD_YrpDataBase.dll");
    T_URBE_D r;
    T_UCOP_D u;
    CArray<UINT, UINT> keys;
    int a = 9, b = 9;
    EXPECT_EQ(lib.Initialize(), 0);
    EXPECT_EQ(lib.Add_Urbe(1, r), 0);
    EXPECT_EQ(lib.Get_Urbe(1, r), 0);
    EXPECT_EQ(lib.Get_Ucop(u), 0);
    EXPECT_EQ(lib.GetKeyList_Urbe(keys), 0);
    EXPECT_EQ(lib.Get_UnitIndex(a, b), 0);
    EXPECT_EQ(lib.WriteData(dir.file("x.yrb").c_str()), 0);
    EXPECT_EQ(lib.ConvertUnit_Urbe(&r, 0, 2, 0, 0, 2, 3, 0, 0), 0);
    lib.DelAll_Data(0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.yrb")));
    EXPECT_EQ(Win32MessageBoxCount(), 1);
}

TEST_F(LibraryTest, MissingExportsGiveNothingWhileTheOthersWork)
{
    LibraryFolder partial(KVPVS_PARTIAL_YRP_FOLDER);
    CYRPC_DataBaseManager lib;
    ASSERT_TRUE(lib.IsLoaded());
    EXPECT_EQ(lib.Get_Version(), 7);
    T_URBE_D r;
    T_UCOP_D u;
    CArray<UINT, UINT> keys;
    EXPECT_EQ(lib.Add_Urbe(1, r), 0);
    EXPECT_EQ(lib.Exist_Urbe(1), 0);
    EXPECT_EQ(lib.Get_Ucop(u), 0);
    EXPECT_EQ(lib.GetKeyList_Urbe(keys), 0);
    EXPECT_EQ(lib.WriteData(dir.file("x.yrb").c_str()), 0);
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}
