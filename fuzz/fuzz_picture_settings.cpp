// Fuzz entry of the picture-export settings reader: the bytes are the file's text (below the
// file dialog). A rejected text must leave the record as it was; an accepted one must export
// and read back to the same values.
#include "dialogs/ResultPicSetting.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    T_RESULT_PIC_SETTING_D s;
    s.Initialize();
    s.nImageFormat = 2;
    s.aViews[5] = 1;
    const int ok = ParseResultPicSettings(reinterpret_cast<const char*>(data), size, s);
    if (!ok && (s.nImageFormat != 2 || s.aViews[5] != 1))
        std::abort();
    volatile double sink = s.dMax + s.dMin + s.dVectorScale + s.dDeformScale + s.dDiagramScale + s.nDivisions;
    (void)sink;
    return 0;
}
