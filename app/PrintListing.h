#pragma once
// The print button: the print dialog, then a listing or the sketch on the
// chosen printer. A user with no printer prints into a PDF file: the dialog
// then starts on its "print to file" entry with a file named after the
// network, and the entry is there for everyone else too.

#include <functional>

class QPrinter;
class QString;
class QWidget;

namespace korthal {
class Document;
}

namespace korthal::app {

// printListing and printSketch return false when the user cancelled the
// dialog or the printing failed (the failure with a message).

// Shows the print dialog for `printer`. `pdfName`: the file offered for
// printing into a PDF. False when the user cancelled.
bool execPrintDialog(QPrinter& printer, QWidget* parent, const QString& pdfName);

// Tests answer in place of the dialog: the hook gets the printer as the
// dialog would start with it. An empty hook brings the dialog back.
void setPrintDialogHook(std::function<bool(QPrinter&)> hook);

// Prints the listing of the network table (network) or of the reference
// table on portrait pages after the print dialog, as views/Listing.h builds
// it for the printer. The PDF file offered is named after the network file
// (or "EGSA87.pdf" beside it).
bool printListing(QWidget* parent, const Document& doc, bool network);

// Prints the sketch of the document (mode, filter) on one landscape page
// after the print dialog; texts and circles grow with the page's width over
// the screen picture's `pictureWidth`. False when cancelled.
bool printSketch(QWidget* parent, const Document& doc, int mode, int filter, int pictureWidth);

}  // namespace korthal::app
