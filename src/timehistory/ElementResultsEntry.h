// How the history functions reach the element result-recovery library: the two builds of its
// entry through one replaceable pair of pointers (tests put a recording double in their
// place), and the extension-free base path of the solver's result files that both builds take.
#pragma once
#include "afxstr.h"

namespace kvpvs::timehistory {

using HistoryEntry = void (*)(const char* base_path, int path_length, int element_kind, int element_type,
                              int component_row, int history_id, int value_count, int product_selector,
                              int mode_selector, double* output, int axes_option, int element_number);
using StepEntry = void (*)(const char* base_path, int path_length, int element_kind, int element_type,
                           int component_row, int history_id, int value_count, int step_number,
                           int product_selector, int mode_selector, double* output, int axes_option,
                           int element_number);

struct ElementResultsEntry {
    HistoryEntry history;
    StepEntry step;
};

// The entry in use; defaults to the library's own.
ElementResultsEntry& CurrentElementResultsEntry();
// Puts the library's own entry back.
void ResetElementResultsEntry();

// Calls of the entry in use with whatever escapes it caught (a replaced entry's exception, an
// unwinding stop of the library): 1, or 0 with the output zeroed.
int CallHistoryEntry(const char* base_path, int path_length, int element_kind, int element_type, int component_row,
                     int history_id, int value_count, int product_selector, int mode_selector, double* output,
                     int axes_option, int element_number);
int CallStepEntry(const char* base_path, int path_length, int element_kind, int element_type, int component_row,
                  int history_id, int value_count, int step_number, int product_selector, int mode_selector,
                  double* output, int axes_option, int element_number);

// Characters of the base-path buffer handed to the library.
constexpr int BASE_PATH_CHARS = 1024;

// The path text without its extension (removed twice over: "case.th.xa2" -> "case") into
// buf, with its length. 0 when the text does not fit the buffer with its terminator.
int MakeResultBasePath(const CString& strPathName, char (&buf)[BASE_PATH_CHARS], int& nLength);

// Element kind of the library by family and node count; 0 for a node count outside the
// family's table. Families: 1 plane stress, 2 plane strain, 3 plate, 4 solid.
int ElementKindOf(int nFamily, int nNodeCount);

} // namespace kvpvs::timehistory
