#include "firmware/boot_area.h"

#include <cstdio>
#include <tuple>

#include "base/language.h"

namespace {

// Spans are computed wide, so that one at the top of the address space
// cannot wrap its end round to 0.
struct Span {
    std::uint64_t first = 0;
    std::uint64_t end = 0;

    bool Overlaps(const Span& other) const {
        return first < end && first < other.end && other.first < end;
    }
};

std::string AddressText(std::uint64_t address) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(address));
    return text;
}

// First and last byte.
std::string SpanText(const Span& span) {
    return AddressText(span.first) + ".." + AddressText(span.end - 1);
}

std::string OverlapFault(const Span& image, const char* record, const Span& at) {
    return PickText(
        "Образ программы " + SpanText(image) + " перекрывает " + record + " " + SpanText(at),
        "Program image " + SpanText(image) + " overlaps " + record + " at " + SpanText(at));
}

}  // namespace

std::string ProgramStartFault(std::uint32_t start, std::uint32_t imageSize, std::uint32_t pageSize,
                              const SoftInfo& soft, const CpuInfo& cpu) {
    if (start == 0) {
        return PickText("Начало программы не задано (0x00000000)", "No program start (0x00000000)");
    }
    // A start inside a page would write into a page that was never erased.
    if (start % pageSize != 0) {
        return PickText("Начало программы " + AddressText(start) + " не на границе страницы (" +
                            std::to_string(pageSize) + " байт)",
                        "Program start " + AddressText(start) + " not on a page boundary (" +
                            std::to_string(pageSize) + " bytes)");
    }
    const Span image{start, std::uint64_t{start} + imageSize};
    if (image.end > std::uint64_t{1} << 32) {
        return PickText("Образ программы " + SpanText(image) +
                            " выходит за конец адресного "
                            "пространства",
                        "Program image " + SpanText(image) +
                            " runs past the end of the address "
                            "space");
    }
    if (soft.cpuInfoAddress != 0) {
        const Span cpuInfo{soft.cpuInfoAddress,
                           std::uint64_t{soft.cpuInfoAddress} + CpuInfo::kSize};
        if (image.Overlaps(cpuInfo)) {
            return OverlapFault(image, "CpuInfo", cpuInfo);
        }
    }
    if (const std::uint32_t address = Inf1BlockAddress(cpu); address != 0) {
        const Span inf1{address, std::uint64_t{address} + std::tuple_size_v<Inf1Block>};
        if (image.Overlaps(inf1)) {
            return OverlapFault(image, "Inf1Block", inf1);
        }
    }
    return {};
}
