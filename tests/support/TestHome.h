#pragma once

namespace kelvarin::test {

// Points HOME and the XDG configuration, data, cache and state folders of this test process at
// a folder of its own under the build tree, emptied first, so that nothing a test or a library
// under it writes (Qt's file dialog history, a font cache) reaches the user's home folder. The
// folder is named after the program and the tests CTest asks it to run (--gtest_filter), so
// each test has its own. Call it first in main(), before any library reads these variables.
void useOwnHomeFolder(int argc, char** argv);

} // namespace kelvarin::test
