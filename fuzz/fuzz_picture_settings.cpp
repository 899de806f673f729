// Fuzz entry of the picture-export settings reader: the bytes are the file's text (below the
// file dialog). A rejected text must leave the record as it was; an accepted one holds finite
// limits and scales and at least one division.
#include "dialogs/ResultPicSetting.h"

#include <cmath>
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
    for (double d : {s.dMax, s.dMin, s.dVectorScale, s.dDeformScale, s.dDiagramScale})
        if (!std::isfinite(d))
            std::abort();
    if (s.nDivisions < 1)
        std::abort();
    return 0;
}
