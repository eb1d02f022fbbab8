#include "settings/settings_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "base/language.h"
#include "settings/calibration.h"

namespace {

QString ToQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

std::string FromQt(const QString& text) {
    return text.toUtf8().toStdString();
}

// Lists and fields show their values in a bold face with Cyrillic glyphs.
QFont ValueFont(const QFont& base) {
    QFont font = base;
    font.setFamilies({"Arial Unicode MS", base.family()});
    font.setBold(true);
    return font;
}

struct ButtonText {
    const char* role;
    const char* russian;
    const char* english;
};

// The button column, top to bottom; the two file buttons close it.
constexpr ButtonText kButtons[] = {
    {"Read", "Прочитать", "Read"},
    {"Write", "Сохранить", "Save"},
    {"Default", "По умолчанию", "Default"},
    {"Time", "Записать время", "Write Time"},
    {"Reset", "Перезапустить", "Restart"},
    {"Save_File", "Сохранить в файл…", "Save to File…"},
    {"Load_File", "Загрузить из файла…", "Load from File…"},
};

}  // namespace

SettingsPage::SettingsPage(const SupportedModel& model, SettingsPageContext context,
                           QWidget* parent)
    : QWidget(parent),
      model_(model),
      chooseFileToLoad_(std::move(context.chooseFileToLoad)),
      worker_(context.worker),
      ui_(this),
      actions_(std::make_unique<SettingsActions>(model_, std::move(context.environment))),
      shown_(actions_->State()) {
    setObjectName(ToQt(Name("TabSheet_DevControl", nullptr)));
    BuildWidgets();
    Relabel();
    ShowState(shown_);
}

SettingsPage::~SettingsPage() = default;

std::string SettingsPage::Name(const char* kind, const char* role) const {
    if (role == nullptr) {
        return std::string(kind) + "_" + model_.tag;
    }
    return std::string(kind) + "_Setup_" + model_.tag + "_" + role;
}

QPushButton* SettingsPage::MakeButton(const char* role) {
    auto* button = new QPushButton(this);
    button->setObjectName(ToQt(Name("BitBtn", role)));
    return button;
}

void SettingsPage::PlaceControl(Control& control, QWidget* parent) {
    const SettingBinding& binding = *control.binding;
    if (binding.kind == SettingKind::Flag) {
        control.box = new QCheckBox(parent);
        control.box->setObjectName(ToQt(Name("CheckBox", binding.control)));
        return;
    }
    control.list = new QComboBox(parent);
    control.list->setObjectName(ToQt(Name("ComboBox", binding.control)));
    control.list->setFont(ValueFont(font()));
    control.list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    control.label = new QLabel(parent);
    control.label->setObjectName(ToQt(Name("Label", binding.control)));
    if (binding.list == ChoiceList::AlarmHour || binding.list == ChoiceList::AlarmMinute) {
        control.list->setEditable(true);
        control.list->setInsertPolicy(QComboBox::NoInsert);
    }
}

