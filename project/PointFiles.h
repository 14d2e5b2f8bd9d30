#pragma once
// The files that belong to the points of a network besides the network file
// itself: the photographs in the job folder's "Images" and the observation
// tables (with their companion settings files) in its "RINEX". They are
// found by the network file's name, so a network saved under another name or
// in another folder takes copies of them along.

#include <string>
#include <vector>

namespace korthal {

// The observation table file of a network point: the job folder's "RINEX"
// ("./RINEX/" for a network named without a folder) + the network file's
// name without folder and extension + the point's ID in six digits +
// ".RNX". IDs of a million and more keep all their digits, so that no two
// points share a file.
std::string observationTablePath(const std::string& networkFile, long long id);

// Copies the photographs and the observation tables (".RNX" and its ".INI")
// of the points `ids` from the names of the network `fromNetwork` to those of
// `toNetwork`, which may lie in another folder. A file that is already its
// own target is left alone; the files of the old name stay for the old
// network file. Every file is tried; false with `error` naming the first one
// that could not be copied.
bool copyPointFiles(const std::string& fromNetwork, const std::string& toNetwork,
                    const std::vector<long long>& ids, std::string& error);

}  // namespace korthal
