#include "history/history_source_widget.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSignalBlocker>

#include "base/language.h"
#include "history/archive_view.h"

HistorySourceWidget::HistorySourceWidget(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    device_ = new QRadioButton(this);
    device_->setObjectName(QStringLiteral("RadioButton_HIS_Device"));
    device_->setChecked(true);
    archive_ = new QRadioButton(this);
    archive_->setObjectName(QStringLiteral("RadioButton_HIS_Archive"));
    devices_ = new QComboBox(this);
    devices_->setObjectName(QStringLiteral("ComboBox_HIS_ArchiveDevice"));
    devices_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    devices_->setVisible(false);
    layout->addWidget(device_);
    layout->addWidget(archive_);
    layout->addWidget(devices_);
    layout->addStretch(1);

    connect(archive_, &QRadioButton::toggled, this, [this](bool archive) {
        devices_->setVisible(archive);
        emit SourceChanged();
    });
    connect(devices_, &QComboBox::currentIndexChanged, this, &HistorySourceWidget::DeviceChosen);
}

void HistorySourceWidget::Relabel() {
    device_->setText(QString::fromUtf8(PickText("Прибор", "Device")));
    archive_->setText(QString::fromUtf8(PickText("Архив", "Archive")));
}

bool HistorySourceWidget::ArchiveChosen() const {
    return archive_->isChecked();
}

void HistorySourceWidget::ChooseDevice() {
    device_->setChecked(true);
}

std::optional<std::int64_t> HistorySourceWidget::ChosenDevice() const {
    const QVariant id = devices_->currentData();
    return id.isValid() ? std::optional<std::int64_t>(id.toLongLong()) : std::nullopt;
}

void HistorySourceWidget::ShowDevices(const ArchiveView& view) {
    const QSignalBlocker quiet(devices_);
    devices_->clear();
    for (const ArchivedDevice& device : view.devices) {
        devices_->addItem(QString::fromStdString(ArchivedDeviceName(device.key)),
                          QVariant::fromValue<qlonglong>(device.id));
    }
    devices_->setCurrentIndex(view.shown);
    devices_->setEnabled(!view.connected);
}
