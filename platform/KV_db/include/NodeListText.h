// Stand-ins for the host's compact node-list text: CNumericOptimizer writes a list of numbers,
// CStrParser reads one back. Choice of notation: numbers separated by blanks or commas, a run
// of three or more consecutive ascending numbers written "first" "to" "last" ("3to7"); any
// list written by Optimize reads back unchanged, in its order.
#pragma once
#include "afxstr.h"
#include "afxtempl.h"

class CNumericOptimizer {
public:
    static CString Optimize(const CArray<unsigned int, unsigned int>& aNo);
};

class CStrParser {
public:
    // Node numbers from 1 up; FALSE (the list emptied) for any token that is not a number or
    // a run "a" "to" "b" with a <= b, for 0, for numbers beyond 32 bits, or for a text that
    // names more than kMaxNodes numbers. An empty text gives an empty list.
    static BOOL GetNodeList(const CString& str, CArray<unsigned int, unsigned int>& aNo);
    static constexpr unsigned int kMaxNodes = 10000000u;
};
