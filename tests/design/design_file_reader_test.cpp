// The design text file reader on hand-written files: each case states what a line does to the
// tables. Files are written in text mode, as the writers write them (CR LF).
#include "design_test_support.h"

#include "design/CYRPC_DataTool.h"
#include "design/DesignTextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using namespace kvpvs::test;

namespace {

std::string Crlf(const std::vector<std::string>& lines)
{
    std::string s;
    for (const std::string& l : lines)
        s += l + "\r\n";
    return s;
}

const std::vector<std::string> kBeamHead = {
    "*Beam Element Design Result", "*UNIT ; Unit System", ";Force, Length", "     N,     mm",
    "*SECTION ; Section",
    ";   ID,   TYPE,    NAME,     Area,       Ix,       Iy,       Iz,       Ay,       Az,     Dim1,     Dim2,     Dim3,     Dim4,     Dim5,     Dim6",
    "     1,  Shape,    H300,    1.000,    2.000,    3.000,    4.000,    5.000,    6.000,    7.000,    8.000,    9.000,   10.000,   11.000,   12.000",
    "*MATERIAL ; Material", ";   ID,    Name,           E, Poisson's Ratio, Weight Density",
    "     1,   Steel, 200000.000,          0.300,          0.000",
    "*ATTRIBUTE ; Attribute", ";   ID, SECTION ID, MATERIAL ID", "     1,          1,           1",
    "*ELEMENT ; Element", ";    ID, ATTRIBUTE ID", "     10,            1", "     20,            1",
    "*LOADCASE", ";   ID, Load Case Name"};

const char* kRow10 = "        10,    1.000,    2.000,    3.000,    4.000,    5.000,    6.000,    7.000,    8.000,    9.000,   10.000,   11.000,   12.000";

class ReaderTest : public ::testing::Test {
protected:
    int Read(const std::vector<std::string>& lines)
    {
        WriteBytes(dir.file("KvrDesign.txt"), Crlf(lines));
        return reader.ReadDesignFile(dir.file("KvrDesign.txt").c_str());
    }
    static std::vector<std::string> Beam(std::vector<std::string> tail)
    {
        std::vector<std::string> a = kBeamHead;
        a.insert(a.end(), tail.begin(), tail.end());
        return a;
    }
    const T_YRP_CONVERT_TABLE_D& T() const { return reader.GetTables(); }
    kvpvs::testing::TempDir dir;
    CYRPC_DataTool reader;
};

TEST_F(ReaderTest, BeamFileFillsEveryTable)
{
    ASSERT_EQ(Read(Beam({"   101,          Stage 1", ";ElementID, ...", kRow10, "*FILEPATH ; File Path",
                         "/projects/pit/model", "*ENDDATA", "     7, ignored after the end"})),
              1);
    EXPECT_EQ(T().nVariant, 1);
    EXPECT_EQ(T().nForceUnit, 2);
    EXPECT_EQ(T().nLengthUnit, 0);
    const T_YRP_CONVERT_SECT* s = T().mSect.PLookup(1);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->nType, 1);
    EXPECT_EQ(s->strName, "H300");
    EXPECT_DOUBLE_EQ(s->dValue[5], 6.0);
    EXPECT_DOUBLE_EQ(s->dDim[5], 12.0);
    EXPECT_DOUBLE_EQ(T().mMatl.PLookup(1)->dValue[0], 200000.0);
    EXPECT_EQ(T().mAttr.PLookup(1)->nMatlK, 1);
    EXPECT_EQ(T().mElem.GetCount(), 2);
    const T_YRP_CONVERT_BEAM_LOAD* l = T().mBeamLoad.PLookup(10);
    ASSERT_NE(l, nullptr);
    ASSERT_EQ(l->aLoadCase.GetSize(), 1);
    EXPECT_EQ(l->aLoadCase[0].strName, "Stage 1");
    EXPECT_DOUBLE_EQ(l->aLoadCase[0].dForceI[0], 1.0);
    EXPECT_DOUBLE_EQ(l->aLoadCase[0].dForceJ[5], 12.0);
    EXPECT_EQ(T().strFilePath, "/projects/pit/model");
}

struct Malformed {
    const char* pszName;
    std::vector<std::string> tail;
    int nElemAfter;   // elements read before the read stopped
};

class MalformedBeam : public ReaderTest, public ::testing::WithParamInterface<Malformed> {};

