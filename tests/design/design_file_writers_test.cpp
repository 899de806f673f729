// The design text file's writers against its reader: plate files written with the writers of the
// plate/solid design dialog and read back with ReadDesignFile. Every plane and row reads back
// as the line it was written as, whatever its name; a row or plane with a number whose text
// would pass the reader's 128-character field is left out, and every other one reads back.
#include "design_test_support.h"

#include "design/CYRPC_DataTool.h"
#include "design/DesignTextFile.h"

#include "afxfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using namespace kvpvs::design;

namespace {

struct Row {
    std::string strName;
    unsigned int nStepK;
    T_FORCESUM_D sum;
};

struct PlaneData {
    T_LCLDIR_PLNE_KVR_D plane;
    CPointInfoMap mPoint;
    CPlateCellInfoMap mCell;
};

// A plate cut 1500 long along Z from origin o, its one cell 800 thick in concrete.
PlaneData Cut(const std::string& strName, double o)
{
    PlaneData d;
    d.plane.strName = strName.c_str();
    const double centre[3] = {o, 2 * o, 3 * o}, dir[3] = {0.6, 0.8, 0};
    for (int k = 0; k < 3; ++k) {
        d.plane.dCentre[k] = centre[k];
        d.plane.dXDir[k] = dir[k];
    }
    d.mPoint[0] = T_POINT_D{o, 2 * o, 3 * o};
    d.mPoint[1] = T_POINT_D{o, 2 * o, 3 * o + 1500};
    T_PLATE_CELL_D c;
    c.nPoint1Id = 0;
    c.nPoint2Id = 1;
    c.dThickness = 800;
    c.dElasticModulus = 30000;
    c.dPoissonRatio = 0.2;
    c.dWeightDensity = 2.5e-5;
    d.mCell[0] = c;
    return d;
}

T_FORCESUM_D Sum(double a) { return T_FORCESUM_D{a, a + 1, a + 2, a + 3, a + 4, a + 5}; }

constexpr double T_FORCESUM_D::*kComponent[6] = {&T_FORCESUM_D::FX, &T_FORCESUM_D::FY, &T_FORCESUM_D::FZ,
                                                 &T_FORCESUM_D::MX, &T_FORCESUM_D::MY, &T_FORCESUM_D::MZ};

class WrittenPlateFile : public ::testing::Test {
protected:
    // The plate variant as the dialog writes it, every plane with the same rows; the read's result.
    int WriteAndRead(const std::vector<PlaneData>& planes, const std::vector<Row>& rows, bool bStepWidth)
    {
        FILE* f = AfxTextFOpen(dir.file("KvrDesign.txt").c_str(), "wt");
        EXPECT_NE(f, nullptr);
        if (!f)
            return -1;
        WriteHeader(f, false);
        for (size_t i = 0; i < planes.size(); ++i) {
            std::fprintf(f, "*PLATEFORCESUM, count, %d\n", static_cast<int>(i) + 1);
            WritePlaneLine(f, planes[i].plane, static_cast<int>(i) + 1);
            WritePoints(f, planes[i].mPoint);
            WritePlateCells(f, planes[i].mCell);
            WriteForceSumTitle(f);
            for (const Row& r : rows)
                WriteForceSumRow(f, bStepWidth, r.strName.c_str(), r.nStepK, r.sum);
        }
        WriteEndData(f);
        std::fclose(f);
        return reader.ReadDesignFile(dir.file("KvrDesign.txt").c_str());
    }
    const T_YRP_CONVERT_TABLE_D& T() const { return reader.GetTables(); }
    kvpvs::testing::TempDir dir;
    CYRPC_DataTool reader;
};

TEST_F(WrittenPlateFile, EveryPlaneAndRowReadsBackUnderANameOfItsOwnKind)
{
    // Written name, key, name read back: a first '*' would make a keyword line, an empty field
    // a skipped line and a longer one a line of more fields.
    struct Named {
        std::string strWritten;
        unsigned int nKey;
        std::string strRead;
    };
    const std::vector<Named> steps = {
        {"Stage 1", 11, "Stage 1"},
        {"*Final", 12, "+Final"},
        {" **", 13, "+*"},
        {"*ENDDATA", 14, "+ENDDATA"},
        {"", 15, "Step 15"},
        {" \t ", 16, "Step 16"},
        {std::string(128, 'a'), 17, std::string(128, 'a')},
        {"  " + std::string(129, 'b'), 18, std::string(128, 'b')},
        {std::string(300, 'c'), 19, std::string(128, 'c')},
        {std::string(127, 'd') + "\xC3\xA9", 20, std::string(127, 'd')}, // a UTF-8 character stays whole
        {"Stage 21\nrevised", 21, "Stage 21 revised"},
    };
    const std::vector<Named> planes = {
        {"*P1", 1, "+P1"}, {" ", 2, "Plane 2"}, {std::string(200, 'p'), 3, std::string(128, 'p')}};
    std::vector<Row> rows;
    for (const Named& s : steps)
        rows.push_back({s.strWritten, s.nKey, Sum(s.nKey)});
    for (const bool bStepWidth : {true, false}) {
        std::vector<PlaneData> written;
        for (const Named& p : planes)
            written.push_back(Cut(p.strWritten, 10.0 * p.nKey));
        ASSERT_EQ(WriteAndRead(written, rows, bStepWidth), 1);
        ASSERT_EQ(T().mPlane.GetCount(), static_cast<int>(planes.size()));
        for (int i = 0; i < T().mPlane.GetCount(); ++i) {
            const T_YRP_CONVERT_PLANE* p = T().mPlane.PLookup(i + 1);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->strName, planes[i].strRead.c_str());
            EXPECT_EQ(p->dPlane[2], 30.0 * planes[i].nKey) << "origin Z";
            EXPECT_EQ(p->dPlane[4], 0.8) << "direction Y";
            EXPECT_EQ(p->mPoint.GetCount(), 2);
            EXPECT_EQ(p->mCell.GetCount(), 1);
            ASSERT_EQ(p->aForceSum.GetSize(), static_cast<int>(steps.size())) << planes[i].strRead;
            for (int r = 0; r < p->aForceSum.GetSize(); ++r) {
                EXPECT_EQ(p->aForceSum[r].strName, steps[r].strRead.c_str());
                EXPECT_EQ(p->aForceSum[r].dSum[5], steps[r].nKey + 5.0);
            }
        }
    }
}

