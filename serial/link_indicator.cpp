#include "serial/link_indicator.h"

namespace {

struct KindLook {
    Rgb colour;
    const char* name;
};

KindLook LookOf(LinkIndicatorKind kind) {
    switch (kind) {
        case LinkIndicatorKind::Ok:
            return {{0, 255, 0}, "OK"};
        case LinkIndicatorKind::Err:
            return {{255, 0, 0}, "ERR"};
        case LinkIndicatorKind::Nok:
            break;
    }
    return {{255, 255, 255}, "NOK"};
}

}  // namespace

LinkIndicator MakeLinkIndicator(LinkIndicatorKind kind, int blinkToggle, bool portOpen,
                                int portNumber) {
    const KindLook look = LookOf(kind);
    LinkIndicator indicator;
    indicator.kind = kind;
    indicator.colour = look.colour;
    indicator.text = blinkToggle != 0 ? std::string("= ") + look.name + " =" : look.name;
    indicator.portText = portOpen ? "COM " + std::to_string(portNumber) : "----";
    return indicator;
}
