#include "measure/measure_page_install_qt.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "measure/measure_page.h"

MeasurePage* InstallMeasurePage(TForm1& form, MeasureDevice& device, PageGate pageGate,
                                TickClock clock) {
    auto* page = new MeasurePage(device, std::move(pageGate), form.UserDialogs(), std::move(clock),
                                 form.Page(TForm1::PageMeasuring));
    form.PageLayout(TForm1::PageMeasuring)->addWidget(page);
    page->BindPageControl(form.PageControl());
    form.TimerSteps().measureStep = [page] { page->MeasureStep(); };
    QObject::connect(&form, &TForm1::LanguageApplied, page, [page] { page->Relabel(); });
    return page;
}
