// Settings of the batch picture export and their text file (".rpd"): key = value lines, CR LF,
// "/" comment lines. The file carries neither the checked rows, the folder nor the prefix.
#pragma once
#include "afxstr.h"
#include "afxtempl.h"

#include <cstddef>

struct T_RESULT_PIC_SETTING_D {
    enum { VIEW_COUNT = 9 }; // Iso, Iso1, Front, Rear, Top, Bottom, Left, Right, Current

    CArray<UINT> aCompKeys;
    int nImageFormat = 0; // 0 PNG, 1 JPG, 2 BMP (3 GIF, 4 WMF: word-processor step only)
    int bAutoRange = 1;
    double dMax = 0.0;
    double dMin = 0.0;
    int nDivisions = 16;
    double dVectorScale = 1.0;
    int bRealDisp = 0;
    double dDeformScale = 1.0;
    double dDiagramScale = 1.0;
    int nImageType = 0; // 0 contour, 1 vector, 2 both, 3 diagram
    int bDeformed = 0;
    int nDeformedData = 2; // 1 DX, 2 DY, 3 DZ, 10 DXYZ
    int bWithUndeformed = 0;
    int aViews[VIEW_COUNT] = {};
    CString strFolder;

    void Initialize();
};

// Message texts of the file handlers.
extern const char* const kRpdFilter;
extern const char* const kRpdExportFailed;
extern const char* const kRpdInvalidFormat; // formatted with the file's name

// 1 for "TRUE", 0 for "FALSE", -1 otherwise (exact upper case: callers upper-case first).
int ParseBool(const char* psz);
// Upper-cases both strings in place and applies the pair to the record; 1 when understood.
int ParseSettingLine(T_RESULT_PIC_SETTING_D& rSetting, char* pszKey, char* pszValue);

// Writes the settings file (text mode, CR LF). 1 written; 0 when a code has no line text (the
// lines before it stay in the file); -1 when the file cannot be opened.
int WriteResultPicSettings(const char* pszPath, const T_RESULT_PIC_SETTING_D& rSetting);

// Reads settings text (line ends LF or CR LF) over the defaults. When valid, the settings go to
// rSetting (the component keys and the folder are kept) and 1 is returned; an invalid text
// (unknown key or value, a number that is not one whole finite number, divisions below 1 or
// outside int, three tokens, a key without value, a line over 511 characters) returns 0 and
// leaves rSetting as it was. Blank and "/" lines are skipped.
int ParseResultPicSettings(const char* pData, size_t nSize, T_RESULT_PIC_SETTING_D& rSetting);

// The handlers' work below the file dialog. The export shows the failure message for a code
// without line text; the import shows the invalid-file message (with the file's name) for an
// invalid, unopenable or unreadable file and then leaves rSetting unchanged. The import reads
// line by line and stops at the first invalid line: its cost is bounded whatever the file's
// size. TRUE on success.
BOOL ExportResultPicSettings(const char* pszPath, const T_RESULT_PIC_SETTING_D& rSetting);
BOOL ImportResultPicSettings(const char* pszPath, T_RESULT_PIC_SETTING_D& rSetting);
