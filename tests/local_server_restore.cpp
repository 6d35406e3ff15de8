// Run after the local server's tests, also after one that hung or died
// half-way: every TolvoSimServer.exe of this build still running in the prefix
// ends, by its process id, and takes its classes back from COM as it goes; one
// that will not is killed, and COM's class registry is restarted so that no
// registration of it is left to fail the next creation of its class.
// TolvoSim.dll is then registered in process again.
#include <gtest/gtest.h>
#include "sim_server.h"
#include <cstdio>

TEST(LocalServerRestore, EndsEveryServerOfTheRunAndRegistersTheModuleAgain) {
    constexpr DWORD kEndMs = 5000;
    constexpr UINT kKilledCode = 77;
    int ended = 0;
    int killed = 0;
    for (DWORD id : RunningServers()) {
        ServerProcess server(id);
        if (server.End(kEndMs)) {
            ++ended;
        } else if (server.Kill(kKilledCode) && server.WaitForEnd(kEndMs)) {
            ++killed;
        }
    }
    if (killed > 0) {
        EXPECT_TRUE(RestartClassRegistry());
    }
    std::printf("[ restore  ] servers left running: %d ended, %d killed\n", ended, killed);
    EXPECT_TRUE(RunningServers().empty());
    EXPECT_TRUE(RestoreInProcessServer());
}
