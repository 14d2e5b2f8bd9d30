#include "export/ExportTable.h"

#include "export/GdalWriter.h"
#include "export/StagingFolder.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "views/Listing.h"

#include <filesystem>

namespace korthal {

namespace {

namespace fs = std::filesystem;

// A Shapefile's other files take the case of its ".shp".
std::vector<std::string> shapefileNames(const fs::path& shp, const std::vector<std::string>& suffixes)
{
    const bool upperCase = shp.extension().string() == ".SHP";
    std::vector<std::string> out;
    for (std::string s : suffixes) {
        if (upperCase)
            for (char& c : s)
                c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        out.push_back(fs::path(shp).replace_extension(s).string());
    }
    return out;
}

std::string joined(const std::vector<std::string>& names)
{
    std::string out;
    for (const auto& n : names)
        out += (out.empty() ? "" : ", ") + n;
    return out;
}

ExportResult writeListing(Document& doc, bool network, const std::string& path)
{
    ExportResult r;
    r.path = path;
    r.format = ExportFormat::Listing;
    r.written = (network ? doc.GPS() : doc.GYS()).recordCount();
    r.ok = writeListingFile(doc, network, path);
    if (!r.ok)
        r.error = "Δεν είναι δυνατή η εγγραφή του αρχείου \"" + path + "\"";
    return r;
}

// What the window says after a file in a GIS or CAD format was written.
std::string doneMessage(const ExportResult& r)
{
    std::string text = "Γράφτηκαν " + std::to_string(r.written) + " σημεία στο αρχείο " + r.path;
    if (!r.leftOut.empty())
        text += "\rΧωρίς συντεταγμένες, δεν γράφτηκαν : " + joined(r.leftOut);
    if (!r.outsideGrid.empty())
        text += "\rΈξω από τον κάναβο διορθώσεων του μοντέλου HEPOS, δεν γράφτηκαν : " +
                joined(r.outsideGrid);
    if (!r.descriptionsCut.empty())
        text += "\rΠεριγραφές που κόπηκαν στους 254 χαρακτήρες : " + joined(r.descriptionsCut);
    return text;
}

}  // namespace

std::vector<std::string> exportFiles(const std::string& path, ExportFormat format)
{
    if (format == ExportFormat::Shapefile)
        return shapefileNames(path, shapefileParts());
    return {path};
}

bool exportTargetExists(const std::string& path, ExportFormat format)
{
    std::error_code ec;
    for (const auto& f : exportFiles(path, format))
        if (fs::exists(fs::symlink_status(f, ec)))
            return true;
    return false;
}

ExportResult exportTableTo(Document& doc, bool network, const std::string& path,
                           ExportFormat format, ExportSystem system)
{
    if (format == ExportFormat::Listing)
        return writeListing(doc, network, path);
    if (!takesPlaneSystem(format))
        system = ExportSystem::EGSA87;

    ExportResult r;
    r.path = path;
    r.format = format;
    const std::vector<ExportPoint> points = exportPoints(doc, network, system);
    for (const auto& p : points)
        if (!p.placedIn(format))
            (p.outsideGrid ? r.outsideGrid : r.leftOut).push_back(p.name);
    if (r.leftOut.size() + r.outsideGrid.size() == points.size()) {
        r.nothingPlaced = true;
        r.error = std::string("Κανένα σημείο του πίνακα δεν έχει συντεταγμένες ") +
                  (formatInfo(format).wgs84             ? "WGS84"
                   : system == ExportSystem::TM07 ? "HTRS07 (TM07)"
                                                        : "ΕΓΣΑ87");
        return r;
    }

    const fs::path target(path);
    StagingFolder staging(target.parent_path().string());
    if (!staging.ok()) {
        r.error = staging.error();
        return r;
    }
    const ExportLayer layer = network ? ExportLayer{"simeia_diktyou", "Σημεία δικτύου"}
                                      : ExportLayer{"simeia_anaforas", "Σημεία αναφοράς"};
    PointFileReport report;
    if (!writePointFile(points, format, staging.staged(target.filename().string()), layer, report,
                        r.error, system))
        return r;
    std::vector<std::string> stale;
    if (format == ExportFormat::Shapefile)
        for (const auto& f : shapefileNames(target.filename(), shapefileIndexes()))
            stale.push_back(f);
    if (!staging.commit(stale)) {
        r.error = staging.error();
        return r;
    }
    r.ok = true;
    r.written = report.written;
    r.descriptionsCut = report.descriptionsCut;
    return r;
}

std::optional<ExportResult> exportTable(Document& doc, bool network)
{
    std::vector<FileType> types;
    for (const auto& c : exportChoices())
        types.push_back({c.label, formatInfo(c.format).extension});
    const auto choice = dialogs().chooseSaveFile(
        std::string("Αποθήκευση του πίνακα") +
            (network ? "κορυφών του δικτύου" : "σημείων αναφοράς"),
        types, 0, offeredListingName(doc, network));
    if (!choice || choice->path.empty())
        return std::nullopt;
    const auto chosen = static_cast<std::size_t>(choice->type);
    const ExportChoice& c =
        exportChoices()[chosen < exportChoices().size() ? chosen : std::size_t{0}];
    const ExportTarget target = resolveExportTarget(choice->path, c.format, c.system);
    if (!Document::mayWriteOver(target.path, exportTargetExists(target.path, target.format)))
        return std::nullopt;

    if (target.format == ExportFormat::Listing)
        doc.LastTextFile = target.path;
    ExportResult r = exportTableTo(doc, network, target.path, target.format, target.system);
    if (r.nothingPlaced)
        showMessage(r.error + " : δεν γράφτηκε αρχείο", MsgIcon::Exclamation);
    else if (!r.ok)
        showMessage(Document::saveErrorMessage(target.path) +
                    (target.format == ExportFormat::Listing ? "" : "\r" + r.error));
    else if (target.format != ExportFormat::Listing)
        showMessage(doneMessage(r), MsgIcon::Information);
    return r;
}

}  // namespace korthal
