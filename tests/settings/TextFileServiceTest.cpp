#include "settings/TextFileService.h"

#include "platform/RuntimeError.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace kelvarin::test {
namespace {

class TextFileServiceTest : public ::testing::Test {
protected:
    TempFolder dir;
    FileSystemObject fso;

    std::vector<std::string> readAllLines(const std::string& bytes) {
        writeBytes(dir.path() / "in.txt", bytes);
        auto s = fso.OpenTextFile(dir.path() / "in.txt", IoMode::ForReading);
        std::vector<std::string> lines;
        while (!s->AtEndOfStream())
            lines.push_back(s->ReadLine());
        s->Close();
        return lines;
    }
};

TEST_F(TextFileServiceTest, ReadingAcceptsCrLfAndLfAndAFinalLineWithoutEnd) {
    EXPECT_EQ(readAllLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(readAllLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    // A lone CR is no line end where LF ends lines; it stays in the line.
    EXPECT_EQ(readAllLines("a\rb\n"), (std::vector<std::string>{"a\rb"}));
    // A file without any LF ends its lines with CR.
    EXPECT_EQ(readAllLines("a\r\rb"), (std::vector<std::string>{"a", "", "b"}));
}

TEST_F(TextFileServiceTest, EmptyFileIsAtEndAtOnceAndReadingPastTheEndIsError62) {
    writeBytes(dir.path() / "empty.txt", "");
    auto s = fso.OpenTextFile(dir.path() / "empty.txt", IoMode::ForReading);
    EXPECT_TRUE(s->AtEndOfStream());
    try {
        s->ReadLine();
        FAIL() << "no error past the end";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), kErrInputPastEnd);
    }
}

TEST_F(TextFileServiceTest, EveryByteValuePassesUnchangedBothWays) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\n' && b != '\r')
            all.push_back(static_cast<char>(b));
    {
        auto out = fso.OpenTextFile(dir.path() / "bytes.txt", IoMode::ForWriting, true);
        out->WriteLine(all);
        out->Write("tail");
        out->Close();
    }
    EXPECT_EQ(readBytes(dir.path() / "bytes.txt"), all + "\r\ntail");
    EXPECT_EQ(readAllLines(all + "\r\ntail"), (std::vector<std::string>{all, "tail"}));
}

TEST_F(TextFileServiceTest, WritingEmptiesAnExistingFile) {
    writeBytes(dir.path() / "old.txt", "a much longer old content");
    auto out = fso.OpenTextFile(dir.path() / "old.txt", IoMode::ForWriting, true);
    out->Write("new");
    out.reset(); // releasing without Close completes the file as well
    EXPECT_EQ(readBytes(dir.path() / "old.txt"), "new");
}

TEST_F(TextFileServiceTest, FailuresCarryTheirNumbers) {
    auto numberOf = [](auto&& f) {
        try {
            f();
        } catch (const RuntimeError& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(numberOf([&] { fso.OpenTextFile(dir.path() / "missing.txt", IoMode::ForReading); }),
              kErrFileNotFound);
    EXPECT_EQ(numberOf([&] {
                  fso.OpenTextFile(dir.path() / "no" / "such" / "x.txt", IoMode::ForWriting, true);
              }),
              kErrPathNotFound);
    EXPECT_EQ(numberOf([&] { fso.CopyFile(dir.path() / "missing", dir.path() / "x"); }),
              kErrFileNotFound);
    EXPECT_EQ(numberOf([&] { fso.DeleteFile(dir.path() / "missing"); }), kErrFileNotFound);
}

TEST_F(TextFileServiceTest, CopyReplacesTheDestination) {
    writeBytes(dir.path() / "src", std::string("\0\xff\r\n", 4));
    writeBytes(dir.path() / "dst", "old old old");
    fso.CopyFile(dir.path() / "src", dir.path() / "dst", true);
    EXPECT_EQ(readBytes(dir.path() / "dst"), std::string("\0\xff\r\n", 4));
}

} // namespace
} // namespace kelvarin::test
