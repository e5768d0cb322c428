#pragma once

namespace kelvarin {

// Names the running application. Only the application name is set (it places the user's data
// folder); a display name would be appended to every window title the window system shows.
void configureApplication();

} // namespace kelvarin
