// Loading the module: its singletons become the host's instances, the library joins the
// extension chain, and unloading restores what was there before.
#include "frame/IFactoryPVSImpl.h"
#include "frame/IPvsDlgImpl.h"
#include "frame/IQueryPVSImpl.h"

#include "afx_standin.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

extern "C" void* Init_KV_pvsdll();

namespace {

TEST(Startup, SingletonsAreTheInstances)
{
    EXPECT_TRUE(dynamic_cast<IFactoryPVSImpl*>(IFactoryPVS::Instance()));
    EXPECT_TRUE(dynamic_cast<IQueryPVSImpl*>(IQueryPVS::Instance()));
    EXPECT_TRUE(dynamic_cast<IPvsDlgImpl*>(IPvsDlg::Instance()));
}

TEST(Startup, InitCreatesTheLibraryRecord)
{
    int before = AfxStandInDynLinkLibraryCount();
    auto* lib = static_cast<CDynLinkLibrary*>(Init_KV_pvsdll());
    ASSERT_TRUE(lib);
    EXPECT_EQ(AfxStandInDynLinkLibraryCount(), before + 1);
    delete lib;
}

TEST(Startup, AnotherImplementationIsInstanceOnlyWhileItLives)
{
    IFactoryPVS* module = IFactoryPVS::Instance();
    {
        IFactoryPVSImpl other;
        EXPECT_EQ(IFactoryPVS::Instance(), &other);
        {
            IFactoryPVSImpl copy(other);
            EXPECT_EQ(IFactoryPVS::Instance(), &copy);
        }
        EXPECT_EQ(IFactoryPVS::Instance(), &other);
    }
    EXPECT_EQ(IFactoryPVS::Instance(), module);
}

TEST(Startup, QueryReturnsIdentifiersUnchanged)
{
    IQueryPVS* q = IQueryPVS::Instance();
    ASSERT_TRUE(q);
    EXPECT_EQ(q->GetElemKeyOrId(17, reinterpret_cast<CMeshMgr*>(0x10)), 17u);
    EXPECT_EQ(q->GetNodeKeyOrId(17, nullptr), 17u);
}

TEST(Startup, LoadingAndUnloadingTheSharedLibrary)
{
    IFactoryPVS* before = IFactoryPVS::Instance();
    IQueryPVS* queryBefore = IQueryPVS::Instance();
    const int chain = AfxStandInExtensionModuleCount();

    void* h = dlopen(KVPVS_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(h) << dlerror();
    EXPECT_NE(IFactoryPVS::Instance(), before) << "the loaded module's factory is the instance";
    EXPECT_NE(IQueryPVS::Instance(), queryBefore);
    EXPECT_EQ(AfxStandInExtensionModuleCount(), chain + 1);

    auto init = reinterpret_cast<void* (*)()>(dlsym(h, "Init_KV_pvsdll"));
    ASSERT_TRUE(init);
    const int libs = AfxStandInDynLinkLibraryCount();
    EXPECT_TRUE(init());
    EXPECT_EQ(AfxStandInDynLinkLibraryCount(), libs + 1);

    ASSERT_EQ(dlclose(h), 0);
    EXPECT_EQ(AfxStandInDynLinkLibraryCount(), libs) << "released with the module";
    EXPECT_EQ(IFactoryPVS::Instance(), before);
    EXPECT_EQ(IQueryPVS::Instance(), queryBefore);
    EXPECT_EQ(AfxStandInExtensionModuleCount(), chain);
}

TEST(Startup, FailedAttachIsAFailedLoad)
{
    AfxStandInFailExtensionInit(true);
    void* h = dlopen(KVPVS_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    AfxStandInFailExtensionInit(false);
    ASSERT_TRUE(h) << dlerror();
    auto init = reinterpret_cast<void* (*)()>(dlsym(h, "Init_KV_pvsdll"));
    ASSERT_TRUE(init);
    EXPECT_EQ(init(), nullptr);
    dlclose(h);
}

TEST(Startup, OnlyTheDeclaredInterfaceIsExported)
{
    void* h = dlopen(KVPVS_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(h) << dlerror();
    EXPECT_TRUE(dlsym(h, "Init_KV_pvsdll"));
    EXPECT_TRUE(dlsym(h, "_ZN15CNotifyListener4FindEP20CDataUpdateConnector"));
    EXPECT_FALSE(dlsym(h, "_Z12KVPvsCreatorsv"));
    dlclose(h);
}

} // namespace
