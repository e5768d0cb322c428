// "....": the master file chosen through the window's file dialog service, and the real
// QFileDialog behind that service.
#include "WindowHarness.h"
#include "support/UsbTerminalSimulator.h"
#include "ui/QtFileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace kelvarin::test {
namespace {

namespace fs = std::filesystem;

ChosenFile choice(const fs::path& file) {
    return {file.string(), file.filename().string()};
}

TEST(FileChoiceTest, ChosenFilesAreCopiedIntoTheProgramFolderOnlyWhenNotAlreadyThere) {
    WindowHarness h;
    TempFolder elsewhere;
    frmConverterMain& w = h.load(true);
    mdlLoadSetup::SetAppPath(h.program.str() + "/Data/"); // as after a serial transfer
    const fs::path program = h.program.path();

    // From another folder: copied, replacing the program folder's file of that name.
    writeBytes(elsewhere.path() / "AB12.MST", "new\r\n");
    writeBytes(program / "AB12.MST", "old");
    h.files.answers = {choice(elsewhere.path() / "AB12.MST")};
    w.cmdSerchFile->click();
    ASSERT_EQ(h.files.requests.size(), 1u);
    EXPECT_EQ(h.files.requests[0].title, "Open Master File");
    EXPECT_EQ(h.files.requests[0].filter, ".MST");
    EXPECT_EQ(h.files.requests[0].defaultExtension, ".MST");
    EXPECT_EQ(h.files.requests[0].initialFolder, h.program.str() + "/");
    EXPECT_EQ(w.txtFile->text(), "AB12.MST");
    EXPECT_EQ(readBytes(program / "AB12.MST"), "new\r\n");
    EXPECT_FALSE(fs::exists(program / "Data" / "AB12.MST"));

    // From the program folder, named beyond the box's typing limit: shown whole, left alone.
    writeBytes(program / "LONGMASTERNAME.MST", "keep");
    h.files.answers = {choice(program / "LONGMASTERNAME.MST")};
    w.cmdSerchFile->click();
    EXPECT_EQ(w.txtFile->text(), "LONGMASTERNAME.MST");
    EXPECT_EQ(readBytes(program / "LONGMASTERNAME.MST"), "keep");

    // The same file through a link to the program folder is already there.
    fs::create_directory_symlink(program, elsewhere.path() / "linked");
    h.files.answers = {choice(elsewhere.path() / "linked" / "AB12.MST")};
    w.cmdSerchFile->click();
    EXPECT_EQ(w.txtFile->text(), "AB12.MST");
    EXPECT_EQ(readBytes(program / "AB12.MST"), "new\r\n");

    // Cancel changes nothing.
    w.txtFile->setText("KEEP.MST");
    h.files.answers = {std::nullopt};
    w.cmdSerchFile->click();
    EXPECT_EQ(h.files.requests.size(), 4u);
    EXPECT_EQ(w.txtFile->text(), "KEEP.MST");

    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST(FileChoiceTest, ACopyThatFailsIsReportedAndTheNameStays) {
    WindowHarness h;
    TempFolder elsewhere;
    frmConverterMain& w = h.load(true);
    writeBytes(elsewhere.path() / "A.MST", "x");
    // A folder in the way of the destination cannot be replaced by a file.
    fs::create_directory(h.program.path() / "A.MST");

    h.files.answers = {choice(elsewhere.path() / "A.MST")};
    w.cmdSerchFile->click();
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    const std::string folder = h.program.str() + "/";
    EXPECT_EQ(h.boxes.shown[0].text, "Source file cannot copied to " + folder +
                                         "\r\nPlease copy Master File to " + folder);
    EXPECT_EQ(h.boxes.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(h.boxes.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(h.boxes.shown[0].title, "Kelvarin_Ver.3");
    EXPECT_EQ(w.txtFile->text(), "A.MST");
}

// Names with letters beyond ASCII, spelt in UTF-8 as Linux names are: from QEL.INI, from the
// dialog and as typed they show as those letters and name the file on disk; a Download sends the
// base name's bytes as the agent code; a message naming a path shows its letters.
TEST(FileChoiceTest, NamesWithLettersBeyondAsciiShowAndFindTheFileAsTheFileSystemSpellsThem) {
    WindowHarness h;
    TempFolder elsewhere;
    const fs::path program = h.program.path() / "Kelvarin \xC3\xA9"; // "Kelvarin é"
    fs::create_directory(program);
    const std::string name = "\xC3\xA9T.MST"; // "éT.MST"
    const QString shown = QString::fromUtf8("\u00e9T.MST");
    writeBytes(program / "QEL.INI", name + "\r\n");
    writeBytes(elsewhere.path() / name, "Head,H2\r\nSAV,N,K1,S1,05/03/2011,1,2,3,4,1,x\r\n");

    frmConverterMain& w = h.load(true, program.string());
    EXPECT_EQ(w.txtFile->text(), shown);

    w.txtFile->clear();
    h.files.answers = {ChosenFile{(elsewhere.path() / name).string(), name}};
    w.cmdSerchFile->click();
    EXPECT_EQ(w.txtFile->text(), shown);
    EXPECT_EQ(readBytes(program / name), readBytes(elsewhere.path() / name));

    UsbTerminalSimulator terminal(h.clock, *h.hid);
    h.hid->devices = {{"VORIXAN", "MERIDOCK", "SN-1", 0x0483, 0x5750}};
    terminal.files["STATUS.DAT"] = "\x02";
    w.txtFile->setText(shown); // as typed
    w.CmdDownload->click();
    ASSERT_EQ(h.boxes.shown.size(), 2u);
    EXPECT_EQ(h.boxes.shown[1].text, "Data Downloaded to Vorixan Successfully");
    // The agent code: the base name's 3 bytes, a blank up to 4, NUL, then blanks.
    EXPECT_EQ(terminal.files["AGENT.DAT"].substr(26, 16),
              "\xC3\xA9T " + std::string(1, '\0') + std::string(11, ' '));

    w.txtFile->setText(QString::fromUtf8("\u00e9X.MST"));
    w.CmdDownload->click();
    ASSERT_EQ(h.boxes.shown.size(), 3u);
    EXPECT_EQ(h.boxes.shown[2].text,
              "Error No: 53     File not found (" + (program / "\xC3\xA9X.MST").string() + ")");
}

// Runs `answer` on the file dialog once it is shown.
void whenDialogShows(const std::function<void(QFileDialog&)>& answer) {
    QTimer::singleShot(0, [answer] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QFileDialog*>(top); dialog && dialog->isVisible())
                return answer(*dialog);
        ADD_FAILURE() << "no file dialog shown";
    });
}

// The folder and the file are named with a letter beyond ASCII, spelt in UTF-8 as Linux names
// are: the dialog opens that folder and hands back the names as the file system spells them.
TEST(FileChoiceTest, TheQtDialogStartsInTheFolderAndOffersMasterFilesInAnyCase) {
    TempFolder temp;
    const fs::path folder = temp.path() / "D\xC3\xA9p\xC3\xB4t"; // "Dépôt"
    fs::create_directory(folder);
    const std::string file = "\xC3\xA9T12.mst"; // "éT12.mst"
    writeBytes(folder / file, "x");
    QWidget parent;
    QtFileDialogs dialogs(&parent);
    const OpenFileRequest request{"Open Master File", ".MST", ".MST", folder.string() + "/"};

    QString pattern;
    whenDialogShows([&](QFileDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Open Master File");
        EXPECT_EQ(d.directory().absolutePath(), QString::fromUtf8(folder.c_str()));
        EXPECT_EQ(d.defaultSuffix(), "MST");
        const QString filter = d.nameFilters().value(0);
        pattern = filter.mid(filter.indexOf('(') + 1).chopped(1);
        d.selectFile(QString::fromUtf8((folder / file).c_str()));
        static_cast<QDialog&>(d).accept(); // QFileDialog::accept, as its Open button does
    });
    const std::optional<ChosenFile> chosen = dialogs.openFile(request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->fileName, (folder / file).string());
    EXPECT_EQ(chosen->fileTitle, file);

    // The dialog's own pattern, matched as Linux names are: case by case.
    const auto matches = [&](const char* name) {
        return QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive)
            .match(QLatin1String(name))
            .hasMatch();
    };
    EXPECT_TRUE(matches("AB12.MST"));
    EXPECT_TRUE(matches("ab12.mst"));
    EXPECT_TRUE(matches("Ab12.MsT"));
    EXPECT_FALSE(matches("ab12.txt"));

    whenDialogShows([](QFileDialog& d) { d.reject(); });
    EXPECT_FALSE(dialogs.openFile(request).has_value());
}

} // namespace
} // namespace kelvarin::test
