#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/app_log.h"
#include "protocol/device_link.h"
#include "protocol/device_records.h"

// How a logged write of a setting ended.
enum class ParameterWrite { Stored, NotTaken, Failed };

// Every request the program sends to the device, with its answer checks, and
// the records of the connected device kept between requests. `messages` turns
// on the command's failure box; commands whose failures always show take none.
class DeviceCommands {
  public:
    static constexpr std::size_t kMaxTestEcho = 16;
    static constexpr std::size_t kMemReadPiece = 16;
    static constexpr std::size_t kMaxBlockWrite = 128;
    static constexpr std::size_t kMaxConnectionText = 13;
    static constexpr std::size_t kMaxPrintText = 125;

    // `log` may be null: the logged parameter access then logs nothing.
    DeviceCommands(DeviceLink& link, AppLog* log);

    // 1 echo correct; 0 no answer or wrong echo; -1 no channel or no echo bytes;
    // -2 port closed. More than 16 echo bytes are cut to 16.
    int Test(const std::uint8_t* echo, int count, bool messages);

    // Forgets the cached SoftInfo, then asks for it; caches it on success.
    bool ReadSoftInfo(SoftInfo* out, bool messages);
    // Bytes read (the sum of the requested pieces of 16), or -1. A piece answered
    // short is read on from where the answer ended.
    int MemRead(std::uint32_t address, std::uint8_t* destination, int length, bool messages);
    // Restart into the boot loader (`bootLoader`) or the main program.
    bool Reset(bool bootLoader, bool messages);
    // Needs a device out of boot mode; the text is cut to 13 characters.
    bool PcConnection(const std::string& text, bool messages);
    // Screen markup; the text is cut to 125 characters.
    bool PcPrint(const std::string& text, bool messages);
    bool ReadBoardInfo(BoardInfo* out, bool messages);
    // Only on boards 310, 520, 415 and 425.
    bool TimeWrite(const DeviceTimeRecord& time);
    bool TimeRead(DeviceTimeRecord& time);
    // Asks for record.id; fills the record from a 6- or 22-byte answer.
    bool ParRead(ParamRecord& record, bool messages);
    // Writes record.value to record.id; the value the device answers replaces it.
    bool ParWrite(ParamRecord& record);

    // One request of `length` (0-255) bytes, read on from where an answer
    // ended while answered short; `length`, or -1.
    int EflRead(std::uint32_t address, std::uint8_t* destination, int length, bool messages);
    bool EflWrite(std::uint32_t address, const std::uint8_t* data, std::size_t length,
                  bool messages);
    bool EflErase4k(std::uint32_t address, bool messages);
    bool CpuWrite(std::uint32_t address, const std::uint8_t* data, std::size_t length,
                  bool messages);
    bool CpuErase(std::uint32_t address, bool messages);
    // Whether the CPU-flash commands use the newer codes 0x06/0x07.
    bool UsesNewCpuCodes() const;

    // Derived operations.
    bool ReadCpuInfo(bool messages);
    // The board code (405 for boot loaders below 0x0400), or 0 when a request failed.
    int BoardCode();
    bool ReadUniqueId();
    bool ReadInf1Block();
    // Clears SoftInfo, CpuInfo, BoardInfo and Inf1Block (not the unique id).
    void ForgetDeviceData();

    // Logged parameter access: one log line per call.
    bool ReadParameter(std::uint16_t id, std::uint32_t& value);
    // Succeeds when the device answered, whatever value its answer carries
    // (command words).
    bool WriteParameter(std::uint16_t id, std::uint32_t value);
    // A setting: the answer carries the value the device now holds, so
    // another value than the one written is a write the device did not take.
    ParameterWrite StoreParameter(std::uint16_t id, std::uint32_t value);

    const std::optional<SoftInfo>& CachedSoftInfo() const { return softInfo_; }
    const std::optional<CpuInfo>& CachedCpuInfo() const { return cpuInfo_; }
    const std::optional<BoardInfo>& CachedBoardInfo() const { return boardInfo_; }
    const UniqueId& CachedUniqueId() const { return uniqueId_; }
    const std::optional<Inf1Block>& CachedInf1Block() const { return inf1Block_; }

    DeviceLink& Link() { return link_; }

  private:
    // `echo`: the request data bytes the answer repeats (see DeviceLink::Transact).
    bool Exchange(LinkChannel* channel, const std::uint8_t* payload, std::size_t length,
                  const char* failureText, bool messages, std::size_t echo = 0);
    bool ExchangeText(LinkChannel* channel, const std::uint8_t* payload, std::size_t length,
                      const std::string& failureText);
    int BlockRead(LinkChannel* channel, std::uint8_t group, std::uint8_t code,
                  std::uint32_t address, std::uint8_t* destination, int length,
                  const char* failureText, bool messages);
    // Reads on after short answers; three answers without data in a row fail.
    int WholeBlockRead(LinkChannel* channel, std::uint8_t group, std::uint8_t code,
                       std::uint32_t address, std::uint8_t* destination, int length,
                       const char* failureText, bool messages);
    bool BlockWrite(LinkChannel* channel, std::uint8_t group, std::uint8_t code,
                    std::uint32_t address, const std::uint8_t* data, std::size_t length,
                    const char* failureText, bool messages);
    bool AddressCommand(LinkChannel* channel, std::uint8_t group, std::uint8_t code,
                        std::uint32_t address, const char* failureText, bool messages);
    bool EnsureSoftInfo(bool messages);
    bool EnsureCpuInfo(bool messages);
    bool ClockBoard();
    ParameterWrite LoggedWrite(std::uint16_t id, std::uint32_t value, bool mustHold);
    void Log(const std::string& line);
    void LogError(const std::string& line);

    DeviceLink& link_;
    AppLog* log_;
    std::optional<SoftInfo> softInfo_;
    std::optional<CpuInfo> cpuInfo_;
    std::optional<BoardInfo> boardInfo_;
    UniqueId uniqueId_{};
    std::optional<Inf1Block> inf1Block_;
};
