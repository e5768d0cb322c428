#pragma once

#include "conversion/RecordBytes.h"

#include <cstddef>
#include <cstdint>

// The terminal's packed record types. Each has its size in the file (kSize), writes itself
// member by member into a byte buffer (writeTo) and reads itself back (readFrom). Numbers are
// little-endian; texts are fixed-width single bytes. A member left at its default is zero bytes.
namespace kelvarin {

struct DateRecord {
    static constexpr std::size_t kSize = 4;
    std::uint8_t Day = 0;
    std::uint8_t Month = 0;
    std::int16_t Year = 0;

    void writeTo(std::span<std::uint8_t> out) const;
    static DateRecord readFrom(std::span<const std::uint8_t> in);
};

struct TimeRecord {
    static constexpr std::size_t kSize = 4;
    std::uint8_t Hour = 0;
    std::uint8_t Minute = 0;
    std::uint8_t Second = 0;
    std::uint8_t TimeByte4 = 0;

    void writeTo(std::span<std::uint8_t> out) const;
    static TimeRecord readFrom(std::span<const std::uint8_t> in);
};

// A nested 4-byte record whose members the PC never needs.
using Opaque4 = std::array<std::uint8_t, 4>;

// AGENT.DAT: one record per file.
struct AgentRecord {
    static constexpr std::size_t kSize = 64;
    FixedText<26> HeaderText1{};
    FixedText<16> AgentCode{};
    FixedText<9> HeaderText2{};
    std::int32_t Long51 = 0;
    FixedText<4> Text55{};
    FixedText<5> Text59{};

    void writeTo(std::span<std::uint8_t> out) const;
    static AgentRecord readFrom(std::span<const std::uint8_t> in);
};

// MASTER.DAT: one record per account line.
struct MasterRecord {
    static constexpr std::size_t kSize = 128;
    FixedText<20> AccountKey{};
    FixedText<32> SortText{};
    FixedText<16> AccTypeCode{};
    FixedText<32> Field2Text{};
    std::uint8_t Byte100 = 0;
    FixedText<4> Text101{};
    std::uint8_t Byte105 = 0;
    std::int16_t RecordNo = 0;
    std::uint8_t Byte108 = 0;
    std::uint8_t Byte109 = 0;
    std::int16_t Integer110 = 0;
    std::uint8_t Byte112 = 0;
    std::uint8_t Byte113 = 0;
    std::int16_t Integer114 = 0;
    std::uint8_t Byte116 = 0;
    std::uint8_t Byte117 = 0;
    std::int16_t Integer118 = 0;
    std::uint8_t Byte120 = 0;
    std::uint8_t TypeNo = 0;
    FixedText<6> Text122{};

    // Where the members that the upload's search reads straight from the file's bytes stand.
    static constexpr FieldSpan kAccountKeyField{0, 20};
    static constexpr FieldSpan kAccTypeCodeField{52, 16};
    static constexpr FieldSpan kField2TextField{68, 32};

    void writeTo(std::span<std::uint8_t> out) const;
    static MasterRecord readFrom(std::span<const std::uint8_t> in);
};

// ACCTYPE.DAT: one record per distinct account type.
struct AccTypeRecord {
    static constexpr std::size_t kSize = 32;
    FixedText<16> AccTypeCode{};
    std::uint8_t TypeNo = 0;
    FixedText<15> Text17{};

    void writeTo(std::span<std::uint8_t> out) const;
    static AccTypeRecord readFrom(std::span<const std::uint8_t> in);
};

// ACC_DETA.DAT: one record per account line.
struct AccDetailRecord {
    static constexpr std::size_t kSize = 128;
    FixedText<20> AccountKey{};
    std::int16_t Integer20 = 0;
    FixedText<20> Text22{};
    FixedText<50> Field11Text{};
    FixedText<10> Text92{};
    FixedText<20> AccTypeCode{};
    std::int32_t Long122 = 0;
    std::uint8_t TypeNo = 0;
    FixedText<1> Text127{};

    void writeTo(std::span<std::uint8_t> out) const;
    static AccDetailRecord readFrom(std::span<const std::uint8_t> in);
};

// BANK.COL: one record per account line.
struct BankColRecord {
    static constexpr std::size_t kSize = 128;
    std::array<std::uint8_t, 2> Bytes0{};
    DateRecord Field5Date;
    std::array<std::uint8_t, 4> Number6{};
    float Field7Number = 0;
    std::array<std::uint8_t, 4> Number14{};
    Opaque4 Nested18{};
    Opaque4 Nested22{};
    std::uint8_t TypeNo = 0;
    float Field6Number = 0;
    std::array<std::uint8_t, 20> Bytes31{};
    FixedText<10> Text51{};
    FixedText<10> Text61{};
    FixedText<10> Text71{};
    FixedText<10> Text81{};
    std::uint8_t Byte91 = 0;
    float Field9Number = 0;
    float Field8Number = 0;
    Opaque4 Nested100{};
    Opaque4 Nested104{};
    std::array<std::uint8_t, 4> Number108{};
    std::array<std::uint8_t, 4> Number112{};
    FixedText<12> Text116{};

    void writeTo(std::span<std::uint8_t> out) const;
    static BankColRecord readFrom(std::span<const std::uint8_t> in);
};

// MASTER.TRN: one record per transaction collected on the terminal; the terminal writes it.
struct TransactionRecord {
    static constexpr std::size_t kSize = 128;
    std::int32_t Long0 = 0;
    float Amount = 0;
    FixedText<20> AccountKey{};
    FixedText<16> AccTypeCode{};
    FixedText<4> Text44{};
    std::uint8_t MarkFlag = 0;
    std::array<std::uint8_t, 4> Number49{};
    DateRecord TransDate;
    TimeRecord TransTime;
    std::uint8_t Byte61 = 0;
    Opaque4 Nested62{};
    FixedText<15> Text66{};
    FixedText<11> Text81{};
    std::uint8_t Byte92 = 0;
    std::uint8_t Byte93 = 0;
    FixedText<25> Text94{};
    std::uint8_t Byte119 = 0;
    float Single120 = 0;
    FixedText<4> Text124{};

    void writeTo(std::span<std::uint8_t> out) const;
    static TransactionRecord readFrom(std::span<const std::uint8_t> in);
};

} // namespace kelvarin
