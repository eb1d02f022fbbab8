#pragma once

#include <cstdint>

// The command groups and the codes within them, as the device knows them.
namespace command_codes {

constexpr std::uint8_t kGroupMain = 0x01;
constexpr std::uint8_t kGroupEfl = 0x02;
constexpr std::uint8_t kGroupCpu = 0x03;

constexpr std::uint8_t kCodeTest = 0x00;
constexpr std::uint8_t kCodeSoftInfo = 0x01;
constexpr std::uint8_t kCodeMemRead = 0x02;
constexpr std::uint8_t kCodeReset = 0x05;
constexpr std::uint8_t kCodePcConnection = 0x06;
constexpr std::uint8_t kCodePcPrint = 0x07;
constexpr std::uint8_t kCodeBoardInfo = 0x0A;
constexpr std::uint8_t kCodeTimeWrite = 0x0B;
constexpr std::uint8_t kCodeTimeRead = 0x0C;
constexpr std::uint8_t kCodeParRead = 0x0E;
constexpr std::uint8_t kCodeParWrite = 0x0F;
constexpr std::uint8_t kCodeEflRead = 0x02;
constexpr std::uint8_t kCodeEflWrite = 0x03;
constexpr std::uint8_t kCodeEflErase4k = 0x05;
constexpr std::uint8_t kCodeCpuWriteOld = 0x03;
constexpr std::uint8_t kCodeCpuEraseOld = 0x05;
constexpr std::uint8_t kCodeCpuWriteNew = 0x06;
constexpr std::uint8_t kCodeCpuEraseNew = 0x07;

}  // namespace command_codes
