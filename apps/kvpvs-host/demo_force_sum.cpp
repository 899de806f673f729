// Demo step: local-direction force sums of the sample's last step, built through the module's
// factory as the host would, drawn offscreen with VTK and saved as a picture.
#include "demo_steps.h"
#include "demo_support.h"

#include "DBDoc.h"
#include "DBModelRecords.h"
#include "UserDefDisplayHost.h"
#include "PVSMeshMngrBrdgBase.h"
#include "PVSRendererBase.h"
#include "SampleSchema.h"

#include "visualdata/PVSUserDefRecords.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <type_traits>

namespace {

// The step's rows by item code, as the force-sum dialog finds them: item aItem[i] goes to
// slot aSlot[i] (a later row with the same code overwrites).
void PickRows(CDBDoc& doc, unsigned int nStepK, const unsigned int* pItem, const int* pSlot, int n, int nRowK[12])
{
    CClassPVtif cls(doc.GetPostDB());
    CArray<unsigned int, unsigned int> keys;
    cls.GetKeyList(keys);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_PVTIF_D r;
        cls.Get(keys[i], r);
        if (r.nStepK != nStepK)
            continue;
        for (int j = 0; j < n; ++j)
            if (r.nItem == pItem[j])
                nRowK[pSlot[j]] = static_cast<int>(keys[i]);
    }
}

// The host's display request: built through the module's factory and drawn at once.
int ShowOne(unsigned int nVDType, T_VD_USERDEF_DATA& rec, CPVSRendererVTK& renderer)
{
    kvpvs::host::CUserDefDisplayHost host(&renderer);
    return host.Show(T_PVS_DISPLAY_REQUEST_D{nVDType, &rec, 1, 0, 0});
}

template <class REC>
void AddPlane(REC& rec, const double o[3], const double ax[3][3], const char* name)
{
    T_PVIST_PLNE_D pl;
    typename std::remove_reference_t<decltype(rec.aAxis[0])> a;
    for (int k = 0; k < 3; ++k) {
        pl.dOrigin[k] = o[k];
        pl.dNormal[k] = ax[0][k];
        for (int r = 0; r < 3; ++r)
            a.dAxis[r][k] = ax[r][k];
    }
    a.strName = name;
    rec.aPlane.Add(pl);
    rec.aAxis.Add(a);
}

} // namespace

int RunForceSumDemo(CDBDoc& doc, const char* outDir)
{
    namespace fs = std::filesystem;
    if (!outDir)
        return 0;
    if (doc.GetPathName().IsEmpty())
        doc.SetPathName((fs::path(outDir) / "sample.kvp").string().c_str());
    CPVSRendererVTK renderer(1000, 750);
    CPVSMeshMngrBrdgBase* pBridge = CPVSMeshMngrBrdgBase::m_pMySelf;
    std::unique_ptr<CPVSMeshMngrBrdgBase> pOwnBridge;
    if (!pBridge) {
        pOwnBridge = std::make_unique<CPVSMeshMngrBrdgBase>();
        const double* S = SampleShift();
        const double bb[6] = {S[0], 40 + S[0], S[1], 30 + S[1], -30 + S[2], S[2]};
        pOwnBridge->SetBounds(bb);
    }

    const unsigned int nStepK = EnsureForceSumStepRecords(doc);
    if (nStepK == 0)
        return 0;

    // Solid, first variant: two vertical planes through the soil behind the wall, normal +X; the
    // report "LdfsFile.txt" is written anew. Items 141-146 to slots 0-5.
    T_VD_LCLDIRSUM_HOB_D solid;
    solid.Initialize();
    solid.nCutKind = 0;
    solid.nCompCount = 6;
    solid.bIncludeText = 1;
    const unsigned int solidItem[6] = {141, 142, 143, 144, 145, 146};
    const int solidSlot[6] = {0, 1, 2, 3, 4, 5};
    PickRows(doc, nStepK, solidItem, solidSlot, 6, solid.nCompPVtifK);
    const std::array<double, 3> o1 = Moved(15.3, 10.1, -10.2), o2 = Moved(25.3, 10.1, -10.2);
    const double a1[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    AddPlane(solid, o1.data(), a1, "Soil x=15.3");
    AddPlane(solid, o2.data(), a1, "Soil x=25.3");
    int ok = ShowOne(8, solid, renderer);

    // Plate, design variant (visual data 12): a horizontal plane through the wall, normal +Z,
    // appended to the report without opening the editor. NXX NYY NXY (85-87) go to slots 0, 1, 3
    // and MXX MYY MXY (91-93) to 6, 7, 9: the grid's tensor order xx, yy, zz, xy, yz, zx.
    T_VD_LCLDIRSUM_KVR_D plate;
    plate.Initialize();
    plate.nCutKind = 1;
    plate.nCompCount = 12;
    plate.bIncludeText = 1;
    plate.bAppend = 1;
    plate.bEditor = 0;
    const unsigned int plateItem[6] = {85, 86, 87, 91, 92, 93};
    const int plateSlot[6] = {0, 1, 3, 6, 7, 9};
    PickRows(doc, nStepK, plateItem, plateSlot, 6, plate.nCompPVtifK);
    const std::array<double, 3> o3 = Moved(10.0, 10.1, -6.1);
    const double a3[3][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    AddPlane(plate, o3.data(), a3, "Wall z=-6.1");
    ok = ShowOne(12, plate, renderer) && ok;

    const fs::path png = fs::path(outDir) / "force_sum.png";
    ok = renderer.SavePNG(png.string().c_str()) && ok;
    CString folder = doc.GetPathName();
    const fs::path report = fs::path(folder.GetString()).parent_path() / "LdfsFile.txt";
    std::error_code ec;
    if (fs::exists(report) && report.parent_path() != fs::path(outDir))
        fs::copy_file(report, fs::path(outDir) / "LdfsFile.txt", fs::copy_options::overwrite_existing, ec);
    std::printf("force sums: %s, %s\n", (fs::path(outDir) / "LdfsFile.txt").string().c_str(), png.string().c_str());
    return ok ? 1 : 0;
}
