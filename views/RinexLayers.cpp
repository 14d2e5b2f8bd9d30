#include "views/RinexLayers.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace korthal::rinex {

namespace {

constexpr std::size_t kChunk = 1 << 20;

}  // namespace

std::string quotedName(const std::string& name)
{
    return "\"" + name + "\"";
}

std::size_t FileBytes::read(char* dst, std::size_t n)
{
    const std::size_t got = std::fread(dst, 1, n, f_);
    if (got == 0 && std::ferror(f_))
        state_.fail(TextError::Kind::CannotOpen,
                    "Σφάλμα ανάγνωσης του αρχείου " + quotedName(state_.name) + " στο byte " +
                        std::to_string(state_.rawRead) + ".",
                    0, state_.rawRead);
    state_.rawRead += got;
    return got;
}

std::size_t MemoryBytes::read(char* dst, std::size_t n)
{
    const std::size_t got = std::min(n, rest_.size());
    std::memcpy(dst, rest_.data(), got);
    rest_.remove_prefix(got);
    state_.rawRead += got;
    return got;
}

std::size_t PrefixedBytes::read(char* dst, std::size_t n)
{
    if (pos_ < head_.size()) {
        const std::size_t got = std::min(n, head_.size() - pos_);
        std::memcpy(dst, head_.data() + pos_, got);
        pos_ += got;
        return got;
    }
    return in_.read(dst, n);
}

// ---- gzip ----

struct GzipBytes::Zlib {
    ByteSource& in;
    ReadState& state;
    z_stream zs{};
    bool open = false;
    bool ended = false;    // the last member ended
    bool inputEnd = false;
    std::string input;
    std::uint64_t inputStart = 0;  // the file offset of input[0]

    Zlib(ByteSource& i, ReadState& s) : in(i), state(s) {}

    // The file offset of the next byte zlib will take.
    std::uint64_t offset() const
    {
        return inputStart + (input.size() - zs.avail_in);
    }

    void damaged(const std::string& why)
    {
        state.fail(TextError::Kind::Damaged,
                   "Το αρχείο " + quotedName(state.name) +
                       " είναι χαλασμένο: η συμπίεση gzip δεν αποσυμπιέζεται στο byte " +
                       std::to_string(offset()) + " (" + why + ").",
                   0, offset());
    }

    bool fill()
    {
        if (inputEnd)
            return false;
        // The bytes zlib has not taken yet move to the front.
        const std::size_t keep = zs.avail_in;
        inputStart += input.size() - keep;
        std::memmove(input.data(), input.data() + (input.size() - keep), keep);
        input.resize(keep + kChunk);
        const std::size_t got = in.read(input.data() + keep, kChunk);
        input.resize(keep + got);
        zs.next_in = reinterpret_cast<Bytef*>(input.data());
        zs.avail_in = static_cast<uInt>(input.size());
        if (got == 0)
            inputEnd = true;
        return got > 0;
    }
};

GzipBytes::GzipBytes(ByteSource& in, ReadState& state) : z_(std::make_unique<Zlib>(in, state))
{
    // 16 + 15: a gzip header and trailer around a deflate stream of any window.
    z_->open = inflateInit2(&z_->zs, 16 + MAX_WBITS) == Z_OK;
    if (!z_->open)
        state.fail(TextError::Kind::Damaged, "Δεν αρχίζει η αποσυμπίεση gzip του αρχείου " +
                                                  quotedName(state.name) + ".");
}

GzipBytes::~GzipBytes()
{
    if (z_->open)
        inflateEnd(&z_->zs);
}

std::size_t GzipBytes::read(char* dst, std::size_t n)
{
    Zlib& z = *z_;
    if (!z.open || z.ended || z.state.error)
        return 0;
    z.zs.next_out = reinterpret_cast<Bytef*>(dst);
    z.zs.avail_out = static_cast<uInt>(std::min<std::size_t>(n, 1u << 30));
    const uInt wanted = z.zs.avail_out;
    while (z.zs.avail_out == wanted) {
        if (z.zs.avail_in == 0 && !z.fill()) {
            if (z.state.error)
                return 0;
            z.damaged("το αρχείο τελειώνει πριν από το τέλος των συμπιεσμένων δεδομένων");
            return 0;
        }
        const int rc = inflate(&z.zs, Z_NO_FLUSH);
        if (rc == Z_STREAM_END) {
            // Another member may follow; anything else after the end is
            // ignored, as gzip does.
            if (z.zs.avail_in < 2)
                z.fill();
            const std::string_view rest(reinterpret_cast<const char*>(z.zs.next_in), z.zs.avail_in);
            if (isGzipMagic(rest)) {
                inflateReset(&z.zs);
                continue;
            }
            z.ended = true;
            break;
        }
        if (rc == Z_DATA_ERROR) {
            const std::string msg = z.zs.msg ? z.zs.msg : "";
            if (msg.find("check") != std::string::npos)
                z.damaged("το άθροισμα ελέγχου δεν συμφωνεί");
            else if (msg.find("length") != std::string::npos)
                z.damaged("το μήκος δεν συμφωνεί");
            else if (msg.find("header") != std::string::npos)
                z.damaged("λάθος κεφαλίδα");
            else
                z.damaged("άκυρα συμπιεσμένα δεδομένα");
            return 0;
        }
        if (rc == Z_MEM_ERROR) {
            z.damaged("δεν υπάρχει αρκετή μνήμη");
            return 0;
        }
        // Z_BUF_ERROR: more input is needed, taken at the top of the loop.
    }
    return wanted - z.zs.avail_out;
}

// ---- lines ----

bool ByteLines::refill()
{
    if (eof_)
        return false;
    buffer_.erase(0, pos_);
    pos_ = 0;
    const std::size_t old = buffer_.size();
    buffer_.resize(old + kChunk);
    const std::size_t got = in_.read(buffer_.data() + old, kChunk);
    buffer_.resize(old + got);
    if (got == 0)
        eof_ = true;
    return got > 0;
}

bool ByteLines::next(std::string_view& line)
{
    if (state_.error)
        return false;
    for (;;) {
        const char* start = buffer_.data() + pos_;
        const std::size_t avail = buffer_.size() - pos_;
        const void* nl = std::memchr(start, '\n', std::min(avail, kMaxLine + 1));
        if (nl) {
            const auto len = static_cast<std::size_t>(static_cast<const char*>(nl) - start);
            line = std::string_view(start, len);
            consumed_ += len + 1;
            pos_ += len + 1;
            break;
        }
        // A line longer than any RINEX line is not buffered further.
        if (avail > kMaxLine) {
            ++lineNo_;
            state_.fail(TextError::Kind::LineTooLong,
                        "Η γραμμή " + std::to_string(lineNo_) + " του αρχείου " +
                            quotedName(state_.name) + " έχει πάνω από " +
                            std::to_string(kMaxLine) +
                            " χαρακτήρες: δεν είναι γραμμή αρχείου RINEX.",
                        lineNo_);
            return false;
        }
        if (!refill()) {
            if (state_.error || pos_ >= buffer_.size())
                return false;
            line = std::string_view(buffer_).substr(pos_);  // the last line, without LF
            consumed_ += buffer_.size() - pos_;
            pos_ = buffer_.size();
            unterminated_ = true;
            break;
        }
    }
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    ++lineNo_;
    return true;
}

}  // namespace korthal::rinex
