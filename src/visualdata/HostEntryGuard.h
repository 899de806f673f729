// Where the host enters a display (its values, grid, labels, probe texts, pipeline, drawing
// and tables), whatever escapes the work ends: a failed allocation, a VTK or host exception.
// The entry gives its failure value after the display's own undo, which leaves nothing half
// made for the next refresh to find; a query begun on the host ends on every path.
#pragma once
#include <utility>

namespace kvpvs::visualdata {

// fn's result; nFailed, after fnUndo, when something escaped fn.
template <class Fn, class Undo>
int GuardedEntry(int nFailed, Fn&& fn, Undo&& fnUndo) noexcept
{
    try {
        return fn();
    } catch (...) {
    }
    try {
        fnUndo();
    } catch (...) {
    }
    return nFailed;
}

template <class Fn>
int GuardedEntry(int nFailed, Fn&& fn) noexcept
{
    return GuardedEntry(nFailed, std::forward<Fn>(fn), [] {});
}

// Runs fn when the scope ends, a throw included (the end of a host query begun in it).
template <class Fn>
class CScopeEnd {
public:
    explicit CScopeEnd(Fn fn) : m_fn(std::move(fn)) {}
    ~CScopeEnd()
    {
        try {
            m_fn();
        } catch (...) {
        }
    }
    CScopeEnd(const CScopeEnd&) = delete;
    CScopeEnd& operator=(const CScopeEnd&) = delete;

private:
    Fn m_fn;
};

} // namespace kvpvs::visualdata
