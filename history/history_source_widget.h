#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>

struct ArchiveView;
class QComboBox;
class QRadioButton;

// Where the history chart takes its records from: the device's reading or the
// archive, and in the archive which device when none is connected.
class HistorySourceWidget : public QWidget {
    Q_OBJECT

  public:
    explicit HistorySourceWidget(QWidget* parent = nullptr);

    void Relabel();
    bool ArchiveChosen() const;
    // Back to the device's reading, as a click on it does.
    void ChooseDevice();
    // The archived device chosen in the list, if any.
    std::optional<std::int64_t> ChosenDevice() const;
    // Fills the list from a loaded view; it can be changed only when no
    // device is connected, since the connected one is always shown.
    void ShowDevices(const ArchiveView& view);

  signals:
    void SourceChanged();
    void DeviceChosen();

  private:
    QRadioButton* device_ = nullptr;
    QRadioButton* archive_ = nullptr;
    QComboBox* devices_ = nullptr;
};
