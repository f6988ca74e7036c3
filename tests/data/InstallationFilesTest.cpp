// Every picture and texture the program reads is installed, loads, and has a size that suits the
// place it goes; the reader of installation files refuses what is not one, at once.
#include "platform/qt/InstallationFiles.h"

#include "support/TempFolder.h"

#include <QImage>
#include <QString>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const QString kFolder = QStringLiteral(VEXO_BUILD_APP_FOLDER "/");

// Read as the program reads them, so every file we ship is shown to pass the reader's limits.
QImage load(const QString& relative) {
    const vexo::installation::Picture picture =
        vexo::installation::readPicture((kFolder + relative).toStdString());
    EXPECT_TRUE(picture) << relative.toStdString() << " " << picture.problem;
    return picture.image;
}

QImage picture(const char* name) {
    return load(QStringLiteral("data/%1Image.dat").arg(QLatin1String(name)));
}

TEST(InstallationFiles, EveryNamedPictureLoadsWithASensibleSize) {
    // The wizard's in loading order, then splash, About, tasks, help, and R1 to R10.
    std::vector<std::string> names;
    for (const char* name :
         {"BK", "GA", "N1", "N2", "N3",  "CI", "NU", "ND", "BU", "BD", "OS", "ON", "HA", "HB",
          "SB", "CS", "CN", "AU", "AD",  "SU", "SD", "DU", "DD", "XU", "XD", "OK", "OH", "O1",
          "WU", "WD", "LF", "RT", "LGO", "CD", "TS", "PS", "RB", "HL", "HR", "HM", "IN"})
        names.emplace_back(name);
    for (int i = 1; i <= 10; ++i)
        names.push_back(std::string(1, 'R') += std::to_string(i));
    for (const std::string& name : names) {
        const QImage image = picture(name.c_str());
        EXPECT_TRUE(image.width() >= 16 && image.height() >= 16 && image.width() <= 1024 &&
                    image.height() <= 1024)
            << name << " " << image.width() << "x" << image.height();
    }
    EXPECT_EQ(load(QStringLiteral("icons/vexogauge.png")).size(), QSize(256, 256));
}

TEST(InstallationFiles, TexturesAreSquarePowersOfTwoWithRisingQuality) {
    int previous = 0;
    for (const char* name : {"data/lowtex.ctf", "data/medtex.ctf", "data/hightex.ctf"}) {
        const QImage texture = load(QString::fromLatin1(name));
        const int n = texture.width();
        EXPECT_TRUE(n == texture.height() && (n & (n - 1)) == 0 && n > previous) << name << n;
        previous = n;
    }
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

TEST(InstallationFileReader, NamesAFileOnceWithThePackageThatRepairsIt) {
    using namespace vexo::installation;
    (void)takeProblemsMessage();
    for (int i = 0; i < 2; ++i)
        noteProblem("/usr/share/vexogauge/data/BKImage.dat", "is missing");
    const std::string message = takeProblemsMessage().value_or("(none)");
    EXPECT_EQ(message.substr(message.find('\r')),
              "\r\r/usr/share/vexogauge/data/BKImage.dat is missing.\r\rReinstall the vexogauge "
              "package (or unpack it again) to repair the folder /usr/share/vexogauge/.");
    noteProblem("/usr/share/vexogauge/data/BKImage.dat", "is missing");
    EXPECT_EQ(takeProblemsMessage(), std::nullopt); // said already
}

} // namespace
