// Stand-in for the host's map template: the framework's hash map made copyable
// (copy construction and assignment copy every association, in iteration order).
#pragma once
#include "afxtempl.h"

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMapEx : public CMap<KEY, ARG_KEY, VALUE, ARG_VALUE> {
    using Base = CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>;

public:
    CMapEx() = default;
    CMapEx(const CMapEx& src) : Base() { Base::CopyFrom(src); }
    CMapEx& operator=(const CMapEx& src)
    {
        Base::CopyFrom(src);
        return *this;
    }
};
