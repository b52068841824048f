#include "notices.h"

namespace data {
namespace {
std::vector<std::string> g_notices;
}

void ReportNotice(std::string message) {
    g_notices.push_back(std::move(message));
}

std::vector<std::string> TakeNotices() {
    std::vector<std::string> notices;
    notices.swap(g_notices);
    return notices;
}

} // namespace data
