#include "views/RinexText.h"

#include "views/Hatanaka.h"
#include "views/Lzw.h"
#include "views/RinexLayers.h"

#include <cstdio>

namespace korthal::rinex {

namespace {

// Compressed layers inside one another beyond this are not unpacked.
constexpr int kMaxLayers = 4;

// Up to n bytes from the front of a source (fewer at its end).
std::string takeBytes(ByteSource& in, std::size_t n)
{
    std::string head(n, '\0');
    std::size_t got = 0;
    while (got < n) {
        const std::size_t k = in.read(head.data() + got, n - got);
        if (k == 0)
            break;
        got += k;
    }
    head.resize(got);
    return head;
}

}  // namespace

struct TextSource::Parts {
    ReadState state;
    std::FILE* file = nullptr;
    std::vector<std::unique_ptr<ByteSource>> bytes;  // the file first, the innermost text last
    std::unique_ptr<ByteLines> lines;
    std::unique_ptr<HatanakaLines> hatanaka;
    LineLayer* top = nullptr;
    std::vector<Layer> layers;
    bool compressed = false;

    ~Parts()
    {
        hatanaka.reset();
        lines.reset();
        bytes.clear();
        if (file)
            std::fclose(file);
    }

    // The layers over the first byte source, found by their first bytes.
    void build(bool restoreHatanaka)
    {
        ByteSource* src = bytes.back().get();
        for (int depth = 0;; ++depth) {
            std::string head = takeBytes(*src, 2);
            const bool gzip = isGzipMagic(head), lzw = isCompressMagic(head);
            bytes.push_back(std::make_unique<PrefixedBytes>(std::move(head), *src));
            src = bytes.back().get();
            if (depth >= kMaxLayers || !(gzip || lzw))
                break;
            if (gzip)
                bytes.push_back(std::make_unique<GzipBytes>(*src, state));
            else
                bytes.push_back(std::make_unique<LzwBytes>(*src, state));
            layers.push_back(gzip ? Layer::Gzip : Layer::Compress);
            compressed = true;
            src = bytes.back().get();
        }
        if (restoreHatanaka) {
            // The first line of Compact RINEX ends in its label.
            std::string head = takeBytes(*src, 160);
            const std::string_view first = std::string_view(head).substr(0, head.find('\n'));
            const bool crinex = first.find("CRINEX VERS") != std::string_view::npos;
            bytes.push_back(std::make_unique<PrefixedBytes>(std::move(head), *src));
            src = bytes.back().get();
            lines = std::make_unique<ByteLines>(*src, state);
            top = lines.get();
            if (crinex) {
                hatanaka = std::make_unique<HatanakaLines>(*lines, state);
                top = hatanaka.get();
                layers.push_back(Layer::Hatanaka);
            }
        } else {
            lines = std::make_unique<ByteLines>(*src, state);
            top = lines.get();
        }
    }
};

struct TextSourceParts {
    static std::unique_ptr<TextSource> make(std::unique_ptr<TextSource::Parts> p)
    {
        return std::unique_ptr<TextSource>(new TextSource(std::move(p)));
    }
};

TextSource::TextSource(std::unique_ptr<Parts> parts) : p_(std::move(parts)) {}
TextSource::~TextSource() = default;

bool TextSource::next(std::string_view& line)
{
    return p_->top && p_->top->next(line);
}

std::int64_t TextSource::lineNumber() const
{
    return p_->top ? p_->top->lineNumber() : 0;
}

bool TextSource::unterminated() const
{
    return p_->top && p_->top->unterminated();
}

std::uint64_t TextSource::bytesRead() const
{
    if (!p_->compressed && p_->lines)
        return p_->lines->consumed();
    return p_->state.rawRead;
}

std::uint64_t TextSource::fileSize() const
{
    return p_->state.rawSize;
}

const TextError& TextSource::error() const
{
    return p_->state.error;
}

const std::vector<Layer>& TextSource::layers() const
{
    return p_->layers;
}

const std::string& TextSource::name() const
{
    return p_->state.name;
}

std::unique_ptr<TextSource> openRinexText(const std::string& path, bool restoreHatanaka)
{
    auto p = std::make_unique<TextSource::Parts>();
    p->state.name = path;
    p->file = std::fopen(path.c_str(), "rb");
    if (!p->file) {
        p->state.fail(TextError::Kind::CannotOpen,
                      "Δεν ανοίγει το αρχείο " + quotedName(path) + ".");
        return TextSourceParts::make(std::move(p));
    }
    if (std::fseek(p->file, 0, SEEK_END) == 0) {
        const long s = std::ftell(p->file);
        p->state.rawSize = s > 0 ? static_cast<std::uint64_t>(s) : 0;
        std::fseek(p->file, 0, SEEK_SET);
    }
    p->bytes.push_back(std::make_unique<FileBytes>(p->file, p->state));
    p->build(restoreHatanaka);
    return TextSourceParts::make(std::move(p));
}

std::unique_ptr<TextSource> rinexTextFromMemory(std::string_view bytes, const std::string& name,
                                                bool restoreHatanaka)
{
    auto p = std::make_unique<TextSource::Parts>();
    p->state.name = name;
    p->bytes.push_back(std::make_unique<MemoryBytes>(bytes, p->state));
    p->build(restoreHatanaka);
    return TextSourceParts::make(std::move(p));
}

}  // namespace korthal::rinex
