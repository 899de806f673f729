// The picture-export settings file: the exported bytes against the file's line table written out
// by hand, every import edge case, and export then import restoring what was written.
#include "dialogs/ResultPicSetting.h"

#include "windows.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ScratchPath(const char* pszTag)
{
    return std::string(::testing::TempDir()) + "kvpvs_rpd_" + pszTag + "_" + std::to_string(getpid()) + ".rpd";
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream os;
    os << in.rdbuf();
    return os.str();
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// The file's line table with CR LF; the middle lines as given.
std::string ExpectedFile(const std::string& range, const std::string& scales, const std::string& shape,
                         const std::string& views)
{
    return "/////////////////////////////////////\r\n"
           "// Image Format                    //\r\n"
           "// PNG, JPG, BMP                   //\r\n"
           "/////////////////////////////////////\r\n" +
           range + scales +
           "////////////////////////////////////\r\n"
           "// Image Type                     //\r\n"
           "// Contour, Vector, Both, Diagram //\r\n"
           "////////////////////////////////////\r\n" +
           shape + views;
}

const char* const kDefaultViews = "ISO = FALSE\r\nISO1 = FALSE\r\nFRONT = FALSE\r\nREAR = FALSE\r\n"
                                  "TOP = FALSE\r\nBOTTOM = FALSE\r\nLEFT = FALSE\r\nRIGHT = FALSE\r\n"
                                  "USER = FALSE\r\n";

const char* const kDeformBlock = "/////////////////////////////////////\r\n"
                                 "// Image Type                      //\r\n"
                                 "// DX, DY, DZ, DXYZ                //\r\n"
                                 "/////////////////////////////////////\r\n";

class PictureSettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        Win32ClearMessageBoxJournal();
        s.Initialize();
    }
    void TearDown() override { std::remove(path.c_str()); }

    int Parse(const std::string& text) { return ParseResultPicSettings(text.data(), text.size(), s); }

    T_RESULT_PIC_SETTING_D s;
    std::string path = ScratchPath("t");
};

