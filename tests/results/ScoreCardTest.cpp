#include "results/ScoreCard.h"

#include "common/RunState.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

TEST(ScoreCard, ThrottlingSentenceCountsTriesAndOnly26IsATimeOut) {
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
    EXPECT_EQ(scoreLines(ScoreSet{1, 2, 3, 4, 5, 6, 7, 8}),
              "CPU/Cache/FSB: 1 VexoGAUGEs\rCPU/RAM/Chipset: 2 VexoGAUGEs\r"
              "FPU(SPFP): 3 VexoGAUGEs\rFPU(Integer): 4 VexoGAUGEs\r"
              "Direc3D: 5 FPS (Frames per second)\rSpreadsheet: 6 VexoGAUGEs\r"
              "Business: 7 VexoGAUGEs\rImaging: 8 VexoGAUGEs\r");
    RunState run; // and one line for each benchmark that ended without a score, saying why
    run.outcomes[4] = PhaseOutcome::Escape;
    EXPECT_EQ(missingScoreLines(run), "Direc3D: no score (stopped with Escape)\r");
}

} // namespace
} // namespace vexo
