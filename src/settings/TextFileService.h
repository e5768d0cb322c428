#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace kelvarin {

enum class IoMode { ForReading = 1, ForWriting = 2 };

// A text file opened by FileSystemObject::OpenTextFile. Text is single bytes: every byte 0 to
// 255 passes unchanged both ways. Only a plain file is opened for reading (a folder, pipe or
// device is RuntimeError 75), and opening never waits. Failures throw RuntimeError.
class TextStream {
public:
    ~TextStream(); // closes the file; a failure there is swallowed, call Close() to see it

    TextStream(const TextStream&) = delete;
    TextStream& operator=(const TextStream&) = delete;

    // The next line without its line end. A line ends at LF or CR LF; in a file without any LF,
    // at CR. The last line need not end at all. Past the last line: RuntimeError 62.
    std::string ReadLine();

    // True when nothing is left to read; at once for an empty file.
    bool AtEndOfStream();

    // Writes the text, then CR LF.
    void WriteLine(const std::string& text);

    // Writes the text without a line end.
    void Write(const std::string& text);

    // Completes the file on disk and releases it. Calling it again does nothing.
    void Close();

private:
    friend class FileSystemObject;
    TextStream(std::filesystem::path path, IoMode mode);

    void requireOpen(IoMode mode) const;
    [[noreturn]] void throwReadError() const;

    std::filesystem::path m_path;
    IoMode m_mode;
    std::FILE* m_in = nullptr;
    char m_lineEnd = '\n';
    // The last line read, as getdelim keeps it.
    char* m_line = nullptr;
    std::size_t m_lineCapacity = 0;
    std::ofstream m_out;
    bool m_open = false;
};

// The program's access to text files and to whole files. Failures throw RuntimeError with the
// numbers 53 (file not found), 70 (file in use), 75 (path/file access error) or
// 76 (path not found).
class FileSystemObject {
public:
    // Reading: the file must exist (`create` is ignored). Writing: the file is created, or
    // emptied when it exists; `create` false with a missing file is error 53.
    std::unique_ptr<TextStream> OpenTextFile(const std::filesystem::path& path, IoMode mode,
                                             bool create = false);

    // Copies source to destination; an existing destination is replaced only when
    // `overwrite` is true (otherwise error 58 "File already exists").
    void CopyFile(const std::filesystem::path& source, const std::filesystem::path& destination,
                  bool overwrite = true);

    // Copies source over destination so that destination is either left as it was or replaced
    // whole: the bytes go to a new file beside it, which takes its place in one rename only
    // once the copy is complete, and is removed on every failure. A missing source is error 53
    // and touches nothing; a failed copy names destination.
    void ReplaceWithCopy(const std::filesystem::path& source,
                         const std::filesystem::path& destination);

    bool FileExists(const std::filesystem::path& path) const;
    void DeleteFile(const std::filesystem::path& path);

    // Deletes the file when it exists; does nothing otherwise (a folder of that name included).
    // A symbolic link is removed itself, never followed, so a file written in its place stays
    // where the caller put it.
    void DeleteIfPresent(const std::filesystem::path& path);
};

// The program's error number for an operating-system error of a file operation on `path`:
// 53 (missing file), 76 (missing folder), 70 (a file another program holds: busy, being run or
// locked) or 75 (anything else, a permission or a read-only file system included).
int fileErrorNumber(const std::filesystem::path& path, int osError);

// Throws that error, its description naming `path`, and for 75 also the system's reason.
[[noreturn]] void throwFileError(const std::filesystem::path& path, int osError);

} // namespace kelvarin
