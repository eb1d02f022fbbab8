#include "firmware/device_info_page.h"

#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "base/language.h"
#include "firmware/device_info_text.h"

namespace {

QString ToQt(const std::string& text) {
    return QString::fromUtf8(text.data(), text.size());
}

}  // namespace

DeviceInfoPage::DeviceInfoPage(DeviceInfoPageContext context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)), ui_(this) {
    setObjectName("DeviceInfoPage");
    auto* layout = new QVBoxLayout(this);
    memoInfo_ = new QTextEdit(this);
    memoInfo_->setObjectName("Memo_Info");
    memoInfo_->setReadOnly(true);
    memoInfo_->setLineWrapMode(QTextEdit::NoWrap);
    layout->addWidget(memoInfo_, 1);
    renewButton_ = new QPushButton(this);
    renewButton_->setObjectName("BitBtn_ReNewDeviceInfo");
    renewButton_->setEnabled(false);
    layout->addWidget(renewButton_, 0, Qt::AlignHCenter);
    connect(renewButton_, &QPushButton::clicked, this,
            &DeviceInfoPage::BitBtn_ReNewDeviceInfoClick);
    Relabel();
}

void DeviceInfoPage::FillPage(const DeviceInfo& info) {
    shown_ = info;
    ShowLines();
}

void DeviceInfoPage::ClearPage() {
    shown_.reset();
    memoInfo_->clear();
}

void DeviceInfoPage::SetRenewButtonEnabled(bool enabled) {
    // While an update runs the button stays off, whatever identification says.
    renewButton_->setEnabled(enabled && !updating_);
}

void DeviceInfoPage::Relabel() {
    renewButton_->setText(ToQt(PickText("Обновление", "Upgrade")));
    if (shown_) {
        ShowLines();
    }
}

void DeviceInfoPage::ShowLines() {
    memoInfo_->clear();
    for (const std::string& line : DeviceInfoLines(*shown_)) {
        memoInfo_->append(ToQt(line));
        memoInfo_->setAlignment(Qt::AlignHCenter);
    }
}

void DeviceInfoPage::BitBtn_ReNewDeviceInfoClick() {
    if (updating_) {
        return;
    }
    updating_ = true;
    renewButton_->setEnabled(false);
    context_.worker.RunThen(
        [this] {
            FirmwareContext firmware{context_.commands, context_.log,          context_.host,
                                     context_.clock,    context_.showProgress, nullptr};
            FirmwareUpdate update(std::move(firmware), context_.restart, screens_, context_.dialogs,
                                  context_.showStatus, context_.ready);
            update.KeepSettingsWith(context_.keepSettings);
            update.Run();
            return context_.ready && context_.ready();
        },
        ui_,
        [this](bool ready) {
            updating_ = false;
            renewButton_->setEnabled(ready);
        });
}
