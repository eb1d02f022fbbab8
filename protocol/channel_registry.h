#pragma once

#include <cstdint>
#include <list>
#include <mutex>

#include "protocol/link_channel.h"

// The channels of one link, searched by address. Its lock guards every
// channel's queue front: the dispatcher holds it from lookup to the end of an
// append, the waiting caller for each look at or removal of a front packet.
class ChannelRegistry {
  public:
    // A new channel with `address` when it lies in 1-31 and no other channel
    // holds it, otherwise with LinkChannel::kNoAddress (it never receives).
    LinkChannel& Create(int address);

    // Appends `packet` to the channel whose address is byte 1 AND 0x1F. False when
    // it is shorter than 6 bytes, no channel holds the address or the queue refuses it.
    bool Dispatch(const std::uint8_t* packet, std::size_t length);

    LinkChannel* Find(int address);

    std::mutex& Lock() { return lock_; }

  private:
    LinkChannel* FindLocked(int address);

    std::mutex lock_;
    std::list<LinkChannel> channels_;  // a list: channels never move
};