void SettingsPage::BuildWidgets() {
    auto* buttonColumn = new QVBoxLayout;
    for (const ButtonText& text : kButtons) {
        QPushButton* button = MakeButton(text.role);
        buttons_.push_back(button);
        buttonColumn->addWidget(button);
    }
    buttonColumn->addStretch(1);
    resetButton_ = buttons_[4];
    connect(buttons_[0], &QPushButton::clicked, this, &SettingsPage::ReadClick);
    connect(buttons_[1], &QPushButton::clicked, this, &SettingsPage::WriteClick);
    connect(buttons_[2], &QPushButton::clicked, this, &SettingsPage::DefaultClick);
    connect(buttons_[3], &QPushButton::clicked, this, &SettingsPage::TimeClick);
    connect(buttons_[4], &QPushButton::clicked, this, &SettingsPage::ResetClick);
    connect(buttons_[5], &QPushButton::clicked, this, &SettingsPage::SaveToFileClick);
    connect(buttons_[6], &QPushButton::clicked, this, &SettingsPage::LoadFromFileClick);

    soundGroup_ = new QGroupBox(this);
    soundGroup_->setObjectName(ToQt(Name("GroupBox", "Sound")));
    auto* soundLayout = new QVBoxLayout(soundGroup_);
    timeGroup_ = new QGroupBox(this);
    timeGroup_->setObjectName(ToQt(Name("GroupBox", "Time")));
    timeEdit_ = new QLineEdit(timeGroup_);
    timeEdit_->setObjectName(ToQt(Name("Edit", "Time")));
    timeEdit_->setReadOnly(true);
    timeEdit_->setFont(ValueFont(font()));
    timeEdit_->setMinimumWidth(
        timeEdit_->fontMetrics().horizontalAdvance("[88.88.8888]-[88:88:88]") +
        timeEdit_->fontMetrics().height());
    (new QVBoxLayout(timeGroup_))->addWidget(timeEdit_);

    auto* lists = new QGridLayout;
    auto* right = new QVBoxLayout;
    right->addWidget(soundGroup_);
    // Settings of the right column sit between the sound and the clock.
    auto* rightLists = new QGridLayout;
    right->addLayout(rightLists);
    right->addWidget(timeGroup_);
    QGridLayout* alarmLayout = nullptr;
    const bool hasAlarm = std::any_of(
        model_.settings.begin(), model_.settings.end(),
        [](const SettingBinding& binding) { return binding.place == SettingPlace::AlarmGroup; });
    if (hasAlarm) {
        alarmGroup_ = new QGroupBox(this);
        alarmGroup_->setObjectName(ToQt(Name("GroupBox", "Alarm")));
        alarmLayout = new QGridLayout(alarmGroup_);
        right->addWidget(alarmGroup_);
    }
    right->addStretch(1);

    controls_.reserve(model_.settings.size());
    for (const SettingBinding& binding : model_.settings) {
        controls_.push_back(Control{&binding});
        Control& control = controls_.back();
        switch (binding.place) {
            case SettingPlace::ListColumn:
                PlaceControl(control, this);
                lists->addWidget(control.list, lists->rowCount(), 0);
                lists->addWidget(control.label, lists->rowCount() - 1, 1);
                break;
            case SettingPlace::SoundGroup:
                PlaceControl(control, soundGroup_);
                soundLayout->addWidget(control.box);
                break;
            case SettingPlace::AlarmGroup:
                PlaceControl(control, alarmGroup_);
                if (control.box != nullptr) {
                    alarmLayout->addWidget(control.box, 0, 0, 1, 2);
                } else {
                    alarmLayout->addWidget(control.list, alarmLayout->rowCount(), 0);
                    alarmLayout->addWidget(control.label, alarmLayout->rowCount() - 1, 1);
                }
                break;
            case SettingPlace::RightColumn:
                PlaceControl(control, this);
                if (control.box != nullptr) {
                    rightLists->addWidget(control.box, rightLists->rowCount(), 0, 1, 2);
                } else {
                    rightLists->addWidget(control.list, rightLists->rowCount(), 0);
                    rightLists->addWidget(control.label, rightLists->rowCount() - 1, 1);
                }
                break;
        }
    }
    lists->setRowStretch(lists->rowCount(), 1);
    lists->setColumnStretch(1, 1);
    if (const Control* units = ControlOf("units")) {
        connect(units->list, QOverload<int>::of(&QComboBox::activated), this,
                &SettingsPage::UnitsChange);
    }

    calibrationGroup_ = new QGroupBox(this);
    calibrationGroup_->setObjectName(ToQt(Name("Group", "Calibr")));
    calibrationEdit_ = new QLineEdit(calibrationGroup_);
    calibrationEdit_->setObjectName(ToQt(Name("Edit", "Calibr")));
    calibrationEdit_->setMaxLength(static_cast<int>(kCalibrationTextLength));
    calibrationEdit_->setFont(ValueFont(font()));
    calibrationEdit_->installEventFilter(this);
    calibrationButton_ = new QPushButton(calibrationGroup_);
    calibrationButton_->setObjectName(ToQt(Name("BitBtn", "Calibr_Save")));
    connect(calibrationButton_, &QPushButton::clicked, this, &SettingsPage::CalibrSaveClick);
    auto* calibrationLayout = new QHBoxLayout(calibrationGroup_);
    calibrationLayout->addWidget(calibrationEdit_);
    calibrationLayout->addWidget(calibrationButton_);
    calibrationLayout->addStretch(1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(lists, 1);
    columns->addLayout(right);
    auto* settingsArea = new QVBoxLayout;
    settingsArea->addLayout(columns, 1);
    settingsArea->addWidget(calibrationGroup_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(buttonColumn);
    layout->addLayout(settingsArea, 1);
}

SettingsPage::Control* SettingsPage::ControlOf(const char* key) {
    const int index = model_.IndexOf(key);
    return index < 0 ? nullptr : &controls_[index];
}

void SettingsPage::BindPageControl(QTabWidget* pageControl, QWidget* tab) {
    pageControl_ = pageControl;
    tab_ = tab != nullptr ? tab : this;
    Relabel();
}

int SettingsPage::TabIndex() const {
    return pageControl_->indexOf(tab_);
}

void SettingsPage::Show() {
    if (pageControl_ != nullptr) {
        pageControl_->setTabVisible(TabIndex(), true);
    }
}

void SettingsPage::Hide() {
    if (pageControl_ != nullptr) {
        pageControl_->setTabVisible(TabIndex(), false);
    }
}

// Rebuilds a list in the current language (and, for the thresholds, the page's
// unit system), keeping its selected position.
void SettingsPage::Refill(Control& control) {
    const int selected = control.list->currentIndex();
    control.list->clear();
    for (const std::string& item : ChoiceItems(control.binding->list, thresholdUnits_.Last())) {
        control.list->addItem(ToQt(item));
    }
    control.list->setCurrentIndex(selected);
}

void SettingsPage::RefillThresholds(int unitsSelection) {
    thresholdUnits_.Settle(unitsSelection);
    for (Control& control : controls_) {
        if (control.list != nullptr && (control.binding->list == ChoiceList::Background ||
                                        control.binding->list == ChoiceList::Dose)) {
            Refill(control);
        }
    }
}

int SettingsPage::UnitsSelection() {
    const Control* units = ControlOf("units");
    return units != nullptr ? units->list->currentIndex() : 0;
}

void SettingsPage::Relabel() {
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        buttons_[i]->setText(PickText(kButtons[i].russian, kButtons[i].english));
    }
    soundGroup_->setTitle(PickText("Настрока звука", "Sound Settings"));
    timeGroup_->setTitle(PickText("Время в приборе", "Time in Device"));
    if (alarmGroup_ != nullptr) {
        alarmGroup_->setTitle(PickText("Установка будильника", "Alarm Settings"));
    }
    calibrationGroup_->setTitle(ToQt(CalibrationSettingName()));
    calibrationButton_->setText(PickText("Записать калибровку", "Save Calibration"));
    for (Control& control : controls_) {
        const QString text = ToQt(PickText(control.binding->russian, control.binding->english));
        if (control.box != nullptr) {
            control.box->setText(text);
            continue;
        }
        control.label->setText(text);
        Refill(control);
    }
    RefillThresholds(UnitsSelection());
    if (pageControl_ != nullptr) {
        pageControl_->setTabText(TabIndex(), ToQt(PickText("Настройки", "Settings")));
    }
}

// A typed alarm hour or minute counts when it names an item of its list.
SettingsPageState SettingsPage::TakeWidgets() const {
    SettingsPageState state = shown_;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const Control& control = controls_[i];
        if (control.box != nullptr) {
            state.values.codes[i] = control.box->isChecked() ? 1 : 0;
            continue;
        }
        const int index =
            control.list->isEditable()
                ? control.list->findText(control.list->currentText(), Qt::MatchExactly)
                : control.list->currentIndex();
        state.values.codes[i] = index < 0 ? std::nullopt : std::optional<int>(index);
    }
    state.calibrationText = FromQt(calibrationEdit_->text());
    return state;
}

