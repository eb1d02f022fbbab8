#pragma once

#include <deque>

#include "protocol/device_models.h"

// The rows of the models the program supports, with their carried images.
std::deque<SupportedModel> BuiltInModels();
