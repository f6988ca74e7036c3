// Every picture and texture the program reads is installed, loads, and has a size that suits the
// place it goes; the reader of installation files refuses what is not one, at once.
#include "platform/qt/InstallationFiles.h"

#include "support/TempFolder.h"

#include <QCryptographicHash>
#include <QImage>
#include <QString>
#include <gtest/gtest.h>
#include <map>
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

const std::vector<QString>& namedPictures() {
    static const std::vector<QString> names = [] {
        std::vector<QString> list;
        for (const char* name :
             {"BKImage",  "GAImage", "N1Image", "N2Image", "N3Image", "CIImage", "NUImage",
              "NDImage",  "BUImage", "BDImage", "OSImage", "ONImage", "HAImage", "HBImage",
              "SBImage",  "CSImage", "CNImage", "AUImage", "ADImage", "SUImage", "SDImage",
              "DUImage",  "DDImage", "XUImage", "XDImage", "OKImage", "OHImage", "O1Image",
              "WUImage",  "WDImage", "LFImage", "RTImage",            // wizard, in loading order
              "LGOImage", "CDImage", "TSImage", "PSImage", "RBImage", // splash, About, tasks
              "HLImage",  "HRImage", "HMImage", "INImage"})
            list.push_back(QStringLiteral("data/%1.dat").arg(QLatin1String(name)));
        for (int i = 1; i <= 10; ++i)
            list.push_back(QStringLiteral("data/R%1Image.dat").arg(i));
        return list;
    }();
    return names;
}

TEST(InstallationFiles, EveryNamedPictureLoadsWithASensibleSizeAndIsDistinct) {
    ASSERT_EQ(namedPictures().size(), 51u);
    std::map<QByteArray, QString> seen;
    for (const QString& name : namedPictures()) {
        const QImage image = load(name);
        if (image.isNull())
            continue;
        EXPECT_GE(image.width(), 16) << name.toStdString();
        EXPECT_GE(image.height(), 16) << name.toStdString();
        EXPECT_LE(image.width(), 1024) << name.toStdString();
        EXPECT_LE(image.height(), 1024) << name.toStdString();
        const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
        const QByteArray digest = QCryptographicHash::hash(
            QByteArrayView(pixels.constBits(), pixels.sizeInBytes()), QCryptographicHash::Sha1);
        const auto [at, fresh] = seen.emplace(digest, name);
        EXPECT_TRUE(fresh) << name.toStdString() << " is the same picture as "
                           << at->second.toStdString();
    }
}

TEST(InstallationFiles, PicturesFitTheirPlaces) {
    const QImage background = load(QStringLiteral("data/BKImage.dat"));
    EXPECT_GE(background.width(), 640);
    EXPECT_EQ(background.width() * 3, background.height() * 4);
    EXPECT_FALSE(background.hasAlphaChannel() &&
                 background.pixelColor(0, 0).alpha() < 255); // a background is opaque

    // Released and pressed states of a button are the same size but look different.
    for (const auto& [released, pressed] :
         std::vector<std::pair<const char*, const char*>>{{"NU", "ND"},
                                                          {"BU", "BD"},
                                                          {"AU", "AD"},
                                                          {"SU", "SD"},
                                                          {"DU", "DD"},
                                                          {"WU", "WD"},
                                                          {"XU", "XD"},
                                                          {"CS", "CN"},
                                                          {"OS", "ON"}}) {
        const QImage up = load(QStringLiteral("data/%1Image.dat").arg(QLatin1String(released)));
        const QImage down = load(QStringLiteral("data/%1Image.dat").arg(QLatin1String(pressed)));
        EXPECT_EQ(up.size(), down.size()) << released;
    }

    const QImage hand = load(QStringLiteral("data/HAImage.dat"));
    bool okX = false;
    bool okY = false;
    const int hotX = hand.text(QStringLiteral("HotSpotX")).toInt(&okX);
    const int hotY = hand.text(QStringLiteral("HotSpotY")).toInt(&okY);
    ASSERT_TRUE(okX && okY) << "the hand cursor carries its hot spot";
    ASSERT_TRUE(hand.rect().contains(hotX, hotY));
    // The hot spot is on the fingertip: the pixel just below it is drawn.
    EXPECT_GT(hand.pixelColor(hotX, hotY + 2).alpha(), 0);
}

TEST(InstallationFiles, TexturesAreSquarePowersOfTwoWithRisingQuality) {
    int previous = 0;
    for (const char* name : {"data/lowtex.ctf", "data/medtex.ctf", "data/hightex.ctf"}) {
        const QImage texture = load(QString::fromLatin1(name));
        if (texture.isNull())
            continue;
        EXPECT_EQ(texture.width(), texture.height()) << name;
        EXPECT_EQ(texture.width() & (texture.width() - 1), 0) << name;
        EXPECT_GT(texture.width(), previous) << name;
        previous = texture.width();
        // Tileable: where the texture wraps around, the step from the last column to the first
        // is no different from the step across the panel seam in the middle of the texture.
        const int n = texture.width();
        auto step = [&](int a, int b, bool columns) {
            long total = 0;
            for (int i = 0; i < n; ++i) {
                const QColor p = columns ? texture.pixelColor(a, i) : texture.pixelColor(i, a);
                const QColor q = columns ? texture.pixelColor(b, i) : texture.pixelColor(i, b);
                total += std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                         std::abs(p.blue() - q.blue());
            }
            return static_cast<double>(total) / n;
        };
        for (const bool columns : {true, false}) {
            EXPECT_NEAR(step(n - 1, 0, columns), step(n / 2 - 1, n / 2, columns), 12)
                << name << (columns ? " columns" : " rows");
        }
    }
}

TEST(InstallationFiles, ApplicationIcon) {
    const QImage icon = load(QStringLiteral("icons/vexogauge.png"));
    EXPECT_EQ(icon.size(), QSize(256, 256));
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
    const std::optional<std::string> message = takeProblemsMessage();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->substr(message->find('\r')),
              "\r\r/usr/share/vexogauge/data/BKImage.dat is missing.\r\rReinstall the vexogauge "
              "package (or unpack it again) to repair the folder /usr/share/vexogauge/.");
    noteProblem("/usr/share/vexogauge/data/BKImage.dat", "is missing");
    EXPECT_EQ(takeProblemsMessage(), std::nullopt); // said already
}

} // namespace
