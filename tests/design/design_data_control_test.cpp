// The design-data control: common options with their defaults, keys handed out from 1 upward,
// lists stored in the library's units, and the exchange file's place.
#include "yrp_test_support.h"

#include "design/CYRPDataCtrl.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kvpvs::test;

namespace {

class DataControlTest : public ::testing::Test {
protected:
    LibraryFolder folder;
    CurrentDocument doc{2, 3}; // m, kN
    CYRPDataCtrl ctrl;
};

std::vector<UINT> Keys(CYRPDataCtrl& c)
{
    CArray<UINT, UINT> a;
    c.GetUrbeKeyList(a);
    return std::vector<UINT>(a.begin(), a.end());
}

void Store(CYRPDataCtrl& c, std::vector<UINT> keys)
{
    CArray<UINT, UINT> k;
    CArray<T_URBE_D, T_URBE_D&> r;
    for (UINT n : keys) {
        k.Add(n);
        T_URBE_D b;
        b.strName.Format("given %u", n);
        r.Add(b);
    }
    ASSERT_EQ(c.AddUrbeList(k, r), 1);
}

} // namespace

TEST_F(DataControlTest, FirstReadOfTheCommonOptionsStoresTheDefaults)
{
    T_UCOP_D u;
    EXPECT_EQ(ctrl.GetUcop(u), 0);
    EXPECT_EQ(u.strDesignCode, "KSCE-USD05");
    // 200000 N/mm^2 in the document's kN/m^2
    EXPECT_DOUBLE_EQ(u.matl[0].dValue40, 2e8);
    EXPECT_DOUBLE_EQ(u.matl[1].dValue48, 2e8);
    EXPECT_EQ(u.matl[0].dValue16, 0.003);
    EXPECT_EQ(u.matl[1].dValue24, 0.003);
    EXPECT_EQ(u.matl[2].dValue40, 0.0);
    T_UCOP_D again;
    EXPECT_EQ(ctrl.GetUcop(again), 1);
    EXPECT_EQ(again.strDesignCode, "KSCE-USD05");
    // What SetUcop stores in the document's units comes back in them.
    again.strDesignCode = "KCI-USD07";
    again.matl[2].dValue40 = 3e7;
    ASSERT_EQ(ctrl.SetUcop(again), 1);
    T_UCOP_D raw;
    ASSERT_EQ(ctrl.GetLibrary()->Get_Ucop(raw), 1);
    EXPECT_DOUBLE_EQ(raw.matl[2].dValue40, 30000.0); // N/mm^2
    T_UCOP_D back;
    ctrl.GetUcop(back);
    EXPECT_EQ(back.strDesignCode, "KCI-USD07");
    EXPECT_DOUBLE_EQ(back.matl[2].dValue40, 3e7);
}

TEST_F(DataControlTest, NewKeysFillTheFirstGap)
{
    Store(ctrl, {1, 2, 4});
    EXPECT_EQ(ctrl.GetUrbeNewKey(), 3u);
    EXPECT_EQ(ctrl.ExistUrbeKey(4), 1);
    EXPECT_EQ(ctrl.ExistUrbeKey(3), 0);
    // Each key 0 takes the smallest free key at the moment of its own store.
    Store(ctrl, {0, 0, 7, 0, 0});
    EXPECT_EQ(Keys(ctrl), (std::vector<UINT>{1, 2, 3, 4, 5, 6, 7, 8}));
    T_URBE_D r;
    ASSERT_EQ(ctrl.GetUrbe(6, r), 1);
    EXPECT_EQ(r.strName, "given 0");
    ASSERT_EQ(ctrl.GetUrbe(7, r), 1);
    EXPECT_EQ(r.strName, "given 7");
}

TEST_F(DataControlTest, ThreeRecordsWithoutKeysOnAnEmptyLibraryGetOneTwoThree)
{
    Store(ctrl, {0, 0, 0});
    EXPECT_EQ(Keys(ctrl), (std::vector<UINT>{1, 2, 3}));
    EXPECT_EQ(ctrl.GetUrbeNewKey(), 4u);
}

TEST_F(DataControlTest, MismatchedArraysStoreNothing)
{
    CArray<UINT, UINT> k;
    k.Add(0);
    k.Add(0);
    CArray<T_URBE_D, T_URBE_D&> r;
    T_URBE_D b;
    r.Add(b);
    EXPECT_EQ(ctrl.AddUrbeList(k, r), 0);
    EXPECT_TRUE(Keys(ctrl).empty());
    CArray<T_URWA_D, T_URWA_D&> w;
    EXPECT_EQ(ctrl.AddUrwaList(k, w), 0);
}

