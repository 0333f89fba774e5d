// The exit statuses of the command-line tool and the simulated sign.
#pragma once

namespace kvt {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // a file failed, a step was rejected, a sign did not answer
constexpr int kExitUsage = 2;
constexpr int kExitDiffers = 3;        // verify: the sign holds something else
constexpr int kExitInterrupted = 130;  // as a shell reports Ctrl+C

}  // namespace kvt
