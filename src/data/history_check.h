#pragma once
// Whether the rows of a data packet agree with their history. Every row the program writes
// was made by an insert or a modification of the change log (or came from a file without
// history, state 0), and every state bit follows from the log: replaying the log gives
// each row's state exactly. A file whose rows say otherwise has been damaged (a flipped
// byte in a RowState, a log naming rows that are not there), and reading it as it stands
// would revive superseded or deleted records or lose others without a word.
#include "platform/errors.h"
#include "table_image.h"

namespace data {

// Fails with DamagedHistory naming the first contradiction: a log entry that names no row
// or an unknown action, a row made twice, a row whose state is not what the log gives, or
// two visible rows with the same id.
void CheckHistory(const TableImage& image);

class DamagedHistory : public vexo::Error {
public:
    using vexo::Error::Error;
};

} // namespace data
