// The photographs' files: names, look-ups, the copy that a change makes and
// the deletion.

#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/Photos.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <chrono>
#include <iterator>

namespace korthal {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

TEST(PhotoNames, BaseNumberAndPhotograph)
{
    // Photograph 2 of point 5 of the network TEMP.WGS84.
    EXPECT_EQ(photoStem(photoBaseName("TEMP.WGS84", true), 5, 2), "TEMP0000052");
    // The base is cut before the first point and taken without the folder.
    EXPECT_EQ(photoBaseName("/home/survey/JOB.2024.WGS84", true), "JOB");
    EXPECT_EQ(photoBaseName("jobs/NOEXTENSION", true), "NOEXTENSION");
    EXPECT_EQ(photoBaseName("Νέο αρχείο σημείων.WGS84", true), "Νέο αρχείο σημείων");
    // Reference points have the reference file's name whatever the network.
    EXPECT_EQ(photoBaseName("TEMP.WGS84", false), "EGSA87");
    // The six characters after the first of ID + 1000000.
    EXPECT_EQ(photoPointNumber(0), "000000");
    EXPECT_EQ(photoPointNumber(999999), "999999");
    EXPECT_EQ(photoPointNumber(1234567), "234567");
    EXPECT_EQ(photoStem("EGSA87", 1234567, 6), "EGSA872345676");
}

TEST(PhotoNames, TargetKeepsTheChosenExtension)
{
    EXPECT_EQ(photoTargetPath("/w/Images", "TEMP0000052", "/pics/IMG_1.JPG", ".jpg"),
              "/w/Images/TEMP0000052.JPG");
    EXPECT_EQ(photoTargetPath("/w/Images", "TEMP0000052", "/pics/a.b.jpeg", ".jpg"),
              "/w/Images/TEMP0000052.jpeg");
    // Without an extension the stored file would never be found again.
    EXPECT_EQ(photoTargetPath("/w/Images", "TEMP0000052", "/pics/scan", ".png"),
              "/w/Images/TEMP0000052.png");
}

TEST(PhotoFiles, LookUpByNameWithAnyExtension)
{
    TempDir dir("photos");
    const fs::path f = dir.path;
    writeBytes(f / "TEMP0000051.JPG", "a");
    writeBytes(f / "TEMP0000053.png", "b");
    writeBytes(f / "TEMP0000056.gif", "c");
    // Not photographs of point 5: another point, no point before the
    // extension, a seventh digit, another network.
    writeBytes(f / "TEMP0000152.jpg", "x");
    writeBytes(f / "TEMP0000052", "x");
    writeBytes(f / "TEMP00000527.jpg", "x");
    writeBytes(f / "TEMP0000057.jpg", "x");
    writeBytes(f / "OTHER0000052.jpg", "x");
    fs::create_directory(f / "TEMP0000054.dir");

    const auto found = findPhotos(f.string(), "TEMP", 5);
    EXPECT_EQ(found[0], (f / "TEMP0000051.JPG").string());
    EXPECT_EQ(found[1], "");
    EXPECT_EQ(found[2], (f / "TEMP0000053.png").string());
    EXPECT_EQ(found[3], "");
    EXPECT_EQ(found[4], "");
    EXPECT_EQ(found[5], (f / "TEMP0000056.gif").string());
    EXPECT_EQ(findPhoto(f.string(), "TEMP", 5, 3), (f / "TEMP0000053.png").string());
    EXPECT_EQ(findPhoto(f.string(), "TEMP", 5, 7), "");

    // A missing folder has no photographs.
    EXPECT_EQ(findPhotos((f / "none").string(), "TEMP", 5)[0], "");
}

TEST(PhotoFiles, TheNewestOfTwoFilesOfOnePhotographIsShown)
{
    TempDir dir("photos");
    const fs::path a = dir.path / "TEMP0000052.bmp";
    const fs::path b = dir.path / "TEMP0000052.jpg";
    writeBytes(a, "old");
    writeBytes(b, "new");
    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time(a, now - std::chrono::hours(1));
    fs::last_write_time(b, now);
    EXPECT_EQ(findPhoto(dir.path.string(), "TEMP", 5, 2), b.string());
    // Replaced by the other type later: that one is shown.
    fs::last_write_time(a, now + std::chrono::seconds(5));
    EXPECT_EQ(findPhoto(dir.path.string(), "TEMP", 5, 2), a.string());
    // Written at the same time: the first by name.
    fs::last_write_time(b, now + std::chrono::seconds(5));
    EXPECT_EQ(findPhoto(dir.path.string(), "TEMP", 5, 2), a.string());
}

TEST(PhotoFiles, ChangeCopiesTheBytesAsTheyAre)
{
    TempDir dir("photos");
    // Every byte value, as in a JPEG that must not be re-encoded.
    std::string bytes;
    for (int k = 0; k < 70000; ++k) bytes += static_cast<char>((k * 7919) & 0xFF);
    const std::string source = writeBytes(dir.path / "IMG_0001.JPG", bytes);
    const std::string target =
        photoTargetPath((dir.path / "Images").string(), "TEMP0000052", source, ".jpg");
    std::string error;
    // The images folder is made when it is missing.
    ASSERT_TRUE(copyPhotoFile(source, target, error)) << error;
    EXPECT_EQ(readBytes(target), bytes);
    EXPECT_EQ(readBytes(source), bytes);

    // Replacing an existing photograph, and copying a file onto itself.
    writeBytes(source, "second");
    ASSERT_TRUE(copyPhotoFile(source, target, error)) << error;
    EXPECT_EQ(readBytes(target), "second");
    ASSERT_TRUE(copyPhotoFile(target, target, error)) << error;
    EXPECT_EQ(readBytes(target), "second");
    // No temporary files are left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path / "Images"), fs::directory_iterator()), 1);
}

TEST(PhotoFiles, FailuresSayWhichFile)
{
    TempDir dir("photos");
    std::string error;
    const std::string target = (dir.path / "TEMP0000052.jpg").string();
    EXPECT_FALSE(copyPhotoFile((dir.path / "missing.jpg").string(), target, error));
    EXPECT_NE(error.find("missing.jpg"), std::string::npos);
    EXPECT_FALSE(fs::exists(target));

    // A folder in the way of the target: the copy fails, the folder stays.
    writeBytes(dir.path / "a.jpg", "x");
    fs::create_directory(target);
    error.clear();
    EXPECT_FALSE(copyPhotoFile((dir.path / "a.jpg").string(), target, error));
    EXPECT_NE(error.find("TEMP0000052.jpg"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(target));
}

TEST(PhotoFiles, Delete)
{
    TempDir dir("photos");
    const std::string f = writeBytes(dir.path / "TEMP0000052.jpg", "x");
    std::string error;
    ASSERT_TRUE(deletePhotoFile(f, error));
    EXPECT_FALSE(fs::exists(f));
    EXPECT_EQ(findPhoto(dir.path.string(), "TEMP", 5, 2), "");
    // Already gone: said so, naming the file.
    EXPECT_FALSE(deletePhotoFile(f, error));
    EXPECT_NE(error.find("TEMP0000052.jpg"), std::string::npos);
}

}  // namespace
}  // namespace korthal