void SettingsPage::ShowState(const SettingsPageState& state) {
    shown_ = state;
    const std::optional<int> units = state.values.Code("units");
    RefillThresholds(units ? *units : (state.unitsPastList ? kUnitSystems - 1 : -1));
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const std::optional<int>& code = state.values.codes[i];
        if (controls_[i].box != nullptr) {
            controls_[i].box->setChecked(code.value_or(0) != 0);
        } else {
            controls_[i].list->setCurrentIndex(code.value_or(-1));
        }
    }
    timeEdit_->setText(ToQt(state.clockText));
    calibrationEdit_->setText(ToQt(state.calibrationText));
}

void SettingsPage::Post(std::function<bool(SettingsActions&)> action,
                        std::function<void(const SettingsPageState&)> then) {
    worker_.RunThen(
        [this, action = std::move(action), taken = TakeWidgets()] {
            actions_->State() = taken;
            return action(*actions_) ? std::optional(actions_->State()) : std::nullopt;
        },
        ui_,
        [then = std::move(then)](const std::optional<SettingsPageState>& state) {
            if (state && then) {
                then(*state);
            }
        });
}

void SettingsPage::PostShowing(std::function<bool(SettingsActions&)> action) {
    Post(std::move(action), [this](const SettingsPageState& state) { ShowState(state); });
}

