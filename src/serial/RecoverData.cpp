#include "serial/RecoverData.h"

#include "conversion/TextRoutines.h"
#include "platform/RuntimeError.h"
#include "serial/PacketLayer.h"
#include "serial/RecoveryName.h"
#include "settings/TextFileService.h"
#include "settings/mdlLoadSetup.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <limits>

namespace kelvarin::ModTrans {

MessageBoxes* gMessageBoxes = nullptr;

namespace fs = std::filesystem;

namespace {

// I2C.DAT, positions 1-based as the terminal's layout gives them.
constexpr std::size_t kPosCode = 20;
constexpr std::size_t kLenCode = 7;
constexpr std::size_t kPosAmount = 37;
constexpr std::size_t kPosNumber = 49;
constexpr std::size_t kPosRecordCount = 769;
constexpr std::size_t kPosSerialBase = 1021;
constexpr std::size_t kPosRecords = 1025;
constexpr std::size_t kRecordBytes = 32;

// One record's fields, offsets from its first byte.
constexpr std::size_t kRecAmount = 0;
constexpr std::size_t kRecColumn2 = 4;
constexpr std::size_t kLenColumn2 = 17;
constexpr std::size_t kRecColumn1 = 21;
constexpr std::size_t kLenColumn1 = 4;
constexpr std::size_t kRecDay = 25;
constexpr std::size_t kRecMonth = 26;
constexpr std::size_t kRecYear = 27;
constexpr std::size_t kRecHour = 28;
constexpr std::size_t kRecMinute = 29;
constexpr std::size_t kRecSecond = 30;
constexpr std::size_t kRecFlag = 31;
static_assert(kRecFlag + 1 == kRecordBytes);

constexpr const char* kWorkFileName = "RECOVEREDDATA.DAT";
constexpr const char* kInputFileName = "I2C.DAT";

// I2C.DAT in memory. A read past its end gives NUL bytes for what is missing and is noted.
class I2cImage {
public:
    explicit I2cImage(const fs::path& path) {
        errno = 0;
        std::ifstream in(path, std::ios::binary);
        if (!in.is_open())
            throwFileError(path, errno);
        m_bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad())
            throw RuntimeError(kErrPathFileAccess, "Could not read " + path.string());
    }

    std::string read(std::size_t position, std::size_t length) {
        const std::size_t from = position - 1;
        m_lastRead = from + length;
        if (m_lastRead > m_bytes.size())
            m_ranPastEnd = true;
        std::string out(length, '\0');
        for (std::size_t i = 0; i < length && from + i < m_bytes.size(); ++i)
            out[i] = m_bytes[from + i];
        return out;
    }

    std::int32_t readLong(std::size_t position) { return signedLong(read(position, 4), 0); }

    static std::int32_t signedLong(const std::string& b, std::size_t at) {
        std::uint32_t u = 0;
        for (std::size_t i = 0; i < 4; ++i)
            u |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(b.at(at + i))) << (8 * i);
        return static_cast<std::int32_t>(u);
    }

    bool ranPastEnd() const { return m_ranPastEnd; }
    // Whether a byte follows the last one read.
    bool moreAfterLastRead() const { return m_bytes.size() > m_lastRead; }

private:
    std::string m_bytes;
    std::size_t m_lastRead = 0;
    bool m_ranPastEnd = false;
};

// A value fitted to its column: cut to the width, blanks at the ends removed, cut at a NUL.
std::string fit(const std::string& value, std::int16_t width) {
    std::string v = value;
    Fix_Len(v, width, "R");
    return CutAtNul(mdlLoadSetup::TrimBlanks(v));
}

// Hundredths as a decimal with two places, e.g. -525 gives "-5.25".
std::string hundredths(std::int32_t amount) {
    const std::int64_t wide = amount;
    const std::int64_t magnitude = wide < 0 ? -wide : wide;
    const std::int64_t cents = magnitude % 100;
    return std::string(wide < 0 ? "-" : "") + std::to_string(magnitude / 100) + "." +
           (cents < 10 ? "0" : "") + std::to_string(cents);
}

