#include "DBDoc.h"
#include "DBModelRecords.h"
#include "PVSModelData.h"

#include <gtest/gtest.h>

namespace {

// Dense keys are found through a table, scattered ones by search: both find every record and
// nothing else, in model order.
TEST(ModelData, FindsDenseAndScatteredKeys)
{
    for (unsigned int nStep : {1u, 100000u}) {
        CDBDoc doc;
        CDBBase* pDB = doc.GetModelDB();
        for (unsigned int i = 1; i <= 50; ++i) {
            T_NODE_D n;
            n.dXyz[0] = i;
            pDB->Table<T_NODE_D>()[i * nStep] = n;
            T_ELEM_D e;
            e.nType = static_cast<int>(i);
            pDB->Table<T_ELEM_D>()[i * nStep + 1] = e;
        }
        T_MD_PARAM_D md;
        CPVSModelDataFEM model(md, &doc);
        ASSERT_EQ(model.GetNodeNum(), 50);
        ASSERT_EQ(model.GetElemNum(), 50);
        for (unsigned int i = 1; i <= 50; ++i) {
            EXPECT_EQ(model.GetNodeK(static_cast<int>(i) - 1), i * nStep);
            const T_NODE_D* pNode = model.FindNodeD(i * nStep);
            ASSERT_NE(pNode, nullptr);
            EXPECT_EQ(pNode->dXyz[0], i);
            const T_ELEM_D* pElem = model.FindElemD(i * nStep + 1);
            ASSERT_NE(pElem, nullptr);
            EXPECT_EQ(pElem->nType, static_cast<int>(i));
        }
        // Beyond the keys, and between them when they are scattered; each element key is one
        // past a node key.
        for (unsigned int k : {0u, 51 * nStep, nStep == 1 ? 52u : 2 * nStep + 2, 0xFFFFFFFEu}) {
            EXPECT_EQ(model.FindNodeD(k), nullptr) << k;
            EXPECT_EQ(model.FindElemD(k + 1), nullptr) << k;
        }
    }
}

} // namespace
