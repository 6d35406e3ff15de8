// The simulator served by TolvoSimServer.exe dies while the filter wheel page
// is shown: the page's own moves, the host's calls and the closes then fail
// cleanly and promptly, and the page goes when the host hides it.
#include <gtest/gtest.h>
#include "dialog_rig.h"
#include "driver_api.h"
#include "robust_support.h"
#include "sim_server.h"
#include "ui/device_page.h"
#include <memory>

namespace {

constexpr DWORD kServerEndMs = 10000;
constexpr DWORD kPromptMs = 5000;
constexpr UINT kKilledCode = 77;
constexpr int kHomeButton = 1046; // the wheel page's Home button

TEST(KilledServer, WheelPageShownWhileTheServerDies) {
    ASSERT_TRUE(RegisterLocalServer());
    std::unique_ptr<ServerProcess> process;
    {
        LoadedDriver driver{"STolvo32.dll"};
        WheelApi wheel{driver};
        auto configure = driver.Fn<decltype(&FWConfigure)>("FWConfigure");
        driver.SetIni("Port", "0");
        driver.SetIni("DefaultAll", "0");
        driver.SetIni("Name", "Emission", "FilterWheel1");
        driver.WriteSet("Emission", "FilterWheel1", "Filter");
        SimServer server;
        ASSERT_EQ(server.Connect(), S_OK);
        process = std::make_unique<ServerProcess>(server.ProcessId());
        ASSERT_EQ(wheel.GetInstance(0), 0);
        ASSERT_EQ(wheel.Init(0, nullptr), 0);
        const FolderSnapshot files = SnapshotFolder(driver.folder());

        HostWindow host;
        DialogAnswerer answers;
        configure(host.get(), 0, 0, 1);
        PumpMessages();
        const HWND page = host.Page();
        ASSERT_NE(page, nullptr);

        server.WithdrawClasses();
        ASSERT_TRUE(process->Kill(kKilledCode));
        ASSERT_TRUE(process->WaitForEnd(kServerEndMs));
        server.Disconnect();

        const DWORD start = GetTickCount();
        Click(page, kHomeButton);
        PumpMessages();
        EXPECT_TRUE(IsWindow(page)) << "the page stays for the user";
        EXPECT_EQ(wheel.SetPosition(0, 4), 1) << "the dead server refuses the turn";
        configure(host.get(), 0, 0, 0);
        PumpMessages();
        EXPECT_EQ(host.Page(), nullptr);
        EXPECT_EQ(wheel.Close(0), 0);
        EXPECT_LT(GetTickCount() - start, kPromptMs);
        EXPECT_EQ(FolderDifferences(files, SnapshotFolder(driver.folder())), "")
            << "a failed move writes nothing";
    }
    EXPECT_EQ(process->ExitCode(), kKilledCode);
    EXPECT_TRUE(RestoreInProcessServer());
}
} // namespace
