#pragma once
// The version of this build, for "--version" and the About window of the
// desktop program. Generated at build time (cmake/BuildVersion.cmake) from
// the project's version in CMakeLists.txt and, when the sources are a git
// checkout, the commit they were built from.

namespace korthal {

// "1.0" from a source tree without git; "1.0 (commit f6069ff4a5b2)" from a
// git checkout, with ", modified" before the closing parenthesis when tracked
// files differed from that commit.
const char* buildVersion();

}  // namespace korthal
