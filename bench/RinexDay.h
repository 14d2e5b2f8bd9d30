#pragma once
// A day of 1-second observations of 10 GPS satellites (86 400 epochs,
// 864 000 records) in an observation table, made in memory from a real file:
// the GPS records of delf0010.21o's epochs, repeated one second apart with
// the times rewritten. Nothing is written to disk.

#include "views/RinexReader.h"
#include "views/RinexTable.h"

#include <string>
#include <vector>

namespace korthal::bench {

inline void fillObservationDay(MemTable& table, int satellitesPerEpoch = 10)
{
    struct Epochs : rinex::ObservationSink {
        std::vector<std::vector<rinex::ObservationRecord>> epochs;
        void header(const rinex::Header&) override {}
        void record(const rinex::ObservationRecord& r) override
        {
            if (epochs.empty() || epochs.back().front().epoxh != r.epoxh)
                epochs.emplace_back();
            epochs.back().push_back(r);
        }
    } source;
    rinex::readObservationFile(std::string(KORTHAL_SHARED_DATA) + "/rinex/delf0010.21o", source);

    table.disableControls();
    for (int k = 0; k < 86400; ++k) {
        const auto& epoch = source.epochs[static_cast<std::size_t>(k) % source.epochs.size()];
        for (std::size_t s = 0; s < epoch.size() && s < static_cast<std::size_t>(satellitesPerEpoch);
             ++s) {
            rinex::ObservationRecord r = epoch[s];
            r.epoxh = k + 1;
            r.hour = k / 3600;
            r.min = k / 60 % 60;
            r.sec = k % 60;
            // The values move on with the epochs, as real ones do.
            for (auto& v : r.slotValues)
                if (v.value != 0)
                    v.value += k * 0.25;
            appendObservation(table, r);
        }
    }
    table.enableControls();
}

// The day in a table of its own, made at the first call.
inline const RinexTable& observationDay()
{
    static RinexTable t;
    static const bool filled = (fillObservationDay(t.table()), true);
    (void)filled;
    return t;
}

}  // namespace korthal::bench
