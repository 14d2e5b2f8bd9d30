#include "views/Lzw.h"

namespace korthal::rinex {

namespace {

constexpr std::size_t kInputChunk = 1 << 16;
constexpr long kClear = 256;

}  // namespace

LzwBytes::LzwBytes(ByteSource& in, ReadState& state) : in_(in), state_(state) {}

void LzwBytes::damaged(const std::string& why)
{
    const std::uint64_t byte = 3 + (bitPos_ >= static_cast<std::uint64_t>(bits_)
                                        ? (bitPos_ - static_cast<std::uint64_t>(bits_)) / 8
                                        : 0);
    state_.fail(TextError::Kind::Damaged,
                "Το αρχείο " + quotedName(state_.name) +
                    " είναι χαλασμένο: η συμπίεση compress (.Z) δεν αποσυμπιέζεται στο byte " +
                    std::to_string(byte) + " (" + why + ").",
                0, byte);
    ended_ = true;
}

bool LzwBytes::fillInput()
{
    if (inputEnd_)
        return false;
    inputOffset_ += input_.size();
    input_.resize(kInputChunk);
    const std::size_t got = in_.read(input_.data(), input_.size());
    input_.resize(got);
    inputPos_ = 0;
    if (got == 0)
        inputEnd_ = true;
    return got > 0;
}

bool LzwBytes::header()
{
    started_ = true;
    char head[3];
    std::size_t got = 0;
    while (got < 3) {
        const std::size_t n = in_.read(head + got, 3 - got);
        if (n == 0)
            break;
        got += n;
    }
    if (got < 3 || head[0] != '\x1f' || head[1] != '\x9d') {
        if (!state_.error)
            damaged("λείπει η κεφαλίδα");
        return false;
    }
    const auto flags = static_cast<unsigned char>(head[2]);
    maxBits_ = flags & 0x1f;
    blockMode_ = (flags & 0x80) != 0;
    if (maxBits_ < 9 || maxBits_ > 16) {
        damaged("κωδικοί των " + std::to_string(maxBits_) + " bit");
        return false;
    }
    const std::size_t entries = std::size_t{1} << maxBits_;
    prefix_.assign(entries, 0);
    suffix_.assign(entries, 0);
    for (std::size_t c = 0; c < 256; ++c)
        suffix_[c] = static_cast<unsigned char>(c);
    stack_.resize(entries + 1);
    nextEntry_ = blockMode_ ? 257 : 256;
    return true;
}

long LzwBytes::nextCode()
{
    while (bitCount_ < bits_) {
        if (inputPos_ >= input_.size() && !fillInput())
            return -1;  // the last bits are the padding of the last group
        bitBuf_ |= static_cast<std::uint64_t>(static_cast<unsigned char>(input_[inputPos_++]))
                   << bitCount_;
        bitCount_ += 8;
    }
    const long code = static_cast<long>(bitBuf_ & ((std::uint64_t{1} << bits_) - 1));
    bitBuf_ >>= bits_;
    bitCount_ -= bits_;
    bitPos_ += static_cast<std::uint64_t>(bits_);
    return code;
}

std::size_t LzwBytes::read(char* dst, std::size_t n)
{
    if (!started_ && !header())
        return 0;
    std::size_t produced = 0;
    const long entries = 1L << maxBits_;
    while (produced < n) {
        if (stackTop_ > 0) {
            dst[produced++] = static_cast<char>(stack_[--stackTop_]);
            continue;
        }
        if (ended_ || state_.error)
            break;
        // A change of width, or a clear, skips to the end of the group of
        // eight codes of the old width.
        const auto skipToGroupEnd = [this] {
            const std::uint64_t group = static_cast<std::uint64_t>(bits_) * 8;
            std::uint64_t skip = (group - (bitPos_ - groupStart_) % group) % group;
            bitPos_ += skip;
            groupStart_ = bitPos_;
            while (skip > 0) {
                if (bitCount_ == 0) {
                    if (inputPos_ >= input_.size() && !fillInput())
                        return;
                    bitBuf_ = static_cast<unsigned char>(input_[inputPos_++]);
                    bitCount_ = 8;
                }
                const int take = static_cast<int>(std::min<std::uint64_t>(skip, static_cast<std::uint64_t>(bitCount_)));
                bitBuf_ >>= take;
                bitCount_ -= take;
                skip -= static_cast<std::uint64_t>(take);
            }
        };
        if (nextEntry_ > maxCode_ && bits_ < maxBits_) {
            skipToGroupEnd();
            ++bits_;
            maxCode_ = (1L << bits_) - 1;
        }
        long code = nextCode();
        if (code < 0) {
            ended_ = true;
            break;
        }
        if (code == kClear && blockMode_) {
            skipToGroupEnd();
            bits_ = 9;
            maxCode_ = 511;
            nextEntry_ = 257;
            previous_ = -1;
            continue;
        }
        if (previous_ < 0) {
            if (code > 255) {
                damaged("λάθος κωδικός " + std::to_string(code));
                break;
            }
            previous_ = code;
            firstChar_ = static_cast<unsigned char>(code);
            dst[produced++] = static_cast<char>(code);
            continue;
        }
        const long incode = code;
        if (code >= nextEntry_) {
            // The one code that may name the entry being made: the last
            // string and its own first byte.
            if (code > nextEntry_ || nextEntry_ >= entries) {
                damaged("λάθος κωδικός " + std::to_string(code));
                break;
            }
            stack_[stackTop_++] = firstChar_;
            code = previous_;
        }
        while (code >= 256) {
            stack_[stackTop_++] = suffix_[static_cast<std::size_t>(code)];
            code = prefix_[static_cast<std::size_t>(code)];
        }
        firstChar_ = static_cast<unsigned char>(code);
        stack_[stackTop_++] = firstChar_;
        if (nextEntry_ < entries) {
            prefix_[static_cast<std::size_t>(nextEntry_)] = static_cast<std::uint16_t>(previous_);
            suffix_[static_cast<std::size_t>(nextEntry_)] = firstChar_;
            ++nextEntry_;
        }
        previous_ = incode;
    }
    return produced;
}

}  // namespace korthal::rinex
