#include "wizard/ScoreCard.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

TEST(ScoreCard, ThrottlingSentenceCountsTriesAndOnly26IsATimeOut) {
    EXPECT_EQ(throttlingSentence(0), "Your system throttling took: 0 tries to stabilize.");
    EXPECT_EQ(throttlingSentence(25), "Your system throttling took: 25 tries to stabilize.");
    EXPECT_EQ(throttlingSentence(26),
              "Your system throttling could not fully stabilize, operation timed-out.");
}

TEST(ScoreCard, OneLinePerNonZeroScoreInTheFixedOrder) {
    ScoreSet scores;
    EXPECT_EQ(scoreLines(scores), "");

    scores.BMISA = 12;
    scores.BMCPUh = 4'000'000'000; // beyond 32 bits, still written in full
    scores.BMFPUl = -3;
    EXPECT_EQ(scoreLines(scores), "CPU/Cache/FSB: 4000000000 VexoGAUGEs\r"
                                  "FPU(Integer): -3 VexoGAUGEs\r"
                                  "Imaging: 12 VexoGAUGEs\r");

    ScoreSet all{1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(scoreLines(all), "CPU/Cache/FSB: 1 VexoGAUGEs\rCPU/RAM/Chipset: 2 VexoGAUGEs\r"
                               "FPU(SPFP): 3 VexoGAUGEs\rFPU(Integer): 4 VexoGAUGEs\r"
                               "Direc3D: 5 FPS (Frames per second)\rSpreadsheet: 6 VexoGAUGEs\r"
                               "Business: 7 VexoGAUGEs\rImaging: 8 VexoGAUGEs\r");
}

TEST(ScoreCard, Direct3DAloneIsASingleFramesPerSecondLine) {
    ScoreSet scores;
    scores.BMDR3D = 143;
    EXPECT_EQ(scoreLines(scores), "Direc3D: 143 FPS (Frames per second)\r");
}

} // namespace
} // namespace vexo
