// Point lists. The size of the input picks the input form of the network and
// the separators of input files. Every point imported is a
// record of the network, and the network then written reads back the same.

#include "fuzz/TableCheck.h"
#include "project/Document.h"
#include "project/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace korthal;
    fuzz::SilentDialogs quiet;
    const std::size_t choice = size;
    const std::string path = fuzz::scratchFile("LIST.TXT");
    fuzz::writeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));

    Document doc(Separators{',', '.'});
    doc.settings().setInputForm((choice & 1) == 0 ? InputForm::Geocentric : InputForm::Ellipsoidal);
    NumberSettings& numbers = doc.numberSettings();
    numbers.DecimalSeparators[NumberDestination::InputFile] = choice & 2 ? ',' : '.';
    numbers.ThousandSeparators[NumberDestination::InputFile] = "\0. ,"[(choice >> 2) % 4];
    doc.GPS().clear();
    const ImportResult r = doc.ImportPointList(path);
    if (doc.GPS().recordCount() != r.imported)
        fuzz::fuzzFail("imported " + std::to_string(r.imported) + " points into " +
                       std::to_string(doc.GPS().recordCount()) + " records");

    const std::string network = fuzz::scratchFile("LIST.WGS84");
    const SaveResult saved = SaveToFile(doc.GPS(), network);
    if (!saved)
        fuzz::fuzzFail("the network could not be written: " + saved.error);
    fuzz::checkTableFile(fuzz::TableKind::Network, network);
    return 0;
}
