// What both factories share in making an object for the host.
#pragma once
#include <memory>
#include <new>

namespace kvpvs::frame {

// An operation of a factory is an entry of the module: whatever escapes the making of an
// object (a failed allocation, a throwing host constructor) ends here, and the host gets the
// factory's failure value, null. A half-made object was freed by its new-expression.
template <class Fn>
auto OrNull(Fn&& fn) noexcept -> decltype(fn())
{
    try {
        return fn();
    } catch (...) {
        return nullptr;
    }
}

// A settings record copied from the source, or initialised when there is none. Held until
// complete: a copy that fails part-way is freed, not handed out.
template <class R>
R* CopyRecord(void* pSource)
{
    std::unique_ptr<R> pNew(new (std::nothrow) R);
    if (!pNew)
        return nullptr;
    if (pSource)
        *pNew = *static_cast<R*>(pSource);
    else
        pNew->Initialize();
    return pNew.release();
}

} // namespace kvpvs::frame
