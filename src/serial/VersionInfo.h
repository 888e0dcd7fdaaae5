// The scheme version written in the header of every binary serial stream.
#pragma once

#include "platform/CString.h"

namespace Serial {

class ISerialStream;

class VersionInfo {
 public:
  constexpr VersionInfo(unsigned int major, unsigned int minor, unsigned int build,
                        unsigned int subBuild)
      : Major(major), Minor(minor), Build(build), SubBuild(subBuild) {}

  unsigned int getMajor() const { return Major; }
  unsigned int getMinor() const { return Minor; }
  unsigned int getBuild() const { return Build; }
  unsigned int getSubBuild() const { return SubBuild; }

  // Parses "%d.%d.%d.%d" over a start of 1.0.0.0; parts the text does not
  // give keep their start value ("6.0.5865" is 6.0.5865.0).
  static VersionInfo FromString(const CString& text);
  // "a.b.c.d", or "a.b.c" when the sub-build is 0.
  CString ToString() const;

  // The four string-named nodes "Major", "Minor", "Build", "SubBuild", each
  // holding one 4-byte field. Always true: a node that is absent (tree
  // reader) or a field of the wrong size leaves that member unchanged.
  bool Do(ISerialStream& s);

  friend bool operator==(const VersionInfo& a, const VersionInfo& b) {
    return a.Major == b.Major && a.Minor == b.Minor && a.Build == b.Build &&
           a.SubBuild == b.SubBuild;
  }
  friend bool operator!=(const VersionInfo& a, const VersionInfo& b) { return !(a == b); }
  friend bool operator<(const VersionInfo& a, const VersionInfo& b) {
    if (a.Major != b.Major) return a.Major < b.Major;
    if (a.Minor != b.Minor) return a.Minor < b.Minor;
    if (a.Build != b.Build) return a.Build < b.Build;
    return a.SubBuild < b.SubBuild;
  }

 private:
  unsigned int Major;
  unsigned int Minor;
  unsigned int Build;
  unsigned int SubBuild;
};

// The version that means "not given"; writers replace it by 6.0.5865.
inline constexpr VersionInfo UNDEFINED_SCHEME_VERSION{1, 0, 0, 0};

}  // namespace Serial
