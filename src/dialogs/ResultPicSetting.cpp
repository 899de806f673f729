#include "dialogs/ResultPicSetting.h"

#include "afxfile.h"
#include "afxwin.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <locale>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

const char* const kRpdFilter = "Result Picture Data File (*.rpd)|*.rpd|All Files (*.*)|*.*||";
const char* const kRpdExportFailed = "Failed to export the RPD file.";
const char* const kRpdInvalidFormat = "The result image information file \"%s\" is invalid.";

namespace {

const char* const kViewKeys[T_RESULT_PIC_SETTING_D::VIEW_COUNT] = {
    "ISO", "ISO1", "FRONT", "REAR", "TOP", "BOTTOM", "LEFT", "RIGHT", "USER"};

// The reader's line buffer holds 512 characters with its terminator.
constexpr size_t kMaxLine = 511;

const char* FormatText(int nFormat)
{
    switch (nFormat) {
    case 0: return "PNG";
    case 1: return "JPG";
    case 2: return "BMP";
    default: return nullptr;
    }
}

const char* ImageTypeText(int nType)
{
    switch (nType) {
    case 0: return "Contour";
    case 1: return "Vector";
    case 2: return "Both";
    case 3: return "Diagram";
    default: return nullptr;
    }
}

const char* DeformedDataText(int nCode)
{
    switch (nCode) {
    case 1: return "DX";
    case 2: return "DY";
    case 3: return "DZ";
    case 10: return "DXYZ";
    default: return nullptr;
    }
}

const char* BoolText(int b) { return b ? "TRUE" : "FALSE"; }

// Decimal numbers as a default-formatted stream writes them (six significant digits), in the
// C locale whatever the host's.
std::string Number(double d)
{
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os << d;
    return os.str();
}

// Number fields hold one value and nothing else, in the C locale as the export writes them
// whatever the host's locale: "1O0" or "12abc" is no number, nor is a limit or scale that is
// not finite, nor a division count below 1 or outside int.
template <class T>
bool ParseWhole(const char* psz, T& rValue)
{
    const char* pEnd = psz + std::strlen(psz);
    T v{};
    const auto [p, ec] = std::from_chars(psz, pEnd, v);
    if (ec != std::errc() || p != pEnd)
        return false;
    rValue = v;
    return true;
}

int SetFinite(const char* pszValue, double& rField)
{
    double d = 0.0;
    if (!ParseWhole(pszValue, d) || !std::isfinite(d))
        return 0;
    rField = d;
    return 1;
}

int SetDivisions(const char* pszValue, int& rField)
{
    int n = 0;
    if (!ParseWhole(pszValue, n) || n < 1)
        return 0;
    rField = n;
    return 1;
}

void UpperInPlace(char* psz)
{
    for (; *psz; ++psz)
        if (*psz >= 'a' && *psz <= 'z')
            *psz = static_cast<char>(*psz - 'a' + 'A');
}

int Lookup(const char* pszValue, const char* const* aTexts, const int* aCodes, int nCount, int& rCode)
{
    for (int i = 0; i < nCount; ++i) {
        if (std::strcmp(pszValue, aTexts[i]) == 0) {
            rCode = aCodes[i];
            return 1;
        }
    }
    return 0;
}

int SetBool(const char* pszValue, int& rField)
{
    const int b = ParseBool(pszValue);
    if (b < 0)
        return 0;
    rField = b;
    return 1;
}

// Fields the file carries.
void CopyFileFields(const T_RESULT_PIC_SETTING_D& src, T_RESULT_PIC_SETTING_D& dst)
{
    dst.nImageFormat = src.nImageFormat;
    dst.bAutoRange = src.bAutoRange;
    dst.dMax = src.dMax;
    dst.dMin = src.dMin;
    dst.nDivisions = src.nDivisions;
    dst.dVectorScale = src.dVectorScale;
    dst.bRealDisp = src.bRealDisp;
    dst.dDeformScale = src.dDeformScale;
    dst.dDiagramScale = src.dDiagramScale;
    dst.nImageType = src.nImageType;
    dst.bDeformed = src.bDeformed;
    dst.nDeformedData = src.nDeformedData;
    dst.bWithUndeformed = src.bWithUndeformed;
    for (int i = 0; i < T_RESULT_PIC_SETTING_D::VIEW_COUNT; ++i)
        dst.aViews[i] = src.aViews[i];
}

bool IsSeparator(char c) { return c == ' ' || c == '=' || c == '\n' || c == '\r'; }

// One line without its line end, cut into tokens in place: 1 understood or skipped, 0 invalid.
int ParseLine(char* pszLine, size_t nLen, T_RESULT_PIC_SETTING_D& rSetting)
{
    if (nLen > 0 && pszLine[0] == '/')
        return 1;
    char* aTokens[2] = {};
    int nTokens = 0;
    size_t i = 0;
    while (i < nLen) {
        while (i < nLen && IsSeparator(pszLine[i]))
            ++i;
        if (i == nLen)
            break;
        if (nTokens == 2)
            return 0;
        aTokens[nTokens++] = pszLine + i;
        // A NUL is no separator: inside a token it names no key or value.
        for (; i < nLen && !IsSeparator(pszLine[i]); ++i)
            if (pszLine[i] == '\0')
                return 0;
        if (i < nLen)
            pszLine[i++] = '\0'; // the separator ends the token
    }
    if (nTokens == 0)
        return 1;
    if (nTokens == 1)
        return 0;
    return ParseSettingLine(rSetting, aTokens[0], aTokens[1]);
}

// Settings text taken in pieces of any size and parsed line by line into defaults. A line
// longer than any valid one ends the reading at once, so the cost is bounded by the line
// limit however much text follows, and nothing is allocated whatever the text.
class SettingsReader {
public:
    SettingsReader() { m_read.Initialize(); }