TEST_F(WrittenPlateFile, ARowOrPlaneWhoseNumberPassesAFieldIsLeftOutAndEveryOtherReadsBack)
{
    // "%.3f" of 9.99e123 has 124 digits and ".000": 128 characters; its negative 129.
    const std::vector<std::pair<double, bool>> values = {{1e120, true},      {-1e120, true},   {9.99e123, true},
                                                         {-9.99e123, false}, {1e125, false},   {1e130, false},
                                                         {1e200, false},     {-1.7e308, false}};
    std::vector<Row> rows;
    std::vector<const Row*> kept;
    for (size_t i = 0; i < values.size(); ++i) {
        T_FORCESUM_D s = Sum(static_cast<double>(i));
        s.*kComponent[i % 6] = values[i].first;
        rows.push_back({"Stage " + std::to_string(i), static_cast<unsigned int>(i), s});
    }
    for (size_t i = 0; i < values.size(); ++i)
        if (values[i].second)
            kept.push_back(&rows[i]);

    PlaneData far = Cut("Far", 1);
    far.mPoint[1] = T_POINT_D{9.99e123, 1, -1e120};
    T_PLATE_CELL_D c = far.mCell[0];
    c.dElasticModulus = 1e130;
    far.mCell[1] = c;
    c.dElasticModulus = 9.99e123;
    far.mCell[2] = c;
    const std::vector<std::pair<double, double>> beyond = {{-9.99e123, 0.0}, {1e200, 0.0}, {0.0, 1e125}};
    for (const auto& [x, z] : beyond) {
        PlaneData d = Cut("Beyond", 1);
        d.mPoint[1].X = x;
        d.plane.dCentre[2] = z;
        EXPECT_FALSE(PlaneIsWritable(d.plane, d.mPoint)) << "point X " << x << ", origin Z " << z;
    }
    ASSERT_TRUE(PlaneIsWritable(far.plane, far.mPoint));

    ASSERT_EQ(WriteAndRead({far}, rows, true), 1);
    ASSERT_EQ(T().mPlane.GetCount(), 1);
    const T_YRP_CONVERT_PLANE& p = *T().mPlane.PLookup(1);
    EXPECT_EQ(p.mPoint.PLookup(2)->X, 9.99e123);
    EXPECT_EQ(p.mPoint.PLookup(2)->Z, -1e120);
    ASSERT_EQ(p.mCell.GetCount(), 2);
    EXPECT_EQ(p.mCell.PLookup(1)->dElasticModulus, 30000.0);
    EXPECT_EQ(p.mCell.PLookup(3)->dElasticModulus, 9.99e123) << "cell 2 is left out";
    ASSERT_EQ(p.aForceSum.GetSize(), static_cast<int>(kept.size()));
    for (size_t k = 0; k < kept.size(); ++k) {
        const T_YRP_CONVERT_FORCESUM& r = p.aForceSum[static_cast<int>(k)];
        EXPECT_EQ(r.strName, kept[k]->strName.c_str());
        for (int j = 0; j < 6; ++j)
            EXPECT_EQ(r.dSum[j], kept[k]->sum.*kComponent[j]) << kept[k]->strName << " component " << j;
    }
}

} // namespace
