// korthal-cli rinex-text IN [--out FILE] [--crx]
//
// Writes the plain RINEX text of any file that `rinex` reads (gzip, .Z and
// Hatanaka layers unpacked), or that text Hatanaka-compressed.

#include "tools/cli/CliSupport.h"
#include "tools/cli/Command.h"

#include "table/AtomicFile.h"
#include "views/HatanakaEncoder.h"
#include "views/RinexText.h"

#include <cstdio>
#include <iostream>

namespace korthal::cli {
namespace {

const char* const kHelp =
    "Usage: korthal-cli rinex-text IN [--out FILE] [--crx]\n"
    "\n"
    "Writes the plain RINEX text of IN: a RINEX file as it is, or one that is\n"
    "gzipped (.gz), Unix-compressed (.Z) or, for observation files,\n"
    "Hatanaka-compressed (Compact RINEX: .crx, .YYd), the layers in any\n"
    "stack (.crx.gz, .YYd.Z). The layers are found by the file's first bytes,\n"
    "not by its name. Lines end in LF.\n"
    "\n"
    "  --out FILE  write to FILE (whole or not at all) instead of standard output\n"
    "  --crx       write the observation text Hatanaka-compressed instead:\n"
    "              Compact RINEX 1.0 for RINEX 2, 3.0 for RINEX 3 and 4\n"
    "\n"
    "A file that cannot be read or restored gives a message on stderr naming\n"
    "the line or byte, and exit status 1; FILE is then left as it was.\n";

// Where the text goes: a file written whole or not at all, or stdout.
class Output {
public:
    explicit Output(const std::string& path)
    {
        if (!path.empty())
            file_ = std::make_unique<AtomicFile>(path);
        buffer_.reserve(kFlush + 4096);
    }
    void add(std::string_view s)
    {
        buffer_.append(s);
        if (buffer_.size() >= kFlush)
            flush();
    }
    void flush()
    {
        if (file_)
            ok_ = file_->write(buffer_) && ok_;
        else
            ok_ = std::fwrite(buffer_.data(), 1, buffer_.size(), stdout) == buffer_.size() && ok_;
        buffer_.clear();
    }
    bool commit(std::string& error)
    {
        flush();
        if (file_)
            return file_->commit(error) && ok_;
        if (std::fflush(stdout) != 0 || !ok_) {
            error = "Σφάλμα εγγραφής στην τυπική έξοδο.";
            return false;
        }
        return true;
    }

private:
    static constexpr std::size_t kFlush = 1 << 20;
    std::unique_ptr<AtomicFile> file_;
    std::string buffer_;
    bool ok_ = true;
};

int run(const std::vector<std::string>& args)
{
    std::string input, output;
    bool crx = false;
    for (std::size_t i = 0; i < args.size();) {
        bool missing = false;
        if (auto v = optionValue(args, i, "--out", missing)) {
            if (missing)
                return usageError("rinex-text", "--out needs a file name");
            output = *v;
            continue;
        }
        if (args[i] == "--crx") {
            crx = true;
        } else if (!args[i].empty() && args[i][0] == '-') {
            return usageError("rinex-text", "unknown option \"" + args[i] + "\"");
        } else if (input.empty()) {
            input = args[i];
        } else {
            return usageError("rinex-text", "one file only");
        }
        ++i;
    }
    if (input.empty())
        return usageError("rinex-text", "which file?");

    const auto text = rinex::openRinexText(input);
    Output out(output);
    rinex::HatanakaEncoder encoder("korthal-cli", rinex::compactRinexDateNow());
    std::string compressed;
    std::string_view line;
    bool encoded = true;
    while (encoded && text->next(line)) {
        if (crx) {
            encoded = encoder.add(line, compressed);
            out.add(compressed);
            compressed.clear();
        } else {
            out.add(line);
            out.add("\n");
        }
    }
    if (encoded && crx && !text->error()) {
        encoded = encoder.finish(compressed);
        out.add(compressed);
    }
    std::string error = text->error().message;
    if (error.empty() && !encoded)
        error = "Το αρχείο " + rinex::quotedName(input) +
                " δεν γράφεται σε συμπίεση Hatanaka: " + encoder.error() + ".";
    if (!error.empty()) {
        std::cerr << error << '\n';
        return 1;  // the output file is not committed: it stays as it was
    }
    if (!out.commit(error)) {
        std::cerr << error << '\n';
        return 1;
    }
    return 0;
}

const Registration registration{Command{
    "rinex-text", "write the plain (or Hatanaka-compressed) text of a RINEX file", kHelp, &run}};

}  // namespace
}  // namespace korthal::cli
