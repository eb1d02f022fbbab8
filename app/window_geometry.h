#pragma once

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// Top-left corner that centres a width x height window over the given frame.
// Both halvings truncate towards zero, as the indicator has always done.
ScreenPoint CentredOver(int frameLeft, int frameTop, int frameWidth, int frameHeight, int width,
                        int height);
