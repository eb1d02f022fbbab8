#pragma once

#include <string>
#include <vector>

// The two alarm-threshold tables: one row is one physical threshold, shown in
// the column of the page's unit system.
enum class ThresholdTable { Background, Dose };

inline constexpr int kBackgroundRows = 16;
inline constexpr int kDoseRows = 15;
inline constexpr int kUnitSystems = 3;

int ThresholdRows(ThresholdTable table);

// The entry as stored: leading "-" characters count unit-prefix steps.
const char* ThresholdEntry(ThresholdTable table, int unitSystem, int row);

// The entry without its dashes, a space and the unit name for the steps.
std::string ThresholdText(ThresholdTable table, int unitSystem, int row);

// Every row of a table in one unit system.
std::vector<std::string> ThresholdItems(ThresholdTable table, int unitSystem);

// The unit system a page's two threshold lists last showed. Refilling asks it
// which column to show for the units list's selection (-1 for none).
class ThresholdUnits {
  public:
    // None keeps the last; any other, above 2 taken as 2, becomes the new last.
    int Settle(int unitsSelection);
    int Last() const { return last_; }

  private:
    int last_ = 0;
};
