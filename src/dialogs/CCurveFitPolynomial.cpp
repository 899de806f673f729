#include "dialogs/CCurveFitPolynomial.h"

#include <cmath>

CCurveFitPolynomial::~CCurveFitPolynomial() = default;

void CCurveFitPolynomial::Clear() { m_aTerm.RemoveAll(); }

void CCurveFitPolynomial::AddTerm(double dCoef, int nPower)
{
    T_PVS_POLYNOMIAL_D term;
    term.dCoef = dCoef;
    term.nPower = nPower;
    m_aTerm.Add(term);
}

double CCurveFitPolynomial::Evaluate(double x) const
{
    double sum = 0.0;
    // pow(x, 0.0) is 1 for every x, NaN and 0 included.
    for (const T_PVS_POLYNOMIAL_D& t : m_aTerm)
        sum += t.dCoef * std::pow(x, static_cast<double>(t.nPower));
    return sum;
}
