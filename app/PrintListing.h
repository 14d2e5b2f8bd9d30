#pragma once
// Prints the pages of a fixed-pitch listing after the print dialog.

#include <string>
#include <vector>

class QWidget;

namespace korthal::app {

// Returns false when the user cancelled the dialog. `lineWidth`: the
// characters of the listing's widest line.
bool printListing(QWidget* parent, const std::vector<std::vector<std::string>>& pages,
                  int lineWidth = 124);

}  // namespace korthal::app
