#include "Kernels.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace vexo::kernels {

void BlockString::append(char16_t c) {
    // The build is not timed, so its blocks lie where the allocator puts them.
    auto* grown = static_cast<char16_t*>(::operator new((m_size + 1) * sizeof(char16_t)));
    if (m_size != 0)
        std::memcpy(grown, m_data, m_size * sizeof(char16_t));
    grown[m_size] = c;
    const std::size_t size = m_size + 1;
    release();
    m_storage = grown;
    m_data = grown;
    m_size = size;
}

void BlockString::assignCopy(const BlockString& other) {
    if (other.m_size == 0) {
        release();
        return;
    }
    const std::size_t bytes = other.m_size * sizeof(char16_t);
    void* storage = ::operator new(bytes + kCopySlackBytes);
    // Start the new block half a page past its source, modulo a page (see kCopyDistance). Both
    // addresses are aligned alike by the allocator, so the offset keeps that alignment.
    const auto source = reinterpret_cast<std::uintptr_t>(other.m_data);
    const auto start = reinterpret_cast<std::uintptr_t>(storage);
    const std::size_t offset = (source + kCopyDistance - start) % kCopyPageBytes;
    auto* copy = reinterpret_cast<char16_t*>(static_cast<char*>(storage) + offset);
    std::memcpy(copy, other.m_data, bytes);
    // The copy escapes here, so neither the allocation nor the copy can be proved redundant.
    keepAlive(copy);
    release();
    m_storage = storage;
    m_data = copy;
    m_size = other.m_size;
}

void BlockString::release() {
    ::operator delete(m_storage);
    m_storage = nullptr;
    m_data = nullptr;
    m_size = 0;
}

} // namespace vexo::kernels
