#pragma once
// Which RINEX 3 observation code fills which observation type of RINEX 2,
// the types the observation table and the point's settings file know.
//
// RINEX 3 names each GPS observation by three characters: the kind (C code
// pseudorange, L phase, D Doppler, S signal strength), the band (1, 2, 5)
// and the tracking mode (C for C/A, W for Z-tracking, P, Y, L, S, X, Q, I,
// ...). RINEX 2 had two characters. Each RINEX 2 type takes the first code
// of its list below that the file's header gives for GPS, the same for
// every record of the file:
//
//   C1 <- C1C                P1 <- C1W C1P C1Y
//   L1 <- L1C L1W L1P L1Y L1X L1L L1S
//   D1 <- D1C D1W D1P D1Y D1X D1L D1S
//   S1 <- S1C S1W S1P S1Y S1X S1L S1S
//   C2 <- C2C C2L C2S C2X    P2 <- C2W C2P C2Y C2D
//   L2 <- L2W L2P L2Y L2D L2C L2L L2S L2X
//   D2 <- D2W D2P D2Y D2D D2C D2L D2S D2X
//   S2 <- S2W S2P S2Y S2D S2C S2L S2S S2X
//   C5 <- C5Q C5X C5I        L5 <- L5Q L5X L5I
//   D5 <- D5Q D5X D5I        S5 <- S5Q S5X S5I
//
// C1 is the C/A code and P1, P2 the P(Y) codes, as in RINEX 2; the phases
// prefer the tracking of the P(Y) code on L2, the one that RINEX 2 files
// held.

#include <string>
#include <string_view>
#include <vector>

namespace korthal::rinex {

struct CodeSource {
    std::string type;  // the RINEX 2 type: "L2"
    std::string code;  // the RINEX 3 code that fills it: "L2W"
};

// The RINEX 2 types that the given GPS codes fill, in the order of the table
// above, each with the code it takes.
std::vector<CodeSource> chooseCodeSources(const std::vector<std::string>& gpsCodes);

// "C1=C1C L1=L1C ..." for a summary.
std::string codeSourcesText(const std::vector<CodeSource>& sources);

}  // namespace korthal::rinex
