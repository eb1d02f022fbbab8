#pragma once

// Colour scheme of the status text in the bottom bar.
enum class StatusStyle : int { Neutral = 0, Success = 1, Error = 2, Warning = 3 };
