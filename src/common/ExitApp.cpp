#include "common/ExitApp.h"

#include <cstdlib>

void exitApp() {
    std::exit(0);
}