// A one-byte field holds its number as a digit character.
int digitField(char c) {
    if (c < '0' || c > '9')
        throw RuntimeError(kErrTypeMismatch, "Type mismatch");
    return c - '0';
}

std::string twoDigits(int v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

// The header line; `code` receives its first value, which names the result file whole, commas
// included.
std::string headerLine(I2cImage& image, std::string& code) {
    const std::string codeBytes = image.read(kPosCode, kLenCode);
    const std::string codeText =
        BytesToString({reinterpret_cast<const std::uint8_t*>(codeBytes.data()), codeBytes.size()},
                      static_cast<int>(kLenCode));
    const std::int32_t number = CommBytesToLong(image.read(kPosNumber, 2));
    const std::int32_t amount = CommBytesToLong(image.read(kPosAmount, 4));
    code = fit(codeText, 7);
    return code + "," + fit(std::to_string(number), 10) + "," +
           fit(amount == 0 ? "0" : hundredths(amount), 10);
}

std::string recordLine(const std::string& r, std::int64_t serial) {
    if (serial > std::numeric_limits<std::int32_t>::max())
        throw RuntimeError(kErrOverflow);
    const std::string date = twoDigits(digitField(r[kRecDay])) + "/" +
                             twoDigits(digitField(r[kRecMonth])) + "/20" +
                             twoDigits(digitField(r[kRecYear]));
    const std::string time = twoDigits(digitField(r[kRecHour])) + ":" +
                             twoDigits(digitField(r[kRecMinute])) + ":" +
                             twoDigits(digitField(r[kRecSecond]));
    const std::string flag = digitField(r[kRecFlag]) == 0 ? "Y" : "C";
    return fit(r.substr(kRecColumn1, kLenColumn1), 4) + "," +
           fit(r.substr(kRecColumn2, kLenColumn2), 10) + "," +
           fit(hundredths(I2cImage::signedLong(r, kRecAmount)), 10) + "," + fit("0", 10) + "," +
           fit(date, 10) + "," + fit(time, 8) + "," + fit(std::to_string(serial), 6) + "," +
           fit(flag, 1);
}

// Returns the result file's name (the header's first value and ".txt").
std::string convert(const fs::path& dataFolder) {
    FileSystemObject fso;
    const fs::path work = dataFolder / kWorkFileName;
    if (fso.FileExists(work))
        fso.DeleteFile(work);

    I2cImage image(dataFolder / kInputFileName);
    std::string code;
    const std::string header = headerLine(image, code);
    auto out = fso.OpenTextFile(work, IoMode::ForWriting, true);
    out->WriteLine(header);

    const std::int32_t serialBase = image.readLong(kPosSerialBase);
    const std::int32_t recordCount = image.readLong(kPosRecordCount);
    for (std::int64_t i = 0; i < recordCount; ++i) {
        if (image.ranPastEnd() || !image.moreAfterLastRead())
            break;
        const std::string record =
            image.read(kPosRecords + kRecordBytes * static_cast<std::size_t>(i), kRecordBytes);
        out->WriteLine(recordLine(record, serialBase + i));
    }
    out->Close();
    return code + ".txt";
}

} // namespace

bool RecoverData() {
    const fs::path dataFolder = mdlLoadSetup::GetDataPath();
    try {
        const std::string resultName = convert(dataFolder);
        FileSystemObject fso;
        fso.CopyFile(dataFolder / kWorkFileName, RecoveryTarget(dataFolder, resultName), true);
        fso.DeleteFile(dataFolder / kWorkFileName);
        return true;
    } catch (const RuntimeError& e) {
        if (gMessageBoxes != nullptr)
            gMessageBoxes->show(std::to_string(e.number()) + " , " + e.description(), MsgIcon::None,
                                MsgButtons::Ok, "");
    } catch (const std::exception& e) {
        if (gMessageBoxes != nullptr)
            gMessageBoxes->show(std::to_string(kErrPathFileAccess) + " , " + e.what(),
                                MsgIcon::None, MsgButtons::Ok, "");
    }
    return false;
}

} // namespace kelvarin::ModTrans
