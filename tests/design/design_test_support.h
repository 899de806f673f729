// What the design tests share: a program folder with the design checker in it, waiting for the
// checker's record, reading files back, and the analysis cases of a document (construction
// stages of kind 25 in output set 1, a linear case with steps of kind 1 in output set 2).
#pragma once
#include "TempDir.h"

#include "ClassAcas.h"
#include "DBDoc.h"
#include "PostCtrlGeoTech.h"
#include "THResultBuilder.h"
#include "UnitCtrl.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace kvpvs::test {

// The folder of a test's host program, with the design checker copied into it.
class ProgramFolder : public kvpvs::testing::TempDir {
public:
    ProgramFolder()
    {
        std::error_code ec;
        std::filesystem::copy_file(KVPVS_CHECKER_PATH, file("KvrDesignCH.exe"), ec);
        m_bChecker = !ec;
    }
    bool HasChecker() const { return m_bChecker; }
    // The lines of the checker's record once it holds nLines, waiting up to 10 s.
    std::vector<std::string> WaitForRecord(size_t nLines) const
    {
        std::vector<std::string> lines;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        do {
            lines = Lines(file("KvrDesignCH.log"));
            if (lines.size() >= nLines)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } while (std::chrono::steady_clock::now() < deadline);
        return lines;
    }
    static std::vector<std::string> Lines(const std::string& strPath)
    {
        std::vector<std::string> lines;
        std::ifstream in(strPath);
        for (std::string s; std::getline(in, s);)
            lines.push_back(s);
        return lines;
    }

private:
    bool m_bChecker = false;
};

// Whether the host was last asked to start the checker of the program folder strFolder (a
// folder of one test: what another test started is never its checker).
inline bool CheckerStarted(const std::string& strFolder)
{
    return CDBLib::GetLastProgram() == CString((strFolder + "/KvrDesignCH.exe").c_str());
}

inline std::string FileBytes(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void WriteBytes(const std::string& strPath, const std::string& strBytes)
{
    std::ofstream out(strPath, std::ios::binary);
    out << strBytes;
}

// One analysis case with its post control: type, output set and whether results are ready.
inline void AddCase(CDBDoc& doc, unsigned int nAcasK, int nType, const char* pszName, unsigned int nPOsifK,
                    int bReady = 1, bool bControl = true)
{
    T_ACAS_D rec;
    rec.nType = nType;
    rec.strName = pszName;
    rec.nPOsifK = nPOsifK;
    CClassAcas(doc.GetModelDB()).Set(nAcasK, rec);
    if (!bControl)
        return;
    auto pCtrl = std::make_shared<CPostCtrlAnlTypeStatic>(nType);
    pCtrl->SetResultSetKey(nPOsifK);
    pCtrl->SetResultReady(bReady);
    CTHResultBuilder::PostCtrl(doc)->SetStaticCase(nAcasK, pCtrl);
}

inline void AddStep(CDBDoc& doc, unsigned int nStepK, unsigned int nPOsifK, const char* pszName, int nKind)
{
    T_PLSIF_D step;
    step.nOsifK = nPOsifK;
    step.strName = pszName;
    step.nStepKind = nKind;
    CClassPLsif(doc.GetPostDB()).Set(nStepK, step);
}

} // namespace kvpvs::test
