#pragma once

// The files the program is installed with: pictures, textures and help documents. Each is read
// only when it is a regular file of a sane size, and a picture is decoded only when its pixels
// fit a small memory limit, so a damaged or hostile installation costs milliseconds and a few
// megabytes, never a hang or gigabytes. What was wrong with a file is kept until a window says
// it, once, on screen.

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vexo::installation {

// Our longest help document is under 5 KB. A megabyte of text is hundreds of pages and the
// text browser lays it out in about half a second with some 50 MB; fifty megabytes took half a
// minute and 2.5 GB.
inline constexpr std::size_t MaxDocumentBytes = std::size_t{1} << 20;
// Our largest picture file, the high texture, is under 300 KB; compressed pictures need far
// fewer bytes than pixels, so the pixel limit below is what bounds the cost.
inline constexpr std::size_t MaxPictureBytes = std::size_t{4} << 20;
// Twice our largest picture (the 1024 x 1024 high texture): 8 MiB at four bytes a pixel. A
// picture is refused by the size its header states, before any pixel is decoded.
inline constexpr std::int64_t MaxPicturePixels = std::int64_t{2048} * 1024;
// What the decoder may allocate for one picture, for formats that tell no size in advance and
// for 16-bit channels (eight bytes a pixel).
inline constexpr int DecoderLimitMegabytes = 16;

// A file's whole content, or why there is none: the problem reads as a sentence after the
// file's name ("is missing", "is not a regular file but a pipe", ...).
struct [[nodiscard]] FileContent {
    std::string bytes;
    std::string problem;
    explicit operator bool() const { return problem.empty(); }
};

// A decoded picture, or why there is none (as above).
struct [[nodiscard]] Picture {
    QImage image;
    std::string problem;
    explicit operator bool() const { return problem.empty(); }
};

// Reads a regular file of at most maxBytes whole. Never waits: a FIFO, a device or a folder
// is refused at once, and so is a file that is, or grows, larger than the limit.
FileContent readFile(const std::string& path, std::size_t maxBytes);

// Reads and decodes a picture within the limits above; its format is told by its content,
// whatever the file's extension. Text keys the file carries (a cursor's hot spot) are kept.
Picture readPicture(const std::string& path);

// What repairs the installation a file belongs to: the package for an installed program, a
// new build for a build tree. One sentence.
std::string repairAdvice(const std::string& path);

// Keeps a file's problem until it is said; a file is named once however often it is loaded.
void noteProblem(const std::string& path, const std::string& problem);
// One message for every problem noted since the last call, naming each file (the first few)
// and what repairs them; nullopt when there is none. The problems are then taken as said.
std::optional<std::string> takeProblemsMessage();

} // namespace vexo::installation
