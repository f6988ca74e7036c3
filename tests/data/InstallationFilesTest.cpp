// Every picture and texture the program reads is installed, loads, and has a size that suits the
// place it goes; the reader of installation files refuses what is not one, at once.
#include "platform/qt/InstallationFiles.h"

#include "support/FifoRescue.h"
#include "support/TempFolder.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/stat.h>
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

// A picture whose header states size x size pixels, in a file of a few kilobytes.
void writePictureBomb(const std::string& path, int size) {
    QImage bomb(size, size, QImage::Format_Mono);
    bomb.fill(0);
    ASSERT_TRUE(bomb.save(QString::fromStdString(path), "PNG"));
}

TEST(InstallationFileReader, RefusesWhatIsNotASaneFileAtOnceAndSaysWhy) {
    using namespace vexo::installation;
    vexo::test::TempFolder folder;
    const std::string fifo = folder.path("fifo.dat");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder.path("folder.dat"));
    const std::string loop = folder.path("loop.dat");
    std::filesystem::create_symlink(loop, loop);
    const std::string big = folder.path("big.dat");
    vexo::test::TempFolder::write(big, "");
    std::filesystem::resize_file(big, MaxPictureBytes + 1); // sparse: no disk used
    const std::string bomb = folder.path("bomb.dat");
    writePictureBomb(bomb, 4000);
    const std::string junk = folder.path("junk.dat");
    vexo::test::TempFolder::write(junk, std::string("\x89PNG\r\n\x1a\n", 8) + "not a picture");
    const vexo::test::FifoRescue rescue(fifo);

    const struct {
        const char* name;
        std::string path;
        const char* problem;
    } rows[] = {
        {"missing", folder.path("none.dat"), "is missing"},
        {"fifo", fifo, "is not a regular file but a pipe"},
        {"folder", folder.path("folder.dat"), "is not a regular file but a folder"},
        {"link loop", loop, "is a symbolic link that leads back to itself"},
        {"too long", big, "bytes long, more than the 4194304 allowed for it"},
        {"picture bomb", bomb, "is a picture of 4000 x 4000 pixels, more than the 2097152"},
        {"damaged", junk, "is not a picture this program can read"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QElapsedTimer clock;
        clock.start();
        const Picture picture = readPicture(row.path);
        EXPECT_LT(clock.elapsed(), 500);
        EXPECT_FALSE(picture);
        EXPECT_TRUE(picture.image.isNull());
        EXPECT_NE(picture.problem.find(row.problem), std::string::npos) << picture.problem;
    }

    // A document has its own limit: one byte over it is refused, the limit itself is read.
    vexo::test::TempFolder::write(big, "");
    std::filesystem::resize_file(big, MaxDocumentBytes + 1);
    EXPECT_FALSE(readFile(big, MaxDocumentBytes));
    std::filesystem::resize_file(big, MaxDocumentBytes);
    const FileContent whole = readFile(big, MaxDocumentBytes);
    EXPECT_TRUE(whole) << whole.problem;
    EXPECT_EQ(whole.bytes.size(), MaxDocumentBytes);
}

TEST(InstallationFileReader, NamesEachFileOnceWithWhatRepairsTheInstallation) {
    using namespace vexo::installation;
    EXPECT_EQ(takeProblemsMessage(), std::nullopt);
    noteProblem("/usr/share/vexogauge/data/BKImage.dat", "is missing");
    noteProblem("/usr/share/vexogauge/data/BKImage.dat", "is missing");
    const std::optional<std::string> one = takeProblemsMessage();
    ASSERT_TRUE(one);
    EXPECT_NE(one->find("\r/usr/share/vexogauge/data/BKImage.dat is missing.\r"), std::string::npos)
        << *one;
    EXPECT_EQ(one->find("BKImage", one->find("BKImage") + 1), std::string::npos) << *one;
    EXPECT_NE(one->find("Reinstall the vexogauge package (or unpack it again) to repair the "
                        "folder /usr/share/vexogauge/."),
              std::string::npos)
        << *one;
    // Said once: loading the same file again, as another window does, names it no more.
    noteProblem("/usr/share/vexogauge/data/BKImage.dat", "is missing");
    EXPECT_EQ(takeProblemsMessage(), std::nullopt);

    for (int i = 0; i < 9; ++i)
        noteProblem("/home/me/build/bin/data/P" + std::to_string(i) + ".dat", "is missing");
    const std::optional<std::string> many = takeProblemsMessage();
    ASSERT_TRUE(many);
    EXPECT_NE(many->find("P5.dat is missing.\r... and 3 more."), std::string::npos) << *many;
    EXPECT_EQ(many->find("P6.dat"), std::string::npos) << *many;
    EXPECT_NE(many->find("Build the program again (cmake --build on its build folder) to repair "
                         "the installation files in /home/me/build/bin/."),
              std::string::npos)
        << *many;
}

} // namespace
