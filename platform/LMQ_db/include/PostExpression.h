// Stand-in for the host's expression checker of result-component combinations. It parses
// numbers, + - * /, unary minus, parentheses, the symbols passed and the functions _sqrt, _abs,
// _sin, _cos and _tan; it evaluates nothing (the host's generic display does).
#pragma once
#include "afxtempl.h"

class CPostExpression {
public:
    // Non-zero when the expression is valid; otherwise strError names the first fault and its
    // 1-based position. Symbols compare case-sensitively.
    static BOOL CheckExpression(const CString& strExpr, const CStringArray& aSymbols, CString& strError);
};
