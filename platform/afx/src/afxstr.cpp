#include "afxstr.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

int CString::CompareNoCase(const char* psz) const
{
    std::string a = m_s, b = psz ? psz : "";
    for (auto& c : a) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (auto& c : b) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return a.compare(b);
}

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (n < 0) {
        m_s.clear();
        return;
    }
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), pszFormat, args);
    m_s.assign(buf.data(), static_cast<size_t>(n));
}

CString CString::Left(int n) const
{
    n = std::clamp(n, 0, GetLength());
    return CString(m_s.substr(0, static_cast<size_t>(n)));
}

CString CString::Right(int n) const
{
    n = std::clamp(n, 0, GetLength());
    return CString(m_s.substr(m_s.size() - static_cast<size_t>(n)));
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const
{
    nFirst = std::clamp(nFirst, 0, GetLength());
    nCount = std::clamp(nCount, 0, GetLength() - nFirst);
    return CString(m_s.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    auto p = m_s.find(ch, static_cast<size_t>(nStart));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::Find(const char* psz, int nStart) const
{
    if (psz == nullptr || nStart < 0 || nStart > GetLength())
        return -1;
    auto p = m_s.find(psz, static_cast<size_t>(nStart));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::ReverseFind(char ch) const
{
    auto p = m_s.rfind(ch);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::Replace(const char* pszOld, const char* pszNew)
{
    if (pszOld == nullptr || *pszOld == '\0')
        return 0;
    std::string from = pszOld, to = pszNew ? pszNew : "";
    int count = 0;
    for (size_t p = m_s.find(from); p != std::string::npos; p = m_s.find(from, p + to.size())) {
        m_s.replace(p, from.size(), to);
        ++count;
    }
    return count;
}

CString& CString::TrimLeft()
{
    size_t i = 0;
    while (i < m_s.size() && std::isspace(static_cast<unsigned char>(m_s[i])))
        ++i;
    m_s.erase(0, i);
    return *this;
}

CString& CString::TrimRight()
{
    while (!m_s.empty() && std::isspace(static_cast<unsigned char>(m_s.back())))
        m_s.pop_back();
    return *this;
}

CString& CString::MakeUpper()
{
    for (auto& c : m_s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}

CString& CString::MakeLower()
{
    for (auto& c : m_s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return *this;
}

char* CString::GetBuffer(int nMinLength)
{
    if (nMinLength > GetLength())
        m_s.resize(static_cast<size_t>(nMinLength), '\0');
    return m_s.data();
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = static_cast<int>(std::strlen(m_s.c_str()));
    m_s.resize(static_cast<size_t>(std::min(nNewLength, GetLength())));
}
