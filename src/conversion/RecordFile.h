#pragma once

#include "conversion/RecordBytes.h"

#include <filesystem>
#include <fstream>
#include <vector>

// Binary record files: records of one type back to back, no header. Failures throw
// RuntimeError with the file error numbers of the text file service (53, 70, 75, 76).
namespace kelvarin {

// A record file opened for writing without truncation: the file is created when missing,
// and each record goes to the current position, which then moves on by the record's size.
class RecordFileWriter {
public:
    explicit RecordFileWriter(const std::filesystem::path& path);

    template <class Record>
    void put(const Record& record) {
        RecordBytes<Record::kSize> bytes{};
        record.writeTo(bytes);
        writeBytes(bytes.data(), bytes.size());
    }

    void writeBytes(const std::uint8_t* data, std::size_t size);

    // Completes the file on disk; a failure to do so is an error. Calling it again does
    // nothing. The destructor closes silently.
    void close();

private:
    std::filesystem::path m_path;
    std::fstream m_file;
};

// A record file opened for reading from its start. The file is read in large chunks and the
// records are handed out from memory: one stream read per record is the slow part of reading
// a long file.
class RecordFileReader {
public:
    explicit RecordFileReader(const std::filesystem::path& path);

    // True when the current position has reached the end of the file.
    bool atEnd();

    // Reads the next record. False when the read reached the end of the file before the
    // record was whole: the caller must not use it (a trailing partial record is never used).
    template <class Record>
    bool get(Record& record) {
        RecordBytes<Record::kSize> bytes{};
        if (!readBytes(bytes.data(), bytes.size()))
            return false;
        record = Record::readFrom(bytes);
        return true;
    }

    // Bytes from the current position to the end of the file; 0 when that cannot be told. Only
    // a hint for reserving room.
    std::uintmax_t bytesLeft();

    // Fills `size` bytes; false when the file ended first.
    bool readBytes(std::uint8_t* data, std::size_t size);

    void close() { m_file.close(); }

private:
    // Reads the next chunk into the buffer, which must have been used up; false at the end.
    bool refill();

    std::filesystem::path m_path;
    std::ifstream m_file;
    std::vector<std::uint8_t> m_chunk;
    std::size_t m_next = 0;    // the next unused byte of m_chunk
    std::uintmax_t m_used = 0; // bytes handed out so far: the current position
};

// Every whole record of the file, in file order: while not at the end, read one record and
// stop, without using it, when the read reached the end. A trailing piece shorter than a
// record is ignored.
template <class Record>
std::vector<Record> readRecordFile(const std::filesystem::path& path) {
    RecordFileReader reader(path);
    std::vector<Record> records;
    records.reserve(static_cast<std::size_t>(reader.bytesLeft() / Record::kSize));
    Record record;
    while (!reader.atEnd() && reader.get(record))
        records.push_back(record);
    return records;
}

} // namespace kelvarin