namespace korthal {
namespace {

TEST(PhotoFiles, NetworkSavedUnderANewNameKeepsItsPhotographs)
{
    TempDir dir("photos");
    const fs::path cwd = fs::current_path();
    fs::current_path(dir.path);
    {
        RecordingDialogs rec;
        Document doc;
        doc.NewNetwork();
        for (const char* name : {"Κ1", "Κ2"}) {
            doc.GPS().append();
            doc.enterNetworkPointName(name);
            doc.GPS().post();
        }
        const std::string base = photoBaseName(doc.CurrentFileName, true);
        fs::create_directory(kImagesFolder);
        const fs::path images = kImagesFolder;
        writeBytes(images / (photoStem(base, 1, 1) + ".jpg"), "one");
        writeBytes(images / (photoStem(base, 2, 6) + ".PNG"), "two");
        writeBytes(images / (photoStem(base, 3, 1) + ".jpg"), "not in the network");
        writeBytes(images / (photoStem("OTHER", 1, 2) + ".jpg"), "another network's");

        ASSERT_TRUE(doc.saveNetworkAs("JOB.WGS84"));
        EXPECT_EQ(readBytes(findPhoto(kImagesFolder, "JOB", 1, 1)), "one");
        EXPECT_EQ(readBytes(findPhoto(kImagesFolder, "JOB", 2, 6)), "two");
        EXPECT_EQ(findPhoto(kImagesFolder, "JOB", 3, 1), "");
        EXPECT_EQ(findPhoto(kImagesFolder, "JOB", 1, 2), "");
        // The old names stay for the old file.
        EXPECT_EQ(readBytes(findPhoto(kImagesFolder, base, 1, 1)), "one");
        // Saved again under the same name: nothing more to copy.
        ASSERT_TRUE(doc.saveNetworkAs("JOB.WGS84"));
        EXPECT_TRUE(rec.messages().empty());
    }
    fs::current_path(cwd);
}

}  // namespace
}  // namespace korthal
