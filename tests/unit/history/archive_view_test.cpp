#include "history/archive_view.h"

#include <gtest/gtest.h>

#include "support/language_guard.h"
#include "support/temp_dir.h"

namespace {

// A reading whose ring holds one minute record after the page's marker slot.
DeviceHistory OneRecordReading(std::uint32_t pulses) {
    DeviceHistory history;
    history.store.Erase();
    history.sensors = 1;
    history.header = HistoryHeader::FromParameters(4096u << 16, 255u << 16 | 2u, 2u, 0);
    std::uint8_t bytes[HistoryRecord::kSize] = {
        HistoryRecord::kStateMeasured,     0, 0xFF, 0xFF, 0x10, 0x27, 0,    0,  // start 10000
        static_cast<std::uint8_t>(pulses), 0, 0,    0,    60,   0,    0xFF, 0xFF};
    history.store.Put(1, bytes);
    return history;
}

class ArchiveViewTest : public ::testing::Test {
  protected:
    // Pulses of the one record the view shows.
    static std::uint32_t ShownPulses(const ArchiveView& view) {
        return view.history.valid && view.history.Count() == 1 ? view.history.Logical(0).pulses : 0;
    }

    TempDir dir_;
    const std::string path_ = dir_.Path() + "/DRAVO/history.sqlite3";
    LanguageGuard english_{Language::English};
};

TEST_F(ArchiveViewTest, ShowsTheConnectedDeviceElseTheChosenElseTheFirstAndSaysWhyNothingShows) {
    const ArchiveView empty = LoadArchiveView(path_, std::nullopt, std::nullopt);
    EXPECT_TRUE(empty.error.empty()) << empty.error;
    EXPECT_FALSE(empty.history.valid);
    EXPECT_EQ(ArchiveViewNote(empty), "The history archive is empty: " + path_);

    const ArchiveDeviceKey k310{"123-45678", "01:02:03:04:05:06:07:08:09:0A:0B:0C", "RDK-310"};
    const ArchiveDeviceKey unprogrammed{"", "AA:02:03:04:05:06:07:08:09:0A:0B:0C", "RDK-520"};
    {
        HistoryArchive archive(path_);
        ASSERT_TRUE(archive.Open()) << archive.Error();
        ASSERT_TRUE(archive.Save(k310, OneRecordReading(11), 1)) << archive.Error();
        ASSERT_TRUE(archive.Save(unprogrammed, OneRecordReading(22), 1)) << archive.Error();
    }

    const ArchiveView connected = LoadArchiveView(path_, k310, std::nullopt);
    ASSERT_EQ(connected.devices.size(), 2u);
    EXPECT_TRUE(connected.connected);
    EXPECT_EQ(ShownPulses(connected), 11u);
    EXPECT_EQ(ArchiveViewNote(connected), "");
    EXPECT_NE(connected.csv.find(";60;11;1;100;"), std::string::npos) << connected.csv;
    // The list names a device by its serial number and model, or by its unique id.
    std::vector<std::string> names;
    for (const ArchivedDevice& device : connected.devices) {
        names.push_back(ArchivedDeviceName(device.key));
    }
    EXPECT_EQ(names, (std::vector<std::string>{unprogrammed.uid, "123-45678 (RDK-310)"}));

    const std::int64_t k310Id = connected.devices[1].id;
    const ArchiveView chosen = LoadArchiveView(path_, std::nullopt, k310Id);
    EXPECT_FALSE(chosen.connected);
    EXPECT_EQ(chosen.shown, 1);
    EXPECT_EQ(ShownPulses(chosen), 11u);
    // A choice the archive no longer holds falls back to the first device.
    EXPECT_EQ(ShownPulses(LoadArchiveView(path_, std::nullopt, k310Id + 100)), 22u);
    // The connected device wins over the choice, also when it is not archived.
    const ArchiveView stranger =
        LoadArchiveView(path_, ArchiveDeviceKey{"999-99999", k310.uid, "RDK-310"}, k310Id);
    EXPECT_EQ(stranger.shown, -1);
    EXPECT_FALSE(stranger.history.valid);
    EXPECT_EQ(ArchiveViewNote(stranger),
              "The archive holds no records of the device 999-99999 (RDK-310)");
}

}  // namespace
