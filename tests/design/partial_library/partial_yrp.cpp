// A data library that lacks most of its exports: it keeps its unit index and nothing else, so
// that every call through a missing export must come back as 0.
#define PARTIAL_EXPORT extern "C" __attribute__((visibility("default")))

PARTIAL_EXPORT int Initialize() { return 1; }
PARTIAL_EXPORT int Get_Version() { return 7; }
PARTIAL_EXPORT void Get_UnitIndex(int* a, int* b, int*, int*)
{
    *a = 0;
    *b = 2;
}
