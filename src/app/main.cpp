// Entry point: one application delegate runs the program; arguments are ignored.
#include "app/AppDelegate.h"

int main(int, char**) {
    AppDelegate app;
    return engine::Application::getInstance()->run();
}
