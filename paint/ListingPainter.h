#pragma once
// Paints the pages of a fixed-pitch listing (views/Listing.h builds them)
// onto a paged device: a printer after its dialog, or a PDF file. One page of
// the listing per page of the device, in a fixed-pitch font whose size lets
// the widest line (at least the listing's 124 columns) fit the page's width
// and the longest page its height: no line is cut off.

#include <string>
#include <vector>

class QPagedPaintDevice;

namespace korthal::paint {

// Pages of lines, UTF-8.
using ListingPages = std::vector<std::vector<std::string>>;

// False when painting could not start (a printer or file that cannot be
// opened).
bool paintListing(QPagedPaintDevice& device, const ListingPages& pages);

}  // namespace korthal::paint
