#include "app/PrintListing.h"

#include "paint/ListingPainter.h"
#include "paint/SketchPainter.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "views/Listing.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace korthal::app {

namespace {

std::function<bool(QPrinter&)>& dialogHook()
{
    static std::function<bool(QPrinter&)> hook;
    return hook;
}

// A PDF file beside the network file: `name`, or the network's own name
// with `suffix` and ".pdf" in place of its extension.
QString pdfBesideNetwork(const Document& doc, const QString& suffix, const QString& name = {})
{
    const QFileInfo network(QString::fromStdString(doc.CurrentFileName));
    const QString file =
        name.isEmpty() ? network.completeBaseName() + suffix + QStringLiteral(".pdf") : name;
    return QFileInfo(network.absolutePath() + QLatin1Char('/') + file).absoluteFilePath();
}

}  // namespace

bool reportFailure(const QPrinter& printer, bool painted)
{
    if (painted)
        return true;
    if (printer.outputFormat() == QPrinter::PdfFormat)
        showMessage(Document::saveErrorMessage(printer.outputFileName().toStdString()));
    else
        showMessage("Η εκτύπωση στον εκτυπωτή " + printer.printerName().toStdString() +
                        " δεν έγινε",
                    MsgIcon::Warning);
    return false;
}

bool execPrintDialog(QPrinter& printer, QWidget* parent, const QString& pdfName)
{
    // With no printer the dialog would offer nothing else: start on the
    // PDF file so that the choice is plain.
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfName);
    }
    printer.setDocName(QFileInfo(pdfName).completeBaseName());
    if (dialogHook())
        return dialogHook()(printer);
    QPrintDialog dlg(&printer, parent);
    dlg.setWindowTitle(QStringLiteral("Εκτύπωση"));
    dlg.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dlg.exec() == QDialog::Accepted;
}

void setPrintDialogHook(std::function<bool(QPrinter&)> hook)
{
    dialogHook() = std::move(hook);
}

bool printListing(QWidget* parent, const Document& doc, bool network)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Portrait);
    const QString pdfName = network ? pdfBesideNetwork(doc, QString())
                                    : pdfBesideNetwork(doc, QString(), QStringLiteral("EGSA87.pdf"));
    if (!execPrintDialog(printer, parent, pdfName))
        return false;
    return reportFailure(printer,
                         paint::paintListing(printer, printTableLines(doc, network, false)));
}

bool printPages(QWidget* parent, const std::vector<std::vector<std::string>>& pages,
                const QString& pdfName)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!execPrintDialog(printer, parent, pdfName))
        return false;
    return reportFailure(printer, paint::paintListing(printer, pages));
}

bool printSketch(QWidget* parent, const Document& doc, int mode, int filter, int pictureWidth)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!execPrintDialog(printer, parent, pdfBesideNetwork(doc, QStringLiteral("_σκαρίφημα"))))
        return false;
    return reportFailure(printer,
                         paint::paintSketchPage(printer, doc, mode, filter, pictureWidth));
}

}  // namespace korthal::app