TEST_P(MalformedBeam, StopsWithZeroAndKeepsWhatWasRead)
{
    EXPECT_EQ(Read(Beam(GetParam().tail)), 0);
    EXPECT_EQ(T().mElem.GetCount(), GetParam().nElemAfter);
    EXPECT_EQ(T().mSect.GetCount(), 1) << "read before the fault";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MalformedBeam,
    ::testing::Values(
        Malformed{"ForceRowBeforeTheFirstCase", {kRow10}, 2},
        Malformed{"LoadCaseLineOfThreeFields", {"   101, Stage 1, extra"}, 2},
        Malformed{"ForceRowOfTwelveFields",
                  {"   101, Stage 1", "        10,    1.000,    2.000,    3.000,    4.000,    5.000,    6.000,    7.000,    8.000,    9.000,   10.000,   11.000"},
                  2},
        // A name of 130 characters reads as fields of 128 and 1: the row has one field too many.
        Malformed{"FieldOf130Characters", {"*ELEMENT ; Element", "     30, " + std::string(130, '7')}, 2},
        // 2^32 + 10 is no int: it must not wrap to element 10.
        Malformed{"IntegerOutsideInt", {"*ELEMENT ; Element", ";", "4294967306, 1"}, 2},
        Malformed{"IntegerWithAFraction", {"*ELEMENT ; Element", ";", "     30, 1.5"}, 2},
        Malformed{"NanForce", {"   101, Stage 1", std::string(kRow10).replace(12, 8, "     nan")}, 2},
        Malformed{"OverflowingForce", {"   101, Stage 1", std::string(kRow10).replace(12, 8, "   1e999")}, 2},
        Malformed{"ForceWithAUnit", {"   101, Stage 1", std::string(kRow10).replace(12, 8, "  1.0 kN")}, 2},
        Malformed{"UnitNameOutsideTheTable", {"*UNIT", ";", " Newton,  metre"}, 2},
        Malformed{"UnitNameInOtherCase", {"*UNIT", ";", "     n,     mm"}, 2}),
    [](const ::testing::TestParamInfo<Malformed>& i) { return std::string(i.param.pszName); });

TEST_F(ReaderTest, AStepWithoutRowsBeforeAnotherKeepsEachRowUnderItsCase)
{
    ASSERT_EQ(Read(Beam({"   101,          Stage 1", "   102,          Stage 2",
                         ";ElementID,      Fxi,      Fyi,      Fzi,      Mxi,      Myi,      Mzi,      Fxj", kRow10,
                         "   103,          Stage 3", "*FILEPATH ; File Path", "/m", "*ENDDATA"})),
              1);
    const T_YRP_CONVERT_BEAM_LOAD* l = T().mBeamLoad.PLookup(10);
    ASSERT_NE(l, nullptr);
    ASSERT_EQ(l->aLoadCase.GetSize(), 1);
    EXPECT_EQ(l->aLoadCase[0].strName, "Stage 2") << "the row is Stage 2's, not Stage 1's";
    EXPECT_EQ(T().strFilePath, "/m") << "a step without rows before FILEPATH does not swallow the path";
}

TEST_F(ReaderTest, UnitNamesAndTypeAreExact)
{
    ASSERT_EQ(Read({"*Beam Element Design Result", "*UNIT ; Unit System", ";Force, Length", "  kips,     ft",
                    "*SECTION ; Section", ";", "     1,  shape,    H300, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12",
                    "     2,  Shape ,    H301, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12"}),
              1);
    EXPECT_EQ(T().mSect.PLookup(1)->nType, 0) << "\"Shape\" in other case";
    EXPECT_EQ(T().mSect.PLookup(2)->nType, 1) << "padding is trimmed";
    EXPECT_EQ(T().nForceUnit, 5);
    EXPECT_EQ(T().nLengthUnit, 4);
    ASSERT_EQ(Read({"*Beam Element Design Result", "*UNIT ; Unit System", ";Force, Length", "  tonf,       "}), 1);
    EXPECT_EQ(T().nForceUnit, 1);
    EXPECT_EQ(T().nLengthUnit, 0) << "an empty length unit is mm";
}

TEST_F(ReaderTest, AFileWithoutAKeywordFirstIsNoDesignFile)
{
    std::string noise(4096, '\0');
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 2654435761u) >> 13);
    noise.erase(std::remove(noise.begin(), noise.end(), '*'), noise.end());
    WriteBytes(dir.file("KvrDesign.txt"), noise);
    EXPECT_EQ(reader.ReadDesignFile(dir.file("KvrDesign.txt").c_str()), 0) << "bytes without a keyword line";
    EXPECT_EQ(Read({}), 0) << "an empty file";
    EXPECT_EQ(Read({"     7, 1", "*Beam Element Design Result"}), 0) << "a data line before the first keyword";
    EXPECT_EQ(Read({";Force, Length", "*Beam Element Design Result"}), 0) << "a title line there is data";
    ASSERT_EQ(Read({"", " , 7", "*Results", "*ELEMENT", ";", "     7, 1"}), 1) << "skipped lines are no data";
    EXPECT_EQ(T().nVariant, 1) << "a first keyword naming neither variant is beam";
    EXPECT_EQ(T().mElem.GetCount(), 1);
}

