// A polynomial as a list of terms (coefficient, power): the curve-fitting dialog keeps the
// fitted polynomial and its derivative as two of these and evaluates them at a position.
#pragma once
#include "afxtempl.h"

struct T_PVS_POLYNOMIAL_D {
    double dCoef = 0.0;
    int nPower = 0;
};

class CCurveFitPolynomial {
public:
    CCurveFitPolynomial() = default;
    virtual ~CCurveFitPolynomial();
    CCurveFitPolynomial(const CCurveFitPolynomial&) = delete;
    CCurveFitPolynomial& operator=(const CCurveFitPolynomial&) = delete;

    void Clear();
    void AddTerm(double dCoef, int nPower);
    // Σ coefficient · x^power over the terms in list order; x^0 is 1. 0 without terms.
    double Evaluate(double x) const;

private:
    CArray<T_PVS_POLYNOMIAL_D, T_PVS_POLYNOMIAL_D&> m_aTerm;
};
