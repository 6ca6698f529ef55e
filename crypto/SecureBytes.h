#pragma once
#include <cstddef>

// Bytes that must not outlive their use: keys, derived keys and plain text on
// their way through the strong form. They live in libsodium's guarded pages,
// kept out of swap where the system allows, and are wiped when freed.
class SecureBytes {
public:
    // Room for `size` bytes; valid() is false when the memory could not be had.
    explicit SecureBytes(std::size_t size);
    ~SecureBytes();
    SecureBytes(const SecureBytes&) = delete;
    SecureBytes& operator=(const SecureBytes&) = delete;

    bool valid() const { return m_data != nullptr; }
    unsigned char* data() { return m_data; }
    const unsigned char* data() const { return m_data; }
    std::size_t capacity() const { return m_capacity; }
    // How many of the bytes are in use (set by whoever fills them).
    std::size_t size() const { return m_size; }
    void setSize(std::size_t size) { m_size = size <= m_capacity ? size : m_capacity; }

private:
    unsigned char* m_data;
    std::size_t m_capacity;
    std::size_t m_size = 0;
};
