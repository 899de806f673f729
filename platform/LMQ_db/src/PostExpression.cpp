#include "PostExpression.h"

#include <cctype>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// Deep enough for any hand-written expression, shallow enough for the stack of a host thread.
constexpr int kMaxDepth = 200;

const char* const kFunctions[] = {"_sqrt", "_abs", "_sin", "_cos", "_tan"};

class Checker {
public:
    Checker(std::string_view text, const CStringArray& symbols) : m_text(text), m_symbols(symbols) {}

    bool Run()
    {
        SkipBlanks();
        if (m_pos == m_text.size())
            return Fail("Empty expression");
        if (!Expression(0))
            return false;
        if (m_pos != m_text.size())
            return FailAt(m_text[m_pos] == ')' ? "Unmatched ')'" : "Unexpected character");
        return true;
    }
    const std::string& Error() const { return m_error; }

private:
    bool Expression(int depth)
    {
        if (!Term(depth))
            return false;
        while (Peek() == '+' || Peek() == '-') {
            ++m_pos;
            if (!Term(depth))
                return false;
        }
        return true;
    }
    bool Term(int depth)
    {
        if (!Unary(depth))
            return false;
        while (Peek() == '*' || Peek() == '/') {
            ++m_pos;
            if (!Unary(depth))
                return false;
        }
        return true;
    }
    bool Unary(int depth)
    {
        if (depth > kMaxDepth)
            return FailAt("Expression nested too deeply");
        if (Peek() == '-') {
            ++m_pos;
            return Unary(depth + 1);
        }
        return Primary(depth);
    }
    bool Primary(int depth)
    {
        const char c = Peek();
        if (c == '\0' && m_pos >= m_text.size())
            return Fail("Unexpected end of expression");
        if (c == '(') {
            ++m_pos;
            if (!Expression(depth + 1))
                return false;
            if (Peek() != ')')
                return m_pos >= m_text.size() ? Fail("Missing ')'") : FailAt("Missing ')'");
            ++m_pos;
            return true;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.')
            return Number();
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_')
            return Name(depth);
        return FailAt("Unexpected character");
    }
    bool Number()
    {
        const std::size_t start = m_pos;
        std::size_t digits = 0;
        while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos, ++digits;
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            ++m_pos;
            while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
                ++m_pos, ++digits;
        }
        if (digits == 0) {
            m_pos = start;
            return FailAt("Invalid number");
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            std::size_t p = m_pos + 1;
            if (p < m_text.size() && (m_text[p] == '+' || m_text[p] == '-'))
                ++p;
            if (p >= m_text.size() || !std::isdigit(static_cast<unsigned char>(m_text[p]))) {
                m_pos = start;
                return FailAt("Invalid number");
            }
            while (p < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[p])))
                ++p;
            m_pos = p;
        }
        if (m_pos < m_text.size() && (std::isalpha(static_cast<unsigned char>(m_text[m_pos])) || m_text[m_pos] == '_')) {
            m_pos = start;
            return FailAt("Invalid number");
        }
        return true;
    }
    bool Name(int depth)
    {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() &&
               (std::isalnum(static_cast<unsigned char>(m_text[m_pos])) || m_text[m_pos] == '_'))
            ++m_pos;
        const std::string_view name = m_text.substr(start, m_pos - start);
        for (const char* f : kFunctions) {
            if (name == f) {
                if (Peek() != '(') {
                    m_pos = start;
                    return FailAt("'(' expected after function", name);
                }
                ++m_pos;
                if (!Expression(depth + 1))
                    return false;
                if (Peek() != ')')
                    return m_pos >= m_text.size() ? Fail("Missing ')'") : FailAt("Missing ')'");
                ++m_pos;
                return true;
            }
        }
        for (int i = 0; i < m_symbols.GetSize(); ++i)
            if (name == std::string_view(m_symbols.GetAt(i).GetString()))
                return true;
        m_pos = start;
        return FailAt("Unknown symbol", name);
    }

    // The next non-blank character, '\0' at the end.
    char Peek()
    {
        SkipBlanks();
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }
    void SkipBlanks()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t'))
            ++m_pos;
    }
    bool Fail(const char* what)
    {
        m_error = what;
        return false;
    }
    bool FailAt(const char* what, std::string_view name = {})
    {
        m_error = what;
        if (!name.empty()) {
            m_error += " '";
            m_error += name;
            m_error += "'";
        } else if (m_pos < m_text.size() && std::isprint(static_cast<unsigned char>(m_text[m_pos]))) {
            m_error += " '";
            m_error += m_text[m_pos];
            m_error += "'";
        }
        m_error += " at position " + std::to_string(m_pos + 1);
        return false;
    }

    std::string_view m_text;
    const CStringArray& m_symbols;
    std::size_t m_pos = 0;
    std::string m_error;
};

}  // namespace

BOOL CPostExpression::CheckExpression(const CString& strExpr, const CStringArray& aSymbols, CString& strError)
{
    Checker checker(std::string_view(strExpr.GetString(), static_cast<std::size_t>(strExpr.GetLength())), aSymbols);
    if (checker.Run()) {
        strError = "";
        return TRUE;
    }
    strError = checker.Error().c_str();
    return FALSE;
}
