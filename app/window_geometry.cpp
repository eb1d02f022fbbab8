#include "app/window_geometry.h"

ScreenPoint CentredOver(int frameLeft, int frameTop, int frameWidth, int frameHeight, int width,
                        int height) {
    return {frameLeft + frameWidth / 2 - width / 2, frameTop + frameHeight / 2 - height / 2};
}
