// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/prefetched_wave_out.h"
#include "testing/fake_wave_out.h"

#include "testing/ui/qt_test_app.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <thread>

TEST(PrefetchedWaveOut, ListsTheDevicesOffTheCallersThreadAndForwardsEveryCall)
{
    CFakeWaveOut* made = nullptr;
    std::thread::id madeOn;
    CPrefetchedWaveOut waveOut([&] {
        auto fake = std::make_unique<CFakeWaveOut>();
        fake->SetDevices({{"Speakers", true}, {"Old card", false}});
        made = fake.get();
        madeOn = std::this_thread::get_id();
        return fake;
    });

    const std::vector<WaveDeviceInfo> devices = waveOut.Devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[1].name, "Old card");
    EXPECT_NE(madeOn, std::this_thread::get_id());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->CountCalls("Devices"), 1) << "listed once, on the worker";

    WaveHandle handle = 0;
    WaveFormat format;
    EXPECT_EQ(waveOut.Open(&handle, 0, format, nullptr, nullptr), WaveResult::Ok);
    EXPECT_TRUE(made->IsOpen());
    EXPECT_EQ(waveOut.Close(handle), WaveResult::Ok);
    EXPECT_FALSE(made->IsOpen());
    EXPECT_EQ(waveOut.Devices().size(), 2u);
    EXPECT_EQ(made->CountCalls("Devices"), 2) << "a later list is asked afresh";
}

TEST(PrefetchedWaveOut, NothingIsMadeBeforeStartAndReadyFollowsTheWorkOnTheCallersThread)
{
    EnsureQtApp();
    int made = 0;
    CPrefetchedWaveOut waveOut([&] {
        ++made;
        auto fake = std::make_unique<CFakeWaveOut>();
        fake->SetDevices({{"Speakers", true}});
        return fake;
    });
    QSignalSpy ready(&waveOut, &CPrefetchedWaveOut::Ready);
    QCoreApplication::processEvents();
    EXPECT_EQ(made, 0);

    waveOut.Start();
    waveOut.Start();
    ASSERT_TRUE(ready.wait(5000));
    EXPECT_EQ(made, 1);
    EXPECT_EQ(waveOut.Devices().size(), 1u);
    EXPECT_EQ(ready.count(), 1);
}
