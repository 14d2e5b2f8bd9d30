#pragma once
// The lines of "korthal-cli convert": reading three numbers per line,
// converting them along the chain (network/ConvertChain.h) and writing the
// result, for one block of whole lines at a time so that blocks can be
// converted side by side and written in input order.
//
// Every line is first converted in double and written with integer
// arithmetic. Where that cannot be sure of the text that the Extended
// computation would write (the double run asks for it, a number lies within
// the double run's error of a rounding step, a number does not read as a
// double), the line is converted again in Extended and written as the
// calculator writes it, so the output is the Extended computation's, digit
// for digit.

#include "network/ConvertChain.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace korthal::cli {

// The forms and the chain, shared with the calculator.
using namespace korthal::chain;

struct ConvertJob {
    Form from = WGS84Xyz;
    Form to = TM87Proj;
    ConvertOptions options;
    // A HEPOS model read from files, which options.hepos points to.
    std::shared_ptr<const HeposModel> hepos;
};

// What one block gave.
struct ConvertedBlock {
    std::string out;  // for standard output
    std::string err;  // for standard error, in line order
    bool badLines = false;
    long doubleLines = 0;    // lines written from the double run
    long extendedLines = 0;  // lines converted again in Extended
    // Blocks converted away from the main thread stop before a line whose
    // conversion has a message to show; the rest of the block, from byte
    // `restAt` (line `restLine`), is then converted on the main thread.
    std::size_t restAt = std::string_view::npos;
    long restLine = 0;
};

// Converts the whole lines of `text`, the first of them line `firstLine` of
// the input. With `flush` the block may show messages: before one is shown,
// flush receives what the block has so far and empties it, so that standard
// error keeps the order of the lines. Without it the block stops before
// such a line (see restAt).
ConvertedBlock convertBlock(std::string_view text, long firstLine, const ConvertJob& job,
                            const std::function<void(ConvertedBlock&)>& flush = {});

// x with `decimals` (0..12) digits after the point, as formatFixed writes it,
// appended to out; false (and nothing appended) when x lies within
// `tolerance` of a rounding step, so that a value that close to x could be
// written otherwise.
bool appendFixedIfSure(std::string& out, double x, int decimals, double tolerance);

}  // namespace korthal::cli
