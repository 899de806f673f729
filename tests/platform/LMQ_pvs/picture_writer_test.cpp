// The offscreen picture writer: each image format gives its own file signature, a "\" in the path
// separates folders and missing folders are made, only the eight named views have cameras, a
// picture's view does not depend on the pictures taken before it, and a picture that cannot be
// drawn for want of a display is reported as not written.
#include "DisplayRequired.h"
#include "PVSRendererBase.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <vtkCellArray.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Head(const std::string& path, size_t n)
{
    std::ifstream in(path, std::ios::binary);
    std::string s(n, '\0');
    in.read(s.data(), static_cast<std::streamsize>(n));
    return in ? s : std::string();
}

vtkSmartPointer<vtkPolyData> Triangle()
{
    auto pts = vtkSmartPointer<vtkPoints>::New();
    pts->InsertNextPoint(0, 0, 0);
    pts->InsertNextPoint(1, 0, 0);
    pts->InsertNextPoint(0, 0, 1);
    auto cells = vtkSmartPointer<vtkCellArray>::New();
    const vtkIdType ids[3] = {0, 1, 2};
    cells->InsertNextCell(3, ids);
    auto poly = vtkSmartPointer<vtkPolyData>::New();
    poly->SetPoints(pts);
    poly->SetPolys(cells);
    return poly;
}

TEST(PictureWriter, FormatsFoldersAndNamedViews)
{
#if defined(__SANITIZE_ADDRESS__)
    // The GL driver keeps allocations for the life of the process, and the leak checker cannot
    // unwind through the driver to match them with the graphics-stack suppressions.
    GTEST_SKIP() << "offscreen GL rendering is not leak-checkable here";
#endif
    KVPVS_REQUIRE_DISPLAY();
    kvpvs::testing::TempDir tmp("picwriter");
    CPVSRendererVTK r(64, 48);
    r.DrawDataSet(Triangle(), Quantity_Color(1, 0, 0, Quantity_TOC_RGB), 0);
    for (int v = 0; v < 8; ++v)
        EXPECT_TRUE(r.SetNamedView(v)) << v;
    EXPECT_FALSE(r.SetNamedView(8));
    EXPECT_FALSE(r.SetNamedView(-1));

    ASSERT_TRUE(r.SaveImage((tmp.path() + "\\a\\b\\p.png").c_str(), 0));
    EXPECT_EQ(Head(tmp.file("a/b/p.png"), 4), "\x89PNG");
    ASSERT_TRUE(r.SaveImage(tmp.file("p.jpg").c_str(), 1));
    EXPECT_EQ(Head(tmp.file("p.jpg"), 2), "\xFF\xD8");
    ASSERT_TRUE(r.SaveImage(tmp.file("p.bmp").c_str(), 2));
    EXPECT_EQ(Head(tmp.file("p.bmp"), 2), "BM");
    EXPECT_FALSE(r.SaveImage(tmp.file("p.gif").c_str(), 3));
    EXPECT_FALSE(std::filesystem::exists(tmp.file("p.gif")));
    EXPECT_FALSE(r.SaveImage(nullptr, 0));
}

// Sequences of pictures (animation frames, one display after another) are taken from one
// renderer: the third picture of an unchanged drawing must show what the first showed, with the
// default camera and with a named view.
TEST(PictureWriter, RepeatedPicturesKeepTheirView)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "offscreen GL rendering is not leak-checkable here";
#endif
    KVPVS_REQUIRE_DISPLAY();
    kvpvs::testing::TempDir tmp("picwriter");
    CPVSRendererVTK r(64, 48);
    r.DrawDataSet(Triangle(), Quantity_Color(1, 0, 0, Quantity_TOC_RGB), 0);
    for (const char* name : {"d1.png", "d2.png", "d3.png"})
        ASSERT_TRUE(r.SavePNG(tmp.file(name).c_str())) << name;
    const std::string first = Bytes(tmp.file("d1.png"));
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(Bytes(tmp.file("d3.png")) == first) << "the third default-view picture differs from the first";

    ASSERT_TRUE(r.SetNamedView(2));
    for (const char* name : {"f1.png", "f2.png", "f3.png"})
        ASSERT_TRUE(r.SavePNG(tmp.file(name).c_str())) << name;
    const std::string front = Bytes(tmp.file("f1.png"));
    EXPECT_TRUE(front != first) << "the front view shows what the default view showed";
    EXPECT_TRUE(Bytes(tmp.file("f3.png")) == front) << "the third front-view picture differs from the first";
}

// VTK, opening its own connection, would end the process; the writer says the picture was not
// written. A fresh process, so that no connection is already open.
TEST(PictureWriterDeathTest, NoDisplayIsAFailedPictureNotAnEndedProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    kvpvs::testing::TempDir tmp("picwriter");
    const std::string path = tmp.file("none.png");
    EXPECT_EXIT(
        {
            ::unsetenv("DISPLAY");
            CPVSRendererVTK r(64, 48);
            r.DrawDataSet(Triangle(), Quantity_Color(1, 0, 0, Quantity_TOC_RGB), 0);
            std::exit(!r.SavePNG(path.c_str()) && !std::filesystem::exists(path) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