TEST_F(ReaderTest, AReadErrorIsNoEndOfTheFile)
{
    // A stream that gives a whole beam file and then fails as a disk does.
    struct Source {
        std::string text;
        size_t pos = 0;
    } src{Crlf(Beam({"   101, Stage 1", kRow10}))};
    cookie_io_functions_t io{};
    io.read = [](void* c, char* buf, size_t n) -> ssize_t {
        auto* s = static_cast<Source*>(c);
        if (s->pos == s->text.size()) {
            errno = EIO;
            return -1;
        }
        const size_t k = std::min(n, s->text.size() - s->pos);
        s->text.copy(buf, k, s->pos);
        s->pos += k;
        return static_cast<ssize_t>(k);
    };
    FILE* f = fopencookie(&src, "r", io);
    ASSERT_NE(f, nullptr);
    T_YRP_CONVERT_TABLE_D t;
    EXPECT_EQ(kvpvs::design::ReadDesignText(f, t), 0);
    EXPECT_EQ(t.mBeamLoad.GetCount(), 1) << "what was read stays";
    std::fclose(f);
}

TEST_F(ReaderTest, ANulByteInsideALineFailsTheRead)
{
    const std::string head = Crlf(Beam({"   101, Stage 1"}));
    const std::string nul(1, '\0');
    const std::pair<const char*, std::string> files[] = {
        // The NUL would hide the row's end-J forces, and the next line's numbers take their place.
        {"a NUL inside a force row", Crlf({"        10, 1.000, 1.000, 1.000, 1.000, 1.000, 1.000, " + nul +
                                               " 9.000, 9.000, 9.000, 9.000, 9.000, 9.000",
                                           "2.000, 2.000, 2.000, 2.000, 2.000, 2.000"})},
        {"a hole of NULs before a row", Crlf({kRow10}) + std::string(4096, '\0') + Crlf({kRow10})},
        {"a tail of NULs", Crlf({kRow10}) + std::string(4096, '\0')},
    };
    for (const auto& [what, tail] : files) {
        WriteBytes(dir.file("KvrDesign.txt"), head + tail);
        EXPECT_EQ(reader.ReadDesignFile(dir.file("KvrDesign.txt").c_str()), 0) << what;
    }
    WriteBytes(dir.file("KvrDesign.txt"), head + Crlf({kRow10, "*ENDDATA"}) + std::string(4096, '\0'));
    EXPECT_EQ(reader.ReadDesignFile(dir.file("KvrDesign.txt").c_str()), 1) << "NULs after the end are not read";
}

TEST_F(ReaderTest, ALongFilePathWithCommasIsTakenWhole)
{
    const std::string path = "/projects/" + std::string(150, 'p') + "/pit, phase 2/model, rev 3";
    ASSERT_EQ(Read(Beam({"*FILEPATH ; File Path", path, "*ENDDATA"})), 1);
    EXPECT_EQ(T().strFilePath, path.c_str());
}

TEST_F(ReaderTest, WithoutEndDataTheEndOfTheFileIsSuccess)
{
    EXPECT_EQ(Read(Beam({"   101, Stage 1", kRow10})), 1);
    EXPECT_EQ(T().mBeamLoad.GetCount(), 1);
    EXPECT_EQ(reader.ReadDesignFile(dir.file("missing.txt").c_str()), 0);
}

const std::vector<std::string> kPlateHead = {"*Solid/Plate Element Design Result", "*UNIT ; Unit System",
                                             ";Force, Length", "     N,     mm"};

std::vector<std::string> PlatePlane(int n, const char* pszName, bool bRows)
{
    std::vector<std::string> a = {"*PLATEFORCESUM, count, " + std::to_string(n), ";    Name, ...",
                                  std::string(pszName) + ", 1, 2, 3, 1, 0, 0", "*POINT", ";      ID, X, Y, Z",
                                  "        1, 0, 0, 0", "        2, 0, 0, 1500", "*CELL", ";      ID, ...",
                                  "        1,         1,         2,  800.000, 30000.000, 0.200, 0.000"};
    a.push_back("*FORCESUM");
    a.push_back(";      Load Case Name, FX, FY, FZ, MX, MY, MZ");
    if (bRows)
        a.push_back("              Stage 1, 1, 2, 3, 4, 5, 6");
    return a;
}

