#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/about_window.h"
#include "app/busy_window.h"
#include "app/caption_table.h"
#include "app/connection_controls_qt.h"
#include "app/log_view_widget.h"
#include "app/options_store.h"
#include "protocol/device_models.h"
#include "protocol/device_session.h"
#include "protocol/identification_step.h"
#include "protocol/operation_gate.h"

namespace {

constexpr int kTimerProcMs = 100;
constexpr int kModalRetryMs = 10;
constexpr int kIdleUpdateMs = 200;
constexpr int kClientWidth = 844;
constexpr int kClientHeight = 362;
constexpr int kBottomBarHeight = 29;
constexpr int kPortPanelWidth = 55;
constexpr int kProgressWidth = 173;

struct PageDesign {
    std::string name;
    std::string caption;
    int number;
};

const char* const kPageNumberProperty = "pageNumber";

// The tabs in their order: a settings tab per model between the history and
// the information page.
std::vector<PageDesign> PageDesigns() {
    std::vector<PageDesign> designs{{"TabSheet_Measuring", "Измерение", TForm1::PageMeasuring},
                                    {"TabSheet_DevHistory", "История", TForm1::PageDevHistory}};
    for (const SupportedModel& model : SupportedModels()) {
        designs.push_back({std::string("TabSheet_DevControl_") + model.tag,
                           std::string(model.tag) + ":Настройки", model.pageNumber});
    }
    designs.push_back({"TabSheet_DevInfo", "О приборе", TForm1::PageDevInfo});
    designs.push_back({"TabSheet_Log", "Лог", TForm1::PageLog});
    return designs;
}

QFont FontWithFallbacks(const QStringList& families, QFont::StyleHint hint) {
    QFont font(families.first());
    font.setFamilies(families);
    font.setStyleHint(hint);
    return font;
}

QLabel* MakePanel(QWidget* parent, const char* name, const QString& text) {
    auto* panel = new QLabel(text, parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    return panel;
}

}  // namespace

TForm1::TForm1(Dialogs& dialogs, OptionsStore& options, TickClock clock, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      ui_(this),
      workerDialogs_(dialogs, ui_, Stop()),
      options_(options),
      clock_(clock),
      procTimer_(std::move(clock)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Dravo Explorer "));
    setFont(FontWithFallbacks({QStringLiteral("Arial Unicode MS"), QStringLiteral("DejaVu Sans")},
                              QFont::SansSerif));
    BuildStatusBar();
    BuildPages();
    BuildActions();
    BuildMenus();
    BuildLogPopup();
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());

    timerProc_ = new QTimer(this);
    timerProc_->setObjectName(QStringLiteral("Timer_Proc"));
    timerProc_->setInterval(kTimerProcMs);
    connect(timerProc_, &QTimer::timeout, this, &TForm1::Timer_ProcTimer);
    idleUpdate_ = new QTimer(this);
    idleUpdate_->setInterval(kIdleUpdateMs);
    connect(idleUpdate_, &QTimer::timeout, this, &TForm1::UpdateActions);

    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
    delete logView_;
}

void TForm1::BuildStatusBar() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    pageControl_ = new QTabWidget(central);
    pageControl_->setObjectName(QStringLiteral("PageControl1"));
    column->addWidget(pageControl_, 1);

    auto* bottom = new QWidget(central);
    bottom->setObjectName(QStringLiteral("Panel_Bottom"));
    bottom->setFixedHeight(kBottomBarHeight);
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    panelCom_ = MakePanel(bottom, "Panel_COM", QString());
    panelCom_->setFixedWidth(kPortPanelWidth);
    panelConnection_ = MakePanel(bottom, "Panel_Connection", QString());
    panelConnection_->setFixedWidth(kPortPanelWidth);
    panelInfoText_ =
        MakePanel(bottom, "Panel_Bottom_Info_Text", QString::fromUtf8("Ожидание соединения"));
    progressBar_ = new QProgressBar(bottom);
    progressBar_->setObjectName(QStringLiteral("ProgressBar_Bottom_Info"));
    progressBar_->setFixedWidth(kProgressWidth);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    row->addWidget(panelCom_);
    row->addWidget(panelConnection_);
    row->addWidget(panelInfoText_, 1);
    row->addWidget(progressBar_);
    column->addWidget(bottom);
    setCentralWidget(central);
    ShowStatusNeutral("Ожидание соединения");
}

void TForm1::BuildPages() {
    for (const PageDesign& design : PageDesigns()) {
        auto* page = new QWidget(pageControl_);
        page->setObjectName(QString::fromStdString(design.name));
        page->setProperty(kPageNumberProperty, design.number);
        new QVBoxLayout(page);
        pageControl_->addTab(page, QString::fromStdString(design.caption));
    }
    memoLog_ = new QPlainTextEdit(Page(PageLog));
    memoLog_->setObjectName(QStringLiteral("Memo_Log"));
    memoLog_->setReadOnly(true);
    memoLog_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memoLog_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoLog_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoLog_->setFont(
        FontWithFallbacks({QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans Mono"),
                           QStringLiteral("monospace")},
                          QFont::TypeWriter));
    PageLayout(PageLog)->addWidget(memoLog_);
    logView_ = new LogView(log_, memoLog_);
}

QWidget* TForm1::Page(int pageNumber) const {
    return pageControl_->widget(TabOfPageNumber(pageNumber));
}

QVBoxLayout* TForm1::PageLayout(int pageNumber) const {
    return static_cast<QVBoxLayout*>(Page(pageNumber)->layout());
}

