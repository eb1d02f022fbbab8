#include "measure/measure_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/language.h"

namespace {

constexpr int kLevelMaximum = 120;
constexpr double kRatePointScale = 2.6;
constexpr double kDosePointScale = 2.0;

QString ToQt(const std::string& text) {
    return QString::fromUtf8(text.data(), text.size());
}

// The program's messages break lines with "\n\r"; a label needs a single break.
QString NoticeText(const std::string& text) {
    return ToQt(text).remove(QLatin1Char('\r'));
}

QFont ScaledBoldFont(const QFont& base, double scale) {
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * scale);
    font.setBold(true);
    return font;
}

// `widestUsual` sets the minimum width, so the display does not jump as values change.
QLabel* MakeValueLabel(const char* name, double scale, const char* widestUsual, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFont(ScaledBoldFont(parent->font(), scale));
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Base);
    label->setMargin(label->fontMetrics().height() / 4);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QString::fromUtf8(widestUsual)) +
                           label->fontMetrics().height());
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return label;
}

QLabel* MakeIndicator(const char* name, QWidget* parent) {
    auto* indicator = new QLabel(parent);
    indicator->setObjectName(name);
    const int side = parent->fontMetrics().height();
    indicator->setMinimumSize(side, side);
    indicator->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    indicator->setFrameShape(QFrame::Box);
    indicator->setAutoFillBackground(true);
    return indicator;
}

QColor ColourOf(IndicatorColour colour, const QPalette& palette) {
    switch (colour) {
        case IndicatorColour::Aqua:
            return QColor(Qt::cyan);
        case IndicatorColour::Yellow:
            return QColor(Qt::yellow);
        case IndicatorColour::ButtonFace:
            break;
    }
    return palette.color(QPalette::Button);
}

void Paint(QLabel* indicator, IndicatorColour colour) {
    QPalette palette = indicator->palette();
    palette.setColor(QPalette::Window, ColourOf(colour, QApplication::palette()));
    indicator->setPalette(palette);
}

}  // namespace

MeasurePage::MeasurePage(MeasureDevice& device, PageGate pageGate, Dialogs& dialogs,
                         TickClock clock, DeviceWorker& worker, OperationHost& host,
                         QWidget* parent)
    : QWidget(parent),
      worker_(worker),
      host_(host),
      ui_(this),
      measurement_(
          std::make_unique<Measurement>(device, std::move(pageGate), dialogs, std::move(clock))) {
    setObjectName("MeasurePage");
    BuildWidgets();
    // Called on the worker: the widgets get a copy of the state, in order.
    measurement_->SetStateObserver(
        [this] { ui_.Post([this, state = measurement_->State()] { ShowState(state); }); });
    Relabel();
    ShowState(measurement_->State());
    TakeControlStates();
}

MeasurePage::~MeasurePage() = default;

