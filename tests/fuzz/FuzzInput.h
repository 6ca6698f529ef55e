#pragma once
// What every fuzz target shares: a property check that libFuzzer keeps as a
// crash, and a reader that turns the fuzzer's bytes into numbers and texts.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A property of the code under test that does not hold. The abort makes
// libFuzzer keep the input, as it does for a sanitizer report.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "property violated: %s (%s:%d)\n", #condition, __FILE__, __LINE__);         \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace fuzz {

// The strong stored form's shape, written out the obvious way: "737~" and
// base64url characters enough for 68 bytes, in a length base64 can have.
inline bool looksStrong(const QString& text) {
    if (!text.startsWith(QLatin1String("737~")))
        return false;
    for (qsizetype k = 4; k < text.size(); ++k) {
        const char16_t c = text[k].unicode();
        if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' ||
              c == u'_'))
            return false;
    }
    const qsizetype body = text.size() - 4;
    return body * 6 / 8 >= 68 && body % 4 != 1;
}

// The fuzzer's bytes, read front to back; reading past the end gives zeros.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::size_t remaining() const { return m_size - m_pos; }
    const std::uint8_t* rest() const { return m_data + m_pos; }

    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::uint32_t u32() {
        std::uint32_t value = 0;
        for (int k = 0; k < 4; ++k)
            value |= std::uint32_t{byte()} << (8 * k);
        return value;
    }

    // The rest as text: UTF-8 (readable seeds, invalid sequences included), or
    // little-endian UTF-16 units, which reach every unit, lone surrogates too.
    QString text(bool utf16) {
        QString result;
        if (utf16) {
            result.resize(static_cast<qsizetype>(remaining() / 2));
            for (qsizetype k = 0; k < result.size(); ++k)
                result[k] =
                    QChar(static_cast<char16_t>(m_data[m_pos + 2 * k] | (m_data[m_pos + 2 * k + 1] << 8)));
        } else {
            result =
                QString::fromUtf8(reinterpret_cast<const char*>(rest()), static_cast<qsizetype>(remaining()));
        }
        m_pos = m_size;
        return result;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

} // namespace fuzz