TEST_F(DataControlTest, RecordsAreStoredInTheLibrarysUnits)
{
    ctrl.GetLibrary()->Set_UnitIndex(1, 0); // cm, kgf
    CArray<UINT, UINT> k;
    k.Add(0);
    CArray<T_URBE_D, T_URBE_D&> r;
    T_URBE_D b;
    b.sect.SetRectangle(0.3, 0.5); // m
    b.matl.dValue[0] = 3e7;        // kN/m^2
    T_YRP_UNITLCOM c;
    c.dForce[0] = 10;              // kN
    c.dForce[3] = 4;               // kN m
    b.load.aLcom.Add(c);
    r.Add(b);
    ASSERT_EQ(ctrl.AddUrbeList(k, r), 1);
    T_URBE_D raw;
    ASSERT_EQ(ctrl.GetLibrary()->Get_Urbe(1, raw), 1);
    EXPECT_NEAR(raw.sect.dDim[0], 30.0, 1e-12);
    EXPECT_NEAR(raw.sect.dProp[0], Convert(0.15, 0, 2, 3, 2, 0, 1), 1e-9);
    EXPECT_NEAR(raw.matl.dValue[0], Convert(3e7, 1, -2, 3, 2, 0, 1), 1e-6);
    EXPECT_NEAR(raw.load.aLcom[0].dForce[0], Convert(10, 1, 0, 3, 2, 0, 1), 1e-9);
    EXPECT_NEAR(raw.load.aLcom[0].dForce[3], Convert(4, 1, 1, 3, 2, 0, 1), 1e-7);
    // and read back in the document's
    T_URBE_D back;
    ASSERT_EQ(ctrl.GetUrbe(1, back), 1);
    EXPECT_NEAR(back.sect.dDim[1], 0.5, 1e-15);
    EXPECT_NEAR(back.load.aLcom[0].dForce[3], 4.0, 1e-13);
}

TEST_F(DataControlTest, ExchangeFileLiesInTheProgramsTempFolder)
{
    ASSERT_FALSE(std::filesystem::exists(doc.dir.file("Temp")));
    CString path;
    ASSERT_EQ(ctrl.GetMediateFilePath(path, 0), 1);
    EXPECT_EQ(std::string(path.GetString()), doc.Program() + "Temp\\YRP.yrb");
    EXPECT_TRUE(std::filesystem::is_directory(doc.dir.file("Temp")));
    Store(ctrl, {0});
    ASSERT_EQ(ctrl.WriteMediateFile(0), 1);
    EXPECT_TRUE(std::filesystem::exists(doc.dir.file("Temp/YRP.yrb")));
    T_YRP_DATA_D d;
    ASSERT_EQ(ctrl.ReadData(path, d), 1);
    EXPECT_EQ(d.aUrbe.GetSize(), 1);
}

TEST_F(DataControlTest, ExchangeFilePerModelTakesTheModelsFolderAndName)
{
    CString path = "untouched";
    EXPECT_EQ(ctrl.GetMediateFilePath(path, 1), 0);
    EXPECT_EQ(path, "untouched");
    EXPECT_EQ(ctrl.WriteMediateFile(1), 0);
    EXPECT_TRUE(std::filesystem::is_empty(doc.dir.path()));

    const std::string model = doc.dir.folder("models") + "/pit.v2.kvr";
    doc.doc.SetPathName(model.c_str());
    ASSERT_EQ(ctrl.GetMediateFilePath(path, 1), 1);
    EXPECT_EQ(std::string(path.GetString()), doc.dir.path() + "/models/pit.v2.tyb");
    ASSERT_EQ(ctrl.WriteMediateFile(1), 1);
    EXPECT_TRUE(std::filesystem::exists(doc.dir.file("models/pit.v2.tyb")));
}

TEST_F(DataControlTest, WithoutADocumentNothingIsReadOrStored)
{
    CZORDocBase::SetCurDoc(nullptr);
    T_UCOP_D u;
    EXPECT_EQ(ctrl.GetUcop(u), 0);
    EXPECT_EQ(ctrl.SetUcop(u), 0);
    CArray<UINT, UINT> k;
    k.Add(0);
    CArray<T_URBE_D, T_URBE_D&> r;
    T_URBE_D b;
    r.Add(b);
    EXPECT_EQ(ctrl.AddUrbeList(k, r), 0);
    CString path;
    EXPECT_EQ(ctrl.GetMediateFilePath(path, 0), 0);
    EXPECT_EQ(ctrl.GetLibrary()->Exist_Ucop(), 0);
    EXPECT_EQ(ctrl.GetLibrary()->GetCount_Urbe(), 0);
}
