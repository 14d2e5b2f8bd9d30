#include "views/RinexTextLines.h"

#include "views/RinexText.h"

namespace korthal::rinex {

namespace {

void dropCarriageReturn(std::string& line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
}

}  // namespace

LineSource openRinexTextLines(const std::string& path, std::string& error)
{
    std::shared_ptr<const std::string> fault;
    return openRinexTextLines(path, error, fault);
}

LineSource openRinexTextLines(const std::string& path, std::string& error,
                              std::shared_ptr<const std::string>& fault)
{
    // Not a Hatanaka layer: that belongs to observation files only.
    std::shared_ptr<TextSource> in = openRinexText(path, false);
    if (in->error().kind == TextError::Kind::CannotOpen) {
        error = in->error().message;
        fault.reset();
        return {};
    }
    error.clear();
    auto message = std::make_shared<std::string>();
    fault = message;
    return [in, message](std::string& line) {
        std::string_view view;
        if (!in->next(view)) {
            line.clear();
            if (in->error())
                *message = in->error().message;
            return false;
        }
        line.assign(view);
        return true;
    };
}

LineSource textLines(std::string_view text)
{
    return [text, pos = std::size_t(0)](std::string& line) mutable {
        if (pos >= text.size())
            return false;
        const std::size_t end = text.find('\n', pos);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        line.assign(text.substr(pos, stop - pos));
        pos = stop == text.size() ? stop : stop + 1;
        dropCarriageReturn(line);
        return true;
    };
}

}  // namespace korthal::rinex
