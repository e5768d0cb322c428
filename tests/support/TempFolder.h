#pragma once

#include <filesystem>
#include <string>

namespace kelvarin::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string str() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

// Whole-file helpers for tests: bytes in and out, unchanged.
std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::string& bytes);

// Bytes from hex text such as "04 7D 03 00".
std::string hexBytes(const std::string& hex);

} // namespace kelvarin::test
