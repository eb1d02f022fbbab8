#include "history/history_page.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/language.h"
#include "history/archive_key.h"
#include "history/archive_path.h"
#include "history/archive_view.h"
#include "history/csv_save.h"
#include "history/history_chart_widget.h"
#include "history/history_delete.h"
#include "history/history_navigation.h"
#include "history/history_source_widget.h"
#include "history/read_history.h"
#include "protocol/number_texts.h"
#include "protocol/units.h"

namespace {

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

QString NoticeText(const std::string& text) {
    return ToQt(text).remove(QLatin1Char('\r'));
}

QPushButton* MakeButton(const char* name, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

std::string MomentText(std::uint32_t seconds) {
    const DeviceDateTime when = DateTimeOfSeconds(seconds);
    return DateText(when) + " " + TimeText(when);
}

// What hovering a bar tells: its period and its values.
QString BarToolTip(const ChartBar& bar) {
    std::string text = MomentText(bar.start) + " - " + MomentText(bar.start + bar.length - 1);
    if (bar.series[1].color == kColorBlue) {
        text += "\n" + std::string(PickText("нет данных", "no data"));
    } else {
        text += "\n" + std::to_string(static_cast<long long>(bar.series[1].value)) + " " +
                HistoryRateUnitName();
        if (bar.series[0].color == kColorYellow) {
            text += " (max " + std::to_string(static_cast<long long>(bar.series[0].value)) + ")";
        }
    }
    return ToQt(text);
}

}  // namespace

HistoryPage::HistoryPage(HistoryPageContext context, QWidget* parent)
    : QWidget(parent),
      context_(std::move(context)),
      ui_(this),
      history_(std::make_shared<DeviceHistory>()) {
    setObjectName(QStringLiteral("TabSheet_DevHistory"));
    BuildWidgets();
    Relabel();
}

HistoryPage::~HistoryPage() = default;

void HistoryPage::BuildWidgets() {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    readButton_ = MakeButton("BitBtn_HIS_Read", this);
    deleteButton_ = MakeButton("BitBtn_HIS_Delete", this);
    saveButton_ = MakeButton("BitBtn_HIS_Save_CSV", this);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar_HIS_Read"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    fullBox_ = new QCheckBox(this);
    fullBox_->setObjectName(QStringLiteral("CheckBox_HIS_Full"));
    top->addWidget(readButton_);
    top->addWidget(fullBox_);
    top->addWidget(progress_, 1);
    top->addWidget(saveButton_);
    top->addWidget(deleteButton_);
    layout->addLayout(top);
    source_ = new HistorySourceWidget(this);
    layout->addWidget(source_);

    navigationPanel_ = new QWidget(this);
    navigationPanel_->setObjectName(QStringLiteral("Panel_HIS_Buttons"));
    auto* navigation = new QHBoxLayout(navigationPanel_);
    navigation->setContentsMargins(0, 0, 0, 0);
    backButton_ = MakeButton("BitBtn_HIS_Back", navigationPanel_);
    upButton_ = MakeButton("BitBtn_HIS_Up", navigationPanel_);
    forwardButton_ = MakeButton("BitBtn_HIS_Vpered", navigationPanel_);
    lastButton_ = MakeButton("BitBtn_HIS_To_Last", navigationPanel_);
    showMaxBox_ = new QCheckBox(navigationPanel_);
    showMaxBox_->setObjectName(QStringLiteral("CheckBox_HIS_Show_MaxVal"));
    for (QWidget* widget :
         {static_cast<QWidget*>(backButton_), static_cast<QWidget*>(upButton_),
          static_cast<QWidget*>(forwardButton_), static_cast<QWidget*>(lastButton_),
          static_cast<QWidget*>(showMaxBox_)}) {
        navigation->addWidget(widget);
    }
    navigation->addStretch(1);
    navigationPanel_->setEnabled(false);
    layout->addWidget(navigationPanel_);

    versionMessage_ = new QLabel(this);
    versionMessage_->setObjectName(QStringLiteral("Label_HIS_Version_Msg"));
    versionMessage_->setAlignment(Qt::AlignCenter);
    QPalette red = versionMessage_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    versionMessage_->setPalette(red);
    layout->addWidget(versionMessage_);
    archiveMessage_ = new QLabel(this);
    archiveMessage_->setObjectName(QStringLiteral("Label_HIS_Archive_Msg"));
    archiveMessage_->setAlignment(Qt::AlignCenter);
    archiveMessage_->setWordWrap(true);
    archiveMessage_->setPalette(red);
    layout->addWidget(archiveMessage_);

    chart1_ = new HistoryChartWidget(this);
    chart1_->setObjectName(QStringLiteral("Chart1"));
    layout->addWidget(chart1_, 1);

    connect(readButton_, &QPushButton::clicked, this, &HistoryPage::BitBtn_HIS_ReadClick);
    connect(deleteButton_, &QPushButton::clicked, this, &HistoryPage::BitBtn_HIS_DeleteClick);
    connect(saveButton_, &QPushButton::clicked, this, &HistoryPage::BitBtn_HIS_Save_CSVClick);
    connect(backButton_, &QPushButton::clicked, this, &HistoryPage::BitBtn_HIS_BackClick);
    connect(upButton_, &QPushButton::clicked, this, &HistoryPage::BitBtn_HIS_UpClick);
    connect(forwardButton_, &QPushButton::clicked, this, &HistoryPage::BitBtn_HIS_VperedClick);
    connect(lastButton_, &QPushButton::clicked, this, &HistoryPage::BitBtn_HIS_To_LastClick);
    connect(showMaxBox_, &QCheckBox::clicked, this, &HistoryPage::CheckBox_HIS_Show_MaxValClick);
    connect(chart1_, &HistoryChartWidget::BarDoubleClicked, this, &HistoryPage::Series1DblClick);
    connect(source_, &HistorySourceWidget::SourceChanged, this, [this] {
        if (source_->ArchiveChosen()) {
            LoadArchive();
        } else {
            ShowSource();
        }
    });
    connect(source_, &HistorySourceWidget::DeviceChosen, this, &HistoryPage::LoadArchive);
}

void HistoryPage::Relabel() {
    SetReadCaption();
    deleteButton_->setText(ToQt(PickText("Удалить историю", "Delete History")));
    backButton_->setText(ToQt(PickText("Назад", "Back")));
    upButton_->setText(ToQt(PickText("Вверх", "Up")));
    forwardButton_->setText(ToQt(PickText("Вперед", "Forward")));
    lastButton_->setText(ToQt(PickText("В конец", "Last")));
    showMaxBox_->setText(ToQt(PickText("Показывать всплески", "Show maximum")));
    saveButton_->setText(ToQt(PickText("Сохранить CSV", "Save CSV")));
    fullBox_->setText(ToQt(PickText("Полное чтение", "Full reading")));
    source_->Relabel();
    ShowArchiveNote();
}

void HistoryPage::SetReadCaption() {
    readButton_->setText(
        ToQt(reading_ ? PickText("Отмена", "Cancel") : PickText("Прочитать", "Read")));
}

HistoryAccess HistoryPage::Access() {
    return HistoryAccess{
        context_.device, context_.host, [this] {
            if (!context_.pageGate) {
                return true;
            }
            std::string notice;
            const bool allowed = context_.pageGate(notice);
            ui_.Post([this, notice] { versionMessage_->setText(NoticeText(notice)); });
            return allowed;
        }};
}

void HistoryPage::ShowWaitingTitle() {
    chart1_->ClearSeries(0);
    chart1_->ClearSeries(1);
    chart1_->ClearTitle();
    chart1_->AddTitleLine(
        ToQt(PickText("Ожидание считывания истории", "Waiting of reading History")));
}

void HistoryPage::BitBtn_HIS_ReadClick() {
    if (reading_) {
        reader_->Cancel();
        return;
    }
    // What the user asked for now is the reading, not the archive.
    source_->ChooseDevice();
    reading_ = true;
    deleteButton_->setEnabled(false);
    fullBox_->setEnabled(false);
    source_->setEnabled(false);
    SetReadCaption();
    navigationPanel_->setEnabled(false);
    saveButton_->setEnabled(false);
    ShowWaitingTitle();

    ReadHistory::Hooks hooks;
    // Over what the reading counts: its pages, or the pairs it asks for.
    hooks.progress = [this](const ReadingProgress& reached) {
        ui_.Post([this, done = reached.done, total = reached.total] {
            progress_->setRange(0, std::max(1, total));
            progress_->setValue(done);
        });
    };
    // The reading fills a history of its own, which becomes the page's when
    // it has ended; until then the page shows none.
    history_->Reset();
    auto read = std::make_shared<DeviceHistory>();
    reader_ = std::make_shared<ReadHistory>(Access(), *read, context_.dialogs, context_.log,
                                            std::move(hooks));
    context_.worker.RunThen(
        [this, reader = reader_, read, full = fullBox_->isChecked()] {
            // Opened for this reading only: the CLI may use the file in between.
            std::optional<HistoryArchive> archive;
            std::string archiveError;
            if (const std::optional<DeviceInfo> info = IdentifiedDevice()) {
                archive.emplace(ArchiveFilePath());
                if (archive->Open()) {
                    reader->UseArchive(&*archive, ArchiveKeyOf(*info), full);
                } else {
                    archiveError = archive->Error();
                    LogArchiveError(archiveError);
                }
            }
            reader->Run(context_.sensorCount ? context_.sensorCount() : 1);
            if (archiveError.empty()) {
                archiveError = reader->ArchiveError();
            }
            return archiveError;
        },
        ui_, [this, read](const std::string& archiveError) { ReadingEnded(read, archiveError); });
}

void HistoryPage::ReadingEnded(std::shared_ptr<DeviceHistory> read,
                               const std::string& archiveError) {
    history_ = std::move(read);
    if (history_->valid) {
        navigationPanel_->setEnabled(true);
        ToLast(chart_, history_->readTime);
        DrawHistory();
    }
    if (history_->valid || !archiveError.empty()) {
        readingArchiveError_ = archiveError;
    }
    ShowArchiveNote();
    reading_ = false;
    SetReadCaption();
    deleteButton_->setEnabled(true);
    saveButton_->setEnabled(true);
    fullBox_->setEnabled(true);
    source_->setEnabled(true);
}

std::optional<DeviceInfo> HistoryPage::IdentifiedDevice() const {
    return context_.identifiedDevice ? context_.identifiedDevice() : std::nullopt;
}

void HistoryPage::LogArchiveError(const std::string& error) {
    if (context_.log != nullptr) {
        context_.log->LogError("History archive: " + error);
    }
}

const DeviceHistory* HistoryPage::Shown() const {
    if (!source_->ArchiveChosen()) {
        return history_.get();
    }
    return archive_ ? &archive_->history : nullptr;
}

bool HistoryPage::Showing() const {
    const DeviceHistory* shown = Shown();
    return shown != nullptr && shown->valid;
}

HistoryChartView& HistoryPage::View() {
    return source_->ArchiveChosen() ? archiveChart_ : chart_;
}

const HistoryChartView& HistoryPage::ChartView() const {
    return source_->ArchiveChosen() ? archiveChart_ : chart_;
}

void HistoryPage::ShowSource() {
    navigationPanel_->setEnabled(Showing());
    if (Showing()) {
        DrawHistory();
    } else {
        ClearChart();
        if (!source_->ArchiveChosen()) {
            ShowWaitingTitle();
        }
    }
    ShowArchiveNote();
}

void HistoryPage::LoadArchive() {
    archive_.reset();
    ShowSource();
    context_.worker.RunThen(
        [this, chosen = source_->ChosenDevice()] {
            const std::optional<DeviceInfo> info = IdentifiedDevice();
            auto view = std::make_shared<const ArchiveView>(
                LoadArchiveView(ArchiveFilePath(),
                                info ? std::optional(ArchiveKeyOf(*info)) : std::nullopt, chosen));
            if (!view->error.empty()) {
                LogArchiveError(view->error);
            }
            return view;
        },
        ui_, [this](std::shared_ptr<const ArchiveView> view) { ArchiveLoaded(std::move(view)); });
}

void HistoryPage::ArchiveLoaded(std::shared_ptr<const ArchiveView> view) {
    archive_ = std::move(view);
    source_->ShowDevices(*archive_);
    if (archive_->history.valid) {
        ToLast(archiveChart_, archive_->history.readTime);
    }
    if (source_->ArchiveChosen()) {
        ShowSource();
    }
}

void HistoryPage::ShowArchiveNote() {
    std::string note = readingArchiveError_;
    if (source_->ArchiveChosen()) {
        note = archive_ ? ArchiveViewNote(*archive_) : std::string();
    }
    archiveMessage_->setText(ToQt(note));
}

void HistoryPage::ClearChart() {
    chart1_->ClearTitle();
    for (int series = 0; series < HistoryChartWidget::kSeriesCount; ++series) {
        chart1_->ClearSeries(series);
    }
}

void HistoryPage::BitBtn_HIS_DeleteClick() {
    context_.worker.RunThen([this] { DeleteHistoryClick(Access(), context_.dialogs); }, ui_,
                            [this] { progress_->setValue(0); });
}

void HistoryPage::BitBtn_HIS_Save_CSVClick() {
    if (!source_->ArchiveChosen()) {
        SaveCsvClick(*history_, context_.dialogs, lastCsvFileName_);
        return;
    }
    SaveCsvText(Showing(), archive_ ? std::string_view(archive_->csv) : std::string_view(),
                context_.dialogs, lastCsvFileName_);
}

void HistoryPage::Step(bool forward) {
    if (!Showing()) {
        return;
    }
    StepView(View().view, View().level, forward);
    DrawHistory();
}

void HistoryPage::BitBtn_HIS_BackClick() {
    Step(false);
}

void HistoryPage::BitBtn_HIS_VperedClick() {
    Step(true);
}

void HistoryPage::BitBtn_HIS_UpClick() {
    if (Showing() && LevelUp(View())) {
        DrawHistory();
    }
}

void HistoryPage::BitBtn_HIS_To_LastClick() {
    if (Showing()) {
        ToLast(View(), Shown()->readTime);
        DrawHistory();
    }
}

void HistoryPage::CheckBox_HIS_Show_MaxValClick() {
    if (Showing()) {
        DrawHistory();
    }
}

void HistoryPage::Series1DblClick(int bar) {
    if (Showing() && DrillDown(View(), bar)) {
        DrawHistory();
    }
}

void HistoryPage::DrawHistory() {
    HistoryChartView& view = View();
    view.showMax = showMaxBox_->isChecked();
    // Computed in full before anything is drawn; nothing else runs meanwhile.
    const ChartPicture picture = ::DrawHistory(*Shown(), view);
    ClearChart();
    for (const std::string& line : picture.title) {
        chart1_->AddTitleLine(ToQt(line));
    }
    for (std::size_t i = 0; i < picture.bars.size(); ++i) {
        const ChartBar& bar = picture.bars[i];
        for (int series = 0; series < HistoryChartWidget::kSeriesCount; ++series) {
            const ChartPoint& point = bar.series[static_cast<std::size_t>(series)];
            chart1_->AddPoint(series, point.value, ToQt(bar.label), QColor::fromRgb(point.color));
        }
        chart1_->SetBarToolTip(static_cast<int>(i), BarToolTip(bar));
    }
}
