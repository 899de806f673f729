// Settings records as the factory copies them, and the force-sum records' value semantics.
#include "core/ForceSumRecords.h"
#include "frame/IFactoryPVSImpl.h"
#include "visualdata/PVSUserDefRecords.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

template <class R>
std::unique_ptr<R> Copy(IFactoryPVSImpl& f, int type, R* src)
{
    T_VD_USERDEF_DATA* p = f.CreateAndCopyUserDefModeData(type, src);
    auto* r = dynamic_cast<R*>(p);
    if (!r)
        delete p;
    return std::unique_ptr<R>(r);
}

TEST(SettingsRecordCopy, ForceSumRecordIsDeepAndIndependent)
{
    IFactoryPVSImpl f;
    T_VD_LCLDIRSUM_HOB_D src;
    src.Initialize();
    T_PVIST_PLNE_D plane;
    plane.dNormal[0] = 1;
    src.aPlane.Add(plane);
    T_VD_LCLDIRSUM_HOB_BASE_D axis;
    axis.strName = "wall";
    axis.dAxis[1][1] = 1;
    src.aAxis.Add(axis);
    src.nCutKind = 1;
    src.nCompCount = 12;
    src.nCompPVtifK[11] = 93;

    auto copy = Copy(f, 8, &src);
    ASSERT_TRUE(copy);
    src.aAxis[0].strName = "changed";
    src.aPlane[0].dNormal[0] = 5;
    src.nCompPVtifK[11] = 0;
    EXPECT_EQ(copy->aAxis[0].strName, "wall");
    EXPECT_EQ(copy->aPlane[0].dNormal[0], 1);
    EXPECT_EQ(copy->aAxis[0].dAxis[1][1], 1);
    EXPECT_EQ(copy->nCompPVtifK[11], 93);
    EXPECT_EQ(copy->nCompCount, 12);
    EXPECT_EQ(copy->bIncludeText, 1);
}

TEST(SettingsRecordCopy, NullSourceGivesInitialisedRecords)
{
    IFactoryPVSImpl f;
    auto path = Copy<T_VD_FLOWPATH_WPLKVR_D>(f, 1, nullptr);
    ASSERT_TRUE(path);
    EXPECT_EQ(path->dTubeScale, 1.0);
    EXPECT_EQ(path->nLineWidth, 1);
    EXPECT_EQ(path->dStepOption, 0.2);
    EXPECT_EQ(path->bMarksOn, 1);
    EXPECT_EQ(path->nDivisions, 5);
    EXPECT_EQ(path->aStartX.GetSize(), 0);

    auto fos = Copy<T_VD_FOS_TVCKVR_D>(f, 11, nullptr);
    ASSERT_TRUE(fos);
    EXPECT_EQ(fos->nLabelSizeLevel, 2);
    EXPECT_EQ(fos->nLineWidth, 2);
    EXPECT_EQ(fos->nColor, 255u);

    auto kvr = Copy<T_VD_LCLDIRSUM_KVR_D>(f, 12, nullptr);
    ASSERT_TRUE(kvr);
    EXPECT_EQ(kvr->bAppend, 1);
    EXPECT_EQ(kvr->bEditor, 1);
    EXPECT_EQ(kvr->dArrowScale, 1.0);
    EXPECT_EQ(kvr->bIncludeText, 0);

    auto grid = Copy<T_VD_PROFGRID_D>(f, 5, nullptr);
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->GridIdx.aIdx.GetSize(), 0);
}

TEST(SettingsRecordCopy, TypeTable)
{
    IFactoryPVSImpl f;
    T_VD_HISTPLOT_TVCKVR_D hist;
    hist.m_nAcasKey = 4;
    hist.m_nTimeStep = 17;
    for (int type : {3, 6, 7}) {
        auto c = Copy(f, type, &hist);
        ASSERT_TRUE(c) << type;
        EXPECT_EQ(c->m_nTimeStep, 17);
        EXPECT_EQ(c->m_nAcasKey, 4u);
    }
    T_VD_NONE_D none;
    std::unique_ptr<T_VD_USERDEF_DATA> n(f.CreateAndCopyUserDefModeData(0, &none));
    EXPECT_TRUE(dynamic_cast<T_VD_NONE_D*>(n.get()));
    T_VD_FLOWDISC_WPLKVR_D disc;
    for (int type : {4, 9, 10, 13, 99, -1})
        EXPECT_EQ(f.CreateAndCopyUserDefModeData(type, &disc), nullptr) << type;

    T_VD_FLOWPATH_WPLKVR_D path;
    path.Initialize();
    path.aStartX.Add(1.5);
    path.aStartY.Add(2.5);
    path.aStartZ.Add(-3);
    path.nContourPVtifK = 12;
    auto c = Copy(f, 1, &path);
    ASSERT_TRUE(c);
    path.aStartZ[0] = 0;
    EXPECT_EQ(c->aStartZ[0], -3);
    EXPECT_EQ(c->nContourPVtifK, 12u);
}

TEST(ForceSumRecords, PlaneAssignmentOwnsItsName)
{
    T_LCLDIR_PLNE_D a;
    a.strName = "soil cut";
    a.dCentre[2] = -4;
    a.dXDir[0] = 1;
    a.dYDir[1] = 1;
    T_LCLDIR_PLNE_D b, c;
    c = b = a;
    a.strName = "renamed";
    EXPECT_EQ(b.strName, "soil cut");
    EXPECT_EQ(c.strName, "soil cut");
    EXPECT_EQ(c.dCentre[2], -4);
    T_LCLDIR_PLNE_D d(a);
    EXPECT_EQ(d.strName, "renamed");
    EXPECT_EQ(d.dYDir[1], 1);
}

TEST(ForceSumRecords, DesignPlaneInitializeClearsEverything)
{
    T_LCLDIR_PLNE_KVR_D p;
    p.strName = "wall";
    for (int i = 0; i < 3; ++i)
        p.dCentre[i] = p.dXDir[i] = p.dYDir[i] = i + 1.0;
    p.initialize();
    EXPECT_TRUE(p.strName.IsEmpty());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(p.dCentre[i], 0);
        EXPECT_EQ(p.dXDir[i], 0);
        EXPECT_EQ(p.dYDir[i], 0);
    }
}

TEST(ForceSumRecords, AssignmentsChainAndCopyEveryField)
{
    T_PLATE_CELL_D a{3, 7, 0.8, 3e7, 0.2, 25};
    T_PLATE_CELL_D b, c;
    c = b = a;
    EXPECT_EQ(c.nPoint2Id, 7);
    EXPECT_EQ(c.dWeightDensity, 25);
    T_SOLID_CELL_D s{1, 2, 3, 1e5, 0.3, 19};
    T_SOLID_CELL_D t;
    t = s;
    EXPECT_EQ(t.nPoint3Id, 3);
    EXPECT_EQ(t.dPoissonRatio, 0.3);
    T_FORCESUM_D f{1, 2, 3, 4, 5, 6}, g;
    (g = f).initialize();
    EXPECT_EQ(g.MZ, 0);
    EXPECT_EQ(f.MZ, 6);
    T_POINT_D p{1, 2, 3}, q;
    q = p;
    EXPECT_EQ(q.Z, 3);
}

} // namespace
