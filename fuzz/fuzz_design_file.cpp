// Fuzz entry of the design text file reader: the bytes become a scratch "KvrDesign.txt", which
// the reader reads (text mode, as the design dialogs' files are read); then the tables are
// walked, so that whatever a read kept is whole.
#include "design/CYRPC_DataTool.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

std::string ScratchPath()
{
    static const std::string path = [] {
        const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(dir) + "/kvpvs_fuzz_design_" + std::to_string(getpid()) + ".txt";
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = ScratchPath();
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size)
            std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    CYRPC_DataTool tool;
    const int ok = tool.ReadDesignFile(path.c_str());
    const T_YRP_CONVERT_TABLE_D& t = tool.GetTables();
    double sum = ok;
    for (POSITION pos = t.mBeamLoad.GetStartPosition(); pos;) {
        int k = 0;
        T_YRP_CONVERT_BEAM_LOAD l;
        t.mBeamLoad.GetNextAssoc(pos, k, l);
        for (const T_YRP_CONVERT_BEAM_LOADCASE& c : l.aLoadCase)
            sum += c.dForceI[0] + c.dForceJ[5] + c.strName.GetLength();
    }
    for (POSITION pos = t.mPlane.GetStartPosition(); pos;) {
        int k = 0;
        T_YRP_CONVERT_PLANE p;
        t.mPlane.GetNextAssoc(pos, k, p);
        sum += p.mPoint.GetCount() + p.mCell.GetCount() + p.aForceSum.GetSize() + p.strName.GetLength();
    }
    sum += t.strFilePath.GetLength() + t.mSect.GetCount() + t.mMatl.GetCount() + t.mAttr.GetCount() + t.mElem.GetCount();
    volatile double sink = sum;
    (void)sink;
    std::remove(path.c_str());
    return 0;
}
