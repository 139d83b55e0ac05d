#include "common/Routes.h"

#include "base/Log.h"

namespace Routes {

namespace {

Table s_table;

} // namespace

void install(const Table& table) {
    s_table = table;
}

void toLogin() {
    if (!s_table.toLogin) {
        engine::log("Routes: no way to the login scene is installed");
        return;
    }
    s_table.toLogin();
}

void toGrouping(std::function<void()> onReturn) {
    if (!s_table.toGrouping) {
        engine::log("Routes: no way to the grouping scene is installed");
        return;
    }
    s_table.toGrouping(std::move(onReturn));
}

} // namespace Routes
