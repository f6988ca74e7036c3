// The pictures shipped load; the reader of installation files refuses what is not one, at once.
#include "platform/qt/InstallationFiles.h"

#include "support/TempFolder.h"

#include <QImage>
#include <gtest/gtest.h>
#include <string>

namespace {

// Every picture and texture shipped passes the reader's limits, as the program reads them.
TEST(InstallationFiles, EveryShippedPictureLoadsWithASensibleSize) {
    int pictures = 0; // the wizard's, splash, About, tasks, help, ten results and three textures
    for (const auto& file : std::filesystem::directory_iterator(VEXO_BUILD_APP_FOLDER "/data")) {
        const std::string name = file.path().filename();
        if (name.ends_with("Data.dat"))
            continue; // a help document
        SCOPED_TRACE(name);
        ++pictures;
        const vexo::installation::Picture picture = vexo::installation::readPicture(file.path());
        const QSize size = picture.image.size();
        EXPECT_TRUE(picture && size.width() >= 16 && size.height() >= 16 && size.width() <= 1024 &&
                    size.height() <= 1024)
            << picture.problem;
    }
    EXPECT_EQ(pictures, 54);
}

// Bombs, FIFOs and missing files: tests/cli/hostile_installation.sh, through the program.
TEST(InstallationFileReader, RefusesWhatIsNotASaneFileAndSaysWhy) {
    using namespace vexo::installation;
    const vexo::test::TempFolder folder;
    std::filesystem::create_directory(folder.path("folder.dat"));
    std::filesystem::create_symlink(folder.path("loop.dat"), folder.path("loop.dat"));
    vexo::test::TempFolder::write(folder.path("big.dat"), "");
    std::filesystem::resize_file(folder.path("big.dat"), MaxPictureBytes + 1); // sparse
    vexo::test::TempFolder::write(folder.path("junk.dat"), std::string("\x89PNG\r\n\x1a\n", 8));
    for (const auto& [name, problem] : std::vector<std::pair<std::string, std::string>>{
             {"folder.dat", "is not a regular file but a folder"},
             {"loop.dat", "is a symbolic link that leads back to itself"},
             {"big.dat", "is 4194305 bytes long, more than the 4194304 allowed for it"},
             {"junk.dat", "is not a picture this program can read"}}) {
        SCOPED_TRACE(name);
        const Picture picture = readPicture(folder.path(name));
        EXPECT_TRUE(!picture && picture.image.isNull());
        EXPECT_EQ(picture.problem.find(problem), 0u) << picture.problem;
    }
    // A document has its own limit, and one of that size is read whole.
    std::filesystem::resize_file(folder.path("big.dat"), MaxDocumentBytes);
    const FileContent whole = readFile(folder.path("big.dat"), MaxDocumentBytes);
    EXPECT_TRUE(whole && whole.bytes.size() == MaxDocumentBytes) << whole.problem;
    EXPECT_FALSE(readFile(folder.path("big.dat"), MaxDocumentBytes - 1));
}

} // namespace
