#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

// Byte-level helpers for the terminal's packed record files: little-endian numbers and
// fixed-width single-byte texts, each written at its own offset in a record buffer.
namespace kelvarin {

// A record's bytes as they stand in its file.
template <std::size_t N>
using RecordBytes = std::array<std::uint8_t, N>;

// A fixed-width text member. Value-initialised it is all NUL bytes, which is what a member
// that the PC never sets holds.
template <std::size_t N>
using FixedText = std::array<char, N>;

// One member's place in a record.
struct FieldSpan {
    std::size_t offset;
    std::size_t width;
    bool operator==(const FieldSpan&) const = default;
};

// True when the members follow one another without gaps from offset 0 and end exactly at
// `size`: used in static_asserts next to each record's write and read code.
template <std::size_t K>
constexpr bool isPackedLayout(const std::array<FieldSpan, K>& layout, std::size_t size) {
    std::size_t next = 0;
    for (const FieldSpan& f : layout) {
        if (f.offset != next || f.width == 0)
            return false;
        next += f.width;
    }
    return next == size;
}

inline void putU8(std::span<std::uint8_t> rec, std::size_t offset, std::uint8_t value) {
    rec[offset] = value;
}

inline void putI16(std::span<std::uint8_t> rec, std::size_t offset, std::int16_t value) {
    const auto u = static_cast<std::uint16_t>(value);
    rec[offset] = static_cast<std::uint8_t>(u & 0xFFu);
    rec[offset + 1] = static_cast<std::uint8_t>(u >> 8);
}

inline void putI32(std::span<std::uint8_t> rec, std::size_t offset, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i)
        rec[offset + i] = static_cast<std::uint8_t>((u >> (8 * i)) & 0xFFu);
}

inline void putF32(std::span<std::uint8_t> rec, std::size_t offset, float value) {
    putI32(rec, offset, std::bit_cast<std::int32_t>(value));
}

template <std::size_t N>
void putBytes(std::span<std::uint8_t> rec, std::size_t offset, const std::array<char, N>& src) {
    for (std::size_t i = 0; i < N; ++i)
        rec[offset + i] = static_cast<std::uint8_t>(src[i]);
}

template <std::size_t N>
void putBytes(std::span<std::uint8_t> rec, std::size_t offset,
              const std::array<std::uint8_t, N>& src) {
    for (std::size_t i = 0; i < N; ++i)
        rec[offset + i] = src[i];
}

inline std::uint8_t getU8(std::span<const std::uint8_t> rec, std::size_t offset) {
    return rec[offset];
}

inline std::int16_t getI16(std::span<const std::uint8_t> rec, std::size_t offset) {
    return static_cast<std::int16_t>(
        static_cast<std::uint16_t>(rec[offset] | (static_cast<unsigned>(rec[offset + 1]) << 8)));
}

inline std::int32_t getI32(std::span<const std::uint8_t> rec, std::size_t offset) {
    std::uint32_t u = 0;
    for (std::size_t i = 0; i < 4; ++i)
        u |= static_cast<std::uint32_t>(rec[offset + i]) << (8 * i);
    return static_cast<std::int32_t>(u);
}

inline float getF32(std::span<const std::uint8_t> rec, std::size_t offset) {
    return std::bit_cast<float>(getI32(rec, offset));
}

// One copy of the member's bytes: every record read goes through here, member by member.
template <class Byte, std::size_t N>
void getBytes(std::span<const std::uint8_t> rec, std::size_t offset, std::array<Byte, N>& dst) {
    static_assert(sizeof(Byte) == 1);
    std::memcpy(dst.data(), rec.subspan(offset, N).data(), N);
}

// Puts `text` left-aligned into the member: cut at the member's width, the rest spaces.
template <std::size_t N>
void lsetText(FixedText<N>& member, std::string_view text) {
    member.fill(' ');
    for (std::size_t i = 0; i < N && i < text.size(); ++i)
        member[i] = text[i];
}

// How the PC stores a value in a text member: the value, one NUL, then spaces; a value of N
// characters or more is cut to N characters and has no NUL.
template <std::size_t N>
void storeText(FixedText<N>& member, std::string_view value) {
    lsetText(member, value);
    if (value.size() < N)
        member[value.size()] = '\0';
}

// The member's text before its first NUL, or all N characters when it holds none; a view into
// the member, no copy.
template <std::size_t N>
std::string_view cutText(const FixedText<N>& member) {
    const std::string_view all(member.data(), N);
    return all.substr(0, all.find('\0'));
}

// The text member at `field` of a record's bytes, cut at its first NUL as cutText cuts it; a
// view into the bytes, for reading one member without decoding the record.
inline std::string_view cutTextAt(std::span<const std::uint8_t> rec, FieldSpan field) {
    const auto member = rec.subspan(field.offset, field.width);
    const std::string_view all(reinterpret_cast<const char*>(member.data()), member.size());
    return all.substr(0, all.find('\0'));
}

// The member's N characters as a text, NULs included.
template <std::size_t N>
std::string textOf(const FixedText<N>& member) {
    return std::string(member.data(), N);
}

} // namespace kelvarin
