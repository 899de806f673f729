// Stand-in for the host's word-processor automation: a recording double. Every document made
// records its calls in order; whether the word processor is there is the host's setting
// (SetAvailable), present by default.
#pragma once
#include "afxstr.h"
#include "afxtempl.h"

#include <string>
#include <vector>

class CWdDoc {
public:
    struct T_PICTURE_CALL_D {
        std::vector<std::string> aPaths;
        std::vector<std::string> aCaptions;
        int nArg1 = 0;
        int nArg2 = 0;
    };
    // What one document was asked, in order.
    struct T_JOURNAL_D {
        int nInit = -1; // InitWordEnv's answer, -1 when not asked
        std::vector<std::string> aCalls; // "SetAlignment 1", "SetBold 1", "AddPicture", "CleanWordEnv"
        std::vector<T_PICTURE_CALL_D> aPictures;
    };

    CWdDoc() : m_nIndex(Journals().size()) { Journals().emplace_back(); }
    CWdDoc(const CWdDoc&) = delete;
    CWdDoc& operator=(const CWdDoc&) = delete;

    // 1 when the word processor could be started, 0 otherwise.
    int InitWordEnv()
    {
        Mine().nInit = Available() ? 1 : 0;
        return Mine().nInit;
    }
    void SetAlignment(int n) { Mine().aCalls.push_back("SetAlignment " + std::to_string(n)); }
    void SetBold(int n) { Mine().aCalls.push_back("SetBold " + std::to_string(n)); }
    void AddPicture(const CStringArray& aPaths, const CStringArray& aCaptions, int nArg1, int nArg2)
    {
        T_PICTURE_CALL_D call;
        for (int i = 0; i < aPaths.GetSize(); ++i)
            call.aPaths.push_back(aPaths[i].GetString());
        for (int i = 0; i < aCaptions.GetSize(); ++i)
            call.aCaptions.push_back(aCaptions[i].GetString());
        call.nArg1 = nArg1;
        call.nArg2 = nArg2;
        Mine().aCalls.push_back("AddPicture");
        Mine().aPictures.push_back(call);
    }
    void CleanWordEnv() { Mine().aCalls.push_back("CleanWordEnv"); }

    // Host side.
    static void SetAvailable(bool b) { Available() = b; }
    static std::vector<T_JOURNAL_D>& Journals();

private:
    static bool& Available();
    T_JOURNAL_D& Mine() { return Journals()[m_nIndex]; }
    size_t m_nIndex;
};