TEST_F(PictureSettingsFile, DefaultsExportByteForByte)
{
    ASSERT_TRUE(ExportResultPicSettings(path.c_str(), s));
    const std::string expected = ExpectedFile(
        "Image_Format = PNG\r\nAuto_Range = TRUE\r\nMaximum_Value = 0\r\nMinimum_Value = 0\r\n"
        "Number_of_Division = 16\r\n",
        "Vector_Scale = 1\r\nDiagram_Scale = 1\r\nUse_Real_Deform_Value = FALSE\r\nDeform_Scale = 1\r\n",
        std::string("Image_Type = Contour\r\nDeformed = FALSE\r\n") + kDeformBlock +
            "Deformed_Data = DY\r\nWith_Undeformed = FALSE\r\n",
        kDefaultViews);
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

TEST_F(PictureSettingsFile, UserRangeExportsSixSignificantDigits)
{
    s.nImageFormat = 2;
    s.bAutoRange = 0;
    s.dMax = 1234567.0;  // 1.23457e+06
    s.dMin = -0.5;
    s.nDivisions = 12;
    s.dVectorScale = 2.0 / 3.0; // 0.666667
    s.dDiagramScale = 0.000125;
    s.dDeformScale = 250.0;
    s.nImageType = 3;
    s.bDeformed = 1;
    s.nDeformedData = 10;
    s.bWithUndeformed = 1;
    s.aViews[0] = s.aViews[8] = 1;
    ASSERT_TRUE(ExportResultPicSettings(path.c_str(), s));
    const std::string expected = ExpectedFile(
        "Image_Format = BMP\r\nAuto_Range = FALSE\r\nMaximum_Value = 1.23457e+06\r\n"
        "Minimum_Value = -0.5\r\nNumber_of_Division = 12\r\n",
        "Vector_Scale = 0.666667\r\nDiagram_Scale = 0.000125\r\nUse_Real_Deform_Value = FALSE\r\n"
        "Deform_Scale = 250\r\n",
        std::string("Image_Type = Diagram\r\nDeformed = TRUE\r\n") + kDeformBlock +
            "Deformed_Data = DXYZ\r\nWith_Undeformed = TRUE\r\n",
        "ISO = TRUE\r\nISO1 = FALSE\r\nFRONT = FALSE\r\nREAR = FALSE\r\nTOP = FALSE\r\n"
        "BOTTOM = FALSE\r\nLEFT = FALSE\r\nRIGHT = FALSE\r\nUSER = TRUE\r\n");
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST_F(PictureSettingsFile, AutoRangeAndRealDisplacementWriteFixedValues)
{
    s.dMax = 9.0;
    s.dMin = -3.0;
    s.nDivisions = 7;
    s.bRealDisp = 1;
    s.dDeformScale = 40.0;
    s.bDeformed = 0;
    s.bWithUndeformed = 1; // not written while the shape is undeformed
    ASSERT_TRUE(ExportResultPicSettings(path.c_str(), s));
    const std::string text = ReadBytes(path);
    EXPECT_NE(text.find("\r\nMaximum_Value = 0\r\nMinimum_Value = 0\r\nNumber_of_Division = 16\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nUse_Real_Deform_Value = TRUE\r\nDeform_Scale = 1\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nWith_Undeformed = FALSE\r\n"), std::string::npos);
}

TEST_F(PictureSettingsFile, CodeWithoutTextStopsExportWithMessage)
{
    s.nImageType = 7;
    EXPECT_FALSE(ExportResultPicSettings(path.c_str(), s));
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    EXPECT_STREQ(Win32MessageBoxAt(0)->pszText, kRpdExportFailed);
    const std::string text = ReadBytes(path);
    // The lines before the image type stay in the file.
    EXPECT_NE(text.find("Deform_Scale = 1\r\n////////////////////////////////////\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Image_Type"), std::string::npos);
}

TEST_F(PictureSettingsFile, ExportThenImportRestoresEveryValue)
{
    T_RESULT_PIC_SETTING_D w;
    w.Initialize();
    w.nImageFormat = 1;
    w.bAutoRange = 0;
    w.dMax = 2.5e-07; // written with an exponent
    w.dMin = -42.5;
    w.nDivisions = 9;
    w.dVectorScale = 3.5;
    w.dDiagramScale = 0.25;
    w.dDeformScale = 12.0;
    w.nImageType = 2;
    w.bDeformed = 1;
    w.nDeformedData = 3;
    w.bWithUndeformed = 1;
    for (int i = 0; i < T_RESULT_PIC_SETTING_D::VIEW_COUNT; ++i)
        w.aViews[i] = i % 2;
    ASSERT_TRUE(ExportResultPicSettings(path.c_str(), w));
    s.aCompKeys.Add(77); // the file does not carry the checked rows
    ASSERT_TRUE(ImportResultPicSettings(path.c_str(), s));
    EXPECT_EQ(s.nImageFormat, 1);
    EXPECT_EQ(s.bAutoRange, 0);
    EXPECT_EQ(s.dMax, 2.5e-07);
    EXPECT_EQ(s.dMin, -42.5);
    EXPECT_EQ(s.nDivisions, 9);
    EXPECT_EQ(s.dVectorScale, 3.5);
    EXPECT_EQ(s.dDiagramScale, 0.25);
    EXPECT_EQ(s.bRealDisp, 0);
    EXPECT_EQ(s.dDeformScale, 12.0);
    EXPECT_EQ(s.nImageType, 2);
    EXPECT_EQ(s.bDeformed, 1);
    EXPECT_EQ(s.nDeformedData, 3);
    EXPECT_EQ(s.bWithUndeformed, 1);
    for (int i = 0; i < T_RESULT_PIC_SETTING_D::VIEW_COUNT; ++i)
        EXPECT_EQ(s.aViews[i], i % 2) << i;
    ASSERT_EQ(s.aCompKeys.GetSize(), 1);
    EXPECT_EQ(Win32MessageBoxCount(), 0);
}

TEST_F(PictureSettingsFile, ImportIgnoresCaseAndNeedsNoBlanks)
{
    ASSERT_EQ(Parse("image_format = jpg\nDeformed_Data=dxyz\r\n// comment = x y z\n"), 1);
    EXPECT_EQ(s.nImageFormat, 1);
    EXPECT_EQ(s.nDeformedData, 10);
    ASSERT_EQ(Parse("Image_Format=PNG"), 1);
    EXPECT_EQ(s.nImageFormat, 0);
}

TEST_F(PictureSettingsFile, MissingKeysTakeDefaults)
{
    s.nImageFormat = 2;
    s.bAutoRange = 0;
    s.nDivisions = 5;
    s.aViews[4] = 1;
    ASSERT_EQ(Parse("ISO = TRUE\r\n"), 1);
    EXPECT_EQ(s.nImageFormat, 0);
    EXPECT_EQ(s.bAutoRange, 1);
    EXPECT_EQ(s.nDivisions, 16);
    for (int i = 0; i < T_RESULT_PIC_SETTING_D::VIEW_COUNT; ++i)
        EXPECT_EQ(s.aViews[i], i == 0 ? 1 : 0) << i;
}

TEST_F(PictureSettingsFile, BlankLinesAreSkippedAndNumbersReadWhole)
{
    ASSERT_EQ(Parse("\r\n   \r\nMaximum_Value = -2.5e-07\n\nNumber_of_Division = 1\n"), 1);
    EXPECT_EQ(s.dMax, -2.5e-07);
    EXPECT_EQ(s.nDivisions, 1);
}

struct InvalidCase {
    const char* pszName;
    std::string text;
};

class PictureSettingsInvalid : public PictureSettingsFile, public ::testing::WithParamInterface<InvalidCase> {};

TEST_P(PictureSettingsInvalid, ShowsMessageAndChangesNothing)
{
    s.nImageFormat = 2;
    s.dVectorScale = 7.0;
    s.aViews[3] = 1;
    WriteBytes(path, GetParam().text);
    EXPECT_FALSE(ImportResultPicSettings(path.c_str(), s));
    EXPECT_EQ(s.nImageFormat, 2);
    EXPECT_EQ(s.dVectorScale, 7.0);
    EXPECT_EQ(s.aViews[3], 1);
    EXPECT_EQ(s.aViews[0], 0);
    ASSERT_EQ(Win32MessageBoxCount(), 1);
    const std::string name = path.substr(path.find_last_of('/') + 1);
    EXPECT_EQ(Win32MessageBoxAt(0)->pszText, "The result image information file \"" + name + "\" is invalid.");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PictureSettingsInvalid,
    ::testing::Values(InvalidCase{"BooleanYes", "ISO = TRUE\r\nAuto_Range = YES\r\n"},
                      InvalidCase{"ThreeTokens", "ISO = TRUE\r\nVector_Scale = 2 3\r\n"},
                      InvalidCase{"UnknownKey", "ISO = TRUE\r\nColour = RED\r\n"},
                      InvalidCase{"ValueOutsideList", "ISO = TRUE\r\nImage_Format = GIF\r\n"},
                      InvalidCase{"KeyWithoutValue", "ISO = TRUE\r\nVector_Scale =\r\n"},
                      InvalidCase{"TabIsNoSeparator", "ISO = TRUE\r\nISO\t= TRUE\r\n"},
                      InvalidCase{"LineOver511", "ISO = TRUE\r\nVector_Scale = " + std::string(497, '1') + "\r\n"},
                      InvalidCase{"DivisionsZero", "ISO = TRUE\r\nNumber_of_Division = 0\r\n"},
                      InvalidCase{"DivisionsNegative", "ISO = TRUE\r\nNumber_of_Division = -5\r\n"},
                      InvalidCase{"DivisionsBeyondInt", "ISO = TRUE\r\nNumber_of_Division = 99999999999999999999\r\n"},
                      InvalidCase{"DivisionsLetters", "ISO = TRUE\r\nNumber_of_Division = abc\r\n"},
                      InvalidCase{"LetterInsideNumber", "ISO = TRUE\r\nNumber_of_Division = 1O0\r\n"},
                      InvalidCase{"ScaleWithTail", "ISO = TRUE\r\nDiagram_Scale = 0.5x\r\n"},
                      InvalidCase{"LimitNotANumber", "ISO = TRUE\r\nMaximum_Value = nan\r\n"},
                      InvalidCase{"LimitOverflows", "ISO = TRUE\r\nMinimum_Value = -1e999\r\n"},
                      InvalidCase{"ScaleInfinite", "ISO = TRUE\r\nDeform_Scale = inf\r\n"}),
    [](const ::testing::TestParamInfo<InvalidCase>& i) { return std::string(i.param.pszName); });

TEST_F(PictureSettingsFile, LineOf511CharactersIsRead)
{
    // 15 + 496 = 511 characters before the line end.
    ASSERT_EQ(Parse("Vector_Scale = " + std::string(495, '0') + "2\r\n"), 1);
    EXPECT_EQ(s.dVectorScale, 2.0);
}

// Bytes the process has read from files so far, as the kernel counts them.
long long BytesRead()
{
    std::ifstream in("/proc/self/io");
    std::string key;
    long long n = 0;
    while (in >> key >> n)
        if (key == "rchar:")
            return n;
    return -1;
}

int OpenFiles()
{
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

TEST_F(PictureSettingsFile, HugeFileIsRefusedAtItsFirstLineAndClosed)
{
    // 1 GiB of NUL bytes without a line end, sparse on disk: its first line is already too long.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, off_t{1} << 30), 0);
    close(fd);
    s.nImageFormat = 1;
    const int nFiles = OpenFiles();
    const long long nBefore = BytesRead();
    ASSERT_GE(nBefore, 0);
    EXPECT_FALSE(ImportResultPicSettings(path.c_str(), s));
    EXPECT_LT(BytesRead() - nBefore, 1 << 20) << "the reading goes on past the first line";
    EXPECT_EQ(OpenFiles(), nFiles);
    EXPECT_EQ(s.nImageFormat, 1);
    EXPECT_EQ(Win32MessageBoxCount(), 1);
}

TEST_F(PictureSettingsFile, UnopenableFileChangesNothing)
{
    s.nImageFormat = 1;
    const std::string missing = path + ".missing";
    EXPECT_FALSE(ImportResultPicSettings(missing.c_str(), s));
    EXPECT_EQ(s.nImageFormat, 1);
    ASSERT_EQ(Win32MessageBoxCount(), 1);
}

} // namespace
