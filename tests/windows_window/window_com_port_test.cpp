#include <QLabel>

#include "protocol/device_models.h"
#include "window_fixture.h"

namespace {

// Windows lists its serial ports under this key; a port shows up there when
// its device is plugged in.
constexpr const wchar_t* kSerialComm = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

// The registry's entry of port COM<number>: its value name, once removed.
class RemovedPortEntry {
  public:
    explicit RemovedPortEntry(int number) : port_(L"COM" + std::to_wstring(number)) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialComm, 0, KEY_ALL_ACCESS, &key) != 0) {
            return;
        }
        wchar_t name[256];
        wchar_t data[64];
        for (DWORD index = 0;; ++index) {
            DWORD nameLength = 256;
            DWORD dataBytes = sizeof data;
            DWORD type = 0;
            if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                              reinterpret_cast<BYTE*>(data), &dataBytes) != ERROR_SUCCESS) {
                break;
            }
            if (type == REG_SZ && port_ == data) {
                name_ = name;
                RegDeleteValueW(key, name);
                break;
            }
        }
        RegCloseKey(key);
    }
    ~RemovedPortEntry() { PlugBack(); }

    bool Found() const { return !name_.empty(); }

    // Lists the port again, as Windows does when the device is plugged in.
    void PlugBack() {
        if (name_.empty()) {
            return;
        }
        const auto bytes = static_cast<DWORD>((port_.size() + 1) * sizeof(wchar_t));
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, kSerialComm, name_.c_str(), REG_SZ, port_.c_str(),
                        bytes);
        name_.clear();
    }

  private:
    std::wstring port_;
    std::wstring name_;
};

using WindowOnComPort = WindowFixture;

// The simulated K520 that scripts/test-windows runs natively behind the
// port named by DRAVO_TEST_COM: it appears in the registry's port list while
// the window runs, and the window finds, identifies and shows it.
TEST_F(WindowOnComPort, FindsTheK520ThatIsPluggedInAndShowsItsSettingsPage) {
    const int com = qEnvironmentVariableIntValue("DRAVO_TEST_COM");
    ASSERT_GT(com, 0) << "DRAVO_TEST_COM is not set: run the suite through scripts/test-windows";
    RemovedPortEntry entry(com);
    ASSERT_TRUE(entry.Found()) << "COM" << com << " is not in the registry's port list";
    auto form = MakeEnglishForm();
    ASSERT_TRUE(form->StartedUp());
    ASSERT_TRUE(WaitForStartPortsRecorded(*form));
    entry.PlugBack();

    ASSERT_TRUE(WaitForStatus(*form, QStringLiteral("RDK-520")))
        << form->findChild<QLabel*>(QStringLiteral("Panel_Bottom_Info_Text"))->text().toStdString();
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("Panel_COM"))->text(),
              QStringLiteral("COM %1").arg(com));
    // With the two built-in models a page's number is also its tab's index.
    const int k520 = FindSupportedModel(520)->pageNumber;
    EXPECT_TRUE(Pages(*form)->isTabVisible(k520));
    EXPECT_FALSE(Pages(*form)->isTabVisible(FindSupportedModel(310)->pageNumber));
    Pages(*form)->setCurrentIndex(k520);
    Click(*form, QStringLiteral("BitBtn_Setup_K520_Read"));
    EXPECT_EQ(dialogs_.errors, std::vector<std::string>{});
    EXPECT_FALSE(Find<QComboBox>(form.get(), QStringLiteral("ComboBox_Setup_K520_Units"))
                     ->currentText()
                     .isEmpty());
    const QString folder = qEnvironmentVariable("DRAVO_SHOT_DIR");
    if (!folder.isEmpty()) {
        EXPECT_TRUE(form->grab().save(folder + QStringLiteral("/k520-settings-en.png")));
    }
}

}  // namespace
