// The unit index of the unit control, the database reads that follow it, and the program
// starter of the host library.
#include "DBValueUnits.h"
#include "UnitCtrl.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

const char* const kLengthNames[5] = {"mm", "cm", "m", "in", "ft"};
const char* const kForceNames[6] = {"kgf", "tonf", "N", "kN", "lbf", "kips"};
// One model unit (m, kN) in each unit: 1 m = 1000 mm, 1 in = 0.0254 m, 1 kgf = 9.80665e-3 kN,
// 1 lbf = 4.4482216152605e-3 kN.
const double kPerMetre[5] = {1000.0, 100.0, 1.0, 1.0 / 0.0254, 1.0 / 0.3048};
const double kPerKiloNewton[6] = {1.0 / 9.80665e-3, 1.0 / 9.80665, 1000.0, 1.0, 1.0 / 4.4482216152605e-3,
                                  1.0 / 4.4482216152605};

// Exponents of force and length of a unit type; false for a type the index does not scale.
bool Dimensions(int nUnitType, int& nForce, int& nLength)
{
    switch (nUnitType) {
    case DB_UNIT_LENGTH: case 21: case 22: nForce = 0; nLength = 1; return true;
    case DB_UNIT_FORCE: nForce = 1; nLength = 0; return true;
    case DB_UNIT_AREA: nForce = 0; nLength = 2; return true;
    case DB_UNIT_INERTIA: nForce = 0; nLength = 4; return true;
    case DB_UNIT_MOMENT: nForce = 1; nLength = 1; return true;
    case DB_UNIT_FORCE_PER_LENGTH: nForce = 1; nLength = -1; return true;
    case DB_UNIT_STRESS: nForce = 1; nLength = -2; return true;
    case DB_UNIT_WEIGHT_DENSITY: nForce = 1; nLength = -3; return true;
    default: return false;
    }
}

double IndexOut(int nUnitType, double dValue)
{
    const CUnitCtrl* p = CDocCtrl::GetUnitCtrl(CDBDoc::GetDocPoint());
    return p ? p->ConvertUnitIndexOut(nUnitType, dValue) : dValue;
}

// The database reads of every document follow its unit index from the moment the library loads.
const bool g_bInstalled = [] {
    CDBValueUnits::Install(&IndexOut);
    return true;
}();

CString g_strProgram, g_strParameters;
std::vector<pid_t> g_aStarted;

} // namespace

void CUnitCtrl::GetUnitIndexCurrent(int aIndex[4]) const
{
    for (int i = 0; i < 4; ++i)
        aIndex[i] = m_nUnitIndex[i];
}

void CUnitCtrl::SetUnitIndexCurrent(const int aIndex[4], int)
{
    (void)g_bInstalled;
    for (int i = 0; i < 4; ++i)
        m_nUnitIndex[i] = aIndex[i];
}

CString CUnitCtrl::GetUnitSystemForce() const
{
    const int i = m_nUnitIndex[1];
    return i >= 0 && i < 6 ? CString(kForceNames[i]) : CString();
}

CString CUnitCtrl::GetUnitSystemLength() const
{
    const int i = m_nUnitIndex[0];
    return i >= 0 && i < 5 ? CString(kLengthNames[i]) : CString();
}

double CUnitCtrl::ConvertUnitIndexOut(int nUnitType, double dValue) const
{
    const int l = m_nUnitIndex[0], f = m_nUnitIndex[1];
    int nForce = 0, nLength = 0;
    if ((l == 2 && f == 3) || l < 0 || l > 4 || f < 0 || f > 5 || !Dimensions(nUnitType, nForce, nLength))
        return dValue;
    return dValue * std::pow(kPerKiloNewton[f], nForce) * std::pow(kPerMetre[l], nLength);
}

double CUnitCtrl::ConvValueTgtUnit2CurUnit(int nForce, int nLength, int nUnitType, double dValue) const
{
    return ConvertSrcUnitData2TgtUnit(m_nUnitIndex[1], m_nUnitIndex[0], nForce, nLength, nUnitType, dValue);
}

double CUnitCtrl::ConvertSrcUnitData2TgtUnit(int nTgtForce, int nTgtLength, int nSrcForce, int nSrcLength,
                                             int nUnitType, double dValue)
{
    int nF = 0, nL = 0;
    if (nTgtForce < 0 || nTgtForce > 5 || nSrcForce < 0 || nSrcForce > 5 || nTgtLength < 0 || nTgtLength > 4 ||
        nSrcLength < 0 || nSrcLength > 4 || !Dimensions(nUnitType, nF, nL))
        return dValue;
    // value [src] x (target units per source unit) for each of force and length
    const double dForce = kPerKiloNewton[nTgtForce] / kPerKiloNewton[nSrcForce];
    const double dLength = kPerMetre[nTgtLength] / kPerMetre[nSrcLength];
    return dValue * std::pow(dForce, nF) * std::pow(dLength, nL);
}

BOOL CDBLib::RunProgram(const char* pszProgram, const char* pszParameters)
{
    g_strProgram = pszProgram ? pszProgram : "";
    g_strParameters = pszParameters ? pszParameters : "";
    // Programs started earlier are reaped when they have ended; none is waited for.
    for (size_t i = 0; i < g_aStarted.size();) {
        int status = 0;
        if (waitpid(g_aStarted[i], &status, WNOHANG) != 0)
            g_aStarted.erase(g_aStarted.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
    std::vector<std::string> args{g_strProgram.str()};
    std::istringstream in(g_strParameters.str());
    for (std::string a; in >> a;)
        args.push_back(a);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (g_strProgram.IsEmpty() || posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return FALSE;
    g_aStarted.push_back(pid);
    return TRUE;
}

CString CDBLib::GetLastProgram() { return g_strProgram; }
CString CDBLib::GetLastProgramParameters() { return g_strParameters; }
