#include "timehistory/ElementResultsEntry.h"

#include "recovery/drivers/element_results.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace kvpvs::timehistory {

namespace {
ElementResultsEntry OwnEntry()
{
    return ElementResultsEntry{&recovery::history_build::element_results, &recovery::step_build::element_results};
}

ElementResultsEntry g_entry = OwnEntry();

// Drops the extension of the last path component, if it has one.
void DropExtension(std::string& s)
{
    size_t slash = s.find_last_of("/\\");
    size_t dot = s.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        s.erase(dot);
}
} // namespace

ElementResultsEntry& CurrentElementResultsEntry() { return g_entry; }
void ResetElementResultsEntry() { g_entry = OwnEntry(); }

int CallHistoryEntry(const char* base_path, int path_length, int element_kind, int element_type, int component_row,
                     int history_id, int value_count, int product_selector, int mode_selector, double* output,
                     int axes_option, int element_number)
{
    try {
        g_entry.history(base_path, path_length, element_kind, element_type, component_row, history_id, value_count,
                        product_selector, mode_selector, output, axes_option, element_number);
        return 1;
    } catch (...) {
        if (output && value_count > 0)
            std::fill(output, output + value_count, 0.0);
        return 0;
    }
}

int CallStepEntry(const char* base_path, int path_length, int element_kind, int element_type, int component_row,
                  int history_id, int value_count, int step_number, int product_selector, int mode_selector,
                  double* output, int axes_option, int element_number)
{
    try {
        g_entry.step(base_path, path_length, element_kind, element_type, component_row, history_id, value_count,
                     step_number, product_selector, mode_selector, output, axes_option, element_number);
        return 1;
    } catch (...) {
        if (output)
            *output = 0.0;
        return 0;
    }
}

int MakeResultBasePath(const CString& strPathName, char (&buf)[BASE_PATH_CHARS], int& nLength)
{
    std::memset(buf, 0, sizeof(buf));
    nLength = 0;
    std::string s(static_cast<const char*>(strPathName));
    DropExtension(s);
    DropExtension(s);
    if (s.size() + 1 > sizeof(buf))
        return 0;
    std::memcpy(buf, s.data(), s.size());
    // The library reads exactly this many characters: the length of what it is given.
    nLength = static_cast<int>(s.size());
    return 1;
}

int ElementKindOf(int nFamily, int nNodeCount)
{
    switch (nFamily) {
    case 1:
    case 2:
    case 3: {
        int nLow = nFamily, nHigh = nFamily + 4; // 1/5 plane stress, 2/6 plane strain, 3/7 plate
        if (nNodeCount == 3 || nNodeCount == 4)
            return nLow;
        if (nNodeCount == 6 || nNodeCount == 8)
            return nHigh;
        return 0;
    }
    case 4:
        if (nNodeCount == 4 || nNodeCount == 6 || nNodeCount == 8)
            return 4;
        if (nNodeCount == 10 || nNodeCount == 15 || nNodeCount == 20)
            return 8;
        return 0;
    default:
        return 0;
    }
}

} // namespace kvpvs::timehistory