    // False once the text is invalid; the caller stops feeding.
    bool Feed(const char* p, size_t n)
    {
        for (size_t i = 0; i < n && !m_bInvalid; ++i) {
            if (p[i] == '\n')
                EndLine();
            else if (m_nLen == kMaxLine + 1) // over the limit even without a CR before the LF
                m_bInvalid = true;
            else
                m_szLine[m_nLen++] = p[i];
        }
        return !m_bInvalid;
    }

    // Ends the text (its last line may lack a line end); true when it was valid.
    bool Finish()
    {
        if (m_nLen > 0 && !m_bInvalid)
            EndLine();
        return !m_bInvalid;
    }

    const T_RESULT_PIC_SETTING_D& Result() const { return m_read; }

private:
    void EndLine()
    {
        size_t nLen = m_nLen;
        m_nLen = 0;
        if (nLen > 0 && m_szLine[nLen - 1] == '\r')
            --nLen;
        m_szLine[nLen] = '\0';
        if (nLen > kMaxLine || !ParseLine(m_szLine, nLen, m_read))
            m_bInvalid = true;
    }

    T_RESULT_PIC_SETTING_D m_read;
    char m_szLine[kMaxLine + 2] = {}; // the limit, a CR before the LF, the terminator
    size_t m_nLen = 0;
    bool m_bInvalid = false;
};

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

CString FileNameOf(const char* pszPath)
{
    const char* pszName = pszPath;
    for (const char* p = pszPath; *p; ++p)
        if (*p == '\\' || *p == '/')
            pszName = p + 1;
    return CString(pszName);
}

} // namespace

void T_RESULT_PIC_SETTING_D::Initialize()
{
    aCompKeys.RemoveAll();
    nImageFormat = 0;
    bAutoRange = 1;
    dMax = 0.0;
    dMin = 0.0;
    nDivisions = 16;
    dVectorScale = 1.0;
    bRealDisp = 0;
    dDeformScale = 1.0;
    dDiagramScale = 1.0;
    nImageType = 0;
    bDeformed = 0;
    nDeformedData = 2;
    bWithUndeformed = 0;
    for (int& b : aViews)
        b = 0;
    strFolder.Empty();
}

int ParseBool(const char* psz)
{
    if (std::strcmp(psz, "TRUE") == 0)
        return 1;
    if (std::strcmp(psz, "FALSE") == 0)
        return 0;
    return -1;
}

int ParseSettingLine(T_RESULT_PIC_SETTING_D& rSetting, char* pszKey, char* pszValue)
{
    UpperInPlace(pszKey);
    UpperInPlace(pszValue);
    const std::string_view key = pszKey;
    if (key == "IMAGE_FORMAT") {
        static const char* const aTexts[] = {"PNG", "JPG", "BMP"};
        static const int aCodes[] = {0, 1, 2};
        return Lookup(pszValue, aTexts, aCodes, 3, rSetting.nImageFormat);
    }
    if (key == "AUTO_RANGE")
        return SetBool(pszValue, rSetting.bAutoRange);
    if (key == "MAXIMUM_VALUE")
        return SetFinite(pszValue, rSetting.dMax);
    if (key == "MINIMUM_VALUE")
        return SetFinite(pszValue, rSetting.dMin);
    if (key == "NUMBER_OF_DIVISION")
        return SetDivisions(pszValue, rSetting.nDivisions);
    if (key == "VECTOR_SCALE")
        return SetFinite(pszValue, rSetting.dVectorScale);
    if (key == "USE_REAL_DEFORM_VALUE")
        return SetBool(pszValue, rSetting.bRealDisp);
    if (key == "DEFORM_SCALE")
        return SetFinite(pszValue, rSetting.dDeformScale);
    if (key == "DIAGRAM_SCALE")
        return SetFinite(pszValue, rSetting.dDiagramScale);
    if (key == "IMAGE_TYPE") {
        static const char* const aTexts[] = {"CONTOUR", "VECTOR", "BOTH", "DIAGRAM"};
        static const int aCodes[] = {0, 1, 2, 3};
        return Lookup(pszValue, aTexts, aCodes, 4, rSetting.nImageType);
    }
    if (key == "DEFORMED")
        return SetBool(pszValue, rSetting.bDeformed);
    if (key == "DEFORMED_DATA") {
        static const char* const aTexts[] = {"DX", "DY", "DZ", "DXYZ"};
        static const int aCodes[] = {1, 2, 3, 10};
        return Lookup(pszValue, aTexts, aCodes, 4, rSetting.nDeformedData);
    }
    if (key == "WITH_UNDEFORMED")
        return SetBool(pszValue, rSetting.bWithUndeformed);
    for (int i = 0; i < T_RESULT_PIC_SETTING_D::VIEW_COUNT; ++i)
        if (key == kViewKeys[i])
            return SetBool(pszValue, rSetting.aViews[i]);
    return 0;
}

