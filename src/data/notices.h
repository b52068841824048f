#pragma once
// What the data layer has to tell the user beside a failure, and cannot show itself: an
// unreadable file kept aside, a save that could not keep its backup. The data layer
// reports here and goes on; the user interface takes the notices after every handler it
// runs and shows them. Program-wide, on the user-interface thread.
#include <string>
#include <vector>

namespace data {

void ReportNotice(std::string message);
// The notices reported since the last call, oldest first; the list is empty afterwards.
std::vector<std::string> TakeNotices();

} // namespace data
