// Fuzz entry of the combination expression checker: byte 0 says how many of the symbols "A"
// to "Z" are passed, the rest is the expression. The checker must answer, never crash, and
// give a fault text exactly when it refuses.
#include "PostExpression.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    CStringArray symbols;
    for (int i = 0; i < data[0] % 27; ++i)
        symbols.Add(CString(std::string(1, static_cast<char>('A' + i))));
    const CString expr(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
    CString error = "x";
    const BOOL ok = CPostExpression::CheckExpression(expr, symbols, error);
    if (ok != error.IsEmpty())
        std::abort();
    return 0;
}