int WriteResultPicSettings(const char* pszPath, const T_RESULT_PIC_SETTING_D& s)
{
    FILE* f = AfxTextFOpen(pszPath, "wt");
    if (!f)
        return -1;
    std::string text;
    auto line = [&text](const std::string& l) { text += l + "\n"; };
    auto flush = [&text, f] {
        std::fwrite(text.data(), 1, text.size(), f);
        text.clear();
    };
    int nResult = 1;
    do {
        line("/////////////////////////////////////");
        line("// Image Format                    //");
        line("// PNG, JPG, BMP                   //");
        line("/////////////////////////////////////");
        const char* pszFormat = FormatText(s.nImageFormat);
        if (!pszFormat) {
            nResult = 0;
            break;
        }
        line(std::string("Image_Format = ") + pszFormat);
        line(std::string("Auto_Range = ") + BoolText(s.bAutoRange));
        if (s.bAutoRange) {
            line("Maximum_Value = 0");
            line("Minimum_Value = 0");
            line("Number_of_Division = 16");
        } else {
            line("Maximum_Value = " + Number(s.dMax));
            line("Minimum_Value = " + Number(s.dMin));
            line("Number_of_Division = " + std::to_string(s.nDivisions));
        }
        line("Vector_Scale = " + Number(s.dVectorScale));
        line("Diagram_Scale = " + Number(s.dDiagramScale));
        line(std::string("Use_Real_Deform_Value = ") + BoolText(s.bRealDisp));
        line("Deform_Scale = " + (s.bRealDisp ? std::string("1") : Number(s.dDeformScale)));
        line("////////////////////////////////////");
        line("// Image Type                     //");
        line("// Contour, Vector, Both, Diagram //");
        line("////////////////////////////////////");
        const char* pszType = ImageTypeText(s.nImageType);
        if (!pszType) {
            nResult = 0;
            break;
        }
        line(std::string("Image_Type = ") + pszType);
        line(std::string("Deformed = ") + BoolText(s.bDeformed));
        line("/////////////////////////////////////");
        line("// Image Type                      //");
        line("// DX, DY, DZ, DXYZ                //");
        line("/////////////////////////////////////");
        const char* pszData = DeformedDataText(s.nDeformedData);
        if (!pszData) {
            nResult = 0;
            break;
        }
        line(std::string("Deformed_Data = ") + pszData);
        line(std::string("With_Undeformed = ") + BoolText(s.bDeformed ? s.bWithUndeformed : 0));
        for (int i = 0; i < T_RESULT_PIC_SETTING_D::VIEW_COUNT; ++i)
            line(std::string(kViewKeys[i]) + " = " + BoolText(s.aViews[i]));
    } while (false);
    flush();
    std::fclose(f);
    return nResult;
}

int ParseResultPicSettings(const char* pData, size_t nSize, T_RESULT_PIC_SETTING_D& rSetting)
{
    SettingsReader reader;
    if (!reader.Feed(pData, nSize) || !reader.Finish())
        return 0;
    CopyFileFields(reader.Result(), rSetting);
    return 1;
}

BOOL ExportResultPicSettings(const char* pszPath, const T_RESULT_PIC_SETTING_D& rSetting)
{
    const int nResult = WriteResultPicSettings(pszPath, rSetting);
    if (nResult == 0) {
        AfxMessageBox(kRpdExportFailed);
        return FALSE;
    }
    // Write errors go unreported, as a file that cannot be created does.
    return nResult > 0;
}

BOOL ImportResultPicSettings(const char* pszPath, T_RESULT_PIC_SETTING_D& rSetting)
{
    SettingsReader reader;
    bool bValid = false;
    if (const std::unique_ptr<FILE, FileCloser> f{AfxTextFOpen(pszPath, "rt")}) {
        char buf[4096];
        size_t n = 0;
        bool bGood = true;
        while (bGood && (n = std::fread(buf, 1, sizeof buf, f.get())) > 0)
            bGood = reader.Feed(buf, n);
        // A read error is no end of the file.
        bValid = bGood && !std::ferror(f.get()) && reader.Finish();
    }
    if (!bValid) {
        CString msg;
        msg.Format(kRpdInvalidFormat, static_cast<const char*>(FileNameOf(pszPath)));
        AfxMessageBox(msg);
        return FALSE;
    }
    CopyFileFields(reader.Result(), rSetting);
    return TRUE;
}
