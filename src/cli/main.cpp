#include <atomic>

#include "cli/console.h"
#include "cli/run.h"

int main(int argc, char** argv) {
    bcnk::cli::PrepareConsole();
    // Static: the interrupt handler may still touch it while the process winds down.
    static std::atomic<bool> cancelFlag{false};
    bcnk::cli::CancelOnInterrupt(cancelFlag);
    return bcnk::cli::Run(bcnk::cli::ProgramArguments(argc, argv), cancelFlag);
}
