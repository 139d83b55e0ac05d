#pragma once

// Ends the process at once with status 0; bound to the exit buttons.
[[noreturn]] void exitApp();
