#pragma once
// Paints the pages of a fixed-pitch listing (views/Listing.h builds them)
// onto a paged device: a printer after its dialog, or a PDF file. One page of
// the listing per page of the device; the font is chosen so that a whole
// line of the listing fits the page's width.

#include <string>
#include <vector>

class QPagedPaintDevice;

namespace korthal::paint {

// Pages of lines, UTF-8.
using ListingPages = std::vector<std::vector<std::string>>;

// `lineWidth`: the characters of the widest line, which must fit the page.
void paintListing(QPagedPaintDevice& device, const ListingPages& pages, int lineWidth = 124);

}  // namespace korthal::paint
