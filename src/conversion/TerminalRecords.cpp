#include "conversion/TerminalRecords.h"

namespace kelvarin {

namespace {

// Each record's members in file order, {offset, width}. The static_asserts prove that the
// offsets used below leave no gap and end at the record's size.
constexpr std::array<FieldSpan, 3> kDateLayout{{{0, 1}, {1, 1}, {2, 2}}};
static_assert(isPackedLayout(kDateLayout, DateRecord::kSize));

constexpr std::array<FieldSpan, 4> kTimeLayout{{{0, 1}, {1, 1}, {2, 1}, {3, 1}}};
static_assert(isPackedLayout(kTimeLayout, TimeRecord::kSize));

constexpr std::array<FieldSpan, 6> kAgentLayout{
    {{0, 26}, {26, 16}, {42, 9}, {51, 4}, {55, 4}, {59, 5}}};
static_assert(isPackedLayout(kAgentLayout, AgentRecord::kSize));

constexpr std::array<FieldSpan, 20> kMasterLayout{
    {{0, 20},  {20, 32}, {52, 16}, {68, 32}, {100, 1}, {101, 4}, {105, 1},
     {106, 2}, {108, 1}, {109, 1}, {110, 2}, {112, 1}, {113, 1}, {114, 2},
     {116, 1}, {117, 1}, {118, 2}, {120, 1}, {121, 1}, {122, 6}}};
static_assert(isPackedLayout(kMasterLayout, MasterRecord::kSize));
static_assert(kMasterLayout[0] == MasterRecord::kAccountKeyField &&
              kMasterLayout[2] == MasterRecord::kAccTypeCodeField &&
              kMasterLayout[3] == MasterRecord::kField2TextField);

constexpr std::array<FieldSpan, 3> kAccTypeLayout{{{0, 16}, {16, 1}, {17, 15}}};
static_assert(isPackedLayout(kAccTypeLayout, AccTypeRecord::kSize));

constexpr std::array<FieldSpan, 9> kAccDetailLayout{
    {{0, 20}, {20, 2}, {22, 20}, {42, 50}, {92, 10}, {102, 20}, {122, 4}, {126, 1}, {127, 1}}};
static_assert(isPackedLayout(kAccDetailLayout, AccDetailRecord::kSize));

constexpr std::array<FieldSpan, 22> kBankColLayout{
    {{0, 2},  {2, 4},   {6, 4},   {10, 4},  {14, 4},  {18, 4},  {22, 4}, {26, 1},
     {27, 4}, {31, 20}, {51, 10}, {61, 10}, {71, 10}, {81, 10}, {91, 1}, {92, 4},
     {96, 4}, {100, 4}, {104, 4}, {108, 4}, {112, 4}, {116, 12}}};
static_assert(isPackedLayout(kBankColLayout, BankColRecord::kSize));

constexpr std::array<FieldSpan, 19> kTransactionLayout{{{0, 4},
                                                        {4, 4},
                                                        {8, 20},
                                                        {28, 16},
                                                        {44, 4},
                                                        {48, 1},
                                                        {49, 4},
                                                        {53, 4},
                                                        {57, 4},
                                                        {61, 1},
                                                        {62, 4},
                                                        {66, 15},
                                                        {81, 11},
                                                        {92, 1},
                                                        {93, 1},
                                                        {94, 25},
                                                        {119, 1},
                                                        {120, 4},
                                                        {124, 4}}};
static_assert(isPackedLayout(kTransactionLayout, TransactionRecord::kSize));

} // namespace

void DateRecord::writeTo(std::span<std::uint8_t> out) const {
    putU8(out, 0, Day);
    putU8(out, 1, Month);
    putI16(out, 2, Year);
}

DateRecord DateRecord::readFrom(std::span<const std::uint8_t> in) {
    DateRecord r;
    r.Day = getU8(in, 0);
    r.Month = getU8(in, 1);
    r.Year = getI16(in, 2);
    return r;
}

void TimeRecord::writeTo(std::span<std::uint8_t> out) const {
    putU8(out, 0, Hour);
    putU8(out, 1, Minute);
    putU8(out, 2, Second);
    putU8(out, 3, TimeByte4);
}

TimeRecord TimeRecord::readFrom(std::span<const std::uint8_t> in) {
    TimeRecord r;
    r.Hour = getU8(in, 0);
    r.Minute = getU8(in, 1);
    r.Second = getU8(in, 2);
    r.TimeByte4 = getU8(in, 3);
    return r;
}

void AgentRecord::writeTo(std::span<std::uint8_t> out) const {
    putBytes(out, 0, HeaderText1);
    putBytes(out, 26, AgentCode);
    putBytes(out, 42, HeaderText2);
    putI32(out, 51, Long51);
    putBytes(out, 55, Text55);
    putBytes(out, 59, Text59);
}

AgentRecord AgentRecord::readFrom(std::span<const std::uint8_t> in) {
    AgentRecord r;
    getBytes(in, 0, r.HeaderText1);
    getBytes(in, 26, r.AgentCode);
    getBytes(in, 42, r.HeaderText2);
    r.Long51 = getI32(in, 51);
    getBytes(in, 55, r.Text55);
    getBytes(in, 59, r.Text59);
    return r;
}

void MasterRecord::writeTo(std::span<std::uint8_t> out) const {
    putBytes(out, 0, AccountKey);
    putBytes(out, 20, SortText);
    putBytes(out, 52, AccTypeCode);
    putBytes(out, 68, Field2Text);
    putU8(out, 100, Byte100);
    putBytes(out, 101, Text101);
    putU8(out, 105, Byte105);
    putI16(out, 106, RecordNo);
    putU8(out, 108, Byte108);
    putU8(out, 109, Byte109);
    putI16(out, 110, Integer110);
    putU8(out, 112, Byte112);
    putU8(out, 113, Byte113);
    putI16(out, 114, Integer114);
    putU8(out, 116, Byte116);
    putU8(out, 117, Byte117);
    putI16(out, 118, Integer118);
    putU8(out, 120, Byte120);
    putU8(out, 121, TypeNo);
    putBytes(out, 122, Text122);
}

MasterRecord MasterRecord::readFrom(std::span<const std::uint8_t> in) {
    MasterRecord r;
    getBytes(in, 0, r.AccountKey);
    getBytes(in, 20, r.SortText);
    getBytes(in, 52, r.AccTypeCode);
    getBytes(in, 68, r.Field2Text);
    r.Byte100 = getU8(in, 100);
    getBytes(in, 101, r.Text101);
    r.Byte105 = getU8(in, 105);
    r.RecordNo = getI16(in, 106);
    r.Byte108 = getU8(in, 108);
    r.Byte109 = getU8(in, 109);
    r.Integer110 = getI16(in, 110);
    r.Byte112 = getU8(in, 112);
    r.Byte113 = getU8(in, 113);
    r.Integer114 = getI16(in, 114);
    r.Byte116 = getU8(in, 116);
    r.Byte117 = getU8(in, 117);
    r.Integer118 = getI16(in, 118);
    r.Byte120 = getU8(in, 120);
    r.TypeNo = getU8(in, 121);
    getBytes(in, 122, r.Text122);
    return r;
}

void AccTypeRecord::writeTo(std::span<std::uint8_t> out) const {
    putBytes(out, 0, AccTypeCode);
    putU8(out, 16, TypeNo);
    putBytes(out, 17, Text17);
}

AccTypeRecord AccTypeRecord::readFrom(std::span<const std::uint8_t> in) {
    AccTypeRecord r;
    getBytes(in, 0, r.AccTypeCode);
    r.TypeNo = getU8(in, 16);
    getBytes(in, 17, r.Text17);
    return r;
}

void AccDetailRecord::writeTo(std::span<std::uint8_t> out) const {
    putBytes(out, 0, AccountKey);
    putI16(out, 20, Integer20);
    putBytes(out, 22, Text22);
    putBytes(out, 42, Field11Text);
    putBytes(out, 92, Text92);
    putBytes(out, 102, AccTypeCode);
    putI32(out, 122, Long122);
    putU8(out, 126, TypeNo);
    putBytes(out, 127, Text127);
}

AccDetailRecord AccDetailRecord::readFrom(std::span<const std::uint8_t> in) {
    AccDetailRecord r;
    getBytes(in, 0, r.AccountKey);
    r.Integer20 = getI16(in, 20);
    getBytes(in, 22, r.Text22);
    getBytes(in, 42, r.Field11Text);
    getBytes(in, 92, r.Text92);
    getBytes(in, 102, r.AccTypeCode);
    r.Long122 = getI32(in, 122);
    r.TypeNo = getU8(in, 126);
    getBytes(in, 127, r.Text127);
    return r;
}

void BankColRecord::writeTo(std::span<std::uint8_t> out) const {
    putBytes(out, 0, Bytes0);
    Field5Date.writeTo(out.subspan(2, DateRecord::kSize));
    putBytes(out, 6, Number6);
    putF32(out, 10, Field7Number);
    putBytes(out, 14, Number14);
    putBytes(out, 18, Nested18);
    putBytes(out, 22, Nested22);
    putU8(out, 26, TypeNo);
    putF32(out, 27, Field6Number);
    putBytes(out, 31, Bytes31);
    putBytes(out, 51, Text51);
    putBytes(out, 61, Text61);
    putBytes(out, 71, Text71);
    putBytes(out, 81, Text81);
    putU8(out, 91, Byte91);
    putF32(out, 92, Field9Number);
    putF32(out, 96, Field8Number);
    putBytes(out, 100, Nested100);
    putBytes(out, 104, Nested104);
    putBytes(out, 108, Number108);
    putBytes(out, 112, Number112);
    putBytes(out, 116, Text116);
}

BankColRecord BankColRecord::readFrom(std::span<const std::uint8_t> in) {
    BankColRecord r;
    getBytes(in, 0, r.Bytes0);
    r.Field5Date = DateRecord::readFrom(in.subspan(2, DateRecord::kSize));
    getBytes(in, 6, r.Number6);
    r.Field7Number = getF32(in, 10);
    getBytes(in, 14, r.Number14);
    getBytes(in, 18, r.Nested18);
    getBytes(in, 22, r.Nested22);
    r.TypeNo = getU8(in, 26);
    r.Field6Number = getF32(in, 27);
    getBytes(in, 31, r.Bytes31);
    getBytes(in, 51, r.Text51);
    getBytes(in, 61, r.Text61);
    getBytes(in, 71, r.Text71);
    getBytes(in, 81, r.Text81);
    r.Byte91 = getU8(in, 91);
    r.Field9Number = getF32(in, 92);
    r.Field8Number = getF32(in, 96);
    getBytes(in, 100, r.Nested100);
    getBytes(in, 104, r.Nested104);
    getBytes(in, 108, r.Number108);
    getBytes(in, 112, r.Number112);
    getBytes(in, 116, r.Text116);
    return r;
}

void TransactionRecord::writeTo(std::span<std::uint8_t> out) const {
    putI32(out, 0, Long0);
    putF32(out, 4, Amount);
    putBytes(out, 8, AccountKey);
    putBytes(out, 28, AccTypeCode);
    putBytes(out, 44, Text44);
    putU8(out, 48, MarkFlag);
    putBytes(out, 49, Number49);
    TransDate.writeTo(out.subspan(53, DateRecord::kSize));
    TransTime.writeTo(out.subspan(57, TimeRecord::kSize));
    putU8(out, 61, Byte61);
    putBytes(out, 62, Nested62);
    putBytes(out, 66, Text66);
    putBytes(out, 81, Text81);
    putU8(out, 92, Byte92);
    putU8(out, 93, Byte93);
    putBytes(out, 94, Text94);
    putU8(out, 119, Byte119);
    putF32(out, 120, Single120);
    putBytes(out, 124, Text124);
}

TransactionRecord TransactionRecord::readFrom(std::span<const std::uint8_t> in) {
    TransactionRecord r;
    r.Long0 = getI32(in, 0);
    r.Amount = getF32(in, 4);
    getBytes(in, 8, r.AccountKey);
    getBytes(in, 28, r.AccTypeCode);
    getBytes(in, 44, r.Text44);
    r.MarkFlag = getU8(in, 48);
    getBytes(in, 49, r.Number49);
    r.TransDate = DateRecord::readFrom(in.subspan(53, DateRecord::kSize));
    r.TransTime = TimeRecord::readFrom(in.subspan(57, TimeRecord::kSize));
    r.Byte61 = getU8(in, 61);
    getBytes(in, 62, r.Nested62);
    getBytes(in, 66, r.Text66);
    getBytes(in, 81, r.Text81);
    r.Byte92 = getU8(in, 92);
    r.Byte93 = getU8(in, 93);
    getBytes(in, 94, r.Text94);
    r.Byte119 = getU8(in, 119);
    r.Single120 = getF32(in, 120);
    getBytes(in, 124, r.Text124);
    return r;
}

} // namespace kelvarin
