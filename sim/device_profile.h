#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The choices a real dosimeter may make wherever the protocol leaves them
// open. The program must work with every one of them, so the simulated device
// offers each as a named profile that a test or `dravo-sim --profile` picks.

// Where the boot loader's records (SoftInfo's CpuInfo block and the Inf1Block)
// lie: in the boot loader's pages below the main program, in the last pages of
// the CPU flash above it, or in a memory area of their own outside the flash
// the main program fills.
enum class RecordPlacement { BelowProgram, AboveProgram, OtherArea };

// What slot 0 of a history page holds: a page marker that is never a usable
// measurement, or a measurement like any other slot.
enum class SlotZero { PageMarker, Measurement };

// How a restart looks from the PC: the port goes and comes back (USB
// re-enumeration), or it stays and the device is silent while it restarts.
enum class RestartLook { Replug, SilentOnSamePort };

struct DeviceProfile {
    std::string name;
    std::string summary;
    RecordPlacement records = RecordPlacement::BelowProgram;
    SlotZero slotZero = SlotZero::PageMarker;
    std::uint8_t parameterAnswerBytes = 6;  // PAR_READ: 6, or 22 with 16 further bytes
    std::uint8_t timeAnswerBytes = 7;       // TIME_READ: the time record, or it and one byte more
    bool echoWithExtraByte = false;         // TEST: the echo, or the echo and one byte more
    RestartLook restart = RestartLook::Replug;
    // Data bytes one memory or flash read answer carries at most; a longer
    // request is answered with that many, and the reader asks for the rest.
    std::uint32_t largestBlock = 128;
};

// Every profile; the first is the default.
const std::vector<DeviceProfile>& DeviceProfiles();

// The profile of that name, or none.
const DeviceProfile* FindDeviceProfile(const std::string& name);