void MeasurePage::BuildWidgets() {
    fonGroup_ = new QGroupBox(this);
    fonGroup_->setObjectName("GroupBox_Measure_Fon");
    fonLabel_ = MakeValueLabel("Label_Measure_Fon", kRatePointScale, "88888,88 мкЗв/ч", fonGroup_);
    fonIndicator_ = MakeIndicator("Label_Measure_Indicator_Fon", fonGroup_);
    fonBar_ = new QProgressBar(fonGroup_);
    fonBar_->setObjectName("ProgressBar_Measure_Fon");
    fonBar_->setRange(0, kLevelMaximum);
    fonBar_->setValue(0);
    fonBar_->setTextVisible(false);

    auto* fonRow = new QHBoxLayout;
    fonRow->addWidget(fonIndicator_, 0, Qt::AlignTop);
    fonRow->addWidget(fonLabel_, 1);
    auto* fonLayout = new QVBoxLayout(fonGroup_);
    fonLayout->addLayout(fonRow);
    fonLayout->addWidget(fonBar_);

    doseGroup_ = new QGroupBox(this);
    doseGroup_->setObjectName("GroupBox_Measure_Dose");
    doseLabel_ =
        MakeValueLabel("Label_Measure_Dose", kDosePointScale, "888888,88 мкЗв", doseGroup_);
    doseIndicator_ = MakeIndicator("Label_Measure_Indicator_Dose", doseGroup_);
    auto* doseLayout = new QHBoxLayout(doseGroup_);
    doseLayout->addWidget(doseIndicator_, 0, Qt::AlignTop);
    doseLayout->addWidget(doseLabel_, 1);

    readButton_ = new QPushButton(this);
    readButton_->setObjectName("BitBtn_Measure_Read");
    readButton_->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    autoReadBox_ = new QCheckBox(this);
    autoReadBox_->setObjectName("CheckBox_Measure_AutoRead");
    autoReadBox_->setChecked(true);
    doseResetButton_ = new QPushButton(this);
    doseResetButton_->setObjectName("BitBtn_Measure_Dose_Reset");
    doseResetButton_->setIcon(style()->standardIcon(QStyle::SP_DialogResetButton));

    versionMessage_ = new QLabel(this);
    versionMessage_->setObjectName("Label_Measure_Version_Msg");
    versionMessage_->setFont(ScaledBoldFont(font(), 1.2));
    versionMessage_->setAlignment(Qt::AlignCenter);
    versionMessage_->setWordWrap(true);
    QPalette red = versionMessage_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    versionMessage_->setPalette(red);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(autoReadBox_);
    buttons->addWidget(readButton_);
    buttons->addStretch(1);
    buttons->addWidget(doseResetButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fonGroup_);
    layout->addWidget(doseGroup_);
    layout->addWidget(versionMessage_);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(readButton_, &QPushButton::clicked, this, &MeasurePage::BitBtn_Measure_ReadClick);
    connect(autoReadBox_, &QCheckBox::clicked, this, &MeasurePage::CheckBox_Measure_AutoReadClick);
    connect(doseResetButton_, &QPushButton::clicked, this,
            &MeasurePage::BitBtn_Measure_Dose_ResetClick);
}

void MeasurePage::BindPageControl(QTabWidget* pageControl) {
    pageControl_ = pageControl;
}

void MeasurePage::Relabel() {
    fonGroup_->setTitle(PickText("Радиационный фон", "Radiation Background"));
    doseGroup_->setTitle(PickText("Накопленная доза", "Accumulated Dose"));
    autoReadBox_->setText(PickText("Авто", "AutoRead"));
    readButton_->setText(PickText("Прочитать", "Read"));
    doseResetButton_->setText(PickText("Сброс дозы", "Dose Reset"));
}

// The check box and the current page are changed by the user; the logic sees
// them as they were when its job was posted.
void MeasurePage::TakeControlStates() {
    const std::lock_guard<std::mutex> guard(controlsLock_);
    controls_.autoReadChecked = autoReadBox_->isChecked();
    if (pageControl_ != nullptr) {
        controls_.activePage = pageControl_->currentIndex();
    }
}

void MeasurePage::ApplyControlStates() {
    const std::lock_guard<std::mutex> guard(controlsLock_);
    MeasurePageState& state = measurement_->State();
    state.autoReadChecked = controls_.autoReadChecked;
    if (pageControl_ != nullptr) {
        state.activePage = controls_.activePage;
    }
}

void MeasurePage::ShowState(const MeasurePageState& state) {
    fonLabel_->setText(ToQt(state.fonText));
    doseLabel_->setText(ToQt(state.doseText));
    // The bar keeps its range; a level above it shows as a full bar.
    fonBar_->setValue(std::clamp(state.fonLevel, 0, kLevelMaximum));
    Paint(fonIndicator_, state.fonIndicator);
    Paint(doseIndicator_, state.doseIndicator);
    versionMessage_->setText(NoticeText(state.versionNotice));
    autoReadBox_->setChecked(state.autoReadChecked);
    readButton_->setEnabled(state.readEnabled);
}

void MeasurePage::PostToWorker(std::function<void()> action) {
    TakeControlStates();
    worker_.Post([this, action = std::move(action)] {
        ApplyControlStates();
        action();
    });
}

void MeasurePage::MeasureStep() {
    ApplyControlStates();
    measurement_->MeasureStep();
}

void MeasurePage::BitBtn_Measure_ReadClick() {
    PostToWorker([this] { measurement_->ReadClick(); });
}

void MeasurePage::CheckBox_Measure_AutoReadClick() {
    PostToWorker(
        [this, checked = autoReadBox_->isChecked()] { measurement_->AutoReadClick(checked); });
}

void MeasurePage::BitBtn_Measure_Dose_ResetClick() {
    PostToWorker([this] {
        const OperationGuard guard(host_, {.linkCheck = false, .pages = true, .busy = false});
        measurement_->DoseResetClick();
    });
}
