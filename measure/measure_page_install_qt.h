#pragma once

#include "base/tick_clock.h"
#include "measure/measurement.h"

class MeasurePage;
class TForm1;

// Puts the measurement page on the main window's first tab and connects it to
// the window: the page control, the measurement step of the 100 ms timer and
// the language switch. The device and the gate must outlive the window.
MeasurePage* InstallMeasurePage(TForm1& form, MeasureDevice& device, PageGate pageGate,
                                TickClock clock = SystemTicks);
