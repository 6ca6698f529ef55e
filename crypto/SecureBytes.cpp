#include "crypto/SecureBytes.h"

#include <sodium.h>

SecureBytes::SecureBytes(std::size_t size)
    // sodium_malloc needs libsodium started (sodium_init may be called any
    // number of times, from any thread); a zero size still gets a buffer of its own.
    : m_data(sodium_init() >= 0 ? static_cast<unsigned char*>(sodium_malloc(size == 0 ? 1 : size)) : nullptr),
      m_capacity(m_data ? size : 0) {}

SecureBytes::~SecureBytes() {
    // sodium_free wipes the bytes before it gives the pages back.
    if (m_data)
        sodium_free(m_data);
}
