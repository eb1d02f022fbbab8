#pragma once

#include <string>
#include <vector>

#include "protocol/setting_binding.h"

int ChoiceCount(ChoiceList list);

// The list's texts in the current interface language. The threshold lists show
// the column of `unitSystem`; the other lists ignore it.
std::vector<std::string> ChoiceItems(ChoiceList list, int unitSystem);
