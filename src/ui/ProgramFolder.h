#pragma once

#include <string>

namespace kelvarin {

// The program folder: the executable's folder when its user may write there (a portable
// install), otherwise the user's data location (~/.local/share/Kelvarin), created if needed.
// Without a closing separator.
std::string decideProgramFolder();

} // namespace kelvarin
