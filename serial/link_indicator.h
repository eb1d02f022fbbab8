#pragma once

#include <cstdint>
#include <string>

// The connection state shown in the bottom bar.
enum class LinkIndicatorKind { Ok, Err, Nok };

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Rgb&) const = default;
};

// What the page paints: `Panel_Connection` gets colour and text, `Panel_COM`
// gets portText.
struct LinkIndicator {
    LinkIndicatorKind kind = LinkIndicatorKind::Nok;
    Rgb colour;
    std::string text;
    std::string portText;
};

// The text blinks: framed ("= OK =") while blinkToggle is non-zero, plain ("OK")
// otherwise. portText is "COM <n>" for an open port, "----" otherwise.
LinkIndicator MakeLinkIndicator(LinkIndicatorKind kind, int blinkToggle, bool portOpen,
                                int portNumber);
