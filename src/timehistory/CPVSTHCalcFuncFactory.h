// Makes a calculation function by its calculation-function code (run form, 1-based).
#pragma once

class CPVSTHCalcFuncBase;

class CPVSTHCalcFuncFactory {
public:
    virtual ~CPVSTHCalcFuncFactory() = default;
    // A new function, or nullptr for a code without one; the caller deletes it.
    static CPVSTHCalcFuncBase* Create(int nCode);
};
