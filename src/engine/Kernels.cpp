#include "Kernels.h"

#include <cstring>
#include <new>

namespace vexo::kernels {

namespace {
char16_t* allocateChars(std::size_t n) {
    return static_cast<char16_t*>(::operator new(n * sizeof(char16_t)));
}
} // namespace

void BlockString::append(char16_t c) {
    char16_t* grown = allocateChars(m_size + 1);
    if (m_size != 0)
        std::memcpy(grown, m_data, m_size * sizeof(char16_t));
    grown[m_size] = c;
    const std::size_t size = m_size + 1;
    release();
    m_data = grown;
    m_size = size;
}

void BlockString::assignCopy(const BlockString& other) {
    if (other.m_size == 0) {
        release();
        return;
    }
    char16_t* copy = allocateChars(other.m_size);
    std::memcpy(copy, other.m_data, other.m_size * sizeof(char16_t));
    // The copy escapes here, so neither the allocation nor the copy can be proved redundant.
    keepAlive(copy);
    release();
    m_data = copy;
    m_size = other.m_size;
}

void BlockString::release() {
    ::operator delete(m_data);
    m_data = nullptr;
    m_size = 0;
}

} // namespace vexo::kernels
