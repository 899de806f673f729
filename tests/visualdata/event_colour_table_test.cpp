// Event colour table and legend: state colours against the HSV closed form, counting and
// shares, and the legend's drawing as the recording tool set sees it.
#include "visualdata/CPVSColorTableEvent.h"
#include "visualdata/CPVSLegendObjectEvent.h"

#include "PostVisualState.h"
#include "ZORDocBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Rgb {
    float r, g, b;
};

Rgb Colour(CPVSColorTableEvent& t, double v, int bCount = 1)
{
    Rgb c{-1.0f, -1.0f, -1.0f};
    EXPECT_EQ(t.GetColByVal(v, c.r, c.g, c.b, 0, bCount), 1);
    return c;
}

void ExpectColour(const Rgb& c, double r, double g, double b)
{
    EXPECT_NEAR(c.r, r, 1e-6);
    EXPECT_NEAR(c.g, g, 1e-6);
    EXPECT_NEAR(c.b, b, 1e-6);
}

class EventColourTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        table.Generate(-5.0, 7.0, 10, 1, 0, 0);
        table.BeginPercent();
    }
    CPVSColorTableEvent table;
};

} // namespace

// Hues from 2/3 down to 0 at full saturation and value: blue, a green-cyan, a green-yellow,
// red (the inner two lie where the table's ramp puts them) - whatever range Generate gets.
TEST_F(EventColourTable, StatesTakeTheHuesOfTheRainbowTableFromBlueToRed)
{
    ExpectColour(Colour(table, 0.0), 0.0, 0.0, 1.0);
    const Rgb crack = Colour(table, 1.0);
    EXPECT_EQ(crack.r, 0.0f);
    EXPECT_EQ(crack.g, 1.0f);
    EXPECT_GT(crack.b, 0.0f);
    EXPECT_LT(crack.b, 1.0f);
    const Rgb yielding = Colour(table, 2.0);
    EXPECT_GT(yielding.r, 0.0f);
    EXPECT_LT(yielding.r, 1.0f);
    EXPECT_EQ(yielding.g, 1.0f);
    EXPECT_EQ(yielding.b, 0.0f);
    ExpectColour(Colour(table, 3.0), 1.0, 0.0, 0.0);
    ExpectColour(Colour(table, -0.0), 0.0, 0.0, 1.0);
}

TEST_F(EventColourTable, ValuesWithoutAStateAreGreyAndNotCounted)
{
    for (double v : {-1.0, 1.5, 4.0, 1.0 + 1e-15})
        ExpectColour(Colour(table, v), 0.7, 0.7, 0.7);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(table.GetPercentByIndex(i), 0.0) << i;
}

TEST_F(EventColourTable, SharesAreOverCountedValuesOnly)
{
    for (double v : {0.0, 0.0, 1.0, 3.0, 3.0, 3.0, 3.0, -1.0, 1.5})
        Colour(table, v);
    Colour(table, 2.0, 0); // coloured without counting
    EXPECT_DOUBLE_EQ(table.GetPercentByIndex(0), 2.0 / 7.0);
    EXPECT_DOUBLE_EQ(table.GetPercentByIndex(1), 1.0 / 7.0);
    EXPECT_DOUBLE_EQ(table.GetPercentByIndex(2), 0.0);
    EXPECT_DOUBLE_EQ(table.GetPercentByIndex(3), 4.0 / 7.0);
    EXPECT_EQ(table.GetPercentByIndex(4), 0.0);
    EXPECT_EQ(table.GetPercentByIndex(-1), 0.0);
    table.BeginPercent();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(table.GetPercentByIndex(i), 0.0) << "a new count starts empty";
}

TEST(EventColourTableCounts, CountingBeforeAnyBeginGivesNoShares)
{
    CPVSColorTableEvent t;
    t.Generate(0, 0, 0, 1, 0, 0);
    Rgb c{};
    t.GetColByVal(1.0, c.r, c.g, c.b, 0, 1);
    EXPECT_EQ(t.GetPercentByIndex(1), 0.0);
}

TEST(EventColourTableModes, GreyScaleAndUserColours)
{
    CPVSColorTableEvent grey;
    grey.Generate(0, 0, 0, 2, 0, 0);
    Rgb c = Colour(grey, 0.0);
    ExpectColour(c, 1.0, 1.0, 1.0);
    const Rgb c1 = Colour(grey, 1.0);
    c = Colour(grey, 3.0);
    EXPECT_EQ(c.r, c.g);
    EXPECT_EQ(c.g, c.b);
    EXPECT_GT(c.r, 0.0f);
    EXPECT_LT(c.r, c1.r) << "the grey scale darkens towards crushing";
    EXPECT_EQ(c1.r, c1.b);

    T_PVIST_ALL_D* pVS = CPostVisualState::Instance()->GetCurrentPA();
    pVS->aUserColors = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00808080};
    CPVSColorTableEvent user;
    EXPECT_EQ(user.MakeLookupTable(5, 4), 1);
    user.Generate(0, 0, 0, 5, 0, 0);
    ExpectColour(Colour(user, 0.0), 1.0, 0.0, 0.0);
    ExpectColour(Colour(user, 2.0), 0.0, 0.0, 1.0);
    ExpectColour(Colour(user, 3.0), 128.0 / 255.0, 128.0 / 255.0, 128.0 / 255.0);
    pVS->aUserColors = {0x000000FF};
    CPVSColorTableEvent wrong;
    EXPECT_EQ(wrong.MakeLookupTable(5, 4), 0);
    pVS->aUserColors.clear();
}