TEST_F(ReaderTest, PlatePlanesWithAndWithoutData)
{
    std::vector<std::string> f = kPlateHead;
    for (const auto& p : {PlatePlane(1, "A", true), {std::string("*PLATEFORCESUM, count, 2")}, PlatePlane(3, "C", true)})
        f.insert(f.end(), p.begin(), p.end());
    // The last plane's rows end the file: it is kept as at a keyword line.
    ASSERT_EQ(Read(f), 1);
    EXPECT_EQ(T().nVariant, 3);
    ASSERT_EQ(T().mPlane.GetCount(), 2) << "a plane without data is no plane";
    EXPECT_EQ(T().mPlane.PLookup(1)->strName, "A");
    const T_YRP_CONVERT_PLANE* c = T().mPlane.PLookup(2);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->strName, "C");
    EXPECT_EQ(c->bPlate, 1);
    EXPECT_EQ(c->mPoint.GetCount(), 2);
    EXPECT_DOUBLE_EQ(c->mCell.PLookup(1)->dThickness, 800.0);
    EXPECT_EQ(c->mCell.PLookup(1)->nPointK[1], 2);
    EXPECT_DOUBLE_EQ(c->aForceSum[0].dSum[5], 6.0);
}

TEST_F(ReaderTest, ACellOnAPointNotGivenFailsThePlane)
{
    std::vector<std::string> f = kPlateHead;
    for (const auto& p : {PlatePlane(1, "A", true), PlatePlane(2, "B", true)})
        f.insert(f.end(), p.begin(), p.end());
    std::string& cell = f[kPlateHead.size() + PlatePlane(1, "", true).size() + 9];
    ASSERT_EQ(cell.substr(0, 20), "        1,         1");
    cell.replace(19, 1, "3");
    EXPECT_EQ(Read(f), 0);
    EXPECT_EQ(T().mPlane.GetCount(), 1) << "A was stored before";
}

TEST_F(ReaderTest, APlaneWithoutForceRowsLeavesNothingToTheNext)
{
    std::vector<std::string> f = kPlateHead;
    for (const auto& p : {PlatePlane(1, "A", false), PlatePlane(2, "B", true)})
        f.insert(f.end(), p.begin(), p.end());
    f.insert(f.begin() + static_cast<std::ptrdiff_t>(kPlateHead.size()) + 6, "        3, 9, 9, 9");
    ASSERT_EQ(Read(f), 1);
    ASSERT_EQ(T().mPlane.GetCount(), 1);
    EXPECT_EQ(T().mPlane.PLookup(1)->strName, "B");
    EXPECT_EQ(T().mPlane.PLookup(1)->mPoint.GetCount(), 2) << "A's third point is not B's";
}

TEST_F(ReaderTest, SolidPlanesRepeatTheHeaderAndCarryTheirSection)
{
    std::vector<std::string> f;
    for (int n = 1; n <= 2; ++n) {
        f.insert(f.end(), kPlateHead.begin(), kPlateHead.end());
        for (const std::string& l :
             {"*SOLIDFORCESUM, count, " + std::to_string(n), std::string(";"), std::string("S, 0, 0, 0, 1, 0, 0"),
              std::string("*POINT"), std::string(";"), std::string("1, 0, 0, 0"), std::string("2, 0, 1000, 0"),
              std::string("3, 0, 1000, 500"), std::string("*CELL"),
              std::string(";"), std::string("1, 1, 2, 3, 80.000, 0.300, 0.000"), std::string("*Boundary Edge Point"),
              std::string(";Point ID"), std::string("        1"), std::string("*SECTION; section"),
              std::string(";                AREA,                   h,                   b"),
              std::string("  500000.000, 1000.000, 500.000"), std::string("*FORCESUM"), std::string(";"),
              std::string("Stage 1, 1, 2, 3, 4, 5, 6")})
            f.push_back(l);
    }
    f.push_back("*ENDDATA");
    ASSERT_EQ(Read(f), 1);
    EXPECT_EQ(T().nVariant, 2);
    ASSERT_EQ(T().mPlane.GetCount(), 2);
    const T_YRP_CONVERT_PLANE* p = T().mPlane.PLookup(2);
    EXPECT_EQ(p->bPlate, 0);
    EXPECT_EQ(p->mCell.PLookup(1)->nPointK[2], 3);
    EXPECT_DOUBLE_EQ(p->mCell.PLookup(1)->dElasticModulus, 80.0);
    EXPECT_DOUBLE_EQ(p->dSection[1], 1000.0);
    EXPECT_DOUBLE_EQ(p->dSection[2], 500.0);
}

} // namespace
