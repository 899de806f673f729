// File names and captions of a picture batch, checked against names written out by hand.
#include "dialogs/ResultPicNames.h"
#include "dialogs/ResultPicSetting.h"

#include "DBDoc.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PictureNames : public ::testing::Test {
protected:
    void SetUp() override
    {
        CDBBase* db = doc.GetPostDB();
        T_POSIF_D set;
        set.strName = "Set1";
        CClassPOsif(db).Set(1, set);
        T_PLSIF_D step;
        step.nOsifK = 1;
        step.strName = "Step2";
        CClassPLsif(db).Set(5, step);
        step.strName = "Stage 3: dig";
        CClassPLsif(db).Set(6, step);
        T_PVTIF_D row;
        row.nStepK = 5;
        row.strName = "DZ";
        CClassPVtif(db).Set(40, row);
        row.nStepK = 6;
        row.strName = "S/XX\\top";
        CClassPVtif(db).Set(41, row);
        s.Initialize();
    }
    std::string F(int i) const { return names[i].GetString(); }
    std::string C(int i) const { return captions[i].GetString(); }

    CDBDoc doc;
    T_RESULT_PIC_SETTING_D s;
    CStringArray names, captions;
};

TEST_F(PictureNames, ExampleWithPrefix)
{
    s.aCompKeys.Add(40);
    s.aViews[2] = 1;
    s.bDeformed = 1;
    ASSERT_TRUE(BuildResultPicNames(doc.GetPostDB(), s, "P", "dam", names, captions));
    ASSERT_EQ(names.GetSize(), 9);
    ASSERT_EQ(captions.GetSize(), 9);
    EXPECT_EQ(F(2), "P_dam_Set1_Step2_DZ_Front_Deformed");
    EXPECT_EQ(C(2), "Set1, Step2, DZ, Deformed Shape (Front View)");
    EXPECT_EQ(F(0), "");
    EXPECT_EQ(C(0), "Set1, Step2, DZ, Deformed Shape (Iso View)");
}

TEST_F(PictureNames, WithoutPrefixUndeformedHasNoShapeInCaption)
{
    s.aCompKeys.Add(40);
    s.aViews[8] = 1;
    ASSERT_TRUE(BuildResultPicNames(doc.GetPostDB(), s, "", "dam", names, captions));
    EXPECT_EQ(F(8), "dam_Set1_Step2_DZ_Current_Undeformed");
    EXPECT_EQ(C(8), "Set1, Step2, DZ (Current View)");
}

TEST_F(PictureNames, SeparatorsBecomeDashInFileNamesOnly)
{
    s.aCompKeys.Add(41);
    s.aViews[0] = 1;
    s.bDeformed = 1;
    s.bWithUndeformed = 1;
    ASSERT_TRUE(BuildResultPicNames(doc.GetPostDB(), s, "a:b", "m", names, captions));
    EXPECT_EQ(F(0), "a-b_m_Set1_Stage 3- dig_S-XX-top_Iso_Deformed+Undeformed");
    EXPECT_EQ(C(0), "Set1, Stage 3: dig, S/XX\\top, Deformed+Undeformed Shape (Iso View)");
}

TEST_F(PictureNames, EighteenEntriesWithSixNamesAndMissingRow)
{
    s.aCompKeys.Add(40);
    s.aCompKeys.Add(999); // no such row: empty parts, the batch goes on
    s.aViews[1] = s.aViews[4] = s.aViews[7] = 1;
    ASSERT_TRUE(BuildResultPicNames(doc.GetPostDB(), s, "", "m", names, captions));
    ASSERT_EQ(names.GetSize(), 18);
    int nNamed = 0;
    for (int i = 0; i < 18; ++i)
        nNamed += names[i].IsEmpty() ? 0 : 1;
    EXPECT_EQ(nNamed, 6);
    EXPECT_EQ(F(9 + 4), "m____Top_Undeformed");
    EXPECT_EQ(C(9 + 4), ", ,  (Top View)");
}

TEST_F(PictureNames, NoViewChosen)
{
    s.aCompKeys.Add(40);
    EXPECT_FALSE(BuildResultPicNames(doc.GetPostDB(), s, "", "m", names, captions));
    EXPECT_EQ(captions.GetSize(), 9);
}

} // namespace