int TForm1::TabOfPageNumber(int pageNumber) const {
    for (int tab = 0; tab < pageControl_->count(); ++tab) {
        if (PageNumberOfTab(tab) == pageNumber) {
            return tab;
        }
    }
    return -1;
}

int TForm1::PageNumberOfTab(int tab) const {
    return pageControl_->widget(tab)->property(kPageNumberProperty).toInt();
}

void TForm1::AttachSecondaryWindows(TForm3* busy, TForm2* about) {
    busy_ = busy;
    about_ = about;
}

void TForm1::FormCreate() {
    CreateDeviceSession();
    ApplyLanguage(RestoredLanguage(options_));
    int lastNumber = 0;
    for (int tab = 0; tab < pageControl_->count(); ++tab) {
        lastNumber = std::max(lastNumber, PageNumberOfTab(tab));
    }
    pageControl_->setCurrentIndex(
        std::max(0, TabOfPageNumber(RestoredPageIndex(options_, lastNumber + 1))));
    currentPage_ = pageControl_->currentIndex();
    connect(pageControl_, &QTabWidget::currentChanged, this, &TForm1::PageControl1Changing);

    const ProgramStart start = StartProgram(lock_, dialogs_, log_);
    startup_ = start.result;
    if (!StartedUp()) {
        return;
    }
    tempFolder_ = start.tempFolder;
    SetTabVisible(PageLog, false);
    for (const SupportedModel& model : SupportedModels()) {
        SetTabVisible(model.pageNumber, false);
    }
    UpdateActions();
    timerProc_->start();
    idleUpdate_->start();
}

void TForm1::FormDestroy() {
    // The running job ends at its next exchange; nothing talks to the device after this.
    worker_->Shutdown();
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    timerProc_->stop();
    idleUpdate_->stop();
    lock_.Release();
    // An instance that stopped during start-up leaves the running one's
    // options, log and staging folder alone.
    if (!StartedUp()) {
        return;
    }
    options_.WriteInt(kOptionPageNum, PageNumberOfTab(pageControl_->currentIndex()));
    UploadFeedback feedback;
    feedback.statusText = [this](const std::string& text) {
        panelInfoText_->setText(QString::fromStdString(text));
        panelInfoText_->repaint();
    };
    feedback.progress = [this](int percent) { progressBar_->setValue(percent); };
    EndProgram(log_, tempFolder_, deviceInfo_, feedback);
    DestroyDeviceSession();
}

void TForm1::FormActivate() {
    if (about_ != nullptr && about_->AboutShowing()) {
        about_->close();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The running job ends at its next exchange and waits for no answer.
    RequestStop();
    QWidget* box = QApplication::activeModalWidget();
    if (workerDialogs_.Showing() > 0 || box != nullptr) {
        // A box's own loop is on the stack: close it, and the window from the
        // top-level loop once it has returned.
        if (box != nullptr) {
            box->close();
        }
        event->ignore();
        QTimer::singleShot(kModalRetryMs, this, [this] { close(); });
        return;
    }
    FormDestroy();
    if (busy_ != nullptr) {
        busy_->HideBusy();
    }
    if (about_ != nullptr) {
        about_->close();
    }
    event->accept();
    QCoreApplication::quit();
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        FormActivate();
    }
    QMainWindow::changeEvent(event);
}

void TForm1::ShowStatus(const std::string& text, int style) {
    const StatusColours colours = ColoursOf(StatusStyleFromNumber(style));
    QPalette palette = panelInfoText_->palette();
    if (colours.systemColours) {
        palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
        palette.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::WindowText));
    } else {
        palette.setColor(QPalette::Window, QColor::fromRgb(colours.panelRgb));
        palette.setColor(QPalette::WindowText, QColor::fromRgb(colours.textRgb));
    }
    panelInfoText_->setPalette(palette);
    QFont font = panelInfoText_->font();
    font.setBold(colours.bold);
    panelInfoText_->setFont(font);
    panelInfoText_->setText(QString::fromStdString(text));
}

void TForm1::SetTabVisible(int pageNumber, bool visible) {
    pageControl_->setTabVisible(TabOfPageNumber(pageNumber), visible);
}

void TForm1::FlushLog() {
    logView_->Flush();
}

void TForm1::ApplyLanguage(Language language) {
    SetUiLanguage(language);
    const bool english = language == Language::English;
    actionLanguage_->setText(english ? QStringLiteral("ENG") : QStringLiteral("RUS"));
    SetImageIndex(actionLanguage_, images_, english ? ImageList::kEnglish : ImageList::kRussian);
    setWindowTitle(QLatin1String(kMainWindowCaption));
    for (const CaptionRow& row : MainCaptionTable()) {
        ApplyCaption(row.control, QString::fromUtf8(PickText(row.russian, row.english)));
    }
    if (connectionControls_ != nullptr) {
        connectionControls_->LanguageApplied();
    }
    ForEachPage([](DevicePage& page) { page.Relabel(); });
    emit LanguageApplied(language);
}

void TForm1::ApplyCaption(const char* control, const QString& text) {
    QObject* target = findChild<QObject*>(QLatin1String(control));
    if (target == nullptr) {
        return;
    }
    if (auto* action = qobject_cast<QAction*>(target)) {
        action->setText(text);
    } else if (auto* menu = qobject_cast<QMenu*>(target)) {
        menu->setTitle(text);
    } else if (auto* widget = qobject_cast<QWidget*>(target);
               widget != nullptr && pageControl_->indexOf(widget) >= 0) {
        pageControl_->setTabText(pageControl_->indexOf(widget), text);
    } else {
        target->setProperty(target->property("title").isValid() ? "title" : "text", text);
    }
}
