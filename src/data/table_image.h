#pragma once
// Everything a data packet carries about one table: its columns, every record version with
// its state byte, the change log, the auto-increment counter, the default order and the
// table parameters carried over from the file it was read from.
#include "column.h"
#include "large_blocks.h"
#include "value.h"

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace data {

enum RowState : std::uint8_t { RowSuperseded = 1, RowDeleted = 2, RowInserted = 4, RowModified = 8 };

enum LogAction : std::uint32_t { ActionDelete = 2, ActionInsert = 4, ActionModify = 8 };

struct Version {
    std::uint8_t state = 0;
    Values values;
};

struct LogEntry {
    std::uint32_t record = 0;      // record number (1-based) of the version the entry made
    std::uint32_t predecessor = 0; // the version it replaced, or 0
    std::uint32_t action = 0;      // ActionInsert, ActionModify or ActionDelete
};

// Marks of a default-order entry besides the column number (1-based).
constexpr std::uint32_t OrderDescending = 32768;
constexpr std::uint32_t OrderCaseInsensitive = 16384;

struct TableImage {
    // Where the reader puts the values of the versions it reads: one growing block instead
    // of an allocation per row. Declared first, so that it outlives the versions.
    std::shared_ptr<std::pmr::monotonic_buffer_resource> arena;
    std::vector<Column> columns;
    std::vector<Version, LargeBlockAllocator<Version>> versions; // record number n is versions[n - 1]
    std::vector<LogEntry> changeLog;
    std::optional<std::int64_t> autoIncValue;
    // The default order as defined when the table was created (written first), if any.
    std::optional<std::vector<std::uint32_t>> explicitDefaultOrder;
    // The default order in force (explicit or carried over from the file).
    std::vector<std::uint32_t> defaultOrder;
    // Table parameters carried over from the file read (DEFAULT_ORDER among them), in order.
    std::vector<std::pair<std::string, std::string>> carriedParams;

    int AutoIncColumn() const; // the first i4 column with subtype "Autoinc", or -1

    TableImage() = default;
    TableImage(const TableImage&) = default;
    TableImage(TableImage&&) noexcept = default;
    // Assignment swaps: the old contents leave with `other`, whose destruction releases
    // the versions before their arena (a member-wise assignment would release the arena
    // first).
    TableImage& operator=(TableImage other) noexcept {
        std::swap(arena, other.arena);
        std::swap(columns, other.columns);
        std::swap(versions, other.versions);
        std::swap(changeLog, other.changeLog);
        std::swap(autoIncValue, other.autoIncValue);
        std::swap(explicitDefaultOrder, other.explicitDefaultOrder);
        std::swap(defaultOrder, other.defaultOrder);
        std::swap(carriedParams, other.carriedParams);
        return *this;
    }
};

} // namespace data
