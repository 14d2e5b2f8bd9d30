#pragma once
// The photographs of the points: up to six picture files per point in the
// images folder of the working folder, found by their names alone. The name
// of photograph n (1 to 6) of a point is a base name (the network file's
// name for a network point, "EGSA87" for a reference point), the point's ID
// as six digits, the digit n, a point and any extension:
// "TEMP0000052.jpg" is photograph 2 of point 5 of the network "TEMP.WGS84".
//
// This unit knows names, folders and file bytes only; reading the pictures
// belongs to paint/Picture.h and showing them to the windows. Every failure
// is returned as a Greek message naming the file; nothing is shown here.

#include <array>
#include <string>
#include <vector>

namespace korthal {

inline constexpr int kPhotosPerPoint = 6;

// The images folder, relative to the working folder. The program creates it
// at start-up under this name and looks photographs up under the same name.
inline constexpr const char* kImagesFolder = "Images";

// The base name of a table's photographs: for the network, the network
// file's name without its folder, cut before its first "." (the whole name
// when it has none); for the reference points "EGSA87".
std::string photoBaseName(const std::string& networkFileName, bool networkTable);

// The point number in photo names: the decimal text of id + 1000000 without
// its first character (six digits for the IDs 0 to 8 999 999; 1234567 gives
// "234567").
std::string photoPointNumber(long long id);

// The name of photograph n of a point without its point and extension.
std::string photoStem(const std::string& baseName, long long id, int n);

// The files of the six photographs of a point in `folder` (empty texts for
// the missing ones). A file belongs to photograph n when its name is the
// stem, a point and any extension, in any case. When several files belong to
// one photograph, the most recently written is taken (by name when they
// were written at the same time), so that a photograph replaced by a file of
// another type shows the new picture. A missing folder gives no files.
std::array<std::string, kPhotosPerPoint> findPhotos(const std::string& folder,
                                                     const std::string& baseName, long long id);
// One photograph (n from 1 to 6).
std::string findPhoto(const std::string& folder, const std::string& baseName, long long id, int n);

// Where a photograph chosen from `source` is stored: folder / stem followed
// by the source's extension with its point (".JPG" stays ".JPG"). A source
// without extension takes `fallbackExtension` (".jpg", the type read from
// its content), so that the stored file is found again.
std::string photoTargetPath(const std::string& folder, const std::string& stem,
                            const std::string& source, const std::string& fallbackExtension);

// Copies the picture byte for byte, so that nothing is re-encoded or lost.
// The target is replaced as a whole or not at all; a source that is the
// target itself is left alone. Creates the folder when it is missing.
// False with `error` (Greek, naming the file) on failure.
bool copyPhotoFile(const std::string& source, const std::string& target, std::string& error);

// Copies the photographs of the points `ids` named with `fromBase` to the
// same names with `toBase`, so that a network saved under a new name keeps
// its photographs (the old files stay for the old network file). Returns
// false with `error` naming the first file that could not be copied.
bool copyPointPhotos(const std::string& folder, const std::string& fromBase,
                     const std::string& toBase, const std::vector<long long>& ids,
                     std::string& error);

// Deletes a photograph's file; false with `error` when it cannot be deleted.
bool deletePhotoFile(const std::string& path, std::string& error);

}  // namespace korthal
