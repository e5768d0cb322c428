#pragma once

#include "conversion/TerminalConversion.h"
#include "settings/mdlLoadSetup.h"
#include "support/MessageBoxRecorder.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace kelvarin::test {

inline std::string sp(std::size_t n) {
    return std::string(n, ' ');
}
inline std::string nul(std::size_t n) {
    return std::string(n, '\0');
}
inline std::string crlf() {
    return "\r\n";
}

// A program folder with its Data folder, a conversion object and the boxes it showed.
class ConversionFixture : public ::testing::Test {
protected:
    void SetUp() override {
        mdlLoadSetup::ResetSettings();
        mdlLoadSetup::SetProgramFolder(m_root.str());
        std::filesystem::create_directory(dataFolder());
    }
    void TearDown() override { mdlLoadSetup::ResetSettings(); }

    std::filesystem::path dataFolder() const { return m_root.path() / "Data"; }
    std::filesystem::path data(const std::string& name) const { return dataFolder() / name; }
    std::string dataBytes(const std::string& name) const { return readBytes(data(name)); }
    bool exists(const std::string& name) const { return std::filesystem::exists(data(name)); }
    void putData(const std::string& name, const std::string& bytes) const {
        writeBytes(data(name), bytes);
    }

    // The whole chain, each step run whatever the one before met; the result is StCvrt's.
    bool runChain(const std::string& masterName) {
        conversion.sourceFileName = masterName;
        conversion.TempFileCreation(masterName);
        conversion.SortTempFile();
        conversion.CommaFileCreation(masterName);
        return conversion.StCvrt("Temp" + masterName);
    }

    void expectOneBox(const std::string& text, MsgIcon icon, const std::string& title) {
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, text);
        EXPECT_EQ(boxes.shown[0].icon, icon);
        EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(boxes.shown[0].title, title);
    }

    TempFolder m_root;
    MessageBoxRecorder boxes;
    int focusMoves = 0;
    TerminalConversion conversion{boxes, [this] { ++focusMoves; }};
};

} // namespace kelvarin::test