namespace {

class EventLegend : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = *CPostVisualState::Instance()->GetCurrentPA();
        T_PVIST_ALL_D* pVS = CPostVisualState::Instance()->GetCurrentPA();
        pVS->nLegendWidth = 180;
        pVS->nLegendHeight = 150;
        pVS->nLegendTop = 40;
        pVS->dLegendRatioX = 0.5;
        pVS->dLegendRatioY = 0.25;
        pVS->nLegendBkMode = 2;
        pVS->bLegend = 1;
        table.Generate(0, 0, 0, 1, 0, 0);
        table.BeginPercent();
        for (double v : {0.0, 1.0, 1.0, 3.0})
            Colour(table, v);
        view.MoveWindow(0, 0, 1000, 700);
        doc.SetActiveView(&view);
        doc.SetCurPostColorTable(&table);
        CZORDocBase::SetCurDoc(&doc);
    }
    void TearDown() override
    {
        CZORDocBase::SetCurDoc(nullptr);
        T_PVIST_ALL_D* pVS = CPostVisualState::Instance()->GetCurrentPA();
        pVS->nLegendWidth = saved.nLegendWidth;
        pVS->nLegendHeight = saved.nLegendHeight;
        pVS->nLegendTop = saved.nLegendTop;
        pVS->dLegendRatioX = saved.dLegendRatioX;
        pVS->dLegendRatioY = saved.dLegendRatioY;
        pVS->nLegendBkMode = saved.nLegendBkMode;
        pVS->bLegend = saved.bLegend;
        pVS->bLegendPercent = saved.bLegendPercent;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> r;
        for (const std::string& s : tools.m_aCalls)
            if (s.rfind("TextToWindow", 0) == 0)
                r.push_back(s);
        return r;
    }
    bool Has(const std::string& call) const
    {
        return std::find(tools.m_aCalls.begin(), tools.m_aCalls.end(), call) != tools.m_aCalls.end();
    }
    T_PVIST_ALL_D saved;
    CPVSColorTableEvent table;
    CView view;
    CZORDocBase doc;
    XGL_ToolSet tools;
};

} // namespace

// W = 180, so L = 51: bands from x 1 to 72, names at 127, shares at 74; the reference point
// is (180 + 820 x 0.5, 660 x 0.25 + 40 + 11) = (590, 216).
TEST_F(EventLegend, PercentsOnGiveSharesAndNamesTopDown)
{
    CPostVisualState::Instance()->GetCurrentPA()->bLegendPercent = 1;
    CPVSLegendObjectEvent legend(&tools);
    legend.Draw();
    EXPECT_TRUE(Has("Begin2D_Local_FromRT 590 216"));
    EXPECT_TRUE(Has("SetVirtualViewport 0 0 800 600"));
    EXPECT_TRUE(Has("DrawRectFill -6 -12 181 195")) << "background over the raised height";
    EXPECT_TRUE(Has("DrawRectFill 1 0 72 20"));
    EXPECT_TRUE(Has("DrawRect 1 60 72 80"));
    EXPECT_TRUE(Has("DrawLine 72 80 110 80"));
    const std::vector<std::string> expected = {
        "TextToWindow 74 13 [ 25.0%]", "TextToWindow 127 13 [Crushing]", "TextToWindow 74 33 [ 0.0%]",
        "TextToWindow 127 33 [Yielding]", "TextToWindow 74 53 [ 50.0%]", "TextToWindow 127 53 [Crack]",
        "TextToWindow 74 73 [ 25.0%]", "TextToWindow 127 73 [Elastic]"};
    EXPECT_EQ(Texts(), expected);
    EXPECT_EQ(CPostVisualState::Instance()->GetCurrentPA()->nLegendHeight, 200);
    EXPECT_EQ(tools.m_aCalls.back(), "DrawFileUnitSet");
    EXPECT_EQ(tools.m_aCalls.front(), "BeginText Times-Roman 15");
}

TEST_F(EventLegend, PercentsOffDrawOnlyBandsLinesAndNames)
{
    CPostVisualState::Instance()->GetCurrentPA()->bLegendPercent = 0;
    CPostVisualState::Instance()->GetCurrentPA()->nLegendBkMode = 1;
    CPVSLegendObjectEvent legend(&tools);
    CPVSLegendObjectEvent copy(legend);
    copy.Draw();
    const std::vector<std::string> expected = {"TextToWindow 127 13 [Crushing]", "TextToWindow 127 33 [Yielding]",
                                               "TextToWindow 127 53 [Crack]", "TextToWindow 127 73 [Elastic]"};
    EXPECT_EQ(Texts(), expected);
    EXPECT_FALSE(Has("DrawRectFill -6 -12 181 195")) << "no background in mode 1";
}

TEST_F(EventLegend, LegendSwitchOffOrNoTableDrawsOnlyTheFileBlock)
{
    CPostVisualState::Instance()->GetCurrentPA()->bLegend = 0;
    CPVSLegendObjectEvent legend(&tools);
    legend.Draw();
    EXPECT_EQ(tools.m_aCalls, std::vector<std::string>{"DrawFileUnitSet"});
    CPostVisualState::Instance()->GetCurrentPA()->bLegend = 1;
    tools.m_aCalls.clear();
    doc.SetCurPostColorTable(nullptr);
    legend.Draw();
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(tools.m_aCalls.back(), "DrawFileUnitSet");
}
