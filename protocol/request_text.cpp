#include "protocol/request_text.h"

#include <cstdio>

#include "base/language.h"
#include "protocol/command_codes.h"
#include "protocol/device_records.h"

namespace {

using namespace command_codes;

enum class Argument { None, Address, Id };

struct Request {
    std::uint8_t group;
    std::uint8_t code;
    const char* name;
    Argument argument;
};

constexpr Request kRequests[] = {
    {kGroupMain, kCodeTest, "TEST", Argument::None},
    {kGroupMain, kCodeSoftInfo, "SOFT_INFO", Argument::None},
    {kGroupMain, kCodeMemRead, "MEM_READ", Argument::Address},
    {kGroupMain, kCodeReset, "RESET", Argument::None},
    {kGroupMain, kCodePcConnection, "PC_CONNECTION", Argument::None},
    {kGroupMain, kCodePcPrint, "PC_PRINT", Argument::None},
    {kGroupMain, kCodeBoardInfo, "BOARD_INFO", Argument::None},
    {kGroupMain, kCodeTimeWrite, "TIME_WRITE", Argument::None},
    {kGroupMain, kCodeTimeRead, "TIME_READ", Argument::None},
    {kGroupMain, kCodeParRead, "PAR_READ", Argument::Id},
    {kGroupMain, kCodeParWrite, "PAR_WRITE", Argument::Id},
    {kGroupEfl, kCodeEflRead, "EFL_READ", Argument::Address},
    {kGroupEfl, kCodeEflWrite, "EFL_WRITE", Argument::Address},
    {kGroupEfl, kCodeEflErase4k, "EFL_ERASE4K", Argument::Address},
    {kGroupCpu, kCodeCpuWriteOld, "CPU_WRITE", Argument::Address},
    {kGroupCpu, kCodeCpuWriteNew, "CPU_WRITE", Argument::Address},
    {kGroupCpu, kCodeCpuEraseOld, "CPU_ERASE", Argument::Address},
    {kGroupCpu, kCodeCpuEraseNew, "CPU_ERASE", Argument::Address},
};

std::string Hex(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

}  // namespace

std::string RequestText(const std::uint8_t* payload, std::size_t length) {
    if (payload == nullptr || length < 2) {
        return {};
    }
    for (const Request& request : kRequests) {
        if (request.group != payload[0] || request.code != payload[1]) {
            continue;
        }
        if (request.argument == Argument::Address && length >= 6) {
            return std::string(request.name) + " " + Hex(ReadLe32(payload + 2), 8);
        }
        if (request.argument == Argument::Id && length >= 4) {
            return std::string(request.name) + " " + Hex(ReadLe16(payload + 2), 4);
        }
        return request.name;
    }
    return Hex(payload[0], 2) + "/" + Hex(payload[1], 2);
}

std::string RetryLine(const std::uint8_t* payload, std::size_t length, int send, int sends) {
    return PickText("Нет ответа, запрос повторён: ", "No answer, request sent again: ") +
           RequestText(payload, length) + PickText(", попытка ", ", attempt ") +
           std::to_string(send) + "/" + std::to_string(sends);
}
