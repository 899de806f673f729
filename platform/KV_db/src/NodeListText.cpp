#include "NodeListText.h"

#include <cstdio>
#include <string>

namespace {

// Digits only, 1 to 4294967295.
bool ReadNumber(const std::string& s, unsigned int& n)
{
    if (s.empty() || s.size() > 10)
        return false;
    unsigned long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v == 0 || v > 0xFFFFFFFFull)
        return false;
    n = static_cast<unsigned int>(v);
    return true;
}

} // namespace

CString CNumericOptimizer::Optimize(const CArray<unsigned int, unsigned int>& aNo)
{
    std::string out;
    char buf[32];
    const int n = aNo.GetSize();
    for (int i = 0; i < n;) {
        int j = i;
        while (j + 1 < n && aNo[j] != 0xFFFFFFFFu && aNo[j + 1] == aNo[j] + 1)
            ++j;
        if (!out.empty())
            out += ' ';
        if (j - i >= 2) {
            std::snprintf(buf, sizeof buf, "%uto%u", aNo[i], aNo[j]);
            out += buf;
            i = j + 1;
        } else {
            std::snprintf(buf, sizeof buf, "%u", aNo[i]);
            out += buf;
            ++i;
        }
    }
    return CString(out.c_str());
}

BOOL CStrParser::GetNodeList(const CString& str, CArray<unsigned int, unsigned int>& aNo)
{
    aNo.RemoveAll();
    const std::string text(static_cast<const char*>(str));
    unsigned long long nTotal = 0;
    size_t p = 0;
    while (p < text.size()) {
        while (p < text.size() && (text[p] == ' ' || text[p] == ',' || text[p] == '\t'))
            ++p;
        if (p >= text.size())
            break;
        size_t q = p;
        while (q < text.size() && text[q] != ' ' && text[q] != ',' && text[q] != '\t')
            ++q;
        const std::string tok = text.substr(p, q - p);
        p = q;
        unsigned int a = 0, b = 0;
        const size_t t = tok.find("to");
        if (t == std::string::npos) {
            if (!ReadNumber(tok, a))
                return aNo.RemoveAll(), FALSE;
            b = a;
        } else if (!ReadNumber(tok.substr(0, t), a) || !ReadNumber(tok.substr(t + 2), b) || a > b) {
            return aNo.RemoveAll(), FALSE;
        }
        nTotal += static_cast<unsigned long long>(b - a) + 1;
        if (nTotal > kMaxNodes)
            return aNo.RemoveAll(), FALSE;
        for (unsigned long long v = a; v <= b; ++v)
            aNo.Add(static_cast<unsigned int>(v));
    }
    return TRUE;
}
