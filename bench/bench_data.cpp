// Data-store benchmark: a results file of 100 000 record versions with a realistic history
// (inserts, modifications, deletions), written and read with the program's own packet
// code and, for comparison, parsed by pugixml; then load plus save through a table, posts
// into a table of 10 000 visible records, and the memory of the loaded table.
//
//   build/bench/bench_data [versions]      (default 100000)
#include "bench_support.h"
#include "data/DModule.h"
#include "data/data_file.h"
#include "data/date_value.h"
#include "data/large_blocks.h"
#include "data/packet_xml.h"
#include "data/record_store.h"
#include "evaluation/global.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "results_history.h"

#include <pugixml.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <random>
#include <type_traits>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct FixedClock : platform::ClockService {
    platform::LocalDateTime Now() const override {
        return std::int64_t(data::DaysFromCivil(2026, 12, 10)) * platform::MillisecondsPerDay;
    }
    std::string FormatLongTime(std::int64_t) const override { return {}; }
    std::int64_t MonotonicMs() const override { return 0; }
};

// pugixml's memory for the comparison: one block, touched before the clock starts and used
// again by every parse, as the packet reader's arena is, so that neither side is timed for
// the system's page faults.
struct PugiMemory {
    std::vector<char> block;
    std::size_t used = 0;
    static PugiMemory& Get() {
        static PugiMemory memory;
        return memory;
    }
    static void* Allocate(std::size_t size) {
        PugiMemory& m = Get();
        size = (size + 15) & ~std::size_t{15};
        if (m.used + size > m.block.size())
            return std::malloc(size); // never reached with the block sized below
        void* p = m.block.data() + m.used;
        m.used += size;
        return p;
    }
    static void Deallocate(void* p) {
        PugiMemory& m = Get();
        if (p < static_cast<void*>(m.block.data()) ||
            p >= static_cast<void*>(m.block.data() + m.block.size()))
            std::free(p);
    }
};

// The best of several runs; `f` may time a part of itself and return its milliseconds.
template <typename F> double BestMs(int runs, F f) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        double ms = 0;
        if constexpr (std::is_same_v<decltype(f()), double>)
            ms = f();
        else {
            f();
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        best = std::min(best, ms);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const int versions = argc > 1 ? std::atoi(argv[1]) : 100000;
    QuietDialogs dialogs;
    FixedClock clock;
    platform::SetDialogs(&dialogs);
    platform::SetClock(&clock);

    const data::TableImage image = MakeResultsHistory(versions);
    const std::string bytes = data::WritePacketXml(image);
    std::printf("results file: %d record versions, %zu change-log entries, %.1f MB\n", versions,
                image.changeLog.size(), bytes.size() / 1e6);

    const double writeMs = BestMs(5, [&] {
        volatile auto n = data::WritePacketXml(image).size();
        (void)n;
    });
    // Parsing alone on both sides: the result is released outside the timed part.
    data::TableImage read;
    const double readMs = BestMs(9, [&] {
        read = data::TableImage();
        const auto start = Clock::now();
        read = data::ReadPacketXml(bytes);
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    });
    // pugixml parses a copy of the bytes in place, made before the clock starts, so that
    // both sides are timed for parsing alone and neither pays for fresh input memory.
    std::string copy(bytes.size(), '\0');
    PugiMemory::Get().block.assign(bytes.size() * 8, 1);
    pugi::set_memory_management_functions(&PugiMemory::Allocate, &PugiMemory::Deallocate);
    const double pugiMs = BestMs(9, [&] {
        PugiMemory::Get().used = 0;
        auto doc = std::make_unique<pugi::xml_document>();
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        const auto start = Clock::now();
        volatile bool ok =
            doc->load_buffer_inplace(copy.data(), copy.size(), pugi::parse_default, pugi::encoding_utf8);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        (void)ok;
        return ms;
    });
    std::printf("WritePacketXml %8.2f ms  (%.0f MB/s)\n", writeMs, bytes.size() / 1e3 / writeMs);
    std::printf("ReadPacketXml  %8.2f ms  (%.0f MB/s)\n", readMs, bytes.size() / 1e3 / readMs);
    std::printf(
        "pugixml parse  %8.2f ms  (%.0f MB/s); ReadPacketXml at %.2f of pugixml's speed (target >= 0.5)\n",
        pugiMs, bytes.size() / 1e3 / pugiMs, pugiMs / readMs);

    // Load plus save through the results table of the data module, on a real file.
    char folder[] = "/tmp/vexo-bench-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    global::SportlerPath = std::string(folder) + "/sportler.xml";
    global::MultiwertPath = std::string(folder) + "/multiwert.xml";
    const long before = ResidentKb();
    {
        TDM1 dm;
        dm.FirstActivation();
        data::WriteFileSafely(global::MultiwertPath, bytes);
        const double loadSaveMs = BestMs(5, [&] {
            dm.cdsMultiwert.LoadFromFile(global::MultiwertPath);
            dm.cdsMultiwert.SaveToFile();
        });
        const double loadMs = BestMs(5, [&] { dm.cdsMultiwert.LoadFromFile(global::MultiwertPath); });
        const double saveMs = BestMs(5, [&] { dm.cdsMultiwert.SaveToFile(); });
        const long loaded = ResidentKb();
        std::printf("load + save    %8.2f ms  (target <= 100 ms; load %.2f ms, save %.2f ms with fsync), "
                    "%d visible records\n",
                    loadSaveMs, loadMs, saveMs, dm.cdsMultiwert.RecordCount());
        std::printf("memory         %8.1f MB for the loaded table, %.2f x the file size (target <= 3)\n",
                    (loaded - before) / 1024.0, (loaded - before) * 1024.0 / bytes.size());

        // Posts into a table of 10 000 visible records, each with its look-up and rating.
        dm.CreateMultiwertTable();
        data::Table& t = dm.cdsMultiwert;
        std::mt19937 random(7);
        auto post = [&] {
            t.Insert();
            t.SetAsInteger("sportlerid", 1 + random() % 600);
            t.SetAsDate("Datum", data::DaysFromCivil(2026, 1, 1) + int(random() % 300));
            t.SetAsInteger("Level", 4 + random() % 12);
            t.SetAsInteger("Runde", 1 + random() % 9);
            t.Post();
        };
        while (t.RecordCount() < 10000)
            post();
        const int posts = 2000;
        const auto start = Clock::now();
        for (int i = 0; i < posts; ++i)
            post();
        const double perPost =
            std::chrono::duration<double, std::milli>(Clock::now() - start).count() / posts;
        std::printf("post           %8.4f ms per record into %d..%d visible records (target <= 1 ms)\n",
                    perPost, 10000, t.RecordCount());
    }
    std::remove(global::SportlerPath.c_str());
    std::remove(global::MultiwertPath.c_str());
    rmdir(folder);
    return 0;
}
