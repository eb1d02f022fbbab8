#include "history/history_store.h"

#include <cstring>

HistoryStore::HistoryStore() : bytes_(new std::uint8_t[kBytes]) {
    Erase();
}

void HistoryStore::Erase() {
    std::memset(bytes_.get(), 0xFF, kBytes);
}

void HistoryStore::Put(std::uint32_t index, const std::uint8_t* bytes) {
    std::memcpy(bytes_.get() + static_cast<std::size_t>(index % kSlots) * HistoryRecord::kSize,
                bytes, HistoryRecord::kSize);
}

const std::uint8_t* HistoryStore::Bytes(std::uint32_t index) const {
    return bytes_.get() + static_cast<std::size_t>(index % kSlots) * HistoryRecord::kSize;
}

HistoryRecord HistoryStore::Record(std::uint32_t index) const {
    return HistoryRecord::FromBytes(Bytes(index));
}
