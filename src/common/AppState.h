#pragma once

#include "Flags.h"
#include "RunState.h"
#include "ScoreSet.h"

#include <string>

namespace vexo {

// Folders of the installation. Each ends in the path separator, so a file name is the folder
// followed by a relative name such as "data/BKImage.dat".
struct Folders {
    std::string AppFolder;
    // Where the program writes its own files ("last benchmark.vgf", "graphics.dat"): a build
    // tree's own folder, else (an installed program) a per-user folder.
    std::string ResultsFolder;
    std::string WindowsFolder;
    std::string SystemFolder;
};

// The program-wide state: owned by the composition root and handed by reference to whoever
// reads or writes it.
struct AppState {
    Selections selections;
    ScoreSet scores;
    RunState run;
    Folders folders;
};

} // namespace vexo
