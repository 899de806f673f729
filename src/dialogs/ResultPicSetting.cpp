#include "dialogs/ResultPicSetting.h"

#include "afxfile.h"
#include "afxwin.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <locale>
#include <sstream>
#include <string>

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

// atoi without its undefined overflow: out-of-range values saturate.
int ToInt(const char* psz)
{
    errno = 0;
    const long n = std::strtol(psz, nullptr, 10);
    if (n > INT_MAX)
        return INT_MAX;
    if (n < INT_MIN)
        return INT_MIN;
    return static_cast<int>(n);
}

double ToDouble(const char* psz) { return std::strtod(psz, nullptr); }

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

// One line without its line end: 1 understood or skipped, 0 invalid.
int ParseLine(std::string line, T_RESULT_PIC_SETTING_D& rSetting)
{
    if (!line.empty() && line[0] == '/')
        return 1;
    std::string aTokens[3];
    int nTokens = 0;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSeparator(line[i]))
            ++i;
        if (i == line.size())
            break;
        const size_t nStart = i;
        while (i < line.size() && !IsSeparator(line[i]))
            ++i;
        if (nTokens == 2)
            return 0;
        aTokens[nTokens++] = line.substr(nStart, i - nStart);
    }
    if (nTokens == 0)
        return 1;
    if (nTokens == 1)
        return 0;
    // A NUL inside a token would cut it short below; such a token names no key or value.
    if (aTokens[0].find('\0') != std::string::npos || aTokens[1].find('\0') != std::string::npos)
        return 0;
    return ParseSettingLine(rSetting, aTokens[0].data(), aTokens[1].data());
}

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
    const std::string key = pszKey;
    if (key == "IMAGE_FORMAT") {
        static const char* const aTexts[] = {"PNG", "JPG", "BMP"};
        static const int aCodes[] = {0, 1, 2};
        return Lookup(pszValue, aTexts, aCodes, 3, rSetting.nImageFormat);
    }
    if (key == "AUTO_RANGE")
        return SetBool(pszValue, rSetting.bAutoRange);
    if (key == "MAXIMUM_VALUE") {
        rSetting.dMax = ToDouble(pszValue);
        return 1;
    }
    if (key == "MINIMUM_VALUE") {
        rSetting.dMin = ToDouble(pszValue);
        return 1;
    }
    if (key == "NUMBER_OF_DIVISION") {
        rSetting.nDivisions = ToInt(pszValue);
        return 1;
    }
    if (key == "VECTOR_SCALE") {
        rSetting.dVectorScale = ToDouble(pszValue);
        return 1;
    }
    if (key == "USE_REAL_DEFORM_VALUE")
        return SetBool(pszValue, rSetting.bRealDisp);
    if (key == "DEFORM_SCALE") {
        rSetting.dDeformScale = ToDouble(pszValue);
        return 1;
    }
    if (key == "DIAGRAM_SCALE") {
        rSetting.dDiagramScale = ToDouble(pszValue);
        return 1;
    }
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
    T_RESULT_PIC_SETTING_D read;
    read.Initialize();
    size_t nPos = 0;
    while (nPos < nSize) {
        const void* pEnd = std::memchr(pData + nPos, '\n', nSize - nPos);
        const size_t nEnd = pEnd ? static_cast<size_t>(static_cast<const char*>(pEnd) - pData) : nSize;
        size_t nLen = nEnd - nPos;
        if (nLen > 0 && pData[nPos + nLen - 1] == '\r')
            --nLen;
        if (nLen > kMaxLine)
            return 0;
        if (!ParseLine(std::string(pData + nPos, nLen), read))
            return 0;
        nPos = nEnd + 1;
    }
    CopyFileFields(read, rSetting);
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
    std::string text;
    bool bRead = false;
    if (FILE* f = AfxTextFOpen(pszPath, "rt")) {
        char buf[4096];
        size_t n = 0;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            text.append(buf, n);
        bRead = !std::ferror(f);
        std::fclose(f);
    }
    if (!bRead || !ParseResultPicSettings(text.data(), text.size(), rSetting)) {
        CString msg;
        msg.Format(kRpdInvalidFormat, static_cast<const char*>(FileNameOf(pszPath)));
        AfxMessageBox(msg);
        return FALSE;
    }
    return TRUE;
}