void SettingsPage::ReadClick() {
    PostShowing([](SettingsActions& actions) {
        actions.Read();
        return true;
    });
}

void SettingsPage::WriteClick() {
    Post([](SettingsActions& actions) {
        actions.Save();
        return false;
    });
}

void SettingsPage::DefaultClick() {
    PostShowing([](SettingsActions& actions) {
        actions.Default();
        return true;
    });
}

void SettingsPage::TimeClick() {
    PostShowing([](SettingsActions& actions) {
        actions.WriteTime();
        return true;
    });
}

void SettingsPage::ResetClick() {
    resetButton_->setEnabled(false);
    Post(
        [](SettingsActions& actions) {
            actions.Restart();
            return true;
        },
        [this](const SettingsPageState&) { resetButton_->setEnabled(true); });
}

void SettingsPage::UnitsChange() {
    RefillThresholds(UnitsSelection());
}

void SettingsPage::CalibrSaveClick() {
    Post(
        [](SettingsActions& actions) {
            actions.SaveCalibration();
            return true;
        },
        [this](const SettingsPageState& state) {
            shown_.calibrationText = state.calibrationText;
            calibrationEdit_->setText(ToQt(state.calibrationText));
        });
}

void SettingsPage::SaveToFileClick() {
    std::string path = std::string("settings_") + model_.tag + ".json";
    if (actions_->Environment().dialogs.SaveFileName(
            PickText("Сохранить настройки в файл", "Save Settings to File"),
            PickText("Файлы настроек (*.json)", "Settings files (*.json)"), path)) {
        Post([path](SettingsActions& actions) {
            actions.SaveToFile(path);
            return false;
        });
    }
}

void SettingsPage::LoadFromFileClick() {
    const std::string path =
        chooseFileToLoad_
            ? chooseFileToLoad_()
            : FromQt(QFileDialog::getOpenFileName(
                  this, ToQt(PickText("Загрузить настройки из файла", "Load Settings from File")),
                  QString(), ToQt(PickText("Файлы настроек (*.json)", "Settings files (*.json)"))));
    if (path.empty()) {
        return;
    }
    PostShowing([path](SettingsActions& actions) { return actions.LoadFromFile(path); });
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == calibrationEdit_ && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!text.isEmpty() && !CalibrationKeyAllowed(text.at(0).unicode())) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
